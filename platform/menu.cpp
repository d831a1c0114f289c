#include "platform/menu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

CMenu::CMenu() = default;

CMenu::~CMenu()
{
    DestroyMenu();
}

bool CMenu::LoadMenu(const MenuTemplate &menuTemplate)
{
    if (m_pMenu != nullptr)
        return false;
    m_pMenu = new QMenu;
    m_bOwned = true;
    for (const MenuPopupTemplate &popup : menuTemplate.popups) {
        QMenu *pPopup = m_pMenu->addMenu(QString::fromUtf8(popup.text));
        for (const MenuItemTemplate &item : popup.items) {
            if (item.text == nullptr) {
                pPopup->addSeparator();
            } else {
                QAction *pAction = pPopup->addAction(QString::fromUtf8(item.text));
                pAction->setData(item.nID);
            }
        }
        auto pSub = std::make_unique<CMenu>();
        pSub->m_pMenu = pPopup;  // owned by m_pMenu
        m_subMenus.push_back(std::move(pSub));
    }
    return true;
}

void CMenu::DestroyMenu()
{
    m_subMenus.clear();
    if (m_bOwned)
        delete m_pMenu;
    m_pMenu = nullptr;
    m_bOwned = false;
}

CMenu *CMenu::GetSubMenu(int nPos)
{
    return nPos >= 0 && nPos < static_cast<int>(m_subMenus.size()) ? m_subMenus[nPos].get()
                                                                   : nullptr;
}

bool CMenu::AppendMenu(std::uint32_t nFlags, std::uint32_t nIDNewItem, const QString &strItem)
{
    if (m_pMenu == nullptr)
        return false;
    if (nFlags & MF_SEPARATOR) {
        m_pMenu->addSeparator();
    } else {
        QAction *pAction = m_pMenu->addAction(strItem);
        pAction->setData(nIDNewItem);
    }
    return true;
}

int CMenu::GetMenuItemCount() const
{
    return m_pMenu ? static_cast<int>(m_pMenu->actions().size()) : -1;
}

std::uint32_t CMenu::GetMenuItemID(int nPos) const
{
    const QList<QAction *> actions = m_pMenu->actions();
    if (nPos < 0 || nPos >= actions.size() || actions[nPos]->isSeparator() || actions[nPos]->menu())
        return 0;
    return actions[nPos]->data().toUInt();
}

QString CMenu::GetMenuString(int nPos) const
{
    const QList<QAction *> actions = m_pMenu->actions();
    return nPos >= 0 && nPos < actions.size() ? actions[nPos]->text() : QString();
}

bool CMenu::TrackPopupMenu(std::uint32_t, int x, int y, QWidget *pOwner, CCmdTarget *pTarget)
{
    if (m_pMenu == nullptr)
        return false;
    if (pOwner && m_pMenu->parentWidget() == nullptr && !m_bOwned)
        m_pMenu->setParent(pOwner, m_pMenu->windowFlags());
    QAction *pChosen = m_pMenu->exec(QPoint(x, y));
    if (pChosen && !pChosen->isSeparator() && pTarget) {
        const std::uint32_t nID = pChosen->data().toUInt();
        QPointer<QWidget> pGuard(pOwner);
        QMetaObject::invokeMethod(
            pOwner ? static_cast<QObject *>(pOwner) : static_cast<QObject *>(m_pMenu),
            [pTarget, nID, pGuard, bHadOwner = pOwner != nullptr] {
                if (!bHadOwner || pGuard)
                    pTarget->OnCommand(nID);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void CMenu::RouteCommands(CCmdTarget *pTarget)
{
    QObject::connect(m_pMenu, &QMenu::triggered, [pTarget](QAction *pAction) {
        if (!pAction->isSeparator() && !pAction->menu())
            pTarget->OnCommand(pAction->data().toUInt());
    });
}

std::unique_ptr<CMenu> CMenu::FromQMenu(QMenu *pMenu)
{
    auto p = std::make_unique<CMenu>();
    p->m_pMenu = pMenu;
    return p;
}

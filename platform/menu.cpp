#include "platform/menu.h"

#include <QAction>
#include <QMenu>

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

bool CMenu::TrackPopupMenu(std::uint32_t, int x, int y, QWidget *pOwner, CCmdTarget *pTarget)
{
    if (m_pMenu == nullptr || pOwner == nullptr)
        return false;
    QAction *pChosen = m_pMenu->exec(QPoint(x, y));
    if (pChosen && !pChosen->isSeparator() && pTarget) {
        // Posted to the owner, like a command message: it runs once the caller has returned,
        // and not at all if the owner is gone by then.
        const std::uint32_t nID = pChosen->data().toUInt();
        QMetaObject::invokeMethod(
            pOwner, [pTarget, nID] { pTarget->OnCommand(nID); }, Qt::QueuedConnection);
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

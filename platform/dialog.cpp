#include "platform/dialog.h"

#include "platform/dialog_units.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>

namespace {

// A list's column header whose size hint is worked out once, not again after every row that
// is added or removed: the list lays itself out after each such change, and measuring every
// header text each time cost more than forwarding a connection. The hint is measured anew
// when the columns, their texts, the font or the style change.
class ListHeader : public QHeaderView
{
public:
    ListHeader(Qt::Orientation orientation, QWidget *pParent) : QHeaderView(orientation, pParent)
    {
        connect(this, &QHeaderView::sectionCountChanged, this, [this] { m_hint = QSize(); });
        connect(this, &QHeaderView::headerDataChanged, this, [this] { m_hint = QSize(); });
    }

    QSize sizeHint() const override
    {
        if (!m_hint.isValid())
            m_hint = QHeaderView::sizeHint();
        return m_hint;
    }

protected:
    bool event(QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange)
            m_hint = QSize();
        return QHeaderView::event(pEvent);
    }

private:
    mutable QSize m_hint;
};

}  // namespace

CDialog::CDialog(const DialogTemplate &dialogTemplate, QWidget *pParent)
    : QDialog(pParent), m_template(dialogTemplate)
{}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    if (!Create())
        return IDCANCEL;
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CDialog::Create()
{
    if (!m_bBuilt)
        Build();
    if (OnInitDialog()) {
        for (const ControlTemplate &control : m_template.controls) {
            if (control.style & kTabStop) {
                if (QWidget *pWidget = GetDlgItem(control.nID)) {
                    pWidget->setFocus(Qt::TabFocusReason);
                    if (auto *pEdit = qobject_cast<QLineEdit *>(pWidget))
                        pEdit->selectAll();
                    break;
                }
            }
        }
    }
    return true;
}

void CDialog::Build()
{
    m_bBuilt = true;
    setWindowTitle(QString::fromUtf8(m_template.caption));
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    flags |= m_template.pMenu ? Qt::Window : Qt::Dialog;
    if (m_template.bSysMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_template.bMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);

    QFont font = QApplication::font();
    font.setPointSize(m_template.nPointSize);
    setFont(font);
    const QSize units = DialogBaseUnits(font);

    int nTop = 0;
    if (m_template.bSysMenu) {
        m_sysMenu.LoadMenu(MenuTemplate{0, {}});
        m_sysMenu.AppendMenu(MF_STRING, SC_MINIMIZE, tr("Mi&nimize"));
        m_sysMenu.AppendMenu(MF_STRING, SC_CLOSE, tr("&Close"));
        m_sysMenu.GetQMenu()->setParent(this, m_sysMenu.GetQMenu()->windowFlags());
        QObject::connect(m_sysMenu.GetQMenu(), &QMenu::triggered, this,
                         [this](QAction *pAction) { OnSysCommand(pAction->data().toUInt(), 0); });
        auto *pShortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        QObject::connect(pShortcut, &QShortcut::activated, this, &CDialog::ShowSystemMenu);
    }
    if (m_template.pMenu) {
        m_menu.LoadMenu(*m_template.pMenu);
        m_pMenuBar = new QMenuBar(this);
        m_pMenuBar->setNativeMenuBar(false);
        for (int i = 0; CMenu *pPopup = m_menu.GetSubMenu(i); ++i) {
            m_pMenuBar->addMenu(pPopup->GetQMenu());
            pPopup->RouteCommands(this);
        }
        if (m_template.bSysMenu) {
            m_pSysMenuButton = new QToolButton(m_pMenuBar);
            m_pSysMenuButton->setAutoRaise(true);
            m_pSysMenuButton->setFocusPolicy(Qt::NoFocus);
            m_pSysMenuButton->setAccessibleName(tr("System menu"));
            m_pSysMenuButton->setToolTip(tr("System menu (Alt+Space)"));
            QObject::connect(m_pSysMenuButton, &QToolButton::clicked, this,
                             &CDialog::ShowSystemMenu);
            m_pMenuBar->setCornerWidget(m_pSysMenuButton, Qt::TopLeftCorner);
        }
        m_pMenuBar->adjustSize();
        nTop = m_pMenuBar->sizeHint().height();
    }

    auto *pClient = new QWidget(this);
    const QRect client = MapDialogRect(QRect(0, 0, m_template.cx, m_template.cy), units);
    pClient->setGeometry(0, nTop, client.width(), client.height());
    if (m_pMenuBar)
        m_pMenuBar->setGeometry(0, 0, client.width(), nTop);

    QWidget *pPreviousTab = nullptr;
    std::vector<QWidget *> zOrder;
    std::vector<std::pair<QLabel *, int>> buddies;
    for (const ControlTemplate &control : m_template.controls) {
        QWidget *pWidget = MakeControl(control, pClient);
        if (control.kind == ControlKind::Label && control.nBuddyID)
            buddies.emplace_back(static_cast<QLabel *>(pWidget), control.nBuddyID);
        QRect rect = MapDialogRect(QRect(control.x, control.y, control.cx, control.cy), units);
        if (control.kind == ControlKind::DropList)
            rect.setHeight(pWidget->sizeHint().height());  // the closed part of the list
        pWidget->setGeometry(rect);
        if (control.nID > 0)
            m_controls[control.nID] = pWidget;
        if (control.style & kTabStop) {
            pWidget->setFocusPolicy(Qt::StrongFocus);
            if (pPreviousTab)
                QWidget::setTabOrder(pPreviousTab, pWidget);
            pPreviousTab = pWidget;
        } else {
            pWidget->setFocusPolicy(Qt::NoFocus);
        }
        zOrder.push_back(pWidget);
    }
    // The first control of the template lies on top of those that follow it.
    for (auto it = zOrder.rbegin(); it != zOrder.rend(); ++it)
        (*it)->raise();
    for (const auto &[pLabel, nBuddyID] : buddies)
        pLabel->setBuddy(GetDlgItem(nBuddyID));
    setFixedSize(client.width(), nTop + client.height());
}

QWidget *CDialog::MakeControl(const ControlTemplate &control, QWidget *pParent)
{
    const QString text = QString::fromUtf8(control.text ? control.text : "");
    switch (control.kind) {
    case ControlKind::Label: {
        auto *pLabel = new QLabel(text, pParent);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return pLabel;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, pParent);
    case ControlKind::Edit: {
        auto *pEdit = new QLineEdit(pParent);
        pEdit->setFrame(true);
        return pEdit;
    }
    case ControlKind::DropList: {
        auto *pCombo = new QComboBox(pParent);
        pCombo->setEditable(false);
        pCombo->setInsertPolicy(QComboBox::InsertAtBottom);
        return pCombo;
    }
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto *pButton = new QPushButton(text, pParent);
        pButton->setAutoDefault(false);
        pButton->setDefault(control.kind == ControlKind::DefPushButton);
        if (control.nID > 0)
            QObject::connect(pButton, &QPushButton::clicked, this,
                             [this, nID = control.nID] { OnCommand(nID); });
        return pButton;
    }
    case ControlKind::ListView: {
        auto *pTable = new QTableView(pParent);
        auto *pHeader = new ListHeader(Qt::Horizontal, pTable);
        pHeader->setSectionsClickable(true);  // clickable, but no sorting
        pTable->setHorizontalHeader(pHeader);
        pTable->setAccessibleName(text);
        pTable->verticalHeader()->hide();
        pTable->setSelectionMode(QAbstractItemView::SingleSelection);
        pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        pTable->setSortingEnabled(false);
        pTable->setWordWrap(false);
        pTable->horizontalHeader()->setHighlightSections(false);
        pTable->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        pTable->verticalHeader()->setDefaultSectionSize(pTable->fontMetrics().height() + 4);
        pTable->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        // The selection stays visible while the list has no focus.
        QPalette palette = pTable->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
        pTable->setPalette(palette);
        pTable->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(pTable, &QWidget::customContextMenuRequested, this,
                         [this, pTable, nID = control.nID](const QPoint &pos) {
                             m_messagePos = pTable->viewport()->mapToGlobal(pos);
                             OnNotify(nID, NM_RCLICK);
                         });
        return pTable;
    }
    case ControlKind::Bitmap: {
        auto *pPicture = new QLabel(pParent);
        pPicture->setPixmap(QPixmap(text));
        pPicture->setScaledContents(true);
        if (control.style & kSunken)
            pPicture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return pPicture;
    }
    case ControlKind::Icon: {
        auto *pPicture = new QLabel(pParent);
        pPicture->setPixmap(QIcon(text).pixmap(32, 32));
        return pPicture;
    }
    }
    return new QWidget(pParent);
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

QWidget *CDialog::GetDlgItem(int nID) const
{
    const auto it = m_controls.find(nID);
    return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::SetIcon(const QIcon &icon, bool)
{
    setWindowIcon(icon);
    if (m_pSysMenuButton)
        m_pSysMenuButton->setIcon(icon);
}

CMenu *CDialog::GetSystemMenu(bool)
{
    return m_sysMenu.GetQMenu() ? &m_sysMenu : nullptr;
}

void CDialog::ShowSystemMenu()
{
    if (QMenu *pMenu = m_sysMenu.GetQMenu()) {
        QWidget *pAnchor = m_pSysMenuButton ? static_cast<QWidget *>(m_pSysMenuButton) : this;
        pMenu->popup(pAnchor->mapToGlobal(QPoint(0, pAnchor->height())));
    }
}

void CDialog::DoDataExchange(CDataExchange *) {}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        QDialog::done(QDialog::Accepted);
}

void CDialog::OnCancel()
{
    QDialog::done(QDialog::Rejected);
}

void CDialog::reject()
{
    OnCancel();
}

void CDialog::OnCommand(std::uint32_t nID)
{
    if (nID == IDOK)
        OnOK();
    else if (nID == IDCANCEL)
        OnCancel();
}

void CDialog::OnSysCommand(std::uint32_t nID, std::intptr_t)
{
    switch (nID & 0xFFF0) {
    case SC_MINIMIZE:
        showMinimized();
        break;
    case SC_CLOSE:
        OnCancel();
        break;
    default:
        break;
    }
}

void CDialog::OnNotify(int, std::uint32_t) {}

void CDialog::keyPressEvent(QKeyEvent *pEvent)
{
    const bool bPlain =
        pEvent->modifiers() == Qt::NoModifier || pEvent->modifiers() == Qt::KeypadModifier;
    if (bPlain && (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter)) {
        if (auto *pButton = qobject_cast<QPushButton *>(focusWidget()))
            pButton->click();
        else
            OnOK();
        return;
    }
    if (bPlain && pEvent->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}

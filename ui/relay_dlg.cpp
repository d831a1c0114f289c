#include "ui/relay_dlg.h"

#include "net/client_socket.h"
#include "net/listen_socket.h"
#include "platform/host_addresses.h"
#include "platform/open_url.h"
#include "res/resource.h"
#include "res/resources.h"
#include "ui/about_dlg.h"
#include "ui/connection_table.h"

const char *const CRelayDlg::kLinkURL = "https://skylark-notes.example.com/whats-new";
const char *const CRelayDlg::kDownloadURL = "https://skylark-notes.example.com/download";

CRelayDlg::CRelayDlg(QWidget *pParent) : CDialog(kRelayDialogTemplate, pParent)
{
    m_strTargetHost = QString();
    m_nListenPort = 0;
    m_nTargetPort = 0;
    m_hIcon = LoadAppIcon();
}

// The listener and the pairs are left to end with the process.
CRelayDlg::~CRelayDlg() = default;

void CRelayDlg::DoDataExchange(CDataExchange *pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FORWARDING_INTERFACE, m_cmbForwardingInterface);
    DDX_Control(pDX, IDC_BANNER, m_ctlBanner);
    DDX_Control(pDX, IDC_LINK, m_ctlLink);
    DDX_Control(pDX, IDC_CLIENT_INTERFACE, m_cmbClientInterface);
    DDX_Control(pDX, IDC_CONNECTIONS, m_ctlConnections);
    DDX_Text(pDX, IDC_TARGET_HOST, m_strTargetHost);
    DDX_Text(pDX, IDC_LISTEN_PORT, m_nListenPort);
    DDX_Text(pDX, IDC_TARGET_PORT, m_nTargetPort);
}

bool CRelayDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (CMenu *pSysMenu = GetSystemMenu(false)) {
        const QString strAboutMenu = LoadResString(IDS_ABOUTBOX);
        if (!strAboutMenu.isEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_ctlLink.SetURL(QString::fromLatin1(kLinkURL));

    ConnectionTable::SetUpColumns(m_ctlConnections);

    m_pListenSocket = nullptr;

    for (const QString &strAddress : LocalIPv4Addresses()) {
        m_cmbClientInterface.AddString(strAddress);
        m_cmbForwardingInterface.AddString(strAddress);
    }
    m_cmbClientInterface.SetCurSel(0);
    m_cmbForwardingInterface.SetCurSel(0);

    m_cmbClientInterface.GetLBText(0, m_strTargetHost);
    m_nListenPort = 45689;
    m_nTargetPort = 45690;
    UpdateData(false);
    return true;
}

void CRelayDlg::OnSysCommand(std::uint32_t nID, std::intptr_t lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(this);
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CRelayDlg::OnCommand(std::uint32_t nID)
{
    switch (nID) {
    case IDC_START_FORWARDING:
        OnStartForwarding();
        break;
    case IDC_STOP:
        OnStop();
        break;
    case IDC_DOWNLOAD_NOW:
        OnDownloadNow();
        break;
    case ID_MANAGECONNECTIONS_RECONNECT:
        OnReConnect();
        break;
    case ID_MANAGECONNECTIONS_DISCONNECT:
        OnDisconnect();
        break;
    case ID_MANAGECONNECTIONS_CLOSECONNECTION:
        OnCloseConnection();
        break;
    default:
        CDialog::OnCommand(nID);
        break;
    }
}

void CRelayDlg::OnNotify(int nIDCtrl, std::uint32_t nCode)
{
    if (nIDCtrl == IDC_CONNECTIONS && nCode == NM_RCLICK) {
        long nResult = 0;
        OnRclickConnections(&nResult);
    }
}

QString CRelayDlg::SelectedText(const CComboBox &combo)
{
    QString strText;
    combo.GetLBText(combo.GetCurSel(), strText);
    return strText;
}

void CRelayDlg::DropAllConnections()
{
    const int nCount = m_ctlConnections.GetItemCount();
    for (int nRow = 0; nRow < nCount; ++nRow) {
        auto *pClient = reinterpret_cast<CClientSocket *>(m_ctlConnections.GetItemData(nRow));
        pClient->Close();
        delete pClient;
    }
    ConnectionTable::RemoveAll(m_ctlConnections);
}

void CRelayDlg::OnStartForwarding()
{
    // A rejected port keeps its previous value; forwarding starts all the same. While the
    // message is open, notifications go on, so the rows are counted only afterwards.
    UpdateData(true);

    DropAllConnections();

    const QString strClientInterface = SelectedText(m_cmbClientInterface);
    const QString strForwardingInterface = SelectedText(m_cmbForwardingInterface);

    delete m_pListenSocket;  // closes its socket; its entries named only the pairs just deleted
    m_pListenSocket = new CListenSocket;
    m_pListenSocket->Configure(&m_ctlConnections, strClientInterface, m_nListenPort,
                               m_strTargetHost, m_nTargetPort, strForwardingInterface);
    if (m_pListenSocket->Create(m_nListenPort, SOCK_STREAM, FD_ALL_EVENTS, strClientInterface))
        sock::listen(m_pListenSocket->m_hSocket, 5);
    // A failed create leaves an inert listener without a socket; nothing is shown.
}

void CRelayDlg::OnStop()
{
    DropAllConnections();
    if (m_pListenSocket != nullptr) {
        m_pListenSocket->Close();
        delete m_pListenSocket;
        m_pListenSocket = nullptr;
    }
}

void CRelayDlg::OnDownloadNow()
{
    ShellOpen(QString::fromLatin1(kDownloadURL));
}

void CRelayDlg::OnRclickConnections(long *pResult)
{
    UpdateData(true);  // a rejected field shows its message; the menu opens all the same

    const QPoint position = GetMessagePos();
    CMenu menu;
    menu.LoadMenu(kConnectionMenu);
    CMenu *pPopup = menu.GetSubMenu(0);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, position.x(), position.y(), this, this);
    *pResult = 0;
    // menu is destroyed here.
}

void CRelayDlg::OnReConnect()
{
    const int nRow = ConnectionTable::FindSelectedRow(m_ctlConnections);
    if (nRow < 0)
        return;
    auto *pClient = reinterpret_cast<CClientSocket *>(m_ctlConnections.GetItemData(nRow));
    // The wait holds every notification and all input: nRow still names this pair afterwards.
    if (pClient->ReconnectTarget())
        ConnectionTable::SetStatus(m_ctlConnections, nRow, ConnectionTable::kStatusConnected);
}

void CRelayDlg::OnDisconnect()
{
    const int nRow = ConnectionTable::FindSelectedRow(m_ctlConnections);
    if (nRow < 0)
        return;
    auto *pClient = reinterpret_cast<CClientSocket *>(m_ctlConnections.GetItemData(nRow));
    pClient->m_targetSocket.Close();
    ConnectionTable::SetStatus(m_ctlConnections, nRow, ConnectionTable::kStatusDisconnected);
}

void CRelayDlg::OnCloseConnection()
{
    const int nRow = ConnectionTable::FindSelectedRow(m_ctlConnections);
    if (nRow < 0)
        return;
    auto *pClient = reinterpret_cast<CClientSocket *>(m_ctlConnections.GetItemData(nRow));
    if (m_pListenSocket != nullptr)
        m_pListenSocket->RemoveBySocket(pClient);
}

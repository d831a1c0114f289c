#include "app/relay_app.h"

#include "platform/message_box.h"
#include "platform/socket_api.h"
#include "res/resource.h"
#include "res/resources.h"
#include "ui/relay_dlg.h"

CRelayApp theApp;

CRelayApp::CRelayApp() = default;

bool CRelayApp::InitInstance()
{
    if (!AfxSocketInit()) {
        AfxMessageBox(LoadResString(IDP_SOCKETS_INIT_FAILED));
        return false;
    }

    CRelayDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // Open connections end with the process.
    return false;
}

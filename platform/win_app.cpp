#include "platform/win_app.h"

#include <QApplication>
#include <QFileInfo>

namespace {
CWinApp *g_pApp = nullptr;
}

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

bool CWinApp::InitInstance()
{
    return false;
}

CWinApp *AfxGetApp()
{
    return g_pApp;
}

QWidget *AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

QString AfxGetAppName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void AfxChooseEventDispatcher()
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}

int AfxWinMain(CWinApp &rApp, int argc, char **argv)
{
    AfxChooseEventDispatcher();
    QApplication application(argc, argv);
    QApplication::setApplicationName(AfxGetAppName());
    if (rApp.InitInstance())
        return QApplication::exec();
    return 0;
}

#pragma once

#include <QString>

class QWidget;

// The application object: exactly one, usually a global constructed before main(). Its
// InitInstance holds the program's whole life; AfxWinMain makes the Qt application, runs it,
// and ends the program when it returns.
class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    // Returns false to end the program without a message loop of its own.
    virtual bool InitInstance();

    QWidget *m_pMainWnd = nullptr;  // not owned
};

CWinApp *AfxGetApp();
// The application's main window, or nullptr.
QWidget *AfxGetMainWnd();
// The executable's file name without its extension.
QString AfxGetAppName();

// Chooses Qt's own poll-based event dispatcher for the application about to be made (unless
// the environment chose already). Readiness, wake-ups and notifier changes then cost no extra
// system calls, which the glib dispatcher spends on every change of a socket notifier. Call
// before the QApplication is constructed.
void AfxChooseEventDispatcher();

// Creates the Qt application, runs rApp.InitInstance() and returns the process's exit code.
int AfxWinMain(CWinApp &rApp, int argc, char **argv);

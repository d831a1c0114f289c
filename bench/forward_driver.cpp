// Runs the real Ferrolink main window offscreen for the benchmarks: fills the form (listen on
// 127.0.0.1:LISTEN_PORT, forward from 127.0.0.1 to 127.0.0.1:TARGET_PORT), presses
// "Start Forwarding" through the window's own handler, prints "ready", and runs the event loop
// until the process is terminated.
//
//   ferrolink_bench_driver LISTEN_PORT TARGET_PORT

#include "net/listen_socket.h"
#include "platform/host_addresses.h"
#include "platform/socket_api.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "ui/relay_dlg.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>

namespace {
QStringList LoopbackOnly()
{
    return {QStringLiteral("127.0.0.1")};
}
}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LISTEN_PORT TARGET_PORT\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AfxChooseEventDispatcher();
    QApplication application(argc, argv);
    if (!AfxSocketInit())
        return 1;

    SetLocalAddressLookupForTesting(LoopbackOnly);
    CRelayDlg dlg;
    dlg.Create();
    dlg.show();
    qobject_cast<QLineEdit *>(dlg.GetDlgItem(IDC_LISTEN_PORT))
        ->setText(QString::fromLatin1(argv[1]));
    qobject_cast<QLineEdit *>(dlg.GetDlgItem(IDC_TARGET_HOST))
        ->setText(QStringLiteral("127.0.0.1"));
    qobject_cast<QLineEdit *>(dlg.GetDlgItem(IDC_TARGET_PORT))
        ->setText(QString::fromLatin1(argv[2]));
    dlg.OnStartForwarding();
    if (dlg.m_pListenSocket == nullptr || dlg.m_pListenSocket->m_hSocket == INVALID_SOCKET) {
        std::fprintf(stderr, "could not listen on 127.0.0.1:%s\n", argv[1]);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}

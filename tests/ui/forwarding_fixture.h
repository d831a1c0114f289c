#pragma once

#include "net/client_socket.h"
#include "net/listen_socket.h"
#include "res/resource.h"
#include "tests/event_wait.h"
#include "tests/peers.h"
#include "tests/ui/relay_dlg_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The main window forwarding between plain sockets on 127.0.0.1.
class ForwardingTest : public RelayDlgFixture
{
protected:
    static QStringList Loopback() { return {"127.0.0.1"}; }

    void SetUp() override { OpenWindow(Loopback); }

    void TearDown() override
    {
        RelayDlgFixture::TearDown();
        for (int fd : m_fds)
            ::close(fd);
    }

    // Fills the form and presses "Start Forwarding".
    void Start(std::uint16_t nTargetPort, const QString &listenPort = "0")
    {
        Edit(IDC_LISTEN_PORT)->setText(listenPort);
        Edit(IDC_TARGET_PORT)->setText(QString::number(nTargetPort));
        m_pDlg->OnStartForwarding();
    }

    std::uint16_t ListenPort() const
    {
        QString address;
        std::uint32_t nPort = 0;
        m_pDlg->m_pListenSocket->GetSockName(address, nPort);
        return static_cast<std::uint16_t>(nPort);
    }

    int Client()
    {
        const int fd = ConnectTo(ListenPort());
        EXPECT_GE(fd, 0);
        return Keep(fd);
    }
    int Keep(int fd)
    {
        m_fds.push_back(fd);
        return fd;
    }

    CListCtrl &Table() { return m_pDlg->m_ctlConnections; }
    int Rows() { return Table().GetItemCount(); }
    QString Status(int nRow) { return Table().GetItemText(nRow, 2); }
    bool WaitForStatus(int nRows, const QString &top)
    {
        return RunUntil([&] { return Rows() == nRows && Status(0) == top; });
    }
    QStringList RegistryKeys() const
    {
        QStringList keys;
        for (const CConnectionEntry &entry : m_pDlg->m_pListenSocket->m_listConnections)
            keys << entry.m_strKey;
        return keys;
    }
    static std::uint16_t LocalPort(int fd)
    {
        sockaddr_in address = {};
        socklen_t nLength = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &nLength);
        return ntohs(address.sin_port);
    }

    std::vector<int> m_fds;
};

#include "net/client_socket.h"
#include "net/listen_socket.h"
#include "platform/socket_queue.h"
#include "res/resource.h"
#include "tests/event_wait.h"
#include "tests/peers.h"
#include "tests/ui/forwarding_fixture.h"
#include "ui/about_dlg.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

TEST_F(ForwardingTest, RelaysSixteenMegabytesEachWayAtOnce)
{
    RawListener target;
    Start(target.Port());
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Connected"));
    const int server = Keep(target.Accept());
    SetBlockingTimeouts(client, 60);
    SetBlockingTimeouts(server, 60);

    const std::size_t kSize = 16 << 20;
    const std::string up = RandomBytes(kSize, 1), down = RandomBytes(kSize, 2);
    std::string gotUp, gotDown;
    {
        Worker clientSends([&] { SendAll(client, up); });
        Worker serverSends([&] { SendAll(server, down); });
        Worker clientReads([&] { gotDown = ReceiveBlocking(client, kSize); });
        Worker serverReads([&] { gotUp = ReceiveBlocking(server, kSize); });
        EXPECT_TRUE(RunUntil(
            [&] {
                return clientSends.Done() && serverSends.Done() && clientReads.Done() &&
                       serverReads.Done();
            },
            std::chrono::seconds(90)));
    }
    EXPECT_EQ(gotUp.size(), kSize);
    EXPECT_EQ(gotDown.size(), kSize);
    EXPECT_TRUE(gotUp == up) << "client to target, unchanged and in order";
    EXPECT_TRUE(gotDown == down) << "target to client, unchanged and in order";
}

TEST_F(ForwardingTest, ThreeClientsNewestRowOnTopRegistryOldestFirst)
{
    RawListener target;
    Start(target.Port());
    std::vector<std::uint16_t> ports;
    for (int i = 1; i <= 3; ++i) {
        ports.push_back(LocalPort(Client()));
        ASSERT_TRUE(WaitForStatus(i, "Connected"));
    }
    const QRegularExpression time(QStringLiteral("^(1?[0-9]|2[0-3]):([1-5]?[0-9]):([1-5]?[0-9])$"));
    for (int nRow = 0; nRow < 3; ++nRow) {
        SCOPED_TRACE(nRow);
        EXPECT_EQ(Table().GetItemText(nRow, 0), "127.0.0.1");
        EXPECT_EQ(Table().GetItemText(nRow, 1), QString::number(ports[2 - nRow]));
        EXPECT_EQ(Status(nRow), "Connected");
        EXPECT_TRUE(time.match(Table().GetItemText(nRow, 3)).hasMatch())
            << Table().GetItemText(nRow, 3).toStdString();
    }
    EXPECT_EQ(RegistryKeys(), QStringList({QString("127.0.0.1-%1").arg(ports[0]),
                                           QString("127.0.0.1-%1").arg(ports[1]),
                                           QString("127.0.0.1-%1").arg(ports[2])}));
}

TEST_F(ForwardingTest, RefusedTargetLeavesTheClientConnectedAndDropsWhatItSends)
{
    Start(FreePort());
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Failed to Connect"));
    SetBlockingTimeouts(client, 30);
    // Far more than the socket buffers hold: it all goes only if the pair reads and drops it.
    const std::string data = RandomBytes(8 << 20, 4);
    bool bSent = false;
    {
        Worker sender([&] { bSent = SendAll(client, data); });
        EXPECT_TRUE(RunUntil([&] { return sender.Done(); }, std::chrono::seconds(40)));
    }
    EXPECT_TRUE(bSent);
    EXPECT_TRUE(IsOpenAndQuiet(client));
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(Status(0), "Failed to Connect");
}

TEST_F(ForwardingTest, TargetClosingMarksTheRowDisconnectedAndKeepsTheClient)
{
    RawListener target;
    Start(target.Port());
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Connected"));
    ::close(target.Accept());
    ASSERT_TRUE(WaitForStatus(1, "Disconnected"));
    EXPECT_TRUE(IsOpenAndQuiet(client));
    EXPECT_EQ(RegistryKeys().size(), 1);
    // What the client sends now is read and dropped when the write fails.
    EXPECT_TRUE(SendAll(client, "still here"));
    EXPECT_TRUE(RunUntil([&] {
        std::uint32_t n = 1;
        auto *pPair = reinterpret_cast<CClientSocket *>(Table().GetItemData(0));
        return sock::ioctlsocket(pPair->m_hSocket, FIONREAD, &n) == 0 && n == 0;
    }));
    EXPECT_TRUE(IsOpenAndQuiet(client));
}

TEST_F(ForwardingTest, ClientClosingRemovesTheRowAndClosesTheTarget)
{
    RawListener target;
    Start(target.Port());
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Connected"));
    const int server = Keep(target.Accept());
    ASSERT_TRUE(SendAll(client, "hello"));
    EXPECT_EQ(ReadCount(server, 5), "hello");
    ASSERT_TRUE(SendAll(server, "world"));
    EXPECT_EQ(ReadCount(client, 5), "world");

    ::close(client);
    m_fds.erase(std::find(m_fds.begin(), m_fds.end(), client));
    EXPECT_TRUE(RunUntil([&] { return Rows() == 0; }));
    EXPECT_TRUE(WaitForPeerClose(server));
    EXPECT_TRUE(RegistryKeys().isEmpty());
}

TEST_F(ForwardingTest, ClientThatSendsAndClosesAtOnceHasEveryByteDelivered)
{
    RawListener target;
    Start(target.Port());
    const std::string data = RandomBytes(8 << 20, 5);
    const int client = ConnectTo(ListenPort());
    SetBlockingTimeouts(client, 30);
    std::string received;
    int server = -1;
    {
        Worker sender([&] {
            SendAll(client, data);
            ::close(client);
        });
        Worker receiver([&] {
            server = target.AcceptBlocking();
            SetBlockingTimeouts(server, 30);
            received = ReceiveBlocking(server, data.size() + 1);
        });
        EXPECT_TRUE(
            RunUntil([&] { return sender.Done() && receiver.Done(); }, std::chrono::seconds(60)));
    }
    Keep(server);
    EXPECT_EQ(received.size(), data.size());
    EXPECT_TRUE(received == data);
    EXPECT_TRUE(RunUntil([&] { return Rows() == 0; }));
}

TEST_F(ForwardingTest, ClientArrivingWhileAConnectWaitsIsHandledAfterIt)
{
    // The target's backlog is full and it accepts nothing yet, so the first connect waits.
    RawListener target(0);
    const int filler = Keep(ConnectTo(target.Port()));
    ASSERT_GE(filler, 0);
    Start(target.Port());

    int second = -1;
    int nRowsSeenDuringWait = -1;
    QTimer acceptor;  // frees the backlog from inside the wait, once the second client is in
    acceptor.setInterval(20);
    QObject::connect(&acceptor, &QTimer::timeout, [&] {
        if (second < 0 && CSocketQueue::Instance().IsWaiting()) {
            second = Keep(ConnectTo(ListenPort()));
            nRowsSeenDuringWait = Rows();
        }
        if (second >= 0) {
            for (int fd; (fd = target.Accept(std::chrono::milliseconds(0))) >= 0;)
                Keep(fd);
        }
    });
    acceptor.start();
    const std::uint16_t nFirstPort = LocalPort(Client());
    ASSERT_TRUE(RunUntil(
        [&] { return Rows() == 2 && Status(0) == "Connected" && Status(1) == "Connected"; },
        std::chrono::seconds(30)));
    EXPECT_EQ(nRowsSeenDuringWait, 1) << "the second client waited for the first one's connect";
    EXPECT_EQ(Table().GetItemText(0, 1), QString::number(LocalPort(second)));
    EXPECT_EQ(Table().GetItemText(1, 1), QString::number(nFirstPort));
    EXPECT_EQ(RegistryKeys(), QStringList({QString("127.0.0.1-%1").arg(nFirstPort),
                                           QString("127.0.0.1-%1").arg(LocalPort(second))}));
}

TEST_F(ForwardingTest, CloseArrivingDuringAWaitingWriteStillRemovesThePair)
{
    RawListener target;
    Start(target.Port());
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Connected"));
    const int server = Keep(target.Accept());
    SetBlockingTimeouts(server, 30);

    // The client reads nothing, so the write towards it waits; then the client goes away.
    bool bClosed = false;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!bClosed && CSocketQueue::Instance().IsWaiting()) {
            ::close(client);
            m_fds.erase(std::find(m_fds.begin(), m_fds.end(), client));
            bClosed = true;
        }
    });
    closer.start();
    const std::string flood = RandomBytes(32 << 20, 6);
    Worker sender([&] { SendAll(server, flood); });
    EXPECT_TRUE(RunUntil([&] { return bClosed && Rows() == 0; }, std::chrono::seconds(30)));
    EXPECT_TRUE(RegistryKeys().isEmpty());
    EXPECT_TRUE(WaitForPeerClose(server, std::chrono::seconds(30)));
    EXPECT_TRUE(RunUntil([&] { return sender.Done(); }, std::chrono::seconds(40)));
}

TEST_F(ForwardingTest, StopDropsEverythingAndFreesThePort)
{
    RawListener target;
    Start(target.Port());
    const std::uint16_t nPort = ListenPort();
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Connected"));
    const int server = Keep(target.Accept());

    m_pDlg->OnStop();
    EXPECT_EQ(m_pDlg->m_pListenSocket, nullptr);
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(WaitForPeerClose(client));
    EXPECT_TRUE(WaitForPeerClose(server));
    EXPECT_EQ(ConnectTo(nPort), -1) << "nothing listens any more";
    QApplication::processEvents();
    EXPECT_EQ(Rows(), 0);

    m_pDlg->OnStop();  // a second Stop does nothing
    EXPECT_EQ(m_pDlg->m_pListenSocket, nullptr);
}

TEST_F(ForwardingTest, StartForwardingAgainRestartsOnAnUnchangedPort)
{
    RawListener target;
    const QString port = QString::number(FreePort());
    Start(target.Port(), port);
    for (int nRound = 0; nRound < 3; ++nRound) {
        SCOPED_TRACE(nRound);
        const int client = Client();
        ASSERT_TRUE(WaitForStatus(1, "Connected"));
        const int server = Keep(target.Accept());
        ASSERT_TRUE(SendAll(client, "ping"));
        EXPECT_EQ(ReadCount(server, 4), "ping");
        // Restart while the connection is up: this side closes it first, so it lingers on the
        // listening port, and the new listener must bind all the same.
        m_pDlg->OnStartForwarding();
        ASSERT_NE(m_pDlg->m_pListenSocket->m_hSocket, INVALID_SOCKET);
        EXPECT_EQ(ListenPort(), port.toUInt());
        EXPECT_EQ(Rows(), 0);
        EXPECT_TRUE(WaitForPeerClose(client));
        EXPECT_TRUE(WaitForPeerClose(server));
    }
}

TEST_F(ForwardingTest, ListenPortAbove65535UsesItsLow16Bits)
{
    // As 110000 listens on 44464; a port known to be free keeps the test off busy ports.
    RawListener target;
    const std::uint16_t nPort = FreePort();
    Start(target.Port(), QString::number(65536u + nPort));
    ASSERT_NE(m_pDlg->m_pListenSocket->m_hSocket, INVALID_SOCKET);
    EXPECT_EQ(m_pDlg->m_pListenSocket->m_nListenPort, 65536u + nPort);
    EXPECT_EQ(ListenPort(), nPort);
}

TEST_F(ForwardingTest, RejectedPortStartsOnTheMembersPreviousValue)
{
    RawListener target;
    const std::uint16_t nPort = FreePort();
    Start(target.Port(), QString::number(nPort));
    MessageBoxWatcher boxes;
    Start(target.Port(), "abc");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Please enter a positive integer.");
    ASSERT_NE(m_pDlg->m_pListenSocket->m_hSocket, INVALID_SOCKET);
    EXPECT_EQ(ListenPort(), nPort);
    EXPECT_EQ(Edit(IDC_LISTEN_PORT)->text(), "abc");
}

TEST_F(ForwardingTest, PortInUseLeavesNothingListeningAndShowsNothing)
{
    RawListener target, busy;
    MessageBoxWatcher boxes;
    Start(target.Port(), QString::number(busy.Port()));
    ASSERT_NE(m_pDlg->m_pListenSocket, nullptr);
    EXPECT_EQ(m_pDlg->m_pListenSocket->m_hSocket, INVALID_SOCKET);
    EXPECT_EQ(Rows(), 0);
    QApplication::processEvents();
    EXPECT_TRUE(boxes.Boxes().empty());
    m_pDlg->OnStop();
    EXPECT_EQ(m_pDlg->m_pListenSocket, nullptr);
}

TEST_F(ForwardingTest, ForwardingGoesOnWhileTheAboutBoxIsOpen)
{
    RawListener target;
    Start(target.Port());
    bool bRowWhileOpen = false;
    int client = -1;
    QTimer watcher;
    watcher.setInterval(10);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            auto *pAbout = dynamic_cast<CAboutDlg *>(pWidget);
            if (pAbout == nullptr || !pAbout->isVisible())
                continue;
            if (client < 0)
                client = Keep(ConnectTo(ListenPort()));
            if (Rows() == 1 && Status(0) == "Connected") {
                bRowWhileOpen = true;
                QTest::keyClick(pAbout, Qt::Key_Escape);
            }
        }
    });
    watcher.start();
    m_pDlg->GetSystemMenu(false)->GetQMenu()->actions().last()->trigger();
    EXPECT_TRUE(bRowWhileOpen);
}

}  // namespace

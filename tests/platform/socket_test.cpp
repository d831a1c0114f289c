#include "platform/socket.h"
#include "tests/event_wait.h"
#include "tests/peers.h"
#include "tests/platform/recording_socket.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Connects rSocket from 127.0.0.1 to the listener; returns the listener's end of the connection.
int ConnectedPair(CSocket &rSocket, RawListener &listener)
{
    EXPECT_TRUE(rSocket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_TRUE(rSocket.Connect("127.0.0.1", listener.Port()));
    return listener.Accept();
}

TEST(SocketCreateTest, BindsOnlyToDottedAddressText)
{
    struct
    {
        const char *address;
        bool created;
    } const kCases[] = {
        {"127.0.0.1", true}, {"localhost", false}, {"", false},
        {"127.1", false},    {"256.0.0.1", false}, {" 127.0.0.1", false},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.address);
        CAsyncSocket socket;
        EXPECT_EQ(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, c.address), c.created);
        EXPECT_EQ(socket.m_hSocket != INVALID_SOCKET, c.created);
        if (!c.created) {
            EXPECT_EQ(CAsyncSocket::GetLastError(), WSAEINVAL);
        }
    }
}

TEST(SocketCreateTest, PortInUseFailsButLingeringConnectionsDoNot)
{
    const std::uint32_t nPort = FreePort();
    CAsyncSocket first;
    ASSERT_TRUE(first.Create(nPort, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    ASSERT_EQ(sock::listen(first.m_hSocket, 5), 0);

    CAsyncSocket second;
    EXPECT_FALSE(second.Create(nPort, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAEADDRINUSE);
    EXPECT_EQ(second.m_hSocket, INVALID_SOCKET);

    // This side closes an accepted connection first, so it lingers on the port in TIME_WAIT.
    const int client = ConnectTo(static_cast<std::uint16_t>(nPort));
    CSocket accepted;
    ASSERT_TRUE(RunUntil([&] { return first.Accept(accepted); }));
    accepted.Close();
    first.Close();
    ASSERT_TRUE(WaitForPeerClose(client));
    ::close(client);

    CAsyncSocket again;
    EXPECT_TRUE(again.Create(nPort, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_EQ(sock::listen(again.m_hSocket, 5), 0);
}

TEST(SocketConnectTest, ResolvesNamesAndUsesTheLow16BitsOfThePort)
{
    RawListener target;
    struct
    {
        const char *host;
        std::uint32_t nPort;
    } const kCases[] = {
        {"127.0.0.1", target.Port()},
        {"localhost", target.Port()},
        {"127.0.0.1", 65536u + target.Port()},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.host);
        CSocket socket;
        ASSERT_TRUE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
        EXPECT_TRUE(socket.Connect(c.host, c.nPort));
        const int accepted = target.Accept();
        EXPECT_GE(accepted, 0);
        ::close(accepted);
    }
    CSocket unresolved;
    ASSERT_TRUE(unresolved.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_FALSE(unresolved.Connect("no-such-host.invalid", target.Port()));
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAEINVAL);
}

TEST(SocketConnectTest, RefusedConnectFailsAndTheSameSocketMayConnectAgain)
{
    const std::uint16_t nPort = FreePort();
    CSocket socket;
    ASSERT_TRUE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_FALSE(socket.Connect("127.0.0.1", nPort));
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAECONNREFUSED);
    EXPECT_NE(socket.m_hSocket, INVALID_SOCKET) << "the handle stays for another attempt";

    RawListener target(5, nPort);
    EXPECT_TRUE(socket.Connect("127.0.0.1", nPort));
    EXPECT_FALSE(socket.Connect("127.0.0.1", nPort)) << "already connected";
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAEISCONN);
    ::close(target.Accept());
}

TEST(SocketConnectTest, ConnectWithoutAnswerFailsAfterAbout21Seconds)
{
    // A listener whose backlog is full and that never accepts drops every further SYN.
    RawListener silent(0);
    const int filler = ConnectTo(silent.Port());
    ASSERT_GE(filler, 0);

    CSocket socket;
    ASSERT_TRUE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(socket.Connect("127.0.0.1", silent.Port()));
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAETIMEDOUT);
    EXPECT_GE(elapsed.elapsed(), 20000);
    EXPECT_LE(elapsed.elapsed(), 26000);
    ::close(filler);
}

TEST(SocketSendTest, WriteToAPeerThatHasGoneFailsWithoutEndingTheProcess)
{
    RawListener listener;
    CSocket socket;
    const int peer = ConnectedPair(socket, listener);
    ASSERT_GE(peer, 0);
    ::close(peer);  // the peer goes; the next writes meet a reset
    ASSERT_TRUE(WaitForPeerClose(socket.m_hSocket));
    const std::string chunk(65536, 'x');
    int nResult = 0;
    for (int i = 0; i < 100 && nResult != SOCKET_ERROR; ++i)
        nResult = socket.Send(chunk.data(), static_cast<int>(chunk.size()));
    EXPECT_EQ(nResult, SOCKET_ERROR);
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAECONNRESET);

    CSocket unconnected;
    EXPECT_EQ(unconnected.Send("x", 1), SOCKET_ERROR) << "no handle: fails at once";
}

TEST(SocketSendTest, WaitingWriteCompletesAsThePeerReads)
{
    RawListener listener;
    CSocket socket;
    const int peer = ConnectedPair(socket, listener);
    ASSERT_GE(peer, 0);
    const std::string data = RandomBytes(8 << 20, 3);  // far more than the socket buffers hold
    std::string received;
    Worker reader([&] {
        char buffer[65536];
        while (received.size() < data.size()) {
            const ssize_t n = ::recv(peer, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<std::size_t>(n));
        }
    });
    EXPECT_EQ(socket.Send(data.data(), static_cast<int>(data.size())),
              static_cast<int>(data.size()));
    ASSERT_TRUE(RunUntil([&] { return reader.Done(); }));
    EXPECT_TRUE(received == data);
    ::close(peer);
}

}  // namespace

namespace {

TEST(SocketCloseTest, ClosingWithUnreadBytesStillDeliversWhatWasSent)
{
    RawListener listener;
    CAsyncSocket socket;
    ASSERT_TRUE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    socket.Connect("127.0.0.1", listener.Port());
    const int peer = listener.Accept();
    ASSERT_TRUE(RunUntil([&] {
        QString address;
        std::uint32_t nPort;
        return socket.GetPeerName(address, nPort);
    }));

    // The peer has sent something this side never reads, and does not read yet itself, so part
    // of what this side writes is still queued here when it closes.
    ASSERT_TRUE(SendAll(peer, "unread"));
    ASSERT_TRUE(RunUntil([&] {
        std::uint32_t n = 0;
        return sock::ioctlsocket(socket.m_hSocket, FIONREAD, &n) == 0 && n == 6;
    }));
    const std::string data = RandomBytes(16 << 20, 9);
    std::size_t nQueued = 0;
    for (;;) {
        const int n = socket.Send(data.data() + nQueued, static_cast<int>(data.size() - nQueued));
        if (n <= 0)
            break;
        nQueued += static_cast<std::size_t>(n);
    }
    ASSERT_GT(nQueued, 0u);
    socket.Close();

    std::string received;
    EXPECT_TRUE(WaitForPeerClose(peer, std::chrono::seconds(20), &received));
    EXPECT_EQ(received.size(), nQueued);
    EXPECT_TRUE(received == data.substr(0, nQueued));
    ::close(peer);
}

}  // namespace

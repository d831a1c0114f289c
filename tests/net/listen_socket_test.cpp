#include "net/client_socket.h"
#include "net/listen_socket.h"
#include "platform/list_ctrl.h"
#include "tests/event_wait.h"
#include "tests/peers.h"
#include "ui/connection_table.h"

#include <QTableView>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A client socket whose peer name is whatever the test says: real sockets cannot give two
// connections the same address and port, nor fail to name their peer.
class FakePeerClient : public CClientSocket
{
public:
    FakePeerClient(QString address, std::uint32_t nPort, bool bNamed)
        : m_address(std::move(address)), m_nPort(nPort), m_bNamed(bNamed)
    {
        ++s_nLive;
    }
    ~FakePeerClient() override { --s_nLive; }

    bool GetPeerName(QString &rAddress, std::uint32_t &rPort) override
    {
        if (!m_bNamed)
            return false;
        rAddress = m_address;
        rPort = m_nPort;
        return true;
    }

    static inline int s_nLive = 0;

private:
    QString m_address;
    std::uint32_t m_nPort;
    bool m_bNamed;
};

class FakePeerListener : public CListenSocket
{
public:
    bool m_bNamed = true;

protected:
    CClientSocket *NewClientSocket() override
    {
        return new FakePeerClient("10.0.0.7", 3001, m_bNamed);
    }
};

// A listener of fake-peer clients with its own table, forwarding to a plain target socket.
class ListenSocketTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_table.SubclassWindow(&m_widget);
        ConnectionTable::SetUpColumns(m_table);
        m_listener.Configure(&m_table, "127.0.0.1", 0, "127.0.0.1", m_target.Port(), "127.0.0.1");
        ASSERT_TRUE(m_listener.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
        ASSERT_EQ(sock::listen(m_listener.m_hSocket, 5), 0);
        QString address;
        m_listener.GetSockName(address, m_nPort);
    }

    void TearDown() override
    {
        // As the main window does: every pair through the table, then the listener.
        for (int nRow = 0; nRow < m_table.GetItemCount(); ++nRow)
            delete reinterpret_cast<CClientSocket *>(m_table.GetItemData(nRow));
        m_table.DeleteAllItems();
        for (int fd : m_fds)
            ::close(fd);
    }

    int Client()
    {
        const int fd = ConnectTo(static_cast<std::uint16_t>(m_nPort));
        m_fds.push_back(fd);
        return fd;
    }

    RawListener m_target;
    QTableView m_widget;
    CListCtrl m_table;
    FakePeerListener m_listener;
    std::uint32_t m_nPort = 0;
    std::vector<int> m_fds;
};

TEST_F(ListenSocketTest, NewClientUnderARegisteredKeyReplacesTheOldConnection)
{
    const int first = Client();
    ASSERT_TRUE(RunUntil([&] { return m_table.GetItemText(0, 2) == "Connected"; }));
    auto *pFirst = reinterpret_cast<CClientSocket *>(m_table.GetItemData(0));

    Client();
    ASSERT_TRUE(RunUntil([&] {
        return m_table.GetItemData(0) != reinterpret_cast<std::uintptr_t>(pFirst) &&
               m_table.GetItemText(0, 2) == "Connected";
    }));
    EXPECT_EQ(m_table.GetItemCount(), 1);
    ASSERT_EQ(m_listener.m_listConnections.size(), 1u);
    EXPECT_EQ(m_listener.m_listConnections.front().m_strKey, "10.0.0.7-3001");
    EXPECT_EQ(m_listener.m_listConnections.front().m_pClientSocket,
              reinterpret_cast<CClientSocket *>(m_table.GetItemData(0)));
    EXPECT_EQ(FakePeerClient::s_nLive, 1) << "the old pair was deleted";
    EXPECT_TRUE(WaitForPeerClose(first)) << "and its connection closed";
}

TEST_F(ListenSocketTest, ClientWhosePeerCannotBeNamedGetsNoRowAndIsNotKept)
{
    m_listener.m_bNamed = false;
    const int client = Client();
    EXPECT_TRUE(WaitForPeerClose(client)) << "the unnamed connection is closed at once";
    EXPECT_EQ(m_table.GetItemCount(), 0);
    EXPECT_TRUE(m_listener.m_listConnections.empty());
    EXPECT_EQ(FakePeerClient::s_nLive, 0);
}

TEST_F(ListenSocketTest, RemovalsOfUnknownSocketsOrKeysChangeNothing)
{
    Client();
    ASSERT_TRUE(RunUntil([&] { return m_table.GetItemText(0, 2) == "Connected"; }));
    CClientSocket stranger;
    m_listener.RemoveBySocket(&stranger);
    m_listener.RemoveByKey("10.0.0.7-3002");
    EXPECT_EQ(m_table.GetItemCount(), 1);
    EXPECT_EQ(m_listener.m_listConnections.size(), 1u);

    // A registered socket whose row is gone is still closed, deleted and unregistered.
    auto *pClient = reinterpret_cast<CClientSocket *>(m_table.GetItemData(0));
    m_table.DeleteItem(0);
    m_listener.RemoveBySocket(pClient);
    EXPECT_TRUE(m_listener.m_listConnections.empty());
    EXPECT_EQ(FakePeerClient::s_nLive, 0);
}

}  // namespace

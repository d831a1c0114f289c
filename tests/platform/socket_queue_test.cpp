#include "platform/socket_queue.h"
#include "tests/event_wait.h"
#include "tests/peers.h"
#include "tests/platform/recording_socket.h"

#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Runs one step after another from a timer while a call waits; a step runs once the previous
// one's notification (if any) is held in the queue, so the order of arrival is certain.
class Steps
{
public:
    explicit Steps(std::vector<std::function<void()>> steps) : m_steps(std::move(steps))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_nNext >= m_steps.size() || !CSocketQueue::Instance().IsWaiting())
                return;
            const std::size_t nHeld = CSocketQueue::Instance().QueuedCount();
            if (m_nNext > 0 && nHeld == m_nHeldBefore)
                return;  // the last step's notification has not arrived yet
            m_nHeldBefore = nHeld;
            m_steps[m_nNext++]();
        });
        m_timer.start();
    }

private:
    std::vector<std::function<void()>> m_steps;
    std::size_t m_nNext = 0;
    std::size_t m_nHeldBefore = 0;
    QTimer m_timer;
};

// Sockets attached to accepted connections whose other ends the test holds as plain fds.
class SocketQueueTest : public ::testing::Test
{
protected:
    struct Pair
    {
        std::unique_ptr<RecordingSocket> pSocket;
        int peer = -1;
    };

    Pair Connect(const std::string &name, bool bRead = true)
    {
        Pair pair;
        pair.peer = ConnectTo(m_listener.Port());
        pair.pSocket = std::make_unique<RecordingSocket>(name, m_log, bRead);
        pair.pSocket->Attach(m_listener.Accept());
        m_peers.push_back(pair.peer);
        // Every connected socket first reports once that it can write.
        EXPECT_TRUE(RunUntil([&] { return Count(name + ":write") == 1; }));
        return pair;
    }

    int Count(const std::string &entry) const
    {
        return static_cast<int>(std::count(m_log.begin(), m_log.end(), entry));
    }
    std::vector<std::string> Reads() const
    {
        std::vector<std::string> reads;
        for (const std::string &entry : m_log)
            if (entry.ends_with(":read") || entry.ends_with(":close"))
                reads.push_back(entry);
        return reads;
    }

    void TearDown() override
    {
        for (int fd : m_peers)
            ::close(fd);
    }

    RawListener m_listener;
    std::vector<std::string> m_log;
    std::vector<int> m_peers;
};

TEST_F(SocketQueueTest, WaitHoldsNotificationsAndDispatchesThemAfterwardsInArrivalOrder)
{
    Pair w = Connect("W"), x = Connect("X"), y = Connect("Y");
    m_log.clear();

    // Each write waits until the one before it is held, so the arrival order is fixed.
    Steps steps({[&] { SendAll(y.peer, "y"); }, [&] { SendAll(x.peer, "x"); },
                 [&] { SendAll(w.peer, "w"); }});

    char byte = 0;
    EXPECT_EQ(w.pSocket->Receive(&byte, 1), 1);  // waits until W's byte arrives
    EXPECT_EQ(byte, 'w');
    EXPECT_TRUE(m_log.empty()) << "no handler runs while a call waits";
    EXPECT_EQ(CSocketQueue::Instance().QueuedCount(), 2u);

    ASSERT_TRUE(RunUntil([&] { return m_log.size() == 2; }));
    EXPECT_EQ(m_log, (std::vector<std::string>{"Y:read", "X:read"}));
    EXPECT_EQ(y.pSocket->m_received, "y");
    EXPECT_EQ(x.pSocket->m_received, "x");
}

TEST_F(SocketQueueTest, HeldNotificationOfAClosedSocketIsDroppedNotPassedToAReusedDescriptor)
{
    Pair w = Connect("W"), x = Connect("X");
    m_log.clear();
    const int nOldHandle = x.pSocket->m_hSocket;
    Pair z;
    Steps steps({[&] { SendAll(x.peer, "x"); },
                 [&] {
                     x.pSocket->Close();
                     // The next descriptor is very likely X's old number.
                     z.peer = ConnectTo(m_listener.Port());
                     z.pSocket = std::make_unique<RecordingSocket>("Z", m_log);
                     z.pSocket->Attach(m_listener.Accept());
                     m_peers.push_back(z.peer);
                 },
                 [&] { SendAll(w.peer, "w"); }});

    char byte = 0;
    ASSERT_EQ(w.pSocket->Receive(&byte, 1), 1);
    ASSERT_TRUE(z.pSocket);
    SendAll(w.peer, "w");  // a marker that arrives after everything held
    ASSERT_TRUE(RunUntil([&] { return Count("W:read") == 1; }));
    EXPECT_EQ(Count("X:read"), 0);
    EXPECT_EQ(Count("Z:read"), 0);
    if (z.pSocket->m_hSocket != nOldHandle)
        GTEST_LOG_(INFO) << "descriptor was not reused this time";
}

TEST_F(SocketQueueTest, CloseDuringAWaitEndsItAndIsStillDispatched)
{
    Pair w = Connect("W");
    m_log.clear();
    QTimer::singleShot(50, [&] {
        ::close(w.peer);
        m_peers.erase(std::find(m_peers.begin(), m_peers.end(), w.peer));
    });
    char byte = 0;
    EXPECT_EQ(w.pSocket->Receive(&byte, 1), 0) << "end of stream";
    EXPECT_TRUE(m_log.empty());
    ASSERT_TRUE(RunUntil([&] { return Count("W:close") == 1; }));
}

TEST_F(SocketQueueTest, CloseComesAfterEveryByteWasRead)
{
    Pair s = Connect("S");
    s.pSocket->m_nChunk = 1000;  // many notifications for the data
    m_log.clear();
    const std::string data = RandomBytes(200000, 7);
    SendAll(s.peer, data);
    ::close(s.peer);
    m_peers.clear();
    ASSERT_TRUE(RunUntil([&] { return Count("S:close") == 1; }));
    EXPECT_EQ(s.pSocket->m_received, data);
    EXPECT_EQ(m_log.back(), "S:close");
}

TEST_F(SocketQueueTest, ReadIsNotReportedAgainUntilTheSocketReads)
{
    Pair idle = Connect("I", /*bRead=*/false), busy = Connect("B");
    m_log.clear();
    SendAll(idle.peer, "unread");
    ASSERT_TRUE(RunUntil([&] { return Count("I:read") == 1; }));
    // Three more rounds of readiness on another socket: the unread one stays quiet.
    for (int i = 1; i <= 3; ++i) {
        SendAll(busy.peer, "b");
        ASSERT_TRUE(RunUntil([&] { return Count("B:read") == i; }));
    }
    EXPECT_EQ(Count("I:read"), 1);
}

}  // namespace

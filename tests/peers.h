#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// Plain POSIX peers for network tests, on 127.0.0.1 with ports chosen by the system. Calls that
// wait for the product run the Qt event loop meanwhile (the product lives on this thread);
// every wait has a deadline.

// A listening socket: the target of forwarded connections, or a port held busy.
class RawListener
{
public:
    explicit RawListener(int nBacklog = 16, std::uint16_t nPort = 0);
    ~RawListener();
    RawListener(const RawListener &) = delete;
    RawListener &operator=(const RawListener &) = delete;

    std::uint16_t Port() const { return m_nPort; }
    // Accepts one connection, running the event loop until one arrives; -1 at the deadline.
    int Accept(std::chrono::milliseconds deadline = std::chrono::seconds(10));
    // Accepts one connection without running the event loop, for worker threads; -1 at the
    // deadline.
    int AcceptBlocking(std::chrono::milliseconds deadline = std::chrono::seconds(30));
    void Close();

private:
    int m_fd = -1;
    std::uint16_t m_nPort = 0;
};

// A blocking connect to 127.0.0.1:nPort; -1 when refused.
int ConnectTo(std::uint16_t nPort);
// A port on 127.0.0.1 where nothing listens (bound, then closed).
std::uint16_t FreePort();

// Sends all of data (blocking); false on an error.
bool SendAll(int fd, const std::string &data);
// Reads until nCount bytes arrived, running the event loop meanwhile; returns what arrived.
std::string ReadCount(int fd, std::size_t nCount,
                      std::chrono::milliseconds deadline = std::chrono::seconds(10));
// Runs the event loop until the peer has closed (read gives 0 or a reset); false at the deadline.
// Bytes that arrive meanwhile are appended to *pRest if given, else dropped.
bool WaitForPeerClose(int fd, std::chrono::milliseconds deadline = std::chrono::seconds(10),
                      std::string *pRest = nullptr);
// True while the connection is open: nothing to read, no end of stream, no error.
bool IsOpenAndQuiet(int fd);

std::string RandomBytes(std::size_t nCount, std::uint32_t nSeed);

// Runs fn on a thread; Done() tells when it has returned. Joined by the destructor.
class Worker
{
public:
    template <typename Fn>
    explicit Worker(Fn fn)
        : m_thread([this, fn]() mutable {
              fn();
              m_bDone = true;
          })
    {}
    ~Worker() { m_thread.join(); }
    bool Done() const { return m_bDone; }

private:
    std::atomic<bool> m_bDone{false};
    std::thread m_thread;
};

// Bounds every blocking call on fd (for peers on worker threads).
void SetBlockingTimeouts(int fd, int nSeconds);
// Reads until nCount bytes or the end of the stream, blocking; for worker threads.
std::string ReceiveBlocking(int fd, std::size_t nCount);

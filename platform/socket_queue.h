#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <unordered_map>

class CAsyncSocket;

// The one FIFO queue through which every socket notification reaches its handler.
//
// Readiness reported by the sockets' QSocketNotifiers becomes a notification here, keyed by the
// socket's generation id (never by its descriptor, which the system reuses). The queue is
// drained from the event loop, one notification at a time, in arrival order; a handler runs to
// completion before the next one starts, and the queue never touches a socket again once its
// handler has returned (a handler may delete its own socket). Notifications of a socket that is
// closed or deleted are dropped, also those already queued.
//
// A waiting call (CSocket's Connect, Receive and Send) runs Wait(): a nested loop that serves
// repaint and the socket layer's timers but no user input. Every notification that arrives then
// is held in the queue, except the one the waiting socket waits for, which ends the wait and is
// consumed. A close of the waiting socket ends the wait as well but stays queued, so that its
// handler still runs afterwards. Held notifications are dispatched once the handler or command
// that made the call has returned, ahead of later ones.
//
// Lives on the GUI thread; there is exactly one.
class CSocketQueue
{
public:
    static CSocketQueue &Instance();

    CSocketQueue(const CSocketQueue &) = delete;
    CSocketQueue &operator=(const CSocketQueue &) = delete;

    // Gives the socket a new generation id and makes it reachable by it.
    std::uint64_t Register(CAsyncSocket *pSocket);
    // Makes the id unreachable: its queued notifications are dropped, and a wait on it ends.
    void Unregister(std::uint64_t nId);
    CAsyncSocket *Lookup(std::uint64_t nId) const;
    // Linear search by descriptor; only for the rare calls that start from a handle.
    CAsyncSocket *LookupHandle(int hSocket) const;

    // Queues a notification for the socket with the given id (or completes a wait on it).
    void Post(std::uint64_t nId, long lEvent, int nErrorCode);

    enum class WaitEnd
    {
        Completed,
        Closed,
        Tick
    };
    struct WaitResult
    {
        WaitEnd end;
        int nErrorCode;
    };
    // Runs the nested loop until the socket's lEvent arrives, its close arrives, it is closed,
    // or nTickMs pass. REQUIRES: no other wait is running.
    WaitResult Wait(std::uint64_t nId, long lEvent, int nTickMs);
    bool IsWaiting() const { return m_pWait != nullptr; }

    // Dispatches queued notifications unless a wait or another dispatch is running.
    void Dispatch();

    std::size_t QueuedCount() const { return m_queue.size(); }

private:
    CSocketQueue() = default;
    void ScheduleDispatch();

    struct Notification
    {
        std::uint64_t nId;
        long lEvent;
        int nErrorCode;
    };
    struct ActiveWait
    {
        std::uint64_t nId;
        long lEvent;
        bool bDone = false;
        WaitResult result{WaitEnd::Tick, 0};
    };

    std::deque<Notification> m_queue;
    std::unordered_map<std::uint64_t, CAsyncSocket *> m_sockets;
    std::uint64_t m_nNextId = 1;
    ActiveWait *m_pWait = nullptr;
    bool m_bDispatching = false;
    bool m_bDispatchScheduled = false;
    QObject m_context;  // receiver of the queued dispatch calls
};

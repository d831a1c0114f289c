#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <unordered_set>

class CAsyncSocket;

// The one FIFO queue through which every socket notification reaches its handler.
//
// Readiness reported by the sockets' QSocketNotifiers becomes a notification here, keyed by the
// socket's generation id (never by its descriptor, which the system reuses). The queue is
// drained from the event loop, one notification at a time, in arrival order: right inside the
// readiness callback that queued it when nothing else runs, else once the running dispatch or
// wait is over. A handler runs to completion before the next one starts, and the queue never
// touches a socket again once its handler has returned (a handler may delete its own socket).
// Notifications of a socket that is closed or deleted are dropped, also those already queued.
//
// A waiting call (CSocket's Connect, Receive and Send) runs Wait(): a nested loop that serves
// repaint and the socket layer's timers but no user input. Every notification that arrives then
// is held in the queue, except the one the waiting socket waits for, which ends the wait and is
// consumed. A close of the waiting socket ends the wait as well but stays queued, so that its
// handler still runs afterwards. Held notifications are dispatched once the handler or command
// that made the call has returned, ahead of later ones.
//
// Changes of which readiness a socket listens for are collected while a readiness callback or
// a dispatch runs and applied once, before the loop polls again: a read that disarms and re-arms
// the read notifier within one callback costs nothing, and a handle accepted and handed on at
// once never gets notifiers of its own.
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
    // Makes the id unreachable: its queued notifications are dropped, a wait on it ends, its
    // timers stop and its pending notifier changes are forgotten.
    void Unregister(std::uint64_t nId);
    CAsyncSocket *Lookup(std::uint64_t nId) const;
    // Linear search by descriptor; only for the rare calls that start from a handle.
    CAsyncSocket *LookupHandle(int hSocket) const;

    // Queues a notification for the socket with the given id (or completes a wait on it).
    void Post(std::uint64_t nId, long lEvent, int nErrorCode);

    // Brackets a readiness callback: notifications it posts are dispatched at its end when
    // nothing else runs. The socket must not be touched after EndReadiness (a handler may
    // have deleted it).
    void BeginReadiness() { ++m_nBatchDepth; }
    void EndReadiness();

    // Asks for the socket's notifiers to be brought up to date before the loop polls again.
    void NotifiersChanged(std::uint64_t nId);

    // Calls CAsyncSocket::OnTimer of the socket after nMs unless stopped; returns the timer id.
    int StartTimer(std::uint64_t nId, int nMs);
    void StopTimer(int nTimerId);

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
    CSocketQueue();
    void ScheduleDispatch();
    void ApplyNotifierChanges();
    void TimerFired(int nTimerId);

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
    // Receives the queued dispatch calls and the timers.
    class Context : public QObject
    {
    public:
        explicit Context(CSocketQueue &queue) : m_queue(queue) {}

    protected:
        void timerEvent(QTimerEvent *pEvent) override;

    private:
        CSocketQueue &m_queue;
    };

    std::deque<Notification> m_queue;
    std::unordered_map<std::uint64_t, CAsyncSocket *> m_sockets;
    std::unordered_set<std::uint64_t> m_changedNotifiers;
    std::unordered_map<int, std::uint64_t> m_timers;  // timer id -> socket id
    std::uint64_t m_nNextId = 1;
    ActiveWait *m_pWait = nullptr;
    int m_nTickTimer = 0;
    int m_nBatchDepth = 0;  // readiness callbacks and dispatches running
    bool m_bDispatching = false;
    bool m_bDispatchScheduled = false;
    Context m_context;
};

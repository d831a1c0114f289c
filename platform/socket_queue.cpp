#include "platform/socket_queue.h"

#include "platform/async_socket.h"
#include "platform/socket_api.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <new>

CSocketQueue &CSocketQueue::Instance()
{
    static CSocketQueue queue;
    return queue;
}

CSocketQueue::CSocketQueue() : m_context(*this) {}

std::uint64_t CSocketQueue::Register(CAsyncSocket *pSocket)
{
    const std::uint64_t nId = m_nNextId++;
    m_sockets.emplace(nId, pSocket);
    return nId;
}

void CSocketQueue::Unregister(std::uint64_t nId)
{
    m_sockets.erase(nId);
    m_changedNotifiers.erase(nId);
    if (m_pWait && m_pWait->nId == nId && !m_pWait->bDone) {
        m_pWait->bDone = true;
        m_pWait->result = {WaitEnd::Closed, WSAENOTSOCK};
    }
}

CAsyncSocket *CSocketQueue::Lookup(std::uint64_t nId) const
{
    const auto it = m_sockets.find(nId);
    return it == m_sockets.end() ? nullptr : it->second;
}

CAsyncSocket *CSocketQueue::LookupHandle(int hSocket) const
{
    for (const auto &[nId, pSocket] : m_sockets) {
        if (pSocket->m_hSocket == hSocket)
            return pSocket;
    }
    return nullptr;
}

void CSocketQueue::Post(std::uint64_t nId, long lEvent, int nErrorCode)
{
    if (m_pWait && m_pWait->nId == nId && !m_pWait->bDone) {
        if (lEvent == m_pWait->lEvent) {
            // The awaited event is the waiting call's result, never a handler's business.
            m_pWait->bDone = true;
            m_pWait->result = {WaitEnd::Completed, nErrorCode};
            return;
        }
        if (lEvent == FD_CLOSE) {
            // Ends the wait, and is still dispatched afterwards so the handler can clean up.
            m_pWait->bDone = true;
            m_pWait->result = {WaitEnd::Closed, nErrorCode};
        }
    }
    m_queue.push_back({nId, lEvent, nErrorCode});
    // A running dispatch, the end of a readiness callback or the end of a wait picks it up;
    // otherwise (a post from a command) the loop is asked to.
    if (m_nBatchDepth == 0 && !m_pWait)
        ScheduleDispatch();
}

void CSocketQueue::EndReadiness()
{
    Q_ASSERT(m_nBatchDepth > 0);
    --m_nBatchDepth;
    if (m_nBatchDepth > 0)
        return;  // inside a dispatch (its wait): that dispatch carries on afterwards
    if (!m_pWait && !m_queue.empty())
        Dispatch();
    ApplyNotifierChanges();
}

void CSocketQueue::NotifiersChanged(std::uint64_t nId)
{
    if (m_nBatchDepth > 0 || m_pWait) {
        m_changedNotifiers.insert(nId);
        return;
    }
    if (CAsyncSocket *pSocket = Lookup(nId))
        pSocket->ApplyNotifiers();
}

void CSocketQueue::ApplyNotifierChanges()
{
    while (!m_changedNotifiers.empty()) {
        const std::uint64_t nId = *m_changedNotifiers.begin();
        m_changedNotifiers.erase(m_changedNotifiers.begin());
        if (CAsyncSocket *pSocket = Lookup(nId))
            pSocket->ApplyNotifiers();
    }
}

int CSocketQueue::StartTimer(std::uint64_t nId, int nMs)
{
    const int nTimerId = m_context.startTimer(nMs);
    m_timers.emplace(nTimerId, nId);
    return nTimerId;
}

void CSocketQueue::StopTimer(int nTimerId)
{
    if (m_timers.erase(nTimerId))
        m_context.killTimer(nTimerId);
}

void CSocketQueue::Context::timerEvent(QTimerEvent *pEvent)
{
    m_queue.TimerFired(pEvent->timerId());
}

void CSocketQueue::TimerFired(int nTimerId)
{
    if (nTimerId == m_nTickTimer) {
        m_context.killTimer(nTimerId);
        m_nTickTimer = 0;
        if (m_pWait && !m_pWait->bDone) {
            m_pWait->bDone = true;
            m_pWait->result = {WaitEnd::Tick, 0};
        }
        return;
    }
    const auto it = m_timers.find(nTimerId);
    if (it == m_timers.end())
        return;
    const std::uint64_t nId = it->second;
    m_timers.erase(it);
    m_context.killTimer(nTimerId);
    if (CAsyncSocket *pSocket = Lookup(nId)) {
        BeginReadiness();
        pSocket->OnTimer(nTimerId);
        EndReadiness();  // pSocket may be gone by now
    }
}

CSocketQueue::WaitResult CSocketQueue::Wait(std::uint64_t nId, long lEvent, int nTickMs)
{
    Q_ASSERT(m_pWait == nullptr);
    ActiveWait wait{nId, lEvent};
    m_pWait = &wait;
    m_nTickTimer = m_context.startTimer(nTickMs);

    // Readiness, timers and repaint are served; user input stays queued until the call returns.
    while (!wait.bDone) {
        ApplyNotifierChanges();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }

    if (m_nTickTimer) {
        m_context.killTimer(m_nTickTimer);
        m_nTickTimer = 0;
    }
    m_pWait = nullptr;
    if (!m_queue.empty() && m_nBatchDepth == 0)
        ScheduleDispatch();  // a command waited: its held notifications go once it returns
    return wait.result;
}

void CSocketQueue::ScheduleDispatch()
{
    if (m_bDispatchScheduled)
        return;
    m_bDispatchScheduled = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_bDispatchScheduled = false;
            Dispatch();
            ApplyNotifierChanges();
        },
        Qt::QueuedConnection);
}

void CSocketQueue::Dispatch()
{
    if (m_bDispatching || m_pWait)
        return;  // the running dispatch, or the end of the wait, picks the queue up again
    m_bDispatching = true;
    ++m_nBatchDepth;
    while (!m_queue.empty()) {
        const Notification n = m_queue.front();
        m_queue.pop_front();
        CAsyncSocket *pSocket = Lookup(n.nId);
        if (pSocket == nullptr)
            continue;  // closed or deleted since it was queued
        try {
            pSocket->DispatchNotification(n.lEvent, n.nErrorCode);
            // The handler may have deleted pSocket: it is not touched again.
        } catch (const std::bad_alloc &) {
            // Out of memory in a handler: that notification is abandoned, the program goes on.
        }
    }
    --m_nBatchDepth;
    m_bDispatching = false;
}

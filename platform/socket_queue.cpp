#include "platform/socket_queue.h"

#include "platform/async_socket.h"
#include "platform/socket_api.h"

#include <QCoreApplication>
#include <QTimer>
#include <new>

CSocketQueue &CSocketQueue::Instance()
{
    static CSocketQueue queue;
    return queue;
}

std::uint64_t CSocketQueue::Register(CAsyncSocket *pSocket)
{
    const std::uint64_t nId = m_nNextId++;
    m_sockets.emplace(nId, pSocket);
    return nId;
}

void CSocketQueue::Unregister(std::uint64_t nId)
{
    m_sockets.erase(nId);
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
    ScheduleDispatch();
}

CSocketQueue::WaitResult CSocketQueue::Wait(std::uint64_t nId, long lEvent, int nTickMs)
{
    Q_ASSERT(m_pWait == nullptr);
    ActiveWait wait{nId, lEvent};
    m_pWait = &wait;

    QTimer tick;
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&wait] {
        if (!wait.bDone) {
            wait.bDone = true;
            wait.result = {WaitEnd::Tick, 0};
        }
    });
    tick.start(nTickMs);

    // Readiness, timers and repaint are served; user input stays queued until the call returns.
    while (!wait.bDone)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);

    m_pWait = nullptr;
    if (!m_queue.empty())
        ScheduleDispatch();
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
        },
        Qt::QueuedConnection);
}

void CSocketQueue::Dispatch()
{
    if (m_bDispatching || m_pWait)
        return;  // the running dispatch, or the end of the wait, picks the queue up again
    m_bDispatching = true;
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
    m_bDispatching = false;
}

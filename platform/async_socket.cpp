#include "platform/async_socket.h"

#include "platform/socket_queue.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

namespace {

void SetErrorFromErrno()
{
    WSASetLastError(SocketErrorFromErrno(errno));
}

// Parses strict dotted IPv4 text (four decimal numbers); no name lookup.
bool ParseDotted(const QString &strAddress, in_addr &addr)
{
    const QByteArray text = strAddress.toLatin1();
    return inet_pton(AF_INET, text.constData(), &addr) == 1;
}

// The outcome of a connect that was under way: 0 or the errno it ended with.
int ConnectOutcome(SOCKET hSocket)
{
    int nError = 0;
    socklen_t nLength = sizeof nError;
    if (::getsockopt(hSocket, SOL_SOCKET, SO_ERROR, &nError, &nLength) != 0)
        nError = errno;
    return nError;
}

QString DottedText(const in_addr &addr)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, text, sizeof text);
    return QString::fromLatin1(text);
}

// What a socket knew of the handle it let go of (Detach): the next Attach of that same handle
// takes it over instead of asking the system again. Cleared by every Attach and by every
// handle this layer makes or closes.
struct DetachedHandle
{
    SOCKET hSocket = INVALID_SOCKET;
    bool bConnected = false;
    sockaddr_in peer = {};
} g_detached;

}  // namespace

CAsyncSocket::CAsyncSocket() = default;

CAsyncSocket::~CAsyncSocket()
{
    CAsyncSocket::Close();
}

CAsyncSocket *CAsyncSocket::FromHandle(SOCKET hSocket)
{
    return hSocket == INVALID_SOCKET ? nullptr : CSocketQueue::Instance().LookupHandle(hSocket);
}

bool CAsyncSocket::OpenHandle(int nSocketType, long lEvent)
{
    if (m_hSocket != INVALID_SOCKET) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    g_detached.hSocket = INVALID_SOCKET;
    const SOCKET hSocket = ::socket(AF_INET, nSocketType | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (hSocket < 0) {
        SetErrorFromErrno();
        return false;
    }
    SetHandle(hSocket, State::Unconnected);
    AsyncSelect(lEvent);
    return true;
}

bool CAsyncSocket::Create(std::uint32_t nSocketPort, int nSocketType, long lEvent,
                          const QString &strSocketAddress)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(nSocketPort));
    if (!ParseDotted(strSocketAddress, address.sin_addr)) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    if (!OpenHandle(nSocketType, lEvent))
        return false;

    const int on = 1;
    if (address.sin_port != 0) {
        // A fixed port may be bound again while connections of an earlier socket on it linger
        // in TIME_WAIT; a port that another socket listens on still fails.
        ::setsockopt(m_hSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    } else {
#ifdef IP_BIND_ADDRESS_NO_PORT
        // Bound only to an address before a connect: let the connect choose the port, so that
        // many outgoing connections do not run out of ephemeral ports. Not fatal if unknown.
        ::setsockopt(m_hSocket, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &on, sizeof on);
#endif
    }
    if (::bind(m_hSocket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        SetErrorFromErrno();
        const int nError = WSAGetLastError();
        Close();
        WSASetLastError(nError);
        return false;
    }
    return true;
}

void CAsyncSocket::SetHandle(SOCKET hSocket, State state)
{
    Q_ASSERT(m_hSocket == INVALID_SOCKET);
    m_hSocket = hSocket;
    m_state = state;
    m_bReadArmed = true;
    m_bWriteArmed = false;  // a new connection's first write notification is posted directly
    m_bOobArmed = true;
    m_bCloseSent = false;
    m_bReadSincePost = false;
    m_nId = CSocketQueue::Instance().Register(this);
}

void CAsyncSocket::ReleaseHandle()
{
    sock::ForgetWaiting(m_hSocket);
    StopConnectTimer();
    CSocketQueue::Instance().Unregister(m_nId);
    m_nId = 0;
    m_pReadNotifier.reset();
    m_pWriteNotifier.reset();
    m_pExceptionNotifier.reset();
    m_hSocket = INVALID_SOCKET;
    m_state = State::Closed;
    m_lEvent = 0;
    m_bPeerKnown = false;
}

bool CAsyncSocket::Attach(SOCKET hSocket, long lEvent)
{
    if (m_hSocket != INVALID_SOCKET || hSocket < 0) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    sockaddr_in peer = {};
    State state = State::Unconnected;
    if (g_detached.hSocket == hSocket && g_detached.bConnected) {
        // A connected, non-blocking handle that a socket of this layer has just let go of.
        state = State::Connected;
        peer = g_detached.peer;
    } else {
        socklen_t nPeerLength = sizeof peer;
        int nListening = 0;
        socklen_t nLength = sizeof nListening;
        if (::getpeername(hSocket, reinterpret_cast<sockaddr *>(&peer), &nPeerLength) == 0)
            state = State::Connected;  // the peer's name is kept: it cannot change
        else if (::getsockopt(hSocket, SOL_SOCKET, SO_ACCEPTCONN, &nListening, &nLength) == 0 &&
                 nListening)
            state = State::Listening;
        const int nFlags = ::fcntl(hSocket, F_GETFL);
        if (nFlags >= 0 && !(nFlags & O_NONBLOCK))
            ::fcntl(hSocket, F_SETFL, nFlags | O_NONBLOCK);
    }
    g_detached.hSocket = INVALID_SOCKET;
    SetHandle(hSocket, state);
    if (state == State::Connected) {
        m_peer = peer;
        m_bPeerKnown = true;
    }
    AsyncSelect(lEvent);
    if (state == State::Connected)
        Post(FD_WRITE, 0);  // a connected socket reports once that it can write
    return true;
}

SOCKET CAsyncSocket::Detach()
{
    const SOCKET hSocket = m_hSocket;
    if (hSocket != INVALID_SOCKET) {
        g_detached = {hSocket, m_state == State::Connected && m_bPeerKnown, m_peer};
        ReleaseHandle();
    }
    return hSocket;
}

bool CAsyncSocket::AsyncSelect(long lEvent)
{
    if (m_hSocket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    m_lEvent = lEvent;
    UpdateNotifiers();
    return true;
}

void CAsyncSocket::UpdateNotifiers()
{
    if (m_hSocket != INVALID_SOCKET)
        CSocketQueue::Instance().NotifiersChanged(m_nId);
}

void CAsyncSocket::ApplyNotifiers()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    const bool bRead = (m_state == State::Listening && (m_lEvent & FD_ACCEPT) && m_bReadArmed) ||
                       (m_state == State::Connected && (m_lEvent & (FD_READ | FD_CLOSE)) &&
                        m_bReadArmed && !m_bCloseSent);
    const bool bWrite = m_state == State::Connecting ||
                        (m_state == State::Connected && (m_lEvent & FD_WRITE) && m_bWriteArmed);
    const bool bOob = m_state == State::Connected && (m_lEvent & FD_OOB) && m_bOobArmed;

    auto update = [this](std::unique_ptr<QSocketNotifier> &pNotifier, QSocketNotifier::Type type,
                         bool bEnable, void (CAsyncSocket::*ready)()) {
        if (!pNotifier) {
            if (!bEnable)
                return;
            pNotifier = std::make_unique<QSocketNotifier>(m_hSocket, type);
            QObject::connect(pNotifier.get(), &QSocketNotifier::activated, [this, ready] {
                CSocketQueue &queue = CSocketQueue::Instance();
                queue.BeginReadiness();
                (this->*ready)();
                queue.EndReadiness();  // may dispatch, and so delete this socket
            });
        }
        if (pNotifier->isEnabled() != bEnable)
            pNotifier->setEnabled(bEnable);
    };
    update(m_pReadNotifier, QSocketNotifier::Read, bRead, &CAsyncSocket::ReadReady);
    update(m_pWriteNotifier, QSocketNotifier::Write, bWrite, &CAsyncSocket::WriteReady);
    update(m_pExceptionNotifier, QSocketNotifier::Exception, bOob, &CAsyncSocket::ExceptionReady);
}

void CAsyncSocket::Post(long lEvent, int nErrorCode)
{
    if (m_lEvent & lEvent)
        CSocketQueue::Instance().Post(m_nId, lEvent, nErrorCode);
}

void CAsyncSocket::ReadReady()
{
    if (m_state == State::Listening) {
        m_bReadArmed = false;  // until the next Accept
        UpdateNotifiers();
        Post(FD_ACCEPT, 0);
        return;
    }
    if (m_state != State::Connected)
        return;

    std::uint32_t nWaiting = 0;
    if (sock::ioctlsocket(m_hSocket, FIONREAD, &nWaiting) == 0 && nWaiting > 0) {
        m_bReadArmed = false;  // until the next Receive
        m_bReadSincePost = false;
        m_nWaiting = nWaiting;
        UpdateNotifiers();
        Post(FD_READ, 0);
        return;
    }
    // Readable with nothing to read: the peer's close (which comes only once every byte before
    // it was read) or an error.
    char byte = 0;
    const ssize_t n = ::recv(m_hSocket, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (n > 0)
        return;  // bytes came meanwhile: the notifier reports them again
    const int nError = n == 0 ? 0 : SocketErrorFromErrno(errno);
    m_bCloseSent = true;
    UpdateNotifiers();
    Post(FD_CLOSE, nError);
}

void CAsyncSocket::WriteReady()
{
    if (m_state == State::Connecting) {
        // The connect's own answer decides, never writability alone.
        const int nError = ConnectOutcome(m_hSocket);
        FinishConnect(nError == 0 ? 0 : SocketErrorFromErrno(nError));
        return;
    }
    if (m_state == State::Connected && m_bWriteArmed) {
        m_bWriteArmed = false;  // until a write would block again
        UpdateNotifiers();
        Post(FD_WRITE, 0);
    }
}

void CAsyncSocket::ExceptionReady()
{
    m_bOobArmed = false;  // until urgent data is read
    UpdateNotifiers();
    Post(FD_OOB, 0);
}

void CAsyncSocket::StopConnectTimer()
{
    if (m_nConnectTimer) {
        CSocketQueue::Instance().StopTimer(m_nConnectTimer);
        m_nConnectTimer = 0;
    }
}

void CAsyncSocket::FinishConnect(int nErrorCode)
{
    StopConnectTimer();
    if (nErrorCode == 0) {
        m_state = State::Connected;
        m_bReadArmed = true;
        m_bWriteArmed = false;
        m_bCloseSent = false;
        UpdateNotifiers();
        Post(FD_CONNECT, 0);
        Post(FD_WRITE, 0);
    } else {
        m_state = State::Unconnected;
        UpdateNotifiers();
        Post(FD_CONNECT, nErrorCode);
    }
}

void CAsyncSocket::OnTimer(int nTimerId)
{
    if (nTimerId != m_nConnectTimer)
        return;
    m_nConnectTimer = 0;
    if (m_state != State::Connecting)
        return;
    // Abandon the attempt so that the socket may connect again later.
    sockaddr unspecified = {};
    unspecified.sa_family = AF_UNSPEC;
    ::connect(m_hSocket, &unspecified, sizeof unspecified);
    FinishConnect(WSAETIMEDOUT);
}

bool CAsyncSocket::Accept(CAsyncSocket &rConnectedSocket)
{
    if (m_hSocket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (rConnectedSocket.m_hSocket != INVALID_SOCKET) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    g_detached.hSocket = INVALID_SOCKET;
    SOCKET hAccepted;
    sockaddr_in peer = {};
    socklen_t nPeerLength = 0;
    do {
        nPeerLength = sizeof peer;
        hAccepted = ::accept4(m_hSocket, reinterpret_cast<sockaddr *>(&peer), &nPeerLength,
                              SOCK_NONBLOCK | SOCK_CLOEXEC);
    } while (hAccepted < 0 && errno == EINTR);
    const int nAcceptErrno = errno;

    m_bReadArmed = true;  // the accept notification comes again while connections wait
    UpdateNotifiers();

    if (hAccepted < 0) {
        WSASetLastError(SocketErrorFromErrno(nAcceptErrno));
        return false;
    }
    rConnectedSocket.SetHandle(hAccepted, State::Connected);
    rConnectedSocket.m_peer = peer;
    rConnectedSocket.m_bPeerKnown = true;
    rConnectedSocket.AsyncSelect(m_lEvent);
    rConnectedSocket.Post(FD_WRITE, 0);  // a connected socket reports once that it can write
    return true;
}

void CAsyncSocket::Close()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    const SOCKET hSocket = m_hSocket;
    if (g_detached.hSocket == hSocket)
        g_detached.hSocket = INVALID_SOCKET;
    const bool bAllRead = m_bCloseSent;  // the peer's close comes only after its last byte
    ReleaseHandle();

    // Closing with unread bytes would reset the connection and throw away what this side still
    // has to send. Read and drop what is waiting now (also while a connect is still to be
    // reported: the connection may be up already), then close in order.
    std::uint32_t nWaiting = 0;
    if (bAllRead || sock::ioctlsocket(hSocket, FIONREAD, &nWaiting) != 0)
        nWaiting = 0;
    char scratch[16384];
    while (nWaiting > 0) {
        const ssize_t n = ::recv(hSocket, scratch, sizeof scratch, MSG_DONTWAIT);
        if (n <= 0)
            break;
        nWaiting -= std::min<std::uint32_t>(nWaiting, static_cast<std::uint32_t>(n));
    }
    ::close(hSocket);
}

bool CAsyncSocket::Connect(const QString &strHostAddress, std::uint32_t nHostPort)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(nHostPort));
    if (!ParseDotted(strHostAddress, address.sin_addr)) {
        addrinfo hints = {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *pResult = nullptr;
        const QByteArray host = strHostAddress.toLocal8Bit();
        if (host.isEmpty() || ::getaddrinfo(host.constData(), nullptr, &hints, &pResult) != 0 ||
            pResult == nullptr) {
            WSASetLastError(WSAEINVAL);
            return false;
        }
        address.sin_addr = reinterpret_cast<sockaddr_in *>(pResult->ai_addr)->sin_addr;
        ::freeaddrinfo(pResult);
    }
    return ConnectHelper(address);
}

bool CAsyncSocket::ConnectHelper(const sockaddr_in &address)
{
    if (m_hSocket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (m_state == State::Connected || m_state == State::Connecting) {
        WSASetLastError(m_state == State::Connected ? WSAEISCONN : WSAEALREADY);
        return false;
    }
    int nResult = 0;
    for (int nTry = 0; nTry < 2; ++nTry) {
        nResult =
            ::connect(m_hSocket, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        // After a failed attempt Linux answers the next connect once with ECONNABORTED, which
        // only clears the old state: the attempt proper is the following call.
        if (!(nResult != 0 && errno == ECONNABORTED))
            break;
    }
    if (nResult != 0 && errno == EINPROGRESS) {
        // On loopback the handshake has usually finished by the time connect() returns: look
        // once, without waiting, before leaving the outcome to the notifications.
        pollfd ready = {m_hSocket, POLLOUT, 0};
        if (::poll(&ready, 1, 0) == 1) {
            const int nError = ConnectOutcome(m_hSocket);
            nResult = nError == 0 ? 0 : -1;
            errno = nError;
        }
    }
    if (nResult == 0) {
        FinishConnect(0);
        return true;
    }
    if (errno != EINPROGRESS) {
        SetErrorFromErrno();
        return false;
    }
    m_state = State::Connecting;
    UpdateNotifiers();
    m_nConnectTimer = CSocketQueue::Instance().StartTimer(m_nId, kConnectTimeoutMs);
    WSASetLastError(WSAEWOULDBLOCK);
    return false;
}

bool CAsyncSocket::GetPeerName(QString &rPeerAddress, std::uint32_t &rPeerPort)
{
    sockaddr_in address = m_peer;
    socklen_t nLength = sizeof address;
    if (!m_bPeerKnown &&
        ::getpeername(m_hSocket, reinterpret_cast<sockaddr *>(&address), &nLength) != 0) {
        SetErrorFromErrno();
        return false;
    }
    rPeerAddress = DottedText(address.sin_addr);
    rPeerPort = ntohs(address.sin_port);
    return true;
}

bool CAsyncSocket::GetSockName(QString &rSocketAddress, std::uint32_t &rSocketPort)
{
    sockaddr_in address = {};
    socklen_t nLength = sizeof address;
    if (::getsockname(m_hSocket, reinterpret_cast<sockaddr *>(&address), &nLength) != 0) {
        SetErrorFromErrno();
        return false;
    }
    rSocketAddress = DottedText(address.sin_addr);
    rSocketPort = ntohs(address.sin_port);
    return true;
}

int CAsyncSocket::Receive(void *lpBuf, int nBufLen, int nFlags)
{
    if (m_hSocket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return SOCKET_ERROR;
    }
    sock::ForgetWaiting(m_hSocket);
    ssize_t n;
    do {
        n = ::recv(m_hSocket, lpBuf, static_cast<std::size_t>(nBufLen), nFlags | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    const int nErrno = errno;
    // A read call re-arms the read notification (an urgent read, the urgent one).
    if (nFlags & MSG_OOB) {
        m_bOobArmed = true;
    } else {
        m_bReadArmed = true;
        m_bReadSincePost = true;
    }
    UpdateNotifiers();
    if (n < 0) {
        WSASetLastError(SocketErrorFromErrno(nErrno));
        return SOCKET_ERROR;
    }
    return static_cast<int>(n);
}

int CAsyncSocket::Send(const void *lpBuf, int nBufLen, int nFlags)
{
    if (m_hSocket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return SOCKET_ERROR;
    }
    ssize_t n;
    do {
        n = ::send(m_hSocket, lpBuf, static_cast<std::size_t>(nBufLen),
                   nFlags | MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int nErrno = errno;
        if (nErrno == EAGAIN || nErrno == EWOULDBLOCK) {
            m_bWriteArmed = true;  // report once the socket can take more
            UpdateNotifiers();
        }
        WSASetLastError(SocketErrorFromErrno(nErrno));
        return SOCKET_ERROR;
    }
    return static_cast<int>(n);
}

void CAsyncSocket::DispatchNotification(long lEvent, int nErrorCode)
{
    switch (lEvent) {
    case FD_READ:
        if (nErrorCode == 0 && m_bReadSincePost) {
            // Only with bytes waiting: a held notification whose bytes were taken meanwhile is
            // dropped, and the read notification armed again.
            std::uint32_t nWaiting = 0;
            if (sock::ioctlsocket(m_hSocket, FIONREAD, &nWaiting) != 0 || nWaiting == 0) {
                m_bReadArmed = true;
                UpdateNotifiers();
                return;
            }
        } else if (nErrorCode == 0) {
            // Nothing was read since the notification was made: its count still holds, and the
            // handler's question for it needs no system call.
            sock::NoteWaiting(m_hSocket, m_nWaiting);
        }
        OnReceive(nErrorCode);
        break;
    case FD_WRITE:
        OnSend(nErrorCode);
        break;
    case FD_OOB:
        OnOutOfBandData(nErrorCode);
        break;
    case FD_ACCEPT:
        OnAccept(nErrorCode);
        break;
    case FD_CONNECT:
        OnConnect(nErrorCode);
        break;
    case FD_CLOSE:
        OnClose(nErrorCode);
        break;
    default:
        break;
    }
}

void CAsyncSocket::OnReceive(int) {}
void CAsyncSocket::OnSend(int) {}
void CAsyncSocket::OnOutOfBandData(int) {}
void CAsyncSocket::OnAccept(int) {}
void CAsyncSocket::OnConnect(int) {}
void CAsyncSocket::OnClose(int) {}

#include "platform/socket_api.h"

#include "platform/async_socket.h"

#include <cerrno>
#include <csignal>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace {

thread_local int g_nLastError = 0;

bool RealSocketInit()
{
    // A write to a peer that has gone must fail with an error, never end the process. Writes
    // also pass MSG_NOSIGNAL; ignoring the signal covers every other path.
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGPIPE, &action, nullptr) == 0;
}

bool (*g_pSocketInit)() = RealSocketInit;

struct NotedWaiting
{
    SOCKET s = INVALID_SOCKET;
    std::uint32_t nWaiting = 0;
} g_noted;

}  // namespace

int SocketErrorFromErrno(int err)
{
    switch (err) {
    case EINTR:
        return WSAEINTR;
    case EBADF:
        return WSAENOTSOCK;
    case EACCES:
    case EPERM:
        return WSAEACCES;
    case EFAULT:
        return WSAEFAULT;
    case EMFILE:
    case ENFILE:
        return WSAEMFILE;
    case EAGAIN:
    case EINPROGRESS:
        return WSAEWOULDBLOCK;
    case EALREADY:
        return WSAEALREADY;
    case ENOTSOCK:
        return WSAENOTSOCK;
    case EMSGSIZE:
        return WSAEMSGSIZE;
    case EOPNOTSUPP:
        return WSAEOPNOTSUPP;
    case EAFNOSUPPORT:
        return WSAEAFNOSUPPORT;
    case EADDRINUSE:
        return WSAEADDRINUSE;
    case EADDRNOTAVAIL:
        return WSAEADDRNOTAVAIL;
    case ENETDOWN:
        return WSAENETDOWN;
    case ENETUNREACH:
        return WSAENETUNREACH;
    case ECONNABORTED:
        return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE:
        return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM:
        return WSAENOBUFS;
    case EISCONN:
        return WSAEISCONN;
    case ENOTCONN:
        return WSAENOTCONN;
    case ESHUTDOWN:
        return WSAESHUTDOWN;
    case ETIMEDOUT:
        return WSAETIMEDOUT;
    case ECONNREFUSED:
        return WSAECONNREFUSED;
    case EHOSTUNREACH:
        return WSAEHOSTUNREACH;
    default:
        return WSAEINVAL;
    }
}

int WSAGetLastError()
{
    return g_nLastError;
}

void WSASetLastError(int code)
{
    g_nLastError = code;
}

bool AfxSocketInit()
{
    return g_pSocketInit();
}

void SetSocketInitForTesting(bool (*init)())
{
    g_pSocketInit = init ? init : RealSocketInit;
}

namespace sock {

int listen(SOCKET s, int backlog)
{
    if (::listen(s, backlog) != 0) {
        WSASetLastError(SocketErrorFromErrno(errno));
        return SOCKET_ERROR;
    }
    if (CAsyncSocket *pSocket = CAsyncSocket::FromHandle(s)) {
        pSocket->m_state = CAsyncSocket::State::Listening;
        pSocket->m_bReadArmed = true;
        pSocket->UpdateNotifiers();
    }
    return 0;
}

int ioctlsocket(SOCKET s, long cmd, std::uint32_t *argp)
{
    if (cmd != FIONREAD || argp == nullptr) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    if (s == g_noted.s && s != INVALID_SOCKET) {
        *argp = g_noted.nWaiting;
        g_noted.s = INVALID_SOCKET;
        return 0;
    }
    int nWaiting = 0;
    if (::ioctl(s, FIONREAD, &nWaiting) != 0) {
        WSASetLastError(SocketErrorFromErrno(errno));
        return SOCKET_ERROR;
    }
    *argp = static_cast<std::uint32_t>(nWaiting);
    return 0;
}

void NoteWaiting(SOCKET s, std::uint32_t nWaiting)
{
    g_noted = {s, nWaiting};
}

void ForgetWaiting(SOCKET s)
{
    if (g_noted.s == s)
        g_noted.s = INVALID_SOCKET;
}

}  // namespace sock

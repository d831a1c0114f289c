#pragma once

#include <cstdint>
#include <sys/ioctl.h>  // FIONREAD

// The small socket vocabulary shared by the socket classes and their users: the handle type,
// the notification bits, the error codes, and the few plain calls that work on a handle.
// Error codes are the platform's own numbers, not errno values: SocketErrorFromErrno() is the
// one place that turns the one into the other.

using SOCKET = int;
inline constexpr SOCKET INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;

// Notification bits, as asked for by an event mask.
inline constexpr long FD_READ = 0x01;
inline constexpr long FD_WRITE = 0x02;
inline constexpr long FD_OOB = 0x04;
inline constexpr long FD_ACCEPT = 0x08;
inline constexpr long FD_CONNECT = 0x10;
inline constexpr long FD_CLOSE = 0x20;
inline constexpr long FD_ALL_EVENTS = 0x3f;

enum SocketErrorCode : int
{
    WSAEINTR = 10004,
    WSAEBADF = 10009,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEMSGSIZE = 10040,
    WSAEOPNOTSUPP = 10045,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAEHOSTUNREACH = 10065,
};

// Maps an errno value to the platform's error code. Values without a counterpart map to
// WSAEINVAL, so a caller never sees a raw errno.
int SocketErrorFromErrno(int err);

// The error code of the last failed socket call on this thread.
int WSAGetLastError();
void WSASetLastError(int code);

// Prepares the socket layer for use: a write to a peer that has gone must never end the
// process. Returns false when that cannot be arranged; the program must not go on then.
bool AfxSocketInit();

// Replaces the start-up step (tests use it to make the start-up fail). Passing nullptr
// restores the real one.
void SetSocketInitForTesting(bool (*init)());

namespace sock {

// listen() on a handle made by CAsyncSocket::Create. Besides starting to accept, the owning
// socket object is told that it listens now, so that it reports arriving connections with its
// accept notification. Returns 0 or SOCKET_ERROR.
int listen(SOCKET s, int backlog);

// ioctlsocket(): only FIONREAD is supported: *argp receives the number of bytes that one read
// delivers now. Returns 0 or SOCKET_ERROR.
int ioctlsocket(SOCKET s, long cmd, std::uint32_t *argp);

// Within the socket layer: the count that a readiness check has just found waiting on a handle
// answers the next FIONREAD of that handle, once, without asking the system again. Bytes that
// wait only grow until a read, and every read or close of the handle forgets the count.
void NoteWaiting(SOCKET s, std::uint32_t nWaiting);
void ForgetWaiting(SOCKET s);

}  // namespace sock

#include "platform/socket.h"

CSocketQueue::WaitResult CSocket::PumpMessages(long lEvent)
{
    return CSocketQueue::Instance().Wait(SocketId(), lEvent, kTickMs);
}

bool CSocket::ConnectHelper(const sockaddr_in &address)
{
    if (CAsyncSocket::ConnectHelper(address))
        return true;
    if (GetLastError() != WSAEWOULDBLOCK)
        return false;
    for (;;) {
        const CSocketQueue::WaitResult result = PumpMessages(FD_CONNECT);
        if (result.end == CSocketQueue::WaitEnd::Completed) {
            WSASetLastError(result.nErrorCode);
            return result.nErrorCode == 0;
        }
        if (result.end == CSocketQueue::WaitEnd::Closed) {
            WSASetLastError(result.nErrorCode ? result.nErrorCode : WSAENOTSOCK);
            return false;
        }
        // A tick: keep waiting for the socket layer's answer.
    }
}

int CSocket::Receive(void *lpBuf, int nBufLen, int nFlags)
{
    for (;;) {
        const int n = CAsyncSocket::Receive(lpBuf, nBufLen, nFlags);
        if (n != SOCKET_ERROR || GetLastError() != WSAEWOULDBLOCK)
            return n;
        PumpMessages(FD_READ);
    }
}

int CSocket::Send(const void *lpBuf, int nBufLen, int nFlags)
{
    const char *pBytes = static_cast<const char *>(lpBuf);
    int nSent = 0;
    while (nSent < nBufLen) {
        const int n = CAsyncSocket::Send(pBytes + nSent, nBufLen - nSent, nFlags);
        if (n != SOCKET_ERROR) {
            nSent += n;
            continue;
        }
        if (GetLastError() != WSAEWOULDBLOCK)
            return SOCKET_ERROR;
        PumpMessages(FD_WRITE);
    }
    return nBufLen;
}

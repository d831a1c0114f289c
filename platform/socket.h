#pragma once

#include "platform/async_socket.h"
#include "platform/socket_queue.h"

// A CAsyncSocket whose Connect, Receive and Send wait until they are done or have failed.
//
// While a call waits (PumpMessages), the window repaints but takes no input, no other socket
// handler runs, and every socket notification that arrives is held and dispatched after the
// handler or command that made the call has returned. A tick of kTickMs makes the call try its
// read or write again; a connect simply goes on waiting until the socket layer reports its end.
// Same ownership and thread rules as CAsyncSocket.
class CSocket : public CAsyncSocket
{
public:
    CSocket() = default;

    // Reads up to nBufLen bytes once; waits while nothing can be read. Returns the count read,
    // 0 at the end of the stream, SOCKET_ERROR on an error.
    int Receive(void *lpBuf, int nBufLen, int nFlags = 0) override;
    // Writes all nBufLen bytes, waiting whenever the socket layer takes no more. Returns
    // nBufLen, or SOCKET_ERROR at the first other error; a socket without a handle or without
    // a connection fails at once.
    int Send(const void *lpBuf, int nBufLen, int nFlags = 0) override;

    static constexpr int kTickMs = 2000;

protected:
    // Starts the connect and waits for its end: true exactly when it succeeded.
    bool ConnectHelper(const sockaddr_in &address) override;
    // Waits for lEvent of this socket, its close, or the tick.
    CSocketQueue::WaitResult PumpMessages(long lEvent);
};

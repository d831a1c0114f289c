#pragma once

#include "platform/socket_api.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>

class QSocketNotifier;

// A non-blocking IPv4 socket whose readiness arrives as notifications (OnReceive, OnSend,
// OnOutOfBandData, OnAccept, OnConnect, OnClose) through the one CSocketQueue.
//
// Each notification is re-armed as the asynchronous socket model prescribes, so that a socket
// nobody services does not flood the loop: read after a read call, accept after an accept call,
// write after a write that would block, urgent data after an urgent read, connect and close once.
// The close notification comes only once every byte that arrived before the peer's close has
// been read.
//
// Owns its descriptor (m_hSocket); the destructor closes it. Lives on the GUI thread.
class CAsyncSocket
{
public:
    CAsyncSocket();
    virtual ~CAsyncSocket();

    CAsyncSocket(const CAsyncSocket &) = delete;
    CAsyncSocket &operator=(const CAsyncSocket &) = delete;

    // Makes a socket, asks for the notifications in lEvent and binds it to strSocketAddress and
    // the low 16 bits of nSocketPort. The address must be dotted IPv4 text: no name is looked
    // up, and any other text, the empty text included, fails with WSAEINVAL. A fixed port may
    // be bound while connections of an earlier socket on it linger (TIME_WAIT); one that another
    // socket listens on fails with WSAEADDRINUSE. Returns false and leaves no handle on any
    // failure.
    bool Create(std::uint32_t nSocketPort, int nSocketType, long lEvent,
                const QString &strSocketAddress);

    // Takes ownership of hSocket and asks for the notifications in lEvent; readiness already
    // present (bytes waiting) is reported like any other. Fails if this socket has a handle.
    bool Attach(SOCKET hSocket, long lEvent = FD_ALL_EVENTS);
    // Stops the notifications, lets go of the handle and returns it; queued ones are dropped.
    // What this socket knew of the handle (connected, its peer) goes with it to the next
    // Attach of the same handle, which must not be closed in between.
    SOCKET Detach();

    // Asks for the notifications in lEvent from now on.
    bool AsyncSelect(long lEvent = FD_ALL_EVENTS);

    // Accepts one waiting connection into rConnectedSocket, which must have no handle; the new
    // handle gets this socket's notification mask. Re-arms the accept notification.
    virtual bool Accept(CAsyncSocket &rConnectedSocket);

    // Closes the handle if there is one: unread bytes are read and dropped first, so the peer
    // still gets everything this side has sent, then an orderly close. Drops every queued
    // notification and ends a wait of this socket. Does nothing without a handle.
    virtual void Close();

    // Connects to strHostAddress (dotted IPv4 text used as is, any other text resolved to its
    // first IPv4 address) and the low 16 bits of nHostPort. A connect that cannot finish at once
    // returns false with WSAEWOULDBLOCK and reports its end by OnConnect; an attempt with no
    // answer fails with WSAETIMEDOUT after kConnectTimeoutMs. A socket whose attempt failed may
    // connect again.
    bool Connect(const QString &strHostAddress, std::uint32_t nHostPort);

    // Dotted address and port (host order) of the peer, or of this end. On failure both
    // outputs stay as they were.
    virtual bool GetPeerName(QString &rPeerAddress, std::uint32_t &rPeerPort);
    bool GetSockName(QString &rSocketAddress, std::uint32_t &rSocketPort);

    // One read or write; SOCKET_ERROR with WSAEWOULDBLOCK when it would block.
    virtual int Receive(void *lpBuf, int nBufLen, int nFlags = 0);
    virtual int Send(const void *lpBuf, int nBufLen, int nFlags = 0);

    static int GetLastError() { return WSAGetLastError(); }
    static CAsyncSocket *FromHandle(SOCKET hSocket);

    static constexpr int kConnectTimeoutMs = 21000;

    SOCKET m_hSocket = INVALID_SOCKET;

protected:
    virtual void OnReceive(int nErrorCode);
    virtual void OnSend(int nErrorCode);
    virtual void OnOutOfBandData(int nErrorCode);
    virtual void OnAccept(int nErrorCode);
    virtual void OnConnect(int nErrorCode);
    virtual void OnClose(int nErrorCode);

    // Starts the connect proper. Returns true when connected at once; otherwise false with the
    // error, WSAEWOULDBLOCK while the attempt goes on.
    virtual bool ConnectHelper(const sockaddr_in &address);

    std::uint64_t SocketId() const { return m_nId; }

private:
    friend class CSocketQueue;
    friend int sock::listen(SOCKET, int);

    enum class State
    {
        Closed,
        Unconnected,
        Connecting,
        Connected,
        Listening
    };

    bool OpenHandle(int nSocketType, long lEvent);
    void SetHandle(SOCKET hSocket, State state);
    void ReleaseHandle();
    // Asks for the notifiers to match the socket's state (applied by the queue, batched).
    void UpdateNotifiers();
    // Makes the notifiers match the socket's state now.
    void ApplyNotifiers();
    void ReadReady();
    void WriteReady();
    void ExceptionReady();
    void OnTimer(int nTimerId);
    void FinishConnect(int nErrorCode);
    void DispatchNotification(long lEvent, int nErrorCode);
    void Post(long lEvent, int nErrorCode);
    void StopConnectTimer();

    std::uint64_t m_nId = 0;  // generation id in the notification queue; 0 without a handle
    long m_lEvent = 0;
    State m_state = State::Closed;
    bool m_bReadArmed = true;       // read or accept may be reported
    bool m_bWriteArmed = false;     // write may be reported
    bool m_bOobArmed = true;        // urgent data may be reported
    bool m_bCloseSent = false;      // close was reported; never again
    bool m_bReadSincePost = false;  // a read call came after the last read notification
    std::uint32_t m_nWaiting = 0;   // bytes found waiting by the last read notification
    int m_nConnectTimer = 0;        // the connect's time-out, while one runs
    bool m_bPeerKnown = false;      // m_peer holds the peer's name, read when the handle came
    sockaddr_in m_peer = {};
    std::unique_ptr<QSocketNotifier> m_pReadNotifier;
    std::unique_ptr<QSocketNotifier> m_pWriteNotifier;
    std::unique_ptr<QSocketNotifier> m_pExceptionNotifier;
};

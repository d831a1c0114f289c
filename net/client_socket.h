#pragma once

#include "net/target_socket.h"

#include <QString>
#include <cstdint>

class CListenSocket;

// The accepted client connection of one forwarded pair, holding the outgoing connection to the
// target by value. Relays what the client sends to the target. Deleted by whoever removes the
// pair (the listener's removals, or the main window through the table); its close handler has
// the listener delete it from inside its own notification. GUI thread only.
class CClientSocket : public CSocket
{
public:
    CClientSocket();
    ~CClientSocket() override;

    // Records the listener, host and port, makes the target socket from the listener's
    // forwarding-side interface and connects it; waits for the outcome. True when connected.
    bool ConnectTarget(QString strHost, std::uint32_t nPort, CListenSocket *pListener);
    // Connects the existing target socket again to the same host and port; waits for the
    // outcome. False at once for a target socket without handle or still connected.
    bool ReconnectTarget();

    CTargetSocket m_targetSocket;

protected:
    void OnReceive(int nErrorCode) override;
    void OnAccept(int nErrorCode) override;
    void OnConnect(int nErrorCode) override;
    void OnClose(int nErrorCode) override;

private:
    QString m_strHost;
    std::uint32_t m_nPort = 0;
    CListenSocket *m_pListener = nullptr;  // not owned
};

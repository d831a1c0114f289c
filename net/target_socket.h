#pragma once

#include "platform/socket.h"

class CClientSocket;
class CListCtrl;

// The outgoing connection of one forwarded pair, held by value in its CClientSocket. Relays what
// the target sends to the client, and marks the pair's row "Disconnected" when the target
// closes; it closes nothing itself. GUI thread only.
class CTargetSocket : public CSocket
{
public:
    CTargetSocket();
    ~CTargetSocket() override;

    void SetOwner(CClientSocket *pOwner, CListCtrl *pTable);

protected:
    void OnReceive(int nErrorCode) override;
    void OnAccept(int nErrorCode) override;
    void OnConnect(int nErrorCode) override;
    void OnClose(int nErrorCode) override;

private:
    CClientSocket *m_pOwner = nullptr;  // not owned: the socket holding this one
    CListCtrl *m_pTable = nullptr;      // not owned
};

#include "net/target_socket.h"

#include "net/client_socket.h"
#include "net/relay.h"
#include "ui/connection_table.h"

CTargetSocket::CTargetSocket() = default;

CTargetSocket::~CTargetSocket() = default;

void CTargetSocket::SetOwner(CClientSocket *pOwner, CListCtrl *pTable)
{
    m_pOwner = pOwner;
    m_pTable = pTable;
}

void CTargetSocket::OnReceive(int)
{
    if (m_pOwner)
        RelayWaitingBytes(*this, *m_pOwner);
}

void CTargetSocket::OnClose(int)
{
    // The client stays connected; its bytes are still written here until a write fails.
    if (m_pTable)
        ConnectionTable::SetStatus(*m_pTable, ConnectionTable::FindRow(*m_pTable, m_pOwner),
                                   ConnectionTable::kStatusDisconnected);
}

void CTargetSocket::OnAccept(int nErrorCode)
{
    CSocket::OnAccept(nErrorCode);
}
void CTargetSocket::OnConnect(int nErrorCode)
{
    CSocket::OnConnect(nErrorCode);
}

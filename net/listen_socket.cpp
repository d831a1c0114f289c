#include "net/listen_socket.h"

#include "net/client_socket.h"
#include "platform/local_time.h"
#include "platform/socket.h"
#include "ui/connection_table.h"

#include <algorithm>

CListenSocket::CListenSocket() = default;

// The entries only name their sockets: by now the main window has closed and deleted every
// client socket through the table. The base closes the listening socket if it is still open.
CListenSocket::~CListenSocket() = default;

void CListenSocket::Configure(CListCtrl *pTable, QString strClientInterface,
                              std::uint32_t nListenPort, QString strTargetHost,
                              std::uint32_t nTargetPort, QString strForwardingInterface)
{
    m_pTable = pTable;
    m_strClientInterface = std::move(strClientInterface);
    m_nListenPort = nListenPort;
    m_strTargetHost = std::move(strTargetHost);
    m_nTargetPort = nTargetPort;
    m_strForwardingInterface = std::move(strForwardingInterface);
}

CClientSocket *CListenSocket::NewClientSocket()
{
    return new CClientSocket;
}

void CListenSocket::OnAccept(int)
{
    // The error code is not examined: a waiting connection is accepted in any case.
    const QString strTime = ConnectionTable::FormatTime(LocalTimeNow());

    CClientSocket *pClient = NewClientSocket();
    CSocket sockTemp;
    Accept(sockTemp);
    pClient->Attach(sockTemp.Detach(), FD_ALL_EVENTS);

    QString strAddress;
    std::uint32_t nPort = 0;
    if (!pClient->GetPeerName(strAddress, nPort)) {
        // No connection, or no name to register it under: nothing refers to this socket.
        delete pClient;
        return;
    }

    CConnectionEntry entry;
    entry.Set(strAddress, nPort, pClient);
    RemoveByKey(entry.m_strKey);
    m_listConnections.push_back(entry);

    ConnectionTable::AddRow(*m_pTable, strAddress, QString::asprintf("%d", static_cast<int>(nPort)),
                            strTime, pClient);
    // Waits for the target; every other notification is held until this handler returns, so
    // the new row is still row 0 afterwards.
    const bool bConnected = pClient->ConnectTarget(m_strTargetHost, m_nTargetPort, this);
    Q_ASSERT(ConnectionTable::FindRow(*m_pTable, pClient) == 0);
    ConnectionTable::SetStatus(*m_pTable, 0,
                               bConnected ? ConnectionTable::kStatusConnected
                                          : ConnectionTable::kStatusFailed);
}

void CListenSocket::RemoveByKey(QString strKey)
{
    const auto it =
        std::find_if(m_listConnections.begin(), m_listConnections.end(),
                     [&strKey](const CConnectionEntry &e) { return e.m_strKey == strKey; });
    if (it != m_listConnections.end())
        Remove(it);
}

void CListenSocket::RemoveBySocket(CClientSocket *pSocket)
{
    const auto it =
        std::find_if(m_listConnections.begin(), m_listConnections.end(),
                     [pSocket](const CConnectionEntry &e) { return e.m_pClientSocket == pSocket; });
    if (it != m_listConnections.end())
        Remove(it);
}

void CListenSocket::Remove(std::list<CConnectionEntry>::iterator it)
{
    CClientSocket *pSocket = it->m_pClientSocket;
    if (m_pTable)
        ConnectionTable::RemoveRow(*m_pTable, pSocket);
    pSocket->Close();
    delete pSocket;
    m_listConnections.erase(it);
}

void CListenSocket::OnReceive(int nErrorCode)
{
    CAsyncSocket::OnReceive(nErrorCode);
}
void CListenSocket::OnConnect(int nErrorCode)
{
    CAsyncSocket::OnConnect(nErrorCode);
}
void CListenSocket::OnClose(int nErrorCode)
{
    CAsyncSocket::OnClose(nErrorCode);
}

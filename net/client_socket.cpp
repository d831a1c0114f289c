#include "net/client_socket.h"

#include "net/listen_socket.h"
#include "net/relay.h"

CClientSocket::CClientSocket() = default;

// Destroying m_targetSocket closes the target connection; the base then closes the client's.
CClientSocket::~CClientSocket() = default;

bool CClientSocket::ConnectTarget(QString strHost, std::uint32_t nPort, CListenSocket *pListener)
{
    m_pListener = pListener;
    m_strHost = std::move(strHost);
    m_nPort = nPort;
    // A failed create leaves the target socket without a handle, and the connect below fails.
    m_targetSocket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, pListener->m_strForwardingInterface);
    m_targetSocket.SetOwner(this, pListener->m_pTable);
    return m_targetSocket.Connect(m_strHost, m_nPort);
}

bool CClientSocket::ReconnectTarget()
{
    return m_targetSocket.Connect(m_strHost, m_nPort);
}

void CClientSocket::OnReceive(int)
{
    RelayWaitingBytes(*this, m_targetSocket);
}

void CClientSocket::OnClose(int)
{
    if (m_pListener == nullptr)
        return;
    m_pListener->RemoveBySocket(this);
    // This object has been deleted: nothing of it may be touched from here on.
}

void CClientSocket::OnAccept(int nErrorCode)
{
    CSocket::OnAccept(nErrorCode);
}
void CClientSocket::OnConnect(int nErrorCode)
{
    CSocket::OnConnect(nErrorCode);
}

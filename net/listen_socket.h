#pragma once

#include "net/connection_entry.h"
#include "platform/async_socket.h"

#include <QString>
#include <cstdint>
#include <list>

class CClientSocket;
class CListCtrl;

// The listening end of the forwarder and the keeper of the connection registry.
//
// Each accepted client becomes a CClientSocket, registered under its connection key (oldest
// first), shown as the top row of the connection table, and connected to the target. The
// registry names the client sockets but does not own them: whoever removes an entry closes and
// deletes its socket (RemoveByKey, RemoveBySocket), or the main window does through the table's
// rows. Destroying the listener frees the entries without touching their sockets and closes the
// listening socket. Owned by the main window; GUI thread only.
class CListenSocket : public CAsyncSocket
{
public:
    CListenSocket();
    ~CListenSocket() override;

    // Stores the table and the form's values for the work of the accept notification.
    void Configure(CListCtrl *pTable, QString strClientInterface, std::uint32_t nListenPort,
                   QString strTargetHost, std::uint32_t nTargetPort,
                   QString strForwardingInterface);

    // Removes the first entry with this key: its row, its socket (closed and deleted) and the
    // entry. Nothing if no entry has the key.
    void RemoveByKey(QString strKey);
    // The same for the entry of pSocket. A socket that is not registered is left alone.
    void RemoveBySocket(CClientSocket *pSocket);

    CListCtrl *m_pTable = nullptr;  // not owned
    QString m_strClientInterface;
    QString m_strTargetHost;
    QString m_strForwardingInterface;
    std::uint32_t m_nListenPort = 0;
    std::uint32_t m_nTargetPort = 0;
    std::list<CConnectionEntry> m_listConnections;  // oldest first

protected:
    void OnReceive(int nErrorCode) override;
    void OnAccept(int nErrorCode) override;
    void OnConnect(int nErrorCode) override;
    void OnClose(int nErrorCode) override;

    // Makes the socket for an accepted client; a test fixture may make one that fakes its peer.
    virtual CClientSocket *NewClientSocket();

private:
    void Remove(std::list<CConnectionEntry>::iterator it);
};

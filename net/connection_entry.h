#pragma once

#include <QString>
#include <cstdint>

class CClientSocket;

// One registry entry: a connection key ("address-port" of the client) and the client socket
// registered under it. A value: copies share the socket, and destroying an entry never closes or
// deletes the socket it names.
class CConnectionEntry
{
public:
    CConnectionEntry() = default;
    CConnectionEntry(const CConnectionEntry &) = default;
    CConnectionEntry &operator=(const CConnectionEntry &) = default;
    virtual ~CConnectionEntry() = default;

    // Sets the key to "%s-%d" of the address text and port, and the socket.
    void Set(QString strAddress, std::uint32_t nPort, CClientSocket *pClientSocket);

    QString m_strKey;
    CClientSocket *m_pClientSocket = nullptr;  // not owned
};

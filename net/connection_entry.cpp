#include "net/connection_entry.h"

void CConnectionEntry::Set(QString strAddress, std::uint32_t nPort, CClientSocket *pClientSocket)
{
    m_strKey = QStringLiteral("%1-%2").arg(strAddress).arg(static_cast<int>(nPort));
    m_pClientSocket = pClientSocket;
}

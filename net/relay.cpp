#include "net/relay.h"

#include "platform/socket.h"

#include <memory>

void RelayWaitingBytes(CSocket &rFrom, CSocket &rTo)
{
    std::uint32_t nWaiting = 0;
    if (sock::ioctlsocket(rFrom.m_hSocket, FIONREAD, &nWaiting) != 0 || nWaiting == 0)
        return;
    const int nCount = static_cast<int>(std::min<std::uint32_t>(nWaiting, INT32_MAX));
    const auto buffer = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(nCount));
    const int nRead = rFrom.Receive(buffer.get(), nCount, 0);
    if (nRead > 0)
        rTo.Send(buffer.get(), nRead, 0);  // a failed write drops the bytes
}

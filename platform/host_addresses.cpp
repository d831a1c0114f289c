#include "platform/host_addresses.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace {

QStringList RealLookup()
{
    char name[255] = {};
    if (::gethostname(name, sizeof name) != 0)
        return {};
    name[sizeof name - 1] = '\0';

    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address
    addrinfo *pResult = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &pResult) != 0)
        return {};
    QStringList addresses;
    for (const addrinfo *p = pResult; p != nullptr; p = p->ai_next) {
        char text[INET_ADDRSTRLEN] = {};
        const auto *pAddress = reinterpret_cast<const sockaddr_in *>(p->ai_addr);
        if (::inet_ntop(AF_INET, &pAddress->sin_addr, text, sizeof text))
            addresses.append(QString::fromLatin1(text));
    }
    ::freeaddrinfo(pResult);
    return addresses;
}

QStringList (*g_pLookup)() = RealLookup;

}  // namespace

QStringList LocalIPv4Addresses()
{
    return g_pLookup();
}

void SetLocalAddressLookupForTesting(QStringList (*lookup)())
{
    g_pLookup = lookup ? lookup : RealLookup;
}

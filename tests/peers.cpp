#include "tests/peers.h"

#include "tests/event_wait.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

sockaddr_in Loopback(std::uint16_t nPort)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(nPort);
    return address;
}

}  // namespace

RawListener::RawListener(int nBacklog, std::uint16_t nPort)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address = Loopback(nPort);
    ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::listen(m_fd, nBacklog);
    socklen_t nLength = sizeof address;
    ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &nLength);
    m_nPort = ntohs(address.sin_port);
}

RawListener::~RawListener()
{
    Close();
}

void RawListener::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int RawListener::Accept(std::chrono::milliseconds deadline)
{
    int fd = -1;
    RunUntil(
        [&] {
            fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            return fd >= 0;
        },
        deadline);
    if (fd >= 0) {
        // Back to blocking for the simple helpers; reads use MSG_DONTWAIT where they must not
        // block.
        const int flags = ::fcntl(fd, F_GETFL);
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}

int RawListener::AcceptBlocking(std::chrono::milliseconds deadline)
{
    pollfd waiting = {m_fd, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(deadline.count())) != 1)
        return -1;
    return ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);  // a blocking connection
}

int ConnectTo(std::uint16_t nPort)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(nPort);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::uint16_t FreePort()
{
    RawListener listener;
    return listener.Port();
}

bool SendAll(int fd, const std::string &data)
{
    std::size_t nSent = 0;
    while (nSent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + nSent, data.size() - nSent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        nSent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadCount(int fd, std::size_t nCount, std::chrono::milliseconds deadline)
{
    std::string received;
    char buffer[65536];
    RunUntil(
        [&] {
            for (;;) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n <= 0)
                    break;
                received.append(buffer, static_cast<std::size_t>(n));
            }
            return received.size() >= nCount;
        },
        deadline);
    return received;
}

bool WaitForPeerClose(int fd, std::chrono::milliseconds deadline, std::string *pRest)
{
    char buffer[65536];
    return RunUntil(
        [&] {
            for (;;) {
                const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n == 0)
                    return true;
                if (n < 0)
                    return errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
                if (pRest)
                    pRest->append(buffer, static_cast<std::size_t>(n));
            }
        },
        deadline);
}

bool IsOpenAndQuiet(int fd)
{
    char byte;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_DONTWAIT | MSG_PEEK);
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

std::string RandomBytes(std::size_t nCount, std::uint32_t nSeed)
{
    std::mt19937 generator(nSeed);
    std::string bytes(nCount, '\0');
    for (std::size_t i = 0; i < nCount; i += 4) {
        const std::uint32_t word = generator();
        for (std::size_t j = 0; j < 4 && i + j < nCount; ++j)
            bytes[i + j] = static_cast<char>(word >> (8 * j));
    }
    return bytes;
}

void SetBlockingTimeouts(int fd, int nSeconds)
{
    timeval timeout = {};
    timeout.tv_sec = nSeconds;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

std::string ReceiveBlocking(int fd, std::size_t nCount)
{
    std::string received;
    std::string buffer(1 << 16, '\0');
    while (received.size() < nCount) {
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        received.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return received;
}

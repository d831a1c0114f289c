#pragma once

// The plain sockets of the benchmark's load tools, on 127.0.0.1. Header-only: each tool is one
// small executable.

#include <arpa/inet.h>
#include <cstdint>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace loopback {

inline sockaddr_in Address(int nPort)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(nPort));
    return address;
}

// A listening socket on 127.0.0.1:nPort, or -1 (reported on stderr under the name `who`).
inline int Listen(int nPort, const char *who)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = Address(nPort);
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        listen(fd, 64) != 0) {
        std::perror(who);
        close(fd);
        return -1;
    }
    return fd;
}

// A connection to 127.0.0.1:nPort, or -1 (reported on stderr under the name `who`).
inline int Connect(int nPort, const char *who)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Address(nPort);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        std::perror(who);
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace loopback

// Round-trip times of 64-byte messages on one TCP connection, for the benchmarks.
//
//   pingpong server PORT          echoes every connection on 127.0.0.1:PORT until killed
//   pingpong client PORT COUNT    sends COUNT messages one at a time, each after the previous
//                                 one came back; prints "median_us p99_us"

#include "bench/loopback.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMessage = 64;

void NoDelay(int fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

int Server(int nPort)
{
    const int listener = loopback::Listen(nPort, "pingpong server");
    if (listener < 0)
        return 1;
    std::vector<pollfd> fds = {{listener, POLLIN, 0}};
    char buffer[65536];
    for (;;) {
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        for (std::size_t i = fds.size(); i-- > 0;) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            if (fds[i].fd == listener) {
                const int fd = accept(listener, nullptr, nullptr);
                if (fd >= 0) {
                    NoDelay(fd);
                    fds.push_back({fd, POLLIN, 0});
                }
                continue;
            }
            const ssize_t n = recv(fds[i].fd, buffer, sizeof buffer, 0);
            if (n <= 0 || send(fds[i].fd, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
                close(fds[i].fd);
                fds.erase(fds.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
}

int Client(int nPort, int nCount)
{
    const int fd = loopback::Connect(nPort, "pingpong client");
    if (fd < 0)
        return 1;
    NoDelay(fd);
    timeval timeout = {5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char message[kMessage];
    std::memset(message, 'p', sizeof message);
    std::vector<double> rtts;
    rtts.reserve(static_cast<std::size_t>(nCount));
    for (int i = 0; i < nCount + 100; ++i) {  // the first 100 warm up
        const auto start = std::chrono::steady_clock::now();
        if (send(fd, message, kMessage, MSG_NOSIGNAL) != kMessage)
            return 1;
        int nGot = 0;
        while (nGot < kMessage) {
            const ssize_t n =
                recv(fd, message + nGot, static_cast<std::size_t>(kMessage - nGot), 0);
            if (n <= 0) {
                std::fprintf(stderr, "pingpong client: connection lost\n");
                return 1;
            }
            nGot += static_cast<int>(n);
        }
        if (i >= 100)
            rtts.push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count());
    }
    std::sort(rtts.begin(), rtts.end());
    std::printf("%.1f %.1f\n", rtts[rtts.size() / 2], rtts[rtts.size() * 99 / 100]);
    close(fd);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "server") == 0)
        return Server(std::atoi(argv[2]));
    if (argc >= 4 && std::strcmp(argv[1], "client") == 0)
        return Client(std::atoi(argv[2]), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: pingpong server PORT | pingpong client PORT COUNT\n");
    return 2;
}

// One TCP stream from the target's side to the client's, for the benchmarks.
//
//   blast source PORT          on 127.0.0.1:PORT, sends to every connection as fast as it can
//                              until the connection goes; runs until killed
//   blast sink PORT SECONDS    connects, reads for SECONDS (after one warm-up second), prints
//                              the Gbit/s received, and closes
//
// iperf3 -R measures the same direction but needs the target's close to reach the client at
// the end of a test; a forwarder that keeps the client connected when its target goes (as
// Ferrolink does, marking the row "Disconnected") can leave iperf3 waiting for it. Here the
// client ends the stream.

#include "bench/loopback.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

int Source(int nPort)
{
    const int listener = loopback::Listen(nPort, "blast server");
    if (listener < 0)
        return 1;
    std::vector<char> block(128 * 1024, 'b');
    for (;;) {
        const int fd = accept(listener, nullptr, nullptr);
        if (fd < 0)
            continue;
        while (send(fd, block.data(), block.size(), MSG_NOSIGNAL) > 0) {
        }
        close(fd);
    }
}

int Sink(int nPort, double seconds)
{
    const int fd = loopback::Connect(nPort, "blast client");
    if (fd < 0)
        return 1;
    timeval timeout = {5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::vector<char> buffer(256 * 1024);
    using Clock = std::chrono::steady_clock;
    const auto warm = Clock::now() + std::chrono::seconds(1);
    auto start = warm;
    bool bCounting = false;
    long long nBytes = 0;
    for (;;) {
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0) {
            std::fprintf(stderr, "blast sink: stream ended early\n");
            return 1;
        }
        const auto now = Clock::now();
        if (!bCounting && now >= warm) {
            bCounting = true;
            start = now;
        } else if (bCounting) {
            nBytes += n;
            const double elapsed = std::chrono::duration<double>(now - start).count();
            if (elapsed >= seconds) {
                std::printf("%.3f %lld\n", nBytes * 8 / elapsed / 1e9, nBytes);
                close(fd);
                return 0;
            }
        }
    }
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "source") == 0)
        return Source(std::atoi(argv[2]));
    if (argc >= 4 && std::strcmp(argv[1], "sink") == 0)
        return Sink(std::atoi(argv[2]), std::atof(argv[3]));
    std::fprintf(stderr, "usage: blast source PORT | blast sink PORT SECONDS\n");
    return 2;
}

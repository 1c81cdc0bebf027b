#include "support/UdpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace v7300::test {
namespace {

int bindUdp(std::uint16_t port, bool anyAddress, std::uint16_t* bound) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(anyAddress ? INADDR_ANY : INADDR_LOOPBACK);
    a.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    if (bound) *bound = ntohs(a.sin_port);
    return fd;
}

} // namespace

std::uint16_t freeUdpPort() { return freeUdpPortRun(1); }

std::uint16_t freeUdpPortRun(int count) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        std::uint16_t base = 0;
        const int probe = bindUdp(0, true, &base);
        if (probe < 0) break;
        ::close(probe);
        if (base + count > 65535) continue;
        bool free = true;
        for (int i = 0; i < count && free; ++i) {
            const int fd = bindUdp(static_cast<std::uint16_t>(base + i), true, nullptr);
            if (fd < 0) free = false;
            else ::close(fd);
        }
        if (free) return base;
    }
    throw std::runtime_error("no free UDP ports");
}

UdpPeer::UdpPeer(std::uint16_t port, bool anyAddress) {
    fd_ = bindUdp(port, anyAddress, &port_);
    if (fd_ < 0) throw std::runtime_error("cannot bind test socket");
}

UdpPeer::~UdpPeer() {
    if (fd_ >= 0) ::close(fd_);
}

void UdpPeer::sendTo(std::uint16_t port, const std::vector<std::uint8_t>& bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

bool UdpPeer::receive(std::vector<std::uint8_t>& bytes, int timeoutMs, std::uint16_t* fromPort) {
    if (!waitReadable(fd_, timeoutMs)) return false;
    std::uint8_t buf[2048];
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) return false;
    bytes.assign(buf, buf + n);
    if (fromPort) *fromPort = ntohs(from.sin_port);
    return true;
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
}

} // namespace v7300::test

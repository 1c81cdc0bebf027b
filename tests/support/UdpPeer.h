#pragma once
// Free UDP ports and a plain socket on 127.0.0.1.
#include <cstdint>
#include <string>
#include <vector>

namespace v7300::test {

// A UDP port on which nothing is bound right now (the kernel's choice).
std::uint16_t freeUdpPort();
// The first port of a run of `count` consecutive ports that are free right now.
std::uint16_t freeUdpPortRun(int count);

// A plain UDP socket bound to 127.0.0.1 (port 0 = any).
class UdpPeer {
public:
    explicit UdpPeer(std::uint16_t port = 0, bool anyAddress = false);
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;
    std::uint16_t port() const { return port_; }
    int fd() const { return fd_; }
    void sendTo(std::uint16_t port, const std::vector<std::uint8_t>& bytes);
    // Waits up to timeoutMs for one datagram; false when none came.
    bool receive(std::vector<std::uint8_t>& bytes, int timeoutMs = 1000, std::uint16_t* fromPort = nullptr);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Waits until the descriptor is readable or timeoutMs passes.
bool waitReadable(int fd, int timeoutMs);

} // namespace v7300::test

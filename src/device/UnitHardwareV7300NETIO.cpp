#include "device/UnitHardwareV7300NETIO.h"

#include "core/Error.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace v7300 {
namespace {

constexpr const char* kNoFreePort = "Kein freier Prot für kommunikations zum V7300-NET-IO!";
constexpr const char* kBroadcast = "255.255.255.255";

int openUdpSocket() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // Datagrams are read into a buffer of kReceiveBufferSize bytes; the socket's
    // own queue keeps the kernel's size so that bursts of replies are not dropped.
    return fd;
}

// Whether the address belongs to this host: only a local address can be bound.
bool isLocalAddress(in_addr address) {
    if ((ntohl(address.s_addr) >> 24) == 127) return true;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr = address;
    const bool local = ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return local;
}

std::uint16_t boundPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || addr.sin_family != AF_INET) return 0;
    return ntohs(addr.sin_port);
}

bool bindAny(int fd, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
}

} // namespace

std::string LinkErrorText(std::uint8_t code) {
    switch (code) {
    case LinkErrorCrc: return "CRC FAIL";
    case LinkErrorNoEtx: return "NO ETX";
    case LinkErrorNoStx: return "NO STX";
    case LinkErrorLength: return "LENGTH";
    case LinkErrorTimeout: return "TIMEOUT";
    default: return "";
    }
}

std::uint8_t CrcStep(std::uint8_t byte, std::uint8_t crc) {
    for (int i = 0; i < 8; ++i) {
        if ((byte ^ crc) & 0x01)
            crc = static_cast<std::uint8_t>((crc >> 1) ^ 0x8C);
        else
            crc = static_cast<std::uint8_t>(crc >> 1);
        byte = static_cast<std::uint8_t>(byte >> 1);
    }
    return crc;
}

std::uint8_t Crc8(const std::uint8_t* data, std::size_t size, std::uint8_t crc) {
    for (std::size_t i = 0; i < size; ++i) crc = CrcStep(data[i], crc);
    return crc;
}

std::uint8_t TelegramCrc(const TV7300Telegram& telegram) {
    std::uint8_t crc = CrcStep(telegram.Kind, 0);
    crc = CrcStep(telegram.Command, crc);
    crc = CrcStep(static_cast<std::uint8_t>(telegram.Payload.size()), crc);
    return Crc8(telegram.Payload.data(), telegram.Payload.size(), crc);
}

std::vector<std::uint8_t> BuildDatagram(const TV7300Telegram& telegram) {
    if (telegram.Payload.size() > 255) throw Error("Telegramm zu lang");
    std::vector<std::uint8_t> d;
    d.reserve(telegram.Payload.size() + 15);
    d.push_back(kStx);
    d.insert(d.end(), 4, 0x00);
    d.insert(d.end(), 4, 0xFF);
    d.push_back(telegram.Kind);
    d.push_back(telegram.Command);
    d.push_back(static_cast<std::uint8_t>(telegram.Payload.size()));
    d.insert(d.end(), telegram.Payload.begin(), telegram.Payload.end());
    d.push_back(kEtx);
    d.push_back(TelegramCrc(telegram));
    d.push_back(0x00);
    return d;
}

std::uint8_t ParseDatagram(const std::uint8_t* data, std::size_t size, const std::string& peerAddress,
                           TV7300Telegram& telegram) {
    if (size < 1 || data[0] != kStx) return LinkErrorNoStx;
    // Header up to the length byte, then payload, ETX and CRC must be there.
    if (size < 12) return LinkErrorLength;
    const std::size_t n = data[11];
    if (size < 14 + n) return LinkErrorLength;
    TV7300Telegram t;
    for (int i = 0; i < 4; ++i) {
        t.SourceBytes[static_cast<std::size_t>(i)] = data[1 + i];
        t.DestinationBytes[static_cast<std::size_t>(i)] = data[5 + i];
    }
    t.Kind = data[9];
    t.Command = data[10];
    t.Payload.assign(data + 12, data + 12 + n);
    t.PeerAddress = peerAddress.empty() ? "Unknown" : peerAddress;
    if (data[12 + n] != kEtx) return LinkErrorNoEtx;
    if (TelegramCrc(t) != data[13 + n]) return LinkErrorCrc;
    telegram = std::move(t);
    return 0;
}

THardwareV7300NETIO::THardwareV7300NETIO(TLinkPorts ports) : ports_(ports) {
    for (std::uint32_t port = ports_.FirstListenPort; port <= ports_.LastListenPort; ++port) {
        const int fd = openUdpSocket();
        if (fd < 0) break;
        if (bindAny(fd, static_cast<std::uint16_t>(port))) {
            listenFd_ = fd;
            localPort_ = static_cast<std::uint16_t>(port);
            break;
        }
        ::close(fd);
    }
    if (listenFd_ < 0) throw Error(kNoFreePort);
    broadcastFd_ = openUdpSocket();
    if (broadcastFd_ < 0) {
        ::close(listenFd_);
        throw Error(kNoFreePort);
    }
    // The second socket serves broadcasts only. Where the system refuses them,
    // a broadcast is lost like any datagram; requests to one address still go out.
    const int on = 1;
    broadcastAllowed_ = ::setsockopt(broadcastFd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

THardwareV7300NETIO::~THardwareV7300NETIO() {
    if (listenFd_ >= 0) ::close(listenFd_);
    if (broadcastFd_ >= 0) ::close(broadcastFd_);
}

void THardwareV7300NETIO::Send(const TV7300Telegram& telegram) {
    const std::vector<std::uint8_t> datagram = BuildDatagram(telegram);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(ports_.DevicePort);
    const bool broadcast = deviceAddress_ == kBroadcast;
    if (broadcast) {
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    } else if (::inet_pton(AF_INET, deviceAddress_.c_str(), &to.sin_addr) != 1) {
        return;
    }
    if (broadcast && !broadcastAllowed_) return;
    const int fd = broadcast ? broadcastFd_ : listenFd_;
    // Fire-and-forget: a failed send is the same as a lost datagram.
    (void)::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (broadcast && broadcastPort_ == 0) broadcastPort_ = boundPort(broadcastFd_);
}

bool THardwareV7300NETIO::sentByThisLink(const sockaddr_in& from) {
    const std::uint16_t port = ntohs(from.sin_port);
    if (port != localPort_ && (port == 0 || port != broadcastPort_)) return false;
    return isLocalAddress(from.sin_addr);
}

int THardwareV7300NETIO::readSocket(int fd) {
    int count = 0;
    for (;;) {
        std::uint8_t buffer[kReceiveBufferSize];
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t got = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                       &fromLen);
        if (got < 0) {
            if (errno == EINTR) continue;
            // EAGAIN: nothing more waiting. An ICMP error of an earlier send
            // (ECONNREFUSED) is consumed and the next datagram read.
            if (errno == ECONNREFUSED) continue;
            break;
        }
        ++count;
        if (fromLen >= sizeof(sockaddr_in) && from.sin_family == AF_INET && sentByThisLink(from)) continue;
        std::string peer = "Unknown";
        char text[INET_ADDRSTRLEN];
        if (fromLen >= sizeof(sockaddr_in) && from.sin_family == AF_INET &&
            ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text))
            peer = text;
        HandleDatagram(buffer, static_cast<std::size_t>(got), peer);
    }
    return count;
}

int THardwareV7300NETIO::ReadPending() {
    return readSocket(listenFd_) + readSocket(broadcastFd_);
}

void THardwareV7300NETIO::HandleDatagram(const std::uint8_t* data, std::size_t size, const std::string& peerAddress) {
    TV7300Telegram telegram;
    const std::uint8_t error = ParseDatagram(data, size, peerAddress, telegram);
    if (error != 0) {
        if (OnLinkError) OnLinkError(error);
        return;
    }
    if (OnTelegram) OnTelegram(telegram);
}

} // namespace v7300

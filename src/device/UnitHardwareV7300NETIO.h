#pragma once
// The UDP link to the controller: framing of telegrams (STX, addresses, kind,
// command, length, payload, ETX, CRC-8), a listening socket on the first free
// port of 4000 … 4050 and a second socket for broadcasts.
//
// The sockets are non-blocking. The host watches Descriptor() (and
// BroadcastDescriptor(), which receives the answers to broadcasts) with poll()
// or a QSocketNotifier and calls ReadPending(); every handler therefore runs on
// the thread that calls ReadPending().
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sockaddr_in;

namespace v7300 {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
// Datagrams are read into a buffer of this size; longer ones are cut.
inline constexpr std::size_t kReceiveBufferSize = 300;

// One telegram: command, request kind, payload and (on reception) the sender.
struct TV7300Telegram {
    std::uint8_t Command = 0;
    std::array<std::uint8_t, 4> SourceBytes{};      // datagram bytes 1–4 on reception
    std::array<std::uint8_t, 4> DestinationBytes{}; // datagram bytes 5–8 on reception
    std::vector<std::uint8_t> Payload;              // 0 … 255 bytes
    std::uint8_t Kind = 0;
    std::string PeerAddress; // the sender's IPv4 address, "Unknown" when it cannot be read
    bool operator==(const TV7300Telegram&) const = default;
};

// Codes of OnLinkError.
enum TLinkError : std::uint8_t {
    LinkErrorCrc = 1,     // "CRC FAIL"
    LinkErrorNoEtx = 2,   // "NO ETX"
    LinkErrorNoStx = 3,   // "NO STX"
    LinkErrorLength = 4,  // "LENGTH": the datagram is shorter than its length byte promises
    LinkErrorTimeout = 5, // "TIMEOUT": raised by the windows, never by the link
};
// The text shown for a link error code ("CRC FAIL" …), "" for an unknown code.
std::string LinkErrorText(std::uint8_t code);

// CRC-8/MAXIM (reflected polynomial 0x8C, initial value 0, no final XOR).
std::uint8_t CrcStep(std::uint8_t byte, std::uint8_t crc);
std::uint8_t Crc8(const std::uint8_t* data, std::size_t size, std::uint8_t crc = 0);
// CRC over Kind, Command, payload length and payload.
std::uint8_t TelegramCrc(const TV7300Telegram& telegram);

// The datagram of a telegram (payload length + 15 bytes). A payload longer than
// 255 bytes raises Error.
std::vector<std::uint8_t> BuildDatagram(const TV7300Telegram& telegram);

// The reception checks, in their order: STX (3), enough bytes for the length
// byte's promise (4), ETX (2), CRC (1). Returns 0 and fills the telegram when
// the datagram is valid, otherwise the link error code.
std::uint8_t ParseDatagram(const std::uint8_t* data, std::size_t size, const std::string& peerAddress,
                           TV7300Telegram& telegram);

// An empty base for hardware links.
class THardware {
public:
    virtual ~THardware() = default;
};

// Ports of the link; tests and the virtual controller use others than the defaults.
struct TLinkPorts {
    std::uint16_t FirstListenPort = 4000;
    std::uint16_t LastListenPort = 4050;
    std::uint16_t DevicePort = 4000; // requests go to this port of the device address
};

class THardwareV7300NETIO : public THardware {
public:
    using TelegramHandler = std::function<void(const TV7300Telegram&)>;
    using LinkErrorHandler = std::function<void(std::uint8_t code)>;

    // Binds the listening socket on all addresses to the first free port and
    // creates the broadcast socket. Raises Error
    // "Kein freier Prot für kommunikations zum V7300-NET-IO!" when no port is free.
    explicit THardwareV7300NETIO(TLinkPorts ports = {});
    ~THardwareV7300NETIO() override;
    THardwareV7300NETIO(const THardwareV7300NETIO&) = delete;
    THardwareV7300NETIO& operator=(const THardwareV7300NETIO&) = delete;

    // Sends the telegram to the device port of the device address: from the
    // listening socket, or as a broadcast from the broadcast socket when the
    // address is "255.255.255.255". Fire-and-forget; an address that is no
    // IPv4 address sends nothing.
    void Send(const TV7300Telegram& telegram);

    void SetDeviceAddress(const std::string& address) { deviceAddress_ = address; }
    const std::string& GetDeviceAddress() const { return deviceAddress_; }
    std::uint16_t LocalPort() const { return localPort_; }
    const TLinkPorts& Ports() const { return ports_; }

    int Descriptor() const { return listenFd_; }
    int BroadcastDescriptor() const { return broadcastFd_; }

    // Reads every datagram waiting on both sockets and runs the reception
    // checks on each; returns the number of datagrams read. A datagram that
    // this link sent itself (a request to its own port on this host, or its
    // own broadcast) is read and dropped: it is no answer of a controller.
    int ReadPending();

    // The reception checks for one datagram, then OnTelegram or OnLinkError.
    void HandleDatagram(const std::uint8_t* data, std::size_t size, const std::string& peerAddress);

    TelegramHandler OnTelegram;   // may be empty
    LinkErrorHandler OnLinkError; // may be empty

private:
    int readSocket(int fd);
    bool sentByThisLink(const sockaddr_in& from);

    TLinkPorts ports_;
    std::string deviceAddress_ = "192.168.0.91";
    std::uint16_t localPort_ = 0;
    int listenFd_ = -1;
    int broadcastFd_ = -1;
    bool broadcastAllowed_ = false; // SO_BROADCAST could be set on the broadcast socket
    std::uint16_t broadcastPort_ = 0; // known after the first broadcast
};

} // namespace v7300

#pragma once
// The device search behind the "..." button of the transfer window and its
// small window "Search Devices": a broadcast ping, a wait of 1.1 s during
// which ping replies add their senders to the list, then the list is shown and
// the user picks an address. The list lives as long as the program.
//
// Plain state machine: the host calls onTick(now) with its monotonic
// milliseconds; nothing here waits or sleeps.
#include "device/UnitHardwareV7300NETIO.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

inline constexpr const char* kBroadcastAddress = "255.255.255.255";

class TDeviceSearch {
public:
    // Sends a telegram to an address ("255.255.255.255" is a broadcast).
    using SendFn = std::function<void(const std::string& address, const TV7300Telegram&)>;

    // The wait after the broadcast (eleven rounds of 100 ms).
    static constexpr std::int64_t kWaitMs = 1100;
    // More senders than this are not listed (a flood of forged replies stays bounded).
    static constexpr std::size_t kMaxAddresses = 256;

    // Broadcasts a ping and starts the wait. A search already running goes on.
    void Start(std::int64_t now, const SendFn& send);
    // True once, at the tick that ends the wait: the host then shows the list.
    bool onTick(std::int64_t now);
    // While waiting the host shows the wait cursor.
    bool Busy() const { return waitUntil_.has_value(); }
    std::optional<std::int64_t> Deadline() const { return waitUntil_; }

    // A ping reply's sender, unless it is listed already.
    void Add(const std::string& address);
    const std::vector<std::string>& Addresses() const { return addresses_; }

    // The window's "OK": the chosen entry's address; nothing for no selection
    // (the address field then keeps its text).
    std::optional<std::string> Choose(int index) const;

private:
    std::vector<std::string> addresses_;
    std::optional<std::int64_t> waitUntil_;
};

} // namespace v7300

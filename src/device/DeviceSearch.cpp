#include "device/DeviceSearch.h"

#include "device/UnitV7300NETIO.h"

#include <algorithm>

namespace v7300 {

void TDeviceSearch::Start(std::int64_t now, const SendFn& send) {
    if (Busy()) return;
    send(kBroadcastAddress, MakePing());
    waitUntil_ = now + kWaitMs;
}

bool TDeviceSearch::onTick(std::int64_t now) {
    if (!waitUntil_ || now < *waitUntil_) return false;
    waitUntil_.reset();
    return true;
}

void TDeviceSearch::Add(const std::string& address) {
    if (addresses_.size() >= kMaxAddresses) return;
    if (std::find(addresses_.begin(), addresses_.end(), address) == addresses_.end()) addresses_.push_back(address);
}

std::optional<std::string> TDeviceSearch::Choose(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= addresses_.size()) return std::nullopt;
    return addresses_[static_cast<std::size_t>(index)];
}

} // namespace v7300

#include "device/LinkWatch.h"

#include "device/UnitV7300NETIO.h"

#include <cmath>

namespace v7300 {

bool TLinkWatch::onTelegram(const TV7300Telegram& telegram) {
    if (telegram.Command != CmdPing) return false;
    quality_ = countdown_;
    countdown_ = 10;
    lastReplyMs_ = lastTickMs_;
    const auto count = DecodePingClients(telegram);
    clients_ = "Connected TCP-Clients: " + (count ? std::to_string(*count) + "/3" : "ALTE FIRMWARE");
    return true;
}

bool TLinkWatch::onTick(std::int64_t nowMs) {
    lastTickMs_ = nowMs;
    const std::string before = status_;
    const bool allowedBefore = connected_;
    const std::string address = Address ? Address() : std::string();
    if (address.find_first_not_of(" \t") == std::string::npos) {
        // Nothing to talk to: no pings into the network until an address is set.
        status_ = "Keine Geräteadresse eingestellt";
        connected_ = false;
        countdown_ = 0;
    } else {
        if (SendPing) SendPing();
        if (countdown_ < 1) {
            status_ = "Keine Verbindung zu " + address;
            connected_ = false;
            if (Log) Log(status_);
        } else {
            const long percent = std::lround(quality_ * 100.0 / 9.0);
            status_ = "Verbunden mit " + address + " (" + std::to_string(percent) + "%)";
            connected_ = true;
            if (Log) Log("Verbunden mit " + address);
            --countdown_;
        }
    }
    return status_ != before || connected_ != allowedBefore;
}

} // namespace v7300

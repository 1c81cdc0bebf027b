#pragma once
// The link watch of the main window while no live view runs: on every tick of
// the 100 ms device timer it pings the controller and counts down; a ping reply
// sets the countdown back to 10 and remembers where it stood as the link
// quality. Out come the texts of the link-status panel and the status label and
// whether the live view may be started. Without a device address nothing is sent.
#include "device/UnitHardwareV7300NETIO.h"

#include <cstdint>
#include <functional>
#include <string>

namespace v7300 {

class TLinkWatch {
  public:
    // Sends one ping to the device address.
    std::function<void()> SendPing;
    // The device address the pings go to.
    std::function<std::string()> Address;
    // The action log.
    std::function<void(const std::string&)> Log;

    // A telegram from the link: ping replies count, others are ignored. Returns
    // true for a ping reply: the status label is written with every one.
    bool onTelegram(const TV7300Telegram& telegram);
    // One tick of the device timer; returns true when a shown text or the
    // live-view permission changed.
    bool onTick(std::int64_t nowMs);

    // "Verbunden mit <address> (<quality>%)", "Keine Verbindung zu <address>",
    // "Keine Geräteadresse eingestellt"; "---" before the first tick.
    const std::string& StatusText() const { return status_; }
    // "Connected TCP-Clients: <n>/3" after a ping reply; empty before.
    const std::string& ClientsText() const { return clients_; }
    bool LiveViewAllowed() const { return connected_; }
    int Countdown() const { return countdown_; }
    int Quality() const { return quality_; }
    // When the last ping reply arrived (the tick time before it), -1 for never.
    std::int64_t LastReplyMs() const { return lastReplyMs_; }

  private:
    std::string status_ = "---";
    std::string clients_;
    bool connected_ = false;
    int countdown_ = 0;
    int quality_ = 0;
    std::int64_t lastTickMs_ = 0;
    std::int64_t lastReplyMs_ = -1;
};

} // namespace v7300

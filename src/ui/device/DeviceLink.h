#pragma once
// What a device window is given of the controller link: a send function and a
// way to receive the link's telegrams and errors for as long as it is open.
// The main window hands over its own link this way (and takes its handlers
// back afterwards); tests hand over a fake.
#include "device/UnitHardwareV7300NETIO.h"

#include <functional>
#include <string>

namespace v7300 {

class TLinkControl;
class TV7300NETIO;

struct TDeviceLinkPort {
    // Sends one telegram to the address ("255.255.255.255" is a broadcast).
    std::function<void(const std::string& address, const TV7300Telegram&)> Send;
    // Installs the window's handlers; empty handlers when the window closes.
    std::function<void(THardwareV7300NETIO::TelegramHandler, THardwareV7300NETIO::LinkErrorHandler)> Subscribe;
};

// The port over a link object: sending sets the link's address first,
// subscribing replaces the link's handlers.
TDeviceLinkPort LinkPortOf(TV7300NETIO& link);
// The port over the main window's link: the window takes the telegrams from the
// router while it is subscribed, and the main window gets them back afterwards.
// Without a link (tests) nothing is sent.
TDeviceLinkPort LinkPortOf(TLinkControl& control);

} // namespace v7300

#include "ui/device/DeviceLink.h"

#include "device/UnitV7300NETIO.h"

namespace v7300 {

TDeviceLinkPort LinkPortOf(TV7300NETIO& link) {
    TDeviceLinkPort port;
    port.Send = [&link](const std::string& address, const TV7300Telegram& telegram) {
        link.SetAddress(address);
        link.Link().Send(telegram);
    };
    port.Subscribe = [&link](THardwareV7300NETIO::TelegramHandler onTelegram,
                             THardwareV7300NETIO::LinkErrorHandler onError) {
        link.SetTelegramHandler(std::move(onTelegram));
        link.SetErrorHandler(std::move(onError));
    };
    return port;
}

} // namespace v7300

#include "ui/device/DeviceLink.h"

#include "device/UnitV7300NETIO.h"
#include "ui/device/LinkControl.h"

#include <memory>

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

TDeviceLinkPort LinkPortOf(TLinkControl& control) {
    TDeviceLinkPort port;
    port.Send = [&control](const std::string& address, const TV7300Telegram& telegram) {
        if (TV7300NETIO* link = control.Link()) {
            link->SetAddress(address);
            link->Link().Send(telegram);
        }
    };
    auto subscription = std::make_shared<TTelegramRouter::Subscription>();
    port.Subscribe = [&control, subscription](THardwareV7300NETIO::TelegramHandler onTelegram,
                                              THardwareV7300NETIO::LinkErrorHandler onError) {
        subscription->Release();
        if (onTelegram) *subscription = control.Router().Take(std::move(onTelegram), std::move(onError));
    };
    return port;
}

} // namespace v7300

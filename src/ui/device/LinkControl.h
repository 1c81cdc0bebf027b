#pragma once
// The main window's side of the device link: the link itself with the watch of
// its sockets, the TelegramRouter through which every window receives telegrams,
// and the link watch of the device timer.
//
// A window that talks to the controller takes the telegrams for as long as it is
// open: `auto subscription = link.Router().Take(onTelegram, onLinkError);` and
// lets the subscription end when it closes; the main window then receives them
// again. Recorders listen alongside with `Router().Listen(…)`.
#include "device/LinkWatch.h"
#include "device/TelegramRouter.h"
#include "device/UnitHardwareV7300NETIO.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace v7300 {

class TV7300NETIO;

class TLinkControl : public QObject {
    Q_OBJECT
  public:
    explicit TLinkControl(QObject* parent);
    ~TLinkControl() override;

    // Creates the link on the first free port and sets its address; raises Error
    // when no port is free. Without Open the program has no link (tests).
    void Open(TLinkPorts ports, const std::string& address);
    TV7300NETIO* Link() const { return link_.get(); }
    TTelegramRouter& Router() { return router_; }
    TLinkWatch& Watch() { return watch_; }

    // The main window's own telegrams: ping replies go to the link watch.
    void OnTelegram(const TV7300Telegram& telegram);
    // One tick of the device timer's link watch; nothing without a link.
    void Tick(std::int64_t nowMs);
    // Live data (code 18), for the live view.
    std::function<void(const TV7300Telegram&)> OnLiveData;
    // A text the link watch shows changed.
    std::function<void()> OnChanged;
    // The action log.
    std::function<void(const std::string&)> OnLog;

  private:
    void Read();

    TTelegramRouter router_;
    TTelegramRouter::Subscription own_;
    TLinkWatch watch_;
    std::unique_ptr<TV7300NETIO> link_;
    QSocketNotifier* notifier_ = nullptr;
    QSocketNotifier* broadcastNotifier_ = nullptr;
};

} // namespace v7300

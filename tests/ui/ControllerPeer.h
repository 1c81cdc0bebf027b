#pragma once
// A virtual controller as the device windows' link, in process: what a window
// sends is handed to the controller as a datagram, its answers are queued and
// delivered by Deliver() to the handlers the window subscribed. Nothing goes
// onto a network; a "broadcast" reaches only this controller.
#include "core/Clock.h"
#include "device/VirtualController.h"
#include "ui/device/DeviceLink.h"

#include <QDir>
#include <QWidget>

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace v7300::test {

class ControllerPeer {
public:
    ControllerPeer(Clock& clock, TVirtualControllerOptions options = {})
        : controller_(withLoopback(std::move(options)), clock) {}

    TDeviceLinkPort Port() {
        TDeviceLinkPort port;
        port.Send = [this](const std::string& address, const TV7300Telegram& t) {
            sent.emplace_back(address, t);
            if (!Online || (address != "127.0.0.1" && address != "255.255.255.255")) return;
            const auto datagram = BuildDatagram(t);
            for (const auto& reply : controller_.HandleDatagram(datagram.data(), datagram.size())) {
                TV7300Telegram answer;
                if (ParseDatagram(reply.data(), reply.size(), "127.0.0.1", answer) == 0) queue_.push_back(answer);
            }
        };
        port.Subscribe = [this](THardwareV7300NETIO::TelegramHandler t, THardwareV7300NETIO::LinkErrorHandler e) {
            onTelegram_ = std::move(t);
            onError_ = std::move(e);
            ++subscriptions;
        };
        return port;
    }
    // Hands the queued answers to the subscribed handler (answers to what that sends come next time).
    void Deliver() {
        std::deque<TV7300Telegram> now;
        now.swap(queue_);
        for (const auto& t : now)
            if (onTelegram_) onTelegram_(t);
    }
    void LinkError(std::uint8_t code) {
        if (onError_) onError_(code);
    }
    bool Subscribed() const { return static_cast<bool>(onTelegram_); }
    std::vector<TV7300Telegram> SentWith(std::uint8_t command) const {
        std::vector<TV7300Telegram> out;
        for (const auto& [address, t] : sent)
            if (t.Command == command) out.push_back(t);
        return out;
    }
    TVirtualController& Controller() { return controller_; }

    bool Online = true; // false: the controller hears nothing
    std::vector<std::pair<std::string, TV7300Telegram>> sent;
    int subscriptions = 0;

private:
    static TVirtualControllerOptions withLoopback(TVirtualControllerOptions o) {
        o.Address = "127.0.0.1";
        o.Port = 0;
        return o;
    }
    TVirtualController controller_;
    std::deque<TV7300Telegram> queue_;
    THardwareV7300NETIO::TelegramHandler onTelegram_;
    THardwareV7300NETIO::LinkErrorHandler onError_;
};

inline void SaveScreenshot(QWidget& w, const char* name) {
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    w.grab().save(folder + "/" + name);
}

} // namespace v7300::test

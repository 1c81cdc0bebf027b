#pragma once
// Hands the telegrams and link errors of the device link to several subscribers.
//
// The device link has one telegram handler and one link-error handler. The router
// is installed as both and keeps the program's rule about who receives: of the
// windows that take the telegrams (Take), only the one that took them last
// receives them; when its subscription ends, the one before gets them back. The
// main window takes them at start; a modal window (transfer, bus configuration,
// live view) takes them while it is open. Listeners (Listen) receive everything
// alongside, whoever holds the telegrams: tests, recorders, the bus monitor.
//
// Subscriptions end when their handle is destroyed or released. Handlers may
// subscribe and unsubscribe while a telegram is being delivered; a change takes
// effect with the next telegram.
#include "device/UnitHardwareV7300NETIO.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace v7300 {

class TV7300NETIO;

class TTelegramRouter {
  public:
    using TelegramHandler = std::function<void(const TV7300Telegram&)>;
    using ErrorHandler = std::function<void(std::uint8_t code)>;

    class Subscription {
      public:
        Subscription() = default;
        Subscription(Subscription&& other) noexcept;
        Subscription& operator=(Subscription&& other) noexcept;
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;
        ~Subscription() { Release(); }
        void Release();
        bool Active() const;

      private:
        friend class TTelegramRouter;
        struct Entry;
        Subscription(std::weak_ptr<TTelegramRouter*> router, std::shared_ptr<Entry> entry);
        std::weak_ptr<TTelegramRouter*> router_;
        std::shared_ptr<Entry> entry_;
    };

    TTelegramRouter();
    ~TTelegramRouter();
    TTelegramRouter(const TTelegramRouter&) = delete;
    TTelegramRouter& operator=(const TTelegramRouter&) = delete;

    // Installs the router as the link's telegram and error handler.
    void Attach(TV7300NETIO& link);

    // Takes the telegrams (and link errors, when an error handler is given; an
    // empty one drops them) until the subscription ends or another one takes them.
    [[nodiscard]] Subscription Take(TelegramHandler onTelegram, ErrorHandler onError = {});
    // Receives every telegram and link error alongside.
    [[nodiscard]] Subscription Listen(TelegramHandler onTelegram, ErrorHandler onError = {});

    void Deliver(const TV7300Telegram& telegram);
    void DeliverError(std::uint8_t code);

    // Subscriptions that take the telegrams, and listeners.
    int Takers() const;
    int Listeners() const;

  private:
    void Remove(const std::shared_ptr<Subscription::Entry>& entry);
    std::vector<std::shared_ptr<Subscription::Entry>> Receivers() const;

    std::shared_ptr<TTelegramRouter*> self_;
    std::vector<std::shared_ptr<Subscription::Entry>> takers_; // the last one receives
    std::vector<std::shared_ptr<Subscription::Entry>> listeners_;
};

} // namespace v7300

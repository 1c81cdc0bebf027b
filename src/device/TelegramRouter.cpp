#include "device/TelegramRouter.h"

#include "device/UnitV7300NETIO.h"

#include <algorithm>

namespace v7300 {

struct TTelegramRouter::Subscription::Entry {
    TelegramHandler OnTelegram;
    ErrorHandler OnError;
    bool Taker = false;
    bool Active = true;
};

TTelegramRouter::Subscription::Subscription(std::weak_ptr<TTelegramRouter*> router,
                                            std::shared_ptr<Entry> entry)
    : router_(std::move(router)), entry_(std::move(entry)) {}

TTelegramRouter::Subscription::Subscription(Subscription&& other) noexcept
    : router_(std::move(other.router_)), entry_(std::move(other.entry_)) {}

TTelegramRouter::Subscription& TTelegramRouter::Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        Release();
        router_ = std::move(other.router_);
        entry_ = std::move(other.entry_);
    }
    return *this;
}

void TTelegramRouter::Subscription::Release() {
    if (!entry_) return;
    entry_->Active = false;
    // The router may be gone already (a window outliving the link).
    if (const auto router = router_.lock()) (*router)->Remove(entry_);
    entry_.reset();
}

bool TTelegramRouter::Subscription::Active() const {
    return entry_ && entry_->Active;
}

TTelegramRouter::TTelegramRouter() : self_(std::make_shared<TTelegramRouter*>(this)) {}

TTelegramRouter::~TTelegramRouter() {
    for (auto& e : takers_)
        e->Active = false;
    for (auto& e : listeners_)
        e->Active = false;
}

void TTelegramRouter::Attach(TV7300NETIO& link) {
    link.SetTelegramHandler([this](const TV7300Telegram& t) { Deliver(t); });
    link.SetErrorHandler([this](std::uint8_t code) { DeliverError(code); });
}

TTelegramRouter::Subscription TTelegramRouter::Take(TelegramHandler onTelegram, ErrorHandler onError) {
    auto entry = std::make_shared<Subscription::Entry>();
    entry->OnTelegram = std::move(onTelegram);
    entry->OnError = std::move(onError);
    entry->Taker = true;
    takers_.push_back(entry);
    return Subscription(self_, std::move(entry));
}

TTelegramRouter::Subscription TTelegramRouter::Listen(TelegramHandler onTelegram, ErrorHandler onError) {
    auto entry = std::make_shared<Subscription::Entry>();
    entry->OnTelegram = std::move(onTelegram);
    entry->OnError = std::move(onError);
    listeners_.push_back(entry);
    return Subscription(self_, std::move(entry));
}

void TTelegramRouter::Remove(const std::shared_ptr<Subscription::Entry>& entry) {
    auto& list = entry->Taker ? takers_ : listeners_;
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

std::vector<std::shared_ptr<TTelegramRouter::Subscription::Entry>> TTelegramRouter::Receivers() const {
    // Taken before any handler runs: handlers may change the subscriptions.
    std::vector<std::shared_ptr<Subscription::Entry>> receivers = listeners_;
    if (!takers_.empty()) receivers.push_back(takers_.back());
    return receivers;
}

void TTelegramRouter::Deliver(const TV7300Telegram& telegram) {
    for (const auto& e : Receivers())
        if (e->Active && e->OnTelegram) e->OnTelegram(telegram);
}

void TTelegramRouter::DeliverError(std::uint8_t code) {
    for (const auto& e : Receivers())
        if (e->Active && e->OnError) e->OnError(code);
}

int TTelegramRouter::Takers() const {
    return static_cast<int>(takers_.size());
}
int TTelegramRouter::Listeners() const {
    return static_cast<int>(listeners_.size());
}

} // namespace v7300

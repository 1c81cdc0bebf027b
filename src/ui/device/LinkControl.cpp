#include "ui/device/LinkControl.h"

#include "device/UnitV7300NETIO.h"
#include "ui/dialogs/UnitError.h"

#include <QSocketNotifier>

namespace v7300 {

TLinkControl::TLinkControl(QObject* parent) : QObject(parent) {
    own_ = router_.Take([this](const TV7300Telegram& t) { OnTelegram(t); });
    watch_.Log = [this](const std::string& line) {
        if (OnLog) OnLog(line);
    };
}

TLinkControl::~TLinkControl() = default;

void TLinkControl::Open(TLinkPorts ports, const std::string& address) {
    link_ = std::make_unique<TV7300NETIO>(ports);
    link_->SetAddress(address);
    router_.Attach(*link_);
    watch_.SendPing = [this] { link_->Ping(); };
    watch_.Address = [this] { return link_->GetAddress(); };
    notifier_ = new QSocketNotifier(link_->Link().Descriptor(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Read(); });
    if (link_->Link().BroadcastDescriptor() >= 0) {
        broadcastNotifier_ =
            new QSocketNotifier(link_->Link().BroadcastDescriptor(), QSocketNotifier::Read, this);
        connect(broadcastNotifier_, &QSocketNotifier::activated, this, [this] { Read(); });
    }
}

void TLinkControl::Read() {
    Guarded(this, [this] { link_->Link().ReadPending(); });
}

void TLinkControl::OnTelegram(const TV7300Telegram& telegram) {
    if (OnLog) OnLog("ProceedTelegram");
    if (telegram.Command == CmdLogikOutput && OnLiveData) OnLiveData(telegram);
    if (watch_.onTelegram(telegram) && OnChanged) OnChanged();
}

void TLinkControl::Tick(std::int64_t nowMs) {
    if (link_ && watch_.onTick(nowMs) && OnChanged) OnChanged();
}

} // namespace v7300

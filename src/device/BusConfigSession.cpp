#include "device/BusConfigSession.h"

#include "core/NumberFormat.h"

#include <algorithm>

namespace v7300 {
namespace {

// A typed bus ID 0 … 32, or nothing.
std::optional<std::uint8_t> busIdOf(const std::string& text) {
    const auto v = parseInt32(trimBlanks(text));
    if (!v || *v < 0 || *v > kMaxBusId) return std::nullopt;
    return static_cast<std::uint8_t>(*v);
}

} // namespace

TBusConfigSession::TBusConfigSession(SendFn send, Clock& clock, MessagePort& messages)
    : send_(std::move(send)), clock_(clock), messages_(messages), nextTick_(clock.monotonicMs() + kTickMs) {}

// ------------------------------------------------------------------ helpers

void TBusConfigSession::log(const std::string& line) {
    log_.push_back(line);
    if (log_.size() > kMaxLogLines) log_.pop_front();
    if (OnLog) OnLog(line);
}

void TBusConfigSession::clearLog() { log_.clear(); }

const TRS485Device* TBusConfigSession::SelectedDevice() const {
    if (selected_ < 0 || selected_ >= static_cast<int>(devices_.size())) return nullptr;
    return &devices_[static_cast<std::size_t>(selected_)];
}

std::uint8_t TBusConfigSession::selectedId() const {
    const TRS485Device* d = SelectedDevice();
    return d ? d->BusId : 0;
}

bool TBusConfigSession::requireSelection() {
    if (SelectedDevice()) return true;
    messages_.showPlain(kBusSelectFirst);
    return false;
}

void TBusConfigSession::Request(std::uint8_t busCommand, std::uint8_t busId, const std::vector<std::uint8_t>& data) {
    send_(MakeBusCommand(busCommand, busId, kKindGet, data));
}

void TBusConfigSession::hidePanels() {
    view_.Panel = TBusPanel::None;
    view_.PwmSettingsVisible = false;
}

// ------------------------------------------------------------------ timers

void TBusConfigSession::onTick(std::int64_t now) {
    if (closed_) return;
    const auto due = [now](std::int64_t& next, std::int64_t interval) {
        if (now < next) return false;
        next += interval;
        if (next <= now) next = now + interval; // a late host gets one run, not a burst
        return true;
    };
    if (due(nextTick_, kTickMs)) connectionTick();
    if (searchNext_ && due(*searchNext_, searchIntervalMs_)) searchTick();
}

std::int64_t TBusConfigSession::NextDeadline() const {
    return searchNext_ ? std::min(nextTick_, *searchNext_) : nextTick_;
}

void TBusConfigSession::connectionTick() {
    if (countdown_ < 1) {
        view_.Connection = kBusNotConnected;
        log("Keine Verbindung...");
    } else {
        if (view_.Connection != kBusConnected) log("Verbindung hergestellt");
        view_.Connection = kBusConnected;
    }
    send_(MakePing());
    if (fields_.AutoFetch && SelectedDevice()) {
        switch (view_.Panel) {
        case TBusPanel::Input:
        case TBusPanel::Temperature: FetchData(); break;
        case TBusPanel::Output: SendOutputs(); break;
        case TBusPanel::Pwm: SendPwm(); break;
        case TBusPanel::None: break;
        }
    }
    countdown_ = std::max(countdown_ - 1, -1);
}

void TBusConfigSession::ToggleSearch() {
    if (closed_) return;
    clearLog();
    if (Searching())
        stopSearch();
    else
        startSearch();
}

void TBusConfigSession::startSearch() {
    view_.SearchCaption = kBusStopCaption;
    view_.IdTransferEnabled = false;
    view_.FindEnabled = false;
    view_.FindUnconfiguredEnabled = false;
    log("Suche Device....");
    send_(MakeSetLogicState());
    searchId_ = 0;
    searchRepeat_ = 0;
    searchNext_ = clock_.monotonicMs() + searchIntervalMs_;
}

void TBusConfigSession::stopSearch() {
    searchNext_.reset();
    view_.SearchCaption = kBusSearchCaption;
    view_.IdTransferEnabled = true;
    view_.FindEnabled = true;
    view_.FindUnconfiguredEnabled = true;
    send_(MakeSetLogicState());
    searchId_ = 0;
}

void TBusConfigSession::searchTick() {
    const auto id = static_cast<std::uint8_t>(searchId_);
    Request(BusFind, id, {});
    fields_.FindId = std::to_string(searchId_);
    view_.Status = std::to_string(searchId_) + " / 32";
    if (std::any_of(devices_.begin(), devices_.end(), [id](const TRS485Device& d) { return d.BusId == id; }))
        searchRepeat_ = 10;
    if (searchRepeat_ >= 2) {
        ++searchId_;
        searchRepeat_ = 0;
    } else {
        ++searchRepeat_;
    }
    view_.Progress = std::min(searchId_, kMaxBusId);
    if (searchId_ > kMaxBusId) stopSearch();
}

// ------------------------------------------------------------------ commands

void TBusConfigSession::Select(int index) {
    if (index < 0 || index >= static_cast<int>(devices_.size())) {
        selected_ = -1;
        return;
    }
    selected_ = index;
    const TRS485Device& d = devices_[static_cast<std::size_t>(index)];
    fields_.DeviceId = std::to_string(d.BusId);
    hidePanels();
    view_.SpecialSettingsVisible = true;
    view_.DataEnabled = false;
    view_.IdTransferEnabled = true;

    const TBusSelection s = SelectionFor(d);
    view_.DeviceType = s.TypeText;
    view_.DeviceFirmware = s.FirmwareText;
    view_.Panel = s.Panel;
    view_.DataEnabled = s.Panel != TBusPanel::None;
    view_.PortVisible = s.PortVisible;
    view_.TemperatureVisible = s.TemperatureVisible;
    // No values of the module selected before are left standing.
    view_.PortOn = {};
    view_.Temperature.fill("XX.X °C");
    if (s.RequestData) Request(BusData, d.BusId, {0});
}

void TBusConfigSession::FindDevice() {
    const auto id = busIdOf(fields_.FindId);
    if (!id) {
        messages_.showPlain(kBusEnterId);
        return;
    }
    Request(BusFind, *id, {});
}

void TBusConfigSession::FindUnconfigured() {
    fields_.FindId = "0";
    Request(BusFind, 0, {});
}

void TBusConfigSession::ClearList() {
    devices_.clear();
    selected_ = -1;
}

void TBusConfigSession::TransferId() {
    if (!requireSelection()) return;
    // A field that holds no ID 0 … 32 is not sent (the byte would wrap).
    const auto newId = busIdOf(fields_.DeviceId);
    if (!newId) {
        messages_.showPlain(kBusEnterId);
        return;
    }
    Request(BusSetId, selectedId(), {*newId});
    devices_.erase(devices_.begin() + selected_);
    selected_ = -1;
    hidePanels();
    view_.IdTransferEnabled = false;
    fields_.DeviceId = "XXX";
    view_.DeviceType = "XXXXXXXX";
    view_.DeviceFirmware = "XX.XX";
}

void TBusConfigSession::TogglePort(int port) {
    if (port < 1 || port > 8 || view_.Panel != TBusPanel::Output) return;
    auto& on = view_.PortOn[static_cast<std::size_t>(port - 1)];
    on = !on;
}

void TBusConfigSession::SendOutputs() {
    if (!requireSelection()) return;
    Request(BusData, selectedId(), {PortBits(view_.PortOn)});
}

void TBusConfigSession::FetchData() {
    if (!requireSelection()) return;
    Request(BusData, selectedId(), {0});
}

void TBusConfigSession::SendPwm() {
    if (!requireSelection()) return;
    Request(BusData, selectedId(),
            {static_cast<std::uint8_t>(std::clamp(fields_.Pwm[0], 0, 255)),
             static_cast<std::uint8_t>(std::clamp(fields_.Pwm[1], 0, 255))});
}

void TBusConfigSession::ShowPwmSettings() {
    if (!requireSelection()) return;
    view_.SpecialSettingsVisible = false;
    view_.PwmSettingsVisible = true;
    Request(BusPwmSettings, selectedId(), PwmSettingsReadBytes());
}

void TBusConfigSession::SetPwmSettings() {
    if (!requireSelection()) return;
    Request(BusPwmSettings, selectedId(), PwmSettingsBytes(fields_.PwmSettings));
}

void TBusConfigSession::Close() {
    if (closed_) return;
    closed_ = true;
    searchNext_.reset();
    send_(MakeRestart());
    messages_.showPlain(kBusRestartMessage);
}

// ------------------------------------------------------------------ replies

void TBusConfigSession::onTelegram(const TV7300Telegram& telegram) {
    if (closed_) return;
    if (telegram.Command == CmdPing) {
        countdown_ = kLinkCountdown;
        return;
    }
    if (telegram.Command != CmdRs485) return;
    const auto reply = DecodeBusReply(telegram);
    if (!reply) return;
    log(BusReplyLogLine(*reply));
    onBusReply(*reply);
    if (OnBusReply) OnBusReply(*reply);
}

void TBusConfigSession::onBusReply(const TBusReply& reply) {
    switch (reply.BusCommand) {
    case BusFind: onFound(reply); break;
    case BusSetId:
        messages_.showPlain("DeviceID geändert: " + std::to_string(reply.BusId) + " zu " +
                            std::to_string(reply.Data[0]));
        break;
    case BusPwmSettings:
        if (view_.PwmSettingsVisible) onPwmSettings(reply);
        break;
    case BusData:
        if (reply.BusId == selectedId()) onData(reply);
        break;
    default: break;
    }
}

void TBusConfigSession::onFound(const TBusReply& reply) {
    const bool listed = std::any_of(devices_.begin(), devices_.end(),
                                    [&](const TRS485Device& d) { return d.BusId == reply.BusId; });
    if (!listed) devices_.push_back(DeviceFromFindReply(reply));
}

void TBusConfigSession::onData(const TBusReply& reply) {
    switch (view_.Panel) {
    case TBusPanel::Output:
    case TBusPanel::Input: view_.PortOn = PortsOfBits(reply.Data[0]); break;
    case TBusPanel::Pwm: fields_.Pwm = {reply.Data[0], reply.Data[1]}; break;
    case TBusPanel::Temperature: {
        const auto t = ReplyTemperatures(reply);
        for (std::size_t k = 0; k < 4; ++k) view_.Temperature[k] = TemperatureText(t[k]);
        break;
    }
    case TBusPanel::None: break;
    }
}

void TBusConfigSession::onPwmSettings(const TBusReply& reply) {
    const TPwmSettingsReply r = DecodePwmSettings(reply);
    for (std::size_t ch = 0; ch < 2; ++ch) {
        // A code the list does not hold leaves the list as it is.
        const int index = PwmFrequencyIndex(static_cast<int>(ch), r.Code[ch]);
        if (index >= 0) fields_.PwmSettings.FrequencyIndex[ch] = index;
        fields_.PwmSettings.Inverted[ch] = r.Inverted[ch];
    }
}

} // namespace v7300

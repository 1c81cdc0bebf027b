#include "ui/device/LiveViewHost.h"

#include "core/Error.h"
#include "device/UnitV7300EEPROMData.h"

#include <QTimer>

namespace v7300 {

TLiveViewHost::TLiveViewHost(TLogic& logic, TLogicSimulation& simulation, MessagePort& messages, Clock& clock,
                             TLiveViewHostPorts ports, bool timers, QObject* parent)
    : QObject(parent), logic_(logic), messages_(messages), clock_(clock),
      ports_(std::move(ports)), sink_(simulation.Simulator()),
      session_([this](const TV7300Telegram& t) { ports_.Send(t); }, sink_, messages) {
    session_.OnStopped = [this](TLiveStop reason) { stopped(reason); };
    session_.OnValue = [this](const TLiveValue& v) { value(v); };
    liveTimer_ = new QTimer(this);
    if (timers) connect(liveTimer_, &QTimer::timeout, this, [this] { LiveTimerTick(); });
}

TLiveViewHost::~TLiveViewHost() = default;

void TLiveViewHost::Start() {
    std::vector<std::string> names;
    for (int i = 0; i < logic_.Components.Count(); ++i) names.push_back(logic_.Components.Items(i).Name);
    session_.Start(std::move(names), GetCrc(logic_), clock_.monotonicMs());
    liveTimer_->start(session_.LiveInterval());
    valuesChanged_ = false;
    lastValues_.clear();
    changed(true);
}

void TLiveViewHost::Stop() {
    session_.Stop();
    liveTimer_->stop();
    StopRecording();
}

bool TLiveViewHost::DeviceTimerTick() {
    if (!Running()) return true;
    session_.DeviceTimerTick();
    if (!Running()) return false; // the lost link: the stop action and the box have run
    if (recorder_) {
        try {
            recorder_->Tick(clock_.monotonicMs());
        } catch (const Error& e) {
            recorder_.reset(); // the live view goes on without the recording
            messages_.showError(e.what());
        }
    }
    if (valuesChanged_ || shownStatus_ != HardwareStatus()) changed(valuesChanged_);
    return true;
}

void TLiveViewHost::LiveTimerTick() {
    if (!Running()) return;
    session_.LiveTimerTick();
    liveTimer_->setInterval(session_.LiveInterval());
}

void TLiveViewHost::OnTelegram(const TV7300Telegram& telegram) {
    if (Running()) session_.onTelegram(telegram);
}

bool TLiveViewHost::StartRecording(const std::string& path, const std::string& project) {
    if (!Running()) return false;
    StopRecording();
    recordStart_ = clock_.monotonicMs();
    try {
        recorder_ = std::make_unique<TLiveRecorder>(
            path, TLiveRecordingHeader{GetCrc(logic_), clock_.localNow(), project}, recordStart_);
    } catch (const Error& e) {
        messages_.showError(e.what());
        return false;
    }
    return true;
}

void TLiveViewHost::StopRecording() {
    if (!recorder_) return;
    auto recorder = std::move(recorder_);
    try {
        recorder->Close();
    } catch (const Error& e) {
        messages_.showError(e.what());
    }
}

void TLiveViewHost::stopped(TLiveStop) {
    // The checksum text is set before this and the box of the lost link comes
    // after it, as in the window's own order.
    if (ports_.StopAction) ports_.StopAction();
    Stop();
    changed(true);
}

void TLiveViewHost::value(const TLiveValue& v) {
    const auto [it, added] = lastValues_.try_emplace(v.Component + '.' + v.Variable, v.Value);
    if (added || it->second != v.Value) valuesChanged_ = true;
    it->second = v.Value;
    if (recorder_) recorder_->Add({clock_.monotonicMs() - recordStart_, v.Component, v.Variable, v.Value});
}

void TLiveViewHost::changed(bool redraw) {
    valuesChanged_ = false;
    shownStatus_ = HardwareStatus();
    if (ports_.Changed) ports_.Changed(redraw);
}

} // namespace v7300

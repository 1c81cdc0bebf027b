#include "device/LiveView.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace v7300 {
namespace {

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The word at payload bytes `at`, `at` + 1 (high byte first), when present.
bool word(const std::vector<std::uint8_t>& p, std::size_t at, std::uint16_t& w) {
    if (p.size() < at + 2) return false;
    w = static_cast<std::uint16_t>(p[at] << 8 | p[at + 1]);
    return true;
}

// Word number i (0 = bytes 5–6, 1 = bytes 7–8, …).
constexpr std::size_t wordAt(int i) { return 5 + 2 * static_cast<std::size_t>(i); }

} // namespace

void DecodeLiveValues(const std::string& name, const std::vector<std::uint8_t>& p,
                      const std::function<void(int, std::int32_t)>& output,
                      const std::function<void(const std::string&, double)>& value) {
    std::uint16_t w = 0;
    const auto asSigned = [&w] { return static_cast<std::int16_t>(w); };
    const auto sign = [&](const char* variable, int i) {
        if (word(p, wordAt(i), w)) value(variable, asSigned());
    };
    const auto unsign = [&](const char* variable, int i) {
        if (word(p, wordAt(i), w)) value(variable, w);
    };
    if (word(p, wordAt(0), w)) output(1, asSigned());
    if (beginsWith(name, "TIMER")) {
        unsign("COUNTER", 2);
        unsign("SEKUNDEN", 3);
    }
    if (beginsWith(name, "COUNT")) {
        unsign("ZAEHLER", 2);
        unsign("COUNTER", 4);
    }
    if (beginsWith(name, "ROLLO")) {
        unsign("DIRECTION", 3);
        unsign("COUNTER", 4);
    }
    if (beginsWith(name, "SCHWELLE")) {
        sign("VALUE", 1);
        sign("SCHWELLEUP", 2);
        sign("SCHWELLEDOWN", 3);
    }
    if (beginsWith(name, "VALUE")) {
        sign("VALUE", 0);
        sign("MAX", 5);
        sign("MIN", 6);
    }
    if (beginsWith(name, "ASWITCH")) sign("WERT", 0);
    if (beginsWith(name, "BUS-TEMP")) {
        for (int i = 0; i < 8; ++i)
            if (word(p, wordAt(i), w)) value("VALUE" + std::to_string(i + 1), asSigned() / 10.0);
    }
    if (beginsWith(name, "BUS-IN")) {
        // The low byte of each word.
        for (int i = 0; i < 8; ++i) {
            const std::size_t at = wordAt(i) + 1;
            if (at < p.size()) output(i + 1, p[at]);
        }
    }
}

TLiveView::TLiveView(SendFn send, TLiveValueSink& store, MessagePort& messages)
    : send_(std::move(send)), store_(store), messages_(messages) {}

void TLiveView::Start(std::vector<std::string> componentNames, std::int32_t checksum, std::int64_t now) {
    componentNames_ = std::move(componentNames);
    objectNames_.clear();
    for (const auto& name : componentNames_)
        if (!beginsWith(name, "TXT")) objectNames_.push_back(name);
    checksum_ = checksum;
    statusEx_.clear();
    hardwareStatus_ = kLiveStarting;
    interval_ = kStartIntervalMs;
    zeroTicks_ = 0; // ticks of an earlier live view do not follow on from these
    replies_ = 0;
    nextDeviceTick_ = now + kDeviceTimerMs;
    nextRequest_ = now + kStartIntervalMs;
    running_ = true;
}

void TLiveView::Stop() { running_ = false; }

const std::string& TLiveView::ObjectName(int objectNumber) const {
    static const std::string none;
    if (objectNumber < 1 || objectNumber > static_cast<int>(objectNames_.size())) return none;
    return objectNames_[static_cast<std::size_t>(objectNumber - 1)];
}

double TLiveView::AverageRate() const {
    if (history_.empty()) return 0;
    return std::accumulate(history_.begin(), history_.end(), 0.0) / static_cast<double>(history_.size());
}

// ------------------------------------------------------------------ timers

void TLiveView::onTick(std::int64_t now) {
    if (!running_) return;
    if (now >= nextDeviceTick_) {
        nextDeviceTick_ += kDeviceTimerMs;
        if (nextDeviceTick_ <= now) nextDeviceTick_ = now + kDeviceTimerMs; // a late host: one tick, not a burst
        DeviceTimerTick();
        if (!running_) return;
    }
    if (now >= nextRequest_) {
        LiveTimerTick();
        // Counted from when the request was due, so that a host that wakes a
        // little late does not slow the polling down; a host that is later than
        // a whole interval gets one request, not a burst.
        nextRequest_ += interval_;
        if (nextRequest_ <= now) nextRequest_ = now + interval_;
    }
}

std::int64_t TLiveView::NextDeadline() const { return std::min(nextDeviceTick_, nextRequest_); }

void TLiveView::LiveTimerTick() {
    if (!running_) return;
    ++request_;
    if (request_ > static_cast<int>(componentNames_.size())) request_ = 0;
    // More than 255 components (free texts) wrap in the request byte; such
    // numbers name no device object anyway.
    send_(MakeRequestLiveData(static_cast<std::uint8_t>(request_)));
}

void TLiveView::DeviceTimerTick() {
    if (!running_) return;
    history_.push_back(replies_ * 1000.0 / kDeviceTimerMs);
    while (history_.size() > kRateHistory) history_.pop_front();
    replies_ = 0;
    const double average = AverageRate();
    if (average != 0) {
        if (average < kTargetRate) interval_ -= kIntervalStepMs;
        if (average > kTargetRate) interval_ += kIntervalStepMs;
        interval_ = std::clamp(interval_, kMinIntervalMs, kMaxIntervalMs);
        char text[80];
        std::snprintf(text, sizeof text, "Live View ( %d ms / pps: %.0f)", cycleTime_, average);
        hardwareStatus_ = text;
        zeroTicks_ = 0;
        return;
    }
    hardwareStatus_ = kLiveConnecting;
    if (++zeroTicks_ > kZeroRateTicks) {
        zeroTicks_ = 0;
        stopBecause(TLiveStop::ConnectionLost);
        messages_.showError(kLiveConnectionLost);
    }
}

void TLiveView::stopBecause(TLiveStop reason) {
    running_ = false;
    if (OnStopped) OnStopped(reason);
}

// ------------------------------------------------------------------ replies

void TLiveView::onTelegram(const TV7300Telegram& t) {
    if (t.Command == CmdLogikOutput && running_) onLiveData(t);
}

void TLiveView::onLiveData(const TV7300Telegram& t) {
    ++replies_; // every live reply counts, before any check
    const auto& p = t.Payload;
    if (p.size() < 5) return; // no header: nothing to check or show
    if (p[1] != ((checksum_ >> 8) & 0xFF) || p[2] != (checksum_ & 0xFF)) {
        // Stopped once: the replies still under way find the live view stopped
        // and are ignored, and nothing waits here.
        statusEx_ = kLiveChecksumMismatch;
        stopBecause(TLiveStop::ChecksumMismatch);
        return;
    }
    cycleTime_ = static_cast<std::int16_t>(p[3] << 8 | p[4]);
    const std::string& name = ObjectName(p[0]);
    if (!name.empty()) writeValues(name, p);
}

void TLiveView::writeValues(const std::string& name, const std::vector<std::uint8_t>& payload) {
    DecodeLiveValues(
        name, payload, [&](int n, std::int32_t v) { output(name, n, v); },
        [&](const std::string& variable, double v) { value(name, variable, v); });
}

void TLiveView::output(const std::string& name, int n, std::int32_t v) {
    store_.SetOutputState(name, n, v);
    if (OnValue) OnValue({name, "A" + std::to_string(n), static_cast<double>(v)});
}

void TLiveView::value(const std::string& name, const std::string& variable, double v) {
    store_.SetObjectValue(name, variable, v);
    if (OnValue) OnValue({name, variable, v});
}

} // namespace v7300

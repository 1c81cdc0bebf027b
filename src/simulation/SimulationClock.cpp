#include "simulation/SimulationClock.h"

#include <algorithm>

namespace v7300 {

int SpeedFactor(TSimulationSpeed speed) {
    switch (speed) {
    case TSimulationSpeed::Echtzeit: return 1;
    case TSimulationSpeed::Zehnfach: return 10;
    case TSimulationSpeed::Hundertfach: return 100;
    case TSimulationSpeed::Maximal: break;
    }
    return 0;
}

std::string SpeedText(TSimulationSpeed speed) {
    switch (speed) {
    case TSimulationSpeed::Echtzeit: return "1×";
    case TSimulationSpeed::Zehnfach: return "10×";
    case TSimulationSpeed::Hundertfach: return "100×";
    case TSimulationSpeed::Maximal: break;
    }
    return "so schnell wie möglich";
}

TSimulationClock::TSimulationClock(Clock& real, TTimeZone zone, std::int64_t utcStartMs)
    : ZonedVirtualClock(std::move(zone), utcStartMs), real_(real) {}

void TSimulationClock::sleepMs(std::int64_t ms) {
    advanceMs(ms);
    const std::int64_t target = runFreeUntil_.load();
    if (target != kNever && utcMs() >= target) EndRunFree();
    if (!Unpaced()) Pace(ms);
}

void TSimulationClock::Pace(std::int64_t ms) {
    const int factor = SpeedFactor(Speed());
    if (factor <= 0 || ms <= 0) return;
    const std::uint64_t changes = changes_.load();
    std::int64_t deadline = 0;
    {
        std::lock_guard lk(paceMutex_);
        if (!anchored_) {
            anchored_ = true;
            anchorReal_ = real_.monotonicMs();
            anchorSimulated_ = monotonicMs() - ms;
        }
        deadline = anchorReal_ + (monotonicMs() - anchorSimulated_) / factor;
    }
    for (;;) {
        const std::int64_t now = real_.monotonicMs();
        if (now >= deadline || changes_.load() != changes) break;
        real_.sleepMs(std::min<std::int64_t>(20, deadline - now));
    }
    // Far behind (a slow pass, a debugger): go on from here instead of racing.
    if (real_.monotonicMs() - deadline > 1000) Reanchor();
}

void TSimulationClock::SetSpeed(TSimulationSpeed speed) {
    speed_.store(static_cast<int>(speed));
    Reanchor();
}

void TSimulationClock::RunFreeUntil(std::int64_t utcMs) {
    runFreeUntil_.store(utcMs);
    changes_.fetch_add(1);
}

void TSimulationClock::EndRunFree() {
    runFreeUntil_.store(kNever);
    Reanchor();
}

void TSimulationClock::Reanchor() {
    {
        std::lock_guard lk(paceMutex_);
        anchored_ = false;
    }
    changes_.fetch_add(1);
}

} // namespace v7300

#pragma once
// The clock of the editor's simulation: simulated calendar time in a time zone,
// paced against a real clock at 1×, 10× or 100× speed, or not paced at all
// ("so schnell wie möglich", and while running free to a later time). Safe to
// use from the worker and the user-interface thread.
#include "core/Clock.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace v7300 {

enum class TSimulationSpeed { Echtzeit, Zehnfach, Hundertfach, Maximal };

// 1, 10, 100; 0 for as fast as possible.
int SpeedFactor(TSimulationSpeed speed);
// "1×", "10×", "100×", "so schnell wie möglich".
std::string SpeedText(TSimulationSpeed speed);

class TSimulationClock : public ZonedVirtualClock {
public:
    TSimulationClock(Clock& real, TTimeZone zone, std::int64_t utcStartMs);

    // Advances the simulated time by ms, then waits until the real clock has
    // caught up with it at the current speed.
    void sleepMs(std::int64_t ms) override;

    void SetSpeed(TSimulationSpeed speed);
    TSimulationSpeed Speed() const { return static_cast<TSimulationSpeed>(speed_.load()); }
    // No pacing until the simulated time reaches utcMs.
    void RunFreeUntil(std::int64_t utcMs);
    void EndRunFree();
    bool RunningFree() const { return runFreeUntil_.load() != kNever; }
    std::int64_t RunFreeTarget() const { return runFreeUntil_.load(); }
    // Sleeping costs no real time now.
    bool Unpaced() const { return Speed() == TSimulationSpeed::Maximal || RunningFree(); }
    // Pacing starts afresh from this moment (after a pause).
    void Reanchor();

private:
    void Pace(std::int64_t ms);

    Clock& real_;
    std::atomic<int> speed_{static_cast<int>(TSimulationSpeed::Echtzeit)};
    std::atomic<std::int64_t> runFreeUntil_{kNever};
    std::atomic<std::uint64_t> changes_{0}; // a wait in progress ends when this changes
    std::mutex paceMutex_;
    bool anchored_ = false;
    std::int64_t anchorReal_ = 0;
    std::int64_t anchorSimulated_ = 0;
};

} // namespace v7300

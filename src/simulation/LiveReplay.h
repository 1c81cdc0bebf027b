#pragma once
// Replays a recorded live view in the simulation: the components that read the
// outside world (IN, BUS-IN, BUS-TEMP) get the recorded values at their recorded
// times, and every other recorded value is compared with the simulation's value
// at the same moment. A disagreement counts once it has been seen at three
// samples of that value in a row: each value is sampled once per live sweep, so
// it has then lasted longer than two sweeps, and the few milliseconds by which a
// cycle of the simulation and one of the controller differ do not count.
#include "core/Clock.h"
#include "model/Logic.h"
#include "simulation/LiveRecording.h"
#include "simulation/SimulationRuntime.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace v7300 {

struct TReplayDifference {
    std::int64_t Ms = 0; // the first sample that disagreed
    std::string Component;
    std::string Variable;
    std::string Device;     // the recorded value in the store's number text form
    std::string Simulation; // the store's text
};

class TLiveReplay {
public:
    static constexpr int kConfirmingSamples = 3;

    // `runtime` must be simulating without a worker on `clock`, a virtual clock
    // whose local time starts at the recording's start.
    TLiveReplay(const TLogic& logic, TLogicSimulation& runtime, Clock& clock, TLiveRecording recording);

    // Feeds and compares the samples due before the next cycle, then runs that
    // cycle. False once every sample has been used (or the simulation stopped).
    bool Step();
    void Run();
    // Simulated time since the start of the recording.
    std::int64_t ElapsedMs();
    int Differences() const { return differences_; }

    std::function<void(const TReplayDifference&)> OnDifference;

private:
    enum class Role { Compared, Input, BusInput, BusTemperature };
    struct Watch {
        int run = 0; // samples in a row that disagreed
        TReplayDifference first;
    };

    void use(const TLiveSample& sample);
    void feed(Role role, const TLiveSample& sample);
    void compare(const TLiveSample& sample);

    TLogicSimulation& runtime_;
    Clock& clock_;
    TLiveRecording recording_;
    std::map<std::string, Role> roles_; // by instance name
    std::map<std::string, Watch> watches_; // by "NAME.VAR"
    std::size_t next_ = 0;
    std::int64_t start_;
    int differences_ = 0;
};

} // namespace v7300

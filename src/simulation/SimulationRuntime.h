#pragma once
// The simulation operations of the document: start, stop, asking whether it runs,
// and acting on a simulated input. Owns the document's TSimulate and points
// TLogic::Simulation at it for its lifetime.
#include "core/Clock.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicSimulation.h"
#include "simulation/SimulationClock.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace v7300 {

class TLogicSimulation {
public:
    static constexpr int kPulseMs = 510; // push button: 51 x 10 ms

    TLogicSimulation(TLogic& logic, Clock& clock, TEffectPorts ports = {});
    // On the editor's simulation clock: speed and jumps in time are available.
    TLogicSimulation(TLogic& logic, TSimulationClock& clock, TEffectPorts ports = {});
    ~TLogicSimulation();
    TLogicSimulation(const TLogicSimulation&) = delete;
    TLogicSimulation& operator=(const TLogicSimulation&) = delete;

    // Starts a local simulation of the diagram (nothing when the document is not
    // initialised; "Die Simulation läuft bereits!" when one runs). withWorker
    // false: no thread, the caller runs the cycles with RunCycles.
    void Simulate(bool withWorker = true);
    bool Simulation_abbrechen();
    bool Simulating() const;
    // Acts on the simulated input of the component(s) named "IN" + n by its TYPE:
    // 0 switch (opposite of the shown state), 1-4 analogue (slider window),
    // 10 push button (set now, cleared about half a second later without waiting).
    void Toogle_input(int n);
    // Sets input 1 of the component for kPulseMs, then clears it (timed action).
    void Press(const std::string& componentName);
    // Live view: the worker ends at once, the running flag stays.
    void StopSimThread() { sim_.StopSimThread(); }

    // Carries out the timed actions that are due (the worker does this before
    // each cycle; a host without a worker may call it from its timer).
    void Tick();
    // Without a worker: runs n cycles (each: interval sleep, due actions, cycle).
    // Returns the number of cycles that ran (fewer when a pass failed).
    int RunCycles(int n);
    // What the drawing does at every redraw: OutputStates 1-8 of every component
    // from Output_Status.
    void UpdateOutputStates();
    // Number of timed actions not carried out yet.
    std::size_t PendingActions() const;

    // Without a worker, on a clock on which sleeping costs nothing: runs the
    // next cycle, or, with skipIdle, replaces the idle cycles that would start
    // before untilMonotonicMs (and before the next timed action) by one jump of
    // the clock. Returns the number of cycles covered (0 when none could run).
    std::int64_t Advance(std::int64_t untilMonotonicMs, bool skipIdle = true);

    // --- the controls of a running simulation; thread-safe. The worker goes
    // on running the cycles; without a worker the calls act at once.
    // Pause keeps the whole store; a jump to a later time in progress ends.
    void Pause();
    void Resume();
    bool Paused() const;
    // While paused: one more cycle.
    void Step();
    // Needs the simulation clock; otherwise nothing happens.
    void SetSpeed(TSimulationSpeed speed);
    TSimulationSpeed Speed() const;
    // Later than now: runs the cycles as fast as possible until the time
    // (skipping idle stretches), then goes on as before (a paused simulation
    // stays paused). Earlier: sets the clock back. Needs the simulation clock.
    // A local time that does not exist (spring change) means the moment after
    // the gap; one that exists twice (autumn change) its first occurrence.
    void GoTo(const DateTime& local);
    void GoToUtc(std::int64_t utcMs);
    bool GoingTo() const;
    // A forced store entry keeps its value until released; stopping releases all.
    void Force(const std::string& name, const std::string& value) { sim_.Force(name, value); }
    void Release(const std::string& name) { sim_.Release(name); }
    void ReleaseAll() { sim_.ReleaseAll(); }
    std::vector<TVariablen> Forced() const { return sim_.Forced(); }
    // Called on the cycling thread after every cycle and after every jump over
    // idle cycles (a timing plot samples here). Set it before Simulate.
    void SetOnCycle(std::function<void()> onCycle) { onCycle_ = std::move(onCycle); }
    // "Pausiert" while paused, "Lokale Simulation" while running, else empty.
    std::string StatusText() const;
    // The simulated local date and time, "Mo 05.01.2026 12:00:00".
    DateTime SimulatedTime() const { return clock_.localNow(); }
    std::string SimulatedTimeText() const;

    TSimulate& Simulator() { return sim_; }
    const TSimulate& Simulator() const { return sim_; }

private:
    void AfterCycle();
    // How many coming cycles (the next one read at now + the interval) read the
    // clock before the monotonic time / the UTC time.
    std::int64_t CyclesReadingBefore(std::int64_t monotonicMs) const;
    std::int64_t NextActionDue() const;

    struct TimedAction {
        std::int64_t due; // monotonic ms
        std::string component;
        int input;
        bool state;
    };

    TLogic& logic_;
    Clock& clock_;
    TSimulationClock* simClock_ = nullptr;
    std::function<void()> onCycle_;
    TEffectPorts ports_;
    TSimulate sim_;
    mutable std::mutex actionsMutex_;
    std::vector<TimedAction> actions_;
};

} // namespace v7300

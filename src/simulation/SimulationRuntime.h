#pragma once
// The simulation operations of the document: start, stop, asking whether it runs,
// and acting on a simulated input. Owns the document's TSimulate and points
// TLogic::Simulation at it for its lifetime.
#include "core/Clock.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicSimulation.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace v7300 {

class TLogicSimulation {
public:
    static constexpr int kPulseMs = 510; // push button: 51 x 10 ms

    TLogicSimulation(TLogic& logic, Clock& clock, TEffectPorts ports = {});
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

    TSimulate& Simulator() { return sim_; }
    const TSimulate& Simulator() const { return sim_; }

private:
    struct TimedAction {
        std::int64_t due; // monotonic ms
        std::string component;
        int input;
        bool state;
    };

    TLogic& logic_;
    Clock& clock_;
    TEffectPorts ports_;
    TSimulate sim_;
    mutable std::mutex actionsMutex_;
    std::vector<TimedAction> actions_;
};

} // namespace v7300

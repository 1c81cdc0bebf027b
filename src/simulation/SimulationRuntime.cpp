#include "simulation/SimulationRuntime.h"

#include "core/NumberFormat.h"
#include "simulation/ScriptGenerator.h"

#include <algorithm>

#include <utility>

namespace v7300 {

TLogicSimulation::TLogicSimulation(TLogic& logic, Clock& clock, TEffectPorts ports)
    : logic_(logic), clock_(clock), ports_(ports), sim_(clock, ports) {
    sim_.SetBeforeCycle([this] { Tick(); });
    logic_.Simulation = &sim_;
}

TLogicSimulation::~TLogicSimulation() {
    sim_.Stop();
    sim_.StopSimThread();
    if (logic_.Simulation == &sim_) logic_.Simulation = nullptr;
}

void TLogicSimulation::Simulate(bool withWorker) {
    if (!logic_.Initialised) return;
    if (!sim_.Running()) {
        logic_.Select_Objekt("");
        logic_.SelectedNode = 0;
        for (int i = 0; i < logic_.Components.Count(); ++i)
            if (std::as_const(logic_.Components).Items(i).OutputStates != decltype(TLogicComponent::OutputStates){})
                logic_.Components.Items(i).OutputStates.fill(0);
        {
            std::lock_guard lk(actionsMutex_);
            actions_.clear();
        }
        if (sim_.Start(create_script(logic_), withWorker)) return;
    }
    logic_.Messages.showHint("Die Simulation läuft bereits!");
}

bool TLogicSimulation::Simulation_abbrechen() { return sim_.Stop(); }

bool TLogicSimulation::Simulating() const { return sim_.Running(); }

void TLogicSimulation::Press(const std::string& componentName) {
    sim_.SetInputState(componentName, 1, true);
    std::lock_guard lk(actionsMutex_);
    actions_.push_back(TimedAction{clock_.monotonicMs() + kPulseMs, componentName, 1, false});
}

void TLogicSimulation::Toogle_input(int n) {
    if (!Simulating()) return;
    const std::string name = "IN" + std::to_string(n);
    for (const TLogicComponent& c : logic_.Components) {
        if (c.Name != name) continue;
        const TLogicComponentDefine* type = c.Variables.FindByName("TYPE");
        if (type == nullptr) continue;
        const auto kind = parseInt32(trimBlanks(type->GetValue()));
        if (!kind) continue;
        switch (*kind) {
        case 0:
            sim_.SetInputState(name, 1, c.OutputStates[0] == 0);
            break;
        case 1:
        case 2:
        case 3:
        case 4:
            if (ports_.Ui) ports_.Ui->ShowSliderWindow(name);
            break;
        case 10:
            Press(name);
            break;
        default:
            break;
        }
    }
}

void TLogicSimulation::Tick() {
    std::vector<TimedAction> due;
    {
        const std::int64_t now = clock_.monotonicMs();
        std::lock_guard lk(actionsMutex_);
        auto split = std::stable_partition(actions_.begin(), actions_.end(),
                                           [now](const TimedAction& a) { return a.due > now; });
        due.assign(split, actions_.end());
        actions_.erase(split, actions_.end());
    }
    for (const TimedAction& a : due) sim_.SetInputState(a.component, a.input, a.state);
}

std::size_t TLogicSimulation::PendingActions() const {
    std::lock_guard lk(actionsMutex_);
    return actions_.size();
}

int TLogicSimulation::RunCycles(int n) {
    int ran = 0;
    for (int i = 0; i < n; ++i) {
        clock_.sleepMs(TSimulate::kThreadInterval);
        Tick();
        const std::int64_t before = sim_.CycleCount();
        const bool more = sim_.RunCycle();
        if (sim_.CycleCount() != before) ++ran;
        if (!more) break;
    }
    return ran;
}

void TLogicSimulation::UpdateOutputStates() {
    if (!Simulating()) return;
    // Written only where a state changed: the components stay shared with the undo history.
    for (int i = 0; i < logic_.Components.Count(); ++i) {
        const TLogicComponent& c = std::as_const(logic_.Components).Items(i);
        auto states = c.OutputStates;
        for (int k = 1; k <= 8; ++k) states[static_cast<std::size_t>(k - 1)] = sim_.Output_Status(c.Name, k) ? 1 : 0;
        if (states != c.OutputStates) logic_.Components.Items(i).OutputStates = states;
    }
}

} // namespace v7300

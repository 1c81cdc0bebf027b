#include "simulation/SimulationRuntime.h"

#include "core/NumberFormat.h"
#include "simulation/ScriptGenerator.h"

#include <algorithm>
#include <cstdio>

#include <utility>

namespace v7300 {

TLogicSimulation::TLogicSimulation(TLogic& logic, Clock& clock, TEffectPorts ports)
    : logic_(logic), clock_(clock), ports_(ports), sim_(clock, ports) {
    sim_.SetBeforeCycle([this] { Tick(); });
    sim_.SetAfterCycle([this] { AfterCycle(); });
    logic_.Simulation = &sim_;
}

TLogicSimulation::TLogicSimulation(TLogic& logic, TSimulationClock& clock, TEffectPorts ports)
    : TLogicSimulation(logic, static_cast<Clock&>(clock), ports) {
    simClock_ = &clock;
    sim_.SetRunFree([&clock] { return clock.RunningFree(); });
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

bool TLogicSimulation::Simulation_abbrechen() {
    sim_.ReleaseAll();
    if (simClock_) simClock_->EndRunFree();
    return sim_.Stop();
}

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

std::int64_t TLogicSimulation::NextActionDue() const {
    std::lock_guard lk(actionsMutex_);
    std::int64_t due = Clock::kNever;
    for (const TimedAction& a : actions_) due = std::min(due, a.due);
    return due;
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
        if (sim_.CycleCount() != before) {
            ++ran;
            if (onCycle_) onCycle_();
        }
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

// ---------------------------------------------------------------- driving and controls

namespace {
constexpr std::int64_t kPeriod = TSimulate::kThreadInterval + TSimulate::kCycleWait;

// Cycles j = 0, 1, … whose time first + j * period lies before the bound.
std::int64_t countBefore(std::int64_t first, std::int64_t bound) {
    if (bound == Clock::kNever) return Clock::kNever / 2;
    if (bound <= first) return 0;
    return (bound - first + kPeriod - 1) / kPeriod;
}
} // namespace

std::int64_t TLogicSimulation::CyclesReadingBefore(std::int64_t monotonicMs) const {
    return countBefore(clock_.monotonicMs() + TSimulate::kThreadInterval, monotonicMs);
}

std::int64_t TLogicSimulation::Advance(std::int64_t untilMonotonicMs, bool skipIdle) {
    if (skipIdle) {
        const std::int64_t bound = std::min(countBefore(clock_.monotonicMs(), untilMonotonicMs),
                                            CyclesReadingBefore(NextActionDue()));
        if (const std::int64_t skipped = sim_.SkipIdle(bound); skipped > 0) {
            if (onCycle_) onCycle_();
            return skipped;
        }
    }
    return RunCycles(1);
}

// The worker after each cycle: on an unpaced clock idle stretches are skipped.
void TLogicSimulation::AfterCycle() {
    if (onCycle_) onCycle_();
    if (simClock_ == nullptr || !simClock_->Unpaced()) return;
    if (sim_.Paused() && !simClock_->RunningFree()) return; // single steps stay single
    std::int64_t bound = CyclesReadingBefore(NextActionDue());
    if (simClock_->RunningFree())
        bound = std::min(bound, countBefore(simClock_->utcMs() + TSimulate::kThreadInterval, simClock_->RunFreeTarget()));
    if (sim_.SkipIdle(bound) > 0 && onCycle_) onCycle_();
}

void TLogicSimulation::Pause() {
    if (simClock_) simClock_->EndRunFree();
    sim_.Pause();
}

void TLogicSimulation::Resume() {
    if (simClock_) simClock_->Reanchor();
    sim_.Resume();
}

bool TLogicSimulation::Paused() const { return sim_.Paused(); }

void TLogicSimulation::Step() {
    if (!Simulating() || !Paused()) return;
    if (sim_.WorkerActive()) sim_.StepOnce();
    else RunCycles(1);
}

void TLogicSimulation::SetSpeed(TSimulationSpeed speed) {
    if (simClock_) simClock_->SetSpeed(speed);
}

TSimulationSpeed TLogicSimulation::Speed() const {
    return simClock_ ? simClock_->Speed() : TSimulationSpeed::Maximal;
}

void TLogicSimulation::GoTo(const DateTime& local) {
    if (simClock_ == nullptr) return;
    const std::int64_t localSeconds = local.toEpochMs() / 1000;
    auto instants = simClock_->zone().LocalToUtc(localSeconds);
    if (instants.empty()) {
        // In a gap: the moment the clock jumps over it.
        const auto jump = simClock_->zone().NextTransition(localSeconds - 2 * 86400);
        instants.push_back(jump.value_or(localSeconds - simClock_->zone().OffsetAt(localSeconds)));
    }
    GoToUtc(instants.front() * 1000 + local.millisecond);
}

void TLogicSimulation::GoToUtc(std::int64_t utcMs) {
    if (simClock_ == nullptr || !Simulating()) return;
    if (utcMs <= simClock_->utcMs()) {
        simClock_->EndRunFree();
        simClock_->setUtcMs(utcMs);
        sim_.ClockWasSet();
        return;
    }
    if (sim_.WorkerActive()) {
        simClock_->RunFreeUntil(utcMs);
        sim_.WakeWorker();
        return;
    }
    // Without a worker: at once, the last cycle (which may end past the
    // target) unpaced as well.
    simClock_->RunFreeUntil(utcMs + kPeriod);
    while (simClock_->utcMs() < utcMs && Simulating() && !sim_.Stalled()) {
        const std::int64_t untilMono = simClock_->monotonicMs() + (utcMs - simClock_->utcMs());
        if (Advance(untilMono) == 0) break;
    }
    simClock_->EndRunFree();
}

bool TLogicSimulation::GoingTo() const { return simClock_ != nullptr && simClock_->RunningFree(); }

std::string TLogicSimulation::StatusText() const {
    if (!Simulating()) return {};
    return Paused() ? "Pausiert" : "Lokale Simulation";
}

std::string TLogicSimulation::SimulatedTimeText() const {
    static const char* const days[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
    const DateTime t = clock_.localNow();
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s %02d.%02d.%04d %02d:%02d:%02d", days[(t.dayOfWeek() + 6) % 7], t.day % 100,
                  t.month % 100, t.year % 10000, t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

} // namespace v7300

#include "ui/sim/SimulationControl.h"

#include "simulation/MailQueue.h"
#include "simulation/SimulationClock.h"
#include "simulation/TimingPlotSession.h"
#include "simulation/SimulationRuntime.h"
#include "simulation/SmtpSender.h"
#include "ui/app/ActionLog.h"
#include "ui/sim/QtEffectPorts.h"
#include "ui/sim/Unit_LCD.h"

#include <QApplication>
#include <QWidget>

namespace v7300 {

TSimulationControl::TSimulationControl(TLogic& logic, Clock& clock, QWidget* window, bool withWorker,
                                       TTimeZone zone)
    : QObject(window), logic_(logic), realClock_(clock), withWorker_(withWorker),
      simClock_(std::make_unique<TSimulationClock>(clock, std::move(zone), clock.utcNow().toEpochMs())) {
    // The LCD window exists before any worker can start, and the worker's port
    // keeps it for its whole life.
    lcd_ = new TFrmLCD(window);
    lcdPort_ = std::make_unique<TQtLcdPort>(*lcd_);
    execPort_ = std::make_unique<TQtExecPort>();
    playPort_ = std::make_unique<TQtPlayPort>();
    mails_ = std::make_unique<TMailQueue>(std::make_unique<CurlSmtpSender>(), [](const std::string& line) {
        // The mail thread reports here; the action log belongs to the user-interface thread.
        if (qApp)
            QMetaObject::invokeMethod(
                qApp, [line] { LogAction(line); }, Qt::QueuedConnection);
    });
    simInput_ = std::make_unique<TQtSimInputPort>(window, [this](const std::string& component, int value) {
        if (simulation_) simulation_->Simulator().SetInputValue(component, 1, value);
    });
    TEffectPorts effects;
    effects.Lcd = lcdPort_.get();
    effects.Exec = execPort_.get();
    effects.Play = playPort_.get();
    effects.Smtp = mails_.get();
    effects.Ui = simInput_.get();
    simulation_ = std::make_unique<TLogicSimulation>(logic_, *simClock_, effects);
    plot_ = std::make_unique<TTimingPlotSession>(simClock_->zone());
    // The plot samples after every cycle (on the cycling thread); the entries it
    // reads are watched by the skipping of idle stretches.
    simulation_->SetOnCycle([this] { plot_->Sample(simClock_->utcMs(), simulation_->Simulator()); });
    plot_->SetOnEntriesChanged(
        [this](const std::vector<std::string>& names) { simulation_->Simulator().SetObserved(names); });
}

TSimulationControl::~TSimulationControl() {
    simulation_->Simulation_abbrechen();
    simulation_.reset();
}

bool TSimulationControl::Running() const {
    return simulation_->Simulating();
}

bool TSimulationControl::LocalRunning() const {
    return !live_ && simulation_->Simulating();
}

void TSimulationControl::Start() {
    if (!simulation_->Simulating()) {
        // Each simulation starts at the real time; the chosen speed stays.
        simClock_->EndRunFree();
        simClock_->setUtcMs(realClock_.utcNow().toEpochMs());
        simClock_->Reanchor();
        plot_->Begin(simClock_->utcMs(), simClock_->zone());
        live_ = false;
    }
    simulation_->Simulate(withWorker_);
}

void TSimulationControl::StartLiveView() {
    live_ = true;
    simulation_->Simulate(withWorker_);
    // The machinery runs without its worker: the values come from the device.
    simulation_->StopSimThread();
}

void TSimulationControl::Stop() {
    try {
        simulation_->Simulation_abbrechen();
        mails_->DropPending();
        playPort_->Stop();
    } catch (...) {
        // stopping never fails visibly
    }
}

void TSimulationControl::ToggleInput(int n) {
    simulation_->Toogle_input(n);
}

} // namespace v7300

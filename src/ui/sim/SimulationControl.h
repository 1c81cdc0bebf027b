#pragma once
// The local simulation and the live view's simulation machinery of the main
// window: the runtime with the editor's effects (the LCD window, the slider
// windows of analogue inputs, programs, sounds, mails on their own thread),
// started and stopped from the toolbar. The local simulation runs on a
// simulated calendar clock (starting at the real time at each start), so that
// it can run faster, pause, step and jump to a later time; the controls drive
// TLogicSimulation and the window shows its state.
#include "core/Clock.h"
#include "core/TimeZone.h"
#include "model/Logic.h"

#include <QObject>

#include <memory>

class QWidget;

namespace v7300 {

class TFrmLCD;
class TLogicSimulation;
class TMailQueue;
class TQtExecPort;
class TQtLcdPort;
class TQtPlayPort;
class TQtSimInputPort;
class TSimulationClock;
class TTimingPlotSession;

class TSimulationControl : public QObject {
    Q_OBJECT
  public:
    // withWorker false: tests run the cycles themselves. The simulated time is
    // the local time of the zone (the machine's in the program).
    TSimulationControl(TLogic& logic, Clock& clock, QWidget* window, bool withWorker, TTimeZone zone);
    ~TSimulationControl() override;

    TLogicSimulation& Simulation() { return *simulation_; }
    TSimulationClock& SimulatedClock() { return *simClock_; }
    // The timing plot: the chosen entries and the recording of the local simulation.
    TTimingPlotSession& Plot() { return *plot_; }
    TFrmLCD* Lcd() const { return lcd_; }
    TQtSimInputPort* SliderWindows() const { return simInput_.get(); }
    bool Running() const;
    // A local simulation runs (not the live view, whose values come from the device).
    bool LocalRunning() const;

    // The local simulation; the live view runs the machinery without its worker.
    void Start();
    void StartLiveView();
    // Stops whatever runs; drops mails not yet sent and stops a sound. Never fails visibly.
    void Stop();
    // A left click on input n while simulating.
    void ToggleInput(int n);

  private:
    TLogic& logic_;
    Clock& realClock_;
    bool withWorker_;
    bool live_ = false;
    std::unique_ptr<TSimulationClock> simClock_;
    std::unique_ptr<TTimingPlotSession> plot_;
    TFrmLCD* lcd_ = nullptr;
    std::unique_ptr<TQtLcdPort> lcdPort_;
    std::unique_ptr<TQtExecPort> execPort_;
    std::unique_ptr<TQtPlayPort> playPort_;
    std::unique_ptr<TMailQueue> mails_;
    std::unique_ptr<TQtSimInputPort> simInput_;
    std::unique_ptr<TLogicSimulation> simulation_;
};

} // namespace v7300

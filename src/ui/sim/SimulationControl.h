#pragma once
// The local simulation and the live view's simulation machinery of the main
// window: the runtime with the editor's effects (the LCD window, the slider
// windows of analogue inputs, programs, sounds, mails on their own thread),
// started and stopped from the toolbar. Later controls (pause, step, forcing an
// input, a timing plot) attach here: they drive TLogicSimulation, and the window
// shows its state.
#include "core/Clock.h"
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

class TSimulationControl : public QObject {
    Q_OBJECT
  public:
    // withWorker false: tests run the cycles themselves.
    TSimulationControl(TLogic& logic, Clock& clock, QWidget* window, bool withWorker);
    ~TSimulationControl() override;

    TLogicSimulation& Simulation() { return *simulation_; }
    TFrmLCD* Lcd() const { return lcd_; }
    TQtSimInputPort* SliderWindows() const { return simInput_.get(); }
    bool Running() const;

    // The local simulation; the live view runs the machinery without its worker.
    void Start();
    void StartLiveView();
    // Stops whatever runs; drops mails not yet sent and stops a sound. Never fails visibly.
    void Stop();
    // A left click on input n while simulating.
    void ToggleInput(int n);

  private:
    TLogic& logic_;
    bool withWorker_;
    TFrmLCD* lcd_ = nullptr;
    std::unique_ptr<TQtLcdPort> lcdPort_;
    std::unique_ptr<TQtExecPort> execPort_;
    std::unique_ptr<TQtPlayPort> playPort_;
    std::unique_ptr<TMailQueue> mails_;
    std::unique_ptr<TQtSimInputPort> simInput_;
    std::unique_ptr<TLogicSimulation> simulation_;
};

} // namespace v7300

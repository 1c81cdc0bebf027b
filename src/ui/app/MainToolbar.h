#pragma once
// The main window's toolbar: Neu, Öffnen, Speichern, the "T" of a new text, the
// simulation and live-view buttons, the program-size indicator, the link-status
// panel and the status label. The two panels are as wide as their texts (at
// least their design widths); what stands right of them moves along. At the
// right end: pause, single step and speed of the local simulation (hidden during
// the live view, whose texts need the room).
#include <QWidget>

#include <functional>

class QLabel;
class QMenu;
class QToolButton;

namespace v7300 {

class TProgramSizeIndicator;

class TMainToolbar : public QWidget {
    Q_OBJECT
  public:
    explicit TMainToolbar(QWidget* parent);

    std::function<void()> OnNew, OnOpen, OnSave, OnAddText, OnSimulate, OnLiveView, OnStop, OnIndicatorClick;
    std::function<void()> OnPause, OnStep;

    QToolButton* ButtonStartSimulation() const { return btnSim_; }
    QToolButton* ButtonStartLive() const { return btnLive_; }
    QToolButton* ButtonStop() const { return btnStop_; }
    QToolButton* ButtonPause() const { return btnPause_; }
    QToolButton* ButtonStep() const { return btnStep_; }
    QToolButton* ButtonSpeed() const { return btnSpeed_; }
    QLabel* Indicator() const { return indicator_; }
    QLabel* HardwareStatus() const { return status_; }
    QLabel* StatusEx() const { return statusEx_; }

    // The indicator's caption, colour and blinking frame.
    void ShowIndicator(const TProgramSizeIndicator& indicator);
    // The link-status panel and the label; each changes only when its text does.
    void SetLinkStatus(const QString& text);
    void SetStatusEx(const QString& text);
    // Start buttons and stop button: editing (true) or simulating / live view (false).
    void SetEditing(bool editing, bool liveAllowed);
    // The simulation controls: shown unless the live view runs; pause and step
    // act only on a running local simulation, step only while paused.
    void SetSpeedMenu(QMenu* menu);
    void ShowSimulationControls(bool shown, bool running, bool paused, const QString& speed);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void PlacePanels();

    QToolButton* btnSim_ = nullptr;
    QToolButton* btnLive_ = nullptr;
    QToolButton* btnStop_ = nullptr;
    QToolButton* btnPause_ = nullptr;
    QToolButton* btnStep_ = nullptr;
    QToolButton* btnSpeed_ = nullptr;
    QLabel* indicator_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* statusEx_ = nullptr;
    int indicatorLeft_ = 0;
};

} // namespace v7300

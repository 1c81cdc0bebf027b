#pragma once
// The simulation's effects in the editor: the LCD window, EXEC through the
// desktop's default action, PLAY through Qt Multimedia, and the slider windows
// of analogue inputs. LCD, EXEC and PLAY may be called on the worker thread and
// hand their work to the user-interface thread.
#include "simulation/EffectPorts.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSoundEffect;

namespace v7300 {

class TFrmLCD;
class TFrmSimInput;

// The worker reaches the LCD window through this port. The window is given when
// the port is made, before any worker can start, and never changes: the worker
// reads the pointer without a lock.
class TQtLcdPort : public LcdPort {
public:
    explicit TQtLcdPort(TFrmLCD& window) : window_(&window) {}
    void SetLines(const std::string& line1, const std::string& line2) override;
    void Show() override;
    TFrmLCD& Window() const { return *window_; }

private:
    TFrmLCD* const window_;
};

class TQtExecPort : public ExecPort {
public:
    void Open(const ExecRequest& request) override;
};

// PLAY: Qt Multimedia where the program was built with it, otherwise aplay.
// The player lives until the sound has played, the next sound cuts it off, or
// the simulation stops.
class TQtPlayPort : public QObject, public PlayPort {
    Q_OBJECT
public:
    explicit TQtPlayPort(bool useQtMultimedia = true);
    ~TQtPlayPort() override;
    void Play(const std::string& fileName) override;
    // Cuts off a sound still playing (user-interface thread).
    void Stop();

private:
    bool useQt_;
    std::unique_ptr<QSoundEffect> effect_;
    PosixPlayPort fallback_;
};

// Slider windows, one per analogue input component, kept for the program's life.
// The owner widget owns them (Qt parent); the port only finds them again.
class TQtSimInputPort : public SimulationUiPort {
public:
    using ValueSink = std::function<void(const std::string& component, int value)>;
    TQtSimInputPort(QWidget* owner, ValueSink sink) : owner_(owner), sink_(std::move(sink)) {}
    // The windows stay with their owner and no longer write to the simulation.
    ~TQtSimInputPort() override;
    void ShowSliderWindow(const std::string& componentName) override;
    // The window of the component; null when none was made or its owner is gone.
    TFrmSimInput* Window(const std::string& componentName) const;

private:
    QPointer<QWidget> owner_;
    ValueSink sink_;
    std::map<std::string, QPointer<TFrmSimInput>> windows_;
};

} // namespace v7300

#pragma once
// The simulation's effects in the editor: the LCD window, EXEC through the
// desktop's default action, PLAY through Qt Multimedia, and the slider windows
// of analogue inputs. LCD, EXEC and PLAY may be called on the worker thread and
// hand their work to the user-interface thread.
#include "simulation/EffectPorts.h"

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSoundEffect;

namespace v7300 {

class TFrmLCD;
class TFrmSimInput;

class TQtLcdPort : public LcdPort {
public:
    explicit TQtLcdPort(std::function<TFrmLCD*()> window) : window_(std::move(window)) {}
    void SetLines(const std::string& line1, const std::string& line2) override;
    void Show() override;

private:
    std::function<TFrmLCD*()> window_;
};

class TQtExecPort : public ExecPort {
public:
    void Open(const ExecRequest& request) override;
};

class TQtPlayPort : public QObject, public PlayPort {
    Q_OBJECT
public:
    TQtPlayPort();
    ~TQtPlayPort() override;
    void Play(const std::string& fileName) override;

private:
    std::unique_ptr<QSoundEffect> effect_;
};

// Slider windows, one per analogue input component, kept for the program's life.
class TQtSimInputPort : public SimulationUiPort {
public:
    using ValueSink = std::function<void(const std::string& component, int value)>;
    TQtSimInputPort(QWidget* owner, ValueSink sink) : owner_(owner), sink_(std::move(sink)) {}
    ~TQtSimInputPort() override;
    void ShowSliderWindow(const std::string& componentName) override;
    TFrmSimInput* Window(const std::string& componentName) const;

private:
    QWidget* owner_;
    ValueSink sink_;
    std::map<std::string, TFrmSimInput*> windows_;
};

} // namespace v7300

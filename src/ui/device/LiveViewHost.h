#pragma once
// The main window's live view: the live-view session with the live timer
// `tmrLiveMode` (at the session's live interval) and the optional recording
// ("Datei" ▸ "LiveView aufzeichnen…"). The window keeps its 100 ms device
// timer and its telegram handler and hands both on while the live view runs;
// the session writes the simulation's store, from which the window draws the
// diagram as in a simulation.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/LiveView.h"
#include "model/Logic.h"
#include "simulation/LiveRecording.h"
#include "simulation/SimulationRuntime.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class QTimer;

namespace v7300 {

struct TLiveViewHostPorts {
    // Sends a telegram to the controller (the link's RequestLiveData).
    std::function<void(const TV7300Telegram&)> Send;
    // The window's stop action, run when the live view ends by itself (the
    // checksum mismatch, the lost link); it calls Stop().
    std::function<void()> StopAction;
    // The status texts or the drawn values have changed: the window shows
    // HardwareStatus() and StatusEx(), and repaints the diagram when `redraw`
    // (a value differs from the one drawn; texts alone do not repaint it).
    std::function<void(bool redraw)> Changed;
};

class TLiveViewHost : public QObject {
public:
    // `timers`: false in tests, which call LiveTimerTick themselves.
    TLiveViewHost(TLogic& logic, TLogicSimulation& simulation, MessagePort& messages, Clock& clock,
                  TLiveViewHostPorts ports, bool timers = true, QObject* parent = nullptr);
    ~TLiveViewHost() override;

    // The live part of the start: the simulation runs without its worker (the
    // window started it), the checksum is taken, the live timer starts at 100 ms.
    void Start();
    // The live part of the stop action: the live timer stops, a recording ends.
    void Stop();
    bool Running() const { return session_.Running(); }

    // The live part of the device-timer tick. False when the live view stopped
    // in it (the lost link): the window skips the rest of the tick.
    bool DeviceTimerTick();
    void LiveTimerTick();
    // Telegrams from the link while the live view runs (code 18; others ignored).
    void OnTelegram(const TV7300Telegram& telegram);

    // Records the values that arrive from now on into `path` until the live view
    // stops or StopRecording. False (the message shown) when the file cannot be
    // written or is no recording.
    bool StartRecording(const std::string& path, const std::string& project);
    void StopRecording();
    bool Recording() const { return recorder_ != nullptr; }

    const std::string& HardwareStatus() const { return session_.HardwareStatus(); }
    const std::string& StatusEx() const { return session_.StatusEx(); }
    TLiveView& Session() { return session_; }
    QTimer* LiveTimer() { return liveTimer_; }

private:
    void stopped(TLiveStop reason);
    void value(const TLiveValue& v);
    void changed(bool redraw);

    TLogic& logic_;
    MessagePort& messages_;
    Clock& clock_;
    TLiveViewHostPorts ports_;
    TLiveStoreSink<TSimulate> sink_;
    TLiveView session_;
    QTimer* liveTimer_ = nullptr;
    std::unique_ptr<TLiveRecorder> recorder_;
    std::int64_t recordStart_ = 0;
    bool valuesChanged_ = false; // repainted on the next device tick, not per reply
    // The last value of each component's variable, so that a sweep repeating
    // what is drawn does not repaint the whole diagram.
    std::unordered_map<std::string, double> lastValues_;
    std::string shownStatus_;
};

} // namespace v7300

#pragma once
// The live view of the running controller: the main window's live timer asks
// the controller for one object after the other (1, 2, … C, 0, …, where C counts
// every component of the diagram, free texts included), each live reply is
// checked against the diagram's checksum and its values go into the variable
// store of the simulation runtime (its worker stopped), from which the diagram
// is drawn as in a simulation. On every tick of the 100 ms device timer the
// replies per second are averaged over the last 25 ticks; the live interval
// follows that average towards 50 replies per second, and the link counts as
// lost after more than 10 ticks with an average of 0.
//
// A plain state machine: the host feeds it telegrams and ticks and runs the
// user's start and stop; it sends through the injected function, writes the
// store through the sink, and offers the two status texts. The object outlives
// one live view: the request number and the rate history go on from one live
// view to the next. The editor and `v7300 live` are both thin hosts of it.
#include "core/MessagePort.h"
#include "device/UnitV7300NETIO.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace v7300 {

inline constexpr const char* kLiveChecksumMismatch = "Liveview wegen CRC-Fehler nicht möglich!";
inline constexpr const char* kLiveConnectionLost = "Livemode verbindung verloren!";
inline constexpr const char* kLiveStarting = "Live View (Connecting)";
inline constexpr const char* kLiveConnecting = "Live View ( Connecting )";

// Where the live values go: the simulation runtime's store setters.
class TLiveValueSink {
public:
    virtual ~TLiveValueSink() = default;
    // "$" + component + "__A" + n := value as decimal text.
    virtual void SetOutputState(const std::string& component, int n, std::int32_t value) = 0;
    // "$" + component + "_" + variable := value in the store's number text form.
    virtual void SetObjectValue(const std::string& component, const std::string& variable, double value) = 0;
};

// The sink over any store with those two setters (the runtime's TSimulate).
template <class Store>
class TLiveStoreSink : public TLiveValueSink {
public:
    explicit TLiveStoreSink(Store& store) : store_(store) {}
    void SetOutputState(const std::string& component, int n, std::int32_t value) override {
        store_.SetOutputState(component, n, value);
    }
    void SetObjectValue(const std::string& component, const std::string& variable, double value) override {
        store_.SetObjectValue(component, variable, value);
    }

private:
    Store& store_;
};

// One value of a live reply as it went into the store: output n as "A" + n,
// a named value under its variable name.
struct TLiveValue {
    std::string Component;
    std::string Variable;
    double Value = 0;
    bool operator==(const TLiveValue&) const = default;
};

enum class TLiveStop {
    User,             // the stop button (or the end of the command line's run)
    ChecksumMismatch, // the controller holds another diagram
    ConnectionLost,   // more than 10 device ticks with an average rate of 0
};

class TLiveView {
public:
    using SendFn = std::function<void(const TV7300Telegram&)>;

    static constexpr std::int64_t kDeviceTimerMs = 100;
    static constexpr int kStartIntervalMs = 100;
    static constexpr int kMinIntervalMs = 5;
    static constexpr int kMaxIntervalMs = 200;
    static constexpr int kIntervalStepMs = 3;
    static constexpr double kTargetRate = 50.0; // replies per second
    static constexpr std::size_t kRateHistory = 25;
    static constexpr int kZeroRateTicks = 10;

    TLiveView(SendFn send, TLiveValueSink& store, MessagePort& messages);

    // --- the user's commands
    // `componentNames`: every instance name in list order, free texts included;
    // `checksum`: GetCrc of the diagram. The first request goes out at `now`.
    void Start(std::vector<std::string> componentNames, std::int32_t checksum, std::int64_t now);
    // The stop action: the live view ends; replies still under way are ignored.
    void Stop();

    // --- what the host feeds in
    // Live replies (code 18) while running; every other telegram is ignored
    // (ping replies belong to the link watch).
    void onTelegram(const TV7300Telegram& telegram);
    // Runs the device-timer work and the live request when they are due.
    void onTick(std::int64_t now);
    // The next moment at which onTick has work to do (only while running).
    std::int64_t NextDeadline() const;
    // For a host with the main window's two timers instead of onTick: the work
    // of one device-timer tick (every 100 ms), and one live request, after
    // which the live timer is set to LiveInterval(). Nothing while stopped.
    void DeviceTimerTick();
    void LiveTimerTick();

    // --- state
    bool Running() const { return running_; }
    // The link status panel: "Live View (Connecting)", "Live View ( 12 ms / pps: 50)",
    // "Live View ( Connecting )".
    const std::string& HardwareStatus() const { return hardwareStatus_; }
    // The status label: empty, or "Liveview wegen CRC-Fehler nicht möglich!".
    const std::string& StatusEx() const { return statusEx_; }
    int LiveInterval() const { return interval_; }
    double AverageRate() const;
    std::int16_t DeviceCycleTime() const { return cycleTime_; }
    int RequestNumber() const { return request_; }
    const std::deque<double>& RateHistory() const { return history_; }
    // The instance name of device object k (1-based, free texts skipped); empty when none.
    const std::string& ObjectName(int objectNumber) const;

    // After the stop action of a stop that was not the user's (the host stops its
    // timers and the simulation here; the message box follows afterwards).
    std::function<void(TLiveStop)> OnStopped;
    // Each value written into the store, as it is written (recording).
    std::function<void(const TLiveValue&)> OnValue;

private:
    void onLiveData(const TV7300Telegram& telegram);
    void writeValues(const std::string& name, const std::vector<std::uint8_t>& payload);
    void output(const std::string& name, int n, std::int32_t value);
    void value(const std::string& name, const std::string& variable, double v);
    void stopBecause(TLiveStop reason);

    SendFn send_;
    TLiveValueSink& store_;
    MessagePort& messages_;

    bool running_ = false;
    std::vector<std::string> componentNames_;
    std::vector<std::string> objectNames_; // device object k at k - 1
    std::int32_t checksum_ = 0;
    std::string hardwareStatus_ = "---";
    std::string statusEx_;

    // Kept from one live view to the next.
    int request_ = 0;
    std::deque<double> history_;
    int interval_ = kStartIntervalMs;
    int zeroTicks_ = 0;
    std::int16_t cycleTime_ = 0;

    int replies_ = 0; // live replies since the last device tick
    std::int64_t nextDeviceTick_ = 0;
    std::int64_t nextRequest_ = 0;
};

// What a live reply's payload writes, by instance name: output 1 of every
// object, and by the name's type prefix the named values (the table of the
// live view). Values whose bytes the payload lacks are not written.
void DecodeLiveValues(const std::string& name, const std::vector<std::uint8_t>& payload,
                      const std::function<void(int output, std::int32_t)>& output,
                      const std::function<void(const std::string& variable, double)>& value);

} // namespace v7300

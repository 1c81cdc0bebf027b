#pragma once
// Runs a device image cycle by cycle, as the controller does: every object in
// record order reads its inputs from the current outputs of the objects that
// feed it (objects earlier in the order have already been computed in this
// cycle) and computes its outputs with the behaviour of its type, the same as
// the simulation scripts of the component library.
#include "core/Clock.h"
#include "device/ImageReader.h"
#include "device/UnitV7300NETIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace v7300 {

// How the image reaches the bus modules behind the controller.
struct TBusIo {
    std::function<std::uint8_t(std::uint8_t busId)> ReadInputs;                 // port bits, bit 7 = port 1
    std::function<std::int16_t(std::uint8_t busId, int channel)> ReadTenths;     // temperature in tenths of a degree
    std::function<void(std::uint8_t busId, std::uint8_t portBits)> WriteOutputs;
    std::function<void(std::uint8_t busId, int channel, std::uint8_t duty)> WritePwm;
};

class TImageRunner {
public:
    static constexpr int kOutputs = 8;

    // Loads an image and resets every object's state.
    void Load(const TDeviceImage& image);
    void Clear();
    const TDeviceImage& Image() const { return image_; }

    // Device inputs 1 … 8 (read by IN objects with that hardware input) and the
    // software switch of an IN object with hardware input 0.
    void SetHardwareInput(int input, std::int32_t value);
    std::int32_t HardwareInput(int input) const;
    void SetSoftwareInput(std::uint8_t object, std::int32_t value);

    TBusIo Bus;

    // One pass over the objects. `second` is a running count of whole seconds
    // (a new value gives the seconds pulse), `clock` the controller's clock,
    // whose time of day and weekday the week timers follow.
    void RunCycle(std::int64_t second, const TDeviceClock& clock);
    // The same with a local calendar time as the clock.
    void RunCycle(std::int64_t second, const DateTime& local);
    std::int64_t Cycles() const { return cycles_; }

    // Output (0-based) of an object; 0 for an unknown object.
    std::int32_t Output(std::uint8_t object, int output) const;
    // The eight value words of an object's live data.
    std::array<std::uint16_t, 8> LiveWords(std::uint8_t object) const;
    // Device outputs 1 … 8 as driven by the OUT objects.
    std::int32_t DeviceOutput(int id) const;
    // The two display lines (16 characters each, UTF-8). The LCD object that
    // showed its text last writes its value into them at the end of every cycle.
    const std::array<std::string, 2>& Display() const { return display_; }

private:
    struct State {
        std::array<std::int32_t, kOutputs> out{};
        std::array<std::int32_t, 6> prev{}; // edge memories per input
        std::int32_t counter = 0;           // TIMER, ROLLO: remaining seconds; COUNT: count
        std::int32_t direction = 0;         // ROLLO
        std::int32_t value = 0;             // VALUE, SCHWELLE, ASWITCH
        std::int32_t setMemory = 0;         // VALUE: last A/SET
        bool lastLevel = false;             // LCD: level of IN
    };

    std::int32_t input(const TImageObject& object, std::size_t i) const;
    bool risingEdge(State& s, std::size_t slot, std::int32_t level);
    void runObject(std::size_t at, bool secondPulse, const TDeviceClock& clock);
    void refreshLcd();

    TDeviceImage image_;
    std::vector<State> states_;
    std::array<int, 256> index_{}; // object number -> position + 1 (0: none)
    std::array<std::int32_t, 9> hardwareInputs_{};
    std::array<std::int32_t, 256> softwareInputs_{};
    std::array<std::int32_t, 9> deviceOutputs_{};
    std::array<std::string, 2> display_{"  V7300-NET-IO  ", "_/|__________/|_"};
    std::size_t lcdShown_ = 0; // position + 1 of the LCD object whose text is shown (0: none)
    std::int64_t previousSecond_ = 0;
    std::int64_t cycles_ = 0;
};

} // namespace v7300

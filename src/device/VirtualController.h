#pragma once
// A virtual controller: a real UDP peer that answers the program's requests as
// the controller does, keeps an EEPROM, runs the stored image and emulates bus
// modules. Used by `v7300 emulate` and by the tests.
//
// Like the link it is non-blocking: the host watches Descriptor(), calls
// ReadPending() when it is readable and Tick() at least every
// MsUntilNextCycle() milliseconds.
#include "core/Clock.h"
#include "device/ControllerClock.h"
#include "device/ImageRunner.h"
#include "device/UnitV7300NETIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// A bus module behind the controller.
struct TEmulatedBusModule {
    std::uint8_t Id = 0;
    char Letter = 'O'; // 'A', 'C', 'I', 'M', 'O', 'P', 'T'
    std::uint8_t Major = 0;
    std::uint8_t Minor = 2;
    std::uint8_t Channels = 2;
    std::uint8_t PortBits = 0;                    // output and input modules, bit 7 = port 1
    std::array<std::uint8_t, 2> Duty{};           // PWM module
    std::array<std::uint8_t, 4> PwmSettings{1, 1, 1, 1};
    std::array<std::int16_t, 4> TenthsDegrees{215, 200, 185, -50}; // temperature module
    // Raw temperature words set as such (stdin "bus ID raw …"): answered verbatim,
    // bits the program has to ignore included.
    std::array<std::optional<std::uint16_t>, 4> RawTemperature{};
};
// "ID:LETTER:MAJOR.MINOR:CHANNELS", e.g. "5:O:0.2:4". Raises Error on a bad text.
TEmulatedBusModule ParseBusModule(const std::string& text);
// The raw bus temperature of tenths of a degree (half-degree steps, bit 15 = negative).
std::uint16_t RawBusTemperature(std::int16_t tenths);

struct TVirtualControllerOptions {
    std::string Address = "127.0.0.1";
    std::uint16_t Port = 4000;
    std::uint8_t TcpClients = 0;
    TFirmwareVersion Firmware{2, 2, 2};
    std::uint8_t ExpansionStage = 0x07; // display, clock, EEPROM
    std::string EepromFile;             // kept across runs when given
    std::size_t EepromSize = 8192;
    std::int32_t CycleMs = 10;
    std::vector<TEmulatedBusModule> Bus;
    // When not 0: the first write of every Nth EEPROM block is lost (neither
    // stored nor acknowledged), so that the sender has to send it again.
    std::uint32_t DropAck = 0;
};

class TVirtualController {
public:
    using LogFn = std::function<void(const std::string&)>;

    // Loads the EEPROM file when it exists (Error when it cannot be read or is
    // larger than the EEPROM), binds the port (Error with a plain explanation
    // when it is taken) and starts the stored image.
    TVirtualController(TVirtualControllerOptions options, Clock& clock, LogFn log = {});
    ~TVirtualController();
    TVirtualController(const TVirtualController&) = delete;
    TVirtualController& operator=(const TVirtualController&) = delete;

    int Descriptor() const { return socket_.fd; }
    std::uint16_t Port() const { return options_.Port; }

    // Answers every request waiting on the socket; returns the number read.
    int ReadPending();
    // Runs the cycles that are due by the clock.
    void Tick();
    std::int64_t MsUntilNextCycle();

    // One datagram in, the reply datagrams out (no socket involved).
    std::vector<std::vector<std::uint8_t>> HandleDatagram(const std::uint8_t* data, std::size_t size);

    // Device input 1 … 8, or (object number given) the switch of a software input.
    void SetInput(int input, std::int32_t value) { runner_.SetHardwareInput(input, value); }
    void SetSoftwareInput(std::uint8_t object, std::int32_t value) { runner_.SetSoftwareInput(object, value); }
    // A line typed at run time: "input N VALUE", "input @OBJECT VALUE", "bus ID BITS",
    // "bus ID T1 [T2 T3 T4]" (tenths of a degree), "bus ID raw R1 [R2 R3 R4]", "show".
    // An input or bus line runs one cycle at once, so that a following "show" sees
    // its effect. Returns the answer to print; raises Error for a line it does not
    // understand.
    std::string Command(const std::string& line);

    // Reloads the image and configuration from the EEPROM and runs it.
    void Restart();
    bool LogicRunning() const { return running_; }
    const std::string& ImageProblem() const { return imageProblem_; }

    const TImageRunner& Runner() const { return runner_; }
    const std::vector<std::uint8_t>& Eeprom() const { return eeprom_; }
    const std::vector<TEmulatedBusModule>& BusModules() const { return options_.Bus; }
    std::uint16_t Checksum() const { return checksum_; }
    // The device clock: set by the program, running on from there.
    TDeviceClock DeviceClock() { return deviceClock_.Now(clock_.monotonicMs()); }

private:
    std::string busCommandLine(std::istream& in);
    TV7300Telegram answer(const TV7300Telegram& request, bool& reply);
    TV7300Telegram busAnswer(const TV7300Telegram& request, bool& reply);
    TV7300Telegram errorReport(std::uint8_t command, std::uint8_t kind, std::uint8_t d1 = 0, std::uint8_t d2 = 0);
    void loadEeprom();
    void bindSocket();
    void runCycle();
    void saveEeprom();
    void log(const std::string& line) {
        if (log_) log_(line);
    }
    TEmulatedBusModule* module(std::uint8_t id);

    TVirtualControllerOptions options_;
    Clock& clock_;
    LogFn log_;
    // The socket, closed with the controller (also when its construction fails).
    struct OwnedFd {
        int fd = -1;
        OwnedFd() = default;
        OwnedFd(const OwnedFd&) = delete;
        OwnedFd& operator=(const OwnedFd&) = delete;
        ~OwnedFd();
    } socket_;
    std::vector<std::uint8_t> eeprom_;
    TImageRunner runner_;
    bool running_ = false;
    std::string imageProblem_;
    std::uint16_t checksum_ = 0;
    std::int64_t nextCycleMs_ = 0;
    TControllerClock deviceClock_;
    // --drop-ack: blocks written since the last logic-state request, and the
    // addresses whose first write was dropped.
    std::uint32_t blockWrites_ = 0;
    std::vector<std::size_t> droppedBlocks_;
    bool dropWrite(std::size_t address);
};

} // namespace v7300

#pragma once
// The logic of the transfer window "Logik in NET-IO Flashen": it watches the
// controller (ping cycle every 500 ms, connection check every 800 ms), reads
// its configuration, shows firmware, clock, cycle time and equipment, writes
// the configuration block and the compiled program into the EEPROM in 32-byte
// blocks with acknowledgements, restarts the controller and sets its clock.
//
// A plain state machine without a window or a socket: the host feeds it
// telegrams, link errors and ticks and runs the user's commands; it sends
// through the injected send function and shows what the state and the log
// lines say. The window and `v7300 upload` are both thin hosts of it.
// Times are the clock's monotonic milliseconds; log lines carry its local time.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/DeviceConfig.h"
#include "device/DeviceSearch.h"
#include "device/UnitV7300EEPROMData.h"
#include "device/UnitV7300NETIO.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace v7300 {

// Colours of the window's texts and panels, as 0xRRGGBB.
inline constexpr std::uint32_t kColourRed = 0xFF0000;
inline constexpr std::uint32_t kColourGreen = 0x00C000;
inline constexpr std::uint32_t kColourSkyBlue = 0xA6CAF0;
inline constexpr std::uint32_t kColourLightGreen = 0x94E380; // RGB 148, 227, 128
inline constexpr std::uint32_t kColourLightRed = 0xFF8080;   // RGB 255, 128, 128

inline constexpr const char* kCurrentFirmware = "02.02.02";
inline constexpr const char* kStatusConnected = "Verbunden";
inline constexpr const char* kStatusNoConnection = "Keine Verbindung";
inline constexpr const char* kNoAcknowledgement = "Keine Antwort vom V7300-NET-IO – Übertragung abgebrochen.";
inline constexpr const char* kPortsIdentical = "Fehler: Webinterface-Port und Telnet-Port sind Identisch";

// One of the three equipment panels "I2C", "RTC", "EEPROM".
struct TIndicatorPanel {
    std::string Caption;
    std::uint32_t Colour = kColourSkyBlue;
    bool Lowered = false; // frame lowered (found) or raised
    std::string Hint;
    bool operator==(const TIndicatorPanel&) const = default;
};

// Everything the window shows besides the editable fields and the log.
struct TTransferView {
    std::string LogicCrc = "????";
    std::string Status = "Status unbekannt";
    std::string ClockLine = "NET-IO-Uhrzeit: ???";
    std::string FirmwareLine = "Firmware: (Veraltet?\?\?)";
    std::uint32_t FirmwareColour = kColourRed;
    std::string CycleTime = "900Hz"; // the value beside "Durchlaufsdauer:"
    std::array<TIndicatorPanel, 3> Panels{{
        {"I2C", kColourSkyBlue, false, "Display status nicht verfügbar"},
        {"RTC", kColourSkyBlue, false, "RTC-Status nicht verfügbar"},
        {"EEPROM", kColourSkyBlue, false, "EEPROM-Status nicht verfügbar"},
    }};
    bool TransferEnabled = false; // "Logik => V7300-NET-IO"
    bool ClockEnabled = false;    // "PC-Uhrzeit => V7300-NET-IO"
    int ProgressMax = 10000;
    int ProgressPosition = 0;
    bool Busy = false;        // wait cursor: the device search is waiting for replies
    bool SearchReady = false; // show the device list now, then call FinishSearch
};

enum class TTransferPhase {
    Idle,         // no transfer has run, or the last one failed its checks
    Transferring, // blocks are being written
    Pausing,      // all blocks acknowledged; the second before the restart
    Done,         // restarted: "Update komplete."
    Aborted,      // 30 s without an acknowledgement
};

class TTransferSession {
public:
    using SendFn = TDeviceSearch::SendFn;
    using LogFn = std::function<void(const std::string& line)>;

    static constexpr std::int64_t kPingIntervalMs = 500;
    static constexpr std::int64_t kCheckIntervalMs = 800;
    static constexpr std::int64_t kBlockTimeoutMs = 2000;
    static constexpr std::int64_t kRestartPauseMs = 1000;
    static constexpr std::int64_t kGiveUpMs = 30000;
    static constexpr std::int32_t kBlockSize = 32;
    static constexpr std::uint8_t kConfigReadCount = 45;
    static constexpr std::size_t kMaxLogLines = 5000;

    // `image` is the compiled program with its configuration block still 0xFF;
    // `address` goes into the "Projekt NET-IO IP" field. The device list of the
    // search, when given, outlives the session (the program keeps it).
    TTransferSession(TV7300_EEPROM_Data image, std::int32_t programChecksum, std::string address, SendFn send,
                     Clock& clock, MessagePort& messages, TDeviceSearch* search = nullptr);

    // --- what the host feeds in
    void onTelegram(const TV7300Telegram& telegram);
    void onLinkError(std::uint8_t code);
    void onTick(std::int64_t now);
    // The next moment at which onTick has work to do.
    std::int64_t NextDeadline() const;

    // --- the user's commands
    // "Logik => V7300-NET-IO": false when the button is disabled or a check failed
    // (the message has then been shown).
    bool StartTransfer();
    // "PC-Uhrzeit => V7300-NET-IO": false when the button is disabled.
    bool SetDeviceClock();
    // "...": broadcast ping, then SearchReady after 1.1 s.
    void SearchDevices();
    // The device list was closed: with OK and a selection, `chosen` is its address.
    void FinishSearch(const std::optional<std::string>& chosen);
    // The automatic operations, also usable on their own.
    void ReadConfiguration();
    void RestartDevice();

    // --- state
    TDeviceSettings& Settings() { return settings_; } // the view writes typed text here
    const TDeviceSettings& Settings() const { return settings_; }
    std::string& Address() { return address_; }
    const std::string& Address() const { return address_; }
    const TTransferView& View() const { return view_; }
    const std::deque<std::string>& LogLines() const { return log_; }
    std::size_t LogLinesDropped() const { return logDropped_; }
    TTransferPhase Phase() const { return phase_; }
    const TDeviceSearch& Search() const { return *search_; }
    const TV7300_EEPROM_Data& Image() const { return image_; }
    std::int32_t TransferPosition() const { return position_; }
    // The last firmware version reported, and whether any ping reply came at all.
    const std::optional<TFirmwareVersion>& Firmware() const { return firmware_; }
    bool DeviceSeen() const { return deviceSeen_; }
    // True from the configuration reply until the next restart or connection loss.
    bool ConfigurationRead() const { return !configPending_; }

    // Each new log line, as it is added (the command line prints it).
    LogFn OnLog;

private:
    void log(const std::string& message);
    void send(const TV7300Telegram& telegram);
    void setButtons(bool enabled);
    void pingCycle();
    void connectionCheck();
    void sendBlock();
    void onAcknowledge();
    void finishTransfer();
    void giveUp();
    void onConfiguration(const TV7300Telegram& telegram);
    void onFirmware(const TV7300Telegram& telegram);
    void onClock(const TV7300Telegram& telegram);
    void onExpansionStage(const TV7300Telegram& telegram);
    void onDeviceError(const TV7300Telegram& telegram);
    bool transferRunning() const;

    TV7300_EEPROM_Data image_;
    std::int32_t checksum_;
    std::string address_;
    SendFn send_;
    Clock& clock_;
    MessagePort& messages_;
    TDeviceSearch ownSearch_;
    TDeviceSearch* search_;

    TDeviceSettings settings_;
    TTransferView view_;
    std::deque<std::string> log_;
    std::size_t logDropped_ = 0;

    int pingReplies_ = 0;
    bool deviceSeen_ = false;
    bool configPending_ = true;
    bool firmwareOutdated_ = false;
    std::optional<TFirmwareVersion> firmware_;
    std::uint16_t blockSize_ = 0; // reported by the device; kept, not used

    TTransferPhase phase_ = TTransferPhase::Idle;
    std::int32_t position_ = 0;
    std::int64_t nextPing_;
    std::int64_t nextCheck_;
    std::optional<std::int64_t> blockDeadline_;
    std::optional<std::int64_t> pauseUntil_;
    std::int64_t lastAckAt_ = 0;
};

// "HH:NN:SS.ZZZ >> message"
std::string TransferLogLine(const DateTime& time, const std::string& message);

} // namespace v7300

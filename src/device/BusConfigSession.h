#pragma once
// The logic of the bus configuration window "V²BUS - Konfigurator": it finds
// the modules on the controller's V²BUS, gives them IDs, switches outputs,
// reads inputs and temperatures and sets PWM outputs, all by bus commands sent
// through the controller (command 161), and watches the link with a ping every
// 1100 ms.
//
// A plain state machine without a window or a socket: the host feeds it
// telegrams and ticks and runs the user's commands; it sends through the
// injected send function, shows messages through the message port, and offers
// everything the window shows as data: the device list, View() and the log.
// The editable fields (find ID, ID, sliders, frequency lists, "INV",
// "Automatisch abrufen") live in Fields(), which both the user and the
// session write. Times are the clock's monotonic milliseconds.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/RS485Device.h"
#include "device/UnitV7300NETIO.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// The window's texts.
inline constexpr const char* kBusWindowCaption = "V²BUS - Konfigurator";
inline constexpr const char* kBusSelectFirst = "Bitte zuerst ein Device auswählen!";
inline constexpr const char* kBusEnterId = "Bitte eine ID ( 0 - 32 ) eingeben!";
inline constexpr const char* kBusRestartMessage = "Die Logik wird nun neugestartet!";
inline constexpr const char* kBusSearchCaption = "Alle Device suchen";
inline constexpr const char* kBusStopCaption = "Suche Stoppen";
inline constexpr const char* kBusConnected = "Verbunden";
inline constexpr const char* kBusNotConnected = "Nicht Verbunden";
inline constexpr const char* kBusNoteCaption = "HINWEIS:";
inline constexpr const char* kBusNote =
    "Solange die V²Bus Konfiguration offen ist, ist die Logik-Abarbeitung im V7300-NET-IO deaktiviert!";
inline constexpr std::array<const char*, 3> kBusMemoLines{
    "Die Konfiguration mit vielen Komponenten gleichzeit am V²Bus kann unter umständen ",
    "zu Problemen führen. Wenn Probleme auftreten können die Komponenten einzelt ",
    "konfiguriert werden und danach zusammen an den V²Bus gehangen werden.",
};

// Panel colours (0xRRGGBB): output ports red when on, input indicators green when on.
inline constexpr std::uint32_t kBusRed = 0xFF0000;
inline constexpr std::uint32_t kBusGreen = 0x00FF00;
inline std::uint32_t OutputPortColour(bool on) { return on ? kBusRed : kBusGreen; }
inline std::uint32_t InputIndicatorColour(bool on) { return on ? kBusGreen : kBusRed; }

// What the user types or moves, and what the session writes into the same fields.
struct TBusConfigFields {
    std::string FindId;                 // the find area's ID field
    std::string DeviceId;               // "ID (1-32):"
    std::array<int, 2> Pwm{0, 0};       // "PWM1:", "PWM2:" 0 … 255
    TPwmSettings PwmSettings;           // the two frequency lists and "INV" boxes
    bool AutoFetch = false;             // "Automatisch abrufen"
};

// Everything else the window shows.
struct TBusConfigView {
    // device list area
    std::string SearchCaption = kBusSearchCaption; // "Alle Device suchen" / "Suche Stoppen"
    int Progress = 0;                              // 0 … 32
    std::string Status = "Status";
    bool FindEnabled = true;             // "Device Finden"
    bool FindUnconfiguredEnabled = true; // "Unkonfiguriertes Device finden"
    bool IdTransferEnabled = true;       // "ID Übertragen"
    // the selected module
    std::string DeviceType = "UNKNOWN DEVICE";
    std::string DeviceFirmware = "XX.XX";
    TBusPanel Panel = TBusPanel::None;
    bool DataEnabled = false; // the shown panel's "Daten Übertragen" / "Daten Abrufen"
    std::array<bool, 8> PortVisible{};  // ports "1" … "8" of the output or input panel
    std::array<bool, 8> PortOn{};       // output: red when on; input: green when on
    std::array<bool, 4> TemperatureVisible{};
    std::array<std::string, 4> Temperature{"XX.X °C", "XX.X °C", "XX.X °C", "XX.X °C"};
    bool SpecialSettingsVisible = true; // the button "Spezial Einstellungen"
    bool PwmSettingsVisible = false;    // frequency lists, "INV", "Setzten"
    std::string Connection = kBusNotConnected;

    // The colour of port k (0 … 7) on the shown panel.
    std::uint32_t PortColour(std::size_t k) const {
        return Panel == TBusPanel::Input ? InputIndicatorColour(PortOn[k]) : OutputPortColour(PortOn[k]);
    }
};

class TBusConfigSession {
public:
    using SendFn = std::function<void(const TV7300Telegram&)>;
    using LogFn = std::function<void(const std::string& line)>;
    using ReplyFn = std::function<void(const TBusReply& reply)>;

    static constexpr std::int64_t kTickMs = 1100;
    static constexpr int kLinkCountdown = 10;
    static constexpr std::size_t kMaxLogLines = 1000;

    TBusConfigSession(SendFn send, Clock& clock, MessagePort& messages);

    // --- what the host feeds in
    void onTelegram(const TV7300Telegram& telegram);
    void onTick(std::int64_t now);
    // The next moment at which onTick has work to do.
    std::int64_t NextDeadline() const;
    // The search steps every kTickMs unless set otherwise (the command line's --interval).
    void SetSearchInterval(std::int64_t ms) { searchIntervalMs_ = ms; }

    // --- the user's commands
    void Select(int index);        // a line of the device list; -1 for none
    void FindDevice();             // "Device Finden" / Enter in the find field
    void FindUnconfigured();       // "Unkonfiguriertes Device finden"
    void ClearList();              // "Liste Löschen"
    void TransferId();             // "ID Übertragen"
    void TogglePort(int port);     // a click on output port panel 1 … 8
    void SendOutputs();            // "Daten Übertragen" of the output panel
    void FetchData();              // "Daten Abrufen" (input, temperature)
    void SendPwm();                // "Daten Übertragen" of the PWM panel
    void ShowPwmSettings();        // "Spezial Einstellungen"
    void SetPwmSettings();         // "Setzten"
    void ToggleSearch();           // "Alle Device suchen" / "Suche Stoppen"
    // The window closes: the search stops, the controller restarts its logic.
    void Close();
    // One bus command to a module (the buttons' common step; the command line uses it directly).
    void Request(std::uint8_t busCommand, std::uint8_t busId, const std::vector<std::uint8_t>& data);

    // --- state
    const std::vector<TRS485Device>& Devices() const { return devices_; }
    int SelectedIndex() const { return selected_; }
    const TRS485Device* SelectedDevice() const;
    const TBusConfigView& View() const { return view_; }
    TBusConfigFields& Fields() { return fields_; }
    const TBusConfigFields& Fields() const { return fields_; }
    const std::deque<std::string>& LogLines() const { return log_; }
    bool Searching() const { return searchNext_.has_value(); }
    int SearchId() const { return searchId_; }
    int LinkCountdown() const { return countdown_; }
    bool Closed() const { return closed_; }

    // Each new log line as it is added, and each bus reply after it was interpreted.
    LogFn OnLog;
    ReplyFn OnBusReply;

private:
    void log(const std::string& line);
    void clearLog();
    bool requireSelection();
    void connectionTick();
    void searchTick();
    void startSearch();
    void stopSearch();
    void onBusReply(const TBusReply& reply);
    void onFound(const TBusReply& reply);
    void onData(const TBusReply& reply);
    void onPwmSettings(const TBusReply& reply);
    void hidePanels();
    std::uint8_t selectedId() const;

    SendFn send_;
    Clock& clock_;
    MessagePort& messages_;
    std::vector<TRS485Device> devices_;
    int selected_ = -1;
    TBusConfigFields fields_;
    TBusConfigView view_;
    std::deque<std::string> log_;

    int countdown_ = 0;
    std::int64_t nextTick_;
    std::int64_t searchIntervalMs_ = kTickMs;
    std::optional<std::int64_t> searchNext_;
    int searchId_ = 0;
    int searchRepeat_ = 0;
    bool closed_ = false;
};

} // namespace v7300

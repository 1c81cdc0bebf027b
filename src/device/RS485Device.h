#pragma once
// The modules on the controller's V²BUS as the bus configuration sees them:
// one found module with its list line, the window's rules per type letter,
// and the readers and writers of the bus data (port bits, raw temperatures,
// PWM settings with their frequency codes).
#include "device/UnitV7300NETIO.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// Bus commands (payload byte 0 of command 161).
enum TBusCommand : std::uint8_t {
    BusFind = 1,
    BusData = 2,
    BusSetId = 3,
    BusPwmSettings = 5,
};

inline constexpr int kMaxBusId = 32;
// Versions that sort before this text are old firmware.
inline constexpr const char* kBusFirmwareReference = " 0. 2";

// Major and minor number, each right-aligned in two characters: " 0. 2".
std::string BusFirmwareText(std::uint8_t major, std::uint8_t minor);

// One found module.
struct TRS485Device {
    std::uint8_t BusId = 0;
    char TypeLetter = 0; // 'A', 'C', 'I', 'M', 'O', 'P', 'T'
    std::string Firmware; // " 0. 2"
    int Channels = 0;

    bool OldFirmware() const { return Firmware < kBusFirmwareReference; }
    // "[ 0x05 ] OUTPUT RELAIS 4Fach"
    std::string ListLine() const;
    bool operator==(const TRS485Device&) const = default;
};

// The module a find reply (bus command 1) describes.
TRS485Device DeviceFromFindReply(const TBusReply& reply);

enum class TBusPanel { None, Output, Input, Temperature, Pwm };

// What selecting a module shows: the type and firmware texts, its panel and
// which ports, indicators and temperatures the panel shows.
struct TBusSelection {
    std::string TypeText;     // "OUTPUT DEVICE RELAIS 4Fach"
    std::string FirmwareText; // " 0. 2" or " 0. 1 [Veraltet]"
    TBusPanel Panel = TBusPanel::None;
    std::array<bool, 8> PortVisible{};        // output ports and input indicators
    std::array<bool, 4> TemperatureVisible{};
    bool RequestData = false; // input and temperature modules are read at once
};
TBusSelection SelectionFor(const TRS485Device& device);

// Port bits: bit 7 is port 1 … bit 0 port 8.
std::uint8_t PortBits(const std::array<bool, 8>& on);
std::array<bool, 8> PortsOfBits(std::uint8_t bits);

// A raw temperature (high and low byte) in half degrees: only bit 15 and bits
// 0–8 count; with bit 15 set the value is −((NOT value) AND 0x1FF).
int RawTemperatureHalves(std::uint8_t high, std::uint8_t low);
// "%.1f °C" of half degrees, always with a point: 50 -> "25.0 °C", -1 -> "-0.5 °C".
std::string TemperatureText(int halves);
// Temperatures 1 … 4 of a data reply, in half degrees.
std::array<int, 4> ReplyTemperatures(const TBusReply& reply);

// The PWM frequencies: the text shown and the code of each channel.
struct TPwmFrequency {
    const char* Text;
    std::array<std::uint8_t, 2> Code;
};
inline constexpr std::array<TPwmFrequency, 5> kPwmFrequencies{{
    {"62kHz", {1, 1}},
    {"7,8kHz", {2, 2}},
    {"1,2kHz", {3, 4}},
    {"240Hz", {4, 6}},
    {"60Hz", {5, 7}},
}};
// The list index of a channel's (0, 1) code, -1 for a code not in the table.
int PwmFrequencyIndex(int channel, std::uint8_t code);

struct TPwmSettings {
    std::array<int, 2> FrequencyIndex{0, 0}; // into kPwmFrequencies
    std::array<bool, 2> Inverted{false, false};
    bool operator==(const TPwmSettings&) const = default;
};
// The four data bytes of bus command 5: code 1, flag 1, code 2, flag 2; the
// inversion flag is 0 when inverted and 1 otherwise.
std::vector<std::uint8_t> PwmSettingsBytes(const TPwmSettings& settings);
// The request data that reads the settings.
std::vector<std::uint8_t> PwmSettingsReadBytes();
// Raw reply codes and flags, bytes 2–5.
struct TPwmSettingsReply {
    std::array<std::uint8_t, 2> Code{};
    std::array<bool, 2> Inverted{};
};
TPwmSettingsReply DecodePwmSettings(const TBusReply& reply);

// The log line of a bus reply: "01 05 4F00|0204|0000|0000|0000|0000|0000|0000".
std::string BusReplyLogLine(const TBusReply& reply);

} // namespace v7300

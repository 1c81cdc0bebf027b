#include "device/RS485Device.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace v7300 {
namespace {

std::string hex2(std::uint8_t value) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", value);
    return buf;
}

// The type word of a list line.
std::string listTypeWord(const TRS485Device& d) {
    switch (d.TypeLetter) {
    case 'I': return "INPUT";
    case 'M': return "MultiIO";
    case 'O': return d.Channels == 4 && !d.OldFirmware() ? "OUTPUT RELAIS" : "OUTPUT";
    case 'P': return "PWM";
    case 'T': return "TEMPERATUR";
    default: return "";
    }
}

} // namespace

std::string BusFirmwareText(std::uint8_t major, std::uint8_t minor) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2u.%2u", static_cast<unsigned>(major), static_cast<unsigned>(minor));
    return buf;
}

std::string TRS485Device::ListLine() const {
    std::string line = "[ 0x" + hex2(BusId) + " ] " + listTypeWord(*this);
    if (!OldFirmware()) line += " " + std::to_string(Channels) + "Fach";
    return line;
}

TRS485Device DeviceFromFindReply(const TBusReply& reply) {
    TRS485Device d;
    d.BusId = reply.BusId;
    d.TypeLetter = static_cast<char>(reply.Data[0]);
    d.Firmware = BusFirmwareText(reply.Data[1], reply.Data[2]);
    d.Channels = reply.Data[3];
    return d;
}

TBusSelection SelectionFor(const TRS485Device& d) {
    TBusSelection s;
    const bool old = d.OldFirmware();
    std::string text;
    switch (d.TypeLetter) {
    case 'A': text = "ANALOG DEVICE"; break;
    case 'C': text = "CLOCK DEVICE"; break;
    case 'M': text = "MultiIO DEVICE"; break;
    case 'I':
        text = "INPUT DEVICE";
        s.Panel = TBusPanel::Input;
        s.RequestData = true;
        for (std::size_t k = 0; k < 8; ++k) s.PortVisible[k] = old || d.Channels != 2 || k < 2;
        break;
    case 'O':
        text = "OUTPUT DEVICE";
        s.Panel = TBusPanel::Output;
        if (!old && d.Channels > 3) text += " RELAIS";
        for (std::size_t k = 0; k < 8; ++k) s.PortVisible[k] = old || d.Channels >= static_cast<int>(k) + 1;
        break;
    case 'P':
        text = "PWM DEVICE";
        s.Panel = TBusPanel::Pwm;
        break;
    case 'T':
        text = "TEMPERATUR DEVICE";
        s.Panel = TBusPanel::Temperature;
        s.RequestData = true;
        s.TemperatureVisible = {true, true, old || d.Channels != 2, old || d.Channels != 2};
        break;
    default: text = "UNKNOWN [Type: " + hex2(static_cast<std::uint8_t>(d.TypeLetter)) + "]"; break;
    }
    if (old) {
        s.TypeText = text;
        s.FirmwareText = d.Firmware + " [Veraltet]";
    } else {
        s.TypeText = text + " " + std::to_string(d.Channels) + "Fach";
        s.FirmwareText = d.Firmware;
    }
    return s;
}

std::uint8_t PortBits(const std::array<bool, 8>& on) {
    std::uint8_t bits = 0;
    for (std::size_t k = 0; k < 8; ++k)
        if (on[k]) bits = static_cast<std::uint8_t>(bits | (0x80 >> k));
    return bits;
}

std::array<bool, 8> PortsOfBits(std::uint8_t bits) {
    std::array<bool, 8> on{};
    for (std::size_t k = 0; k < 8; ++k) on[k] = (bits & (0x80 >> k)) != 0;
    return on;
}

int RawTemperatureHalves(std::uint8_t high, std::uint8_t low) {
    const unsigned value = ((static_cast<unsigned>(high) << 8) | low) & 0x81FF;
    if (value & 0x8000) return -static_cast<int>(~value & 0x1FF);
    return static_cast<int>(value);
}

std::string TemperatureText(int halves) {
    // Whole and half degrees only, so the text is exact and needs no locale.
    const int magnitude = std::abs(halves);
    std::string text = halves < 0 ? "-" : "";
    text += std::to_string(magnitude / 2) + (magnitude % 2 ? ".5" : ".0");
    return text + " °C";
}

std::array<int, 4> ReplyTemperatures(const TBusReply& reply) {
    // Temperature 1 in payload bytes 16–17 (data 14–15) … temperature 4 in 10–11 (data 8–9).
    std::array<int, 4> t{};
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t at = 14 - 2 * k;
        t[k] = RawTemperatureHalves(reply.Data[at], reply.Data[at + 1]);
    }
    return t;
}

int PwmFrequencyIndex(int channel, std::uint8_t code) {
    for (std::size_t i = 0; i < kPwmFrequencies.size(); ++i)
        if (kPwmFrequencies[i].Code[static_cast<std::size_t>(channel & 1)] == code) return static_cast<int>(i);
    return -1;
}

std::vector<std::uint8_t> PwmSettingsBytes(const TPwmSettings& s) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const auto index = static_cast<std::size_t>(std::clamp(s.FrequencyIndex[ch], 0, 4));
        bytes.push_back(kPwmFrequencies[index].Code[ch]);
        bytes.push_back(s.Inverted[ch] ? 0 : 1);
    }
    return bytes;
}

std::vector<std::uint8_t> PwmSettingsReadBytes() { return {0xFF, 0xFF, 0xFF, 0xFF}; }

TPwmSettingsReply DecodePwmSettings(const TBusReply& reply) {
    TPwmSettingsReply r;
    r.Code = {reply.Data[0], reply.Data[2]};
    r.Inverted = {reply.Data[1] == 0, reply.Data[3] == 0};
    return r;
}

std::string BusReplyLogLine(const TBusReply& reply) {
    std::string line = hex2(reply.BusCommand) + " " + hex2(reply.BusId) + " ";
    for (std::size_t i = 0; i < reply.Data.size(); i += 2) {
        line += hex2(reply.Data[i]) + hex2(reply.Data[i + 1]);
        if (i + 2 < reply.Data.size()) line += "|";
    }
    return line;
}

} // namespace v7300

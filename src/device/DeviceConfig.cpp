#include "device/DeviceConfig.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"

#include <cstdio>

namespace v7300 {
namespace {

constexpr std::size_t kPasswordAt = 33;
constexpr std::size_t kPasswordMax = 8;
// The read-out shows at most this many password characters.
constexpr std::size_t kPasswordShown = 9;
// Bytes 0 … 33 must be there before the fields are filled.
constexpr std::size_t kFixedFieldBytes = 34;

std::int32_t inRange(const std::string& text, std::int32_t value, std::int32_t high) {
    if (value < 0 || value > high)
        throw ConversionError("'" + text + "' ist kein gültiger Wert (0 … " + std::to_string(high) + ")");
    return value;
}

// "a.b.c.d": the text up to the first "." is the first byte, the same for the
// second and third, and what remains is the fourth. Without a further "." the
// whole rest is converted, so that the message names what was typed.
std::array<std::uint8_t, 4> addressBytes(const std::string& text) {
    std::array<std::uint8_t, 4> bytes{};
    std::string rest = text;
    for (std::size_t i = 0; i < 4; ++i) {
        std::string part = rest;
        if (i < 3) {
            const auto dot = rest.find('.');
            part = dot == std::string::npos ? rest : rest.substr(0, dot);
            rest = dot == std::string::npos ? std::string() : rest.substr(dot + 1);
        }
        bytes[i] = static_cast<std::uint8_t>(inRange(part, toInt32(part), 255));
    }
    return bytes;
}

// A MAC field is converted as the hexadecimal number "0x" + its text.
std::uint8_t macByte(const std::string& field) {
    const std::string text = "0x" + field;
    std::int32_t value = 0;
    if (field.empty()) throw ConversionError("'" + text + "' ist kein gültiger Integerwert");
    for (char c : field) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) throw ConversionError("'" + text + "' ist kein gültiger Integerwert");
        value = value * 16 + digit;
        if (value > 0xFF) inRange(text, value, 255);
    }
    return static_cast<std::uint8_t>(value);
}

std::uint16_t port(const std::string& text) { return static_cast<std::uint16_t>(inRange(text, toInt32(text), 65535)); }

std::string dotted(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::to_string(b[at]) + "." + std::to_string(b[at + 1]) + "." + std::to_string(b[at + 2]) + "." +
           std::to_string(b[at + 3]);
}

std::string hex2(std::uint8_t value) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", value);
    return buf;
}

} // namespace

std::string TimeZoneEntry(int index) {
    if (index < 0 || index >= kTimeZoneEntries) return "";
    const int offset = index - 12;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%c%02d", offset < 0 ? '-' : '+', offset < 0 ? -offset : offset);
    return buf;
}

int TimeZoneIndex(const std::string& text) {
    std::string digits = text;
    if (!digits.empty() && digits[0] == '+') digits.erase(0, 1);
    if (digits.empty() || digits[0] == '+') return -1;
    const auto offset = parseInt32(digits);
    if (!offset || *offset < -12 || *offset > 12) return -1;
    return *offset + 12;
}

void WriteConfigBlock(const TDeviceSettings& settings, std::int32_t programChecksum, TV7300_EEPROM_Data& image) {
    // Convert everything first: a field that holds no number leaves the image untouched.
    const auto ip = addressBytes(settings.NewIp);
    const auto gateway = addressBytes(settings.Gateway);
    const auto dns = addressBytes(settings.Dns);
    const auto mask = addressBytes(settings.Mask);
    std::array<std::uint8_t, 6> mac{};
    for (std::size_t i = 0; i < mac.size(); ++i) mac[i] = macByte(settings.Mac[i]);
    const std::uint16_t web = port(settings.WebPort);
    const std::uint16_t telnet = port(settings.TelnetPort);
    const std::string password = cp1252Left(settings.Password, kPasswordMax);
    const std::string passwordBytes = utf8ToCp1252(password);

    std::int32_t at = 0;
    const auto put = [&](std::uint8_t value) { image.WriteByteAt(at++, value); };
    put(0x00);
    put(0xFF);
    for (const auto* bytes : {&ip, &gateway, &dns, &mask})
        for (std::uint8_t b : *bytes) put(b);
    put(0x0F);
    put(0xA0);
    for (std::uint8_t b : mac) put(b);
    put(CrcHighByte(programChecksum));
    put(CrcLowByte(programChecksum));
    put(static_cast<std::uint8_t>(web >> 8));
    put(static_cast<std::uint8_t>(web & 0xFF));
    put(static_cast<std::uint8_t>(telnet >> 8));
    put(static_cast<std::uint8_t>(telnet & 0xFF));
    put(static_cast<std::uint8_t>(settings.TimeZone & 0xFF)); // no selection: 0xFF
    for (char c : passwordBytes) put(static_cast<std::uint8_t>(c));
    put(0x00);
}

std::string LogicCrcText(const std::vector<std::uint8_t>& block) {
    if (block.size() < 28) return "????";
    return "0x" + hex2(block[26]) + hex2(block[27]);
}

TConfigReadResult ReadConfigBlock(std::uint16_t address, const std::vector<std::uint8_t>& block,
                                  TDeviceSettings& settings) {
    if (block.empty()) return TConfigReadResult::Ignored;
    if (block[0] == 0xFF) {
        settings.NewIp = "192.168.0.91";
        settings.Gateway = "192.168.0.1";
        settings.Dns = "192.168.0.1";
        settings.Mask = "255.255.255.0";
        return TConfigReadResult::Unconfigured;
    }
    if (address != 0 || block.size() < kFixedFieldBytes) return TConfigReadResult::Ignored;
    settings.NewIp = dotted(block, 2);
    settings.Gateway = dotted(block, 6);
    settings.Dns = dotted(block, 10);
    settings.Mask = dotted(block, 14);
    for (std::size_t i = 0; i < 6; ++i) settings.Mac[i] = hex2(block[20 + i]);
    settings.WebPort = std::to_string(block[28] * 256 + block[29]);
    settings.TelnetPort = std::to_string(block[30] * 256 + block[31]);
    settings.TimeZone = block[32] < kTimeZoneEntries ? block[32] : -1;
    std::string password;
    for (std::size_t i = kPasswordAt; i < block.size() && password.size() < kPasswordShown; ++i) {
        if (block[i] < 33 || block[i] > 126) break;
        password.push_back(static_cast<char>(block[i]));
    }
    settings.Password = password;
    return TConfigReadResult::Filled;
}

std::string DescribeConfigBlock(const std::vector<std::uint8_t>& block) {
    if (block.size() < 33) return "";
    std::string mac;
    for (std::size_t i = 0; i < 6; ++i) mac += (i ? ":" : "") + hex2(block[20 + i]);
    const std::string zone = block[32] < kTimeZoneEntries ? TimeZoneEntry(block[32]) : "??";
    return "IP " + dotted(block, 2) + " Maske " + dotted(block, 14) + " Gateway " + dotted(block, 6) + " DNS " +
           dotted(block, 10) + " MAC " + mac + " Web-Port " + std::to_string(block[28] * 256 + block[29]) +
           " Telnet-Port " + std::to_string(block[30] * 256 + block[31]) + " Zeitzone " + zone;
}

} // namespace v7300

#pragma once
// The controller's configuration block (image bytes 0 … 48) as the transfer
// window shows it: the texts of its fields, written into the image before a
// transfer and filled from the block read out of the controller's EEPROM.
#include "device/UnitV7300EEPROMData.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

// The time zone list: 25 entries "-12" … "-01", "+00", "+01" … "+12"; entry 12 is "+00".
inline constexpr int kTimeZoneEntries = 25;
std::string TimeZoneEntry(int index);
// The entry of a text "+01", "-5", "0" …; -1 when the text is no offset of −12 … +12.
int TimeZoneIndex(const std::string& text);

// The editable fields of the transfer window, as typed.
struct TDeviceSettings {
    std::string NewIp = "???";
    std::string Mask = "???";
    std::string Gateway = "???";
    std::string Dns = "???";
    int TimeZone = -1; // list entry 0 … 24, -1 when nothing is selected
    std::array<std::string, 6> Mac{"00", "14", "A5", "76", "19", "70"};
    std::string WebPort = "80";
    std::string TelnetPort = "64400";
    std::string Password; // at most 8 characters
    bool operator==(const TDeviceSettings&) const = default;
};

// Writes the configuration block into the compiled image, byte by byte in
// position order: 0x00 0xFF, IP, gateway, DNS, mask, 0x0F 0xA0, MAC, the
// program checksum, web and telnet port, time zone, password and 0x00. Bytes
// after the password keep what the image holds (0xFF from the compiler).
// A field that holds no number raises ConversionError with the conversion's
// message ("'???' ist kein gültiger Integerwert"); a number that does not fit
// its byte or port raises ConversionError too, so that a typing error never
// sends the controller a wrapped-around address.
void WriteConfigBlock(const TDeviceSettings& settings, std::int32_t programChecksum, TV7300_EEPROM_Data& image);

// What a configuration read-out (the bytes from image byte 0 on) fills in.
enum class TConfigReadResult {
    Unconfigured, // byte 0 is 0xFF: the four default addresses were filled in
    Filled,       // every field was filled from the block
    Ignored,      // read from another address, or too short: nothing changed
};
// The "Logik CRC" text of a block: "0x" and bytes 26, 27 in hexadecimal ("0x61EC").
std::string LogicCrcText(const std::vector<std::uint8_t>& block);
// Fills the settings from a read-out that started at `address`.
TConfigReadResult ReadConfigBlock(std::uint16_t address, const std::vector<std::uint8_t>& block,
                                  TDeviceSettings& settings);

// One line for information: "IP a.b.c.d Maske … Gateway … DNS … MAC 00:14:A5:76:19:70
// Web-Port 80 Telnet-Port 64400 Zeitzone +01" (the password is not shown).
// The block must hold at least 33 bytes.
std::string DescribeConfigBlock(const std::vector<std::uint8_t>& block);

} // namespace v7300

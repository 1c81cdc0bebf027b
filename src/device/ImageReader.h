#pragma once
// Reads a device image back into records: the configuration block, the
// component records with their decoded parameters, the page names and the
// display entries. Used by the virtual controller to run a stored image and
// by tools that show an image.
#include "device/UnitV7300EEPROMData.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

// One input reference: the feeding object's number and its 0-based output index.
struct TImageInputRef {
    std::uint8_t Object = 0;
    std::uint8_t Output = 0;
    bool operator==(const TImageInputRef&) const = default;
};

// The parameter bytes decoded after the record's type code. Fields that the
// type does not carry keep their defaults.
struct TImageParams {
    std::int32_t Value = 0;          // NUM VALUE (signed 16 bit)
    std::int32_t Seconds = 0;        // TIMER SEKUNDEN (high × 256 + low)
    std::int32_t Count = 0;          // COUNT COUNT (high × 256 + low)
    std::uint8_t DayMask = 0;        // WEEKTIMER: bit 0 Monday … bit 6 Sunday
    std::array<std::uint8_t, 3> OnTime{};  // WEEKTIMER hours, minutes, seconds
    std::array<std::uint8_t, 3> OffTime{};
    std::uint16_t BoolMask = 0;      // BOOL truth table, bit n for input combination n
    std::uint8_t Hid = 0;            // IN hardware input (0 software)
    std::uint8_t InType = 0;         // IN kind as written: TYPE 3 arrives as 2, TYPE 4 as 1
    std::int32_t ThresholdUp = 0;    // SCHWELLE (signed 16 bit)
    std::int32_t ThresholdDown = 0;
    std::string LcdLine1;            // LCD, 16 characters each (UTF-8)
    std::string LcdLine2;
    std::uint8_t LcdPos = 0;
    std::uint8_t LcdType = 0;
    std::uint8_t BusId = 0;          // bus modules
    std::uint8_t CalcType = 0;       // CALC
    std::uint8_t RolloTime = 0;      // ROLLO
    std::int32_t Max = 0;            // VALUE (signed 16 bit each)
    std::int32_t Min = 0;
    std::int32_t Inc = 0;
    std::array<std::int32_t, 4> Wert{}; // ASWITCH (signed 16 bit each)
    std::uint8_t OutId = 0;          // OUT device output
    bool operator==(const TImageParams&) const = default;
};

struct TImageObject {
    std::uint8_t Number = 0;   // device object number
    std::uint8_t TypeCode = 0; // device type code (see LogicCompiler.h)
    std::vector<TImageInputRef> Inputs;
    std::vector<std::uint8_t> ParamBytes;
    TImageParams Params;
    std::size_t Offset = 0;    // position of the record in the image
    bool operator==(const TImageObject&) const = default;
};

struct TImageDisplayEntry {
    std::uint8_t Object = 0;
    std::uint8_t ValueIndex = 0;
    char Kind = 'O';           // 'A', 'T', 'I' or 'O'
    std::uint8_t Page = 0;
    std::uint8_t Slot = 0;
    std::string Text;          // UTF-8, trailing 0x00 removed
    bool operator==(const TImageDisplayEntry&) const = default;
};

struct TDeviceImage {
    std::array<std::uint8_t, 49> Config{};
    std::vector<TImageObject> Objects;
    std::array<std::string, 6> PageNames; // UTF-8, trailing 0x00 removed
    std::vector<TImageDisplayEntry> Entries;
    std::size_t Size = 0;      // bytes used up to and including the end mark

    // The object with this device number, or nullptr.
    const TImageObject* FindObject(std::uint8_t number) const;
    bool operator==(const TDeviceImage&) const = default;
};

// Decodes an image. Raises Error "Das Geräteabbild ist fehlerhaft (...)" for a
// truncated or malformed image (never reads past the bytes given).
TDeviceImage ReadDeviceImage(const std::uint8_t* data, std::size_t size);
TDeviceImage ReadDeviceImage(const std::vector<std::uint8_t>& bytes);
TDeviceImage ReadDeviceImage(const TV7300_EEPROM_Data& image);

// The decoded parameters of a type code's parameter bytes (missing bytes read as 0).
TImageParams DecodeImageParams(std::uint8_t typeCode, const std::vector<std::uint8_t>& bytes);

// The family name of a device type code ("AND", "TIMER", "BUS-OUT" …), "" for an unknown code.
std::string_view DeviceTypeFamily(std::uint8_t typeCode);

} // namespace v7300

#pragma once
// The device image container (a growable byte buffer) and the diagram checksum
// that the controller stores with the image and reports with every live reply.
#include <cstdint>
#include <vector>

namespace v7300 {

class TLogic;

class TV7300_EEPROM_Data {
public:
    TV7300_EEPROM_Data() = default;

    std::int32_t GetSize() const { return static_cast<std::int32_t>(Bytes_.size()); }
    void AppendByte(std::uint8_t value) { Bytes_.push_back(value); }
    // Overwrites a byte inside the image; raises Error for a position outside it.
    void WriteByteAt(std::int32_t position, std::uint8_t value);
    // The byte at a position inside the image; raises Error for a position outside it.
    std::uint8_t ReadByteAt(std::int32_t position) const;

    // Bulk helpers for the compiler and the transfer.
    void AppendWord(std::uint16_t value) {
        Bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
        Bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    void Reserve(std::size_t n) { Bytes_.reserve(n); }
    void Clear() { Bytes_.clear(); }
    const std::vector<std::uint8_t>& Bytes() const { return Bytes_; }

    bool operator==(const TV7300_EEPROM_Data&) const = default;

private:
    std::vector<std::uint8_t> Bytes_;
};

// The diagram checksum: the sum of the Windows-1252 bytes of the diagram's
// canonical text (components with their variables, wires, device address,
// display-text pages). Positions and entry output indexes are not part of it.
std::int32_t GetCrc(const TLogic& logic);

// The two bytes the controller holds of a checksum: bits 8-15, then bits 0-7.
inline std::uint8_t CrcHighByte(std::int32_t crc) { return static_cast<std::uint8_t>((static_cast<std::uint32_t>(crc) >> 8) & 0xFF); }
inline std::uint8_t CrcLowByte(std::int32_t crc) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(crc) & 0xFF); }
inline std::uint16_t CrcDeviceWord(std::int32_t crc) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(crc) & 0xFFFF); }

} // namespace v7300

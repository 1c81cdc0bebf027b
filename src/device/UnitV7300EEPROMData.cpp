#include "device/UnitV7300EEPROMData.h"

#include "core/Error.h"
#include "core/TextCodec.h"
#include "model/Logic.h"

#include <string>
#include <string_view>

namespace v7300 {
namespace {

// Sum of the Windows-1252 bytes of a UTF-8 text; plain ASCII needs no conversion.
std::uint32_t byteSum(std::string_view text) {
    std::uint32_t sum = 0;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            sum = 0;
            for (const char d : utf8ToCp1252(text)) sum += static_cast<unsigned char>(d);
            return sum;
        }
        sum += b;
    }
    return sum;
}

std::uint32_t numberSum(std::int32_t n) { return byteSum(std::to_string(n)); }

std::string positionMessage(std::int32_t position, std::int32_t size) {
    return "Position " + std::to_string(position) + " liegt außerhalb des Abbilds (" + std::to_string(size) +
           " Bytes)";
}

} // namespace

void TV7300_EEPROM_Data::WriteByteAt(std::int32_t position, std::uint8_t value) {
    if (position < 0 || position >= GetSize()) throw Error(positionMessage(position, GetSize()));
    Bytes_[static_cast<std::size_t>(position)] = value;
}

std::uint8_t TV7300_EEPROM_Data::ReadByteAt(std::int32_t position) const {
    if (position < 0 || position >= GetSize()) throw Error(positionMessage(position, GetSize()));
    return Bytes_[static_cast<std::size_t>(position)];
}

std::int32_t GetCrc(const TLogic& logic) {
    // Unsigned arithmetic wraps instead of overflowing; the result is the low 32 bits.
    std::uint32_t sum = 0;
    for (const auto& c : logic.Components) {
        sum += byteSum(c.Name);
        sum += byteSum(c.TypeName);
        for (const auto& v : c.Variables) {
            sum += byteSum(v.Name());
            sum += byteSum(v.GetTypeName());
            sum += byteSum(v.GetValue());
        }
    }
    for (const auto& w : logic.Wires) {
        sum += byteSum(w.Output);
        sum += numberSum(w.OutputID);
        sum += byteSum(w.Input);
        sum += numberSum(w.InputID);
    }
    sum += byteSum(logic.DeviceAddress);
    for (const auto& page : logic.ShownTexts) {
        sum += byteSum(page.name);
        for (const auto& slot : page.slots) {
            if (!slot) continue;
            sum += byteSum(slot->component);
            sum += byteSum(slot->text);
        }
    }
    return static_cast<std::int32_t>(sum);
}

} // namespace v7300

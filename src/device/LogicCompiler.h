#pragma once
// Compiles a diagram into the controller's byte-coded device image:
//   49 bytes configuration block (0xFF, filled in by the transfer),
//   one record per non-TXT component, 0xFF,
//   six page names of 8 bytes, one 12-byte record per display entry, 0xFF 0xFF.
#include "device/UnitV7300EEPROMData.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

class TLogic;

constexpr std::int32_t kConfigBlockSize = 49;
constexpr std::int32_t kPageNameSize = 8;
constexpr std::int32_t kDisplayEntrySize = 12;
// An empty diagram compiles to this many bytes.
constexpr std::int32_t kEmptyImageSize = kConfigBlockSize + 1 + 6 * kPageNameSize + 2;
// The controller runs at most 99 objects: 100 or more non-TXT components are refused.
constexpr std::int32_t kMaxDeviceObjects = 100;
// Only inputs 0 ... 8 are carried as input references.
constexpr std::int32_t kMaxReferencedInput = 8;

// Device type codes.
enum TDeviceTypeCode : std::uint8_t {
    kCodeNUM = 1, kCodeAND = 2, kCodeNAND = 3, kCodeOR = 4, kCodeNOR = 5, kCodeXOR = 6, kCodeBI = 7,
    kCodeTIMER = 8, kCodeCOUNT = 9, kCodeTAKT = 10, kCodeINV = 11, kCodeFF = 12, kCodeOUT = 13,
    kCodeWEEKTIMER = 14, kCodeBOOL = 15, kCodeIN = 16, kCodeSCHWELLE = 17, kCodeLCD = 18,
    kCodeBUSOUT = 33, kCodeBUSIN = 34, kCodeBUSTEMP = 35, kCodeBUSPWM = 36,
    kCodeCALC = 49, kCodeROLLO = 50, kCodeVALUE = 51, kCodeRELAY = 52, kCodeASWITCH = 53,
};

// The device type code of a type name (exact, case-sensitive), 0 when the type cannot be compiled.
std::uint8_t DeviceTypeCode(std::string_view typeName);

// Appends the compiled diagram to the (empty) image. Changes nothing in the document.
// Raises Error with the compiler's message on the first failing component; the
// partly written image is then of no use.
void CreateNETIOData(const TLogic& logic, TV7300_EEPROM_Data& image);

// The image does not say which input of a component is open: the controller
// moves the later wired inputs down into the gap. For the types whose inputs
// mean different things by position (RELAY, LCD) and may stay open, one hint
// per open input that has a wired input after it, in component order:
// "RELAY1: Eingang A1 ist offen, auf dem V7300-NET-IO rücken die folgenden Eingänge nach."
std::vector<std::string> OpenInputHints(const TLogic& logic);

} // namespace v7300

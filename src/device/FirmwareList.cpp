#include "device/FirmwareList.h"

#include "core/StringUtil.h"

namespace v7300 {

// clang-format off
const std::array<const char*, 12> kFirmwareEntries = {
    "V7300-NET-IO (ATMega644)|avrdude -p m644 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U efuse:w:0xfc:m -U flash:w:V7300-NET-IO.hex",
    "V7300-Output-Device [8-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Output-Device-8-Fach.hex",
    "V7300-Output-Device [4-Fach/Relai]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Output-Device-4-Fach-Relai.hex",
    "V7300-Output-Device [2-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Output-Device-2-Fach.hex",
    "V7300-Input-Device [8-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Input-Device-8-Fach.hex",
    "V7300-Input-Device [2-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Input-Device-2-Fach.hex",
    "V7300-Temperatur-Device [4-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Temperature-Device-4-Fach.hex",
    "V7300-Temperatur-Device [2-Fach]|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xff:m -U hfuse:w:0xd9:m -U flash:w:V7300-Temperature-Device-2-Fach.hex",
    "V7300-LED-Dimmer [2-Fach]|avrdude -p m8 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xbf:m -U hfuse:w:0xd9:m -U flash:w:V7300-LED-Dimmer-2-Fach.hex",
    "V7300-AVR-ISP-Programmer|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0xed:m -U hfuse:w:0xdf:m -U efuse:w:0xff:m -U flash:w:V7300-AVR-ISP-Programmer.hex",
    "V7300-A/D-Konverter|avrdude -p t13 -b 115200 -c avr910 -P {COMPORT} -e -U lfuse:w:0x7a:m -U hfuse:w:0xf9:m -U flash:w:V7300-AD-Konverter.hex",
    "ATTiny2313 Löschen|avrdude -p t2313 -b 115200 -c avr910 -P {COMPORT} -e",
};
// clang-format on

namespace {
constexpr const char* kPortMark = "{COMPORT}";

std::string storedCommand(const std::string& entry) {
    const auto bar = entry.find('|');
    return bar == std::string::npos ? std::string() : entry.substr(bar + 1, 1024);
}
} // namespace

std::string FirmwareCaption(const std::string& entry) { return entry.substr(0, entry.find('|')); }

std::string FirmwareCommandLine(const std::string& entry, const std::string& port) {
    return replaceAll(storedCommand(entry), kPortMark, port);
}

std::vector<std::string> FirmwareArguments(const std::string& entry, const std::string& port) {
    std::vector<std::string> args;
    for (const auto& part : splitAtBlanks(storedCommand(entry)))
        if (!part.empty()) args.push_back(replaceAll(part, kPortMark, port));
    return args;
}

int FindFirmwareEntry(const std::string& caption) {
    for (std::size_t i = 0; i < kFirmwareEntries.size(); ++i)
        if (FirmwareCaption(kFirmwareEntries[i]) == caption) return static_cast<int>(i);
    return -1;
}

} // namespace v7300

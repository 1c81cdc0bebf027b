#pragma once
// Compares what a controller holds (its EEPROM read back from address 0) with
// a project's compiled image, component by component: one line per
// difference, "<instance name>: <what differs>", then the display pages and
// the program checksum. The rest of the configuration block (addresses, ports,
// time zone) is the controller's own and only described.
#include "device/UnitV7300EEPROMData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

// The project's component behind device object number i + 1.
struct TProjectObject {
    std::string Name;     // instance name, "TIMER1"
    std::string TypeName; // "TIMER", "BUS-OUT-II" …
};

struct TImageComparison {
    std::vector<std::string> Differences;
    std::string Configuration; // "IP … Maske … Gateway … DNS … MAC … Web-Port … Telnet-Port … Zeitzone …"
};

// `projectImage` is the compiled image (configuration block still 0xFF);
// `device` the bytes read back, which may be shorter or longer than an image.
TImageComparison CompareDeviceImage(const std::vector<TProjectObject>& objects, const TV7300_EEPROM_Data& projectImage,
                                    std::int32_t projectChecksum, const std::vector<std::uint8_t>& device);

// True when the bytes hold a complete image (the read-back may stop there).
bool HoldsCompleteImage(const std::vector<std::uint8_t>& bytes);

} // namespace v7300

#pragma once
// The fixed list of firmware the flashing window offers: one text line per
// entry, the caption, "|", and the avrdude command line in which "{COMPORT}"
// stands for the serial port.
#include <array>
#include <string>
#include <vector>

namespace v7300 {

extern const std::array<const char*, 12> kFirmwareEntries;

// The text before the first "|".
std::string FirmwareCaption(const std::string& entry);
// The command line: the text after the first "|" (at most 1024 characters) with
// every "{COMPORT}" replaced by the port.
std::string FirmwareCommandLine(const std::string& entry, const std::string& port);
// The same command as an argument vector: split at the blanks of the stored
// line first, the port put in afterwards, so that a port name with blanks or
// shell characters stays one argument and is never interpreted.
std::vector<std::string> FirmwareArguments(const std::string& entry, const std::string& port);

// The entry with that caption, or -1.
int FindFirmwareEntry(const std::string& caption);

} // namespace v7300

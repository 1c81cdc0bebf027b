// The output box of the flashing window over any bytes avrdude may print, in
// chunks as a pipe delivers them: lines stay bounded, trimming holds.
#include "device/FlashOutput.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    TFlashOutput out;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t chunk = 1 + data[pos] % 64; // the first byte of each piece chooses its length
        const std::size_t n = chunk < size - pos ? chunk : size - pos;
        out.Append(std::string(reinterpret_cast<const char*>(data + pos), n));
        pos += n;
        if (data[pos - 1] == 0x7F) out.AppendLine("avrdude beendet mit Status 1");
    }
    for (const auto& line : out.Lines())
        if (line.size() > TFlashOutput::kMaxLineLength || line.find('\n') != std::string::npos) __builtin_trap();
    out.Trim(30);
    if (out.LineCount() > 30 || out.Lines().size() != out.LineCount()) __builtin_trap();
    return 0;
}

// Logic test files: the parser on arbitrary text, and the durations and times
// it formats back.
#include "core/TextCodec.h"
#include "simulation/LogicTest.h"
#include "simulation/LogicTestRunner.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 16384) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!v7300::isValidUtf8(text)) text = v7300::cp1252ToUtf8(text);
    try {
        const v7300::TLogicTestFile f = v7300::ParseLogicTest(text);
        for (const auto& s : f.Steps) {
            (void)v7300::FormatTestDuration(s.DurationMs);
            (void)v7300::FormatTestTime(v7300::TTimeZone(), s.At.Local.toEpochMs());
        }
    } catch (const v7300::TLogicTestSyntaxError&) {
    }
    return 0;
}

// A live-view recording as the replay reads it: any bytes, from a damaged or
// foreign file. Either a recording in time order comes out or the reader's error.
#include "core/Error.h"
#include "simulation/LiveRecording.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    try {
        const TLiveRecording r = ParseLiveRecording(std::string(reinterpret_cast<const char*>(data), size));
        for (std::size_t i = 1; i < r.Samples.size(); ++i)
            if (r.Samples[i - 1].Ms > r.Samples[i].Ms || r.Samples[i].Ms < 0) __builtin_trap();
        // What the reader took in, written again, reads the same.
        std::string text = LiveRecordingHeaderLine(r.Header) + "\r\n";
        for (const auto& s : r.Samples) text += LiveRecordingLine(s) + "\r\n";
        const TLiveRecording again = ParseLiveRecording(text);
        if (!(again.Header == r.Header) || again.Samples.size() != r.Samples.size()) __builtin_trap();
    } catch (const Error&) {
    }
    return 0;
}

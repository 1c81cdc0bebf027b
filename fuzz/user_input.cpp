// What the user types into the simulation's dialogs: the date and time of
// "Gehe zu Zeitpunkt…" (an accepted text reads back to the same instant) and
// the value of "Wert erzwingen…".
#include "core/TextCodec.h"
#include "simulation/DateTimeText.h"
#include "simulation/ForceChoices.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!v7300::isValidUtf8(text)) text = v7300::cp1252ToUtf8(text);
    if (const auto t = v7300::ParseDateTimeText(text)) {
        const auto back = v7300::ParseDateTimeText(v7300::DateTimeText(*t));
        if (!back || !(*back == *t)) std::abort();
    }
    const v7300::TForceChoice output{"$A__A1", "A.A1", "0", true, false};
    const v7300::TForceChoice number{"$A_N", "A.N", "0", false, false};
    for (const auto* choice : {&output, &number})
        for (char separator : {',', '.'}) {
            const v7300::TForceValue v = v7300::CheckForceValue(*choice, text, separator);
            if (v.Error.empty() == v.Value.empty()) std::abort();
        }
    return 0;
}

// Time zones: zone files (TZif) and POSIX TZ rules from arbitrary bytes, then
// offsets, changes and local-time lookups around a few instants.
#include "core/Error.h"
#include "core/TimeZone.h"

#include <cstdint>
#include <string>

namespace {

void exercise(const v7300::TTimeZone& z) {
    for (std::int64_t t : {std::int64_t{-2000000000}, std::int64_t{0}, std::int64_t{1774746000}, std::int64_t{4102444800}}) {
        (void)z.OffsetAt(t);
        if (const auto next = z.NextTransition(t)) (void)z.OffsetAt(*next);
        (void)z.LocalToUtc(t);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        exercise(v7300::TTimeZone::FromTzif(bytes, "fuzz"));
    } catch (const v7300::Error&) {
    }
    if (size < 256)
        if (const auto rule = v7300::TTimeZone::FromPosixRule(bytes)) exercise(*rule);
    return 0;
}

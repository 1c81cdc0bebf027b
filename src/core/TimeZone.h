#pragma once
// A time zone of the tz database: the offset of local time from UTC at any
// instant and the instants at which it changes (daylight-saving time). Read from
// the compiled zone files (TZif, as in /usr/share/zoneinfo) or from a POSIX TZ
// rule such as "CET-1CEST,M3.5.0,M10.5.0/3".
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

class TTimeZone {
public:
    // UTC, no changes.
    TTimeZone();

    static TTimeZone Fixed(int offsetSeconds, std::string name);
    // The contents of a TZif file (versions 1 to 4). Raises Error when they are
    // not a valid zone file.
    static TTimeZone FromTzif(const std::string& bytes, std::string name);
    // A POSIX TZ rule; nothing when the text is not one.
    static std::optional<TTimeZone> FromPosixRule(const std::string& rule);
    // A zone by its tz database name ("Europe/Berlin") from $TZDIR or
    // /usr/share/zoneinfo, or a POSIX TZ rule. Raises Error("Unbekannte Zeitzone: …").
    static TTimeZone Load(const std::string& name);
    // The machine's zone: $TZ, else /etc/localtime, else UTC.
    static TTimeZone Machine();

    const std::string& Name() const { return name_; }

    // Seconds east of UTC in force at the instant (seconds since 1970 UTC).
    int OffsetAt(std::int64_t utcSeconds) const;
    // The first instant after utcSeconds at which the offset changes.
    std::optional<std::int64_t> NextTransition(std::int64_t utcSeconds) const;
    // The instants whose local time (seconds since 1970 read as local) is the
    // given one, earliest first: none in a gap, two in a repeated hour.
    std::vector<std::int64_t> LocalToUtc(std::int64_t localSeconds) const;

    struct Rule; // a POSIX TZ rule

private:
    std::string name_ = "UTC";
    std::vector<std::int64_t> transitions_; // ascending instants
    std::vector<int> offsets_;              // offset from each transition on
    int initialOffset_ = 0;                 // before the first transition
    std::shared_ptr<const Rule> rule_;      // after the last transition
};

} // namespace v7300

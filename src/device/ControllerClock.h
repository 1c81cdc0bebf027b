#pragma once
// The controller's real-time clock: time of day, weekday and day of the year as
// the program set them, running on with a monotonic millisecond counter. The
// program never sends a year; the clock keeps the one it started with and counts
// it on at the turn of the year, so that day 365 of a common year and day 366
// are followed by day 1.
#include "core/Clock.h"
#include "device/UnitV7300NETIO.h"

#include <cstdint>

namespace v7300 {

class TControllerClock {
public:
    // Runs from the given local time (offset +00).
    void Start(const DateTime& local, std::int64_t monoMs);
    // Takes hour, minute, second, weekday, day of the year and offset as sent
    // (out-of-range times of day are wrapped); the year stays the clock's own.
    void Set(const TDeviceClock& time, std::int64_t monoMs);
    // The clock at monoMs. A weekday above 6 stays as it is and does not advance.
    TDeviceClock Now(std::int64_t monoMs) const;

private:
    // The clock at monoMs; year goes in as the base's year and comes out as the current one.
    TDeviceClock at(std::int64_t monoMs, int& year) const;

    TDeviceClock base_;
    int year_ = 2000;
    std::int64_t baseMono_ = 0;
};

} // namespace v7300

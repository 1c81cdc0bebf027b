#pragma once
// How the core reads time: UTC and local calendar time, a monotonic millisecond
// counter and sleeping. Real in the programs, virtual in tests and in fast
// simulation on the command line.
#include "core/TimeZone.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>

namespace v7300 {

struct DateTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    // 1 = Sunday … 7 = Saturday.
    int dayOfWeek() const;
    // Milliseconds since 1970-01-01 of this calendar time read as UTC.
    std::int64_t toEpochMs() const;
    static DateTime fromEpochMs(std::int64_t ms);
    bool operator==(const DateTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime utcNow() = 0;
    virtual DateTime localNow() = 0;
    virtual std::int64_t monotonicMs() = 0;
    virtual void sleepMs(std::int64_t ms) = 0;

    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
    // The first UTC instant (ms since 1970) after utcMs at which local time stops
    // running on evenly with UTC (the zone's offset changes); kNever when none
    // comes. A clock that cannot tell answers utcMs itself.
    virtual std::int64_t nextLocalJumpMs(std::int64_t utcMs) { return utcMs; }
};

// The machine's clock.
class SystemClock : public Clock {
public:
    DateTime utcNow() override;
    DateTime localNow() override;
    std::int64_t monotonicMs() override;
    void sleepMs(std::int64_t ms) override;
};

// A clock that moves only when told to (or when someone sleeps on it).
// Local time = UTC + a fixed offset. Safe to use from several threads.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(DateTime localStart = {2026, 1, 5, 12, 0, 0, 0}, std::int64_t utcOffsetMs = 0);
    DateTime utcNow() override;
    DateTime localNow() override;
    std::int64_t monotonicMs() override;
    void sleepMs(std::int64_t ms) override; // advances the clock by ms
    void advanceMs(std::int64_t ms);
    void setLocal(const DateTime& local);
    std::int64_t nextLocalJumpMs(std::int64_t) override { return kNever; }

private:
    std::atomic<std::int64_t> localEpochMs_;
    std::atomic<std::int64_t> monotonicMs_{0};
    std::int64_t utcOffsetMs_;
};

// A clock that moves only when told to, with the local time of a time zone of
// the tz database: daylight-saving changes happen as on a real clock in that
// zone. Safe to use from several threads.
class ZonedVirtualClock : public Clock {
public:
    ZonedVirtualClock(TTimeZone zone, std::int64_t utcStartMs);
    DateTime utcNow() override;
    DateTime localNow() override;
    std::int64_t monotonicMs() override;
    void sleepMs(std::int64_t ms) override; // advances the clock by ms
    std::int64_t nextLocalJumpMs(std::int64_t utcMs) override;

    void advanceMs(std::int64_t ms);
    // Sets the calendar time; the monotonic counter runs on unaffected.
    void setUtcMs(std::int64_t utcMs);
    std::int64_t utcMs() const { return utcMs_.load(); }
    const TTimeZone& zone() const { return zone_; }
    // Local time of the zone at the instant.
    DateTime localAt(std::int64_t utcMs) const;

private:
    const TTimeZone zone_;
    std::atomic<std::int64_t> utcMs_;
    std::atomic<std::int64_t> monotonicMs_{0};
};

} // namespace v7300

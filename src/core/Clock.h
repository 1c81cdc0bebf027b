#pragma once
// How the core reads time: UTC and local calendar time, a monotonic millisecond
// counter and sleeping. Real in the programs, virtual in tests and in fast
// simulation on the command line.
#include <atomic>
#include <cstdint>
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

private:
    std::atomic<std::int64_t> localEpochMs_;
    std::atomic<std::int64_t> monotonicMs_{0};
    std::int64_t utcOffsetMs_;
};

} // namespace v7300

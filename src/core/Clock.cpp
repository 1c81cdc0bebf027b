#include "core/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace v7300 {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

DateTime fromTm(const std::tm& t, int ms) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, ms};
}

} // namespace

int DateTime::dayOfWeek() const {
    const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    // 1970-01-01 was a Thursday (5 in 1 = Sunday counting).
    return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

std::int64_t DateTime::toEpochMs() const {
    const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return ((days * 24 + hour) * 60 + minute) * 60000LL + second * 1000LL + millisecond;
}

DateTime DateTime::fromEpochMs(std::int64_t ms) {
    std::int64_t days = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    DateTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600000);
    t.minute = static_cast<int>(rest / 60000 % 60);
    t.second = static_cast<int>(rest / 1000 % 60);
    t.millisecond = static_cast<int>(rest % 1000);
    return t;
}

DateTime SystemClock::utcNow() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    return DateTime::fromEpochMs(ms);
}

DateTime SystemClock::localNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm t{};
    localtime_r(&secs, &t);
    return fromTm(t, static_cast<int>(ms));
}

std::int64_t SystemClock::monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SystemClock::sleepMs(std::int64_t ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

VirtualClock::VirtualClock(DateTime localStart, std::int64_t utcOffsetMs)
    : localEpochMs_(localStart.toEpochMs()), utcOffsetMs_(utcOffsetMs) {}

DateTime VirtualClock::utcNow() { return DateTime::fromEpochMs(localEpochMs_.load() - utcOffsetMs_); }
DateTime VirtualClock::localNow() { return DateTime::fromEpochMs(localEpochMs_.load()); }
std::int64_t VirtualClock::monotonicMs() { return monotonicMs_.load(); }
void VirtualClock::sleepMs(std::int64_t ms) { advanceMs(ms); }

void VirtualClock::advanceMs(std::int64_t ms) {
    if (ms <= 0) return;
    localEpochMs_ += ms;
    monotonicMs_ += ms;
}

void VirtualClock::setLocal(const DateTime& local) { localEpochMs_ = local.toEpochMs(); }

namespace {
std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b) < 0 ? 1 : 0); }
} // namespace

ZonedVirtualClock::ZonedVirtualClock(TTimeZone zone, std::int64_t utcStartMs)
    : zone_(std::move(zone)), utcMs_(utcStartMs) {}

DateTime ZonedVirtualClock::utcNow() { return DateTime::fromEpochMs(utcMs_.load()); }
DateTime ZonedVirtualClock::localNow() { return localAt(utcMs_.load()); }
std::int64_t ZonedVirtualClock::monotonicMs() { return monotonicMs_.load(); }
void ZonedVirtualClock::sleepMs(std::int64_t ms) { advanceMs(ms); }

DateTime ZonedVirtualClock::localAt(std::int64_t utcMs) const {
    return DateTime::fromEpochMs(utcMs + std::int64_t{zone_.OffsetAt(floorDiv(utcMs, 1000))} * 1000);
}

std::int64_t ZonedVirtualClock::nextLocalJumpMs(std::int64_t utcMs) {
    const auto next = zone_.NextTransition(floorDiv(utcMs, 1000));
    return next ? *next * 1000 : kNever;
}

void ZonedVirtualClock::advanceMs(std::int64_t ms) {
    if (ms <= 0) return;
    utcMs_ += ms;
    monotonicMs_ += ms;
}

void ZonedVirtualClock::setUtcMs(std::int64_t utcMs) { utcMs_ = utcMs; }

} // namespace v7300

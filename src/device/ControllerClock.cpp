#include "device/ControllerClock.h"

#include <algorithm>

namespace v7300 {
namespace {

constexpr std::int64_t kDayMs = 86400000;

bool leapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
int daysInYear(int year) { return leapYear(year) ? 366 : 365; }

int dayOfYear(const DateTime& t) {
    const DateTime newYear{t.year, 1, 1, 0, 0, 0, 0};
    return static_cast<int>((t.toEpochMs() - newYear.toEpochMs()) / kDayMs) + 1;
}

} // namespace

void TControllerClock::Start(const DateTime& local, std::int64_t monoMs) {
    base_ = {};
    base_.Hour = static_cast<std::uint8_t>(local.hour);
    base_.Minute = static_cast<std::uint8_t>(local.minute);
    base_.Second = static_cast<std::uint8_t>(local.second);
    base_.Weekday = static_cast<std::uint8_t>((local.dayOfWeek() + 5) % 7); // Monday = 0
    base_.DayOfYear = static_cast<std::uint16_t>(dayOfYear(local));
    year_ = local.year;
    baseMono_ = monoMs;
}

void TControllerClock::Set(const TDeviceClock& time, std::int64_t monoMs) {
    int year = year_;
    at(monoMs, year);
    year_ = year;
    base_ = time;
    base_.Hour = static_cast<std::uint8_t>(time.Hour % 24);
    base_.Minute = static_cast<std::uint8_t>(time.Minute % 60);
    base_.Second = static_cast<std::uint8_t>(time.Second % 60);
    baseMono_ = monoMs;
}

TDeviceClock TControllerClock::Now(std::int64_t monoMs) const {
    int year = year_;
    return at(monoMs, year);
}

TDeviceClock TControllerClock::at(std::int64_t monoMs, int& year) const {
    const std::int64_t ms = (base_.Hour * 3600LL + base_.Minute * 60LL + base_.Second) * 1000 +
                            std::max<std::int64_t>(0, monoMs - baseMono_);
    std::int64_t days = ms / kDayMs;
    const std::int64_t secondOfDay = ms % kDayMs / 1000;
    TDeviceClock now = base_;
    now.Hour = static_cast<std::uint8_t>(secondOfDay / 3600);
    now.Minute = static_cast<std::uint8_t>(secondOfDay / 60 % 60);
    now.Second = static_cast<std::uint8_t>(secondOfDay % 60);
    if (base_.Weekday <= 6) now.Weekday = static_cast<std::uint8_t>((base_.Weekday + days) % 7);
    // Day of the year: whole years at a time; a day past the year's end (366 in
    // a common year, or any larger number sent) is followed by day 1.
    int day = base_.DayOfYear;
    while (days > 0) {
        const int length = daysInYear(year);
        const std::int64_t toNextYear = day >= length ? 1 : length - day + 1;
        if (days < toNextYear) {
            day += static_cast<int>(days);
            break;
        }
        days -= toNextYear;
        day = 1;
        ++year;
    }
    now.DayOfYear = static_cast<std::uint16_t>(day);
    return now;
}

} // namespace v7300

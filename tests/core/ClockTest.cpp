#include "core/Clock.h"

#include <gtest/gtest.h>

using namespace v7300;

TEST(Clock, DayOfWeekCountsFromSunday) {
    EXPECT_EQ((DateTime{2026, 1, 4}.dayOfWeek()), 1); // Sunday
    EXPECT_EQ((DateTime{2026, 1, 5}.dayOfWeek()), 2); // Monday
    EXPECT_EQ((DateTime{2026, 1, 10}.dayOfWeek()), 7); // Saturday
    EXPECT_EQ((DateTime{2000, 2, 29}.dayOfWeek()), 3); // Tuesday
}

TEST(Clock, EpochRoundTripAcrossMonthsAndLeapYears) {
    const DateTime times[] = {{1970, 1, 1, 0, 0, 0, 0}, {2024, 2, 29, 23, 59, 59, 999}, {2026, 12, 31, 12, 0, 0, 5}};
    for (const auto& t : times) EXPECT_EQ(DateTime::fromEpochMs(t.toEpochMs()), t);
}

TEST(Clock, VirtualClockMovesOnlyWhenAdvancedOrSleptOn) {
    VirtualClock clock({2026, 1, 5, 23, 59, 59, 900}, 3600000);
    EXPECT_EQ(clock.monotonicMs(), 0);
    clock.sleepMs(150);
    EXPECT_EQ(clock.monotonicMs(), 150);
    EXPECT_EQ(clock.localNow(), (DateTime{2026, 1, 6, 0, 0, 0, 50}));
    EXPECT_EQ(clock.utcNow(), (DateTime{2026, 1, 5, 23, 0, 0, 50}));
}

#include "core/TimeZone.h"

#include "core/Clock.h"
#include "core/Error.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace v7300 {
namespace {

std::int64_t utc(int y, int mo, int d, int h, int mi = 0, int s = 0) {
    return DateTime{y, mo, d, h, mi, s, 0}.toEpochMs() / 1000;
}

// A TZif file: version, transitions with their type indices, type offsets, footer.
std::string tzif(char version, const std::vector<std::int64_t>& times, const std::vector<unsigned char>& idx,
                 const std::vector<std::int32_t>& offsets, const std::string& footer = "") {
    auto be = [](std::string& out, std::uint64_t v, int n) {
        for (int k = n - 1; k >= 0; --k) out += static_cast<char>(v >> (8 * k) & 0xFF);
    };
    auto block = [&](int timeSize) {
        std::string b = "TZif";
        b += version;
        b += std::string(15, '\0');
        for (std::uint64_t c : {std::uint64_t{0}, std::uint64_t{0}, std::uint64_t{0}, std::uint64_t{times.size()},
                                std::uint64_t{offsets.size()}, std::uint64_t{4}})
            be(b, c, 4);
        for (auto t : times) be(b, static_cast<std::uint64_t>(t), timeSize);
        for (auto i : idx) b += static_cast<char>(i);
        for (auto o : offsets) {
            be(b, static_cast<std::uint32_t>(o), 4);
            b += '\0';
            b += '\0';
        }
        b += std::string("XYZ\0", 4);
        return b;
    };
    std::string out = block(4);
    if (version >= '2') out += block(8) + "\n" + footer + "\n";
    return out;
}

TEST(TimeZone, BerlinFromTheDatabaseChangesOnTheLastSundaysOfMarchAndOctober) {
    const TTimeZone berlin = TTimeZone::Load("Europe/Berlin");
    EXPECT_EQ(berlin.Name(), "Europe/Berlin");
    EXPECT_EQ(berlin.OffsetAt(utc(2026, 1, 5, 12)), 3600);
    EXPECT_EQ(berlin.OffsetAt(utc(2026, 3, 29, 0, 59, 59)), 3600);
    EXPECT_EQ(berlin.OffsetAt(utc(2026, 3, 29, 1)), 7200);
    EXPECT_EQ(berlin.OffsetAt(utc(2026, 10, 25, 0, 59, 59)), 7200);
    EXPECT_EQ(berlin.OffsetAt(utc(2026, 10, 25, 1)), 3600);
    EXPECT_EQ(berlin.NextTransition(utc(2026, 1, 5, 12)), utc(2026, 3, 29, 1));
    EXPECT_EQ(berlin.NextTransition(utc(2026, 3, 29, 1)), utc(2026, 10, 25, 1));
}

TEST(TimeZone, PosixRuleAgreesWithTheDatabaseLongAfterItsTable) {
    const TTimeZone file = TTimeZone::Load("Europe/Berlin");
    const auto rule = TTimeZone::FromPosixRule("CET-1CEST,M3.5.0,M10.5.0/3");
    ASSERT_TRUE(rule);
    for (int year : {2026, 2040, 2100}) {
        const std::int64_t jan = utc(year, 1, 1, 0);
        for (std::int64_t t = jan; t < jan + 366 * 86400; t += 6 * 3600)
            ASSERT_EQ(rule->OffsetAt(t), file.OffsetAt(t)) << year << " " << t;
        EXPECT_EQ(rule->NextTransition(jan), file.NextTransition(jan)) << year;
    }
    EXPECT_EQ(file.NextTransition(utc(2100, 6, 1, 0)), utc(2100, 10, 31, 1));
}

TEST(TimeZone, SouthernRuleIsInSummerTimeAroundNewYear) {
    const auto sydney = TTimeZone::FromPosixRule("AEST-10AEDT,M10.1.0,M4.1.0/3");
    ASSERT_TRUE(sydney);
    EXPECT_EQ(sydney->OffsetAt(utc(2026, 1, 1, 0)), 11 * 3600);
    EXPECT_EQ(sydney->OffsetAt(utc(2026, 7, 1, 0)), 10 * 3600);
    EXPECT_EQ(sydney->OffsetAt(utc(2026, 12, 31, 23)), 11 * 3600);
    // First Sunday of April 2026 is the 5th, 03:00 local summer time = 16:00 UTC the day before.
    EXPECT_EQ(sydney->NextTransition(utc(2026, 1, 1, 0)), utc(2026, 4, 4, 16));
}

TEST(TimeZone, PosixRulesOfEveryDateForm) {
    struct Case {
        const char* rule;
        std::int64_t at;
        int offset;
    } cases[] = {
        {"UTC0", utc(2026, 6, 1, 0), 0},
        {"<+0330>-3:30", utc(2026, 6, 1, 0), 3 * 3600 + 1800},
        {"EST5EDT", utc(2026, 3, 8, 6, 59), -5 * 3600}, // default rule: 2nd Sunday of March
        {"EST5EDT", utc(2026, 3, 8, 7), -4 * 3600},
        {"XST3XDT,J60/0,J300/0", utc(2028, 3, 1, 3), -2 * 3600}, // J60 is March 1st also in leap years
        {"XST3XDT,J60/0,J300/0", utc(2028, 2, 29, 23), -3 * 3600},
        {"XST3XDT,59/0,300/0", utc(2028, 2, 29, 3), -2 * 3600}, // 59 counts Feb 29
        {"XST3XDT,M2.5.0/-1,M11.1.0/25", utc(2026, 2, 22, 2), -2 * 3600}, // last Sunday of Feb, 23:00 the day before
    };
    for (const auto& c : cases) {
        const auto z = TTimeZone::FromPosixRule(c.rule);
        ASSERT_TRUE(z) << c.rule;
        EXPECT_EQ(z->OffsetAt(c.at), c.offset) << c.rule;
    }
    for (const char* bad : {"", "X0", "CET", "CET-1CEST,M3.5.0", "CET-1CEST,M13.5.0,M10.5.0", "CET-1CEST,M3.5.0,M10.5.0/200",
                            "CET-99", "<>0", "CET-1CEST,J0,J300"})
        EXPECT_FALSE(TTimeZone::FromPosixRule(bad)) << bad;
}

TEST(TimeZone, LocalTimesInTheGapAndInTheRepeatedHour) {
    const TTimeZone berlin = TTimeZone::Load("Europe/Berlin");
    auto local = [](int y, int mo, int d, int h, int mi) { return utc(y, mo, d, h, mi); };
    EXPECT_TRUE(berlin.LocalToUtc(local(2026, 3, 29, 2, 30)).empty());
    EXPECT_EQ(berlin.LocalToUtc(local(2026, 3, 29, 3, 0)), std::vector<std::int64_t>{utc(2026, 3, 29, 1)});
    EXPECT_EQ(berlin.LocalToUtc(local(2026, 10, 25, 2, 30)),
              (std::vector<std::int64_t>{utc(2026, 10, 25, 0, 30), utc(2026, 10, 25, 1, 30)}));
    EXPECT_EQ(berlin.LocalToUtc(local(2026, 1, 5, 12, 0)), std::vector<std::int64_t>{utc(2026, 1, 5, 11)});
}

TEST(TimeZone, VersionOneAndFooterOnlyFiles) {
    const auto v1 = TTimeZone::FromTzif(tzif('\0', {1000, 2000}, {1, 0}, {3600, 7200}), "v1");
    EXPECT_EQ(v1.OffsetAt(999), 3600);
    EXPECT_EQ(v1.OffsetAt(1000), 7200);
    EXPECT_EQ(v1.OffsetAt(2000), 3600);
    EXPECT_EQ(v1.NextTransition(0), 1000);
    EXPECT_EQ(v1.NextTransition(2000), std::nullopt);

    const auto slim = TTimeZone::FromTzif(tzif('2', {}, {}, {3600}, "CET-1CEST,M3.5.0,M10.5.0/3"), "slim");
    EXPECT_EQ(slim.OffsetAt(utc(2026, 7, 1, 0)), 7200);
    EXPECT_EQ(slim.NextTransition(utc(2026, 7, 1, 0)), utc(2026, 10, 25, 1));
}

TEST(TimeZone, DamagedFilesAreRefused) {
    const std::string good = tzif('2', {1000}, {0}, {3600});
    const std::string cases[] = {
        "",
        "TZiX" + good.substr(4),
        good.substr(0, 40),
        good.substr(0, good.size() / 2),
        tzif('2', {1000}, {1}, {3600}),          // type index out of range
        tzif('2', {2000, 1000}, {0, 0}, {3600}), // transitions not ascending
        tzif('2', {1000}, {0}, {100000}),        // offset beyond a day
        tzif('2', {}, {}, {}),                   // no local time type
    };
    for (const auto& bytes : cases) EXPECT_THROW(TTimeZone::FromTzif(bytes, "x"), Error) << bytes.size();
    EXPECT_NO_THROW(TTimeZone::FromTzif(good, "x"));
}

TEST(TimeZone, NamesOutsideTheDatabaseAreUnknown) {
    for (const char* name : {"Mars/Olympus", "../../etc/passwd", "/etc/localtime", "Europe/../Europe/Berlin", ""}) {
        try {
            TTimeZone::Load(name);
            ADD_FAILURE() << name;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Unbekannte Zeitzone: ") + name);
        }
    }
}

TEST(TimeZone, MachineZoneFollowsTz) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", ":Europe/Berlin", 1);
    EXPECT_EQ(TTimeZone::Machine().OffsetAt(utc(2026, 7, 1, 0)), 7200);
    ::setenv("TZ", "", 1);
    EXPECT_EQ(TTimeZone::Machine().OffsetAt(utc(2026, 7, 1, 0)), 0);
    if (old) ::setenv("TZ", saved.c_str(), 1);
    else ::unsetenv("TZ");
}

TEST(ZonedVirtualClock, LocalTimeJumpsAtTheSpringChange) {
    ZonedVirtualClock clock(TTimeZone::Load("Europe/Berlin"), utc(2026, 3, 29, 0, 59, 59) * 1000);
    EXPECT_EQ(clock.localNow(), (DateTime{2026, 3, 29, 1, 59, 59, 0}));
    EXPECT_EQ(clock.nextLocalJumpMs(clock.utcMs()), utc(2026, 3, 29, 1) * 1000);
    clock.sleepMs(1000);
    EXPECT_EQ(clock.localNow(), (DateTime{2026, 3, 29, 3, 0, 0, 0}));
    EXPECT_EQ(clock.monotonicMs(), 1000);
    EXPECT_EQ(clock.nextLocalJumpMs(clock.utcMs()), utc(2026, 10, 25, 1) * 1000);
}

} // namespace
} // namespace v7300

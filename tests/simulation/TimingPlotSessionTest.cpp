#include "simulation/TimingPlotSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

namespace v7300 {
namespace {

struct Store : TSimulationState {
    mutable std::mutex mutex;
    std::map<std::string, std::string> values;
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override {
        std::lock_guard lock(mutex);
        const auto it = values.find(name);
        return it == values.end() ? "0" : it->second;
    }
    void Set(const std::string& name, const std::string& value) {
        std::lock_guard lock(mutex);
        values[name] = value;
    }
};

const std::int64_t kStart = (DateTime{2026, 1, 5, 12, 0, 0, 0}).toEpochMs();

TEST(TimingPlotSession, EntryAddedDuringARunStartsThenAndRemovingDropsItsLane) {
    TTimingPlotSession session;
    Store store;
    std::vector<std::vector<std::string>> told;
    session.SetOnEntriesChanged([&](const std::vector<std::string>& names) { told.push_back(names); });
    EXPECT_TRUE(session.Add("$OUT1__A1", "OUT1.A1"));
    EXPECT_FALSE(session.Add("$OUT1__A1", "OUT1.A1"));
    session.Begin(kStart, {});
    session.Sample(kStart, store);
    store.Set("$OUT1__A1", "1");
    session.Sample(kStart + 1000, store);
    EXPECT_TRUE(session.Add("$TIMER1_SEKUNDEN", "TIMER1.SEKUNDEN"));
    store.Set("$TIMER1_SEKUNDEN", "2,5");
    session.Sample(kStart + 2000, store);
    EXPECT_EQ(session.Csv(','), "Zeit [s];Datum/Uhrzeit;OUT1.A1;TIMER1.SEKUNDEN\r\n"
                                "0,000;2026-01-05 12:00:00,000;0;\r\n"
                                "1,000;2026-01-05 12:00:01,000;1;\r\n"
                                "2,000;2026-01-05 12:00:02,000;1;2,5\r\n");

    EXPECT_TRUE(session.Remove("$OUT1__A1"));
    EXPECT_FALSE(session.Contains("$OUT1__A1"));
    EXPECT_EQ(session.Names(), std::vector<std::string>{"$TIMER1_SEKUNDEN"});
    using Names = std::vector<std::string>;
    EXPECT_EQ(told, (std::vector<Names>{{"$OUT1__A1"}, {"$OUT1__A1", "$TIMER1_SEKUNDEN"}, {"$TIMER1_SEKUNDEN"}}));
    EXPECT_EQ(session.Csv(','), "Zeit [s];Datum/Uhrzeit;TIMER1.SEKUNDEN\r\n"
                                "2,000;2026-01-05 12:00:02,000;2,5\r\n");
    // The lane under the title row is the remaining entry's.
    EXPECT_EQ(session.NameAtY(TTimingPlotRenderer::kTop + 1), "$TIMER1_SEKUNDEN");
    EXPECT_EQ(session.NameAtY(0), std::nullopt);
}

TEST(TimingPlotSession, BeginKeepsTheEntriesAndAClockSetBackStartsAFreshRecording) {
    TTimingPlotSession session;
    Store store;
    session.Add("$A", "A");
    session.Begin(kStart, {});
    for (int i = 0; i <= 10; ++i) session.Sample(kStart + i * 1000, store);
    EXPECT_EQ(session.End(), 10000);
    session.Sample(kStart + 4000, store);
    EXPECT_EQ(session.End(), 0);
    EXPECT_EQ(session.Csv(','), "Zeit [s];Datum/Uhrzeit;A\r\n0,000;2026-01-05 12:00:04,000;0\r\n");
    session.Begin(kStart + 86400000, {});
    EXPECT_EQ(session.Names(), std::vector<std::string>{"$A"});
    EXPECT_EQ(session.Csv(','), "Zeit [s];Datum/Uhrzeit;A\r\n");
}

// A recording of `seconds` seconds of one entry.
void record(TTimingPlotSession& session, int seconds) {
    Store store;
    session.Add("$A", "A");
    session.Begin(kStart, {});
    for (int s = 0; s <= seconds; ++s) session.Sample(kStart + s * 1000LL, store);
}

TEST(TimingPlotSession, FollowsUntilScrolledBackAndAgainAtTheEnd) {
    TTimingPlotSession session;
    record(session, 300); // five minutes, a minute shown
    EXPECT_TRUE(session.Following());
    EXPECT_EQ(session.View(800).From, 240000);
    EXPECT_EQ(session.View(800).To, 300000);

    session.ScrollBy(-100000);
    EXPECT_FALSE(session.Following());
    EXPECT_EQ(session.View(800).From, 140000);
    Store store;
    session.Sample(kStart + 400000, store); // the view stays where the user left it
    EXPECT_EQ(session.View(800).From, 140000);

    session.ScrollBy(1000000);
    EXPECT_TRUE(session.Following());
    EXPECT_EQ(session.View(800).To, 400000);
}

TEST(TimingPlotSession, ZoomHalvesAndDoublesWithinOneSecondAndFourHundredDays) {
    TTimingPlotSession session;
    record(session, 10);
    for (int i = 0; i < 10; ++i) session.ZoomIn();
    EXPECT_EQ(session.SpanMs(), TTimingPlotSession::kMinSpanMs);
    EXPECT_EQ(session.View(800).To, 10000); // following: the right edge stays
    session.ZoomOut();
    EXPECT_EQ(session.SpanMs(), 2000);
    for (int i = 0; i < 40; ++i) session.ZoomOut();
    EXPECT_EQ(session.SpanMs(), TTimingPlotSession::kMaxSpanMs);
    session.ShowAll();
    EXPECT_EQ(session.SpanMs(), 10000);
    EXPECT_EQ(session.View(800).From, 0);
}

TEST(TimingPlotSession, ZoomKeepsTheMiddleWhenScrolledBack) {
    TTimingPlotSession session;
    record(session, 600);
    session.SetFollowing(false);
    session.ScrollTo(100000); // 100 s … 160 s
    session.ZoomIn();
    EXPECT_EQ(session.View(800).From, 115000);
    EXPECT_EQ(session.View(800).To, 145000);
}

TEST(TimingPlotSession, ScrollBarCoversTheRecordingInUnitsThatFitAnInt) {
    struct Case {
        std::int64_t endMs, spanMs;
        int maximum, page;
        std::int64_t unit;
    };
    for (const Case& c : {Case{300000, 60000, 240000, 60000, 1},
                          Case{60LL * 86400000, 122880000, 843520000, 20480000, 6}}) {
        TTimingPlotSession session;
        Store store;
        session.Add("$A", "A");
        session.Begin(kStart, {});
        session.Sample(kStart, store);
        session.Sample(kStart + c.endMs, store);
        while (session.SpanMs() < c.spanMs) session.ZoomOut();
        session.SetFollowing(false);
        const auto bar = session.ScrollBar();
        EXPECT_EQ(bar.UnitMs, c.unit) << c.endMs;
        EXPECT_EQ(bar.Maximum, c.maximum) << c.endMs;
        EXPECT_EQ(bar.Page, c.page) << c.endMs;
        EXPECT_EQ(bar.Value, bar.Maximum) << c.endMs;
        session.ScrollTo(bar.Maximum / 2);
        EXPECT_FALSE(session.Following());
        EXPECT_EQ(session.View(800).From, bar.Maximum / 2 * c.unit);
        session.ScrollTo(bar.Maximum);
        EXPECT_TRUE(session.Following());
    }
}

TEST(TimingPlotSession, SamplingThreadAndWindowShareTheSessionSafely) {
    TTimingPlotSession session;
    Store store;
    session.Add("$A", "A");
    session.Begin(kStart, {});
    std::thread cycling([&] {
        for (int i = 0; i < 2000; ++i) {
            store.Set("$A", std::to_string(i % 2));
            session.Sample(kStart + i * 110LL, store);
        }
    });
    for (int round = 0; round < 300; ++round) {
        const std::string name = "$B" + std::to_string(round % 3);
        session.Add(name, name);
        (void)session.ScrollBar();
        (void)session.NameAtY(TTimingPlotRenderer::kTop + 40);
        session.ZoomIn();
        session.Remove(name);
    }
    cycling.join();
    EXPECT_EQ(session.End(), 1999 * 110);
    EXPECT_EQ(session.Names(), std::vector<std::string>{"$A"});
    // 2000 alternating samples: every one a change.
    const std::string csv = session.Csv(',');
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2001);
}

} // namespace
} // namespace v7300

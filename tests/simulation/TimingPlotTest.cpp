#include "simulation/TimingPlot.h"

#include <gtest/gtest.h>

#include <map>

namespace v7300 {
namespace {

struct FakeStore : TSimulationState {
    std::map<std::string, std::string> values;
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? "0" : it->second;
    }
};

TEST(TimingPlot, KeepsOnlyChangesAndAnswersTheValueAtAnyTime) {
    FakeStore store;
    TTimingPlot plot({"$OUT1__A1", "$IN1__E1"}, (DateTime{2026, 1, 5, 12, 0, 0, 0}).toEpochMs());
    plot.Sample(110, store);
    plot.Sample(220, store);
    store.values["$OUT1__A1"] = "1";
    store.values["$IN1__E1"] = "21,5";
    plot.Sample(330, store);
    store.values["$OUT1__A1"] = "0";
    plot.Sample(440, store);
    plot.Sample(550, store);
    EXPECT_EQ(plot.Changes().size(), 5u);
    EXPECT_EQ(plot.End(), 550);
    EXPECT_EQ(plot.ValueAt(0, 100), "");
    EXPECT_EQ(plot.ValueAt(0, 329), "0");
    EXPECT_EQ(plot.ValueAt(0, 330), "1");
    EXPECT_EQ(plot.ValueAt(0, 1000), "0");
    EXPECT_TRUE(plot.Digital(0));
    EXPECT_FALSE(plot.Digital(1));
}

TEST(TimingPlot, CsvHasOneRowPerChangeTimeWithLocalTime) {
    FakeStore store;
    TTimingPlot plot({"$A", "$B;x"}, (DateTime{2026, 3, 29, 0, 59, 59, 0}).toEpochMs(),
                     TTimeZone::Load("Europe/Berlin"));
    plot.Sample(0, store);
    store.values["$A"] = "1";
    plot.Sample(1110, store);
    store.values["$B;x"] = "2,5";
    plot.Sample(1220, store);
    EXPECT_EQ(plot.Csv(','), "Zeit [s];Datum/Uhrzeit;$A;\"$B;x\"\r\n"
                             "0,000;2026-03-29 01:59:59,000;0;0\r\n"
                             "1,110;2026-03-29 03:00:00,110;1;0\r\n"
                             "1,220;2026-03-29 03:00:00,220;1;2,5\r\n");
}

TEST(TimingPlot, LongRunsKeepTheirLatestChanges) {
    TTimingPlot plot({"$T"}, 0, {}, 1000);
    for (std::int64_t i = 0; i < 1010; ++i) plot.Record(i, 0, std::to_string(i % 2));
    EXPECT_TRUE(plot.Truncated());
    EXPECT_LE(plot.Changes().size(), 1000u);
    EXPECT_EQ(plot.Changes().back().t, 1009);
}

} // namespace
} // namespace v7300

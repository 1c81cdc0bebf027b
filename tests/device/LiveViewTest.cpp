// The live-view session on a virtual clock: request numbering, object numbers
// past free texts, the value table, the checksum stop, the adaptive interval,
// the status texts and the lost link.
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "device/LiveView.h"
#include "simulation/LogicSimulation.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Records the store writes under their store names.
class FakeStore : public TLiveValueSink {
public:
    void SetOutputState(const std::string& c, int n, std::int32_t v) override {
        values["$" + c + "__A" + std::to_string(n)] = v;
    }
    void SetObjectValue(const std::string& c, const std::string& variable, double v) override {
        values["$" + c + "_" + variable] = v;
    }
    std::map<std::string, double> values;
};

constexpr std::int32_t kChecksum = 0x12345; // the device holds 0x2345

TV7300Telegram liveReply(std::uint8_t object, std::vector<std::uint16_t> words = {0}, std::int16_t cycle = 10,
                         std::uint16_t checksum = kChecksum & 0xFFFF) {
    TV7300Telegram t;
    t.Command = CmdLogikOutput;
    t.Kind = kKindGet;
    t.Payload = {object, static_cast<std::uint8_t>(checksum >> 8), static_cast<std::uint8_t>(checksum & 0xFF),
                 static_cast<std::uint8_t>(static_cast<std::uint16_t>(cycle) >> 8),
                 static_cast<std::uint8_t>(cycle & 0xFF)};
    for (auto w : words) {
        t.Payload.push_back(static_cast<std::uint8_t>(w >> 8));
        t.Payload.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    return t;
}

class LiveViewTest : public ::testing::Test {
protected:
    LiveViewTest() {
        live.OnStopped = [this](TLiveStop reason) {
            stops.push_back(reason);
            messagesAtStop = messages.messages.size();
        };
    }
    void start(std::vector<std::string> names = {"TXT1", "AND1", "OR1"}) {
        live.Start(std::move(names), kChecksum, now);
    }
    // One device tick of 100 ms with `replies` live replies before it.
    void tickWith(int replies, std::int16_t cycle = 10) {
        for (int i = 0; i < replies; ++i) live.onTelegram(liveReply(0, {0}, cycle));
        now += TLiveView::kDeviceTimerMs;
        live.onTick(now);
    }
    std::vector<int> requested() const {
        std::vector<int> numbers;
        for (const auto& t : sent) {
            EXPECT_EQ(t.Command, CmdLogikOutput);
            numbers.push_back(t.Payload.at(0));
        }
        return numbers;
    }

    std::int64_t now = 1000;
    std::vector<TV7300Telegram> sent;
    FakeStore store;
    test::RecordingMessagePort messages;
    TLiveView live{[this](const TV7300Telegram& t) { sent.push_back(t); }, store, messages};
    std::vector<TLiveStop> stops;
    std::size_t messagesAtStop = 0;
};

TEST_F(LiveViewTest, StartShowsConnectingAndAsksEveryComponentNumberThenZero) {
    start();
    EXPECT_EQ(live.HardwareStatus(), "Live View (Connecting)");
    EXPECT_EQ(live.LiveInterval(), 100);
    for (int i = 0; i < 6; ++i) {
        now = live.NextDeadline();
        live.onTick(now);
    }
    // The device timer's ticks fall between; only the live timer sends.
    EXPECT_EQ(requested(), (std::vector<int>{1, 2, 3, 0, 1, 2}));
}

TEST_F(LiveViewTest, RequestNumberGoesOnInTheNextLiveView) {
    start();
    live.onTick(now += 100);
    live.Stop();
    live.onTick(now += 100);
    start();
    live.onTick(now += 100);
    EXPECT_EQ(requested(), (std::vector<int>{1, 2}));
}

TEST_F(LiveViewTest, ObjectNumbersSkipFreeTextsAndZeroNamesNoComponent) {
    start({"TXT1", "AND1", "OR1"});
    live.onTelegram(liveReply(2, {1}));
    live.onTelegram(liveReply(1, {0}));
    live.onTelegram(liveReply(0, {1}));
    live.onTelegram(liveReply(3, {1}));
    EXPECT_EQ(store.values, (std::map<std::string, double>{{"$OR1__A1", 1}, {"$AND1__A1", 0}}));
    EXPECT_EQ(live.ObjectName(0), "");
}

TEST_F(LiveViewTest, ValuesByTypePrefix) {
    struct Case {
        const char* name;
        std::vector<std::uint16_t> words;
        std::map<std::string, double> expected; // without the component prefix
    };
    const std::vector<Case> cases = {
        {"AND1", {1, 7, 7}, {{"__A1", 1}}},
        {"ASWITCH1", {0xFFFE}, {{"__A1", -2}, {"_WERT", -2}}},
        {"BUS-TEMP-II1", {0x00D7, 0xFF9C}, {{"__A1", 215}, {"_VALUE1", 21.5}, {"_VALUE2", -10}}},
        {"TIMER1", {1, 0, 0xFFFF, 120}, {{"__A1", 1}, {"_COUNTER", 65535}, {"_SEKUNDEN", 120}}},
        {"COUNT1", {0, 0, 3, 0, 5}, {{"__A1", 0}, {"_ZAEHLER", 3}, {"_COUNTER", 5}}},
        {"ROLLO1", {1, 0, 0, 1, 30}, {{"__A1", 1}, {"_DIRECTION", 1}, {"_COUNTER", 30}}},
        {"SCHWELLE1", {1, 0xFFF6, 600, 400}, {{"__A1", 1}, {"_VALUE", -10}, {"_SCHWELLEUP", 600}, {"_SCHWELLEDOWN", 400}}},
        {"VALUE1", {0xFFFB, 0, 0, 0, 0, 100, 0xFF9C}, {{"__A1", -5}, {"_VALUE", -5}, {"_MAX", 100}, {"_MIN", -100}}},
        {"BUS-IN-II1", {0x0101, 0x0100, 0xFF01}, {{"__A1", 1}, {"__A2", 0}, {"__A3", 1}}},
        // Only the words the reply holds are written.
        {"TIMER2", {1, 0, 9}, {{"__A1", 1}, {"_COUNTER", 9}}},
        {"INV1", {}, {}},
    };
    for (const auto& c : cases) {
        FakeStore fake;
        std::vector<TLiveValue> recorded;
        TLiveView session([](const TV7300Telegram&) {}, fake, messages);
        session.OnValue = [&](const TLiveValue& v) { recorded.push_back(v); };
        session.Start({c.name}, kChecksum, 0);
        session.onTelegram(liveReply(1, c.words));
        std::map<std::string, double> expected;
        for (const auto& [suffix, v] : c.expected) expected["$" + std::string(c.name) + suffix] = v;
        EXPECT_EQ(fake.values, expected) << c.name;
        EXPECT_EQ(recorded.size(), c.name == std::string("BUS-IN-II1") ? 4u : c.expected.size()) << c.name;
    }
}

TEST_F(LiveViewTest, RecordedValuesNameOutputsAsA1) {
    std::vector<TLiveValue> recorded;
    live.OnValue = [&](const TLiveValue& v) { recorded.push_back(v); };
    start({"BUS-TEMP-II1"});
    live.onTelegram(liveReply(1, {0x00D7}));
    EXPECT_EQ(recorded, (std::vector<TLiveValue>{{"BUS-TEMP-II1", "A1", 215}, {"BUS-TEMP-II1", "VALUE1", 21.5}}));
}

TEST_F(LiveViewTest, WritesTheRuntimeStoreInItsNumberForm) {
    setDecimalSeparator(',');
    VirtualClock clock;
    TSimulate sim(clock);
    TLiveStoreSink<TSimulate> sink(sim);
    TLiveView session([](const TV7300Telegram&) {}, sink, messages);
    session.Start({"TXT1", "BUS-TEMP-II1", "ASWITCH1"}, kChecksum, 0);
    session.onTelegram(liveReply(1, {0x00D7}));
    session.onTelegram(liveReply(2, {0xFFFE}));
    EXPECT_EQ(sim.GetVariable("$BUS-TEMP-II1_VALUE1"), "21,5");
    EXPECT_EQ(sim.GetVariable("$ASWITCH1__A1"), "-2");
    EXPECT_EQ(sim.GetVariable("$ASWITCH1_WERT"), "-2");
}

TEST_F(LiveViewTest, ChecksumMismatchStopsOnceAndLaterRepliesAreIgnored) {
    start();
    live.onTelegram(liveReply(1, {1}, 10, 0x2346));
    EXPECT_FALSE(live.Running());
    EXPECT_EQ(live.StatusEx(), "Liveview wegen CRC-Fehler nicht möglich!");
    // Replies still under way: no second stop, no values, no message box.
    live.onTelegram(liveReply(2, {1}, 10, 0x2346));
    live.onTelegram(liveReply(1, {1}));
    EXPECT_EQ(stops, (std::vector<TLiveStop>{TLiveStop::ChecksumMismatch}));
    EXPECT_TRUE(store.values.empty());
    EXPECT_TRUE(messages.messages.empty());
    live.onTick(now += 1000);
    EXPECT_TRUE(sent.empty());
}

TEST_F(LiveViewTest, ChecksumComparesBothBytes) {
    start();
    live.onTelegram(liveReply(1, {1}, 10, 0x2245)); // high byte differs
    EXPECT_EQ(stops.size(), 1u);
    start();
    live.onTelegram(liveReply(1, {1}, 10, 0x2345));
    EXPECT_TRUE(live.Running());
    EXPECT_EQ(live.StatusEx(), ""); // cleared by the start
}

TEST_F(LiveViewTest, ReplyWithoutHeaderCountsButChangesNothing) {
    start();
    TV7300Telegram t;
    t.Command = CmdLogikOutput;
    t.Payload = {1, 0x23};
    for (int i = 0; i < 5; ++i) live.onTelegram(t);
    live.onTick(now += 100);
    EXPECT_TRUE(live.Running());
    EXPECT_TRUE(store.values.empty());
    EXPECT_EQ(live.RateHistory().back(), 50.0);
}

TEST_F(LiveViewTest, IntervalGrowsAbove50RepliesPerSecondUpTo200) {
    start();
    tickWith(6);
    EXPECT_EQ(live.LiveInterval(), 103);
    for (int i = 0; i < 40; ++i) tickWith(6);
    EXPECT_EQ(live.LiveInterval(), 200);
}

TEST_F(LiveViewTest, IntervalShrinksBelow50RepliesPerSecondDownTo5) {
    start();
    tickWith(2);
    EXPECT_EQ(live.LiveInterval(), 97);
    for (int i = 0; i < 40; ++i) tickWith(2);
    EXPECT_EQ(live.LiveInterval(), 5);
}

TEST_F(LiveViewTest, StatusShowsCycleTimeAndAverageOfTheLast25Ticks) {
    start();
    tickWith(4, 12);
    for (int i = 0; i < 24; ++i) tickWith(5, 12); // (40 + 24 × 50) / 25 = 49.6
    EXPECT_DOUBLE_EQ(live.AverageRate(), 49.6);
    EXPECT_EQ(live.HardwareStatus(), "Live View ( 12 ms / pps: 50)");
    tickWith(5, -3); // the 40 drops out of the history
    EXPECT_EQ(live.RateHistory().size(), 25u);
    EXPECT_EQ(live.HardwareStatus(), "Live View ( -3 ms / pps: 50)");
}

TEST_F(LiveViewTest, MoreThanTenSilentTicksStopWithTheErrorBoxAfterTheStop) {
    start();
    for (int i = 0; i < 10; ++i) tickWith(0);
    EXPECT_TRUE(live.Running());
    EXPECT_EQ(live.HardwareStatus(), "Live View ( Connecting )");
    tickWith(0);
    EXPECT_FALSE(live.Running());
    EXPECT_EQ(stops, (std::vector<TLiveStop>{TLiveStop::ConnectionLost}));
    EXPECT_EQ(messagesAtStop, 0u); // the box comes after the stop action
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Fehler");
    EXPECT_EQ(messages.messages[0].text, "Livemode verbindung verloren!");
}

TEST_F(LiveViewTest, RateHistoryCarriesIntoTheNextLiveView) {
    start();
    tickWith(5);
    live.Stop();
    start();
    EXPECT_EQ(live.HardwareStatus(), "Live View (Connecting)");
    tickWith(0);
    EXPECT_EQ(live.RateHistory().size(), 2u);
    EXPECT_EQ(live.HardwareStatus(), "Live View ( 10 ms / pps: 25)");
}

TEST_F(LiveViewTest, RepliesAfterAStopByTheUserAreIgnored) {
    start();
    live.Stop();
    live.onTelegram(liveReply(1, {1}, 10, 0x1111));
    EXPECT_TRUE(stops.empty());
    EXPECT_TRUE(store.values.empty());
    EXPECT_EQ(live.StatusEx(), "");
}

TEST_F(LiveViewTest, TheTwoTimersOfTheWindowDriveTheSameWork) {
    start();
    live.LiveTimerTick();
    live.LiveTimerTick();
    EXPECT_EQ(requested(), (std::vector<int>{1, 2}));
    live.onTelegram(liveReply(0, {0}, 12));
    live.DeviceTimerTick();
    EXPECT_EQ(live.HardwareStatus(), "Live View ( 12 ms / pps: 10)");
    EXPECT_EQ(live.LiveInterval(), TLiveView::kStartIntervalMs - TLiveView::kIntervalStepMs);
    live.Stop();
    live.LiveTimerTick();
    live.DeviceTimerTick();
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(live.RateHistory().size(), 1u);
}

} // namespace
} // namespace v7300

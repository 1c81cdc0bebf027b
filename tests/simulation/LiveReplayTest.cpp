// Recording a live view and replaying it: the file format, the recorder's file
// handling, and the replay that feeds the inputs and reports lasting disagreements.
#include "simulation/LiveReplay.h"

#include "SimTestSupport.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using simtest::makeComponent;

const TLiveRecordingHeader kHeader{25068, {2026, 1, 5, 12, 0, 0, 250}, "Flur ü;1.v7k"};

TEST(LiveRecording, LinesRoundTrip) {
    const std::vector<TLiveSample> samples = {{0, "IN1", "A1", 1}, {120, "BUS-TEMP-II1", "VALUE1", -10.5}};
    std::string text = LiveRecordingHeaderLine(kHeader) + "\r\n";
    for (const auto& s : samples) text += LiveRecordingLine(s) + "\r\n";
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "V7300-LiveView-Aufzeichnung;CRC=25068;Start=2026-01-05T12:00:00.250;Projekt=Flur \xFC;1.v7k\r\n");
    EXPECT_NE(text.find("\r\n120;BUS-TEMP-II1;VALUE1;-10.5\r\n"), std::string::npos);
    const TLiveRecording r = ParseLiveRecording(text);
    EXPECT_EQ(r.Header, kHeader);
    EXPECT_EQ(r.Samples, samples);
}

TEST(LiveRecording, ACutLastLineIsDroppedADamagedLineIsAnError) {
    const std::string head = LiveRecordingHeaderLine(kHeader) + "\r\n10;IN1;A1;1\r\n";
    EXPECT_EQ(ParseLiveRecording(head + "20;IN1;A").Samples.size(), 1u);
    EXPECT_THROW(ParseLiveRecording(head + "20;IN1;A\r\n30;IN1;A1;0\r\n"), Error);
    EXPECT_THROW(ParseLiveRecording("25068;IN1;A1;1\r\n"), Error);
    EXPECT_THROW(ParseLiveRecording(""), Error);
}

TEST(LiveRecorder, WritesWithinASecondAndReplacesOnlyARecording) {
    test::TempDir dir;
    const std::string project = dir.file("anlage.v7k");
    test::writeFile(project, "<v7300/>");
    EXPECT_THROW(TLiveRecorder(project, kHeader, 0), Error);
    EXPECT_EQ(test::readFile(project), "<v7300/>");

    const std::string path = dir.file("live.txt");
    test::writeFile(path, LiveRecordingHeaderLine(kHeader) + "\r\n5;OLD1;A1;1\r\n");
    TLiveRecorder recorder(path, kHeader, 0);
    recorder.Add({40, "IN1", "A1", 1});
    recorder.Tick(1000);
    const TLiveRecording r = ReadLiveRecording(path); // read while the recorder still runs
    EXPECT_EQ(r.Samples, (std::vector<TLiveSample>{{40, "IN1", "A1", 1}}));
    recorder.Close();
}

class LiveReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDecimalSeparator(',');
        logic.NewProject();
        logic.Components.Add(makeComponent("IN1", {"% $_A1 = $_E1"}));
        logic.Components.Add(makeComponent("OUT1", {"% $_A1 = $_E1"}));
        logic.Components.Add(
            makeComponent("BUS-TEMP-II1", {"% $_A1 = $_E1", "% $VALUE1 = $_E1", "% $VALUE1 /= 10"}));
        logic.Components.Add(makeComponent("INV1", {"% $_A1 = 1"}));
        logic.Wires.AddWire("IN1", 0, 0, "OUT1");
        runtime.Simulate(false);
    }
    // A recording sampled every 80 ms from 0 to 1600 ms: IN1 (switched on at
    // 400 ms), the device's OUT1 as `out` says, and INV1 always 1.
    TLiveRecording recording(const std::function<int(std::int64_t)>& out) {
        TLiveRecording r;
        for (std::int64_t t = 0; t <= 1600; t += 80) {
            r.Samples.push_back({t, "IN1", "A1", t >= 400 ? 1.0 : 0.0});
            r.Samples.push_back({t + 20, "OUT1", "A1", static_cast<double>(out(t + 20))});
            r.Samples.push_back({t + 40, "INV1", "A1", 1});
        }
        return r;
    }
    std::vector<TReplayDifference> replay(TLiveRecording r) {
        std::vector<TReplayDifference> found;
        TLiveReplay replayer(logic, runtime, clock, std::move(r));
        replayer.OnDifference = [&](const TReplayDifference& d) { found.push_back(d); };
        replayer.Run();
        EXPECT_EQ(replayer.Differences(), static_cast<int>(found.size()));
        return found;
    }

    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    VirtualClock clock;
    TLogicSimulation runtime{logic, clock};
};

TEST_F(LiveReplayTest, AFollowingDeviceAgrees) {
    // The device's output follows one sweep later than the simulation's pass.
    EXPECT_TRUE(replay(recording([](std::int64_t t) { return t >= 500 ? 1 : 0; })).empty());
    EXPECT_EQ(runtime.Simulator().GetVariable("$OUT1__A1"), "1");
}

TEST_F(LiveReplayTest, ALastingDisagreementIsReportedOnceFromItsFirstSample) {
    const auto found = replay(recording([](std::int64_t t) { return t >= 1000 ? 1 : 0; }));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Component, "OUT1");
    EXPECT_EQ(found[0].Variable, "A1");
    EXPECT_EQ(found[0].Device, "0");
    EXPECT_EQ(found[0].Simulation, "1");
    EXPECT_EQ(found[0].Ms, 500); // the first sample after the simulation switched on
}

TEST_F(LiveReplayTest, TwoSweepsOfDisagreementAreNotReported) {
    // Off for two samples (820 and 900 ms) while the simulation has it on.
    EXPECT_TRUE(replay(recording([](std::int64_t t) { return t >= 500 && (t < 820 || t > 900) ? 1 : 0; })).empty());
}

TEST_F(LiveReplayTest, BusTemperaturesAreFedInTenths) {
    TLiveRecording r;
    for (std::int64_t t = 0; t <= 500; t += 100) {
        r.Samples.push_back({t, "BUS-TEMP-II1", "A1", 215});
        r.Samples.push_back({t, "BUS-TEMP-II1", "VALUE1", 21.5});
    }
    EXPECT_TRUE(replay(r).empty());
    EXPECT_EQ(runtime.Simulator().GetVariable("$BUS-TEMP-II1_VALUE1"), "21,5");
    EXPECT_EQ(runtime.Simulator().GetVariable("$BUS-TEMP-II1__A1"), "215");
}

} // namespace
} // namespace v7300

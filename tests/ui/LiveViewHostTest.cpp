// The window's live view over a simulation without its worker: live values in
// the store the diagram is drawn from, the recording, and the stops by itself.
#include "ui/device/LiveViewHost.h"

#include "EditorFixture.h"
#include "device/UnitV7300EEPROMData.h"
#include "simulation/SimTestSupport.h"

#include <QTimer>

namespace v7300 {
namespace {

TV7300Telegram liveReply(std::uint8_t object, std::int32_t checksum, std::vector<std::uint16_t> words) {
    TV7300Telegram t;
    t.Command = CmdLogikOutput;
    t.Payload = {object, static_cast<std::uint8_t>(checksum >> 8 & 0xFF), static_cast<std::uint8_t>(checksum & 0xFF),
                 0, 12};
    for (auto w : words) {
        t.Payload.push_back(static_cast<std::uint8_t>(w >> 8));
        t.Payload.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    return t;
}

class LiveViewHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureQApplication();
        logic.Components.Add(simtest::makeComponent("TXT1", {}));
        logic.Components.Add(simtest::makeComponent("TIMER1", {"% $_A1 = $_E1"}));
        simulation.Simulate(false);
        simulation.StopSimThread();
        host.Start();
    }
    std::int32_t checksum() { return GetCrc(logic); }

    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    VirtualClock clock;
    TLogicSimulation simulation{logic, clock};
    std::vector<TV7300Telegram> sent;
    int stopActions = 0;
    int changes = 0;
    int redraws = 0;
    TLiveViewHost host{logic, simulation, messages, clock,
                       TLiveViewHostPorts{[this](const TV7300Telegram& t) { sent.push_back(t); },
                                          [this] {
                                              ++stopActions;
                                              host.Stop();
                                          },
                                          [this](bool redraw) {
                                              ++changes;
                                              if (redraw) ++redraws;
                                          }},
                       false};
};

TEST_F(LiveViewHostTest, LiveValuesReachTheStoreAndTheRecording) {
    EXPECT_EQ(host.LiveTimer()->interval(), 100);
    host.LiveTimerTick();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Payload.at(0), 1); // the free text counts in the request numbers
    test::TempDir dir;
    ASSERT_TRUE(host.StartRecording(dir.file("live.txt"), "flur.v7k"));
    clock.advanceMs(250);
    host.OnTelegram(liveReply(1, checksum(), {1, 0, 7, 30}));
    EXPECT_EQ(simulation.Simulator().GetVariable("$TIMER1__A1"), "1");
    EXPECT_EQ(simulation.Simulator().GetVariable("$TIMER1_SEKUNDEN"), "30");

    const int before = changes;
    EXPECT_TRUE(host.DeviceTimerTick());
    EXPECT_EQ(changes, before + 1); // the values are drawn with the device tick
    EXPECT_EQ(host.HardwareStatus(), "Live View ( 12 ms / pps: 10)");
    host.Stop();
    const TLiveRecording r = ReadLiveRecording(dir.file("live.txt"));
    EXPECT_EQ(r.Header.Checksum, checksum());
    EXPECT_EQ(r.Header.Project, "flur.v7k");
    EXPECT_EQ(r.Samples.front(), (TLiveSample{250, "TIMER1", "A1", 1}));
    EXPECT_FALSE(host.Recording());
}

TEST_F(LiveViewHostTest, OnlyAChangedValueRepaintsTheDiagram) {
    host.OnTelegram(liveReply(1, checksum(), {1, 0, 7, 30}));
    host.DeviceTimerTick();
    const int before = redraws;
    host.OnTelegram(liveReply(1, checksum(), {1, 0, 7, 30}));
    host.DeviceTimerTick();
    EXPECT_EQ(redraws, before); // the same values again: the texts at most
    host.OnTelegram(liveReply(1, checksum(), {1, 0, 7, 29}));
    host.DeviceTimerTick();
    EXPECT_EQ(redraws, before + 1);
}

TEST_F(LiveViewHostTest, ChecksumMismatchRunsTheStopActionOnce) {
    host.OnTelegram(liveReply(1, checksum() + 1, {1}));
    host.OnTelegram(liveReply(1, checksum() + 1, {1}));
    EXPECT_EQ(stopActions, 1);
    EXPECT_FALSE(host.Running());
    EXPECT_FALSE(host.LiveTimer()->isActive());
    EXPECT_EQ(host.StatusEx(), "Liveview wegen CRC-Fehler nicht möglich!");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(LiveViewHostTest, TheLostLinkEndsTheDeviceTick) {
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(host.DeviceTimerTick());
    EXPECT_FALSE(host.DeviceTimerTick());
    EXPECT_EQ(stopActions, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Livemode verbindung verloren!");
}

} // namespace
} // namespace v7300

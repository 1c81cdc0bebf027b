// The main window's live view: the controller's values drawn in the diagram,
// the status panel texts, the recording from the "Datei" menu, and the stop on
// another program in the controller.
#include "EditorFixture.h"
#include "device/UnitV7300EEPROMData.h"
#include "simulation/LiveRecording.h"
#include "ui/device/LiveViewHost.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QToolButton>

namespace v7300::test {
namespace {

TV7300Telegram LiveReply(std::uint8_t object, std::int32_t checksum, std::vector<std::uint16_t> words) {
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

QImage Shot(QWidget& widget, const char* name) {
    const QImage image = widget.grab().toImage();
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    return image;
}

TEST_F(EditorTest, LiveViewDrawsTheControllersValuesAndRecordsThem) {
    Place("IN", 20, 10);
    Place("TIMER", 40, 10);
    ASSERT_GE(form->Logic().add_verbinder("IN1", 0, 0, "TIMER1"), 0);
    const std::int32_t crc = GetCrc(form->Logic());
    form->StartSimulation(true);
    EXPECT_EQ(form->HardwareStatus()->text(), QStringLiteral("Live View (Connecting)"));
    EXPECT_FALSE(form->ButtonStartLive()->isEnabled());
    QAction* record = form->Action(QStringLiteral("LiveView aufzeichnen…"));
    ASSERT_NE(record, nullptr);
    dialogs.answers.push_back(dir.file("live.txt"));
    record->trigger();
    EXPECT_TRUE(form->LiveView()->Recording());
    QCoreApplication::processEvents();
    const QImage off = form->Area()->grab().toImage();

    clock.advanceMs(300);
    form->OnTelegram(LiveReply(1, crc, {1}));      // IN1 on
    form->OnTelegram(LiveReply(2, crc, {1, 0, 0, 95})); // TIMER1 on, 95 s
    form->DeviceTimerTick();
    EXPECT_EQ(form->Simulation()->Simulator().GetVariable("$TIMER1_SEKUNDEN"), "95");
    EXPECT_EQ(form->HardwareStatus()->text(), QStringLiteral("Live View ( 12 ms / pps: 20)"));
    QCoreApplication::processEvents();
    Shot(*form, "live-view-values");
    EXPECT_NE(form->Area()->grab().toImage(), off); // the values and output states are drawn

    form->StopSimulation();
    EXPECT_FALSE(record->isEnabled());
    const TLiveRecording r = ReadLiveRecording(dir.file("live.txt"));
    EXPECT_EQ(r.Header.Checksum, crc);
    ASSERT_FALSE(r.Samples.empty());
    EXPECT_EQ(r.Samples.front(), (TLiveSample{300, "IN1", "A1", 1}));
}

TEST_F(EditorTest, AnotherProgramInTheControllerStopsTheLiveViewWithTheStatusText) {
    Place("AND", 20, 10);
    form->StartSimulation(true);
    form->OnTelegram(LiveReply(1, GetCrc(form->Logic()) + 1, {1}));
    form->OnTelegram(LiveReply(1, GetCrc(form->Logic()) + 1, {1}));
    EXPECT_FALSE(form->Logic().Simulating());
    EXPECT_FALSE(form->LiveView()->Running());
    EXPECT_FALSE(form->ButtonStop()->isEnabled());
    EXPECT_EQ(form->StatusEx()->text(), QStringLiteral("Liveview wegen CRC-Fehler nicht möglich!"));
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
} // namespace v7300::test

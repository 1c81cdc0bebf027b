// The bus configuration window "V²BUS - Konfigurator" offscreen, over a virtual
// controller with bus modules in process and a virtual clock.
#include "ControllerPeer.h"
#include "EditorFixture.h"
#include "ui/device/DeviceWidgets.h"
#include "ui/device/UnitRS485Config.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

namespace v7300::test {
namespace {

TVirtualControllerOptions WithModules() {
    TVirtualControllerOptions o;
    o.Bus = {ParseBusModule("5:O:0.2:4"), ParseBusModule("7:T:0.2:4"), ParseBusModule("9:P:0.2:2"),
             ParseBusModule("3:I:0.2:8")};
    o.Bus[3].PortBits = 0x81; // inputs 1 and 8 on
    return o;
}

QColor ButtonColour(const QPushButton& b) {
    const QString sheet = b.styleSheet();
    const int at = sheet.indexOf(QStringLiteral("background: "));
    return at < 0 ? QColor() : QColor(sheet.mid(at + 12, 7));
}

class BusWindowTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }
    std::unique_ptr<TFrmRS485Config> Open() {
        auto w = std::make_unique<TFrmRS485Config>("127.0.0.1", peer.Port(), clock, messages);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    void Run(TFrmRS485Config& w, int ms) {
        for (int t = 0; t < ms; t += 10) {
            clock.advanceMs(10);
            w.Tick();
            peer.Controller().Tick();
            peer.Deliver();
        }
    }
    // "Device Finden" for one ID, then the line of that module selected.
    void FindAndSelect(TFrmRS485Config& w, const char* id) {
        w.FindField()->setText(QString::fromLatin1(id));
        Q_EMIT w.FindField()->textEdited(w.FindField()->text());
        w.FindButton()->click();
        Run(w, 50);
        ASSERT_GT(w.DeviceList()->count(), 0);
        w.DeviceList()->setCurrentRow(w.DeviceList()->count() - 1);
        Run(w, 50);
    }
    VirtualClock clock;
    ControllerPeer peer{clock, WithModules()};
    RecordingMessagePort messages;
};

TEST_F(BusWindowTest, OpensBlackWithItsTextsAndNoPanel) {
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("V²BUS - Konfigurator"));
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(w->DeviceType()->text(), QStringLiteral("UNKNOWN DEVICE"));
    EXPECT_EQ(w->DeviceFirmware()->text(), QStringLiteral("XX.XX"));
    EXPECT_EQ(w->SearchButton()->text(), QStringLiteral("Alle Device suchen"));
    for (auto* panel : {w->OutputPanel(), w->InputPanel(), w->TemperaturePanel(), w->PwmPanel()})
        EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(w->NoteMemo()->toPlainText().split('\n').size(), 3);
    EXPECT_TRUE(w->NoteMemo()->toPlainText().startsWith(QStringLiteral("Die Konfiguration mit vielen Komponenten")));
    EXPECT_TRUE(peer.Subscribed());
    SaveScreenshot(*w, "bus_window.png");
}

TEST_F(BusWindowTest, PortClickAndTransferSwitchTheOutputAndTheReplyColoursThePanels) {
    auto w = Open();
    FindAndSelect(*w, "5");
    EXPECT_EQ(w->DeviceList()->item(0)->text(), QStringLiteral("[ 0x05 ] OUTPUT RELAIS 4Fach"));
    EXPECT_EQ(w->DeviceType()->text(), QStringLiteral("OUTPUT DEVICE RELAIS 4Fach"));
    ASSERT_TRUE(w->OutputPanel()->isVisible());
    EXPECT_TRUE(w->OutputPort(3)->isVisible());
    EXPECT_FALSE(w->OutputPort(4)->isVisible());
    EXPECT_EQ(ButtonColour(*w->OutputPort(0)), QColor(0, 255, 0));

    w->OutputPort(0)->click();
    EXPECT_EQ(ButtonColour(*w->OutputPort(0)), QColor(255, 0, 0));
    w->OutputSendButton()->click();
    Run(*w, 50);
    EXPECT_EQ(peer.Controller().BusModules()[0].PortBits, 0x80);
    EXPECT_EQ(ButtonColour(*w->OutputPort(0)), QColor(255, 0, 0)); // the module's reply: port 1 on
    SaveScreenshot(*w, "bus_window_output.png");

    w->OutputPort(0)->click();
    w->OutputSendButton()->click();
    Run(*w, 50);
    EXPECT_EQ(peer.Controller().BusModules()[0].PortBits, 0x00);
    EXPECT_EQ(ButtonColour(*w->OutputPort(0)), QColor(0, 255, 0));
    EXPECT_TRUE(w->LogMemo()->toPlainText().contains(QStringLiteral("02 05 ")));
}

TEST_F(BusWindowTest, TemperatureModuleIsReadAtOnce) {
    auto w = Open();
    FindAndSelect(*w, "7");
    ASSERT_TRUE(w->TemperaturePanel()->isVisible());
    EXPECT_EQ(w->Temperature(0)->text(), QStringLiteral("21.5 °C"));
    EXPECT_EQ(w->Temperature(3)->text(), QStringLiteral("-5.0 °C"));
    EXPECT_TRUE(w->Temperature(3)->isVisible());
    SaveScreenshot(*w, "bus_window_temperature.png");
}

TEST_F(BusWindowTest, PwmSlidersAndSpecialSettings) {
    auto w = Open();
    FindAndSelect(*w, "9");
    ASSERT_TRUE(w->PwmPanel()->isVisible());
    w->PwmSlider(0)->setValue(200);
    w->PwmSlider(1)->setValue(17);
    w->PwmSendButton()->click();
    Run(*w, 50);
    EXPECT_EQ(peer.Controller().BusModules()[2].Duty, (std::array<std::uint8_t, 2>{200, 17}));

    w->SpecialButton()->click();
    Run(*w, 50);
    EXPECT_FALSE(w->SpecialButton()->isVisible());
    EXPECT_TRUE(w->FrequencyList(1)->isVisible());
    w->FrequencyList(1)->setCurrentIndex(3);
    Q_EMIT w->FrequencyList(1)->activated(3);
    w->InvertBox(0)->setChecked(true);
    w->SetButton()->click();
    Run(*w, 50);
    // Code 6 is "240Hz" on channel 2; the flag 0 means inverted.
    EXPECT_EQ(peer.Controller().BusModules()[2].PwmSettings, (std::array<std::uint8_t, 4>{1, 0, 6, 1}));
    SaveScreenshot(*w, "bus_window_pwm.png");
}

TEST_F(BusWindowTest, InputIndicatorsShowTheModulesInputs) {
    auto w = Open();
    FindAndSelect(*w, "3");
    ASSERT_TRUE(w->InputPanel()->isVisible());
    EXPECT_EQ(device_ui::PanelColour(*w->InputIndicator(0)), QColor(0, 255, 0));
    EXPECT_EQ(device_ui::PanelColour(*w->InputIndicator(1)), QColor(255, 0, 0));
    EXPECT_EQ(device_ui::PanelColour(*w->InputIndicator(7)), QColor(0, 255, 0));
}

TEST_F(BusWindowTest, SearchListsEveryModuleAndEndsByItself) {
    auto w = Open();
    w->Session().SetSearchInterval(10);
    w->SearchButton()->click();
    EXPECT_EQ(w->SearchButton()->text(), QStringLiteral("Suche Stoppen"));
    EXPECT_FALSE(w->FindButton()->isEnabled());
    Run(*w, 1200);
    EXPECT_EQ(w->SearchButton()->text(), QStringLiteral("Alle Device suchen"));
    EXPECT_TRUE(w->FindButton()->isEnabled());
    EXPECT_EQ(w->StatusLine()->text(), QStringLiteral("32 / 32"));
    ASSERT_EQ(w->DeviceList()->count(), 4);
    EXPECT_EQ(w->DeviceList()->item(0)->text(), QStringLiteral("[ 0x03 ] INPUT 8Fach"));
    EXPECT_EQ(peer.SentWith(CmdLogikState).size(), 2u); // at the start and at the end
}

TEST_F(BusWindowTest, IdTransferWithoutSelectionAsksForOne) {
    auto w = Open();
    w->IdButton()->click();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Bitte zuerst ein Device auswählen!"});
}

TEST_F(BusWindowTest, ConnectionLabelFollowsThePings) {
    auto w = Open();
    Run(*w, 1200);
    EXPECT_EQ(w->ConnectionLabel()->text(), QStringLiteral("Nicht Verbunden"));
    Run(*w, 1200);
    EXPECT_EQ(w->ConnectionLabel()->text(), QStringLiteral("Verbunden"));
}

TEST_F(BusWindowTest, ClosingRestartsTheLogicAndReleasesTheLink) {
    auto w = Open();
    w->reject();
    EXPECT_EQ(peer.SentWith(CmdRestart).size(), 1u);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Die Logik wird nun neugestartet!"});
    EXPECT_FALSE(peer.Subscribed());
}

} // namespace
} // namespace v7300::test

// The transfer window "Logik in NET-IO Flashen" and "Search Devices" offscreen,
// over a virtual controller in process and a virtual clock.
#include "ControllerPeer.h"
#include "EditorFixture.h"
#include "ui/device/DeviceWidgets.h"
#include "ui/device/UnitV7300SearchDevices.h"
#include "ui/device/Unit_V7300NETIO_Serial_Update.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace v7300::test {
namespace {

TV7300_EEPROM_Data HundredByteImage() {
    TV7300_EEPROM_Data image;
    for (int i = 0; i < 100; ++i) image.AppendByte(i < 49 ? 0xFF : static_cast<std::uint8_t>(i));
    return image;
}

void TypeInto(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&field, &press);
    }
}

class TransferWindowTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }
    std::unique_ptr<TFrmV7300NETIO_SendSerial> Open(const std::string& address = "127.0.0.1") {
        auto w = std::make_unique<TFrmV7300NETIO_SendSerial>(HundredByteImage(), 0x1234, address, peer.Port(), clock,
                                                             messages, search);
        w->show();
        QCoreApplication::processEvents();
        return w;
    }
    // Virtual time passes in 10 ms steps: the window's timer work, the controller's cycles, its answers.
    void Run(TFrmV7300NETIO_SendSerial& w, int ms) {
        for (int t = 0; t < ms; t += 10) {
            clock.advanceMs(10);
            w.Tick();
            peer.Controller().Tick();
            peer.Deliver();
        }
    }
    static bool Logged(TFrmV7300NETIO_SendSerial& w, const QString& text) {
        for (int i = 0; i < w.Log()->count(); ++i)
            if (w.Log()->item(i)->text().endsWith(QStringLiteral(" >> ") + text)) return true;
        return false;
    }
    VirtualClock clock;
    ControllerPeer peer{clock};
    RecordingMessagePort messages;
    TDeviceSearch search;
};

TEST_F(TransferWindowTest, OpensWithTheInitialTextsAndColours) {
    auto w = Open();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Logik in NET-IO Flashen"));
    EXPECT_EQ(w->size(), QSize(610, 409));
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(w->AddressField()->text(), QStringLiteral("127.0.0.1"));
    for (auto* f : {w->NewIpField(), w->MaskField(), w->GatewayField(), w->DnsField()})
        EXPECT_EQ(f->text(), QStringLiteral("???"));
    EXPECT_EQ(w->TimeZoneList()->count(), 25);
    EXPECT_EQ(w->TimeZoneList()->itemText(12), QStringLiteral("+00"));
    EXPECT_EQ(w->TimeZoneList()->currentIndex(), -1);
    const char* mac[] = {"00", "14", "A5", "76", "19", "70"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->MacField(i)->text(), QString::fromLatin1(mac[i]));
    EXPECT_EQ(w->MacField(0)->maxLength(), 2);
    EXPECT_EQ(w->WebPortField()->text(), QStringLiteral("80"));
    EXPECT_EQ(w->TelnetPortField()->text(), QStringLiteral("64400"));
    EXPECT_EQ(w->CrcField()->text(), QStringLiteral("????"));
    EXPECT_TRUE(w->CrcField()->isReadOnly());
    EXPECT_EQ(w->PasswordField()->maxLength(), 8);
    EXPECT_EQ(w->StatusLine()->text(), QStringLiteral("Status unbekannt"));
    EXPECT_EQ(w->ClockLine()->text(), QStringLiteral("NET-IO-Uhrzeit: ???"));
    EXPECT_EQ(w->FirmwareLine()->text(), QStringLiteral("Firmware: (Veraltet?\?\?)"));
    EXPECT_EQ(w->CycleTime()->text(), QStringLiteral("900Hz"));
    EXPECT_EQ(device_ui::PanelColour(*w->IndicatorPanel(1)), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_FALSE(w->IndicatorPanel(1)->property("lowered").toBool());
    EXPECT_EQ(w->IndicatorPanel(0)->toolTip(), QStringLiteral("Display status nicht verfügbar"));
    EXPECT_FALSE(w->TransferButton()->isEnabled());
    EXPECT_FALSE(w->ClockButton()->isEnabled());
    EXPECT_EQ(w->Progress()->maximum(), 10000);
    EXPECT_EQ(w->Progress()->value(), 0);
    EXPECT_TRUE(QFontInfo(w->Log()->font()).fixedPitch());
    EXPECT_TRUE(peer.Subscribed());
    SaveScreenshot(*w, "transfer_window.png");
}

TEST_F(TransferWindowTest, TransferRunsToTheRestartWithTheProgressAtTheImageSize) {
    auto w = Open();
    Run(*w, 1700);
    EXPECT_EQ(w->StatusLine()->text(), QStringLiteral("Verbunden"));
    EXPECT_EQ(w->FirmwareLine()->text(), QStringLiteral("Firmware: 02.02.02 (Aktuell)"));
    EXPECT_EQ(device_ui::PanelColour(*w->IndicatorPanel(2)), QColor(148, 227, 128));
    EXPECT_TRUE(w->IndicatorPanel(2)->property("lowered").toBool());
    EXPECT_EQ(w->IndicatorPanel(2)->toolTip(), QStringLiteral("EEPROM gefunden"));
    // The virtual controller's EEPROM is empty: the default addresses are filled in.
    EXPECT_EQ(w->NewIpField()->text(), QStringLiteral("192.168.0.91"));
    ASSERT_TRUE(w->TransferButton()->isEnabled());
    TypeInto(*w->PasswordField(), QStringLiteral("abc"));
    w->TimeZoneList()->setCurrentIndex(13);
    Q_EMIT w->TimeZoneList()->activated(13);

    w->TransferButton()->click();
    EXPECT_FALSE(w->TransferButton()->isEnabled());
    Run(*w, 300);
    EXPECT_TRUE(Logged(*w, QStringLiteral("Schreibe 100 / 100")));
    EXPECT_EQ(w->Progress()->maximum(), 100);
    EXPECT_EQ(w->Progress()->value(), 100);
    Run(*w, 1000);
    EXPECT_TRUE(Logged(*w, QStringLiteral("Update komplete.")));
    EXPECT_EQ(w->Log()->currentRow(), w->Log()->count() - 1); // the last line stays in view
    const auto& eeprom = peer.Controller().Eeprom();
    EXPECT_EQ(eeprom[1], 0xFF);
    EXPECT_EQ(eeprom[32], 13); // the chosen time zone
    EXPECT_EQ(std::string(eeprom.begin() + 33, eeprom.begin() + 37), std::string("abc\0", 4));
    EXPECT_EQ(eeprom[99], 99);
    SaveScreenshot(*w, "transfer_window_done.png");
}

TEST_F(TransferWindowTest, EqualPortsAreRefusedAndNothingIsWritten) {
    auto w = Open();
    Run(*w, 1700);
    TypeInto(*w->TelnetPortField(), QStringLiteral("80"));
    w->TransferButton()->click();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Fehler: Webinterface-Port und Telnet-Port sind Identisch"});
    EXPECT_TRUE(peer.SentWith(CmdWriteEeprom).empty());
    EXPECT_FALSE(w->TransferButton()->isEnabled());
}

TEST_F(TransferWindowTest, SilentDeviceShowsNoConnection) {
    peer.Online = false;
    auto w = Open();
    Run(*w, 900);
    EXPECT_EQ(w->StatusLine()->text(), QStringLiteral("Keine Verbindung"));
    EXPECT_FALSE(w->TransferButton()->isEnabled());
}

TEST_F(TransferWindowTest, SearchListsTheAnsweringDeviceAndTakesTheChosenAddress) {
    auto w = Open("127.0.0.2"); // nobody answers there
    TFrmV7300Devices* shown = nullptr;
    w->ChooseDevice = [&] {
        auto* devices = new TFrmV7300Devices(search, w.get());
        shown = devices;
        QTimer::singleShot(0, devices, [devices] {
            SaveScreenshot(*devices, "search_devices.png");
            devices->List()->setCurrentRow(0);
            devices->OkButton()->click();
        });
        return devices->Choose();
    };
    w->SearchButton()->click();
    ASSERT_FALSE(peer.sent.empty());
    EXPECT_EQ(peer.sent.back().first, "255.255.255.255");
    EXPECT_EQ(w->cursor().shape(), Qt::WaitCursor);
    Run(*w, 1100);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Search Devices"));
    EXPECT_EQ(search.Addresses(), std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(w->AddressField()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(w->Address(), "127.0.0.1");
    EXPECT_NE(w->cursor().shape(), Qt::WaitCursor);
}

TEST_F(TransferWindowTest, LinkErrorsAreLoggedAndClosingReleasesTheLink) {
    auto w = Open();
    peer.LinkError(LinkErrorCrc);
    EXPECT_TRUE(Logged(*w, QStringLiteral("PC-Error: CRC FAIL")));
    w->reject();
    EXPECT_FALSE(peer.Subscribed());
}

} // namespace
} // namespace v7300::test

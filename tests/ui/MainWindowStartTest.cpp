// The main window across starts and with its device link: the saved geometry,
// a settings file that cannot be written, the device address, the LCD window.
#include "EditorFixture.h"
#include "device/UnitV7300NETIO.h"
#include "project/Settings.h"
#include "project/XmlProject.h"
#include "simulation/SimulationRuntime.h"
#include "ui/dialogs/UnitError.h"
#include "ui/dialogs/Unit_Drucken.h"
#include "ui/sim/Unit_LCD.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

namespace v7300::test {
namespace {

class MainWindowStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        setDecimalSeparator(',');
    }
    // A main window as the program starts it: the saved geometry, then shown.
    std::unique_ptr<TForm2> Start(const std::string& settingsFile, bool show = true,
                                  std::function<void(TForm2Setup&)> adjust = {}) {
        TForm2Setup setup;
        setup.ProgramPath = "/usr/bin/true";
        setup.LibraryFolder = ShippedLibrary();
        setup.SettingsFile = settingsFile;
        setup.Messages = &messages;
        setup.ClockPort = &clock;
        setup.Dialogs = &dialogs;
        setup.RegisterFileTypes = false;
        setup.LinkEnabled = false;
        setup.SimulationWorker = false;
        setup.Timers = false;
        setup.ProgressPauseMs = 0;
        if (adjust) adjust(setup);
        auto form = std::make_unique<TForm2>(setup);
        if (show) {
            form->show();
            QCoreApplication::processEvents();
            form->Layout();
        }
        return form;
    }

    TempDir dir;
    RecordingMessagePort messages;
    VirtualClock clock;
    ScriptedDialogs dialogs;
};

// The offscreen platform gives every window a frame of a few pixels, as a window
// manager does: the geometry written must be the one applied at the next start.
TEST_F(MainWindowStartTest, SavedGeometryComesBackUnchangedAtEveryStart) {
    const std::string ini = dir.file("config.ini");
    TSettingsFile settings(ini);
    settings.WriteGeometry(false, 100, 120, 700, 500);
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(start);
        auto form = Start(ini);
        ASSERT_NE(form->frameGeometry(), form->geometry()) << "the platform draws no frame";
        EXPECT_EQ(form->geometry(), QRect(120, 100, 700, 500));
        EXPECT_EQ(settings.ReadInteger("config", "top", 0), 100);
        EXPECT_EQ(settings.ReadInteger("config", "left", 0), 120);
        EXPECT_EQ(settings.ReadInteger("config", "width", 0), 700);
        EXPECT_EQ(settings.ReadInteger("config", "height", 0), 500);
    }
    // Maximized, the window keeps the geometry it returns to.
    auto form = Start(ini);
    form->showMaximized();
    QCoreApplication::processEvents();
    form->Layout();
    EXPECT_TRUE(settings.ReadBool("config", "maximized", false));
    EXPECT_EQ(settings.ReadInteger("config", "width", 0), 700);
    EXPECT_EQ(settings.ReadInteger("config", "top", 0), 100);
}

TEST_F(MainWindowStartTest, AFailingSettingsWriteIsShownOnceInTheErrorReportWindow) {
    const std::string blocker = dir.file("kein-ordner");
    std::ofstream(blocker) << "a file where the settings folder should be";
    SilentMessagePort silent;
    TFrmError report(silent);
    report.ExecModal = false;
    SetErrorReportWindow(&report);
    auto form = Start(blocker + "/config.ini");
    EXPECT_TRUE(report.isVisible());
    EXPECT_NE(report.ErrorBox->toPlainText().indexOf(QStringLiteral("kann nicht geschrieben werden")), -1)
        << report.ErrorBox->toPlainText().toStdString();
    report.close();
    form->resize(640, 480);
    QCoreApplication::processEvents();
    form->Layout();
    form->Action(QStringLiteral("Raster"))->trigger();
    EXPECT_FALSE(report.isVisible()) << "shown a second time";
    form.reset();
    SetErrorReportWindow(nullptr);
}

// A UDP socket on 127.0.0.1 in the place of the controller.
class Peer {
public:
    Peer() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
        socklen_t len = sizeof a;
        if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) throw std::runtime_error("getsockname");
        port_ = ntohs(a.sin_port);
    }
    ~Peer() { ::close(fd_); }
    std::uint16_t Port() const { return port_; }
    // Whether a datagram arrives within the time.
    bool Received(int ms) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1) return false;
        char buf[600];
        return ::recv(fd_, buf, sizeof buf, 0) > 0;
    }

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

TEST_F(MainWindowStartTest, EmptyDeviceAddressSendsNothingAndSaysSo) {
    Peer device;
    auto form = Start(dir.file("config.ini"), true, [&](TForm2Setup& s) {
        s.LinkEnabled = true;
        s.FirstPort = 47310;
        s.LastPort = 47390;
        s.DevicePort = device.Port();
        s.DeviceAddress = "127.0.0.1";
    });
    ASSERT_NE(form->Link(), nullptr);
    EXPECT_EQ(form->Link()->GetAddress(), "127.0.0.1");
    EXPECT_EQ(form->Logic().DeviceAddress, "127.0.0.1");
    form->LinkWatchTick();
    EXPECT_TRUE(device.Received(2000));
    EXPECT_EQ(form->HardwareStatus()->text(), QStringLiteral("Keine Verbindung zu 127.0.0.1"));

    // A project without a device address, opened through the dialog.
    const std::string project = dir.file("ohne-adresse.v7k");
    form->Logic().DeviceAddress.clear();
    SaveXml(form->Logic(), project);
    dialogs.answers.push_back(project);
    form->OpenProject();
    EXPECT_EQ(form->Link()->GetAddress(), "");
    form->LinkWatchTick();
    EXPECT_EQ(form->HardwareStatus()->text(), QStringLiteral("Keine Geräteadresse eingestellt"));
    EXPECT_FALSE(form->ButtonStartLive()->isEnabled());
    EXPECT_FALSE(device.Received(300));
    EXPECT_LE(QFontMetrics(form->HardwareStatus()->font()).horizontalAdvance(form->HardwareStatus()->text()),
              form->HardwareStatus()->width());
}

// The worker writes into the LCD window from the first cycle on, even before the first show.
TEST_F(MainWindowStartTest, LcdWindowExistsBeforeAnySimulationCanStart) {
    auto form = Start(dir.file("config.ini"), false);
    ASSERT_NE(form->Lcd(), nullptr);
    const int in = form->Logic().Add_objekt("IN", "", 20, 10);
    const int lcd = form->Logic().Add_objekt("LCD", "", 40, 10);
    ASSERT_GE(in, 0);
    ASSERT_GE(lcd, 0);
    ASSERT_GE(form->Logic().add_verbinder("IN1", 0, 0, "LCD1"), 0);
    form->StartSimulation();
    form->Simulation()->Simulator().SetInputState("IN1", 1, true);
    form->Simulation()->RunCycles(3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Lcd()->Line(1).contains(QStringLiteral("Hallo Welt"))) << form->Lcd()->Line(1).toStdString();
    form->StopSimulation();
}

TEST_F(MainWindowStartTest, PrintingWithoutAPrinterSaysSoAndOffersAPdfFile) {
    TFrmDrucken print(clock);
    print.Messages = &messages;
    print.Dialogs = &dialogs;
    print.Printers->clear(); // no printer installed
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    print.SetPicture(picture, QStringLiteral("anlage.v7k"));
    messages.answerNext(MbNo);
    print.Print();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind("Es ist kein Drucker eingerichtet.", 0), 0u);
    EXPECT_NE(print.result(), QDialog::Accepted);

    const std::string pdf = dir.file("anlage.pdf");
    messages.answerNext(MbYes);
    dialogs.answers.push_back(pdf);
    print.Print();
    EXPECT_EQ(print.result(), QDialog::Accepted);
    const std::string bytes = readFile(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    EXPECT_GT(bytes.size(), 1000u);
}

} // namespace
} // namespace v7300::test

// File commands, close query, command line, simulation, link watch and the
// program-size indicator of the real main window.
#include "EditorFixture.h"

#include "core/FileIO.h"
#include "device/UnitV7300NETIO.h"
#include "project/Settings.h"
#include "project/XmlProject.h"
#include "simulation/SimulationRuntime.h"
#include "support/UdpPeer.h"
#include "ui/sim/QtEffectPorts.h"
#include "ui/sim/Unit_LCD.h"
#include "ui/sim/Unit_SimInput.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <filesystem>

namespace v7300::test {
namespace {

TEST_F(EditorTest, SaveAndOpenRoundTripClearsTheMarker) {
    Place("AND", 20, 10);
    Place("NUM", 40, 10);
    form->MarkModified();
    ASSERT_EQ(form->FileName(), "* New File");
    const std::string path = dir.file("projekt.v7k");
    dialogs.answers = {path};
    EXPECT_TRUE(form->SaveProject());
    EXPECT_EQ(form->FileName(), path);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(dialogs.filters.back(), "V7300 (*.v7k)|*.v7k");
    ASSERT_TRUE(std::filesystem::exists(path));

    form->NewProject();
    EXPECT_EQ(form->Logic().Components.Count(), 0);
    EXPECT_EQ(form->FileName(), "New File");
    dialogs.answers = {path};
    form->OpenProject();
    EXPECT_EQ(form->Logic().Components.Count(), 2);
    EXPECT_EQ(form->FileName(), path);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(dialogs.filters.back(), "V7300-Datei (*.v7k)|*.v7k|LOGIK FILES (*.V7300_Logik)|*.V7300_Logik");

    // A second save goes to the same name without a dialog.
    Place("INV", 60, 10);
    form->MarkModified();
    const std::size_t dialogsBefore = dialogs.filters.size();
    EXPECT_TRUE(form->SaveProject());
    EXPECT_EQ(dialogs.filters.size(), dialogsBefore);
    EXPECT_EQ(form->FileName(), path);
    TLogic reread(ShippedLibrary(), messages);
    ASSERT_TRUE(OpenXml(reread, path));
    EXPECT_EQ(reread.Components.Count(), 3);
}

TEST_F(EditorTest, SaveWhoseDialogIsCancelledKeepsTheMarker) {
    Place("AND", 20, 10);
    form->MarkModified();
    dialogs.answers = {""};
    EXPECT_FALSE(form->SaveProject());
    EXPECT_EQ(form->FileName(), "* New File");
    EXPECT_TRUE(form->Modified());
}

TEST_F(EditorTest, SaveOfANonV7kFileAppendsTheExtensionAndLeavesTheOldFile) {
    // A text project (from before the XML format) with two wired gates.
    const std::string legacy = dir.file("alt.V7300_Logik");
    const std::string text = "...\r\n0\r\n      AND1   20   10\r\n       OR1   40   10\r\n---#\r\n---|\r\n"
                             "      AND1 0        OR1 0 \r\n---O\r\nV7300NETIO.IP=127.0.0.1\r\n";
    writeFile(legacy, text);
    form->ProcessCommandLine({QString::fromStdString(legacy)});
    ASSERT_EQ(form->FileName(), legacy);
    ASSERT_EQ(form->Logic().Components.Count(), 2);
    Place("INV", 60, 10);
    form->MarkModified();

    dialogs.answers = {dir.file("gefragt.v7k")}; // a save-as dialog would be a fault
    ASSERT_TRUE(form->SaveProject());
    EXPECT_TRUE(dialogs.filters.empty());
    const std::string saved = legacy + ".v7k";
    EXPECT_EQ(form->FileName(), saved);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(readFile(legacy), text);
    EXPECT_FALSE(std::filesystem::exists(dir.file("gefragt.v7k")));

    RecordingMessagePort port;
    TLogic reread(ShippedLibrary(), port);
    reread.NewProject();
    ASSERT_TRUE(OpenXml(reread, saved));
    EXPECT_EQ(reread.Components.Count(), 3);
    EXPECT_EQ(reread.Wires.Count(), 1);
    EXPECT_EQ(reread.DeviceAddress, "127.0.0.1");
}

TEST_F(EditorTest, NewAndOpenAskBeforeDroppingUnsavedWork) {
    Place("AND", 20, 10);
    form->MarkModified();
    messages.answerNext(MbCancel);
    form->NewProject();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Sollen die Änderungen gespeichert werden?");
    EXPECT_EQ(messages.messages[0].buttons, unsigned(MbYes | MbNo | MbCancel));
    EXPECT_EQ(form->Logic().Components.Count(), 1);

    messages.answerNext(MbCancel);
    form->OpenProject();
    EXPECT_TRUE(dialogs.filters.empty());
    EXPECT_EQ(form->Logic().Components.Count(), 1);

    messages.answerNext(MbNo);
    form->NewProject();
    EXPECT_EQ(form->Logic().Components.Count(), 0);
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->FileName(), "New File");
}

TEST_F(EditorTest, NewWithIn1AsksFirstAndCancelKeepsTheDiagram) {
    Place("IN", 20, 10);
    messages.answerNext(MbCancel);
    form->NewProject();
    ASSERT_FALSE(messages.messages.empty());
    EXPECT_EQ(messages.messages[0].text, "Bestehende daten werden gelöscht!");
    EXPECT_EQ(messages.messages[0].caption, "INFO");
    EXPECT_EQ(form->Logic().Components.Count(), 1);
    messages.answerNext(MbOk);
    form->NewProject();
    EXPECT_EQ(form->Logic().Components.Count(), 0);
}

TEST_F(EditorTest, OpeningAnUnreadableFileLeavesTheDocumentAndItsName) {
    Place("AND", 20, 10);
    const std::string bad = dir.file("kaputt.v7k");
    writeFile(bad, "das ist kein Projekt");
    dialogs.answers = {bad};
    form->OpenProject();
    EXPECT_EQ(form->Logic().Components.Count(), 1);
    EXPECT_EQ(form->FileName(), "New File");
    EXPECT_FALSE(messages.messages.empty());
}

struct CloseCase {
    const char* name;
    bool modified;
    MsgButton answer;
    std::string saveDialog;
    bool closes;
    bool written;
};

TEST_F(EditorTest, CloseQueryVariants) {
    const CloseCase cases[] = {
        {"unchanged", false, MbOk, "", true, false},
        {"no", true, MbNo, "", true, false},
        {"cancel", true, MbCancel, "", false, false},
        {"yes, dialog cancelled", true, MbYes, "", false, false},
        {"yes, saved", true, MbYes, "save", true, true},
    };
    for (const auto& c : cases) {
        form = MakeForm({});
        const std::string path = dir.file(std::string("close-") + std::to_string(&c - cases) + ".v7k");
        Place("AND", 20, 10);
        if (c.modified) form->MarkModified();
        messages.messages.clear();
        if (c.modified) messages.answerNext(c.answer);
        dialogs.answers = {c.saveDialog.empty() ? std::string() : path};
        EXPECT_EQ(form->CloseQuery(), c.closes) << c.name;
        EXPECT_EQ(std::filesystem::exists(path), c.written) << c.name << " " << path << " " << form->FileName();
        EXPECT_EQ(messages.messages.size(), c.modified ? 1u : 0u) << c.name;
        if (!c.closes && c.modified) {
            EXPECT_EQ(form->FileName(), "* New File") << c.name;
        }
        dialogs.answers.clear();
    }
}

TEST_F(EditorTest, CommandLineIsProcessedInOrderAndUnknownArgumentsAreSkipped) {
    const std::string a = dir.file("a.v7k");
    const std::string b = dir.file("b.v7k");
    Place("AND", 20, 10);
    SaveXml(form->Logic(), a);
    Place("OR", 40, 10);
    SaveXml(form->Logic(), b);
    form = MakeForm({QString::fromStdString(a), QStringLiteral("--unbekannt"), QString::fromStdString(b)});
    EXPECT_EQ(form->FileName(), b);
    EXPECT_EQ(form->Logic().Components.Count(), 2);
    EXPECT_FALSE(form->Logic().Simulating());

    form = MakeForm({QString::fromStdString(a), QStringLiteral("-SIMULATE")});
    EXPECT_EQ(form->FileName(), a);
    EXPECT_TRUE(form->Logic().Simulating());
    EXPECT_EQ(form->HardwareStatus()->text(), QStringLiteral("Lokale Simulation"));
    EXPECT_FALSE(form->ButtonStartSimulation()->isEnabled());
    EXPECT_TRUE(form->ButtonStop()->isEnabled());
    form->StopSimulation();

    // "-simulate" before a file: the file is simulated once it is open.
    form = MakeForm({QStringLiteral("-simulate"), QString::fromStdString(b)});
    EXPECT_EQ(form->FileName(), b);
    EXPECT_TRUE(form->Logic().Simulating());
    EXPECT_EQ(form->Logic().Components.Count(), 2);
    form->StopSimulation();

    // Without a file the device address gets its default.
    form = MakeForm({QStringLiteral("/no/such/file.v7k")});
    EXPECT_EQ(form->FileName(), "New File");
    EXPECT_EQ(form->Logic().DeviceAddress, "192.168.0.91");
}

TEST_F(EditorTest, UpperCaseV7kOnTheCommandLineGoesToTheTextReader) {
    const std::string a = dir.file("A.V7K");
    Place("AND", 20, 10);
    SaveXml(form->Logic(), a);
    form = MakeForm({QString::fromStdString(a)});
    // The text reader cannot read XML: the file does not count as opened.
    EXPECT_EQ(form->FileName(), "New File");
    EXPECT_EQ(form->Logic().Components.Count(), 0);
}

TEST_F(EditorTest, SimulationClickTogglesASwitchAndPulsesAPushButton) {
    Place("IN", 20, 10);
    Place("IN", 20, 30);
    Comp("IN2").Variables.FindByName("TYPE")->SetValue("10");
    Place("INV", 40, 10);
    form->StartSimulation();
    ASSERT_TRUE(form->Logic().Simulating());
    TSimulate& sim = form->Simulation()->Simulator();
    auto click = [&](const std::string& name) {
        const TLogicComponent& c = Comp(name);
        const QPoint p = ToArea(c.Left * 10 + 15, c.Top * 10 + 15);
        Press(p);
        Release(p);
    };
    click("IN1");
    form->Simulation()->RunCycles(1);
    EXPECT_EQ(sim.GetVariable("$IN1__E1"), "1");
    form->Simulation()->UpdateOutputStates();
    click("IN1");
    form->Simulation()->RunCycles(1);
    EXPECT_EQ(sim.GetVariable("$IN1__E1"), "0");

    click("IN2");
    EXPECT_EQ(sim.GetVariable("$IN2__E1"), "1");
    // The pulse lasts about half a second of simulated time (cycles of 110 ms).
    form->Simulation()->RunCycles(4);
    EXPECT_EQ(sim.GetVariable("$IN2__E1"), "1");
    form->Simulation()->RunCycles(2);
    EXPECT_EQ(sim.GetVariable("$IN2__E1"), "0");
    // Clicking a component that is no input does nothing; no gesture starts.
    click("INV1");
    EXPECT_FALSE(form->Editor().ObjectDragActive());
    EXPECT_EQ(form->Logic().Components.Count(), 3);
}

TEST_F(EditorTest, AnalogueInputOpensItsSliderWindowThatWritesTheInput) {
    Place("IN", 20, 10);
    Comp("IN1").Variables.FindByName("TYPE")->SetValue("1");
    form->StartSimulation();
    const QPoint p = ToArea(Comp("IN1").Left * 10 + 15, Comp("IN1").Top * 10 + 15);
    Press(p);
    Release(p);
    TFrmSimInput* slider = form->SliderWindows()->Window("IN1");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->windowTitle(), QStringLiteral("IN1"));
    EXPECT_EQ(slider->Slider->maximum(), 1024);
    slider->Slider->setValue(512);
    EXPECT_EQ(slider->Value->text(), QStringLiteral("512"));
    EXPECT_EQ(form->Simulation()->Simulator().GetVariable("$IN1__E1"), "512");
    form->StopSimulation();
}

TEST_F(EditorTest, LcdWindowShowsTheTextOfAnLcdStatement) {
    ASSERT_NE(form->Lcd(), nullptr);
    EXPECT_EQ(form->Lcd()->Line(1), QStringLiteral("V7300 - Logik"));
    EXPECT_EQ(form->Lcd()->Line(2), QStringLiteral("Quellmark"));
    EXPECT_FALSE(form->Lcd()->isVisible());
    Place("IN", 20, 10);
    Place("LCD", 40, 10);
    ASSERT_GE(form->Logic().add_verbinder("IN1", 0, 0, "LCD1"), 0);
    form->StartSimulation();
    form->Simulation()->RunCycles(1);
    const QPoint p = ToArea(Comp("IN1").Left * 10 + 15, Comp("IN1").Top * 10 + 15);
    Press(p);
    Release(p);
    form->Simulation()->RunCycles(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Lcd()->isVisible());
    EXPECT_TRUE(form->Lcd()->Line(1).contains(QStringLiteral("Hallo Welt"))) << form->Lcd()->Line(1).toStdString();
    EXPECT_TRUE(form->Lcd()->windowFlags() & Qt::WindowStaysOnTopHint);
    form->StopSimulation();
}

TEST_F(EditorTest, EditingIsRefusedWhileSimulating) {
    Place("AND", 20, 10);
    form->StartSimulation();
    const QPoint body = ToArea(22 * 10 + 5, 11 * 10 + 5);
    Press(body);
    Move(body + QPoint(30, 0), Qt::LeftButton);
    Release(body + QPoint(30, 0));
    EXPECT_EQ(Comp("AND1").Left, 20);
    form->StopSimulation();
    EXPECT_FALSE(form->Logic().Simulating());
    EXPECT_TRUE(form->ButtonStartSimulation()->isEnabled());
    EXPECT_FALSE(form->ButtonStop()->isEnabled());
}

TEST_F(EditorTest, ProgramSizeIndicatorCountsUpTo99AndTurnsRedAt100) {
    for (int i = 0; i < 99; ++i) ASSERT_GE(Place("NUM", 10 + (i % 20) * 6, 10 + (i / 20) * 4), 0);
    form->AddText();
    form->IndicatorTick();
    const QString caption = form->PanelFlashSize()->text();
    EXPECT_TRUE(caption.startsWith(QStringLiteral("99 / 100 ["))) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith(QStringLiteral(" Bytes]")));
    EXPECT_TRUE(form->IndicatorError().empty());
    EXPECT_FALSE(form->PanelFlashSize()->styleSheet().contains(QStringLiteral("red")));
    messages.messages.clear();
    form->TransferProgram();
    EXPECT_TRUE(messages.messages.empty());

    ASSERT_GE(Place("NUM", 150, 150), 0);
    form->IndicatorTick();
    EXPECT_EQ(form->IndicatorError(), "Es können nur maximal 100 Bausteine benutzt werden!");
    EXPECT_TRUE(form->PanelFlashSize()->styleSheet().contains(QStringLiteral("red")));
    form->TransferProgram();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Zu viele Logikbausteine. Die Logik kann nicht übertragen werden!");
    EXPECT_EQ(messages.messages[0].caption, "Fehler");
}

TEST_F(EditorTest, IndicatorShowsACompileErrorBlinkingAndTheClickMessage) {
    form->IndicatorTick();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(form->PanelFlashSize(), &click);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Keine Fehler vorhanden!");
    EXPECT_EQ(messages.messages[0].caption, "Hinweis");
    // A flip-flop without its two inputs cannot be compiled.
    Place("FF", 20, 10);
    form->IndicatorTick();
    EXPECT_EQ(form->PanelFlashSize()->text(), QStringLiteral("Fehler [??? Bytes]"));
    EXPECT_FALSE(form->IndicatorError().empty());
    const auto shadow = form->PanelFlashSize()->frameShadow();
    form->IndicatorTick();
    EXPECT_NE(form->PanelFlashSize()->frameShadow(), shadow);
    messages.messages.clear();
    form->TransferProgram();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text.rfind("Datensatz kann nicht erstellt werden!\r\n", 0), 0u);
}

TEST_F(EditorTest, LinkWatchCountsDownAndShowsTheQuality) {
    // The link pings a peer on 127.0.0.1; its replies are handed to the handler directly.
    UdpPeer device;
    form = MakeForm({}, [&](TForm2Setup& s) {
        s.LinkEnabled = true;
        s.DevicePort = device.port();
    });
    ASSERT_NE(form->Link(), nullptr);
    form->Link()->SetAddress("127.0.0.1");
    const auto status = [&] { return form->HardwareStatus()->text().toStdString(); };
    TV7300Telegram reply;
    reply.Command = CmdPing;
    reply.Payload = {2};

    form->DeviceTimerTick();
    EXPECT_EQ(status(), "Keine Verbindung zu 127.0.0.1");
    std::vector<std::uint8_t> ping;
    ASSERT_TRUE(device.receive(ping));
    TV7300Telegram sent;
    ASSERT_EQ(ParseDatagram(ping.data(), ping.size(), "127.0.0.1", sent), 0);
    EXPECT_EQ(sent.Command, CmdPing);

    // The quality is the countdown left when the reply came, out of 9.
    form->OnTelegram(reply);
    EXPECT_EQ(form->StatusEx()->text(), QStringLiteral("Connected TCP-Clients: 2/3"));
    EXPECT_EQ(form->LinkCountdown(), 10);
    form->DeviceTimerTick();
    EXPECT_EQ(status(), "Verbunden mit 127.0.0.1 (0%)");
    EXPECT_TRUE(form->ButtonStartLive()->isEnabled());
    form->OnTelegram(reply);
    for (int tick = 0; tick < 5; ++tick) form->DeviceTimerTick();
    EXPECT_EQ(form->LinkCountdown(), 5);
    form->OnTelegram(reply);
    form->DeviceTimerTick();
    EXPECT_EQ(status(), "Verbunden mit 127.0.0.1 (56%)");

    // Ten ticks without a reply count down to 0; the next one reports the lost connection.
    for (int tick = 0; tick < 9; ++tick) form->DeviceTimerTick();
    EXPECT_EQ(form->LinkCountdown(), 0);
    EXPECT_EQ(status(), "Verbunden mit 127.0.0.1 (56%)");
    form->DeviceTimerTick();
    EXPECT_EQ(status(), "Keine Verbindung zu 127.0.0.1");
    EXPECT_FALSE(form->ButtonStartLive()->isEnabled());

    reply.Payload.clear();
    form->OnTelegram(reply);
    EXPECT_EQ(form->StatusEx()->text(), QStringLiteral("Connected TCP-Clients: ALTE FIRMWARE"));
}

TEST_F(EditorTest, GeometryIsWrittenOnlyWhenItChanged) {
    form->Layout();
    const std::string ini = dir.file("config.ini");
    ASSERT_TRUE(std::filesystem::exists(ini));
    TSettingsFile settings(ini);
    settings.WriteInteger("config", "top", 4711);
    form->Layout();
    EXPECT_EQ(settings.ReadInteger("config", "top", 0), 4711);
    form->resize(900, 700);
    QCoreApplication::processEvents();
    form->Layout();
    EXPECT_NE(settings.ReadInteger("config", "top", 0), 4711);
    EXPECT_EQ(settings.ReadInteger("config", "width", 0), form->geometry().width());
}

TEST_F(EditorTest, ViewTogglesWriteTheSettings) {
    QAction* info = form->Action(QStringLiteral("Beschriftung"));
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isChecked());
    EXPECT_EQ(info->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    info->trigger();
    EXPECT_FALSE(form->Logic().ShowInfo);
    TSettingsFile settings(dir.file("config.ini"));
    EXPECT_FALSE(settings.ReadBool("config", "info", true));
    form->Action(QStringLiteral("Raster"))->trigger();
    EXPECT_FALSE(form->Logic().Raster);
    EXPECT_FALSE(settings.ReadBool("config", "raster", true));
    form->Action(QStringLiteral("Fenster mit Maus bewegen"))->trigger();
    EXPECT_FALSE(form->Logic().AutoScroll);
    EXPECT_FALSE(settings.ReadBool("config", "moveWindow", true));
    // Read back by the next start.
    form = MakeForm({});
    EXPECT_FALSE(form->Logic().ShowInfo);
    EXPECT_FALSE(form->Logic().Raster);
    EXPECT_FALSE(form->Logic().AutoScroll);
}

struct MenuCase {
    const char* caption;
    QKeySequence shortcut;
};

TEST_F(EditorTest, MenuEntriesCarryTheirShortcuts) {
    const MenuCase cases[] = {
        {"Neu", QKeySequence(Qt::CTRL | Qt::Key_N)},     {"Öffnen", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Speichern", QKeySequence(Qt::CTRL | Qt::Key_S)}, {"Speichern Unter", QKeySequence()},
        {"Drucken", QKeySequence(Qt::CTRL | Qt::Key_P)},  {"Beenden", QKeySequence(Qt::ALT | Qt::Key_F4)},
        {"Logik", QKeySequence(Qt::Key_F5)},              {"Programm Informationen", QKeySequence(Qt::Key_F1)},
        {"V²BUS", QKeySequence()},                         {"Webinterface öffnen", QKeySequence()},
    };
    for (const auto& c : cases) {
        QAction* a = form->Action(QString::fromUtf8(c.caption));
        ASSERT_NE(a, nullptr) << c.caption;
        EXPECT_EQ(a->shortcut(), c.shortcut) << c.caption;
    }
    EXPECT_FALSE(form->Action(QStringLiteral("Hochladen auf V7300"))->isEnabled());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("V7300 - Logik (BETA)"));
}

TEST_F(EditorTest, StartWindowPausesSixTimesOnTheClock) {
    const std::int64_t before = clock.monotonicMs();
    TForm2Setup setup;
    setup.LibraryFolder = ShippedLibrary();
    setup.SettingsFile = dir.file("config.ini");
    setup.Messages = &messages;
    setup.ClockPort = &clock;
    setup.Dialogs = &dialogs;
    setup.RegisterFileTypes = false;
    setup.LinkEnabled = false;
    setup.SimulationWorker = false;
    setup.Timers = false;
    TForm2 f(setup);
    EXPECT_EQ(f.StartProgressWidth(), 302); // 70 %
    f.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f.FirstShowDone());
    EXPECT_EQ(f.StartProgressWidth(), 431);
    EXPECT_EQ(clock.monotonicMs() - before, 6 * 333);
}

} // namespace
} // namespace v7300::test

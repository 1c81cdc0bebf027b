// The entries of the "Tools" menu, with the desktop's handler and the program start faked.
#include "EditorFixture.h"
#include "project/Settings.h"
#include "ui/app/ActionLog.h"
#include "ui/app/ToolsMenu.h"
#include "ui/device/Unit_Atmel_Beschreiben.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <cstdlib>

#include <sys/stat.h>

namespace v7300::test {
namespace {

class ToolsMenuTest : public EditorTest {
protected:
    TToolsMenu Tools(const std::string& programFolder, bool opens = true) {
        TToolsPorts ports;
        ports.OpenUrl = [this, opens](const std::string& url) {
            openedUrls.push_back(url);
            return opens;
        };
        ports.StartProgram = [this](const std::string& program, const std::string& folder) {
            startedPrograms.push_back(program + " in " + folder);
            return true;
        };
        ports.DocumentChanged = [this] { ++changes; };
        return TToolsMenu(form->Logic(), messages, dir.file("config.ini"), programFolder, ports);
    }
    int changes = 0;
};

TEST_F(ToolsMenuTest, WebinterfaceWithoutAddressSetsTheDefaultMarksTheDocumentAndOpensIt) {
    form->Logic().DeviceAddress.clear();
    ClearActionLog();
    form->Action(QStringLiteral("Webinterface öffnen"))->trigger();
    EXPECT_EQ(form->Logic().DeviceAddress, "192.168.0.91");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->FileName(), "* New File");
    EXPECT_EQ(openedUrls, std::vector<std::string>{"http://192.168.0.91"});
    ASSERT_FALSE(ActionLogLines().empty());
    EXPECT_NE(ActionLogLines().back().find(">> Webinterface"), std::string::npos);
}

TEST_F(ToolsMenuTest, WebinterfaceWithAnAddressLeavesTheDocumentAlone) {
    form->Logic().DeviceAddress = "10.1.2.3";
    form->Action(QStringLiteral("Webinterface öffnen"))->trigger();
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(openedUrls, std::vector<std::string>{"http://10.1.2.3"});
}

TEST_F(ToolsMenuTest, APageThatDoesNotOpenIsReported) {
    auto tools = Tools(dir.path(), /*opens=*/false);
    tools.OpenWebinterface();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Die Adresse http://192.168.0.91 konnte nicht geöffnet werden."});
}

TEST_F(ToolsMenuTest, ControlProgramMissingIsReportedAndStillSetsTheAddress) {
    form->Logic().DeviceAddress.clear();
    auto tools = Tools(dir.path());
    tools.StartControlProgram();
    EXPECT_TRUE(startedPrograms.empty());
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Hinweis");
    EXPECT_NE(messages.messages[0].text.find(dir.file("tools/net-io-control-PC/V7300_NET_IO_Control_PC")),
              std::string::npos);
}

TEST_F(ToolsMenuTest, ControlProgramStartsInItsOwnFolder) {
    const std::string program = dir.file("tools/net-io-control-PC/V7300_NET_IO_Control_PC");
    writeFile(program, "#!/bin/sh\n");
    ::chmod(program.c_str(), 0755);
    auto tools = Tools(dir.path());
    tools.StartControlProgram();
    EXPECT_EQ(startedPrograms, std::vector<std::string>{program + " in " + dir.file("tools/net-io-control-PC")});
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ToolsMenuTest, DesignerOpensTheConfiguredPageOrSaysThatNoneIsSet) {
    auto tools = Tools(dir.path());
    tools.OpenDesigner();
    EXPECT_TRUE(openedUrls.empty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_NE(messages.messages[0].text.find("designerUrl"), std::string::npos);
    TSettingsFile(dir.file("config.ini")).WriteString("config", "designerUrl", "https://example.org/designer");
    tools.OpenDesigner();
    EXPECT_EQ(openedUrls, std::vector<std::string>{"https://example.org/designer"});
}

TEST_F(ToolsMenuTest, HardwareDescriptionCallsThePrintOutOrSaysItIsNotThereYet) {
    auto tools = Tools(dir.path());
    tools.PrintHardwareDescription();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Die Hardware Anschlussbeschreibung ist in dieser Version noch nicht enthalten."});
    int printed = 0;
    tools.Ports().PrintBusListing = [&] { ++printed; };
    tools.PrintHardwareDescription();
    EXPECT_EQ(printed, 1);
}

TEST_F(EditorTest, FirmwareEntryShowsTheFlashingWindowModally) {
    TempDir devices; // no serial port of this machine is touched
    ::setenv("V7300_DEV_DIR", devices.path().c_str(), 1);
    ClearActionLog();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* w = qobject_cast<TFrmAtmelBeschreiben*>(QApplication::activeModalWidget())) {
            shown = w->windowTitle();
            w->close();
        }
    });
    form->Action(QStringLiteral("Firmware (V7300 Programmer erforderlich)"))->trigger();
    ::unsetenv("V7300_DEV_DIR");
    EXPECT_EQ(shown, QStringLiteral("Atmel Beschreiben"));
    ASSERT_FALSE(ActionLogLines().empty());
    EXPECT_NE(ActionLogLines().back().find(">> Firmware Update"), std::string::npos);
}

} // namespace
} // namespace v7300::test

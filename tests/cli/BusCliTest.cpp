// v7300 bus end to end against the virtual controller's bus modules on 127.0.0.1.
#include "ServedController.h"
#include "model/Logic.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using test::runCli;

class BusController : public test::ServedController {
public:
    explicit BusController(const std::vector<std::string>& modules) : ServedController(options(modules)) {}
    std::string portText() const { return std::to_string(port()); }
    TEmulatedBusModule module(std::uint8_t id) {
        for (const auto& m : busModules())
            if (m.Id == id) return m;
        ADD_FAILURE() << "no module " << int{id};
        return {};
    }

private:
    static TVirtualControllerOptions options(const std::vector<std::string>& modules) {
        TVirtualControllerOptions o;
        for (const auto& m : modules) o.Bus.push_back(ParseBusModule(m));
        return o;
    }
};

test::CliResult bus(BusController& vc, std::vector<std::string> args) {
    args.insert(args.begin(), "bus");
    for (const char* a : {"--device", "127.0.0.1", "--port"}) args.push_back(a);
    args.push_back(vc.portText());
    return runCli(args);
}

TEST(BusCommand, ScanListsTheModulesInIdOrder) {
    BusController vc({"7:T:0.2:2", "2:O:0.2:4", "0:I:0.1:8"});
    const auto r = bus(vc, {"scan", "--interval", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "[ 0x00 ] INPUT\n[ 0x02 ] OUTPUT RELAIS 4Fach\n[ 0x07 ] TEMPERATUR 2Fach\n");
}

TEST(BusCommand, ScanOfAnEmptyBusPrintsNothing) {
    BusController vc({});
    const auto r = bus(vc, {"scan", "--interval", "20"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(BusCommand, ReadPrintsWhatEachModuleTypeShows) {
    BusController vc({"3:I:0.2:2", "4:I:0.2:8", "5:T:0.2:4", "6:T:0.2:2", "8:P:0.2:2", "9:O:0.2:4"});
    vc.command("bus 3 0x80");
    vc.command("bus 4 0x81");
    vc.command("bus 5 raw 0x0032 0xFFFE 0xFFFF 0x7E33");
    vc.command("bus 6 raw 0x0001 0x0002");
    const std::pair<const char*, const char*> cases[] = {
        {"3", "Eingänge: 10\n"},
        {"4", "Eingänge: 10000001\n"},
        {"5", "Temperatur 1: 25.0 °C\nTemperatur 2: -0.5 °C\nTemperatur 3: 0.0 °C\nTemperatur 4: 25.5 °C\n"},
        {"6", "Temperatur 1: 0.5 °C\nTemperatur 2: 1.0 °C\n"},
        {"8", "PWM1: 0\nPWM2: 0\n"},
        {"9", "Eingänge: 0000\n"},
    };
    for (const auto& [id, expected] : cases) {
        const auto r = bus(vc, {"read", id, "--force"});
        EXPECT_EQ(r.status, 0) << id << r.err;
        EXPECT_EQ(r.out, expected) << id;
    }
}

TEST(BusCommand, ReadRefusesToSwitchOffOutputAndPwmModulesWithoutForce) {
    BusController vc({"5:O:0.2:8", "8:P:0.2:2"});
    ASSERT_EQ(bus(vc, {"write", "5", "1,8"}).status, 0);
    ASSERT_EQ(bus(vc, {"pwm", "8", "200", "17"}).status, 0);
    for (const char* id : {"5", "8"}) {
        const auto r = bus(vc, {"read", id});
        EXPECT_EQ(r.status, 1) << id;
        EXPECT_EQ(r.out, "") << id;
        EXPECT_NE(r.err.find("schaltet alle Ausgänge aus (mit --force trotzdem lesen)"), std::string::npos) << r.err;
    }
    EXPECT_EQ(vc.module(5).PortBits, 0x81);
    EXPECT_EQ(vc.module(8).Duty, (std::array<std::uint8_t, 2>{200, 17}));
}

TEST(BusCommand, WriteSwitchesTheListedPortsOn) {
    BusController vc({"5:O:0.2:8"});
    auto r = bus(vc, {"write", "5", "1,8"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(vc.module(5).PortBits, 0x81);
    r = bus(vc, {"write", "5", "-"});
    EXPECT_EQ(vc.module(5).PortBits, 0x00);
}

TEST(BusCommand, PwmSetsBothDutyValues) {
    BusController vc({"8:P:0.2:2"});
    const auto r = bus(vc, {"pwm", "8", "255", "17"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(vc.module(8).Duty, (std::array<std::uint8_t, 2>{255, 17}));
}

TEST(BusCommand, PwmSettingsAreReadAndWritten) {
    BusController vc({"8:P:0.2:2"});
    auto r = bus(vc, {"pwm-settings", "8", "--freq1", "1,2kHz", "--inv1", "1", "--freq2", "60Hz", "--inv2", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(vc.module(8).PwmSettings, (std::array<std::uint8_t, 4>{3, 0, 7, 1}));
    r = bus(vc, {"pwm-settings", "8", "--inv2", "1"}); // the rest stays
    EXPECT_EQ(vc.module(8).PwmSettings, (std::array<std::uint8_t, 4>{3, 0, 7, 0}));
    r = bus(vc, {"pwm-settings", "8"});
    EXPECT_EQ(r.out, "Frequenz 1: 1,2kHz INV\nFrequenz 2: 60Hz INV\n");
}

TEST(BusCommand, SetIdGivesTheModuleItsNewId) {
    BusController vc({"0:O:0.2:2"});
    const auto r = bus(vc, {"set-id", "0", "12"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "DeviceID geändert: 0 zu 12\n");
    EXPECT_EQ(vc.busModules().at(0).Id, 12);
}

TEST(BusCommand, SilentModuleGivesNoAnswerAndExitOne) {
    BusController vc({"5:O:0.2:2"});
    for (const auto& args : std::vector<std::vector<std::string>>{{"read", "6"}, {"write", "6", "1"}}) {
        const auto r = bus(vc, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "Keine Antwort von ID 6\n");
    }
}

TEST(BusCommand, BadArgumentsAreUsageErrors) {
    BusController vc({});
    const std::vector<std::vector<std::string>> cases = {
        {"read", "33"}, {"write", "5", "9"}, {"write", "5", "1;2"}, {"pwm", "5", "256", "0"},
        {"pwm-settings", "5", "--freq1", "50Hz"}, {"set-id", "5"}, {"frobnicate"},
    };
    for (const auto& args : cases) EXPECT_EQ(bus(vc, args).status, 2) << args[0] << " " << args[1 % args.size()];
    EXPECT_EQ(runCli({"bus", "read", "5"}).status, 2); // no --device
}

#ifdef V7300_HAVE_QT
TEST(BusCommand, PrintWritesThePdfOfTheBusListing) {
    test::TempDir dir;
    test::RecordingMessagePort messages;
    TLogic logic(V7300_BINARY_DIR "/bin/objekts", messages);
    logic.NewProject();
    for (int i = 0; i < 12; ++i) ASSERT_GE(logic.Add_objekt("BUS-IN-VIII", "", 5, 5 + 10 * i), 0);
    const std::string project = dir.file("bus.v7k");
    SaveXml(logic, project);
    const auto r = runCli({"bus", "print", project, "-o", dir.file("bus.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = test::readFile(dir.file("bus.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    // Twelve modules of 19 lines each need more than one A4 page at 600 dpi.
    std::size_t pages = 0;
    for (auto at = pdf.find("/Type /Page\n"); at != std::string::npos; at = pdf.find("/Type /Page\n", at + 1)) ++pages;
    EXPECT_GE(pages, 2u);
    EXPECT_EQ(runCli({"bus", "print", project, "-o", dir.file("bus.png")}).status, 2);
}
#endif

} // namespace
} // namespace v7300

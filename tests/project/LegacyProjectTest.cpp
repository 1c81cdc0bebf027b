#include "ProjectTestFixture.h"

#include "core/TextCodec.h"
#include "project/LegacyProject.h"

#include <cstdio>
#include <unistd.h>

namespace v7300::test {
namespace {

using ::testing::ElementsAre;

std::string fmt(const char* format, const std::string& a, int b, int c) {
    char buf[256];
    std::snprintf(buf, sizeof buf, format, a.c_str(), b, c);
    return buf;
}

std::string comp(const std::string& name, int left, int top) { return fmt("%10s %4d %4d", name, left, top); }

std::string var(const std::string& name, const std::string& rest) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "%10s %s", name.c_str(), rest.c_str());
    return buf;
}

std::string wire(const std::string& out, int outId, const std::string& in, int inId, const std::string& points) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, "%10s %1d %10s %1d %s", out.c_str(), outId, in.c_str(), inId, points.c_str());
    return buf;
}

class LegacyProjectTest : public ProjectTest {
protected:
    // A text project of the given lines after line 1 ("...") and line 2 (module number).
    std::string file(const std::vector<std::string>& lines, const std::string& moduleLine = "3") {
        std::string text = "...\r\n" + utf8ToCp1252(moduleLine) + "\r\n";
        for (const auto& l : lines) text += utf8ToCp1252(l) + "\r\n";
        const std::string path = dir.file("p.V7300_Logik");
        writeFile(path, text);
        return path;
    }

    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& c : logic->Components) out.push_back(c.Name);
        return out;
    }

    std::string failure(const std::string& path) {
        try {
            Open(*logic, path);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }
};

TEST_F(LegacyProjectTest, ReadsComponentsVariablesWiresAndOptions) {
    Open(*logic, file({comp("AND1", 5, 6), comp("TIMER2", 20, 6), comp("TXT1", 30, 30), "---#",
                       var("TIMER2", "INT SEKUNDEN 42"), var("TXT1", "STR TEXT Schöne Grüße"), "---|",
                       wire("AND1", 0, "TIMER2", 1, "140;70|140;80|"), wire("TIMER2", 0, "AND1", 3, ""), "---O",
                       "QUARZ=8000000", "NETIO.Activ=TRUE", "NETIO.Host=host.lan", "NETIO.Port=1234",
                       "NETIO.Delay=9", "NETIO.Display=TRUE", "LPT.Activ=TRUE", "LPT.Address=632",
                       "V7300NETIO.IP=10.1.2.3"}));
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(logic->ModuleNumber, 3);
    EXPECT_THAT(names(), ElementsAre("AND1", "TIMER2", "TXT1"));
    EXPECT_EQ(logic->Components.Items(1).TypeName, "TIMER");
    EXPECT_EQ(logic->Components.Items(1).Left, 20);
    EXPECT_EQ(logic->Components.Items(1).Top, 6);
    EXPECT_EQ(logic->FindComponent("TIMER2")->Variables.Items(0).GetValue(), "42");
    // The value is every part from the fourth on, each followed by one blank.
    EXPECT_EQ(logic->FindComponent("TXT1")->Variables.Items(0).GetValue(), "Schöne Grüße ");
    ASSERT_EQ(logic->Wires.Count(), 2);
    const TWire& w = logic->Wires.Items(0);
    EXPECT_EQ(w.Output, "AND1");
    EXPECT_EQ(w.OutputID, 0);
    EXPECT_EQ(w.Input, "TIMER2");
    EXPECT_EQ(w.InputID, 1);
    EXPECT_THAT(w.Points, ElementsAre(TPointEx{140, 70}, TPointEx{140, 80}));
    EXPECT_TRUE(logic->Wires.Items(1).Points.empty());
    EXPECT_EQ(logic->Wires.Items(1).InputID, 3);
    EXPECT_EQ(logic->Quarz, 8000000);
    EXPECT_TRUE(logic->NetioActive);
    EXPECT_EQ(logic->NetioHost, "host.lan");
    EXPECT_EQ(logic->NetioPort, 1234);
    EXPECT_EQ(logic->NetioDelay, 9);
    EXPECT_TRUE(logic->NetioDisplay);
    EXPECT_TRUE(logic->LptActive);
    EXPECT_EQ(logic->LptAddress, 632);
    EXPECT_EQ(logic->DeviceAddress, "10.1.2.3");
}

TEST_F(LegacyProjectTest, TypeIsTheNameBeforeItsFirstDigit) {
    Open(*logic, file({comp("ZEIT12", 5, 5), comp("WIDE", 20, 5), comp("IN12", 30, 5), comp("IN9", 40, 5)}));
    ASSERT_THAT(names(), ElementsAre("ZEIT12", "WIDE", "IN12", "IN9"));
    EXPECT_EQ(logic->Components.Items(0).TypeName, "ZEIT");
    EXPECT_EQ(logic->Components.Items(1).TypeName, "WIDE");
    EXPECT_EQ(logic->Components.Items(2).TypeName, "IN");
}

TEST_F(LegacyProjectTest, FixedInputsAndOutputsAreSkippedByTheirFirstFourCharacters) {
    Open(*logic, file({comp("IN1", 5, 5), comp("IN8", 5, 9), comp("OUT1", 5, 13), comp("OUT12", 5, 17),
                       comp("OUT1X", 5, 21), comp("OUT8", 5, 25), comp("IN12", 5, 29), comp("AND1", 5, 33)}));
    EXPECT_THAT(names(), ElementsAre("IN12", "AND1"));
}

TEST_F(LegacyProjectTest, VariablesOfASkippedComponentStopTheReading) {
    const std::string path = file({comp("AND1", 5, 5), comp("IN1", 5, 9), "---#", var("IN1", "INT HID 1"), "---|",
                                   wire("AND1", 0, "AND1", 0, "")});
    EXPECT_EQ(failure(path), "Der Baustein IN1 ist nicht vorhanden");
    EXPECT_THAT(names(), ElementsAre("AND1"));
    EXPECT_EQ(logic->Wires.Count(), 0);
}

TEST_F(LegacyProjectTest, CounterStartsAgainForEachRunOfAComponentsLines) {
    Open(*logic, file({comp("NUM1", 5, 5), comp("TIMER1", 15, 5), "---#", var("NUM1", "INT VALUE 11"),
                       var("TIMER1", "INT SEKUNDEN 22"), var("NUM1", "INT VALUE 33")}));
    EXPECT_EQ(logic->FindComponent("NUM1")->Variables.Items(0).GetValue(), "33");
    EXPECT_EQ(logic->FindComponent("TIMER1")->Variables.Items(0).GetValue(), "22");
}

TEST_F(LegacyProjectTest, RefusedValueIsDroppedAndBoolNonsenseStops) {
    Open(*logic, file({comp("NUM1", 5, 5), "---#", var("NUM1", "INT VALUE zehn")}));
    EXPECT_EQ(logic->FindComponent("NUM1")->Variables.Items(0).GetValue(), "0");
    EXPECT_TRUE(port.messages.empty());

    EXPECT_EQ(failure(file({comp("BOOLTEST1", 5, 5), "---#", var("BOOLTEST1", "BOOL FLAG vielleicht")})),
              "'vielleicht' ist kein gültiger Boolescher Wert");
}

TEST_F(LegacyProjectTest, OptionsInAnyOrderAndOnlyUpperCaseTrueIsTrue) {
    Open(*logic, file({"---O", "", "V7300NETIO.IP=1.1.1.1", "NETIO.Activ=true", "Unbekannt=5", "ohne Gleich",
                       "LPT.Activ=TRUE", "---W", "", "irgendwas", "QUARZ=1"}));
    EXPECT_EQ(logic->DeviceAddress, "1.1.1.1");
    EXPECT_FALSE(logic->NetioActive);
    EXPECT_TRUE(logic->LptActive);
    EXPECT_EQ(logic->Quarz, 16000000); // lines after "---W" are ignored
}

TEST_F(LegacyProjectTest, FailingLinesStopTheReadingAndKeepWhatWasRead) {
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::string> kept;
        int wires;
        const char* message;
    } cases[] = {
        {"empty component line", {comp("AND1", 5, 5), "", comp("OR1", 5, 9)}, {"AND1"}, 0,
         "'' ist kein gültiger Integerwert"},
        {"left no integer", {comp("AND1", 5, 5), "       OR1    x    9"}, {"AND1"}, 0,
         "'x' ist kein gültiger Integerwert"},
        {"too many values", {comp("NUM1", 5, 5), "---#", var("NUM1", "INT VALUE 1"), var("NUM1", "INT X 2")},
         {"NUM1"}, 0, "Der Baustein NUM1 hat nur 1 Variablen"},
        {"empty wire line", {comp("AND1", 5, 5), "---|", wire("AND1", 0, "AND1", 1, ""), ""}, {"AND1"}, 1,
         "'' ist kein gültiger Integerwert"},
        {"malformed points", {comp("AND1", 5, 5), "---|", wire("AND1", 0, "AND1", 1, "10;20|30;")}, {"AND1"}, 1,
         "'30;' ist kein gültiger Punkt"},
        {"points without separator", {comp("AND1", 5, 5), "---|", wire("AND1", 0, "AND1", 1, "10")}, {"AND1"}, 1,
         "'10' ist kein gültiger Punkt"},
        {"option no integer", {comp("AND1", 5, 5), "---O", "NETIO.Port=viele"}, {"AND1"}, 0,
         "'viele' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(failure(file(c.lines)), c.message);
        EXPECT_EQ(names(), c.kept);
        EXPECT_EQ(logic->Wires.Count(), c.wires);
    }
}

TEST_F(LegacyProjectTest, NameUsedTwiceFailsAtItsVariables) {
    EXPECT_EQ(failure(file({comp("NUM1", 5, 5), comp("NUM1", 5, 9), "---#", var("NUM1", "INT VALUE 1")})),
              "Objekt-ID doppelt vergeben!");
    EXPECT_THAT(names(), ElementsAre("NUM1", "NUM1"));
}

TEST_F(LegacyProjectTest, NameUsedTwiceFailsAtItsSecondComponentLine) {
    EXPECT_EQ(failure(file({comp("AND1", 5, 5), comp("AND1", 5, 9), comp("OR1", 5, 13), "---O", "QUARZ=8000000"})),
              "Objekt-ID doppelt vergeben!");
    EXPECT_THAT(names(), ElementsAre("AND1", "AND1"));
    EXPECT_EQ(logic->Quarz, 16000000);
}

TEST_F(LegacyProjectTest, FilesLargerThan64MiBAreRefusedUnreadWithTheFormatMessage) {
    const std::string big = dir.file("gross.V7300_Logik");
    writeFile(big, "");
    ASSERT_EQ(::truncate(big.c_str(), 64 * 1024 * 1024 + 1), 0); // sparse: no disk space used
    logic->Add_objekt("AND", "AND7", 0, 0);
    for (const std::string& path : {big, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(failure(path), "Die Datei entspricht nicht dem V7300 (v7k) Format!");
        EXPECT_THAT(names(), ElementsAre("AND7"));
    }
}

TEST_F(LegacyProjectTest, PointsBeyondAMillionPixelsStopTheReadingWithTheFormatMessage) {
    const auto lines = [](const std::string& points) {
        return std::vector<std::string>{comp("AND1", 5, 5), "---|", wire("AND1", 0, "AND1", 1, points)};
    };
    EXPECT_EQ(failure(file(lines("10;20|2147483647;30|"))), "Die Datei entspricht nicht dem V7300 (v7k) Format!");
    EXPECT_EQ(failure(file(lines("10;-1000001|"))), "Die Datei entspricht nicht dem V7300 (v7k) Format!");
    EXPECT_EQ(failure(file(lines("-2147483648;0|"))), "Die Datei entspricht nicht dem V7300 (v7k) Format!");
    EXPECT_EQ(failure(file(lines("1000000;-1000000|"))), "no failure");
    EXPECT_EQ(logic->Wires.Items(0).Points.back(), (TPointEx{1000000, -1000000}));
}

TEST_F(LegacyProjectTest, ModuleNumberThatIsNoIntegerChangesNothing) {
    logic->Add_objekt("AND", "AND7", 0, 0);
    logic->ModuleNumber = 4;
    EXPECT_EQ(failure(file({comp("OR1", 5, 5)}, "vier")), "'vier' ist kein gültiger Integerwert");
    EXPECT_THAT(names(), ElementsAre("AND7"));
    EXPECT_EQ(logic->ModuleNumber, 4);
}

TEST_F(LegacyProjectTest, OpenLegacyShowsTheFailureAsAnErrorBox) {
    EXPECT_FALSE(OpenLegacy(*logic, file({comp("NUM1", 5, 5), comp("NUM1", 5, 9), "---#", var("NUM1", "INT V 1")})));
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Fehler");
    EXPECT_EQ(port.messages[0].text, "Objekt-ID doppelt vergeben!");
    EXPECT_TRUE(OpenLegacy(*logic, file({comp("NUM1", 5, 5)})));
}

TEST_F(LegacyProjectTest, UnknownTypeIsReportedAndSkipped) {
    Open(*logic, file({comp("XYZ1", 5, 5), comp("AND1", 5, 9)}));
    EXPECT_THAT(port.texts(), ElementsAre("Der Baustein XYZ konnte nicht gefunden werden!"));
    EXPECT_THAT(names(), ElementsAre("AND1"));
}

} // namespace
} // namespace v7300::test

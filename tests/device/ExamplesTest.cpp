// The example projects in examples/: every file there is opened, written and
// read back, compiled and simulated; the ones built here in code are compared
// with the committed files and checked for what they are for. With
// V7300_WRITE_EXAMPLES=1 the test writes the built ones anew.
#include "core/Clock.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace v7300 {
namespace {

using test::RecordingMessagePort;
const std::string kLibrary = V7300_BINARY_DIR "/bin/objekts";
const std::string kExamplesDir = V7300_SOURCE_DIR "/examples";
// How many project files examples/ holds: raise it with every example added.
constexpr int kExampleProjects = 3;

struct Builder {
    TLogic& logic;
    std::string place(const std::string& type, int left, int top,
                      std::vector<std::pair<std::string, std::string>> vars = {}) {
        const int index = logic.Add_objekt(type, "", left, top);
        EXPECT_GE(index, 0) << type;
        TLogicComponent& c = logic.Components.Items(index);
        for (const auto& [name, value] : vars) EXPECT_TRUE(c.Variables.FindByName(name)->SetValue(value)) << name;
        return c.Name;
    }
    void wire(const std::string& from, int output, const std::string& to, int input) {
        EXPECT_GE(logic.add_verbinder(from, output - 1, input - 1, to), 0) << from << " " << to;
    }
};

void staircase(TLogic& logic) {
    Builder b{logic};
    b.place("TXT", 3, 2, {{"TEXT", "Treppenlicht: ein Tastendruck schaltet das Licht für 2 Minuten ein"}});
    const auto taster = b.place("IN", 4, 7, {{"BESCHRIFTUNG", "Taster Flur"}, {"TYPE", "10"}});
    const auto null = b.place("NUM", 4, 16, {{"VALUE", "0"}});
    const auto timer = b.place("TIMER", 18, 7, {{"SEKUNDEN", "120"}});
    const auto licht = b.place("OUT", 32, 7, {{"BESCHRIFTUNG", "Treppenlicht"}, {"ID", "1"}});
    b.wire(taster, 1, timer, 1);
    b.wire(null, 1, timer, 2);
    b.wire(timer, 1, licht, 1);
}

void shutters(TLogic& logic) {
    Builder b{logic};
    b.place("TXT", 3, 2, {{"TEXT", "Rollläden: Wohnzimmer und Küche mit eigenen Tastern, Zentral auf/ab für beide"}});
    const auto auf1 = b.place("IN", 4, 7, {{"BESCHRIFTUNG", "Wohnen auf"}, {"TYPE", "10"}});
    const auto ab1 = b.place("IN", 4, 16, {{"BESCHRIFTUNG", "Wohnen ab"}, {"TYPE", "10"}});
    const auto auf2 = b.place("IN", 4, 34, {{"BESCHRIFTUNG", "Küche auf"}, {"TYPE", "10"}});
    const auto ab2 = b.place("IN", 4, 43, {{"BESCHRIFTUNG", "Küche ab"}, {"TYPE", "10"}});
    const auto zauf = b.place("IN", 4, 52, {{"BESCHRIFTUNG", "Zentral auf"}, {"TYPE", "10"}});
    const auto zab = b.place("IN", 4, 61, {{"BESCHRIFTUNG", "Zentral ab"}, {"TYPE", "10"}});
    const auto stop = b.place("NUM", 4, 25, {{"VALUE", "0"}});
    const auto r1 = b.place("ROLLO", 20, 9, {{"TIME", "25"}});
    const auto r2 = b.place("ROLLO", 20, 36, {{"TIME", "20"}});
    const auto o1 = b.place("OUT", 36, 7, {{"BESCHRIFTUNG", "Wohnen auf"}, {"ID", "1"}, {"TYPE", "5"}});
    const auto o2 = b.place("OUT", 36, 16, {{"BESCHRIFTUNG", "Wohnen ab"}, {"ID", "2"}, {"TYPE", "5"}});
    const auto o3 = b.place("OUT", 36, 34, {{"BESCHRIFTUNG", "Küche auf"}, {"ID", "3"}, {"TYPE", "5"}});
    const auto o4 = b.place("OUT", 36, 43, {{"BESCHRIFTUNG", "Küche ab"}, {"ID", "4"}, {"TYPE", "5"}});
    for (const auto& [r, up, down] : {std::tuple{r1, auf1, ab1}, std::tuple{r2, auf2, ab2}}) {
        b.wire(up, 1, r, 1);
        b.wire(down, 1, r, 2);
        b.wire(stop, 1, r, 3);
        b.wire(zauf, 1, r, 4);
        b.wire(zab, 1, r, 5);
    }
    b.wire(r1, 1, o1, 1);
    b.wire(r1, 2, o2, 1);
    b.wire(r2, 1, o3, 1);
    b.wire(r2, 2, o4, 1);
}

void heating(TLogic& logic) {
    Builder b{logic};
    b.place("TXT", 3, 2, {{"TEXT", "Heizung: unter 19,5 °C heizen bis 21,5 °C, nur von 6 bis 22 Uhr"}});
    const auto temp = b.place("IN", 4, 7, {{"BESCHRIFTUNG", "Raumtemperatur"}, {"TYPE", "3"}, {"HID", "1"}});
    const auto warm = b.place("SCHWELLE", 18, 7, {{"SCHWELLEUP", "215"}, {"SCHWELLEDOWN", "195"}});
    const auto kalt = b.place("INV", 32, 7);
    const auto zeit = b.place("WEEKTIMER", 18, 17, {{"TIME1", "060000"}, {"TIME2", "220000"}});
    const auto und = b.place("AND", 44, 7);
    const auto heizung = b.place("OUT", 58, 7, {{"BESCHRIFTUNG", "Heizung"}, {"ID", "1"}, {"TYPE", "1"}});
    const auto eins = b.place("NUM", 4, 27, {{"VALUE", "1"}});
    const auto lcd = b.place("LCD", 18, 27, {{"VAL1", "Raum:      Grad "}, {"VAL2", "Heizung 6-22 Uhr"}, {"POS", "5"},
                                             {"TYPE", "3"}});
    b.wire(temp, 1, warm, 1);
    b.wire(warm, 1, kalt, 1);
    b.wire(kalt, 1, und, 1);
    b.wire(zeit, 1, und, 2);
    b.wire(und, 1, heizung, 1);
    b.wire(eins, 1, lcd, 1);
    b.wire(temp, 1, lcd, 2);
}

struct Example {
    const char* file;
    std::function<void(TLogic&)> build;
    // Drives the running simulation and checks what the example is for.
    std::function<void(TLogicSimulation&)> check;
};

const Example kExamples[] = {
    {"treppenlicht.v7k", staircase,
     [](TLogicSimulation& sim) {
         sim.Toogle_input(1);
         sim.RunCycles(5);
         EXPECT_TRUE(sim.Simulator().Output_Status("OUT1", 1));
         EXPECT_NE(sim.Simulator().GetVariable("$TIMER1_COUNTER"), "0");
     }},
    {"rollladen.v7k", shutters,
     [](TLogicSimulation& sim) {
         sim.Toogle_input(5); // central up
         sim.RunCycles(5);
         EXPECT_TRUE(sim.Simulator().Output_Status("OUT1", 1));
         EXPECT_TRUE(sim.Simulator().Output_Status("OUT3", 1));
         EXPECT_FALSE(sim.Simulator().Output_Status("OUT2", 1));
     }},
    {"heizung.v7k", heating,
     [](TLogicSimulation& sim) {
         sim.Simulator().SetInputValue("IN1", 1, 190);
         sim.RunCycles(3);
         EXPECT_TRUE(sim.Simulator().Output_Status("OUT1", 1));
         EXPECT_EQ(sim.Simulator().LcdLines().first, "Raum: 19,0 Grad ");
         sim.Simulator().SetInputValue("IN1", 1, 215);
         sim.RunCycles(3);
         EXPECT_FALSE(sim.Simulator().Output_Status("OUT1", 1));
     }},
};

TEST(Examples, BuiltInCodeMatchTheCommittedFilesAndDoWhatTheyAreFor) {
    setDecimalSeparator(',');
    const bool write = std::getenv("V7300_WRITE_EXAMPLES") != nullptr;
    for (const auto& ex : kExamples) {
        SCOPED_TRACE(ex.file);
        const std::string path = kExamplesDir + "/" + ex.file;
        RecordingMessagePort port;
        TLogic built(kLibrary, port);
        built.NewProject();
        ex.build(built);
        if (write) SaveXml(built, path);

        TLogic opened(kLibrary, port);
        opened.NewProject();
        ASSERT_TRUE(OpenXml(opened, path));
        ASSERT_EQ(opened.Components.Count(), built.Components.Count());
        for (int i = 0; i < built.Components.Count(); ++i) {
            const auto& a = built.Components.Items(i);
            const auto& b = opened.Components.Items(i);
            EXPECT_EQ(a.Name, b.Name);
            EXPECT_EQ(a.Left, b.Left);
            EXPECT_EQ(a.Top, b.Top);
            ASSERT_EQ(a.Variables.Count(), b.Variables.Count()) << a.Name;
            for (int v = 0; v < a.Variables.Count(); ++v)
                EXPECT_EQ(a.Variables.Items(v).GetValue(), b.Variables.Items(v).GetValue()) << a.Name;
        }
        EXPECT_EQ(opened.Wires.Count(), built.Wires.Count());

        TV7300_EEPROM_Data image;
        EXPECT_NO_THROW(CreateNETIOData(opened, image));

        VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}};
        TLogicSimulation sim(opened, clock);
        sim.Simulate(false);
        sim.RunCycles(2);
        ex.check(sim);
        sim.Simulation_abbrechen();
        EXPECT_TRUE(port.messages.empty()) << port.texts().front();
    }
}

// The project files of examples/ (".v7k" and ".V7300_Logik" in any letter case), sorted.
std::vector<std::string> exampleProjects() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(kExamplesDir)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".v7k" || ext == ".v7300_logik") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string describe(const TLogic& logic) {
    std::string s = "address " + logic.DeviceAddress + "\n";
    for (const auto& c : logic.Components) {
        s += c.Name + " " + c.TypeName + " " + std::to_string(c.Left) + "," + std::to_string(c.Top) + ":";
        for (const auto& v : c.Variables) s += " " + v.Name() + "=" + v.GetValue();
        s += "\n";
    }
    for (const auto& w : logic.Wires) {
        s += w.Output + "." + std::to_string(w.OutputID) + " -> " + w.Input + "." + std::to_string(w.InputID);
        for (const auto& p : w.Points) s += " " + std::to_string(p.X) + ";" + std::to_string(p.Y);
        s += "\n";
    }
    return s;
}

// The image, or the compiler's message when the diagram cannot be compiled.
std::string compile(const TLogic& logic) {
    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(logic, image);
    } catch (const Error& e) {
        return std::string("Fehler: ") + e.what();
    }
    return std::string(image.Bytes().begin(), image.Bytes().end());
}

TEST(Examples, EveryFileRoundTripsThroughTheWriterCompilesAndSimulates) {
    setDecimalSeparator(',');
    test::TempDir dir;
    int walked = 0;
    for (const std::string& path : exampleProjects()) {
        SCOPED_TRACE(path);
        RecordingMessagePort port;
        TLogic opened(kLibrary, port);
        opened.NewProject();
        ASSERT_TRUE(OpenProjectFileFromDialog(opened, path));

        const std::string written = dir.file("wieder.v7k");
        SaveXml(opened, written);
        TLogic again(kLibrary, port);
        again.NewProject();
        ASSERT_TRUE(OpenXml(again, written));
        EXPECT_EQ(describe(again), describe(opened));
        EXPECT_TRUE(again.Wires == opened.Wires);
        EXPECT_TRUE(again.ShownTexts == opened.ShownTexts);
        EXPECT_EQ(BuildXmlText(again), BuildXmlText(opened));
        EXPECT_EQ(compile(again), compile(opened));
        EXPECT_EQ(GetCrc(again), GetCrc(opened));

        VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}};
        TLogicSimulation sim(again, clock);
        sim.Simulate(false);
        EXPECT_EQ(sim.RunCycles(3), 3);
        sim.Simulation_abbrechen();
        EXPECT_TRUE(port.messages.empty()) << port.texts().front();
        ++walked;
    }
    EXPECT_EQ(walked, kExampleProjects);
}

} // namespace
} // namespace v7300

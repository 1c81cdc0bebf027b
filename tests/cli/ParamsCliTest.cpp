// v7300 set and v7300 pages on projects of the shipped library.
#include "cli/Cli.h"
#include "model/Logic.h"
#include "project/XmlProject.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace v7300::test {
namespace {

class ParamsCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        logic.NewProject();
        timer = logic.Add_objekt("TIMER", "", 0, 0);
        logic.Add_objekt("OUT", "", 100, 0);
        logic.Add_objekt("OUT", "", 200, 0);
        logic.Add_objekt("WEEKTIMER", "", 300, 0);
        SaveXml(logic, project());
        original = readFile(project());
    }
    std::string project() const { return dir.file("p.v7k"); }
    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"v7300", "--library", library});
        return cli::run(args, out, err);
    }
    std::string valueIn(const std::string& file, const std::string& component, const std::string& variable) {
        TLogic read(library, port);
        read.NewProject();
        EXPECT_TRUE(OpenXml(read, file));
        for (const auto& c : read.Components)
            if (c.Name == component) return c.Variables.FindByName(variable)->GetValue();
        return "<kein Baustein>";
    }

    const std::string library = std::string(V7300_BINARY_DIR) + "/bin/objekts";
    RecordingMessagePort port;
    TLogic logic{library, port};
    int timer = -1;
    TempDir dir;
    std::string original;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(ParamsCliTest, SetWritesTheValuesSilentlyIntoTheProject) {
    const std::string name = logic.Components.Items(timer).Name;
    ASSERT_EQ(run({"set", project(), name + ".SEKUNDEN=25", "WEEKTIMER1.TIME1=07:30", "OUT1.TXT2=A=B.C"}), 0)
        << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(valueIn(project(), name, "SEKUNDEN"), "25");
    EXPECT_EQ(valueIn(project(), "WEEKTIMER1", "TIME1"), "073000");
    EXPECT_EQ(valueIn(project(), "OUT1", "TXT2"), "A=B.C");
}

TEST_F(ParamsCliTest, SetOutsideTheIntegerRangeWarnsAndStores) {
    ASSERT_EQ(run({"set", project(), "TIMER1.SEKUNDEN=40000", "-o", dir.file("neu.v7k")}), 0) << err.str();
    EXPECT_EQ(err.str(), "Hinweis: Der Wert \"40000\" ist außerhalb des möglichen Bereiches!\nBereich: -32.768 bis 32.767\n");
    EXPECT_EQ(valueIn(dir.file("neu.v7k"), "TIMER1", "SEKUNDEN"), "40000");
    EXPECT_EQ(readFile(project()), original);
}

TEST_F(ParamsCliTest, SetRefusesWithoutWritingAnything) {
    const struct {
        std::string assignment;
        std::string message;
    } cases[] = {
        {"XYZ9.SEKUNDEN=1", "Fehler: Den Baustein XYZ9 gibt es nicht.\n"},
        {"TIMER1.MINUTEN=1", "Fehler: Der Baustein TIMER1 hat keine Variable MINUTEN.\n"},
        {"TIMER1.SEKUNDEN=-", "Fehler: '-' ist kein gültiger Integerwert\n"},
        {"OUT2.ID=1", "Fehler: Die Output-ID 1 ist nicht frei.\n"},
        {"OUT2.ID=9", "Fehler: Die Output-ID muss zwischen 1 und 8 liegen.\n"},
        {"WEEKTIMER1.TIME2=25:00", "Fehler: '25:00' ist keine gültige Zeit\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run({"set", project(), "TIMER1.SEKUNDEN=7", c.assignment}), 1) << c.assignment;
        EXPECT_EQ(err.str(), c.message);
        EXPECT_EQ(readFile(project()), original) << c.assignment;
    }
    EXPECT_EQ(run({"set", project(), "TIMER1SEKUNDEN"}), 2);
}

TEST_F(ParamsCliTest, PagesPrintsEveryPageAndItsFilledSlots) {
    logic.ShownTexts[0].name = "Flur";
    logic.ShownTexts[0].slots[0] = TOutputs{"TIMER1", 0, "Licht", 1};
    logic.ShownTexts[0].slots[5] = TOutputs{"WEEKTIMER1", 0, "Uhr", 2};
    logic.ShownTexts[3].name = "Bad";
    logic.ShownTexts[3].slots[7] = TOutputs{"TIMER1", 0, "Licht", 1};
    SaveXml(logic, project());
    ASSERT_EQ(run({"pages", project()}), 0) << err.str();
    EXPECT_EQ(out.str(), "Seite 1: Flur\n"
                         "  0: TIMER1 [1] Licht\n"
                         "  5: WEEKTIMER1 [1] Uhr\n"
                         "Seite 2: \n"
                         "Seite 3: \n"
                         "Seite 4: Bad\n"
                         "  7: TIMER1 [1] Licht\n"
                         "Seite 5: \n"
                         "Seite 6: \n");
}

} // namespace
} // namespace v7300::test

// The shipped component library against the type catalogue, and the catalogue
// check finding each kind of defect in a copy of it.
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/LibraryCheck.h"
#include "model/Logic.h"
#include "model/TypeCatalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace v7300 {
namespace {

namespace fs = std::filesystem;
using test::RecordingMessagePort;
using test::TempDir;

const std::string kShipped = V7300_BINARY_DIR "/bin/objekts";

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

TEST(ShippedLibrary, PassesEveryCheck) {
    RecordingMessagePort port;
    const TLogicComponentLibrary library(kShipped, port);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(library.Count(), 32);
    const auto problems = CheckLibrary(library);
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

TEST(ShippedLibrary, EveryTypePlacesWithoutMessageAndWithItsVariables) {
    RecordingMessagePort port;
    TLogic logic(kShipped, port);
    logic.NewProject();
    int placed = 0;
    for (const auto& entry : TypeCatalogue()) {
        const int index = logic.Add_objekt(entry.typeName, "", 1 + placed % 10 * 10, 1 + placed / 10 * 12);
        ASSERT_GE(index, 0) << entry.typeName;
        const TLogicComponent& c = logic.Components.Items(index);
        EXPECT_EQ(c.Name, std::string(entry.typeName) + "1");
        EXPECT_EQ(c.InputCount, entry.inputs) << entry.typeName;
        EXPECT_EQ(c.OutputCount, entry.outputs) << entry.typeName;
        for (const auto& var : entry.variables)
            EXPECT_NE(c.Variables.FindByName(var.name), nullptr) << entry.typeName << " " << var.name;
        ++placed;
    }
    EXPECT_EQ(placed, 32);
    EXPECT_TRUE(port.messages.empty()) << joined(port.texts());
}

// A writable copy of the shipped library with one defect put in.
class CatalogueCheck : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void reset() {
        fs::remove_all(dir.path() + "/objekts");
        fs::copy(kShipped, dir.path() + "/objekts", fs::copy_options::recursive);
    }

    std::string path(const std::string& rel) const { return dir.path() + "/objekts/" + rel; }

    // Rewrites a definition file with a correct checksum after changing its lines.
    void editDefinition(const std::string& type, const std::function<void(std::vector<std::string>&)>& edit) {
        std::vector<std::string> lines = splitLines(cp1252ToUtf8(readFileBytes(path(type + "/" + type + ".obj"))));
        lines.erase(lines.begin());
        edit(lines);
        test::writeDefinition(dir.path() + "/objekts", type, lines);
    }

    static void replaceLine(std::vector<std::string>& lines, const std::string& from, const std::string& to) {
        const auto it = std::find(lines.begin(), lines.end(), from);
        ASSERT_NE(it, lines.end()) << from;
        *it = to;
    }

    std::vector<std::string> problems() {
        RecordingMessagePort port;
        const TLogicComponentLibrary library(dir.path() + "/objekts", port);
        return CheckLibrary(library);
    }

    // Exactly one problem, containing the expected text.
    void expectOneProblem(const std::string& expected) {
        const auto p = problems();
        ASSERT_EQ(p.size(), 1u) << joined(p);
        EXPECT_NE(p.front().find(expected), std::string::npos) << p.front();
    }

    TempDir dir;
};

TEST_F(CatalogueCheck, UntouchedCopyHasNoProblem) { EXPECT_TRUE(problems().empty()) << joined(problems()); }

TEST_F(CatalogueCheck, MissingTypeIsNamed) {
    fs::remove_all(path("BI"));
    expectOneProblem("BI: Typ fehlt in der Bibliothek");
}

TEST_F(CatalogueCheck, TypeTwiceIsNamed) {
    fs::create_directories(path("extra/AND"));
    fs::copy(path("AND/AND.obj"), path("extra/AND/AND.obj"));
    fs::copy(path("AND/AND.png"), path("extra/AND/AND.png"));
    expectOneProblem("AND: Typ ist 2-mal vorhanden");
}

TEST_F(CatalogueCheck, ChangedFileWithoutNewChecksumIsFound) {
    std::string bytes = readFileBytes(path("NUM/NUM.obj"));
    bytes.replace(bytes.find("INT VALUE 1"), 11, "INT VALUE 2");
    writeFileAtomic(path("NUM/NUM.obj"), bytes);
    expectOneProblem("Prüfsumme falsch");
}

struct HeaderDefect {
    const char* type;
    const char* from;
    const char* to;
    const char* expected;
};

TEST_F(CatalogueCheck, HeaderDefectsAreFound) {
    const HeaderDefect cases[] = {
        {"AND", "AND", "UND", "-NAME ist \"UND\" statt \"AND\""},
        {"TIMER", "INT SEKUNDEN 10", "STR SEKUNDEN 10", "Variable SEKUNDEN ist STR, erwartet Zahl (INT)"},
        {"COUNT", "INT COUNT 5", "INT ANZAHL 5", "Variable COUNT fehlt"},
        {"NUM", "INT VALUE 1", "INT VALUE 40000", "Variable VALUE: Vorgabe \"40000\" liegt nicht in"},
        {"WEEKTIMER", "INT TIME1 060000", "INT TIME1 250000", "Variable TIME1: Vorgabe \"250000\" ist keine Uhrzeit"},
        {"WEEKTIMER", "INT MO 1", "INT MO 2", "Variable MO: Vorgabe \"2\" ist nicht 0 oder 1"},
        {"CALC", "CAL TYPE 0", "INT TYPE 0", "Variable TYPE ist INT, erwartet Rechenart (CAL)"},
        {"OUT", "INT COL1 8421504", "INT COL1 -1", "Variable COL1: Vorgabe \"-1\" ist keine 24-Bit-Farbe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + c.to);
        reset();
        editDefinition(c.type, [&](std::vector<std::string>& lines) { replaceLine(lines, c.from, c.to); });
        expectOneProblem(c.expected);
    }
}

TEST_F(CatalogueCheck, PinCountsAndHeightAreChecked) {
    editDefinition("ROLLO", [](std::vector<std::string>& lines) {
        const auto in = std::find(lines.begin(), lines.end(), "-IN");
        *(in + 1) = "4";
    });
    expectOneProblem("-IN ist 4 statt 5");
    reset();
    editDefinition("ROLLO", [](std::vector<std::string>& lines) {
        const auto y = std::find(lines.begin(), lines.end(), "-Y");
        *(y + 1) = "5";
    });
    const auto p = problems();
    // The picture no longer fits either.
    ASSERT_EQ(p.size(), 2u) << joined(p);
    EXPECT_NE(p[0].find("-Y 5 ist zu klein für 5 Anschlüsse"), std::string::npos) << p[0];
    EXPECT_NE(p[1].find("Bild ROLLO.png ist 60x60 statt 60x50 Pixel"), std::string::npos) << p[1];
}

TEST_F(CatalogueCheck, HidMustStayTheThirdVariableOfIn) {
    editDefinition("IN", [](std::vector<std::string>& lines) {
        auto hid = std::find(lines.begin(), lines.end(), "INT HID 0");
        std::iter_swap(hid, hid - 1);
    });
    expectOneProblem("HID muss die dritte Variable sein");
}

TEST_F(CatalogueCheck, MissingPicturesAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"IN/IN10_.png", "Bild IN10_.png fehlt"},
        {"IN/IN.png", "Bild IN.png fehlt"},
        {"OUT/OUT.png", "Bild OUT.png fehlt"},
        {"IN/Option11.bmp", "Bild Option11.bmp fehlt"},
        {"LCD/LCD.png", "Bild LCD.png fehlt"},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(file);
        reset();
        fs::remove(path(file));
        expectOneProblem(expected);
    }
}

TEST_F(CatalogueCheck, PictureOfWrongSizeIsNamed) {
    test::writePng(path("COUNT/COUNT.png"), 40, 30);
    expectOneProblem("Bild COUNT.png ist 40x30 statt 50x30 Pixel");
}

} // namespace
} // namespace v7300

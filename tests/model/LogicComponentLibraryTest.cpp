#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/Logic.h"
#include "model/LogicComponentLibrary.h"
#include "model/ObjDefinition.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace v7300;
using test::RecordingMessagePort;
using test::TempDir;

namespace {
const char* kChangedText = "Dieses Objekt wurde geändert!\r\nDies führt zu Fehlern!\r\nDie Simulation und die Logik "
                           "im Atmel werden nicht mehr richtig zusammenarbeiten!";
}

TEST(Library, SearchesSubfoldersFirstThenOwnFilesSortedByName) {
    TempDir dir;
    test::writeFile(dir.file("top.obj"), test::signedDefinition({"-NAME", "top", "---"}));
    test::writeDefinition(dir.path(), "B", {"-NAME", "B", "---"});
    test::writeDefinition(dir.path(), "A", {"-NAME", "A", "---"});
    test::writeFile(dir.file("A/deep/C.x.obj"), test::signedDefinition({"---"}));
    RecordingMessagePort port;
    TLogicComponentLibrary lib(dir.path(), port);
    ASSERT_EQ(lib.Count(), 4);
    EXPECT_EQ(lib.Items(0).Name, "C"); // name up to the first "."
    EXPECT_EQ(lib.Items(1).Name, "A");
    EXPECT_EQ(lib.Items(2).Name, "B");
    EXPECT_EQ(lib.Items(3).Name, "top");
    EXPECT_TRUE(port.messages.empty());
}

TEST(Library, MissingOrEmptyFolderGivesEmptyLibrary) {
    RecordingMessagePort port;
    EXPECT_EQ(TLogicComponentLibrary("/nonexistent/v7300/objekts", port).Count(), 0);
    TempDir dir;
    EXPECT_EQ(TLogicComponentLibrary(dir.path(), port).Count(), 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST(Library, ReadsWindows1252LinesWithAnyLineEnd) {
    TempDir dir;
    test::writeFile(dir.file("T/T.obj"), std::string("{x-0}\n-NAME\rT\r\n-VARNAMES\nZ\xE4hler\n"));
    RecordingMessagePort port;
    TLogicComponentLibrary lib(dir.path(), port);
    ASSERT_EQ(lib.Count(), 1);
    EXPECT_EQ(lib.Items(0).Lines, (std::vector<std::string>{"{x-0}", "-NAME", "T", "-VARNAMES", "Zähler"}));
}

TEST(Library, LoadsEveryPngOfTheFolderWithWhiteTransparency) {
    TempDir dir;
    test::writeDefinition(dir.path(), "IN", {"---"});
    test::writePng(dir.file("IN/IN0.png"), 4, 2);
    test::writePng(dir.file("IN/IN0_.png"), 4, 2, 0xFFFF8000u);
    test::writeFile(dir.file("IN/Option0.bmp"), "BM");
    RecordingMessagePort port;
    TLogicComponentLibrary lib(dir.path(), port);
    ASSERT_EQ(lib.Items(0).Images.size(), 2u);
    const Image* on = lib.GetImage("IN", "IN0_");
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(on->width, 4);
    EXPECT_EQ(on->pixel(0, 0), 0xFFFF8000u);
    EXPECT_TRUE(on->transparent);
    EXPECT_EQ(on->transparentColor, 0xFFFFFFu);
    EXPECT_EQ(lib.GetImage("IN", "in0"), nullptr);
    EXPECT_EQ(lib.GetImage("OUT", "IN0"), nullptr);
}

TEST(Library, UnreadablePictureIsSkippedWithOneMessageNamingIt) {
    TempDir dir;
    test::writeDefinition(dir.path(), "AND", {"---"});
    test::writeFile(dir.file("AND/AND.png"), "not a png at all");
    test::writePng(dir.file("AND/ok.png"), 2, 2);
    RecordingMessagePort port;
    TLogicComponentLibrary lib(dir.path(), port);
    ASSERT_EQ(lib.Count(), 1);
    EXPECT_EQ(lib.Items(0).Images.size(), 1u);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("AND.png"), std::string::npos);
}

TEST(Library, DuplicateTypesFirstDefinesLastIsFound) {
    TempDir dir;
    test::writeFile(dir.file("a/AND.obj"), test::signedDefinition({"-X", "3", "---"}));
    test::writeFile(dir.file("b/AND.obj"), test::signedDefinition({"-X", "5", "---"}));
    RecordingMessagePort port;
    TLogicComponentLibrary lib(dir.path(), port);
    ASSERT_EQ(lib.Count(), 2);
    EXPECT_EQ(lib.GetDefinitionLines("AND")[1], "-X");
    EXPECT_EQ(lib.GetDefinitionLines("AND")[2], "3");
    EXPECT_EQ(lib.FindItem("AND")->FileName, dir.file("b/AND.obj"));
    EXPECT_TRUE(lib.GetDefinitionLines("OR").empty());
    EXPECT_EQ(lib.FindItem("OR"), nullptr);
}

TEST(Checksum, SplitsLabelAndChecksum) {
    std::string label, sum;
    SplitChecksumLine("{V7300-ABC}", label, sum);
    EXPECT_EQ(label, "V7300");
    EXPECT_EQ(sum, "ABC");
    SplitChecksumLine("{ABC}", label, sum);
    EXPECT_EQ(label, "");
    EXPECT_EQ(sum, "ABC");
    SplitChecksumLine("{a-b-c}", label, sum);
    EXPECT_EQ(label, "a");
    EXPECT_EQ(sum, "b-c");
}

TEST(Checksum, IsUpperCaseMd5OverWindows1252LinesWithCrLf) {
    EXPECT_EQ(ComputeDefinitionChecksum({}), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(ComputeDefinitionChecksum({"a"}), "933222B19FF3E7EA5F65517EA1F7D57E");
    EXPECT_EQ(ComputeDefinitionChecksum({"ä", "b"}), "16E9ECEEB0443862997B89D75A2996F9");
}

class PlacementChecksum : public ::testing::Test {
protected:
    TempDir dir;
    RecordingMessagePort port;
    std::vector<std::string> body{"-NAME", "AND", "-IN", "2", "-OUT", "1", "---"};
};

TEST_F(PlacementChecksum, MatchingChecksumGivesNoBox) {
    test::writeDefinition(dir.path(), "AND", body);
    TLogic logic(dir.path(), port);
    logic.NewProject();
    logic.Add_objekt("AND", "", 0, 0);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(logic.Components.Count(), 1);
}

TEST_F(PlacementChecksum, PlacementFollowsTheLibrarysCurrentDefinition) {
    auto libraryWith = [](const std::string& inputs) {
        const std::vector<std::string> andBody{"-NAME", "AND", "-IN", inputs, "-OUT", "1", "---"};
        TLogicComponentLibrary lib;
        lib.AddItem({"AND", splitLines(cp1252ToUtf8(test::signedDefinition(andBody))), "", {}});
        return lib;
    };
    TLogic logic(libraryWith("2"), port);
    logic.NewProject();
    logic.Add_objekt("AND", "", 0, 0);
    logic.Library = libraryWith("3");
    logic.Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(logic.Components.Items(0).InputCount, 2);
    EXPECT_EQ(logic.Components.Items(1).InputCount, 3);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(PlacementChecksum, ChangedHeaderShowsBoxAtEveryPlacementAndRepairsTheFile) {
    std::string text = test::signedDefinition(body);
    text.replace(text.find("-IN\r\n2"), 6, "-IN\r\n3");
    test::writeFile(dir.file("AND/AND.obj"), text);
    TLogic logic(dir.path(), port);
    logic.NewProject();
    logic.Add_objekt("AND", "", 0, 0);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Fehler");
    EXPECT_EQ(port.messages[0].icon, MsgIcon::Error);
    EXPECT_EQ(port.messages[0].text, kChangedText);
    EXPECT_EQ(logic.Components.Items(0).InputCount, 3); // placement goes on
    // The file now carries the right checksum; the library's lines are not updated.
    const auto lines = splitLines(readFileBytes(dir.file("AND/AND.obj")));
    std::string label, sum;
    SplitChecksumLine(lines[0], label, sum);
    EXPECT_EQ(label, "V7300");
    EXPECT_EQ(sum, ComputeDefinitionChecksum({lines.begin() + 1, lines.end()}));
    logic.Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(port.messages.size(), 2u);
}

TEST_F(PlacementChecksum, LowerCaseChecksumDoesNotMatch) {
    std::string sum = ComputeDefinitionChecksum(body);
    for (char& c : sum) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string text = "{L-" + sum + "}\r\n";
    for (const auto& l : body) text += l + "\r\n";
    test::writeFile(dir.file("AND/AND.obj"), text);
    TLogic logic(dir.path(), port);
    logic.NewProject();
    logic.Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(port.messages.size(), 1u);
}

TEST_F(PlacementChecksum, RepairWritesToTheLastFileOfTheType) {
    test::writeFile(dir.file("a/AND.obj"), "{x-BAD}\r\n-X\r\n3\r\n---\r\n");
    test::writeFile(dir.file("b/AND.obj"), "{y-BAD}\r\n-X\r\n5\r\n---\r\n");
    TLogic logic(dir.path(), port);
    logic.NewProject();
    logic.Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(logic.Components.Items(0).Width, 3);
    EXPECT_EQ(readFileBytes(dir.file("a/AND.obj")), "{x-BAD}\r\n-X\r\n3\r\n---\r\n");
    EXPECT_NE(readFileBytes(dir.file("b/AND.obj")).find("-X\r\n3\r\n"), std::string::npos);
}

TEST(DefinitionHeader, KeysValuesAndDefaults) {
    const TObjDefinition d = ParseDefinitionBody({"ignored before any key", "-name", "AND", "-x", "4", "-IN", "3",
                                                  "4", "-unknown", "whatever", "-CLICKABLE", "1", "---", "  x = 1",
                                                  "DoSomething", ""},
                                                 "AND");
    EXPECT_EQ(d.NamePrefix, "AND");
    EXPECT_EQ(d.Width, 4);
    EXPECT_EQ(d.Height, 2); // default
    EXPECT_EQ(d.InputCount, 4); // the later value replaces the earlier
    EXPECT_EQ(d.OutputCount, 0);
    EXPECT_EQ(d.ScriptLines, (std::vector<std::string>{"X = 1", "DOSOMETHING", ""}));
}

TEST(DefinitionHeader, KeyLineDirectlyAfterKeyIsTakenAsValue) {
    EXPECT_THROW(ParseDefinitionBody({"-X", "-Y", "3", "---"}, "T"), ConversionError);
    const TObjDefinition d = ParseDefinitionBody({"-SHOW", "-NAME", "---"}, "T");
    EXPECT_EQ(d.ShowLines, (std::vector<std::string>{"-NAME"}));
}

TEST(DefinitionHeader, MissingSeparatorMeansNoScript) {
    const TObjDefinition d = ParseDefinitionBody({"-VARS", "INT A 1", "X = 1"}, "T");
    EXPECT_EQ(d.VarLines, (std::vector<std::string>{"INT A 1", "X = 1"}));
    EXPECT_TRUE(d.ScriptLines.empty());
}

TEST(DefinitionHeader, ValueLinesAreKeptAsTheyStand) {
    const TObjDefinition d = ParseDefinitionBody({"-VARNAMES", " Sekunden ", "zeit", "-VARS", "int A 1", "---"}, "T");
    EXPECT_EQ(d.VarNames, (std::vector<std::string>{" Sekunden ", "zeit"}));
    EXPECT_EQ(d.VarLines, (std::vector<std::string>{"int A 1"}));
}

TEST(DefinitionHeader, NumbersAreKeptAsBytes) {
    EXPECT_EQ(ParseDefinitionBody({"-X", "300", "---"}, "T").Width, 44);
}

TEST(DefinitionHeader, DefectsOfTheDefinitionNameTheType) {
    struct Case {
        std::vector<std::string> lines;
        const char* fragment;
    };
    const Case cases[] = {{{"-IN", "12", "---"}, "Eingänge"},
                          {{"-OUT", "12", "---"}, "Ausgänge"},
                          {{"-VARS", "INT", "---"}, "ohne Namen"},
                          {{"-VARS", "INT  5", "---"}, "ohne Namen"}};
    for (const auto& c : cases) {
        try {
            ParseDefinitionBody(c.lines, "KAPUTT");
            ADD_FAILURE() << c.fragment;
        } catch (const Error& e) {
            const std::string msg = e.what();
            EXPECT_NE(msg.find("KAPUTT"), std::string::npos) << msg;
            EXPECT_NE(msg.find(c.fragment), std::string::npos) << msg;
        }
    }
    EXPECT_NO_THROW(ParseDefinitionBody({"-IN", "11", "-OUT", "11", "---"}, "T"));
}

TEST(DefinitionVars, SplitAtSingleBlanks) {
    struct Case {
        const char* line;
        const char* keyword;
        const char* name;
        const char* def;
    };
    const Case cases[] = {{"INT SEKUNDEN 10", "INT", "SEKUNDEN", "10 "},
                          {"STR TEXT Hallo Welt", "STR", "TEXT", "Hallo Welt "},
                          {"STR TEXT Hallo  Welt", "STR", "TEXT", "Hallo  Welt "},
                          {"STR LEER", "STR", "LEER", ""},
                          {"BOOL MO 1", "BOOL", "MO", "1 "}};
    for (const auto& c : cases) {
        const TVarDeclaration d = SplitVarLine(c.line);
        EXPECT_EQ(d.Keyword, c.keyword) << c.line;
        EXPECT_EQ(d.Name, c.name) << c.line;
        EXPECT_EQ(d.Default, c.def) << c.line;
    }
}

TEST(DefinitionShow, ReferenceAndCaptionCuts) {
    struct Case {
        const char* line;
        const char* ref;
        const char* caption;
    };
    const Case cases[] = {{"$NAME_X Zaehlerstand", "COUNT1_X", "Zaehlerst"},
                          {"$WERT Wert", "$WERT", "Wert"},
                          {"  Ohne", "", "Ohne"},
                          {"OhneLeerzeichen", "", "OhneLeerzeichen"},
                          {"$ABCDEFGHIJKLMNOPQRSTUVWXYZ Cap", "$ABCDEFGHIJKLMNOPQRS", "Cap"},
                          {"$X   Zähler  ", "$X", "Zähler"},
                          {"$NAME_A $NAME", "COUNT1_A", "$NAME"}};
    for (const auto& c : cases) {
        const TShowEntry e = MakeShowEntry(c.line, "COUNT1");
        EXPECT_EQ(e.Reference, c.ref) << c.line;
        EXPECT_EQ(e.Caption, c.caption) << c.line;
    }
}

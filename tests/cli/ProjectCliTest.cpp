#include "core/TextCodec.h"
#include "model/Logic.h"
#include "project/InvertedHex.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace v7300::test {
namespace {

class ProjectCliTest : public ::testing::Test {
protected:
    void SetUp() override { writeTestLibrary(lib()); }

    std::string lib() const { return dir.file("lib"); }

    int run(std::vector<std::string> args) {
        last = runCli(std::move(args), lib());
        return last.status;
    }

    TempDir dir;
    CliResult last;
};

TEST_F(ProjectCliTest, DumpPrintsTheDecodedXmlAsUtf8) {
    const std::string xml = "<?xml version=\"1.0\"?>\r\n<v7300><version>2.2.2</version><x>Ä</x></v7300>\r\n";
    writeFile(dir.file("a.v7k"), EncodeInvertedHex(utf8ToCp1252(xml)) + "\r\n");
    EXPECT_EQ(run({"dump", dir.file("a.v7k")}), 0);
    EXPECT_EQ(last.out, xml);
}

TEST_F(ProjectCliTest, DumpOfAFileNotInTheFormatFailsWithTheFormatMessage) {
    writeFile(dir.file("b.v7k"), "nicht hex\r\n");
    EXPECT_EQ(run({"dump", dir.file("b.v7k")}), 1);
    EXPECT_EQ(last.out, "");
    EXPECT_EQ(last.err, "Fehler: Die Datei entspricht nicht dem V7300 (v7k) Format!\n");
}

TEST_F(ProjectCliTest, PackWritesWindows1252InvertedHexThatDumpReadsBack) {
    const std::string xml = "<?xml version=\"1.0\"?>\n<v7300><version>2.2.2</version><x>ä</x></v7300>\n";
    writeFile(dir.file("in.xml"), xml);
    ASSERT_EQ(run({"pack", dir.file("in.xml"), "-o", dir.file("p.v7k")}), 0);
    EXPECT_EQ(readFile(dir.file("p.v7k")), EncodeInvertedHex(utf8ToCp1252(xml)) + "\r\n");
    ASSERT_EQ(run({"dump", dir.file("p.v7k")}), 0);
    EXPECT_EQ(last.out, xml);
}

TEST_F(ProjectCliTest, PackReadsTextThatIsNoUtf8AsWindows1252) {
    writeFile(dir.file("latin.xml"), "<?xml version=\"1.0\"?>\n<v7300><x>T\xFCr \x80 \xE4\xF6\xDF</x></v7300>\n");
    ASSERT_EQ(run({"pack", dir.file("latin.xml"), "-o", dir.file("p.v7k")}), 0) << last.err;
    EXPECT_EQ(last.err, "");
    ASSERT_EQ(run({"dump", dir.file("p.v7k")}), 0);
    EXPECT_EQ(last.out, "<?xml version=\"1.0\"?>\n<v7300><x>Tür € äöß</x></v7300>\n");
}

TEST_F(ProjectCliTest, PackNotesEveryCharacterWindows1252CannotHoldWithItsLine) {
    writeFile(dir.file("u.xml"), "<?xml version=\"1.0\"?>\r\n<v7300><x>Tür \u2713</x>\r\n<y>\U0001F600\u4E2D</y></v7300>\n");
    ASSERT_EQ(run({"pack", dir.file("u.xml"), "-o", dir.file("p.v7k")}), 0);
    EXPECT_EQ(last.err, "Hinweis: Zeile 2: Zeichen U+2713 wird als \"?\" gespeichert.\n"
                         "Hinweis: Zeile 3: Zeichen U+1F600 wird als \"?\" gespeichert.\n"
                         "Hinweis: Zeile 3: Zeichen U+4E2D wird als \"?\" gespeichert.\n");
    ASSERT_EQ(run({"dump", dir.file("p.v7k")}), 0);
    EXPECT_EQ(last.out, "<?xml version=\"1.0\"?>\r\n<v7300><x>Tür ?</x>\r\n<y>?" "?</y></v7300>\n");
}

TEST_F(ProjectCliTest, PackRefusesAResultThatNoReaderWouldOpen) {
    // 32 MiB of text become 64 MiB of digits plus CR LF: beyond the readers' limit.
    writeFile(dir.file("gross.xml"), std::string(32u << 20, 'a'));
    EXPECT_EQ(run({"pack", dir.file("gross.xml"), "-o", dir.file("p.v7k")}), 1);
    EXPECT_EQ(last.err, "Fehler: " + dir.file("gross.xml") +
                             " ist zu groß: die Projektdatei hätte mehr als 64 MiB und ließe sich nicht öffnen.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("p.v7k")));
}

TEST_F(ProjectCliTest, ConvertReadsTheTextFormatAndInfoListsTheResult) {
    writeFile(dir.file("alt.V7300_Logik"), "...\r\n1\r\n      AND1    5    6\r\n    TIMER2   20    7\r\n---|\r\n"
                                           "      AND1 0     TIMER2 1 140;70|140;80|\r\n---O\r\n"
                                           "V7300NETIO.IP=10.0.0.7\r\n");
    ASSERT_EQ(run({"convert", dir.file("alt.V7300_Logik"), "-o", dir.file("neu.v7k")}), 0) << last.err;
    ASSERT_EQ(run({"info", dir.file("neu.v7k")}), 0) << last.err;
    EXPECT_EQ(last.out, "components 2\nwires 1\naddress 10.0.0.7\nAND1 AND 5 6\nTIMER2 TIMER 20 7\n");
}

TEST_F(ProjectCliTest, ExtensionOtherThanExactlyV7kIsReadAsTextFormat) {
    RecordingMessagePort port;
    TLogic logic(lib(), port);
    logic.NewProject();
    logic.Add_objekt("AND", "AND1", 0, 0);
    SaveXml(logic, dir.file("gross.V7K"));
    EXPECT_EQ(run({"info", dir.file("gross.V7K")}), 1);
    EXPECT_NE(last.err.find("Fehler: "), std::string::npos);
}

TEST_F(ProjectCliTest, ReadingFailuresExitWithTheEditorsMessage) {
    writeFile(dir.file("kaputt.v7k"), EncodeInvertedHex("<?xml version=\"1.0\"?><v7300><version>2.2.2</version>"
                                                       "<components><component><name>A1</name><type>AND</type>"
                                                       "<left>x</left></component></components></v7300>") +
                                          "\r\n");
    EXPECT_EQ(run({"convert", dir.file("kaputt.v7k"), "-o", dir.file("aus.v7k")}), 1);
    EXPECT_EQ(last.err, "Die Datei kann nicht geöffnet werden!\n");
    EXPECT_EQ(run({"info", dir.file("fehlt.v7k")}), 1);
    EXPECT_EQ(last.err, "Fehler: Die Datei entspricht nicht dem V7300 (v7k) Format!\n");
}

TEST_F(ProjectCliTest, MissingArgumentsAreUsageErrors) {
    EXPECT_EQ(run({"pack", dir.file("in.xml")}), 2);
    EXPECT_EQ(run({"convert", "-o", dir.file("x.v7k")}), 2);
    EXPECT_EQ(run({"info"}), 2);
}

} // namespace
} // namespace v7300::test

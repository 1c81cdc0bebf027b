// v7300 test: outputs, exit codes, JUnit, and every failure message with its line.
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>

namespace v7300::test {
namespace {

const std::string kExamples = std::string(V7300_SOURCE_DIR) + "/examples/";

class LogicTestCli : public ::testing::Test {
protected:
    // A test file on the given example with the header lines and the steps.
    std::string testFile(const std::string& name, const std::string& example, const std::string& steps,
                         const std::string& start = "2026-01-05T12:00:00") {
        const std::string path = dir.file(name);
        writeFile(path, "projekt " + kExamples + example + "\nzeitzone Europe/Berlin\nstart " + start + "\n" + steps);
        return path;
    }
    TempDir dir;
};

TEST_F(LogicTestCli, ShippedExamplesPass) {
    const auto r = runCli({"test", kExamples + "heizung.test", kExamples + "rollladen.test", kExamples + "treppenlicht.test"});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "ok " + kExamples + "heizung.test (37 Schritte, 211d 8h 59m 0.210s)\n" +
                         "ok " + kExamples + "rollladen.test (19 Schritte, 1h 0m 44.740s)\n" +
                         "ok " + kExamples + "treppenlicht.test (16 Schritte, 1h 5m 0.600s)\n");
}

TEST_F(LogicTestCli, EveryFailureNamesStepValueAndTime) {
    const struct {
        const char* steps;
        const char* line; // expected output after "FEHLER <file>:"
    } cases[] = {
        {"nach 1s\nerwarte OUT1.A1 = 1\n", "5: erwarte OUT1.A1 = 1 — ist 0 bei t=2026-01-05T12:00:01.100+01:00"},
        {"drücke IN1\nerwarte OUT1.A1 = 0 für 10s  # an\n",
         "5: erwarte OUT1.A1 = 0 für 10s — ist 1 bei t=2026-01-05T12:00:00.110+01:00"},
        {"drücke IN1\nnach 1s\nerwarte OUT1.A1 = 1 für 5m\n",
         "6: erwarte OUT1.A1 = 1 für 5m — ist 0 bei t=2026-01-05T12:01:59.680+01:00"},
        {"bis OUT1.A1 = 1 höchstens 1h\n", "4: bis OUT1.A1 = 1 höchstens 1h — ist 0 bei t=2026-01-05T13:00:00.080+01:00"},
        {"nach 1h\nbis 2026-01-05T12:30:00\n",
         "5: bis 2026-01-05T12:30:00 — ist schon vorbei bei t=2026-01-05T13:00:00.080+01:00"},
        {"erwarte TIMER1.SEKUNDEN > 100\n", "4: erwarte TIMER1.SEKUNDEN > 100 — ist 0 bei t=2026-01-05T12:00:00.000+01:00"},
        {"nach 1s\nerwarte LCD Zeile 1 = \"Hallo\"\n",
         "5: erwarte LCD Zeile 1 = \"Hallo\" — ist \"  V7300-NET-IO\" bei t=2026-01-05T12:00:01.100+01:00"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        const std::string file = testFile("f" + std::to_string(n++) + ".test", "treppenlicht.v7k", c.steps);
        const auto r = runCli({"test", file});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "FEHLER " + file + ":" + c.line + "\n");
    }
}

TEST_F(LogicTestCli, FilesThatCannotRunExitWithTwo) {
    const struct {
        std::string file, content, line;
    } cases[] = {
        {"syntax.test", "projekt x.v7k\nnach 5 Minuten\n", "2: Dauer erwartet (z. B. 5s, 10m, 2h, 1d): 5"},
        {"missing.test", "# kein Projekt\nprojekt fehlt.v7k\n", "2: Das Projekt " + dir.file("fehlt.v7k") + " kann nicht geöffnet werden."},
        {"zone.test", "projekt " + kExamples + "heizung.v7k\nzeitzone Mars/Olymp\n", "2: Unbekannte Zeitzone: Mars/Olymp"},
        {"gap.test", "projekt " + kExamples + "heizung.v7k\nzeitzone Europe/Berlin\nstart 2026-03-29T02:30:00\n",
         "3: den Zeitpunkt 2026-03-29T02:30:00 gibt es in Europe/Berlin nicht (Zeitumstellung)"},
        {"unknown.test", "projekt " + kExamples + "heizung.v7k\nerwarte TIMER9.A1 = 1\n", "2: unbekannter Baustein TIMER9"},
        {"analog.test", "projekt " + kExamples + "heizung.v7k\nschalte IN1\n",
         "2: IN1 ist kein Schalter oder Taster (setze IN1 = WERT)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        writeFile(dir.file(c.file), c.content);
        const auto r = runCli({"test", dir.file(c.file)});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "FEHLER " + dir.file(c.file) + ":" + c.line + "\n");
    }
    const auto unreadable = runCli({"test", dir.file("none.test")});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(runCli({"test"}).status, 2);
    EXPECT_EQ(runCli({"test", "--junit"}).status, 2);
}

TEST_F(LogicTestCli, JunitReportsPassedFailedAndBrokenFiles) {
    const std::string good = testFile("good.test", "treppenlicht.v7k", "drücke IN1\nnach 1s\nerwarte OUT1.A1 = 1\n");
    const std::string bad = testFile("bad.test", "treppenlicht.v7k", "erwarte OUT1.A1 = 1\n");
    writeFile(dir.file("broken.test"), "projekt a.v7k\nwarte\n");
    const auto r = runCli({"test", good, bad, dir.file("broken.test"), "--junit", dir.file("out/report.xml")});
    EXPECT_EQ(r.status, 2);
    std::string xml = readFile(dir.file("out/report.xml"));
    xml = std::regex_replace(xml, std::regex("time=\"[0-9]+\\.[0-9]{3}\""), "time=\"T\"");
    EXPECT_EQ(xml,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<testsuites name=\"v7300 test\" tests=\"3\" failures=\"1\" errors=\"1\" time=\"T\">\n"
              "  <testsuite name=\"v7300 test\" tests=\"3\" failures=\"1\" errors=\"1\" time=\"T\">\n"
              "    <testcase classname=\"v7300.test\" name=\"" + good + "\" time=\"T\"/>\n"
              "    <testcase classname=\"v7300.test\" name=\"" + bad + "\" time=\"T\">\n"
              "      <failure message=\"" + bad + ":4: erwarte OUT1.A1 = 1 — ist 0 bei t=2026-01-05T12:00:00.000+01:00\">"
              "FEHLER " + bad + ":4: erwarte OUT1.A1 = 1 — ist 0 bei t=2026-01-05T12:00:00.000+01:00</failure>\n"
              "    </testcase>\n"
              "    <testcase classname=\"v7300.test\" name=\"" + dir.file("broken.test") + "\" time=\"T\">\n"
              "      <error message=\"" + dir.file("broken.test") + ":2: unbekanntes Schlüsselwort: warte\">"
              "FEHLER " + dir.file("broken.test") + ":2: unbekanntes Schlüsselwort: warte</error>\n"
              "    </testcase>\n"
              "  </testsuite>\n"
              "</testsuites>\n");
}

TEST_F(LogicTestCli, ProjectIsFoundBesideTheTestFile) {
    writeFile(dir.file("sub/p.v7k"), readFile(kExamples + "treppenlicht.v7k"));
    writeFile(dir.file("sub/t.test"), "projekt p.v7k\nzeitzone UTC\nstart 2026-07-01T10:00:00\nnach 5s\n"
                                      "erwarte OUT1.A1 = 0\n");
    const auto r = runCli({"test", dir.file("sub/t.test")});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "ok " + dir.file("sub/t.test") + " (2 Schritte, 5.060s)\n");
}

TEST_F(LogicTestCli, SimulatePlotsTheWatchedEntriesAsCsv) {
    const auto r = runCli({"simulate", kExamples + "treppenlicht.v7k", "--seconds", "3", "--at", "1:press:IN1",
                           "--watch", "$IN1__A1,$OUT1__A1", "--decimal-separator", ",", "--plot", dir.file("p.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir.file("p.csv")), "Zeit [s];Datum/Uhrzeit;$IN1__A1;$OUT1__A1\r\n"
                                           "0,110;2026-01-05 12:00:00,110;0;0\r\n"
                                           "1,210;2026-01-05 12:00:01,210;1;1\r\n"
                                           "1,760;2026-01-05 12:00:01,760;0;1\r\n");
    EXPECT_EQ(runCli({"simulate", kExamples + "treppenlicht.v7k", "--plot", dir.file("p.csv")}).status, 2);
    EXPECT_EQ(runCli({"simulate", kExamples + "treppenlicht.v7k", "--watch", "$A", "--plot", dir.file("p.svg")}).status, 2);
}

} // namespace
} // namespace v7300::test

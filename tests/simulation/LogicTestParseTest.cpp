#include "simulation/LogicTest.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using Kind = TTestStep::Kind;

TEST(LogicTestParse, EveryKeyword) {
    const TLogicTestFile f = ParseLogicTest(
        "# Kopf\n"
        "projekt \"../meine anlage.v7k\"\n"
        "zeitzone Europe/Berlin\n"
        "start 2026-03-28T22:00:00\n"
        "dezimaltrenner .\n"
        "\n"
        "nach 1h30m   # Kommentar\n"
        "bis 2026-10-25T02:30:00+01:00\n"
        "bis OUT1.A1 = 1 höchstens 2h\n"
        "drücke IN1\n"
        "druecke IN12\n"
        "schalte IN2\n"
        "setze IN3 = 215\n"
        "setze $WERT = \"a # b\"\n"
        "setze TIMER1.COUNTER = 5\n"
        "erwarte TIMER1.SEKUNDEN > 30\n"
        "erwarte LCD1 Zeile 1 = \"Temp: 21,5\"\n"
        "erwarte LCD Zeile 2 != \"\"\n"
        "erwarte OUT1 <= 0 für 10m\n"
        "erwarte BUS-IN-II1.A2 >= 1\n"
        "erwarte COUNT1.E1 <> 1\n");
    EXPECT_EQ(f.Project, "../meine anlage.v7k");
    EXPECT_EQ(f.ProjectLine, 2);
    EXPECT_EQ(f.Zone, "Europe/Berlin");
    EXPECT_EQ(f.Start.Local, (DateTime{2026, 3, 28, 22, 0, 0, 0}));
    EXPECT_FALSE(f.Start.OffsetSeconds);
    EXPECT_EQ(f.DecimalSeparator, '.');
    ASSERT_EQ(f.Steps.size(), 15u);
    const auto& s = f.Steps;
    EXPECT_EQ(s[0].Type, Kind::Nach);
    EXPECT_EQ(s[0].DurationMs, 5400000);
    EXPECT_EQ(s[0].Line, 7);
    EXPECT_EQ(s[0].Text, "nach 1h30m");
    EXPECT_EQ(s[1].Type, Kind::BisZeit);
    EXPECT_EQ(s[1].At.OffsetSeconds, 3600);
    EXPECT_EQ(s[2].Type, Kind::BisBedingung);
    EXPECT_EQ(s[2].Condition.Ref.Store, "$OUT1__A1");
    EXPECT_EQ(s[2].Condition.Value, "1");
    EXPECT_EQ(s[2].DurationMs, 7200000);
    EXPECT_EQ(s[3].Type, Kind::Druecke);
    EXPECT_EQ(s[3].Input, "IN1");
    EXPECT_EQ(s[4].Input, "IN12");
    EXPECT_EQ(s[5].Type, Kind::Schalte);
    EXPECT_EQ(s[6].Type, Kind::Setze);
    EXPECT_EQ(s[6].Input, "IN3");
    EXPECT_EQ(s[6].Target.Store, "$IN3__E1");
    EXPECT_EQ(s[6].Value, "215");
    EXPECT_EQ(s[7].Target.Store, "$WERT");
    EXPECT_EQ(s[7].Value, "a # b");
    EXPECT_EQ(s[7].Text, "setze $WERT = \"a # b\"");
    EXPECT_EQ(s[8].Target.Store, "$TIMER1_COUNTER");
    EXPECT_TRUE(s[8].Input.empty());
    EXPECT_EQ(s[9].Condition.Ref.Store, "$TIMER1_SEKUNDEN");
    EXPECT_EQ(s[9].Condition.Op, TTestOp::Gt);
    EXPECT_TRUE(s[10].Condition.Ref.Lcd);
    EXPECT_EQ(s[10].Condition.Ref.LcdLine, 1);
    EXPECT_EQ(s[10].Condition.Ref.Component, "LCD1");
    EXPECT_EQ(s[10].Condition.Value, "Temp: 21,5");
    EXPECT_EQ(s[11].Condition.Ref.LcdLine, 2);
    EXPECT_EQ(s[11].Condition.Op, TTestOp::Ne);
    EXPECT_EQ(s[11].Condition.Value, "");
    EXPECT_EQ(s[12].Condition.Ref.Store, "$OUT1__A1");
    EXPECT_EQ(s[12].Condition.Op, TTestOp::Le);
    EXPECT_EQ(s[12].DurationMs, 600000);
    EXPECT_EQ(s[13].Condition.Ref.Store, "$BUS-IN-II1__A2");
    EXPECT_EQ(s[14].Condition.Ref.Store, "$COUNT1__E1");
    EXPECT_EQ(s[14].Condition.Op, TTestOp::Ne);
}

TEST(LogicTestParse, DefaultsWithoutHeaderLines) {
    const TLogicTestFile f = ParseLogicTest("projekt a.v7k\r\nnach 1s\r\n");
    EXPECT_FALSE(f.Zone);
    EXPECT_EQ(f.Start.Local, (DateTime{2026, 1, 5, 12, 0, 0, 0}));
    EXPECT_EQ(f.DecimalSeparator, ',');
}

TEST(LogicTestParse, EveryProblemNamesItsLine) {
    const struct {
        const char* text;
        int line;
        const char* message;
    } cases[] = {
        {"nach 1s\n", 1, "projekt fehlt (projekt DATEI.v7k)"},
        {"projekt a\nwarte 5s\n", 2, "unbekanntes Schlüsselwort: warte"},
        {"projekt a\nnach 5x\n", 2, "Dauer erwartet (z. B. 5s, 10m, 2h, 1d): 5x"},
        {"projekt a\nnach\n", 2, "Angabe fehlt nach nach"},
        {"projekt a\nnach 5s 6s\n", 2, "überzählige Angabe: 6s"},
        {"projekt a\nstart 2026-02-30T10:00:00\n", 2, "Zeitpunkt erwartet (JJJJ-MM-TTTHH:MM:SS): 2026-02-30T10:00:00"},
        {"projekt a\nbis 2026-03-29T02:30\n", 2, "Vergleich erwartet: BEZUG = WERT"},
        {"projekt a\nbis OUT1.A1 = 1\n", 2, "höchstens DAUER fehlt (bis BEZUG = WERT höchstens 2h)"},
        {"projekt a\nbis OUT1.A1 = 1 höchstens\n", 2, "Angabe fehlt nach höchstens"},
        {"projekt a\ndrücke OUT1\n", 2, "Eingang INn erwartet: OUT1"},
        {"projekt a\nschalte IN\n", 2, "Eingang INn erwartet: IN"},
        {"projekt a\nsetze IN3 = 21,5\n", 2, "ganze Zahl erwartet: 21,5"},
        {"projekt a\nsetze IN3 > 2\n", 2, "setze BEZUG = WERT erwartet"},
        {"projekt a\nsetze LCD Zeile 1 = x\n", 2, "die Anzeige kann nicht gesetzt werden"},
        {"projekt a\nerwarte OUT1.A1 1\n", 2, "Vergleich erwartet: BEZUG = WERT"},
        {"projekt a\nerwarte OUT1.A1 = 1 bis 5\n", 2, "überzählige Angabe: bis"},
        {"projekt a\nerwarte LCD Zeile 3 = x\n", 2, "Bezug erwartet (OUT1.A1, TIMER1.SEKUNDEN, $NAME, LCD Zeile 1): LCD"},
        {"projekt a\nerwarte OUT1.A1 TIMER1 = 1\n", 2, "Bezug erwartet (OUT1.A1, TIMER1.SEKUNDEN, $NAME, LCD Zeile 1): OUT1.A1"},
        {"projekt a\nerwarte OU/T1 = 1\n", 2, "Bezug erwartet (OUT1.A1, TIMER1.SEKUNDEN, $NAME, LCD Zeile 1): OU/T1"},
        {"projekt a\nerwarte LCD Zeile 1 = \"offen\n", 2, "Anführungszeichen nicht geschlossen"},
        {"projekt a\nnach 1s\nzeitzone UTC\n", 3, "zeitzone steht nach dem ersten Schritt"},
        {"projekt a\nprojekt b\n", 2, "projekt doppelt (schon in Zeile 1)"},
        {"projekt a\ndezimaltrenner 5\n", 2, "ein Zeichen erwartet, weder Leerzeichen noch Ziffer: 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseLogicTest(c.text);
            ADD_FAILURE() << "parsed";
        } catch (const TLogicTestSyntaxError& e) {
            EXPECT_EQ(e.Line, c.line);
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(LogicTestParse, Durations) {
    const struct {
        const char* text;
        std::optional<std::int64_t> ms;
    } cases[] = {
        {"5s", 5000},       {"10m", 600000},  {"2h", 7200000}, {"1d", 86400000}, {"500ms", 500}, {"1h30m", 5400000},
        {"1,5s", 1500},     {"0.25min", 15000}, {"0s", 0},     {"", std::nullopt}, {"5", std::nullopt},
        {"s", std::nullopt}, {"1,s", std::nullopt}, {"5y", std::nullopt}, {"367d", std::nullopt}, {"366d", 366LL * 86400000},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseTestDuration(c.text), c.ms) << c.text;
    EXPECT_EQ(FormatTestDuration(5060), "5.060s");
    EXPECT_EQ(FormatTestDuration(120000), "2m 0s");
    EXPECT_EQ(FormatTestDuration(90061110), "1d 1h 1m 1.110s");
}

} // namespace
} // namespace v7300

#include "simulation/LogicSimulation.h"

#include "SimTestSupport.h"
#include "core/NumberFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <random>

namespace v7300 {
namespace {

using simtest::framed;
using Lines = std::vector<std::string>;

class TSimulateTest : public ::testing::Test {
protected:
    void SetUp() override { setDecimalSeparator(','); }
    void TearDown() override { setDecimalSeparator(','); }

    // Starts without a worker, applies the presets, runs n cycles.
    void run(const Lines& statements, int cycles = 1, const std::vector<std::pair<std::string, std::string>>& presets = {}) {
        ASSERT_TRUE(sim.Start(framed(statements), false));
        for (const auto& [n, v] : presets) sim.SetVariable(n, v);
        for (int i = 0; i < cycles; ++i) sim.Step();
    }
    std::string var(const std::string& name) const { return sim.GetVariable(name); }

    VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}};
    simtest::RecordingEffects effects;
    TSimulate sim{clock, effects.ports()};
};

struct AssignCase {
    const char* line;
    const char* preset; // value of $X before the pass, nullptr: not in the store
    const char* expected;
};

TEST_F(TSimulateTest, AssignmentOperators) {
    const AssignCase cases[] = {
        {"$X = 5", nullptr, "5"},          {"$X = 1,50", nullptr, "1,5"},   {"$X = -0,25", nullptr, "-0,25"},
        {"$X != 0", nullptr, "1"},         {"$X != 7", nullptr, "0"},       {"$X += 1", nullptr, "1"},
        {"$X += 2,5", "3", "5,5"},         {"$X -= 0,5", "2", "1,5"},       {"$X -= 1", nullptr, "-1"},
        {"$X *= 3", "2,5", "7,5"},         {"$X /= 4", "2", "0,5"},         {"$X /= 0", "2", "0"},
        {"$X /= 3", "1", "0,333333333333333"}, {"$X = $Y", nullptr, "3,25"}, {"$X = $NOWHERE", "9", "0"},
        {"$X != $Y", nullptr, "0"},        {"$X = 1E20", nullptr, "1E20"},  {"$X = NOTANUMBER", "4", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::pair<std::string, std::string>> presets = {{"$Y", "3,25"}};
        if (c.preset) presets.emplace_back("$X", c.preset);
        run({c.line}, 1, presets);
        EXPECT_EQ(var("$X"), c.expected);
        EXPECT_FALSE(sim.Stalled());
        sim.Stop();
    }
}

TEST_F(TSimulateTest, LinesThatAreNoStatementDoNothing) {
    run({"X = 1", "$X == 1", "$X", "ENDIF", "REM $X = 2"});
    const auto store = sim.Variables();
    ASSERT_EQ(store.size(), 3u); // the clock variables only
    EXPECT_EQ(store[0].Name, "$BTIMER");
}

TEST_F(TSimulateTest, StoreSemantics) {
    run({"$A = 1"});
    EXPECT_EQ(var("$UNKNOWN"), "0");
    const auto before = sim.Variables();
    EXPECT_EQ(std::count_if(before.begin(), before.end(), [](const TVariablen& v) { return v.Name == "$UNKNOWN"; }), 0);
    sim.SetVariable("$NEW", "abc");
    sim.SetVariable("$A", "7");
    const auto after = sim.Variables();
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_EQ(after.back(), (TVariablen{"$NEW", "abc"}));
    EXPECT_EQ(var("$A"), "7");
    EXPECT_EQ(after[3], (TVariablen{"$A", "7"})); // written in place, order kept
}

TEST_F(TSimulateTest, DimDeclaresFromTheLastLineWithOrWithoutTypeWord) {
    ASSERT_TRUE(sim.Start({"DIM INT $A", "  DIM $B  ", "//START DES SCRIPTS", "DO", "LOOP"}, false));
    EXPECT_EQ(sim.Variables(), (std::vector<TVariablen>{{"$B", "0"}, {"$A", "0"}}));
}

TEST_F(TSimulateTest, TrueAndFalseAreReplacedEverywhere) {
    run({"$FALSEFLAG = TRUE", "LCD $X 0 1 IS TRUE OR FALSE"}, 2);
    EXPECT_EQ(var("$0FLAG"), "1");
    EXPECT_EQ(sim.PreparedScript()[3], "LCD $X 0 1 IS 1 OR 0");
    EXPECT_EQ(sim.LcdLines().first, "IS 1 OR 0 ");
}

TEST_F(TSimulateTest, OutputStatus) {
    run({});
    const std::pair<const char*, bool> cases[] = {{"0", false}, {"nil", false}, {"1", true}, {"2", true}, {"abc", true}};
    for (const auto& [value, expected] : cases) {
        sim.SetVariable("$AND1__A1", value);
        EXPECT_EQ(sim.Output_Status("AND1", 1), expected) << value;
    }
    EXPECT_FALSE(sim.Output_Status("NONE1", 1));
}

TEST_F(TSimulateTest, StoreWritersUseTheNamingScheme) {
    run({});
    sim.SetOutputState("OUT2", 3, -4);
    sim.SetObjectValue("TIMER1", "COUNTER", 2.5);
    sim.SetInputState("IN1", 1, true);
    sim.SetInputValue("IN4", 2, 512);
    EXPECT_EQ(var("$OUT2__A3"), "-4");
    EXPECT_EQ(var("$TIMER1_COUNTER"), "2,5");
    EXPECT_EQ(var("$IN1__E1"), "1");
    EXPECT_EQ(var("$IN4__E2"), "512");
}

TEST_F(TSimulateTest, StartWhileRunningIsRefusedAndChangesNothing) {
    run({"$A = 1"});
    EXPECT_FALSE(sim.Start(framed({"$B = 1"}), false));
    EXPECT_EQ(var("$A"), "1");
    sim.Step();
    EXPECT_EQ(var("$B"), "0");
}

TEST_F(TSimulateTest, StopLetsTheNextStartEmptyTheStore) {
    run({"$A = 1"});
    EXPECT_TRUE(sim.Stop());
    EXPECT_FALSE(sim.Running());
    EXPECT_EQ(var("$A"), "1"); // kept after the stop
    EXPECT_FALSE(sim.Step());  // the cycle that was armed runs, then cycling ends
    ASSERT_TRUE(sim.Start(framed({}), false));
    EXPECT_EQ(var("$A"), "0");
}

struct CompareCase {
    const char* op;
    double a, b;
    bool holds;
};

TEST_F(TSimulateTest, ConditionOperators) {
    const CompareCase cases[] = {
        {"==", 2, 2, true}, {"==", 2, 3, false}, {"!=", 2, 3, true},  {"!=", 2, 2, false}, {"<=", 2, 2, true},
        {"<=", 3, 2, false}, {">=", 2, 2, true}, {">=", 1, 2, false}, {"<", 1, 2, true},   {"<", 2, 2, false},
        {">", 3, 2, true},  {">", 2, 2, false},  {"IN", 1, 2, true},  {"=", 2, 2, false},  {"<>", 1, 2, false},
    };
    for (const auto& c : cases) {
        const std::string line = "IF $A " + std::string(c.op) + " " + formatGeneral(c.b);
        SCOPED_TRACE(line);
        run({line, "$T = 1", "ENDIF"}, 1, {{"$A", formatGeneral(c.a)}});
        EXPECT_EQ(var("$T"), c.holds ? "1" : "0");
        sim.Stop();
    }
}

TEST_F(TSimulateTest, ElseBranches) {
    const Lines ifElse = {"IF $A == 1", "$T = 1", "ELSE", "$E = 1", "ENDIF", "$AFTER = 1"};
    run(ifElse, 1, {{"$A", "0"}});
    EXPECT_EQ(var("$T"), "0");
    EXPECT_EQ(var("$E"), "1");
    EXPECT_EQ(var("$AFTER"), "1");
    sim.Stop();
    run(ifElse, 1, {{"$A", "1"}});
    EXPECT_EQ(var("$T"), "1");
    EXPECT_EQ(var("$E"), "0");
    EXPECT_EQ(var("$AFTER"), "1");
}

TEST_F(TSimulateTest, NestedBlocksInsideASkippedBlockAreSkippedWhole) {
    run({"IF 0 == 1", "IF 1 == 1", "$A = 1", "ELSE", "$B = 1", "ENDIF", "$C = 1", "ELSE", "$D = 1", "ENDIF",
         "$AFTER = 1"});
    EXPECT_EQ(var("$A"), "0");
    EXPECT_EQ(var("$B"), "0");
    EXPECT_EQ(var("$C"), "0");
    EXPECT_EQ(var("$D"), "1");
    EXPECT_EQ(var("$AFTER"), "1");
}

TEST_F(TSimulateTest, TakenBranchSkipsElseToTheMatchingEndif) {
    run({"IF 1 == 1", "$A = 1", "ELSE", "IF 1 == 1", "$B = 1", "ENDIF", "ELSE", "$C = 1", "ENDIF", "$AFTER = 1"});
    EXPECT_EQ(var("$A"), "1");
    EXPECT_EQ(var("$B"), "0");
    EXPECT_EQ(var("$C"), "0");
    EXPECT_EQ(var("$AFTER"), "1");
}

TEST_F(TSimulateTest, SkippingRunsPastLoop) {
    ASSERT_TRUE(sim.Start({"DO", "IF 0 == 1", "$A = 1", "LOOP", "ENDIF", "$B = 1", "LOOP", "$C = 1"}, false));
    sim.Step();
    EXPECT_EQ(var("$A"), "0");
    EXPECT_EQ(var("$B"), "1"); // after the skipped LOOP, up to the next one
    EXPECT_EQ(var("$C"), "0");
}

TEST_F(TSimulateTest, UnclosedFalseIfEndsThePass) {
    run({"IF 0 == 1", "$A = 1"});
    EXPECT_EQ(var("$A"), "0");
    EXPECT_FALSE(sim.Stalled());
    EXPECT_EQ(var("$BTIMER"), "1");
}

struct FailureCase {
    const char* line;
    const char* preset; // value of $V
};

TEST_F(TSimulateTest, FailingPassEndsCyclingSilentlyAndStaysRunning) {
    const FailureCase cases[] = {
        {"$X += 1", "2,5"},   {"$X = $V", "abc"},   {"$V -= 1", "abc"}, {"$V *= 2", "1.5"},
        {"IF $V == 1", "x"},  {"LCD $V X 2 TEXT", "1"}, {"LCD $V 1 Y TEXT", "1"},
        {"SMTP a@b host:port u p text", "1"}, {"SMTP a@b hostonly u p text", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        run({"$BEFORE = 1", c.line, "$AFTER = 1"}, 1, {{"$V", c.preset}, {"$X", c.preset}});
        EXPECT_TRUE(sim.Stalled());
        EXPECT_TRUE(sim.Running());
        EXPECT_EQ(var("$BEFORE"), "1");
        EXPECT_EQ(var("$AFTER"), "0");
        EXPECT_EQ(sim.CycleCount(), 0);
        sim.SetVariable("$BEFORE", "5");
        EXPECT_FALSE(sim.Step()); // nothing runs any more
        EXPECT_EQ(var("$BEFORE"), "5");
        sim.Stop();
    }
}

TEST_F(TSimulateTest, RefusedMailEndsCycling) {
    effects.refuse = true;
    run({"SMTP a@b mail:25 u p hi"});
    EXPECT_TRUE(sim.Stalled());
    EXPECT_EQ(effects.mails.size(), 1u);
}

TEST_F(TSimulateTest, SmtpStatementBuildsTheMessage) {
    run({"SMTP a@x.de,b@y.de  mail.example:587123 user pw Hallo  Welt 42"});
    ASSERT_EQ(effects.mails.size(), 1u);
    const SmtpMessage& m = effects.mails[0];
    EXPECT_EQ(m.Host, "mail.example");
    EXPECT_EQ(m.Port, 587123);
    EXPECT_EQ(m.User, "user");
    EXPECT_EQ(m.Password, "pw");
    EXPECT_EQ(m.Sender, "sim@test");
    EXPECT_EQ(m.Recipients, (Lines{"a@x.de", "b@y.de"}));
    EXPECT_EQ(m.Subject, "V7300-Logik Message");
    EXPECT_EQ(m.Body, " Hallo Welt 42");
}

TEST_F(TSimulateTest, PlayTakesTheLineFromItsSixthCharacter) {
    run({"PLAY /tmp/a b.wav"});
    EXPECT_EQ(effects.plays, (Lines{"/tmp/a b.wav"}));
}

TEST_F(TSimulateTest, ExecFindsTheProgramByGrowingPrefix) {
    test::TempDir dir;
    test::writeFile(dir.file("my tool"), "x");
    test::writeFile(dir.file("doc.txt"), "x");
    run({"EXEC " + dir.file("doc.txt") + " -a  b", "EXEC \"" + dir.file("my tool") + "\" x",
         "EXEC /nonexistent/prog arg"});
    ASSERT_EQ(effects.execs.size(), 3u);
    EXPECT_EQ(effects.execs[0].Path, dir.file("doc.txt"));
    EXPECT_EQ(effects.execs[0].Parameters, "-a  b");
    EXPECT_EQ(effects.execs[0].WorkingDir, dir.path());
    EXPECT_EQ(effects.execs[1].Path, dir.file("my tool"));
    EXPECT_EQ(effects.execs[1].Parameters, "x");
    EXPECT_EQ(effects.execs[2].Path, "/nonexistent/prog arg");
    EXPECT_EQ(effects.execs[2].Parameters, "");
}

TEST_F(TSimulateTest, EmptyScriptShowsTheBanner) {
    run({}, 1);
    EXPECT_EQ(sim.LcdLines(), std::make_pair(std::string("  V7300-NET-IO  "), std::string("_/|__________/|_")));
    ASSERT_FALSE(effects.lines.empty());
    EXPECT_EQ(effects.lines.back().first, "  V7300-NET-IO  ");
    EXPECT_EQ(effects.shown, 0); // only an LCD statement shows the window
    EXPECT_EQ(sim.Variables().size(), 3u);
}

TEST_F(TSimulateTest, LcdWindowKeepsItsFirstLinesUntilTheFirstCycle) {
    ASSERT_TRUE(sim.Start(framed({}), false));
    EXPECT_EQ(sim.LcdLines(), std::make_pair(std::string("V7300 - Logik"), std::string("Quellmark")));
}

struct LcdCase {
    const char* statement;
    const char* value; // of $V
    const char* text;  // what the LCD shows after the next cycle's LCD step
};

TEST_F(TSimulateTest, LcdModes) {
    const LcdCase cases[] = {
        {"LCD $V 5 3 TEMP:xxxxx GRAD", "215", "TEMP: 21,5 GRAD "},
        {"LCD $V 5 3 TEMP:xxxxx GRAD", "-7", "TEMP: -0,7 GRAD "},
        {"LCD $V 0 2 ABCDEFGHIJ", "42", "    42GHIJ "},
        {"LCD $V 2 2 AB", "1234567", "AB1234567"},
        {"LCD $V 2 4 XXYYYZ", "1", "XX ANZ "},
        {"LCD $V 2 4 XXYYYZ", "0", "XXAUSZ "},
        {"LCD $V 0 5 TUER:", "1", "      OFFEN"},
        {"LCD $V 0 5 TUER:", "0", "GESCHLOSSEN"},
        {"LCD $V 1 6 ?....!", "3", "?  JA! "},
        {"LCD $V 1 6 ?....!", "0", "?NEIN! "},
        {"LCD $V 1 1 LEAVE  AS IS", "9", "LEAVE  AS IS "},
        {"LCD $V 1 7 MODE SEVEN", "9", "MODE SEVEN "},
        {"LCD $V 1 0 BANNER", "9", "  V7300-NET-IO  _/|__________/|_"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement + std::string(" / ") + c.value);
        run({c.statement}, 2, {{"$V", c.value}});
        const auto lines = sim.LcdLines();
        EXPECT_EQ(lines.first + lines.second, c.text);
        sim.Stop();
    }
}

TEST_F(TSimulateTest, LcdLinesAreTheTwoHalvesOfTheText) {
    run({"LCD $V 0 1 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"}, 2);
    EXPECT_EQ(sim.LcdLines(), std::make_pair(std::string("0123456789ABCDEF"), std::string("GHIJKLMNOPQRSTUV")));
    EXPECT_GE(effects.shown, 2);
}

TEST_F(TSimulateTest, LcdStepFailureKeepsTheLinesForThatCycleOnly) {
    run({"LCD $V 0 2 VALUE:"}, 2, {{"$V", "12"}});
    const auto shown = sim.LcdLines();
    EXPECT_EQ(shown.first, "    12 ");
    sim.SetVariable("$V", "1,5"); // not an integer
    sim.Step();
    EXPECT_EQ(sim.LcdLines(), shown);
    EXPECT_FALSE(sim.Stalled());
    sim.SetVariable("$V", "7");
    sim.Step();
    EXPECT_EQ(sim.LcdLines().first, "     7 ");
}

TEST_F(TSimulateTest, LcdTextIsCutOnWindows1252Characters) {
    run({"LCD $V 0 1 ÄÖÜäöüß123456789ABCD"}, 2);
    EXPECT_EQ(sim.LcdLines().first, "ÄÖÜäöüß123456789");
    EXPECT_EQ(sim.LcdLines().second, "ABCD ");
}

TEST_F(TSimulateTest, ClockVariablesOverASecondAndMidnight) {
    clock.setLocal(DateTime{2026, 1, 10, 23, 59, 59, 0}); // a Saturday
    ASSERT_TRUE(sim.Start(framed({}), false));
    std::vector<std::string> btimer;
    for (int i = 0; i < 6; ++i) {
        sim.Step(); // cycles start at +10, +120, +230, +340, +450, +560 ms
        btimer.push_back(var("$BTIMER"));
        if (i == 0) {
            EXPECT_EQ(var("$TIME"), "235959");
            EXPECT_EQ(var("$DAY"), "7");
        }
    }
    EXPECT_EQ(btimer, (Lines{"1", "0", "0", "0", "0", "1"})); // the second rounds up at +500 ms
    for (int i = 0; i < 5; ++i) sim.Step();
    EXPECT_EQ(var("$TIME"), "000000");
    EXPECT_EQ(var("$DAY"), "1");
}

TEST_F(TSimulateTest, EachCycleTakes110MillisecondsOfClockTime) {
    run({}, 0);
    const auto before = clock.monotonicMs();
    for (int i = 0; i < 10; ++i) sim.Step();
    EXPECT_EQ(clock.monotonicMs() - before, 1100);
    EXPECT_EQ(sim.CycleCount(), 10);
}

TEST_F(TSimulateTest, NumbersUseTheUsersDecimalSeparator) {
    setDecimalSeparator('.');
    run({"$X = 1.50", "$Y = 1,50", "$Z = $X", "$Z *= 3", "LCD $W 0 3 T"}, 2, {{"$W", "15"}});
    EXPECT_EQ(var("$X"), "1.5");
    EXPECT_EQ(var("$Y"), "0"); // not a number with "." as separator
    EXPECT_EQ(var("$Z"), "4.5");
    EXPECT_EQ(sim.LcdLines().first, "  1.5");
}

} // namespace
} // namespace v7300

namespace {

// The skip rule as written: from line `from` with depth 1, each following line:
// "ENDIF" lowers the depth, a line beginning with "IF" raises it, and with the
// ELSE rule an exact "ELSE" at depth 1 lowers it; the pass goes on after the line
// that brings the depth to 0, or the script ends.
std::size_t SkipByTheRule(const std::vector<std::string>& lines, std::size_t from, bool elseRule) {
    int depth = 1;
    for (std::size_t j = from + 1; j < lines.size(); ++j) {
        if (lines[j] == "ENDIF") --depth;
        if (lines[j].rfind("IF", 0) == 0) ++depth;
        if (elseRule && depth == 1 && lines[j] == "ELSE") --depth;
        if (depth == 0) return j + 1;
    }
    return lines.size();
}

} // namespace

TEST(SkipTargets, EveryIfAndElseJumpsWhereTheSkipRuleEnds) {
    const char* pool[] = {"IF $A = 1", "IF", "IFX", "ELSE", "ELSEX", "ENDIF", "ENDIF ", "$A = 1", "LOOP", "DO"};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::string> lines(random() % 60);
        for (auto& l : lines) l = pool[random() % std::size(pool)];
        const std::vector<std::size_t> targets = v7300::SkipTargets(lines);
        ASSERT_EQ(targets.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const bool isElse = lines[i].rfind("ELSE", 0) == 0;
            if (!isElse && lines[i].rfind("IF", 0) != 0) continue;
            ASSERT_EQ(targets[i], SkipByTheRule(lines, i, !isElse)) << "seed " << seed << " line " << i;
        }
    }
}

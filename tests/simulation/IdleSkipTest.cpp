// Skipping idle stretches: which scripts allow it, and that a run with jumps
// ends in exactly the state of a run of every cycle.
#include "simulation/IdleSkip.h"
#include "simulation/LogicSimulation.h"

#include "SimTestSupport.h"
#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace v7300 {
namespace {

using simtest::framed;
using Lines = std::vector<std::string>;

std::int64_t berlin(int y, int mo, int d, int h, int mi) {
    const TTimeZone zone = TTimeZone::Load("Europe/Berlin");
    return zone.LocalToUtc(DateTime{y, mo, d, h, mi, 0, 0}.toEpochMs() / 1000).front() * 1000;
}

struct AnalysisCase {
    const char* name;
    Lines script;
    bool possible;
};

TEST(IdleSkip, WhichScriptsAllowSkipping) {
    const AnalysisCase cases[] = {
        {"time copied and compared with literals", {"$T = $TIME", "IF $T >= 060000", "$Q = 1", "ENDIF", "IF 220000 > $T", "ENDIF"}, true},
        {"copy of a copy", {"$U = $T", "$T = $TIME", "IF $U == 5,5", "ENDIF"}, true},
        {"second tick and day used freely", {"$A = $BTIMER", "$D = $DAY", "$D += 1"}, true},
        {"arithmetic on the time", {"$T = $TIME", "$T += 1"}, false},
        {"time into a value", {"$X != $TIME"}, false},
        {"time compared with a variable", {"$T = $TIME", "IF $T > $LIMIT", "ENDIF"}, false},
        {"a copy also written otherwise", {"$T = $TIME", "$T = 5"}, false},
        {"time on the display", {"LCD $TIME 0 2 T:"}, false},
        {"script writes the clock", {"$DAY = 3"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        TSimulate sim(clock);
        ASSERT_TRUE(sim.Start(framed(c.script), false));
        EXPECT_EQ(sim.IdleSkipPossible(), c.possible);
    }
    // The breakpoints themselves.
    TIdleSkip idle;
    std::vector<script::Statement> program(2);
    program[0].kind = script::Kind::Assign;
    program[0].target = 3;
    program[0].a.symbol = 0;
    program[1].kind = script::Kind::If;
    program[1].compare = script::CompareOp::Lt;
    program[1].a.symbol = 3;
    program[1].b.literal = 59999.5;
    idle.Analyse(program, 4, {0, 1, 2});
    ASSERT_TRUE(idle.Possible());
    EXPECT_EQ(idle.Breakpoints(), (std::vector<double>{59999, 60000}));
    EXPECT_EQ(idle.SettleCycles(), 1);
    EXPECT_TRUE(idle.SameClass("059998", "000000", ','));
    EXPECT_FALSE(idle.SameClass("059999", "060000", ','));
}

TEST(IdleSkip, StretchEndsAtTheNextBreakpointOrMidnight) {
    TIdleSkip idle;
    std::vector<script::Statement> program(2);
    program[0].kind = script::Kind::Assign;
    program[0].target = 3;
    program[0].a.symbol = 0;
    program[1].kind = script::Kind::If;
    program[1].compare = script::CompareOp::Ge;
    program[1].a.symbol = 3;
    program[1].b.literal = 63060; // 06:30:60 is read as 06:31:00
    idle.Analyse(program, 4, {0, 1, 2});
    const DateTime local{2026, 1, 5, 5, 0, 0, 0};
    const std::int64_t utc = local.toEpochMs() - 3600000; // one hour east of UTC
    EXPECT_EQ(idle.StretchEndUtcMs(local, utc), (DateTime{2026, 1, 5, 6, 31, 0, 0}).toEpochMs() - 3600000);
    const DateTime late{2026, 1, 5, 7, 0, 0, 0};
    EXPECT_EQ(idle.StretchEndUtcMs(late, late.toEpochMs()), (DateTime{2026, 1, 6, 0, 0, 0, 0}).toEpochMs());
}

// Runs the same script twice, once every cycle and once skipping, with the same
// writes at the same cycles. Every change of an entry that does not follow the
// time must be seen at the same cycle in both runs (as --watch sees it), and
// at every write the whole state must be the same.
class SkipEquivalence : public ::testing::Test {
protected:
    void SetUp() override { setDecimalSeparator(','); }

    struct Event {
        std::int64_t cycle;
        std::string name, value;
    };
    using Log = std::vector<std::string>;

    static void logChanges(const TSimulate& sim, std::map<std::string, std::string>& last, Log& log) {
        for (const auto& v : sim.Variables()) {
            if (v.Name == "$TIME" || v.Name == "$BTIMER" || v.Name == "$T1" || v.Name == "$T2") continue;
            std::string& before = last[v.Name];
            if (before == v.Value) continue;
            before = v.Value;
            log.push_back(std::to_string(sim.CycleCount()) + " " + v.Name + "=" + v.Value);
        }
        const auto lines = sim.LcdLines();
        if (last["LCD"] != lines.first + lines.second) {
            last["LCD"] = lines.first + lines.second;
            log.push_back(std::to_string(sim.CycleCount()) + " LCD=" + last["LCD"]);
        }
    }

    // Returns the number of passes the skipping run needed.
    std::int64_t compare(const Lines& script, std::int64_t startUtc, std::int64_t cycles, std::vector<Event> events,
                         std::vector<std::string> observed = {}) {
        const TTimeZone zone = TTimeZone::Load("Europe/Berlin");
        ZonedVirtualClock clockA(zone, startUtc), clockB(zone, startUtc);
        TSimulate a(clockA), b(clockB);
        a.Start(framed(script), false);
        b.Start(framed(script), false);
        b.SetObserved(observed);
        events.push_back({cycles, "", ""});
        std::map<std::string, std::string> lastA, lastB;
        Log logA, logB;
        std::int64_t passes = 0;
        for (const Event& e : events) {
            while (a.CycleCount() < e.cycle) {
                a.Step();
                logChanges(a, lastA, logA);
            }
            while (b.CycleCount() < e.cycle) {
                if (b.SkipIdle(e.cycle - b.CycleCount()) == 0) {
                    b.Step();
                    ++passes;
                }
                logChanges(b, lastB, logB);
            }
            EXPECT_EQ(clockA.utcMs(), clockB.utcMs()) << "cycle " << e.cycle;
            EXPECT_EQ(a.Variables(), b.Variables()) << "cycle " << e.cycle;
            EXPECT_EQ(a.LcdLines(), b.LcdLines()) << "cycle " << e.cycle;
            if (!e.name.empty()) {
                a.SetVariable(e.name, e.value);
                b.SetVariable(e.name, e.value);
            }
        }
        EXPECT_EQ(logA, logB);
        return passes;
    }

    // A week timer 02:30 - 03:00:30 and 23:59:59 - 00:00:01 on days 1 and 2, a
    // second counter started by $IN's rising edge, a display of the counter.
    const Lines timerScript = {
        "$T2 = $T1",           // read before written: one cycle behind
        "$T1 = $TIME",         "$D = $DAY",     "$Q = 0",
        "IF $D <= 2",          "IF $T2 >= 023000", "IF $T1 < 030030", "$Q = 1", "ENDIF", "ENDIF", "ENDIF",
        "IF $T1 >= 235959",    "$Q = 1",        "ENDIF",
        "IF $T2 < 000001",     "$Q = 1",        "ENDIF",
        "IF $BTIMER != 0",     "IF $C > 0",     "$C -= 1",      "ENDIF", "ENDIF",
        "$L != $IN",           "$L != $L",      "$R = 0",       "IF $L > $P", "$R = 1", "ENDIF", "$P = $L",
        "IF $R != 0",          "$C = 5",        "ENDIF",
        "IF $C > 0",           "$X = 1",        "ELSE",         "$X = 0",  "ENDIF",
        "IF $R != 0",          "LCD $C 0 2 Rest:", "ENDIF",
    };
};

TEST_F(SkipEquivalence, AcrossTheSpringChangeWithBreakpointsAroundIt) {
    // Sunday 29 March 2026, 01:55 to 03:05 local time: the clock jumps from 02:00
    // to 03:00, the breakpoint 02:30 lies in the gap, 03:00:30 after it.
    const std::int64_t cycles = 10 * 60 * 1000 / 110;
    const std::int64_t passes = compare(timerScript, berlin(2026, 3, 29, 1, 55), cycles,
                                        {{100, "$IN", "1"}, {300, "$IN", "0"}, {4000, "$IN", "1"}, {4001, "$IN", "0"}});
    EXPECT_LT(passes, cycles / 10);
}

TEST_F(SkipEquivalence, AcrossMidnight) {
    const std::int64_t cycles = 10 * 60 * 1000 / 110;
    const std::int64_t passes = compare(timerScript, berlin(2026, 10, 24, 23, 55), cycles, {{50, "$IN", "1"}});
    EXPECT_LT(passes, cycles / 10);
}

TEST_F(SkipEquivalence, AcrossTheAutumnChangeWithABreakpointInTheRepeatedHour) {
    // 02:50 summer time to 02:35 winter time: 02:30 is passed twice.
    const std::int64_t cycles = 45 * 60 * 1000 / 110;
    const std::int64_t start = berlin(2026, 10, 25, 1, 50) + 3600000; // 02:50 CEST is 00:50 UTC
    const std::int64_t passes = compare(timerScript, start, cycles, {{50, "$IN", "1"}});
    EXPECT_LT(passes, cycles / 10);
}

TEST_F(SkipEquivalence, WithoutCopiesOfTheTimeAJumpEndsExactlyAtTheBound) {
    // No real cycles are needed after a jump: the clock values, the second tick
    // included, are those of the last cycle jumped over.
    const std::int64_t cycles = 20000;
    std::vector<Event> events;
    for (std::int64_t c = 50; c < cycles; c += 997) events.push_back({c, "$IN", std::to_string(c % 3)});
    const std::int64_t passes = compare({"$A = $IN", "$D = $DAY"}, berlin(2026, 1, 5, 23, 0), cycles, events);
    EXPECT_LT(passes, cycles / 10);
}

TEST_F(SkipEquivalence, NothingIsSkippedWhileTheSecondTickIsCopied) {
    const Lines takt = {"$A = $BTIMER", "$N = $A"};
    EXPECT_EQ(compare(takt, berlin(2026, 1, 5, 12, 0), 500, {}), 500);
}

TEST_F(SkipEquivalence, NothingIsSkippedWhileAFollowerOfTheTimeIsObserved) {
    EXPECT_EQ(compare(timerScript, berlin(2026, 1, 5, 12, 0), 400, {}, {"$T1"}), 400);
}

TEST_F(SkipEquivalence, AWriteFromOutsideMustBeSeenQuietAgain) {
    VirtualClock clock;
    TSimulate sim(clock);
    sim.Start(framed({"$A = $IN"}), false);
    for (int i = 0; i < 20; ++i) sim.Step();
    EXPECT_GT(sim.SkipIdle(1000), 0);
    sim.SetVariable("$IN", "1");
    EXPECT_EQ(sim.SkipIdle(1000), 0);
    sim.Step(); // changes $A
    EXPECT_EQ(sim.SkipIdle(1000), 0);
    for (int i = 0; i < 20; ++i) sim.Step();
    EXPECT_GT(sim.SkipIdle(1000), 0);
    EXPECT_EQ(sim.GetVariable("$A"), "1");
}

} // namespace
} // namespace v7300

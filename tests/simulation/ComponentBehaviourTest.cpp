// The behaviour of every shipped component type, run through the script
// generator and the interpreter on a virtual clock (about 110 ms per cycle).
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace v7300 {
namespace {

using test::RecordingMessagePort;

class Bench : public ::testing::Test {
protected:
    Bench() : logic(V7300_BINARY_DIR "/bin/objekts", port) {
        setDecimalSeparator(',');
        logic.NewProject();
    }
    ~Bench() override {
        if (sim) sim->Simulation_abbrechen();
    }

    std::string place(const std::string& type, std::vector<std::pair<std::string, std::string>> vars = {}) {
        const int index = logic.Add_objekt(type, "", 1 + 8 * placed % 160, 1 + 8 * (placed / 20));
        ++placed;
        EXPECT_GE(index, 0) << type;
        TLogicComponent& c = logic.Components.Items(index);
        for (const auto& [name, value] : vars) {
            auto* v = c.Variables.FindByName(name);
            EXPECT_NE(v, nullptr) << name;
            if (v) {
                EXPECT_TRUE(v->SetValue(value)) << name << "=" << value;
            }
        }
        return c.Name;
    }
    // An IN switch (or another input kind) wired to input `input` (1-based) of `to`.
    std::string source(const std::string& to, int input, const std::string& kind = "0") {
        const std::string in = place("IN", {{"TYPE", kind}});
        wire(in, 1, to, input);
        return in;
    }
    void wire(const std::string& from, int output, const std::string& to, int input) {
        EXPECT_GE(logic.add_verbinder(from, output - 1, input - 1, to), 0);
    }
    void start() {
        sim = std::make_unique<TLogicSimulation>(logic, clock);
        sim->Simulate(false);
        ASSERT_TRUE(sim->Simulating());
    }
    void run(int cycles = 1) { ASSERT_EQ(sim->RunCycles(cycles), cycles); }
    void set(const std::string& in, bool on) { sim->Simulator().SetInputState(in, 1, on); }
    void setValue(const std::string& in, int v) { sim->Simulator().SetInputValue(in, 1, v); }
    // Sets and clears an input, two cycles each: the sources are placed after the
    // components they feed, so a change reaches them in the following cycle.
    void pulse(const std::string& in) {
        set(in, true);
        run(2);
        set(in, false);
        run(2);
    }
    bool out(const std::string& c, int n = 1) const { return sim->Simulator().Output_Status(c, n); }
    std::string value(const std::string& name) const { return sim->Simulator().GetVariable("$" + name); }
    // Cycles until the output changes to `state`; the virtual milliseconds that took (-1: not within limit).
    std::int64_t msUntil(const std::string& c, int n, bool state, int limit = 400) {
        const std::int64_t t0 = clock.monotonicMs();
        for (int i = 0; i < limit; ++i) {
            if (out(c, n) == state) return clock.monotonicMs() - t0;
            run();
        }
        return -1;
    }

    RecordingMessagePort port;
    VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}}; // a Monday
    TLogic logic;
    std::unique_ptr<TLogicSimulation> sim;
    int placed = 0;
};

struct GateCase {
    const char* type;
    int wired;   // inputs wired, from input 1 on
    int pattern; // bit i: wired input i+1 high
    bool expected;
};

class GateTruth : public Bench, public ::testing::WithParamInterface<GateCase> {};

TEST_P(GateTruth, OutputFollowsWiredInputsOnly) {
    const GateCase& g = GetParam();
    const std::string gate = place(g.type);
    std::vector<std::string> ins;
    for (int i = 1; i <= g.wired; ++i) ins.push_back(source(gate, i));
    start();
    for (int i = 0; i < g.wired; ++i) set(ins[static_cast<std::size_t>(i)], (g.pattern >> i) & 1);
    run(2);
    EXPECT_EQ(out(gate), g.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Gates, GateTruth,
    ::testing::Values(GateCase{"AND", 2, 0b11, true}, GateCase{"AND", 2, 0b01, false}, GateCase{"AND", 0, 0, false},
                      GateCase{"AND", 4, 0b1111, true}, GateCase{"AND", 4, 0b0111, false},
                      GateCase{"NAND", 2, 0b11, false}, GateCase{"NAND", 2, 0b10, true},
                      GateCase{"NAND", 0, 0, true}, GateCase{"OR", 2, 0b00, false}, GateCase{"OR", 3, 0b100, true},
                      GateCase{"OR", 0, 0, false}, GateCase{"NOR", 2, 0b00, true}, GateCase{"NOR", 2, 0b10, false},
                      GateCase{"NOR", 0, 0, true}, GateCase{"XOR", 2, 0b01, true}, GateCase{"XOR", 2, 0b11, false},
                      GateCase{"XOR", 2, 0b00, false}, GateCase{"XOR", 1, 0b1, true}, GateCase{"INV", 1, 0b1, false},
                      GateCase{"INV", 1, 0b0, true}, GateCase{"INV", 0, 0, true}));

TEST_F(Bench, BoolLooksUpItsTruthTable) {
    const std::string b = place("BOOL", {{"VAL05", "1"}, {"VAL15", "1"}});
    const std::string a = source(b, 1), bb = source(b, 2), c = source(b, 3), d = source(b, 4);
    start();
    const struct {
        bool a, b, c, d, expected;
    } rows[] = {{1, 0, 1, 0, true}, {1, 1, 1, 1, true}, {0, 0, 0, 0, false}, {1, 0, 0, 0, false}, {0, 0, 1, 0, false}};
    for (const auto& r : rows) {
        set(a, r.a), set(bb, r.b), set(c, r.c), set(d, r.d);
        run(2);
        EXPECT_EQ(out(b), r.expected) << r.a << r.b << r.c << r.d;
    }
}

TEST_F(Bench, BiTogglesOnRisingEdgesOnly) {
    const std::string bi = place("BI");
    const std::string in = source(bi, 1);
    start();
    run();
    EXPECT_FALSE(out(bi));
    set(in, true);
    run(3); // held high: one toggle only
    EXPECT_TRUE(out(bi));
    set(in, false);
    run();
    EXPECT_TRUE(out(bi));
    pulse(in);
    EXPECT_FALSE(out(bi));
}

TEST_F(Bench, FlipFlopSetsResetsAndResetWins) {
    const std::string ff = place("FF");
    const std::string s = source(ff, 1), r = source(ff, 2);
    start();
    pulse(s);
    EXPECT_TRUE(out(ff)) << "S sets and A holds";
    set(r, true);
    set(s, true);
    run(2);
    EXPECT_FALSE(out(ff)) << "R wins over S";
    set(r, false);
    run(2);
    EXPECT_TRUE(out(ff));
}

TEST_F(Bench, RelayPassesTheSelectedValue) {
    const std::string rel = place("RELAY");
    const std::string a1 = source(rel, 1, "1"), a2 = source(rel, 2, "1"), sel = source(rel, 3);
    start();
    setValue(a1, 300);
    setValue(a2, 700);
    run(2);
    EXPECT_EQ(value(rel + "__A1"), "300");
    set(sel, true);
    run(2);
    EXPECT_EQ(value(rel + "__A1"), "700");
}

TEST_F(Bench, NumGivesItsValue) {
    const std::string num = place("NUM", {{"VALUE", "-42"}});
    start();
    run();
    EXPECT_EQ(value(num + "__A1"), "-42");
}

TEST_F(Bench, TaktPulsesOncePerSecond) {
    const std::string takt = place("TAKT");
    start();
    int pulses = 0;
    for (int i = 0; i < 91; ++i) { // 91 cycles of 110 ms: 10 seconds
        run();
        pulses += out(takt) ? 1 : 0;
    }
    EXPECT_EQ(pulses, 11); // the first cycle ticks, then one per second
}

TEST_F(Bench, TimerRunsItsSecondsAndIsRetriggerable) {
    const std::string t = place("TIMER", {{"SEKUNDEN", "3"}});
    const std::string s = source(t, 1);
    source(t, 2);
    start();
    pulse(s);
    EXPECT_TRUE(out(t));
    EXPECT_EQ(value(t + "_SEKUNDEN"), "3");
    const std::int64_t on = msUntil(t, 1, false) + 220; // the pulse's two cycles
    EXPECT_GT(on, 2000);
    EXPECT_LE(on, 3000 + 110);
    // Retrigger after about two seconds: the full time again from there.
    pulse(s);
    run(16);
    EXPECT_TRUE(out(t));
    EXPECT_NE(value(t + "_COUNTER"), "3");
    pulse(s);
    EXPECT_EQ(value(t + "_COUNTER"), "3");
    const std::int64_t rest = msUntil(t, 1, false) + 220;
    EXPECT_GT(rest, 2000);
    EXPECT_LE(rest, 3110);
}

TEST_F(Bench, TimerResetSwitchesOffAtOnce) {
    const std::string t = place("TIMER", {{"SEKUNDEN", "10"}});
    const std::string s = source(t, 1), r = source(t, 2);
    start();
    pulse(s);
    EXPECT_TRUE(out(t));
    set(r, true);
    run(2);
    EXPECT_FALSE(out(t));
    EXPECT_EQ(value(t + "_COUNTER"), "0");
    pulse(s); // R still high: the start is lost
    EXPECT_FALSE(out(t));
}

TEST_F(Bench, CountReachesItsTargetAndResets) {
    const std::string c = place("COUNT", {{"COUNT", "3"}});
    const std::string s = source(c, 1), r = source(c, 2);
    start();
    pulse(s);
    pulse(s);
    EXPECT_FALSE(out(c));
    EXPECT_EQ(value(c + "_ZAEHLER"), "2");
    EXPECT_EQ(value(c + "_COUNTER"), "3");
    pulse(s);
    EXPECT_TRUE(out(c));
    pulse(s);
    EXPECT_EQ(value(c + "_ZAEHLER"), "3") << "the count stops at the target";
    set(r, true);
    run(2);
    EXPECT_FALSE(out(c));
    EXPECT_EQ(value(c + "_ZAEHLER"), "0");
}

class Rollo : public Bench {
protected:
    void build() {
        rollo = place("ROLLO", {{"TIME", "2"}});
        for (int i = 1; i <= 5; ++i) buttons.push_back(source(rollo, i));
        start();
        run();
    }
    bool up() const { return out(rollo, 1); }
    bool down() const { return out(rollo, 2); }
    std::string rollo;
    std::vector<std::string> buttons; // local up, local down, stop, central up, central down
};

TEST_F(Rollo, LocalButtonRunsForTheRunningTime) {
    build();
    pulse(buttons[0]);
    EXPECT_TRUE(up());
    EXPECT_FALSE(down());
    EXPECT_EQ(value(rollo + "_DIRECTION"), "1");
    const std::int64_t ms = msUntil(rollo, 1, false) + 220;
    EXPECT_GT(ms, 1000);
    EXPECT_LE(ms, 2110);
    EXPECT_EQ(value(rollo + "_DIRECTION"), "0");
}

TEST_F(Rollo, SecondLocalPressStopsAndOppositeDirectionOnlyStops) {
    build();
    pulse(buttons[0]);
    pulse(buttons[0]);
    EXPECT_FALSE(up());
    pulse(buttons[1]);
    EXPECT_TRUE(down());
    pulse(buttons[3]); // central up while running down: stop, never straight up
    EXPECT_FALSE(up());
    EXPECT_FALSE(down());
    pulse(buttons[3]);
    EXPECT_TRUE(up());
}

TEST_F(Rollo, CentralCommandKeepsItsDirectionAndRestartsTheTime) {
    build();
    pulse(buttons[4]);
    run(9);
    pulse(buttons[4]);
    EXPECT_TRUE(down()) << "central down does not stop a shutter running down";
    EXPECT_EQ(value(rollo + "_COUNTER"), "2");
}

TEST_F(Rollo, StopAndUpWithDownTogetherStopAtOnce) {
    build();
    pulse(buttons[0]);
    pulse(buttons[2]);
    EXPECT_FALSE(up());
    pulse(buttons[0]);
    EXPECT_TRUE(up());
    set(buttons[3], true);
    set(buttons[4], true);
    run(2);
    EXPECT_FALSE(up());
    EXPECT_FALSE(down());
    EXPECT_EQ(value(rollo + "_COUNTER"), "0");
}

TEST_F(Bench, ValueStepsWithinItsBoundsAndTakesOverSet) {
    const std::string v = place("VALUE", {{"MAX", "3"}, {"MIN", "1"}, {"INC", "2"}});
    const std::string plus = source(v, 1), minus = source(v, 2), setIn = source(v, 3, "1");
    start();
    run();
    EXPECT_EQ(value(v + "__A1"), "1") << "starts limited to MIN";
    pulse(plus);
    EXPECT_EQ(value(v + "__A1"), "3");
    pulse(plus);
    EXPECT_EQ(value(v + "__A1"), "3") << "limited to MAX";
    pulse(minus);
    EXPECT_EQ(value(v + "__A1"), "1");
    setValue(setIn, 2);
    run(2);
    EXPECT_EQ(value(v + "_VALUE"), "2");
    pulse(plus); // SET unchanged: the step counts
    EXPECT_EQ(value(v + "__A1"), "3");
}

TEST_F(Bench, AswitchPutsTheValueOfTheLastEdge) {
    const std::string a = place("ASWITCH", {{"WERT1", "5"}, {"WERT2", "6"}, {"WERT3", "7"}, {"WERT4", "-8"}});
    std::vector<std::string> in;
    for (int i = 1; i <= 4; ++i) in.push_back(source(a, i));
    start();
    run();
    EXPECT_EQ(value(a + "__A1"), "0");
    pulse(in[3]);
    EXPECT_EQ(value(a + "__A1"), "-8");
    pulse(in[1]);
    EXPECT_EQ(value(a + "_WERT"), "6");
    set(in[2], true);
    run(3); // held: no further change
    EXPECT_EQ(value(a + "__A1"), "7");
}

TEST_F(Bench, SchwelleSwitchesWithHysteresis) {
    const std::string s = place("SCHWELLE", {{"SCHWELLEUP", "600"}, {"SCHWELLEDOWN", "400"}});
    const std::string in = source(s, 1, "1");
    start();
    const std::pair<int, bool> steps[] = {{500, false}, {600, true}, {450, true}, {401, true},
                                          {400, false}, {599, false}, {1024, true}};
    for (const auto& [v, expected] : steps) {
        setValue(in, v);
        run(2);
        EXPECT_EQ(out(s), expected) << v;
    }
    EXPECT_EQ(value(s + "_VALUE"), "1024");
}

struct CalcCase {
    const char* type;
    int e1, e2;
    const char* expected;
};

class Calc : public Bench, public ::testing::WithParamInterface<CalcCase> {};

TEST_P(Calc, ComputesAfterItsType) {
    const CalcCase& c = GetParam();
    const std::string calc = place("CALC", {{"TYPE", c.type}});
    const std::string a = place("NUM", {{"VALUE", std::to_string(c.e1)}});
    const std::string b = place("NUM", {{"VALUE", std::to_string(c.e2)}});
    wire(a, 1, calc, 1);
    wire(b, 1, calc, 2);
    start();
    run(2);
    EXPECT_EQ(value(calc + "__A1"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Types, Calc,
                         ::testing::Values(CalcCase{"0", 7, -2, "5"}, CalcCase{"1", 7, 9, "-2"},
                                           CalcCase{"2", -3, 4, "-12"}, CalcCase{"3", 7, 2, "3"},
                                           CalcCase{"3", -7, 2, "-3"}, CalcCase{"3", 1000, 3, "333"},
                                           CalcCase{"3", 5, 0, "0"}, CalcCase{"3", 32767, 1, "32767"},
                                           CalcCase{"9", 1, 1, "0"}));

struct WeekCase {
    const char* days; // flags Mo..So
    const char* on;
    const char* off;
    DateTime when;
    bool expected;
};

class WeekTimer : public Bench, public ::testing::WithParamInterface<WeekCase> {};

TEST_P(WeekTimer, SwitchesOnFlaggedDays) {
    const WeekCase& w = GetParam();
    const char* names[] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};
    std::vector<std::pair<std::string, std::string>> vars = {{"TIME1", w.on}, {"TIME2", w.off}};
    for (int i = 0; i < 7; ++i) vars.emplace_back(names[i], std::string(1, w.days[i]));
    const std::string t = place("WEEKTIMER", vars);
    clock.setLocal(w.when);
    start();
    run();
    EXPECT_EQ(out(t), w.expected);
}

// 2026-01-09 is a Friday, 2026-01-10 a Saturday, 2026-01-11 a Sunday.
INSTANTIATE_TEST_SUITE_P(
    Days, WeekTimer,
    ::testing::Values(WeekCase{"0000100", "060000", "220000", {2026, 1, 9, 6, 0, 0}, true},
                      WeekCase{"0000100", "060000", "220000", {2026, 1, 9, 5, 59, 58}, false},
                      WeekCase{"0000100", "060000", "220000", {2026, 1, 9, 21, 59, 58}, true},
                      WeekCase{"0000100", "060000", "220000", {2026, 1, 9, 22, 0, 0}, false},
                      WeekCase{"0000100", "060000", "220000", {2026, 1, 10, 12, 0, 0}, false},
                      WeekCase{"0000001", "080000", "090000", {2026, 1, 11, 8, 30, 0}, true},
                      // over midnight: the flag of the day on which the on time lies
                      WeekCase{"0000100", "220000", "060000", {2026, 1, 9, 23, 0, 0}, true},
                      WeekCase{"0000100", "220000", "060000", {2026, 1, 10, 5, 0, 0}, true},
                      WeekCase{"0000100", "220000", "060000", {2026, 1, 9, 5, 0, 0}, false},
                      WeekCase{"0000100", "220000", "060000", {2026, 1, 10, 6, 0, 0}, false},
                      WeekCase{"0000010", "220000", "060000", {2026, 1, 11, 1, 0, 0}, true},
                      WeekCase{"1111111", "070000", "070000", {2026, 1, 9, 7, 0, 0}, false}));

struct LcdCase {
    const char* type;
    const char* pos;
    int var;
    const char* line1;
    const char* line2;
};

class Lcd : public Bench, public ::testing::WithParamInterface<LcdCase> {};

TEST_P(Lcd, ShowsItsLinesWithTheValue) {
    const LcdCase& l = GetParam();
    const std::string lcd = place("LCD", {{"TYPE", l.type}, {"POS", l.pos}, {"VAL1", "Wert:           "},
                                          {"VAL2", "Zeile zwei      "}});
    const std::string in = source(lcd, 1);
    const std::string var = source(lcd, 2, "1");
    start();
    setValue(var, l.var);
    set(in, true);
    run(3);
    const auto lines = sim->Simulator().LcdLines();
    EXPECT_EQ(lines.first, l.line1);
    EXPECT_EQ(lines.second, l.line2);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Lcd,
    ::testing::Values(LcdCase{"0", "6", 1, "  V7300-NET-IO  ", "_/|__________/|_"},
                      LcdCase{"1", "6", 1, "Wert:           ", "Zeile zwei      "},
                      LcdCase{"2", "6", 215, "Wert:    215    ", "Zeile zwei      "},
                      LcdCase{"3", "6", 215, "Wert:  21,5     ", "Zeile zwei      "},
                      LcdCase{"4", "6", 0, "Wert: AUS       ", "Zeile zwei      "},
                      LcdCase{"5", "16", 1, "Wert:           ", "      OFFEN     "},
                      LcdCase{"6", "22", 0, "Wert:           ", "Zeile NEIN      "}));

TEST_F(Bench, LcdWithoutEdgeShowsNothing) {
    place("LCD");
    start();
    run(3);
    EXPECT_EQ(sim->Simulator().LcdLines().first, "  V7300-NET-IO  ");
}

TEST_F(Bench, PushButtonGivesAPulseOfAboutHalfASecond) {
    const std::string in = place("IN", {{"TYPE", "10"}});
    const std::string o = place("OUT");
    wire(in, 1, o, 1);
    start();
    run();
    sim->Toogle_input(1);
    run();
    EXPECT_TRUE(out(in));
    EXPECT_TRUE(out(o)) << "OUT mirrors its input";
    const std::int64_t ms = msUntil(in, 1, false, 20) + 110;
    EXPECT_GE(ms, 440);
    EXPECT_LE(ms, 660);
}

TEST_F(Bench, SwitchInputTogglesAndAnalogueInputPassesItsValue) {
    const std::string sw = place("IN");
    const std::string an = place("IN", {{"TYPE", "2"}});
    start();
    sim->Toogle_input(1);
    run();
    EXPECT_TRUE(out(sw));
    setValue(an, 512);
    run();
    EXPECT_EQ(value(an + "__A1"), "512");
}

TEST_F(Bench, BusModulesPassTheirChannels) {
    const std::string temp = place("BUS-TEMP-II");
    const std::string busOut = place("BUS-OUT-II");
    wire(temp, 2, busOut, 2);
    start();
    setValue(temp, 0); // channel 1 stays 0
    sim->Simulator().SetInputValue(temp, 2, 215);
    run(2);
    EXPECT_EQ(value(temp + "__A2"), "215");
    EXPECT_EQ(value(temp + "_VALUE2"), "21,5");
    EXPECT_TRUE(out(busOut, 2));
    EXPECT_FALSE(out(busOut, 1));
}

} // namespace
} // namespace v7300

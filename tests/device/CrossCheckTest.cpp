// The same diagram run by the simulation (scripts) and by the virtual
// controller's interpreter (compiled image), cycle by cycle on one virtual clock,
// through the same input scenario: the output states agree.
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "device/ImageRunner.h"
#include "device/LogicCompiler.h"
#include "model/Logic.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

namespace v7300 {
namespace {

class CrossCheckBase : public ::testing::Test {
protected:
    CrossCheckBase() : logic(V7300_BINARY_DIR "/bin/objekts", port) {
        setDecimalSeparator(',');
        logic.NewProject();
    }

    std::string place(const std::string& type, std::vector<std::pair<std::string, std::string>> vars = {}) {
        const int index = logic.Add_objekt(type, "", 1 + 8 * (placed % 20), 1 + 8 * (placed / 20));
        ++placed;
        EXPECT_GE(index, 0) << type;
        TLogicComponent& c = logic.Components.Items(index);
        for (const auto& [name, value] : vars) {
            auto* v = c.Variables.FindByName(name);
            EXPECT_NE(v, nullptr) << name;
            if (v) {
                EXPECT_TRUE(v->SetValue(value)) << name;
            }
        }
        return c.Name;
    }
    void wire(const std::string& from, int output, const std::string& to, int input) {
        EXPECT_GE(logic.add_verbinder(from, output - 1, input - 1, to), 0);
    }
    std::uint8_t objectNumber(const std::string& instance) const {
        return static_cast<std::uint8_t>(logic.get_objekt_id(instance, true) + 1);
    }

    test::RecordingMessagePort port;
    VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}};
    TLogic logic;
    int placed = 0;
};

using CrossCheck = CrossCheckBase;

TEST_F(CrossCheck, SimulationAndVirtualControllerGiveTheSameOutputs) {
    std::vector<std::string> ins;
    for (int i = 1; i <= 3; ++i) ins.push_back(place("IN", {{"HID", std::to_string(i)}}));
    const std::string andGate = place("AND");
    wire(ins[0], 1, andGate, 1);
    wire(ins[1], 1, andGate, 2);
    const std::string orGate = place("OR");
    wire(ins[1], 1, orGate, 1);
    wire(ins[2], 1, orGate, 3);
    const std::string xorGate = place("XOR");
    wire(ins[0], 1, xorGate, 1);
    wire(ins[2], 1, xorGate, 2);
    const std::string inv = place("INV");
    wire(ins[0], 1, inv, 1);
    const std::string ff = place("FF");
    wire(ins[0], 1, ff, 1);
    wire(ins[2], 1, ff, 2);
    const std::string bi = place("BI");
    wire(ins[1], 1, bi, 1);
    const std::string count = place("COUNT", {{"COUNT", "2"}});
    wire(ins[0], 1, count, 1);
    wire(ins[2], 1, count, 2);
    const std::string timer = place("TIMER", {{"SEKUNDEN", "2"}});
    wire(ins[1], 1, timer, 1);
    wire(ins[2], 1, timer, 2);
    const std::string takt = place("TAKT");
    const std::string nand = place("NAND");
    wire(andGate, 1, nand, 1);
    wire(timer, 1, nand, 2);
    const std::string out = place("OUT", {{"ID", "1"}});
    wire(nand, 1, out, 1);
    const std::vector<std::string> watched = {andGate, orGate, xorGate, inv, ff, bi, count, timer, takt, nand};

    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    TImageRunner device;
    device.Load(ReadDeviceImage(image));

    TLogicSimulation sim(logic, clock);
    sim.Simulate(false);
    ASSERT_TRUE(sim.Simulating());

    // Each step: the three inputs, then cycles to run.
    const std::vector<std::tuple<bool, bool, bool, int>> scenario = {
        {false, false, false, 2}, {true, false, false, 3}, {true, true, false, 3}, {false, true, false, 5},
        {false, false, false, 3}, {true, false, false, 2}, {false, false, false, 2}, {true, false, false, 2},
        {false, true, true, 3},   {false, false, false, 25}, {true, true, false, 10}, {false, false, true, 4},
    };
    int compared = 0;
    for (std::size_t step = 0; step < scenario.size(); ++step) {
        const auto [a, b, c, cycles] = scenario[step];
        const bool levels[3] = {a, b, c};
        for (int i = 0; i < 3; ++i) {
            sim.Simulator().SetInputState(ins[static_cast<std::size_t>(i)], 1, levels[i]);
            device.SetHardwareInput(i + 1, levels[i] ? 1 : 0);
        }
        for (int k = 0; k < cycles; ++k) {
            ASSERT_EQ(sim.RunCycles(1), 1);
            // The simulation reads the clock at the start of its cycle, before the cycle's wait.
            const std::int64_t startMs = clock.utcNow().toEpochMs() - TSimulate::kCycleWait;
            device.RunCycle((startMs + 500) / 1000, DateTime::fromEpochMs(startMs));
            for (std::size_t w = 0; w < watched.size(); ++w) {
                const auto object = static_cast<std::uint8_t>(logic.get_objekt_id(watched[w], true) + 1);
                EXPECT_EQ(sim.Simulator().Output_Status(watched[w], 1), device.Output(object, 0) != 0)
                    << watched[w] << " in step " << step << ", cycle " << k;
                ++compared;
            }
        }
    }
    EXPECT_EQ(device.DeviceOutput(1) != 0, sim.Simulator().Output_Status(out, 1));
    EXPECT_GT(compared, 500);
    sim.Simulation_abbrechen();
}


// --- scenarios: a diagram, what to compare, and the inputs cycle by cycle

// One compared quantity: output k of an instance, or one of its shown values
// (store "$<instance>_<name>") against the device's live word.
struct Probe {
    std::string instance;
    int output = 0;                  // 1-based output, 0: a value
    std::string value;               // store name of the value
    int word = 0;                    // the value's live word on the device
    std::optional<std::int32_t> constant = {}; // documented to stay at this
};

struct Diagram {
    std::vector<std::string> inputs; // IN components, fed in this order
    std::vector<Probe> probes;
    bool lcd = false;                // compare the display too
};

struct Step {
    std::vector<std::int32_t> in; // one value per input
    int cycles = 1;
    std::optional<DateTime> at = {}; // set the clock first (forward only)
};

struct Scenario {
    const char* name;
    std::function<Diagram(CrossCheckBase&)> build;
    std::vector<Step> steps;
};

void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

class CrossCheckScenario : public CrossCheckBase, public ::testing::WithParamInterface<Scenario> {
public:
    // Lets the scenario tables build diagrams.
    std::string Place(const std::string& type, std::vector<std::pair<std::string, std::string>> vars = {}) {
        return place(type, std::move(vars));
    }
    void Wire(const std::string& from, int output, const std::string& to, int input) { wire(from, output, to, input); }
    // Digital (TYPE 0) or analogue (TYPE 1) inputs on hardware inputs 1 … n.
    std::vector<std::string> Inputs(const std::vector<bool>& analogue) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < analogue.size(); ++i)
            names.push_back(place("IN", {{"HID", std::to_string(i + 1)}, {"TYPE", analogue[i] ? "1" : "0"}}));
        return names;
    }
};

CrossCheckScenario& builder(CrossCheckBase& base) { return static_cast<CrossCheckScenario&>(base); }

std::vector<Probe> outputs(const std::string& instance, int n = 1) {
    std::vector<Probe> p;
    for (int k = 1; k <= n; ++k) p.push_back({instance, k, "", 0});
    return p;
}

void add(std::vector<Probe>& to, std::vector<Probe> more) { to.insert(to.end(), more.begin(), more.end()); }

TEST_P(CrossCheckScenario, SimulationAndVirtualControllerAgreeCycleByCycle) {
    const Scenario& scenario = GetParam();
    const Diagram d = scenario.build(*this);

    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    TImageRunner device;
    device.Load(ReadDeviceImage(image));

    TLogicSimulation sim(logic, clock);
    sim.Simulate(false);
    ASSERT_TRUE(sim.Simulating());

    std::map<std::size_t, std::set<std::int32_t>> seen; // per probe
    std::optional<std::array<std::string, 2>> shownBefore; // device display one cycle back
    int compared = 0;
    int cycle = 0;
    for (std::size_t step = 0; step < scenario.steps.size(); ++step) {
        const Step& s = scenario.steps[step];
        ASSERT_EQ(s.in.size(), d.inputs.size()) << "step " << step;
        if (s.at) clock.setLocal(*s.at);
        for (std::size_t i = 0; i < d.inputs.size(); ++i) {
            sim.Simulator().SetInputValue(d.inputs[i], 1, s.in[i]);
            device.SetHardwareInput(static_cast<int>(i) + 1, s.in[i]);
        }
        for (int k = 0; k < s.cycles; ++k, ++cycle) {
            ASSERT_EQ(sim.RunCycles(1), 1);
            // The simulation reads the clock at the start of its cycle, before the cycle's wait.
            const std::int64_t startMs = clock.localNow().toEpochMs() - TSimulate::kCycleWait;
            device.RunCycle((startMs + 500) / 1000, DateTime::fromEpochMs(startMs));
            const auto where = [&] {
                return std::string(" in step ") + std::to_string(step) + ", cycle " + std::to_string(k) + " (" +
                       std::to_string(cycle) + ")";
            };
            for (std::size_t p = 0; p < d.probes.size(); ++p) {
                const Probe& probe = d.probes[p];
                const std::uint8_t object = objectNumber(probe.instance);
                std::int32_t onDevice = 0;
                std::string name;
                if (probe.output > 0) {
                    onDevice = device.Output(object, probe.output - 1);
                    name = "$" + probe.instance + "__A" + std::to_string(probe.output);
                } else {
                    onDevice = static_cast<std::int16_t>(device.LiveWords(object)[static_cast<std::size_t>(probe.word)]);
                    name = "$" + probe.instance + "_" + probe.value;
                }
                const std::string simulated = sim.Simulator().GetVariable(name);
                EXPECT_EQ(simulated, std::to_string(onDevice)) << name << where();
                if (probe.constant) {
                    EXPECT_EQ(onDevice, *probe.constant) << name << where();
                }
                seen[p].insert(onDevice);
                ++compared;
            }
            if (d.lcd) {
                // The simulation's LCD step runs before its pass: it shows one cycle later
                // what the controller shows at the end of a cycle.
                if (shownBefore) {
                    const auto [line1, line2] = sim.Simulator().LcdLines();
                    EXPECT_EQ(line1, (*shownBefore)[0]) << "line 1" << where();
                    EXPECT_EQ(line2, (*shownBefore)[1]) << "line 2" << where();
                    ++compared;
                }
                if (sim.Simulator().LcdText() != "" || shownBefore) shownBefore = device.Display();
            }
        }
    }
    // A scenario that never moves a probe proves nothing.
    for (std::size_t p = 0; p < d.probes.size(); ++p)
        if (!d.probes[p].constant) {
            EXPECT_GE(seen[p].size(), 2u) << d.probes[p].instance << " " << d.probes[p].output << d.probes[p].value
                                           << " never changed";
        }
    EXPECT_GT(compared, 0);
    sim.Simulation_abbrechen();
}

// Shutter: local push buttons start and stop, central commands never stop a shutter
// running their way, stop input and both directions at once stop it, the running
// time counts second ticks, and a running time of 0 never starts the motor.
Diagram rolloDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    d.inputs = b.Inputs({false, false, false, false, false});
    const std::string rollo = b.Place("ROLLO", {{"TIME", "3"}});
    const std::string still = b.Place("ROLLO", {{"TIME", "0"}});
    for (int k = 1; k <= 5; ++k) {
        b.Wire(d.inputs[static_cast<std::size_t>(k - 1)], 1, rollo, k);
        b.Wire(d.inputs[static_cast<std::size_t>(k - 1)], 1, still, k);
    }
    d.probes = outputs(rollo, 2);
    d.probes.push_back({rollo, 0, "DIRECTION", 3});
    d.probes.push_back({rollo, 0, "COUNTER", 4});
    d.probes.push_back({still, 1, "", 0, 0});
    d.probes.push_back({still, 2, "", 0, 0});
    d.probes.push_back({still, 0, "DIRECTION", 3, 0});
    return d;
}

const std::vector<Step> kRolloSteps = {
    {{0, 0, 0, 0, 0}, 2},  {{1, 0, 0, 0, 0}, 1}, {{0, 0, 0, 0, 0}, 40}, // up, runs its time out
    {{0, 1, 0, 0, 0}, 2},  {{0, 0, 0, 0, 0}, 5}, {{0, 1, 0, 0, 0}, 1},  // down, the same button stops
    {{0, 0, 0, 0, 0}, 3},  {{0, 0, 0, 0, 1}, 1}, {{0, 0, 0, 0, 0}, 4},  // central down
    {{0, 0, 0, 1, 0}, 1},  {{0, 0, 0, 0, 0}, 2}, {{0, 0, 0, 1, 0}, 1},  // central up stops, then starts up
    {{0, 0, 0, 0, 0}, 15}, {{0, 0, 0, 1, 0}, 1}, {{0, 0, 0, 0, 0}, 20}, // central up again restarts the time
    {{1, 0, 0, 0, 0}, 1},  {{0, 0, 1, 0, 0}, 3}, {{1, 0, 1, 0, 0}, 2},  // stop held: a start is lost
    {{0, 0, 0, 0, 0}, 2},  {{1, 0, 0, 0, 0}, 1}, {{0, 0, 0, 0, 0}, 3},  //
    {{0, 0, 0, 1, 1}, 2},  {{0, 0, 0, 0, 0}, 2}, {{0, 1, 0, 0, 0}, 1},  // both central edges at once
    {{0, 1, 0, 1, 0}, 2},  {{0, 0, 0, 0, 0}, 2}, {{0, 0, 0, 0, 1}, 4},  // up and down held
    {{0, 0, 0, 0, 0}, 35},
};

// Pulse timer with retrigger, reset and held start; counter with its limit and reset.
Diagram timerDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    d.inputs = b.Inputs({false, false});
    const std::string timer = b.Place("TIMER", {{"SEKUNDEN", "3"}});
    const std::string never = b.Place("TIMER", {{"SEKUNDEN", "0"}});
    const std::string count = b.Place("COUNT", {{"COUNT", "3"}});
    const std::string always = b.Place("COUNT", {{"COUNT", "0"}});
    for (const auto& c : {timer, never, count, always}) {
        b.Wire(d.inputs[0], 1, c, 1);
        b.Wire(d.inputs[1], 1, c, 2);
    }
    d.probes = outputs(timer);
    d.probes.push_back({timer, 0, "COUNTER", 2});
    d.probes.push_back({never, 1, "", 0, 0});
    add(d.probes, outputs(count));
    d.probes.push_back({count, 0, "ZAEHLER", 2});
    d.probes.push_back({always, 1, "", 0, 1});
    return d;
}

const std::vector<Step> kTimerSteps = {
    {{0, 0}, 2},  {{1, 0}, 1}, {{0, 0}, 12}, {{1, 0}, 1}, {{0, 0}, 12}, // start, retrigger while running
    {{1, 0}, 1},  {{0, 0}, 40},                                         // runs out
    {{1, 1}, 2},  {{0, 0}, 3},                                          // start edge while reset: lost
    {{1, 0}, 30}, {{0, 0}, 1},                                          // held start does not extend
    {{1, 0}, 1},  {{0, 0}, 2}, {{1, 0}, 1}, {{0, 1}, 1}, {{0, 0}, 2},   // reset while running
    {{1, 0}, 1},  {{0, 0}, 1}, {{1, 0}, 1}, {{0, 0}, 1},                // count up to the limit …
    {{1, 0}, 1},  {{0, 1}, 1}, {{0, 0}, 3},                             // … stay there, reset
};

// Up/down value: steps, limits, MIN above MAX, A/SET taking over changes, a
// constant at A/SET as start value.
Diagram valueDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    d.inputs = b.Inputs({false, false, true});
    const std::string value = b.Place("VALUE", {{"MAX", "10"}, {"MIN", "-5"}, {"INC", "3"}});
    const std::string crossed = b.Place("VALUE", {{"MAX", "10"}, {"MIN", "20"}, {"INC", "1"}});
    const std::string four = b.Place("NUM", {{"VALUE", "4"}});
    const std::string started = b.Place("VALUE", {{"MAX", "100"}, {"MIN", "0"}, {"INC", "2"}});
    for (const auto& v : {value, crossed}) {
        for (int k = 1; k <= 3; ++k) b.Wire(d.inputs[static_cast<std::size_t>(k - 1)], 1, v, k);
    }
    b.Wire(d.inputs[0], 1, started, 1);
    b.Wire(d.inputs[1], 1, started, 2);
    b.Wire(four, 1, started, 3);
    d.probes = outputs(value);
    d.probes.push_back({value, 0, "MAX", 5, 10});
    d.probes.push_back({value, 0, "MIN", 6, -5});
    d.probes.push_back({crossed, 1, "", 0, 20});
    add(d.probes, outputs(started));
    return d;
}

const std::vector<Step> kValueSteps = {
    {{0, 0, 0}, 2},   {{1, 0, 0}, 1}, {{0, 0, 0}, 1}, {{1, 0, 0}, 1}, {{0, 0, 0}, 1}, // +3 +3
    {{1, 0, 0}, 1},   {{0, 0, 0}, 1}, {{1, 0, 0}, 1}, {{0, 0, 0}, 1},                 // up to MAX
    {{0, 1, 0}, 1},   {{0, 0, 0}, 1}, {{0, 1, 0}, 1}, {{0, 0, 0}, 1}, {{0, 1, 0}, 1}, // −3 …
    {{0, 0, 0}, 1},   {{0, 1, 0}, 1}, {{0, 0, 0}, 1}, {{0, 1, 0}, 1}, {{0, 0, 0}, 1}, // … down to MIN
    {{0, 0, 7}, 2},   {{1, 0, 7}, 1}, {{0, 0, 7}, 2},                                 // set, step, set held
    {{0, 0, 0}, 1},   {{1, 1, 0}, 1}, {{0, 0, 0}, 1},                                 // both edges at once
    {{0, 0, 500}, 1}, {{0, 0, 2}, 1}, {{1, 0, 3}, 1}, {{0, 0, 3}, 2},                 // set wins over a step
};

// Analogue types: thresholds (also overlapping), the four calculations with
// truncating and zero division, selector, truth table, value selector with
// simultaneous edges.
Diagram analogueDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    d.inputs = b.Inputs({true, true, false, false});
    const auto& in = d.inputs;
    const std::string schwelle = b.Place("SCHWELLE", {{"SCHWELLEUP", "600"}, {"SCHWELLEDOWN", "400"}});
    const std::string overlap = b.Place("SCHWELLE", {{"SCHWELLEUP", "300"}, {"SCHWELLEDOWN", "500"}});
    b.Wire(in[0], 1, schwelle, 1);
    b.Wire(in[0], 1, overlap, 1);
    std::vector<std::string> calc;
    for (int type = 0; type <= 3; ++type) {
        calc.push_back(b.Place("CALC", {{"TYPE", std::to_string(type)}}));
        b.Wire(in[0], 1, calc.back(), 1);
        b.Wire(in[1], 1, calc.back(), 2);
    }
    const std::string two = b.Place("NUM", {{"VALUE", "2"}});
    const std::string halfDifference = b.Place("CALC", {{"TYPE", "3"}});
    b.Wire(calc[1], 1, halfDifference, 1);
    b.Wire(two, 1, halfDifference, 2);
    const std::string relay = b.Place("RELAY");
    b.Wire(in[0], 1, relay, 1);
    b.Wire(in[1], 1, relay, 2);
    b.Wire(in[2], 1, relay, 3);
    const std::string table =
        b.Place("BOOL", {{"VAL01", "1"}, {"VAL02", "1"}, {"VAL07", "1"}, {"VAL12", "1"}, {"VAL15", "1"}});
    b.Wire(in[2], 1, table, 1);
    b.Wire(in[3], 1, table, 2);
    b.Wire(schwelle, 1, table, 3);
    b.Wire(overlap, 1, table, 4);
    const std::string selector =
        b.Place("ASWITCH", {{"WERT1", "-5"}, {"WERT2", "33"}, {"WERT3", "66"}, {"WERT4", "1000"}});
    b.Wire(in[2], 1, selector, 1);
    b.Wire(in[3], 1, selector, 2);
    b.Wire(schwelle, 1, selector, 3);
    b.Wire(table, 1, selector, 4);
    for (const auto& c : {schwelle, overlap, relay, table, selector, halfDifference}) add(d.probes, outputs(c));
    for (const auto& c : calc) add(d.probes, outputs(c));
    d.probes.push_back({schwelle, 0, "VALUE", 1});
    d.probes.push_back({schwelle, 0, "SCHWELLEUP", 2, 600});
    d.probes.push_back({overlap, 0, "SCHWELLEDOWN", 3, 500});
    return d;
}

const std::vector<Step> kAnalogueSteps = {
    {{0, 0, 0, 0}, 2},     {{7, 2, 0, 0}, 2},    {{3, 10, 1, 0}, 2},  // 7/2, −7/2
    {{7, 0, 1, 1}, 2},     {{350, 3, 0, 1}, 2},  {{450, 3, 0, 0}, 2}, // zero division, overlap
    {{600, 3, 1, 0}, 2},   {{500, 3, 0, 0}, 2},  {{400, 3, 1, 1}, 2}, // on, held, off
    {{181, 181, 0, 0}, 2}, {{700, 0, 1, 1}, 2},                       // edges at three selector inputs
    {{0, 0, 0, 0}, 2},     {{1024, 9, 0, 1}, 2}, {{-20, 6, 1, 0}, 2},
};

// Week time switches around midnight on the virtual clock: a Friday night
// window into Saturday, Saturday into Sunday, Sunday into Monday, a weekend day
// window, and equal times.
Diagram weekDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    const std::vector<std::pair<std::string, std::string>> noDays = {{"MO", "0"}, {"DI", "0"}, {"MI", "0"}, {"DO", "0"},
                                                                     {"FR", "0"}, {"SA", "0"}, {"SO", "0"}};
    auto timer = [&](const char* on, const char* off, std::vector<const char*> days) {
        auto vars = noDays;
        for (auto& [name, value] : vars)
            for (const char* day : days)
                if (name == day) value = "1";
        vars.push_back({"TIME1", on});
        vars.push_back({"TIME2", off});
        return b.Place("WEEKTIMER", vars);
    };
    add(d.probes, outputs(timer("220000", "060000", {"FR"})));
    add(d.probes, outputs(timer("230000", "010000", {"SA"})));
    add(d.probes, outputs(timer("220000", "060000", {"SO"})));
    add(d.probes, outputs(timer("060000", "220000", {"SA", "SO"})));
    const std::string equal = timer("120000", "120000", {"MO", "DI", "MI", "DO", "FR", "SA", "SO"});
    d.probes.push_back({equal, 1, "", 0, 0});
    return d;
}

// 25 cycles (under three seconds) from two seconds before a switching time.
Step around(int day, int hour) { return {{}, 25, DateTime{2026, 1, day, hour, 59, 58, 0}}; }

// 2026-01-08 is a Thursday.
const std::vector<Step> kWeekSteps = {
    around(8, 23),  // Thursday → Friday: Friday's night window is not on after midnight
    around(9, 21),  // Friday 22:00 on
    around(9, 23),  // … through midnight into Saturday
    around(10, 5),  // Saturday 06:00 off; weekend window on
    around(10, 21), // Saturday 22:00: weekend window off, Saturday is no night window day
    around(10, 22), // Saturday 23:00 on
    around(10, 23), // … into Sunday
    around(11, 0),  // Sunday 01:00 off
    around(11, 5),  // Sunday 06:00: weekend window on
    around(11, 11), // equal times stay off
    around(11, 21), // Sunday 22:00: weekend off, Sunday night on
    around(11, 23), // … into Monday
    around(12, 5),  // Monday 06:00 off
};

// Display: every kind, values written in every cycle while shown, the field
// running into the second line, negative tenths, the last of several shows in
// one cycle, blank lines with a value field, and an open value input.
Diagram lcdDiagram(CrossCheckBase& base) {
    auto& b = builder(base);
    Diagram d;
    d.inputs = b.Inputs({true, true, false, false, false, false, false, false});
    const auto& in = d.inputs;
    d.lcd = true;
    const std::string difference = b.Place("CALC", {{"TYPE", "1"}});
    b.Wire(in[0], 1, difference, 1);
    b.Wire(in[1], 1, difference, 2);
    auto lcd = [&](const char* line1, const char* line2, int pos, int type, const std::string& trigger,
                   const std::string& value) {
        const std::string name = b.Place("LCD", {{"VAL1", line1},
                                                 {"VAL2", line2},
                                                 {"POS", std::to_string(pos)},
                                                 {"TYPE", std::to_string(type)}});
        b.Wire(trigger, 1, name, 1);
        if (!value.empty()) b.Wire(value, 1, name, 2);
    };
    lcd("Wert:           ", "zweite Zeile    ", 6, 2, in[2], in[0]);
    lcd("Temperatur      ", "T:         Grad ", 21, 3, in[3], difference);
    const std::string both = b.Place("AND");
    b.Wire(in[2], 1, both, 1);
    b.Wire(in[3], 1, both, 2);
    lcd("Info            ", "                ", 16, 0, both, in[0]);
    lcd("Licht           ", "                ", 0, 4, in[4], in[1]);
    lcd("Tuer        xxxx", "yyyyy   Ende    ", 8, 5, in[5], in[1]);
    lcd("Alarm           ", "aktiv?      xxxx", 28, 6, in[6], in[1]);
    lcd("Nur Text        ", "ohne Wert       ", 16, 1, in[7], "");
    const std::string blankTrigger = b.Place("AND");
    b.Wire(in[6], 1, blankTrigger, 1);
    b.Wire(in[7], 1, blankTrigger, 2);
    lcd("                ", "                ", 16, 2, blankTrigger, in[0]);
    return d;
}

Step lcdStep(std::int32_t v, std::int32_t w, std::vector<std::int32_t> triggers, int cycles = 2) {
    Step s{{v, w}, cycles};
    s.in.insert(s.in.end(), triggers.begin(), triggers.end());
    return s;
}

// Inputs: value, second value, then the triggers of kinds 2, 3, 4, 5, 6 and 1.
const std::vector<Step> kLcdSteps = {
    lcdStep(0, 0, {0, 0, 0, 0, 0, 0}),     lcdStep(42, 0, {1, 0, 0, 0, 0, 0}), // integer
    lcdStep(-1234, 0, {1, 0, 0, 0, 0, 0}), lcdStep(7, 0, {0, 0, 0, 0, 0, 0}),  // rewritten while shown
    lcdStep(215, 0, {0, 1, 0, 0, 0, 0}),   lcdStep(3, 8, {0, 0, 0, 0, 0, 0}),  // tenths, −0,5
    lcdStep(3, 30, {0, 0, 0, 0, 0, 0}),    lcdStep(0, 0, {1, 1, 0, 0, 0, 0}),  // −2,7; the banner shows last
    lcdStep(0, 0, {0, 0, 1, 0, 0, 0}),     lcdStep(0, 5, {0, 0, 1, 0, 0, 0}),  // AUS, AN
    lcdStep(0, 5, {0, 0, 0, 1, 0, 0}),     lcdStep(0, 0, {0, 0, 0, 1, 0, 0}),  // across the line end
    lcdStep(0, 0, {0, 0, 0, 0, 1, 0}),     lcdStep(0, 1, {0, 0, 0, 0, 1, 0}),  // NEIN, JA
    lcdStep(5, 0, {0, 0, 0, 0, 0, 1}),     lcdStep(5, 0, {0, 0, 0, 0, 1, 1}),  // open value; blank lines with a value
    lcdStep(99, 0, {0, 0, 0, 0, 0, 0}),
};

const Scenario kScenarios[] = {
    {"Rollo", rolloDiagram, kRolloSteps},
    {"TimerAndCounter", timerDiagram, kTimerSteps},
    {"Value", valueDiagram, kValueSteps},
    {"AnalogueTypes", analogueDiagram, kAnalogueSteps},
    {"WeekTimerOverMidnight", weekDiagram, kWeekSteps},
    {"Lcd", lcdDiagram, kLcdSteps},
};

INSTANTIATE_TEST_SUITE_P(Types, CrossCheckScenario, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

} // namespace
} // namespace v7300

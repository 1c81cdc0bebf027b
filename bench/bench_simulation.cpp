// The simulation's speed: one pass over the script of a 99-component diagram
// (target well under 100 µs), and a simulated day (about 785 000 cycles of
// 110 ms) of a 20-component diagram on the virtual clock (target under 10 s).
// Both use the shipped component library with its real scripts.
#include "cli/Cli.h"
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "simulation/LogicSimulation.h"
#include "simulation/ScriptGenerator.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using namespace v7300;

std::string libraryDir() { return cli::executableDir() + "/objekts"; }

// Inputs feed timers and counters, which feed a chain of gates ending in outputs.
void buildDiagram(TLogic& logic, int components) {
    logic.NewProject();
    int placed = 0;
    std::vector<std::string> sources;
    auto place = [&](const std::string& type) {
        const int index = logic.Add_objekt(type, "", 1 + (placed % 19) * 10, 1 + (placed / 19) * 8);
        if (index < 0) throw std::runtime_error("cannot place " + type);
        ++placed;
        return logic.Components.Items(index).Name;
    };
    const int inputs = components / 10 + 1;
    for (int i = 0; i < inputs && placed < components; ++i) sources.push_back(place("IN"));
    int s = 0;
    auto next = [&] { return sources[static_cast<std::size_t>(s++) % sources.size()]; };
    const char* middle[] = {"TIMER", "COUNT", "AND", "OR", "INV", "AND", "OR", "FF"};
    int m = 0;
    while (placed < components - components / 10) {
        const std::string type = middle[m++ % 8];
        const std::string name = place(type);
        const auto& c = *logic.FindComponent(name);
        for (int in = 0; in < std::min<int>(c.InputCount, 2); ++in) logic.add_verbinder(next(), 0, in, name);
        sources.push_back(name);
    }
    while (placed < components) {
        const std::string name = place("OUT");
        logic.add_verbinder(next(), 0, 0, name);
    }
}

struct Fixture {
    explicit Fixture(int components) : logic(libraryDir(), port) {
        setDecimalSeparator(',');
        buildDiagram(logic, components);
        script = create_script(logic);
    }
    test::RecordingMessagePort port;
    TLogic logic;
    std::vector<std::string> script;
};

void BM_ScriptPass99(benchmark::State& state) {
    Fixture f(99);
    VirtualClock clock;
    TSimulate sim(clock);
    sim.Start(f.script, false);
    sim.SetInputState("IN1", 1, true);
    for (auto _ : state) {
        if (!sim.Step()) state.SkipWithError("the pass failed");
    }
    state.counters["lines"] = static_cast<double>(f.script.size());
    state.counters["store"] = static_cast<double>(sim.Variables().size());
}
BENCHMARK(BM_ScriptPass99)->Unit(benchmark::kMicrosecond);

void BM_GenerateScript99(benchmark::State& state) {
    Fixture f(99);
    for (auto _ : state) benchmark::DoNotOptimize(create_script(f.logic));
}
BENCHMARK(BM_GenerateScript99)->Unit(benchmark::kMicrosecond);

// A whole simulated day of a 20-component diagram, with a switch toggled every minute.
void BM_SimulatedDay20(benchmark::State& state) {
    Fixture f(20);
    constexpr int kCycles = 785455; // 24 h / 110 ms
    for (auto _ : state) {
        VirtualClock clock;
        TLogicSimulation runtime(f.logic, clock);
        runtime.Simulate(false);
        for (int done = 0; done < kCycles; done += 545) {
            runtime.Simulator().SetInputState("IN1", 1, (done / 545) % 2 == 0);
            if (runtime.RunCycles(545) != 545) state.SkipWithError("the pass failed");
        }
        runtime.Simulation_abbrechen();
    }
    state.counters["cycles"] = kCycles;
    state.counters["sim_s_per_s"] =
        benchmark::Counter(86400.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatedDay20)->Unit(benchmark::kMillisecond)->Iterations(1);

// Preparing and running once a script of n nested IF lines closed by n ENDIF lines,
// as run-script does. The jump targets are found once, so this grows linearly.
void BM_NestedIfScript(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<std::string> script;
    script.reserve(2 * n + 1);
    for (std::size_t i = 0; i < n; ++i) script.push_back(i % 2 == 0 ? "IF $A = 0" : "IF $B = 1");
    script.insert(script.end(), n, "ENDIF");
    script.push_back("LOOP");
    for (auto _ : state) {
        VirtualClock clock;
        TSimulate sim(clock);
        sim.Start(script, false);
        if (!sim.Step()) state.SkipWithError("the pass failed");
    }
    state.counters["lines"] = static_cast<double>(script.size());
}
BENCHMARK(BM_NestedIfScript)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

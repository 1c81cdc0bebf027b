// Placing 99 components with 300 wires, and the three hit tests over that diagram.
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace v7300;

namespace {

struct Fixture {
    test::TempDir dir;
    SilentMessagePort port;
    std::unique_ptr<TLogic> logic;

    Fixture() {
        test::writeTestLibrary(dir.path());
        logic = std::make_unique<TLogic>(dir.path(), port);
        logic->NewProject();
    }
};

// 99 gates on an 11 × 9 grid; each input fed by an earlier gate's output: 300 wires.
void buildDiagram(TLogic& logic) {
    logic.Init();
    for (int i = 0; i < 99; ++i) logic.Add_objekt(i % 2 == 0 ? "AND" : "OR", "", 2 + (i % 11) * 16, 2 + (i / 11) * 20);
    int wires = 0;
    for (int target = 1; target < 99 && wires < 300; ++target) {
        for (int input = 0; input < 4 && wires < 300; ++input) {
            const int source = (target * 7 + input * 13) % target;
            if (logic.add_verbinder(logic.Components.Items(source).Name, 0, input,
                                    logic.Components.Items(target).Name) > 0)
                ++wires;
        }
    }
}

void BM_Place99ComponentsAnd300Wires(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        buildDiagram(*f.logic);
        benchmark::DoNotOptimize(f.logic->Wires.Count());
    }
    state.counters["wires"] = f.logic->Wires.Count();
}
BENCHMARK(BM_Place99ComponentsAnd300Wires)->Unit(benchmark::kMillisecond);

void BM_ComponentHitTest(benchmark::State& state) {
    Fixture f;
    buildDiagram(*f.logic);
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.logic->objekt_an_position(x % 1800, (x * 7) % 1800));
        x += 37;
    }
}
BENCHMARK(BM_ComponentHitTest);

void BM_PinHitTest(benchmark::State& state) {
    Fixture f;
    buildDiagram(*f.logic);
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.logic->verknuepfer_an_position(x % 1800, (x * 7) % 1800));
        x += 37;
    }
}
BENCHMARK(BM_PinHitTest);

void BM_WireHitTest(benchmark::State& state) {
    Fixture f;
    buildDiagram(*f.logic);
    int x = 0;
    for (auto _ : state) {
        f.logic->MousePos = {x % 1800, (x * 7) % 1800};
        benchmark::DoNotOptimize(f.logic->get_verbindung());
        x += 37;
    }
}
BENCHMARK(BM_WireHitTest);

} // namespace

BENCHMARK_MAIN();

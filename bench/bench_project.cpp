// Opening and saving a .v7k project of 99 components and 300 wires with 4 bend points each.
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "project/XmlProject.h"
#include "support/TestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace v7300;

struct Fixture {
    test::TempDir dir;
    SilentMessagePort messages;
    std::unique_ptr<TLogic> logic;
    std::string path;

    Fixture() {
        test::writeTestLibrary(dir.file("lib"));
        logic = std::make_unique<TLogic>(dir.file("lib"), messages);
        logic->NewProject();
        // 99 components: 33 each of AND, TIMER and NUM on a grid.
        const char* types[] = {"AND", "TIMER", "NUM"};
        for (int i = 0; i < 99; ++i) logic->Add_objekt(types[i % 3], "", 2 + (i % 11) * 16, 2 + (i / 11) * 20);
        // 300 wires from NUM/TIMER outputs to AND and TIMER inputs, each with 4 points.
        int made = 0;
        for (int i = 0; i < 99 && made < 300; ++i) {
            for (int k = 0; k < 4 && made < 300; ++k) {
                const auto& src = logic->Components.Items((i + k + 1) % 99);
                TWire& w = logic->Wires.AddWire(src.Name, 0, k, logic->Components.Items(i).Name);
                for (int p = 0; p < 4; ++p) w.InsertPoint(-1, 100 + 10 * p + made, 200 + 10 * p);
                ++made;
            }
        }
        path = dir.file("bench.v7k");
        SaveXml(*logic, path);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OpenXml(benchmark::State& state) {
    Fixture& f = fixture();
    TLogic target(f.logic->Library, f.messages);
    target.NewProject();
    for (auto _ : state) {
        if (!OpenXml(target, f.path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(target.Components.Count());
    }
    state.counters["components"] = target.Components.Count();
    state.counters["wires"] = target.Wires.Count();
}
BENCHMARK(BM_OpenXml)->Unit(benchmark::kMillisecond);

void BM_SaveXml(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string out = f.dir.file("saved.v7k");
    for (auto _ : state) SaveXml(*f.logic, out);
}
BENCHMARK(BM_SaveXml)->Unit(benchmark::kMillisecond);

// The same without the disk: building and encoding the file's bytes.
void BM_EncodeXml(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeProjectFile(BuildXmlText(*f.logic)));
}
BENCHMARK(BM_EncodeXml)->Unit(benchmark::kMillisecond);

// Opening a large project: n components (AND, TIMER, NUM with their variables) and
// n / 2 wires of 2 bend points. Reading must stay linear: the target is 40,000
// components under 1 s and the time for 40,000 under 5 times that for 10,000.
struct LargeProject {
    std::string path;
    explicit LargeProject(int n) {
        Fixture& f = fixture();
        TLogic logic(f.logic->Library, f.messages);
        logic.NewProject();
        const char* types[] = {"AND", "TIMER", "NUM"};
        for (int i = 0; i < n; ++i) {
            // Named explicitly: generating names searches for the first free number.
            const std::string type = types[i % 3];
            logic.Add_objekt(type, type + std::to_string(i + 1), 1 + i % 190, 1 + (i / 190) % 190);
        }
        for (int i = 0; i + 1 < n; i += 2) {
            TWire& w = logic.Wires.AddWire(logic.Components.Items(i + 1).Name, 0, 0, logic.Components.Items(i).Name);
            w.InsertPoint(-1, 100, 200);
            w.InsertPoint(-1, 100, 300);
        }
        path = f.dir.file("large" + std::to_string(n) + ".v7k");
        SaveXml(logic, path);
    }
};

void BM_OpenXmlLarge(benchmark::State& state) {
    Fixture& f = fixture();
    const LargeProject project(static_cast<int>(state.range(0)));
    TLogic target(f.logic->Library, f.messages);
    target.NewProject();
    for (auto _ : state) {
        if (!OpenXml(target, project.path)) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(target.Components.Count());
    }
    state.counters["components"] = target.Components.Count();
}
BENCHMARK(BM_OpenXmlLarge)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

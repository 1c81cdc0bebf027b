// The editing core: taking an undo snapshot of a 99-component, 300-wire diagram
// (target under 50 µs) and the memory of 1,000 such steps (target under 50 MB),
// with the shipped component library, so that components carry their real
// script templates and variables.
#include "core/MessagePort.h"
#include "model/DiagramEditor.h"
#include "model/Logic.h"
#include "model/UndoHistory.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>

// Live heap bytes of this program, for the memory of the history.
namespace {
std::atomic<long long> g_liveBytes{0};
} // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (block == nullptr) throw std::bad_alloc();
    *block = size;
    g_liveBytes += static_cast<long long>(size);
    return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - sizeof(std::max_align_t));
    g_liveBytes -= static_cast<long long>(*block);
    std::free(block);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using namespace v7300;

std::string ShippedLibrary() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "objekts").string();
}

// 99 components of the shipped types on an 11 × 9 grid, 300 wires between them:
// open inputs fed by outputs of other components, spread over the diagram.
void BuildDiagram(TLogic& logic) {
    const char* types[] = {"AND", "OR", "TIMER", "COUNT", "FF", "NAND", "XOR", "NOR", "AND"};
    for (int i = 0; i < 99; ++i) logic.Add_objekt(types[i % 9], "", 2 + (i % 11) * 16, 2 + (i / 11) * 20);
    int wires = 0;
    for (int round = 1; round < 99 && wires < 300; ++round) {
        for (int target = 0; target < 99 && wires < 300; ++target) {
            const TLogicComponent& to = logic.Components.Items(target);
            const TLogicComponent& from = logic.Components.Items((target + round * 7) % 99);
            if (from.OutputCount == 0) continue;
            for (int input = 0; input < to.InputCount; ++input) {
                if (logic.IsInputConnected(to.Name, input)) continue;
                if (logic.add_verbinder(from.Name, 0, input, to.Name) > 0) ++wires;
                break;
            }
        }
    }
}

struct Fixture {
    SilentMessagePort port;
    std::unique_ptr<TLogic> logic;
    Fixture() {
        logic = std::make_unique<TLogic>(ShippedLibrary(), port);
        logic->NewProject();
        BuildDiagram(*logic);
    }
};

// One edit as a drag makes it: a component one grid cell further.
void MoveOne(TLogic& logic, int step) {
    logic.verschieben(step % logic.Components.Count(), step % 2 == 0 ? 1 : -1, 0);
}

void BM_UndoSnapshot(benchmark::State& state) {
    Fixture f;
    TUndoHistory history;
    history.Reset(f.logic->Content());
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        MoveOne(*f.logic, step++);
        state.ResumeTiming();
        benchmark::DoNotOptimize(history.Record(f.logic->Content()));
    }
    state.counters["components"] = f.logic->Components.Count();
    state.counters["wires"] = f.logic->Wires.Count();
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMicrosecond);

void BM_ThousandStepsMemory(benchmark::State& state) {
    Fixture f;
    double megabytes = 0;
    for (auto _ : state) {
        const long long before = g_liveBytes.load();
        {
            TUndoHistory history(1000);
            history.Reset(f.logic->Content());
            for (int step = 0; step < 1000; ++step) {
                MoveOne(*f.logic, step);
                history.Record(f.logic->Content());
            }
            megabytes = static_cast<double>(g_liveBytes.load() - before) / (1024.0 * 1024.0);
            benchmark::DoNotOptimize(history.Steps());
        }
    }
    state.counters["history_MB"] = megabytes;
    state.counters["wires"] = f.logic->Wires.Count();
}
BENCHMARK(BM_ThousandStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// The editor's own commit after a gesture that changed nothing: the comparison only.
void BM_CommitWithoutChange(benchmark::State& state) {
    Fixture f;
    DiagramEditor editor(*f.logic);
    for (auto _ : state)
        editor.Commit();
}
BENCHMARK(BM_CommitWithoutChange)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

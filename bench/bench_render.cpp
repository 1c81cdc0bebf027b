// Drawing a full diagram (99 components with captions, 300 wires with bend points)
// into the 2000 x 2000 document image, against a plain fill of the same image.
// Target: the drawing costs less than three fills.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "model/LogicRenderer.h"
#include "support/TestSupport.h"
#include "ui/canvas/QtCanvas.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>

namespace {

// This thread's processor time: the fills and the drawing they are compared with
// are timed alike, so that other programs on the machine do not tilt the ratios.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

using namespace v7300;

struct Diagram {
    test::TempDir dir;
    SilentMessagePort messages;
    std::unique_ptr<TLogic> logic;

    Diagram() {
        test::writeTestLibrary(dir.file("lib"));
        logic = std::make_unique<TLogic>(dir.file("lib"), messages);
        logic->NewProject();
        const char* types[] = {"AND", "OR", "TIMER", "AND", "OR", "IN", "AND", "NUM", "OR"};
        for (int i = 0; i < 99; ++i) {
            const std::string type = types[i % 9];
            const int col = i % 11;
            const int row = i / 11;
            logic->Add_objekt(type, type + std::to_string(100 + i), 3 + col * 18, 3 + row * 22);
        }
        // 300 wires from each component's output to inputs further on, with two bend points.
        int made = 0;
        for (int i = 0; made < 300; i = (i + 1) % 99) {
            const TLogicComponent& from = logic->Components.Items(i);
            const TLogicComponent& to = logic->Components.Items((i * 7 + 13) % 99);
            if (from.OutputCount == 0 || to.InputCount == 0) {
                if (i == 98 && made == 0) break;
                continue;
            }
            const TPinPos a = from.OutputPixel(0);
            const TPinPos b = to.InputPixel(made % to.InputCount);
            const int midX = (a.x + b.x) / 20 * 10;
            logic->Wires.AddWire(from.Name, 0, made % to.InputCount, to.Name).Points = {{midX, a.y}, {midX, b.y}};
            ++made;
        }
        logic->ShowInfo = true;
        logic->Raster = true;
    }
};

Diagram& TheDiagram() {
    static Diagram d;
    return d;
}

void BM_Fill(benchmark::State& state) {
    TQtCanvas canvas(kDocumentSize, kDocumentSize);
    for (auto _ : state) {
        canvas.Fill(0x000000);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

void BM_DrawTo(benchmark::State& state) {
    Diagram& d = TheDiagram();
    VirtualClock clock;
    TLogicRenderer renderer(*d.logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas canvas(kDocumentSize, kDocumentSize);
    // The fill of the same image, measured in the same run for the ratio.
    constexpr int kFills = 50;
    const double f0 = ThreadCpuMs();
    for (int i = 0; i < kFills; ++i) {
        canvas.Fill(0x000000);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    const double fillMs = (ThreadCpuMs() - f0) / kFills;
    double drawMs = 0;
    std::int64_t n = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuMs();
        renderer.DrawTo(canvas);
        benchmark::DoNotOptimize(canvas.Image().constBits());
        drawMs += ThreadCpuMs() - t0;
        ++n;
    }
    state.counters["components"] = d.logic->Components.Count();
    state.counters["wires"] = d.logic->Wires.Count();
    state.counters["fill_ms"] = fillMs;
    state.counters["draw_ms"] = n > 0 ? drawMs / static_cast<double>(n) : 0;
    state.counters["ratio"] = n > 0 && fillMs > 0 ? drawMs / static_cast<double>(n) / fillMs : 0;
}
BENCHMARK(BM_DrawTo)->Unit(benchmark::kMillisecond);

// The view at a zoom: the drawn document copied scaled into a 1000 × 700 view
// (what a scroll or zoom over an unchanged diagram costs), against a plain fill
// of that view. Target: under three fills at every zoom but 100 %.
void BM_ZoomedView(benchmark::State& state) {
    Diagram& d = TheDiagram();
    VirtualClock clock;
    TLogicRenderer renderer(*d.logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas view(1000, 700);
    renderer.View = &view;
    d.logic->Zoom = static_cast<double>(state.range(0)) / 100.0;
    d.logic->ScrollOffset = {state.range(0) > 100 ? 400 : 0, state.range(0) > 100 ? 300 : 0};
    renderer.RePaint();
    constexpr int kFills = 200;
    const double f0 = ThreadCpuMs();
    for (int i = 0; i < kFills; ++i) {
        view.Fill(0x000000);
        benchmark::DoNotOptimize(view.Image().constBits());
    }
    const double fillMs = (ThreadCpuMs() - f0) / kFills;
    double viewMs = 0;
    std::int64_t n = 0;
    for (auto _ : state) {
        const double t0 = ThreadCpuMs();
        renderer.ShowView();
        benchmark::DoNotOptimize(view.Image().constBits());
        viewMs += ThreadCpuMs() - t0;
        ++n;
    }
    d.logic->Zoom = 1.0;
    d.logic->ScrollOffset = {0, 0};
    state.counters["fill_ms"] = fillMs;
    state.counters["view_ms"] = n > 0 ? viewMs / static_cast<double>(n) : 0;
    state.counters["ratio"] = n > 0 && fillMs > 0 ? viewMs / static_cast<double>(n) / fillMs : 0;
}
BENCHMARK(BM_ZoomedView)->Arg(25)->Arg(50)->Arg(75)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);


} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qargc = 1;
    char name[] = "bench_render";
    char* qargv[] = {name, nullptr};
    QGuiApplication app(qargc, qargv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

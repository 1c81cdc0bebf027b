// The editor's timing plot at its limit: eight entries with the full 500,000
// changes. Drawn under the session's lock, the window's view of such a
// recording must not hold the cycling thread for more than one cycle period
// (110 ms at 1×); a sample after a cycle stays in the microseconds.
#include "simulation/TimingPlotSession.h"
#include "ui/canvas/QtCanvas.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>

namespace {

using namespace v7300;

struct Store : TSimulationState {
    std::map<std::string, std::string> values;
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override { return values.at(name); }
};

constexpr int kEntries = 8;

// Samples every 110 ms until the recording holds its most changes.
void Fill(TTimingPlotSession& session, Store& store) {
    for (int i = 0; i < kEntries; ++i) {
        const std::string name = "$OUT" + std::to_string(i + 1) + "__A1";
        session.Add(name, "OUT" + std::to_string(i + 1) + ".A1");
        store.values[name] = "0";
    }
    session.Begin(0, {});
    for (std::int64_t cycle = 0; cycle < 2 * static_cast<std::int64_t>(TTimingPlot::kMaxChanges) / kEntries; ++cycle) {
        for (int i = 0; i < kEntries; ++i)
            store.values["$OUT" + std::to_string(i + 1) + "__A1"] = (cycle / (i + 1)) % 2 ? "1" : "0";
        session.Sample(cycle * 110, store);
    }
}

TTimingPlotSession& FullSession() {
    static Store store;
    static TTimingPlotSession session;
    static bool filled = false;
    if (!filled) Fill(session, store), filled = true;
    return session;
}

void BM_DrawFollowedView(benchmark::State& state) {
    TTimingPlotSession& session = FullSession();
    TQtCanvas canvas;
    for (auto _ : state) session.Draw(canvas, 900);
}
BENCHMARK(BM_DrawFollowedView)->Unit(benchmark::kMillisecond);

void BM_DrawWholeRecording(benchmark::State& state) {
    TTimingPlotSession& session = FullSession();
    TQtCanvas canvas;
    for (auto _ : state) session.DrawWhole(canvas);
}
BENCHMARK(BM_DrawWholeRecording)->Unit(benchmark::kMillisecond);

void BM_SampleAfterACycle(benchmark::State& state) {
    Store store;
    TTimingPlotSession session;
    for (int i = 0; i < kEntries; ++i) {
        session.Add("$E" + std::to_string(i), "E" + std::to_string(i));
        store.values["$E" + std::to_string(i)] = "0";
    }
    std::int64_t t = 0;
    for (auto _ : state) {
        store.values["$E0"] = t % 220 ? "1" : "0";
        session.Sample(t += 110, store);
    }
}
BENCHMARK(BM_SampleAfterACycle)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

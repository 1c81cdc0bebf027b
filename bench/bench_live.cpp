// The live view against the virtual controller on a virtual clock: how long a
// sweep over the objects of a 99-component diagram takes once the live interval
// has settled (the protocol allows 100 requests at 50 replies per second: 2 s),
// and what one live reply costs the main thread.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/LiveView.h"
#include "device/VirtualController.h"
#include "simulation/LogicSimulation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>

namespace {

using namespace v7300;

constexpr int kComponents = 99;

std::vector<std::string> componentNames() {
    std::vector<std::string> names;
    for (int i = 1; i <= kComponents; ++i) names.push_back("TIMER" + std::to_string(i));
    return names;
}

// 180 s of live view; a request is answered at once through the controller's
// datagram handler. Reports the sweeps after the first 30 s.
void BM_LiveSweep99(benchmark::State& state) {
    std::vector<double> sweeps;
    double firstSweep = 0;
    for (auto _ : state) {
        VirtualClock clock;
        TVirtualControllerOptions options;
        options.Port = 0;
        TVirtualController controller(options, clock);
        VirtualClock storeClock;
        TSimulate store(storeClock);
        TLiveStoreSink<TSimulate> sink(store);
        SilentMessagePort messages;
        std::vector<TV7300Telegram> replies;
        std::vector<std::int64_t> sweepEnds; // when object 0 was asked for
        TLiveView live(
            [&](const TV7300Telegram& request) {
                if (request.Payload.at(0) == 0) sweepEnds.push_back(clock.monotonicMs());
                const auto bytes = BuildDatagram(request);
                for (const auto& datagram : controller.HandleDatagram(bytes.data(), bytes.size())) {
                    TV7300Telegram reply;
                    if (ParseDatagram(datagram.data(), datagram.size(), "127.0.0.1", reply) == 0)
                        replies.push_back(reply);
                }
            },
            sink, messages);
        const std::int64_t start = clock.monotonicMs();
        live.Start(componentNames(), controller.Checksum(), start);
        while (clock.monotonicMs() - start < 180000 && live.Running()) {
            clock.advanceMs(std::max<std::int64_t>(1, live.NextDeadline() - clock.monotonicMs()));
            live.onTick(clock.monotonicMs());
            for (const auto& r : replies) live.onTelegram(r);
            replies.clear();
        }
        sweeps.clear();
        firstSweep = sweepEnds.empty() ? 0 : (sweepEnds[0] - start) / 1000.0;
        for (std::size_t i = 1; i < sweepEnds.size(); ++i)
            if (sweepEnds[i - 1] - start >= 30000) sweeps.push_back((sweepEnds[i] - sweepEnds[i - 1]) / 1000.0);
    }
    if (sweeps.empty()) {
        state.SkipWithError("no sweep");
        return;
    }
    state.counters["first_sweep_s"] = firstSweep;
    state.counters["sweep_mean_s"] = std::accumulate(sweeps.begin(), sweeps.end(), 0.0) / sweeps.size();
    state.counters["sweep_min_s"] = *std::min_element(sweeps.begin(), sweeps.end());
    state.counters["sweep_max_s"] = *std::max_element(sweeps.begin(), sweeps.end());
}
BENCHMARK(BM_LiveSweep99)->Unit(benchmark::kMillisecond)->Iterations(1);

// One live reply of a timer into the runtime's store (what the main thread does
// 50 times a second).
void BM_LiveReply(benchmark::State& state) {
    VirtualClock clock;
    TSimulate store(clock);
    TLiveStoreSink<TSimulate> sink(store);
    SilentMessagePort messages;
    TLiveView live([](const TV7300Telegram&) {}, sink, messages);
    live.Start(componentNames(), 0x1234, 0);
    TV7300Telegram reply;
    reply.Command = CmdLogikOutput;
    reply.Payload = {50, 0x12, 0x34, 0, 10, 0, 1, 0, 0, 0, 100, 0, 120, 0, 0, 0, 0, 0, 0, 0, 0};
    for (auto _ : state) live.onTelegram(reply);
}
BENCHMARK(BM_LiveReply);

} // namespace

BENCHMARK_MAIN();

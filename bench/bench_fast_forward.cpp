// A simulated year of examples/heizung.v7k on the virtual clock, with the
// temperature changing now and then (target: under 30 s). For comparison one
// simulated day run cycle by cycle, as before idle stretches were skipped
// (a year takes 365 times as long).
#include "cli/Cli.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

int simulate(const std::string& seconds, bool everyCycle) {
    std::vector<std::string> args = {"v7300", "simulate", std::string(V7300_SOURCE_DIR) + "/examples/heizung.v7k",
                                     "--seconds", seconds, "--time", "2026-01-01T00:00:00", "--watch", "$OUT1__A1",
                                     "--at", "0:value:IN1=187", "--at", "4000000:value:IN1=220", "--at",
                                     "9000000:value:IN1=190", "--at", "20000000:value:IN1=200"};
    if (everyCycle) args.push_back("--every-cycle");
    std::ostringstream out, err;
    return v7300::cli::run(args, out, err);
}

void BM_HeizungYear(benchmark::State& state) {
    for (auto _ : state)
        if (simulate("31536000", false) != 0) state.SkipWithError("simulate failed");
}
BENCHMARK(BM_HeizungYear)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HeizungDayEveryCycle(benchmark::State& state) {
    for (auto _ : state)
        if (simulate("86400", true) != 0) state.SkipWithError("simulate failed");
}
BENCHMARK(BM_HeizungDayEveryCycle)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();

// Skipping idle stretches changes nothing: a week of each shipped example with
// inputs acting now and then gives the same --watch output as running every
// cycle. Under the sanitizers, which run every cycle many times slower, this is
// left to the normal build; the shorter comparisons of the simulation tests run there.
#include "support/CliRun.h"

#include <gtest/gtest.h>

namespace v7300::test {
namespace {

const std::string kSpan = "604800";

struct WeekCase {
    const char* project;
    std::vector<std::string> options;
};

TEST(SkipWeek, SameWatchOutputAsEveryCycleOnTheExamples) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a week of every cycle takes too long under the sanitizers";
#endif
    const WeekCase cases[] = {
        {"treppenlicht.v7k",
         {"--watch", "$OUT1__A1,$TIMER1_COUNTER", "--at", "10:press:IN1", "--at", "70:press:IN1", "--at", "5000:toggle:IN1",
          "--at", "45000:press:IN1", "--at", "180030:press:IN1", "--at", "518407.5:press:IN1"}},
        {"heizung.v7k",
         {"--watch", "$OUT1__A1,$WEEKTIMER1__A1,$SCHWELLE1__A1,$IN1__A1", "--at", "0:value:IN1=187", "--at",
          "30000:value:IN1=220", "--at", "70000:value:IN1=200", "--at", "100000:value:IN1=190", "--at",
          "300000:value:IN1=216", "--at", "400000.05:value:IN1=150"}},
        {"rollladen.v7k",
         {"--watch", "$OUT1__A1,$OUT2__A1,$OUT3__A1,$OUT4__A1,$ROLLO1_COUNTER,$ROLLO2_DIRECTION", "--at", "5:press:IN1",
          "--at", "40:press:IN6", "--at", "50:press:IN2", "--at", "60000:press:IN3", "--at", "60010:press:IN4", "--at",
          "200000:press:IN5", "--at", "200005:press:IN6", "--at", "500000:press:IN4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.project);
        std::vector<std::string> args = {"simulate", std::string(V7300_SOURCE_DIR) + "/examples/" + c.project,
                                         "--seconds", kSpan, "--time", "2026-03-23T00:00:00", "--decimal-separator", ","};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult skipping = runCli(args);
        args.push_back("--every-cycle");
        const CliResult everyCycle = runCli(args);
        ASSERT_EQ(skipping.status, 0) << skipping.err;
        ASSERT_EQ(everyCycle.status, 0) << everyCycle.err;
        EXPECT_EQ(skipping.out, everyCycle.out);
        EXPECT_GT(std::count(skipping.out.begin(), skipping.out.end(), '\n'), 8) << skipping.out;
    }
}

} // namespace
} // namespace v7300::test

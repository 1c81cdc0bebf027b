// The controls of a running simulation without a window: pause, single step,
// speed, jumps in time, forcing; with and without the worker thread.
#include "simulation/SimulationRuntime.h"
#include "simulation/TimingPlot.h"

#include "SimTestSupport.h"
#include "core/NumberFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace v7300 {
namespace {

using simtest::makeComponent;

template <typename F>
bool eventually(F condition) {
    for (int i = 0; i < 5000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

std::int64_t utcOf(const DateTime& local) { return local.toEpochMs() - 3600000; } // Berlin in winter

class RuntimeControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDecimalSeparator(',');
        logic.NewProject();
        // A counter of second ticks and a lamp that copies $IN.
        logic.Components.Add(makeComponent("CNT1", {"% IF #BTIMER != 0", "% $N += 1", "% ENDIF", "% $_A1 = $IN"}));
        // In the script its own values are $CNT1_N and $CNT1_IN; #BTIMER is the clock's.
    }
    std::string var(const std::string& name) { return runtime.Simulator().GetVariable(name); }

    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    VirtualClock real;
    TSimulationClock clock{real, TTimeZone::Load("Europe/Berlin"), utcOf({2026, 1, 5, 12, 0, 0, 0})};
    TLogicSimulation runtime{logic, clock};
};

TEST_F(RuntimeControlTest, PauseHoldsTheWorkerAndTheStoreStepRunsOneCycle) {
    runtime.Simulate(true);
    TSimulate& sim = runtime.Simulator();
    ASSERT_TRUE(eventually([&] { return sim.CycleCount() > 5; }));
    EXPECT_EQ(runtime.StatusText(), "Lokale Simulation");
    runtime.Pause();
    EXPECT_EQ(runtime.StatusText(), "Pausiert");
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a cycle in progress ends
    const auto held = sim.CycleCount();
    const auto store = sim.Variables();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(sim.CycleCount(), held);
    EXPECT_EQ(sim.Variables(), store);

    runtime.Step();
    ASSERT_TRUE(eventually([&] { return sim.CycleCount() == held + 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(sim.CycleCount(), held + 1);

    runtime.Resume();
    EXPECT_TRUE(eventually([&] { return sim.CycleCount() > held + 5; }));
    runtime.Pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the worker waits at the gate
    const auto stoppedAt = sim.CycleCount();
    runtime.Simulation_abbrechen(); // stopping while paused ends the worker without another cycle
    EXPECT_TRUE(eventually([&] { return !sim.WorkerActive(); }));
    EXPECT_EQ(sim.CycleCount(), stoppedAt);
    EXPECT_EQ(runtime.StatusText(), "");
}

TEST_F(RuntimeControlTest, StepWithoutWorkerRunsAtOnceAndOnlyWhilePaused) {
    runtime.Simulate(false);
    runtime.Step();
    EXPECT_EQ(runtime.Simulator().CycleCount(), 0);
    runtime.Pause();
    runtime.Step();
    runtime.Step();
    EXPECT_EQ(runtime.Simulator().CycleCount(), 2);
    EXPECT_EQ(runtime.SimulatedTimeText(), "Mo 05.01.2026 12:00:00");
}

TEST_F(RuntimeControlTest, SpeedPacesTheSimulatedTimeAgainstTheRealClock) {
    runtime.Simulate(false);
    const struct {
        TSimulationSpeed speed;
        std::int64_t realMsFor10Cycles;
    } cases[] = {{TSimulationSpeed::Echtzeit, 1100}, {TSimulationSpeed::Zehnfach, 110},
                 {TSimulationSpeed::Hundertfach, 11}, {TSimulationSpeed::Maximal, 0}};
    for (const auto& c : cases) {
        runtime.SetSpeed(c.speed);
        EXPECT_EQ(runtime.Speed(), c.speed);
        const std::int64_t before = real.monotonicMs();
        runtime.RunCycles(10);
        EXPECT_EQ(real.monotonicMs() - before, c.realMsFor10Cycles) << SpeedText(c.speed);
    }
}

TEST_F(RuntimeControlTest, ForcedEntryKeepsItsValueUntilReleasedAndStopReleasesAll) {
    runtime.Simulate(false);
    runtime.RunCycles(2);
    runtime.Force("$CNT1__A1", "1");
    runtime.Force("$CNT1_N", "7");
    runtime.RunCycles(20); // the script writes $CNT1__A1 = 0 and counts $CNT1_N
    EXPECT_EQ(var("$CNT1__A1"), "1");
    EXPECT_EQ(var("$CNT1_N"), "7");
    runtime.Simulator().SetVariable("$CNT1_N", "9"); // a write from outside is ignored as well
    EXPECT_EQ(var("$CNT1_N"), "7");
    EXPECT_EQ(runtime.Forced(), (std::vector<TVariablen>{{"$CNT1_N", "7"}, {"$CNT1__A1", "1"}}));
    runtime.Release("$CNT1__A1");
    runtime.RunCycles(1);
    EXPECT_EQ(var("$CNT1__A1"), "0");
    runtime.Simulation_abbrechen();
    EXPECT_TRUE(runtime.Forced().empty());
}

TEST_F(RuntimeControlTest, GoToLaterRunsTheCyclesAndGoToEarlierSetsTheClock) {
    runtime.Simulate(false);
    runtime.RunCycles(1);
    runtime.GoTo({2026, 1, 5, 12, 10, 0, 0});
    EXPECT_GE(clock.localNow().toEpochMs(), (DateTime{2026, 1, 5, 12, 10, 0, 0}).toEpochMs());
    EXPECT_LT(clock.localNow().toEpochMs() - (DateTime{2026, 1, 5, 12, 10, 0, 0}).toEpochMs(), 110);
    EXPECT_FALSE(runtime.GoingTo());
    EXPECT_EQ(real.monotonicMs(), 110) << "the jump costs no real time";
    // 600 second ticks counted in ten minutes, as a run of every cycle counts them.
    EXPECT_EQ(var("$CNT1_N"), "601");

    runtime.GoTo({2026, 1, 5, 12, 5, 0, 0});
    runtime.RunCycles(1);
    EXPECT_EQ(var("$TIME"), "120500");
    runtime.RunCycles(19); // the seconds go on counting after the clock was set back
    EXPECT_EQ(var("$CNT1_N"), "603");
}

TEST_F(RuntimeControlTest, GoToIntoTheSpringGapEndsAfterTheJump) {
    TSimulationClock spring{real, TTimeZone::Load("Europe/Berlin"), utcOf({2026, 3, 29, 1, 50, 0, 0})};
    TLogicSimulation rt{logic, spring};
    rt.Simulate(false);
    rt.GoTo({2026, 3, 29, 2, 30, 0, 0});
    EXPECT_EQ(spring.localNow().hour, 3);
    EXPECT_EQ(spring.localNow().minute, 0);
}

TEST_F(RuntimeControlTest, GoToWithTheWorkerWhilePausedStaysPausedAtTheTarget) {
    runtime.SetSpeed(TSimulationSpeed::Echtzeit);
    runtime.Simulate(true);
    TSimulate& sim = runtime.Simulator();
    ASSERT_TRUE(eventually([&] { return sim.CycleCount() > 2; }));
    runtime.Pause();
    runtime.GoTo({2026, 1, 5, 12, 10, 0, 0});
    ASSERT_TRUE(eventually([&] { return !runtime.GoingTo(); }));
    EXPECT_TRUE(runtime.Paused());
    EXPECT_GE(clock.localNow().toEpochMs(), (DateTime{2026, 1, 5, 12, 10, 0, 0}).toEpochMs());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto held = sim.CycleCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(sim.CycleCount(), held);
    runtime.Simulation_abbrechen();
}

TEST(RuntimeOnCycle, APlotSampledAfterEveryCycleAndJumpSeesEveryChange) {
    setDecimalSeparator(',');
    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    logic.NewProject();
    logic.Components.Add(makeComponent("LAMP1", {"% $_A1 = $IN"}));
    VirtualClock real;
    TSimulationClock clock{real, TTimeZone(), (DateTime{2026, 1, 5, 12, 0, 0, 0}).toEpochMs()};
    TLogicSimulation runtime{logic, clock};
    TTimingPlot plot({"$LAMP1__A1"}, clock.utcMs());
    int calls = 0;
    runtime.SetOnCycle([&] {
        ++calls;
        plot.Sample(clock.monotonicMs(), runtime.Simulator());
    });
    runtime.Simulate(false);
    runtime.GoTo({2026, 1, 5, 13, 0, 0, 0});
    runtime.Simulator().SetVariable("$LAMP1_IN", "1");
    runtime.GoTo({2026, 1, 5, 14, 0, 0, 0});
    EXPECT_LT(calls, 100) << "an idle hour is jumped over";
    ASSERT_EQ(plot.Changes().size(), 2u);
    EXPECT_EQ(plot.Changes()[1].value, "1");
    EXPECT_GE(plot.Changes()[1].t, 3600000);
    EXPECT_LT(plot.Changes()[1].t, 3600000 + 300);
}

} // namespace
} // namespace v7300

#include "simulation/SimulationRuntime.h"

#include "SimTestSupport.h"
#include "core/NumberFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace v7300 {
namespace {

using simtest::makeComponent;

// Waits (in real time, bounded) until the condition holds.
template <typename F>
bool eventually(F condition) {
    for (int i = 0; i < 5000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDecimalSeparator(',');
        logic.NewProject();
    }
    // An input component of the given kind whose output follows its input.
    void addInput(const std::string& name, const std::string& type) {
        auto c = makeComponent(name, {"% $_A1 = $_E1"}, {{"TYPE", type}}, "INTYPE");
        logic.Components.Add(std::move(c));
    }

    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    VirtualClock clock;
    simtest::RecordingEffects effects;
    TLogicSimulation runtime{logic, clock, effects.ports()};
};

TEST_F(RuntimeTest, DocumentSeesTheSimulation) {
    EXPECT_EQ(logic.Simulation, &runtime.Simulator());
    EXPECT_FALSE(logic.Simulating());
    runtime.Simulate(false);
    EXPECT_TRUE(logic.Simulating());
    EXPECT_TRUE(runtime.Simulation_abbrechen());
    EXPECT_FALSE(logic.Simulating());
}

TEST_F(RuntimeTest, SimulateClearsSelectionAndStatesAndRunsTheDiagram) {
    addInput("IN1", "0");
    logic.Components.Items(0).OutputStates[0] = 1;
    logic.Components.Items(0).OutputStates[5] = 1;
    logic.SelectedObject = "IN1";
    logic.SelectedWire = 3;
    logic.SelectedNode = 2;
    runtime.Simulate(false);
    EXPECT_EQ(logic.SelectedObject, "");
    EXPECT_EQ(logic.SelectedWire, -1);
    EXPECT_EQ(logic.SelectedNode, 0);
    EXPECT_EQ(logic.Components.Items(0).OutputStates, (std::array<std::uint8_t, kMaxPins>{}));
    runtime.Simulator().SetInputState("IN1", 1, true);
    EXPECT_EQ(runtime.RunCycles(1), 1);
    EXPECT_EQ(logic.Simulation->GetVariable("$IN1__A1"), "1");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RuntimeTest, SimulateWhileRunningShowsAHintAndKeepsTheRun) {
    runtime.Simulate(false);
    runtime.Simulator().SetVariable("$KEEP", "1");
    runtime.Simulate(false);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Hinweis");
    EXPECT_EQ(messages.messages[0].text, "Die Simulation läuft bereits!");
    EXPECT_EQ(runtime.Simulator().GetVariable("$KEEP"), "1");
}

TEST_F(RuntimeTest, SimulateDoesNothingOnAnUninitialisedDocument) {
    TLogic fresh{TLogicComponentLibrary{}, messages};
    TLogicSimulation rt{fresh, clock};
    rt.Simulate(false);
    EXPECT_FALSE(rt.Simulating());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RuntimeTest, SwitchInputFlipsRelativeToTheShownState) {
    addInput("IN2", "0");
    runtime.Simulate(false);
    runtime.Toogle_input(2);
    runtime.Toogle_input(2); // no redraw in between: same value again
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN2__E1"), "1");
    runtime.RunCycles(1);
    runtime.UpdateOutputStates(); // the drawing shows the output on
    runtime.Toogle_input(2);
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN2__E1"), "0");
}

TEST_F(RuntimeTest, PushButtonPulseIsTimedAndDoesNotBlock) {
    addInput("IN3", "10");
    runtime.Simulate(false);
    const auto before = clock.monotonicMs();
    runtime.Toogle_input(3);
    EXPECT_EQ(clock.monotonicMs(), before); // the caller did not wait
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN3__E1"), "1");
    EXPECT_EQ(runtime.PendingActions(), 1u);
    runtime.RunCycles(5); // due checks at +10, +120, +230, +340, +450 ms
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN3__A1"), "1");
    runtime.RunCycles(1); // +560 ms: released before the pass
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN3__E1"), "0");
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN3__A1"), "0");
    EXPECT_EQ(runtime.PendingActions(), 0u);
}

TEST_F(RuntimeTest, AnalogueInputAsksForItsSliderWindow) {
    addInput("IN4", "2");
    addInput("IN5", "7");
    runtime.Simulate(false);
    runtime.Toogle_input(4);
    runtime.Toogle_input(5); // unknown kind: nothing
    runtime.Toogle_input(9); // no such component: nothing
    EXPECT_EQ(effects.sliders, (std::vector<std::string>{"IN4"}));
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN5__E1"), "0");
    EXPECT_EQ(runtime.Simulator().Variables().size(), 0u);
}

TEST_F(RuntimeTest, ToggleDoesNothingWhileNotSimulating) {
    addInput("IN1", "0");
    runtime.Toogle_input(1);
    EXPECT_EQ(runtime.Simulator().GetVariable("$IN1__E1"), "0");
}

TEST_F(RuntimeTest, WorkerCyclesOnTheClockAndEndsAfterStop) {
    runtime.Simulate(true);
    TSimulate& sim = runtime.Simulator();
    ASSERT_TRUE(eventually([&] { return sim.CycleCount() >= 20; }));
    EXPECT_TRUE(sim.WorkerActive());
    runtime.Simulation_abbrechen();
    ASSERT_TRUE(eventually([&] { return !sim.WorkerActive(); }));
    const auto cycles = sim.CycleCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(sim.CycleCount(), cycles);
}

TEST_F(RuntimeTest, FailingPassEndsTheWorkerAndLeavesTheSimulationRunning) {
    logic.Components.Add(makeComponent("BAD1", {"% $X += 1", "% $X = 0,5"}));
    runtime.Simulate(true);
    TSimulate& sim = runtime.Simulator();
    ASSERT_TRUE(eventually([&] { return !sim.WorkerActive(); }));
    EXPECT_TRUE(sim.Stalled());
    EXPECT_TRUE(logic.Simulating());
    EXPECT_EQ(sim.CycleCount(), 1);
}

TEST_F(RuntimeTest, StopSimThreadKeepsTheRunningFlagWithoutCycles) {
    runtime.Simulate(true);
    runtime.StopSimThread();
    TSimulate& sim = runtime.Simulator();
    EXPECT_TRUE(logic.Simulating());
    EXPECT_FALSE(sim.WorkerActive());
    const auto cycles = sim.CycleCount();
    sim.SetOutputState("OUT1", 1, 1); // the live view writes the device's states
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(sim.CycleCount(), cycles);
    EXPECT_TRUE(sim.Output_Status("OUT1", 1));
}

// The user-interface thread reads and writes the store while the worker cycles.
TEST_F(RuntimeTest, StoreIsSharedSafelyWithTheUserInterfaceThread) {
    logic.Components.Add(makeComponent("CNT1", {"% $N += 1", "% $_A1 = $_E1", "% LCD $N 0 2 N:"}));
    runtime.Simulate(true);
    TSimulate& sim = runtime.Simulator();
    std::atomic<bool> done{false};
    std::thread ui([&] {
        int i = 0;
        while (!done.load()) {
            sim.SetInputState("CNT1", 1, (++i % 2) == 0);
            (void)sim.GetVariable("$CNT1_N");
            (void)sim.Output_Status("CNT1", 1);
            (void)sim.LcdLines();
            runtime.UpdateOutputStates();
        }
    });
    const bool cycled = eventually([&] { return sim.CycleCount() >= 200; });
    done = true;
    ui.join();
    runtime.Simulation_abbrechen();
    ASSERT_TRUE(cycled);
    ASSERT_TRUE(eventually([&] { return !sim.WorkerActive(); }));
    // Every cycle added one: the counter matches the cycles run.
    EXPECT_EQ(sim.GetVariable("$CNT1_N"), std::to_string(sim.CycleCount()));
    EXPECT_FALSE(sim.Stalled());
}

TEST_F(RuntimeTest, StartStopStartNeverLetsTwoWorkersCycle) {
    logic.Components.Add(makeComponent("CNT1", {"% $N += 1"}));
    TSimulate& sim = runtime.Simulator();
    for (int round = 0; round < 30; ++round) {
        runtime.Simulate(true);
        ASSERT_TRUE(logic.Simulating());
        if (round % 3 == 0) eventually([&] { return sim.CycleCount() >= 2; });
        runtime.Simulation_abbrechen();
    }
    runtime.Simulate(true);
    ASSERT_TRUE(eventually([&] { return sim.CycleCount() >= 50; }));
    runtime.Simulation_abbrechen();
    ASSERT_TRUE(eventually([&] { return !sim.WorkerActive(); }));
    // A second worker on the same interpreter would have counted twice per cycle.
    EXPECT_EQ(sim.GetVariable("$CNT1_N"), std::to_string(sim.CycleCount()));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(RuntimeTest, PushButtonWithTheWorker) {
    addInput("IN1", "10");
    runtime.Simulate(true);
    runtime.Toogle_input(1);
    TSimulate& sim = runtime.Simulator();
    ASSERT_TRUE(eventually([&] { return runtime.PendingActions() == 0; }));
    ASSERT_TRUE(eventually([&] { return sim.GetVariable("$IN1__A1") == "0"; }));
    EXPECT_EQ(sim.GetVariable("$IN1__E1"), "0");
    runtime.Simulation_abbrechen();
}

} // namespace
} // namespace v7300

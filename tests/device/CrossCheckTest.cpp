// The same diagram run by the simulation (scripts) and by the virtual
// controller's interpreter (compiled image), cycle by cycle on one virtual clock,
// through the same input scenario: the output states agree.
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "device/ImageRunner.h"
#include "device/LogicCompiler.h"
#include "model/Logic.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

class CrossCheck : public ::testing::Test {
protected:
    CrossCheck() : logic(V7300_BINARY_DIR "/bin/objekts", port) {
        setDecimalSeparator(',');
        logic.NewProject();
    }

    std::string place(const std::string& type, std::vector<std::pair<std::string, std::string>> vars = {}) {
        const int index = logic.Add_objekt(type, "", 1 + 8 * (placed % 20), 1 + 8 * (placed / 20));
        ++placed;
        EXPECT_GE(index, 0) << type;
        TLogicComponent& c = logic.Components.Items(index);
        for (const auto& [name, value] : vars) {
            auto* v = c.Variables.FindByName(name);
            EXPECT_NE(v, nullptr) << name;
            if (v) {
                EXPECT_TRUE(v->SetValue(value)) << name;
            }
        }
        return c.Name;
    }
    void wire(const std::string& from, int output, const std::string& to, int input) {
        EXPECT_GE(logic.add_verbinder(from, output - 1, input - 1, to), 0);
    }

    test::RecordingMessagePort port;
    VirtualClock clock{DateTime{2026, 1, 5, 12, 0, 0, 0}};
    TLogic logic;
    int placed = 0;
};

TEST_F(CrossCheck, SimulationAndVirtualControllerGiveTheSameOutputs) {
    std::vector<std::string> ins;
    for (int i = 1; i <= 3; ++i) ins.push_back(place("IN", {{"HID", std::to_string(i)}}));
    const std::string andGate = place("AND");
    wire(ins[0], 1, andGate, 1);
    wire(ins[1], 1, andGate, 2);
    const std::string orGate = place("OR");
    wire(ins[1], 1, orGate, 1);
    wire(ins[2], 1, orGate, 3);
    const std::string xorGate = place("XOR");
    wire(ins[0], 1, xorGate, 1);
    wire(ins[2], 1, xorGate, 2);
    const std::string inv = place("INV");
    wire(ins[0], 1, inv, 1);
    const std::string ff = place("FF");
    wire(ins[0], 1, ff, 1);
    wire(ins[2], 1, ff, 2);
    const std::string bi = place("BI");
    wire(ins[1], 1, bi, 1);
    const std::string count = place("COUNT", {{"COUNT", "2"}});
    wire(ins[0], 1, count, 1);
    wire(ins[2], 1, count, 2);
    const std::string timer = place("TIMER", {{"SEKUNDEN", "2"}});
    wire(ins[1], 1, timer, 1);
    wire(ins[2], 1, timer, 2);
    const std::string takt = place("TAKT");
    const std::string nand = place("NAND");
    wire(andGate, 1, nand, 1);
    wire(timer, 1, nand, 2);
    const std::string out = place("OUT", {{"ID", "1"}});
    wire(nand, 1, out, 1);
    const std::vector<std::string> watched = {andGate, orGate, xorGate, inv, ff, bi, count, timer, takt, nand};

    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    TImageRunner device;
    device.Load(ReadDeviceImage(image));

    TLogicSimulation sim(logic, clock);
    sim.Simulate(false);
    ASSERT_TRUE(sim.Simulating());

    // Each step: the three inputs, then cycles to run.
    const std::vector<std::tuple<bool, bool, bool, int>> scenario = {
        {false, false, false, 2}, {true, false, false, 3}, {true, true, false, 3}, {false, true, false, 5},
        {false, false, false, 3}, {true, false, false, 2}, {false, false, false, 2}, {true, false, false, 2},
        {false, true, true, 3},   {false, false, false, 25}, {true, true, false, 10}, {false, false, true, 4},
    };
    int compared = 0;
    for (std::size_t step = 0; step < scenario.size(); ++step) {
        const auto [a, b, c, cycles] = scenario[step];
        const bool levels[3] = {a, b, c};
        for (int i = 0; i < 3; ++i) {
            sim.Simulator().SetInputState(ins[static_cast<std::size_t>(i)], 1, levels[i]);
            device.SetHardwareInput(i + 1, levels[i] ? 1 : 0);
        }
        for (int k = 0; k < cycles; ++k) {
            ASSERT_EQ(sim.RunCycles(1), 1);
            // The simulation reads the clock at the start of its cycle, before the cycle's wait.
            const std::int64_t startMs = clock.utcNow().toEpochMs() - TSimulate::kCycleWait;
            device.RunCycle((startMs + 500) / 1000, DateTime::fromEpochMs(startMs));
            for (std::size_t w = 0; w < watched.size(); ++w) {
                const auto object = static_cast<std::uint8_t>(logic.get_objekt_id(watched[w], true) + 1);
                EXPECT_EQ(sim.Simulator().Output_Status(watched[w], 1), device.Output(object, 0) != 0)
                    << watched[w] << " in step " << step << ", cycle " << k;
                ++compared;
            }
        }
    }
    EXPECT_EQ(device.DeviceOutput(1) != 0, sim.Simulator().Output_Status(out, 1));
    EXPECT_GT(compared, 500);
    sim.Simulation_abbrechen();
}

} // namespace
} // namespace v7300

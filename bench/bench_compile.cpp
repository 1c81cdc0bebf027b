// The program-size indicator compiles the whole diagram ten times a second:
// a diagram of 99 components and 300 wires must compile in well under 50 µs.
#include "device/LogicCompiler.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <benchmark/benchmark.h>

namespace {

using namespace v7300;

void addComponent(TLogic& logic, const std::string& type, const std::string& name, int inputs,
                  std::vector<TLogicComponentDefine> vars) {
    TLogicComponent c;
    c.TypeName = type;
    c.Name = name;
    c.InputCount = static_cast<std::uint8_t>(inputs);
    c.OutputCount = 1;
    for (auto& v : vars) c.Variables.Add(std::move(v));
    logic.Components.Add(std::move(c));
}

// 10 NUM sources, 9 TIMERs, 80 ANDs (99 compiled components), 300 wires,
// a free text, six named pages with 24 display entries.
void buildDiagram(TLogic& logic) {
    addComponent(logic, "TXT", "TXT1", 0, {TLogicComponentDefine::Create("TEXT", "Beispiel", "STR")});
    for (int i = 1; i <= 10; ++i)
        addComponent(logic, "NUM", "NUM" + std::to_string(i), 0,
                     {TLogicComponentDefine::Create("VALUE", std::to_string(i), "INT")});
    for (int i = 1; i <= 9; ++i)
        addComponent(logic, "TIMER", "TIMER" + std::to_string(i), 2,
                     {TLogicComponentDefine::Create("SEKUNDEN", "30", "INT")});
    for (int i = 1; i <= 80; ++i) addComponent(logic, "AND", "AND" + std::to_string(i), 4, {});
    int wires = 0;
    for (int i = 1; i <= 9; ++i) {
        logic.Wires.AddWire("NUM" + std::to_string(i), 0, 0, "TIMER" + std::to_string(i));
        logic.Wires.AddWire("NUM" + std::to_string(i + 1), 0, 1, "TIMER" + std::to_string(i));
        wires += 2;
    }
    for (int i = 1; i <= 80 && wires < 300; ++i) {
        for (int in = 0; in < 4 && wires < 300; ++in) {
            const std::string source = i > 1 ? "AND" + std::to_string(i - 1) : "TIMER" + std::to_string(in + 1);
            logic.Wires.AddWire(source, 0, in, "AND" + std::to_string(i));
            ++wires;
        }
    }
    for (int p = 0; p < 6; ++p) {
        logic.ShownTexts[static_cast<std::size_t>(p)].name = "Seite " + std::to_string(p + 1);
        for (int s = 0; s < 4; ++s)
            logic.ShownTexts[static_cast<std::size_t>(p)].slots[static_cast<std::size_t>(s)] =
                TOutputs{"AND" + std::to_string(p * 10 + s + 1), 0, "Wert"};
    }
}

void BM_CompileDiagram(benchmark::State& state) {
    test::RecordingMessagePort port;
    TLogic logic(TLogicComponentLibrary{}, port);
    buildDiagram(logic);
    for (auto _ : state) {
        TV7300_EEPROM_Data image; // a fresh scratch image per tick, as the indicator does
        CreateNETIOData(logic, image);
        benchmark::DoNotOptimize(image.GetSize());
    }
    state.counters["components"] = logic.Components.CountWithoutTXT();
    state.counters["wires"] = logic.Wires.Count();
}
BENCHMARK(BM_CompileDiagram)->Unit(benchmark::kMicrosecond);

void BM_GetCrc(benchmark::State& state) {
    test::RecordingMessagePort port;
    TLogic logic(TLogicComponentLibrary{}, port);
    buildDiagram(logic);
    for (auto _ : state) benchmark::DoNotOptimize(GetCrc(logic));
}
BENCHMARK(BM_GetCrc)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

// Simulation scripts: the generator on arbitrary template lines, then the
// interpreter preparing and running the result for a few cycles, with idle
// stretches skipped where the script allows.
#include "core/Clock.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicSimulation.h"
#include "simulation/ScriptGenerator.h"

#include <cstdint>
#include <string>

namespace {

class NullEffects : public v7300::LcdPort, public v7300::ExecPort, public v7300::PlayPort, public v7300::SmtpPort {
public:
    void SetLines(const std::string&, const std::string&) override {}
    void Show() override {}
    void Open(const v7300::ExecRequest&) override {}
    void Play(const std::string&) override {}
    void Send(const v7300::SmtpMessage&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 16384) return 0;
    v7300::setDecimalSeparator(',');
    const std::vector<std::string> lines =
        v7300::splitLines(v7300::cp1252ToUtf8(std::string(reinterpret_cast<const char*>(data), size)));

    v7300::TLogicComponent c;
    c.Name = "F1";
    c.ScriptLines = lines;
    c.Variables.Add(v7300::TLogicComponentDefine::Create("V", "1", "STR"));
    v7300::TWireList wires;
    wires.AddWire("F1", 0, 1, "F1");
    (void)v7300::create_component_script(c, wires);

    NullEffects effects;
    v7300::TEffectPorts ports;
    ports.Lcd = &effects;
    ports.Exec = &effects;
    ports.Play = &effects;
    ports.Smtp = &effects;
    v7300::VirtualClock clock;
    v7300::TSimulate sim(clock, ports);
    sim.Start(lines, false);
    sim.SetVariable("$A", "1,5");
    for (int i = 0; i < 4; ++i) sim.Step();
    // Idle skipping examines the same script.
    for (int i = 0; i < 4; ++i)
        if (sim.SkipIdle(100000) == 0) sim.Step();
    (void)sim.Variables();
    (void)sim.LcdLines();
    return 0;
}

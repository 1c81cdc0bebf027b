#include "cli/TimedActions.h"

#include "cli/Cli.h"
#include "core/NumberFormat.h"
#include "simulation/SimulationRuntime.h"

#include <algorithm>

namespace v7300::cli {
namespace {

int inputNumber(const std::string& name, const std::string& kind) {
    const auto n = name.size() > 2 && name.compare(0, 2, "IN") == 0 ? parseInt32(name.substr(2)) : std::nullopt;
    if (!n || *n < 0) throw UsageError("--at " + kind + ": INn erwartet: " + name);
    return *n;
}

} // namespace

std::int64_t parseSecondsOption(std::string text, const std::string& option) {
    std::replace(text.begin(), text.end(), ',', '.');
    const auto s = parseDouble(text, '.');
    if (!s || *s < 0 || *s > 86400.0 * 366) throw UsageError(option + " erwartet eine Zahl >= 0: " + text);
    return static_cast<std::int64_t>(*s * 1000.0 + 0.5);
}

TimedAction parseTimedAction(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos) throw UsageError("--at erwartet T:AKTION: " + text);
    TimedAction a;
    a.atMs = parseSecondsOption(text.substr(0, colon), "--at");
    const std::string action = text.substr(colon + 1);
    const auto colon2 = action.find(':');
    if (colon2 == std::string::npos) throw UsageError("--at: Aktion fehlt: " + text);
    a.kind = action.substr(0, colon2);
    const std::string arg = action.substr(colon2 + 1);
    if (a.kind == "toggle" || a.kind == "press") {
        a.input = inputNumber(arg, a.kind);
        a.name = arg;
        return a;
    }
    if (a.kind != "value" && a.kind != "set") throw UsageError("--at: unbekannte Aktion " + a.kind);
    const auto eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError(a.kind + ": erwartet NAME=WERT: " + arg);
    a.name = arg.substr(0, eq);
    a.value = arg.substr(eq + 1);
    if (a.kind == "value") {
        a.input = inputNumber(a.name, a.kind);
        if (!parseInt32(a.value)) throw UsageError("value: ganze Zahl erwartet: " + a.value);
    }
    return a;
}

std::vector<TimedAction> takeTimedActions(std::vector<std::string>& args) {
    std::vector<TimedAction> actions;
    for (const auto& a : takeOptions(args, "--at")) actions.push_back(parseTimedAction(a));
    std::stable_sort(actions.begin(), actions.end(),
                     [](const TimedAction& x, const TimedAction& y) { return x.atMs < y.atMs; });
    return actions;
}

void applyTimedAction(const TimedAction& a, TLogicSimulation& runtime) {
    TSimulate& sim = runtime.Simulator();
    if (a.kind == "toggle") {
        runtime.UpdateOutputStates(); // what the diagram shows at this moment
        runtime.Toogle_input(a.input);
    } else if (a.kind == "press") {
        runtime.Press(a.name);
    } else if (a.kind == "value") {
        sim.SetInputValue(a.name, 1, toInt32(a.value));
    } else {
        sim.SetVariable(a.name, a.value);
    }
}

} // namespace v7300::cli

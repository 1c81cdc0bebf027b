#include "simulation/ForceChoices.h"

#include "core/NumberFormat.h"
#include "model/StoreNames.h"

#include <algorithm>
#include <cmath>

namespace v7300 {
namespace {

bool isNumber(const std::string& text) {
    return parseDouble(text, '.').has_value() || parseDouble(text, ',').has_value();
}

} // namespace

std::vector<TForceChoice> ForceChoices(const TLogic& logic, const std::string& component,
                                       const std::vector<TVariablen>& store, const std::vector<TVariablen>& forced) {
    std::vector<TForceChoice> outputs, variables;
    const std::string prefix = "$" + component + "_";
    for (const TVariablen& entry : store) {
        if (entry.Name.compare(0, prefix.size(), prefix) != 0 || EntryOwner(entry.Name, logic) != component) continue;
        TForceChoice choice{entry.Name, EntryReference(entry.Name, component), entry.Value,
                            IsOutputEntry(entry.Name, component), false};
        choice.Forced = std::any_of(forced.begin(), forced.end(),
                                    [&](const TVariablen& f) { return f.Name == entry.Name; });
        if (choice.Output)
            outputs.push_back(std::move(choice));
        else if (isNumber(entry.Value))
            variables.push_back(std::move(choice));
    }
    outputs.insert(outputs.end(), variables.begin(), variables.end());
    return outputs;
}

TForceValue CheckForceValue(const TForceChoice& choice, const std::string& text, char decimalSeparator) {
    const std::string value = trimBlanks(text);
    if (choice.Output) {
        if (value == "0" || value == "1") return {value, {}};
        return {{}, "Ein Ausgang kann nur 0 oder 1 sein."};
    }
    const auto number = parseDouble(value, decimalSeparator);
    if (!number || !std::isfinite(*number)) return {{}, "Bitte eine Zahl eingeben."};
    return {formatGeneral(*number, decimalSeparator), {}};
}

} // namespace v7300

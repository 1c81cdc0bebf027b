#pragma once
// What "Wert erzwingen…" offers for a component of a running simulation: its
// outputs (A1, A2 …) and its numeric variables as the store holds them, and the
// check of the value the user typed.
#include "model/Logic.h"
#include "simulation/LogicSimulation.h"

#include <string>
#include <vector>

namespace v7300 {

struct TForceChoice {
    std::string Store;     // "$TIMER1_SEKUNDEN"
    std::string Reference; // "TIMER1.SEKUNDEN"
    std::string Value;     // the store's value now
    bool Output = false;
    bool Forced = false;
};

// Outputs first, then variables, each in store order. A variable whose value is
// no number is left out.
std::vector<TForceChoice> ForceChoices(const TLogic& logic, const std::string& component,
                                       const std::vector<TVariablen>& store, const std::vector<TVariablen>& forced);

struct TForceValue {
    std::string Value; // as the store writes it
    std::string Error; // "" when the text is accepted
};
// An output takes 0 or 1, a variable a number written with the separator.
TForceValue CheckForceValue(const TForceChoice& choice, const std::string& text, char decimalSeparator);

} // namespace v7300

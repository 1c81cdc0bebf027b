#pragma once
// Turns the diagram into the line-oriented simulation script: each component's
// template lines are selected by its wired pins, its names are made global and
// its parameter values pasted in; DIM lines go to the top, the rest between
// "DO" and "LOOP".
#include "model/Logic.h"

#include <string>
#include <vector>

namespace v7300 {

std::vector<std::string> create_script(const TLogic& logic);

// The lines one component contributes, in template order, split into the DIM
// lines (in generation order) and the other statements.
struct TComponentScript {
    std::vector<std::string> Dims;
    std::vector<std::string> Statements;
};
TComponentScript create_component_script(const TLogicComponent& component, const TWireList& wires);

} // namespace v7300

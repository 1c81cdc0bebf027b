#pragma once
// The names of a component's entries in the simulation's store: "$OUT1__A1" is
// output 1 of OUT1, "$TIMER1_SEKUNDEN" a variable of TIMER1. Component names may
// hold underscores themselves, so an entry belongs to the longest component name
// that it starts with.
#include "model/Logic.h"

#include <string>

namespace v7300 {

// The component the entry belongs to, "" when none.
std::string EntryOwner(const std::string& entry, const TLogic& logic);
// True when the entry is one of the component's outputs ("$NAME__A<n>").
bool IsOutputEntry(const std::string& entry, const std::string& owner);
// The reference as the logic tests write it: "OUT1.A1", "TIMER1.SEKUNDEN".
std::string EntryReference(const std::string& entry, const std::string& owner);

} // namespace v7300

#pragma once
// A piece of a diagram for the clipboard: components with their variable values
// and the wires between them (bend points included), as the project file keeps
// them. Copying takes it out of a document; pasting places copies with new
// instance names and re-points the copied wires to them.
#include "model/Logic.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace v7300 {

struct TFragmentComponent {
    std::string Name;
    std::string TypeName;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::vector<std::string> Values; // the variables' values by position
    bool operator==(const TFragmentComponent&) const = default;
};

struct TDiagramFragment {
    std::vector<TFragmentComponent> Components;
    std::vector<TWire> Wires;
    bool Empty() const { return Components.empty(); }
    bool operator==(const TDiagramFragment&) const = default;
};

// The named components in list order and the wires whose both ends are among them.
TDiagramFragment CopyFragment(const TLogic& logic, const std::set<std::string>& names);

// The fragment's box in grid units: the smallest Left and Top, the largest
// Left + Width and Top + Height (sizes taken from the library's definitions).
struct TGridBox {
    std::int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
TGridBox FragmentBox(const TLogic& logic, const TDiagramFragment& fragment);

// Places copies of the fragment's components moved by dx, dy grid units, each
// with a new instance name by the placing rule (prefix and the first free number),
// sets their variable values (a value the type refuses keeps its default) and adds
// the wires between them, re-pointed to the new names and moved along. Returns the
// new names in fragment order. When a component cannot be placed (its type is
// missing, the simulation runs) the document is left as it was and the result is
// empty; an error raised on the way is passed on after the document is restored.
std::vector<std::string> PasteFragment(TLogic& logic, const TDiagramFragment& fragment, std::int32_t dx,
                                       std::int32_t dy);

} // namespace v7300

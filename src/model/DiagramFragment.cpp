#include "model/DiagramFragment.h"

#include "model/ObjDefinition.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace v7300 {
namespace {

// The parsed definition of a type, read without touching its file; none when
// the library lacks the type or its definition does not parse.
std::optional<TObjDefinition> peekDefinition(const TLogicComponentLibrary& library, const std::string& type) {
    std::vector<std::string> lines = library.GetDefinitionLines(type);
    if (lines.empty()) return std::nullopt;
    lines.erase(lines.begin()); // the checksum line
    try {
        return ParseDefinitionBody(std::move(lines), type);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Instance names by the placing rule, without a scan of the document per name:
// the names taken are collected once, and each prefix remembers where its
// search ended (names are only added while pasting).
class NameGenerator {
  public:
    explicit NameGenerator(const TLogic& logic) {
        for (const auto& c : logic.Components)
            taken_.insert(c.Name);
    }
    std::string Next(const std::string& prefix) {
        std::int64_t& n = next_[prefix];
        if (n == 0) n = 1;
        std::string name = prefix + std::to_string(n);
        while (taken_.count(name) != 0)
            name = prefix + std::to_string(++n);
        taken_.insert(name);
        ++n;
        return name;
    }

  private:
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, std::int64_t> next_;
};

bool pinsExist(const TLogic& logic, const TWire& w) {
    const TLogicComponent* out = logic.FindComponent(w.Output);
    const TLogicComponent* in = logic.FindComponent(w.Input);
    return out != nullptr && in != nullptr && w.OutputID >= 0 && w.OutputID < out->OutputCount &&
           w.InputID >= 0 && w.InputID < in->InputCount;
}

// Places the components; false when one could not be placed.
bool placeComponents(TLogic& logic, const TDiagramFragment& fragment, std::int32_t dx, std::int32_t dy,
                     std::map<std::string, std::string>& renamed, std::vector<std::string>& names) {
    NameGenerator generator(logic);
    std::unordered_map<std::string, std::string> prefixes;
    for (const auto& fc : fragment.Components) {
        auto found = prefixes.find(fc.TypeName);
        if (found == prefixes.end()) {
            const auto def = peekDefinition(logic.Library, fc.TypeName);
            found = prefixes.emplace(fc.TypeName, def ? def->NamePrefix : fc.TypeName).first;
        }
        const std::string name = generator.Next(found->second);
        const std::int32_t left = static_cast<std::int32_t>(std::int64_t{fc.Left} + dx);
        const std::int32_t top = static_cast<std::int32_t>(std::int64_t{fc.Top} + dy);
        // Add_objekt reads a position of 0 as its default place; 1 is the document's edge anyway.
        const int index = logic.Add_objekt(fc.TypeName, name, std::max(left, 1), std::max(top, 1));
        if (index < 0) return false;
        TLogicComponentDefineList& vars = logic.Components.Items(index).Variables;
        for (int j = 0; j < vars.Count() && j < static_cast<int>(fc.Values.size()); ++j)
            (void)vars.Items(j).SetValue(fc.Values[static_cast<std::size_t>(j)]);
        renamed.emplace(fc.Name, name);
        names.push_back(name);
    }
    return true;
}

void addWires(TLogic& logic, const TDiagramFragment& fragment, std::int32_t dx, std::int32_t dy,
              const std::map<std::string, std::string>& renamed) {
    for (const auto& fw : fragment.Wires) {
        const auto out = renamed.find(fw.Output);
        const auto in = renamed.find(fw.Input);
        if (out == renamed.end() || in == renamed.end()) continue;
        TWire wire = fw;
        wire.Output = out->second;
        wire.Input = in->second;
        if (!pinsExist(logic, wire) || logic.IsInputConnected(wire.Input, wire.InputID)) continue;
        for (auto& p : wire.Points) {
            p.X = static_cast<std::int32_t>(std::int64_t{p.X} + std::int64_t{dx} * 10);
            p.Y = static_cast<std::int32_t>(std::int64_t{p.Y} + std::int64_t{dy} * 10);
        }
        logic.Wires.Add(std::move(wire));
    }
}

} // namespace

TDiagramFragment CopyFragment(const TLogic& logic, const std::set<std::string>& names) {
    TDiagramFragment fragment;
    for (const auto& c : logic.Components) {
        if (names.count(c.Name) == 0) continue;
        TFragmentComponent fc{c.Name, c.TypeName, c.Left, c.Top, {}};
        for (const auto& v : c.Variables)
            fc.Values.push_back(v.GetValue());
        fragment.Components.push_back(std::move(fc));
    }
    for (const auto& w : logic.Wires)
        if (names.count(w.Output) != 0 && names.count(w.Input) != 0) fragment.Wires.push_back(w);
    return fragment;
}

TGridBox FragmentBox(const TLogic& logic, const TDiagramFragment& fragment) {
    TGridBox box;
    bool first = true;
    std::unordered_map<std::string, std::pair<int, int>> sizes;
    for (const auto& fc : fragment.Components) {
        auto size = sizes.find(fc.TypeName);
        if (size == sizes.end()) {
            const auto def = peekDefinition(logic.Library, fc.TypeName);
            size = sizes
                       .emplace(fc.TypeName, def ? std::make_pair(int{def->Width}, int{def->Height})
                                                 : std::make_pair(0, 0))
                       .first;
        }
        const std::int64_t right = std::int64_t{fc.Left} + size->second.first;
        const std::int64_t bottom = std::int64_t{fc.Top} + size->second.second;
        if (first) {
            box = {fc.Left, fc.Top, right, bottom};
            first = false;
        } else {
            box = {std::min<std::int64_t>(box.Left, fc.Left), std::min<std::int64_t>(box.Top, fc.Top),
                   std::max(box.Right, right), std::max(box.Bottom, bottom)};
        }
    }
    return box;
}

std::vector<std::string> PasteFragment(TLogic& logic, const TDiagramFragment& fragment, std::int32_t dx,
                                       std::int32_t dy) {
    if (fragment.Empty() || logic.Simulating() || !logic.Initialised) return {};
    const TDiagramContent before = logic.Content();
    std::map<std::string, std::string> renamed;
    std::vector<std::string> names;
    try {
        if (!placeComponents(logic, fragment, dx, dy, renamed, names)) {
            logic.SetContent(before);
            return {};
        }
        addWires(logic, fragment, dx, dy, renamed);
    } catch (...) {
        logic.SetContent(before);
        throw;
    }
    logic.Redraw();
    return names;
}

} // namespace v7300

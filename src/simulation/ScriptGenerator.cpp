#include "simulation/ScriptGenerator.h"

#include "core/NumberFormat.h"
#include "core/StringUtil.h"

#include <cctype>
#include <unordered_map>

namespace v7300 {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool startsWithDim(const std::string& s) { return s.compare(0, 3, "DIM") == 0; }

// The value text pasted in for "§" + name.
std::string pastedValue(const TLogicComponentDefine& v) {
    switch (v.DefineType()) {
    case TDefineType::INT:
    case TDefineType::FLOAT:
    case TDefineType::INTYPE:
    case TDefineType::CAL:
        return trimBlanks(v.GetValue());
    default:
        return v.GetValue();
    }
}

} // namespace

namespace {

// The generation for one component over the wires that touch it, in wire-list order.
TComponentScript generate(const TLogicComponent& c, const std::vector<const TWire*>& wires) {
    TComponentScript result;
    for (const std::string& line : c.ScriptLines) {
        std::string label;
        std::string statement;
        const auto blank = line.find(' ');
        if (blank == std::string::npos) {
            statement = trimBlanks(line);
        } else {
            label = line.substr(0, blank);
            statement = trimBlanks(std::string_view(line).substr(blank + 1));
        }
        label = replaceAll("#" + upper(label), "%", "");
        if (statement.empty()) continue;
        const bool dim = startsWithDim(statement);
        for (const TWire* wp : wires) {
            const TWire& w = *wp;
            if (w.Input == c.Name) {
                const std::string n = std::to_string(static_cast<std::int64_t>(w.InputID) + 1);
                label = replaceAll(label, "E" + n, "");
                if (!dim)
                    statement = replaceAll(statement, "$_E" + n,
                                           "#" + w.Output + "__A" +
                                               std::to_string(static_cast<std::int64_t>(w.OutputID) + 1));
            }
            if (w.Output == c.Name)
                label = replaceAll(label, "A" + std::to_string(static_cast<std::int64_t>(w.OutputID) + 1), "");
        }
        if (label != "#") continue;
        statement = replaceAll(statement, "$", "$" + c.Name + "_");
        statement = replaceAll(statement, "#", "$");
        for (const TLogicComponentDefine& v : c.Variables)
            statement = replaceAll(statement, "§" + v.Name(), pastedValue(v));
        if (startsWithDim(statement))
            result.Dims.push_back(statement);
        else
            result.Statements.push_back(statement);
    }
    return result;
}

} // namespace

TComponentScript create_component_script(const TLogicComponent& c, const TWireList& wires) {
    std::vector<const TWire*> touching;
    for (const TWire& w : wires)
        if (w.Input == c.Name || w.Output == c.Name) touching.push_back(&w);
    return generate(c, touching);
}

std::vector<std::string> create_script(const TLogic& logic) {
    // The wires at each component name, in wire-list order (a wire from a component
    // to itself is listed once).
    std::unordered_map<std::string, std::vector<const TWire*>> byName;
    for (const TWire& w : logic.Wires) {
        byName[w.Input].push_back(&w);
        if (w.Output != w.Input) byName[w.Output].push_back(&w);
    }
    static const std::vector<const TWire*> none;
    std::vector<std::string> dims; // in generation order
    std::vector<std::string> body;
    for (const TLogicComponent& c : logic.Components) {
        const auto it = byName.find(c.Name);
        TComponentScript part = generate(c, it == byName.end() ? none : it->second);
        for (auto& d : part.Dims) dims.push_back(std::move(d));
        for (auto& s : part.Statements) body.push_back(std::move(s));
    }
    std::vector<std::string> script;
    script.reserve(dims.size() + body.size() + 3);
    // Each DIM line was inserted at the very top when generated.
    for (auto it = dims.rbegin(); it != dims.rend(); ++it) script.push_back(*it);
    script.emplace_back("//START DES SCRIPTS");
    script.emplace_back("DO");
    for (auto& s : body) script.push_back(std::move(s));
    script.emplace_back("LOOP");
    return script;
}

} // namespace v7300

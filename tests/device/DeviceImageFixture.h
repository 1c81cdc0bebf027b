#pragma once
// Diagrams built in memory for the device image tests: components carry exactly
// the variables a test gives them, so each test states what it depends on.
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace v7300::test {

struct Var {
    std::string name;
    std::string value;
    std::string keyword = "INT";
};

class DiagramBuilder {
public:
    DiagramBuilder() : logic(TLogicComponentLibrary{}, port) {}

    TLogicComponent& add(const std::string& type, const std::string& name, int inputs = 0, int outputs = 1,
                         const std::vector<Var>& vars = {}) {
        TLogicComponent c;
        c.TypeName = type;
        c.Name = name;
        c.InputCount = static_cast<std::uint8_t>(inputs);
        c.OutputCount = static_cast<std::uint8_t>(outputs);
        for (const auto& v : vars) c.Variables.Add(TLogicComponentDefine::Create(v.name, v.value, v.keyword));
        return logic.Components.Add(std::move(c));
    }

    void wire(const std::string& from, int output, const std::string& to, int input) {
        logic.Wires.AddWire(from, output, input, to);
    }

    void entry(int page, int slot, const std::string& component, int output, const std::string& text) {
        logic.ShownTexts[static_cast<std::size_t>(page)].slots[static_cast<std::size_t>(slot)] =
            TOutputs{component, output, text};
    }

    RecordingMessagePort port;
    TLogic logic;
};

inline std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

} // namespace v7300::test

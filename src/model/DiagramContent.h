#pragma once
// The content of a diagram document as one value: the placed components, the
// wires, the six display-text pages and the project options. It is what a
// project file holds and what undo restores; it knows nothing of the view.
// Copies share their components and wires until one side changes them, so a
// copy is cheap enough for an undo step.
#include "model/LogicComponent.h"
#include "model/LogicWire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace v7300 {

// One display-text entry: a component output shown with a text on the controller's display.
struct TOutputs {
    std::string component;
    std::int32_t output = 0;
    std::string text = "???";
    bool operator==(const TOutputs&) const = default;
};

// One display-text page with eight slots.
struct TShownOutput {
    std::string name;
    std::array<std::optional<TOutputs>, 8> slots;
    bool operator==(const TShownOutput&) const = default;
};

struct TDiagramContent {
    TLogicComponentList Components;
    std::array<TShownOutput, 6> ShownTexts;
    TWireList Wires;

    // --- project options
    std::int32_t Quarz = 16000000;
    std::int32_t ModuleNumber = 0;
    std::string DeviceModel = "V7300-NET-IO";
    bool NetioActive = false;
    std::string NetioHost = "192.168.0.91";
    std::int32_t NetioPort = 64400;
    std::int32_t NetioDelay = 5;
    bool NetioDisplay = false;
    bool LptActive = false;
    std::int32_t LptAddress = 888;
    std::string DeviceAddress;

    // Equal content. What only the drawing derives (the output states shown
    // during a simulation, the size a TXT label takes from its text) does not count.
    bool operator==(const TDiagramContent& other) const;
};

// Two components are the same content (output states and a TXT label's size aside).
bool SameComponentContent(const TLogicComponent& a, const TLogicComponent& b);

} // namespace v7300

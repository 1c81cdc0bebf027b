#pragma once
// A placed component and the ordered component list of the diagram.
#include "model/LogicComponentDefine.h"
#include "model/SharedList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

constexpr int kMaxPins = 11;
constexpr int kGrid = 10; // pixels per grid unit

struct TPinPos {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TPinPos&) const = default;
};

struct TLogicComponent {
    std::string Name;
    std::vector<std::string> ScriptLines;
    std::array<TPinPos, kMaxPins> InputPins{};
    std::array<TPinPos, kMaxPins> OutputPins{};
    std::array<std::uint8_t, kMaxPins> OutputStates{};
    std::uint8_t InputCount = 0;
    std::uint8_t OutputCount = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::string TypeName;
    std::vector<std::string> ShowRefs;
    std::vector<std::string> ShowCaptions;
    TLogicComponentDefineList Variables;
    std::vector<std::string> VarNames;
    // The slider window of an analogue input is kept by the user interface,
    // keyed by instance name; the document holds no reference to a window.

    // Document pixel position of input i / output k.
    TPinPos InputPixel(int i) const { return {(Left + InputPins[i].x) * kGrid, (Top + InputPins[i].y) * kGrid}; }
    TPinPos OutputPixel(int k) const { return {(Left + OutputPins[k].x) * kGrid, (Top + OutputPins[k].y) * kGrid}; }
    bool operator==(const TLogicComponent&) const = default;
};

// The components share their entries with copies of the list (undo snapshots)
// until one side changes them.
class TLogicComponentList {
public:
    int Count() const { return Items_.Count(); }
    TLogicComponent& Items(int index) { return Items_.MutableAt(index); }
    const TLogicComponent& Items(int index) const { return Items_.At(index); }
    TLogicComponent& Add(TLogicComponent c) { return Items_.Append(std::move(c)); }
    void Delete(int index) { Items_.Erase(index); }
    void Clear() { Items_.Clear(); }
    // Components whose type is not "TXT".
    std::int32_t CountWithoutTXT() const;

    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }
    const TSharedList<TLogicComponent>& Entries() const { return Items_; }
    bool operator==(const TLogicComponentList&) const = default;

private:
    TSharedList<TLogicComponent> Items_;
};

} // namespace v7300

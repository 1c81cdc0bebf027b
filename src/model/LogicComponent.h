#pragma once
// A placed component and the ordered component list of the diagram.
#include "model/LogicComponentDefine.h"
#include "model/SharedList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
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

// The ordered component list with an index of the instance names, so that looking
// a component up by name does not scan the list. The components share their
// entries with copies of the list (undo snapshots) until one side changes them;
// the name index is shared the same way. The index is derived data: it is kept
// right by Add, Delete, Rename and Clear, copied with the list, and not part of
// equality. A component's Name is changed only through Rename.
class TLogicComponentList {
public:
    int Count() const { return Items_.Count(); }
    TLogicComponent& Items(int index) { return Items_.MutableAt(index); }
    const TLogicComponent& Items(int index) const { return Items_.At(index); }
    TLogicComponent& Add(TLogicComponent c);
    void Delete(int index);
    void Clear();
    void Rename(int index, const std::string& name);
    // Components whose type is not "TXT".
    std::int32_t CountWithoutTXT() const;

    // The list index of the first component with that name (compared exactly), -1 for none.
    int IndexOf(const std::string& name) const;
    // How many components bear the name (more than one only after reading a file).
    int CountOf(const std::string& name) const;
    // Some name that several components bear; empty when every name is unique.
    std::string AnyDuplicateName() const;

    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }
    const TSharedList<TLogicComponent>& Entries() const { return Items_; }
    bool operator==(const TLogicComponentList& other) const { return Items_ == other.Items_; }

private:
    struct NameEntry {
        int first = -1; // list index of the first component with the name
        int count = 0;  // components with the name
    };
    struct NameIndex {
        std::unordered_map<std::string, NameEntry> entries;
        int duplicates = 0; // names with a count above one
    };
    NameIndex& OwnNames();
    void Index(const std::string& name, int index);
    void Unindex(const std::string& name, int index);

    TSharedList<TLogicComponent> Items_;
    std::shared_ptr<NameIndex> Names_ = std::make_shared<NameIndex>();
};

} // namespace v7300

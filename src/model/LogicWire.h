#pragma once
// Wires from an output to an input, with their bend points in document pixels.
#include "model/SharedList.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

struct TPointEx {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TPointEx&) const = default;
};

struct TWire {
    std::string Output;
    std::string Input;
    std::int32_t OutputID = 0;
    std::int32_t InputID = 0;
    std::vector<TPointEx> Points;

    int PointCount() const { return static_cast<int>(Points.size()); }
    // Inserts a point before position index; -1 (or any index past the end) appends.
    void InsertPoint(int index, std::int32_t x, std::int32_t y);
    void DeletePoint(int index);
    bool operator==(const TWire&) const = default;
};

// The wires share their entries with copies of the list (undo snapshots) until
// one side changes them.
class TWireList {
public:
    int Count() const { return Items_.Count(); }
    TWire& Items(int index) { return Items_.MutableAt(index); }
    const TWire& Items(int index) const { return Items_.At(index); }
    TWire& AddWire(const std::string& output, std::int32_t outputID, std::int32_t inputID, const std::string& input);
    TWire& Add(TWire wire) { return Items_.Append(std::move(wire)); }
    void Delete(int index);
    void Clear() { Items_.Clear(); }

    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }
    const TSharedList<TWire>& Entries() const { return Items_; }
    bool operator==(const TWireList&) const = default;

private:
    TSharedList<TWire> Items_;
};

} // namespace v7300

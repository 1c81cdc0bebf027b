#include "model/LogicWire.h"

namespace v7300 {

void TWire::InsertPoint(int index, std::int32_t x, std::int32_t y) {
    if (index < 0 || index > PointCount())
        Points.push_back({x, y});
    else
        Points.insert(Points.begin() + index, TPointEx{x, y});
}

void TWire::DeletePoint(int index) {
    if (index >= 0 && index < PointCount()) Points.erase(Points.begin() + index);
}

TWire& TWireList::AddWire(const std::string& output, std::int32_t outputID, std::int32_t inputID,
                          const std::string& input) {
    return Items_.Append(TWire{output, input, outputID, inputID, {}});
}

void TWireList::Delete(int index) {
    if (index >= 0 && index < Count()) Items_.Erase(index);
}

} // namespace v7300

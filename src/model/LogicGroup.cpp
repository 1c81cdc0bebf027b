// Operations of the document on several components at once.
#include "model/Logic.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace v7300 {
namespace {

// The step of one axis that keeps every box inside [lo, hi] for all of them;
// never against the asked direction (a component already outside stays put).
std::int32_t limitStep(std::int32_t step, std::int64_t lo, std::int64_t hi) {
    if (lo > hi) return 0;
    const std::int64_t limited = std::clamp<std::int64_t>(step, lo, hi);
    if ((step > 0 && limited < 0) || (step < 0 && limited > 0)) return 0;
    return static_cast<std::int32_t>(limited);
}

} // namespace

std::set<std::string> TLogic::ComponentsIn(const TRect& box) const {
    const std::int64_t l = std::min(box.Left, box.Right), r = std::max(box.Left, box.Right);
    const std::int64_t t = std::min(box.Top, box.Bottom), b = std::max(box.Top, box.Bottom);
    std::set<std::string> found;
    for (const auto& c : Components) {
        const std::int64_t x1 = std::int64_t{c.Left} * 10, x2 = (std::int64_t{c.Left} + c.Width) * 10;
        const std::int64_t y1 = std::int64_t{c.Top} * 10, y2 = (std::int64_t{c.Top} + c.Height) * 10;
        if (x1 <= r && l <= x2 && y1 <= b && t <= y2) found.insert(c.Name);
    }
    return found;
}

TPoint TLogic::MoveComponents(const std::set<std::string>& names, std::int32_t dx, std::int32_t dy) {
    std::vector<int> indices;
    const std::int64_t maxX = DocSize.x / 10 - 1;
    const std::int64_t maxY = DocSize.y / 10;
    std::int64_t loX = std::numeric_limits<std::int32_t>::min(),
                 hiX = std::numeric_limits<std::int32_t>::max();
    std::int64_t loY = loX, hiY = hiX;
    for (int i = 0; i < Components.Count(); ++i) {
        const TLogicComponent& c = std::as_const(Components).Items(i);
        if (names.count(c.Name) == 0) continue;
        indices.push_back(i);
        loX = std::max<std::int64_t>(loX, 1 - std::int64_t{c.Left});
        hiX = std::min<std::int64_t>(hiX, maxX - c.Width - std::int64_t{c.Left});
        loY = std::max<std::int64_t>(loY, 1 - std::int64_t{c.Top});
        hiY = std::min<std::int64_t>(hiY, maxY - c.Height - std::int64_t{c.Top});
    }
    if (indices.empty()) return {0, 0};
    dx = limitStep(dx, loX, hiX);
    dy = limitStep(dy, loY, hiY);
    if (dx == 0 && dy == 0) return {0, 0};

    // Wires between two moved components keep their shape.
    std::vector<std::pair<int, std::vector<TPointEx>>> inner;
    for (int w = 0; w < Wires.Count(); ++w) {
        const TWire& wire = std::as_const(Wires).Items(w);
        if (names.count(wire.Output) != 0 && names.count(wire.Input) != 0) inner.emplace_back(w, wire.Points);
    }
    for (const int i : indices)
        verschieben(i, dx, dy);
    for (auto& [w, points] : inner) {
        for (auto& p : points) {
            p.X += dx * 10;
            p.Y += dy * 10;
        }
        Wires.Items(w).Points = std::move(points);
    }
    Redraw();
    return {dx, dy};
}

} // namespace v7300

#pragma once
// What the drawing area's view needs besides the document: the two scroll axes
// (positions in steps of 20 view pixels), the zoom and the conversion between
// drawing-area pixels and document pixels.
#include <array>
#include <cstdint>

namespace v7300 {

inline constexpr int kScrollStep = 20;
// The zoom steps in percent; 100 is the document's own scale.
inline constexpr std::array<int, 11> kZoomSteps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};
inline constexpr int kMinZoom = 25;
inline constexpr int kMaxZoom = 400;

// One scroll bar: range 0 … Max and the position in it.
struct TScrollAxis {
    int Position = 0;
    int Max = 5;
    bool Enabled = true;
    // A value outside 0 … Max is ignored; returns whether the position changed.
    bool SetPosition(int value) {
        if (value < 0 || value > Max || value == Position) return false;
        Position = value;
        return true;
    }
};

// The next zoom step above (direction > 0) or below the given percentage.
inline int NextZoomStep(int percent, int direction) {
    if (direction > 0) {
        for (const int step : kZoomSteps)
            if (step > percent) return step;
        return kMaxZoom;
    }
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < percent) return *it;
    return kMinZoom;
}

// A drawing-area pixel in document pixels: (area + offset) / zoom, rounded down.
inline std::int32_t ViewToDocument(int area, int offset, int zoomPercent) {
    const std::int64_t view = std::int64_t{area} + offset;
    if (zoomPercent == 100) return static_cast<std::int32_t>(view);
    const std::int64_t scaled = view * 100;
    // Floor division, so that the pixels left of the document's origin stay negative.
    return static_cast<std::int32_t>(scaled >= 0 ? scaled / zoomPercent
                                                 : -((-scaled + zoomPercent - 1) / zoomPercent));
}

// A document pixel in drawing-area pixels.
inline int DocumentToView(std::int32_t doc, int offset, int zoomPercent) {
    return static_cast<int>(std::int64_t{doc} * zoomPercent / 100 - offset);
}

} // namespace v7300

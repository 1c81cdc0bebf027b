#pragma once
// Draws a timing plot on a Canvas, dark like the rest of the program: one lane
// per entry with its name at the left, 0/1 entries as level traces, numbers as
// lines scaled between their smallest and largest value in view, and a time
// axis in local time below.
#include "model/Canvas.h"
#include "simulation/TimingPlot.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace v7300 {

namespace PlotColors {
constexpr std::uint32_t Background = 0x000000;
constexpr std::uint32_t Lane = 0x222222;
constexpr std::uint32_t Grid = 0x444444;
constexpr std::uint32_t Text = 0xFFFFFF;
constexpr std::uint32_t Scale = 0xAAAAAA;
constexpr std::uint32_t Trace = 0xFF8000;
} // namespace PlotColors

struct TPlotView {
    std::int64_t From = 0; // plot time shown at the left edge (ms)
    std::int64_t To = -1;  // at the right edge; To <= From: up to the plot's end
    int Width = 1000;
};

class TTimingPlotRenderer {
public:
    static constexpr int kNameWidth = 170;
    static constexpr int kDigitalLane = 34;
    static constexpr int kNumberLane = 90;
    static constexpr int kAxis = 34;
    static constexpr int kTop = 22; // the title row above the first lane

    // The height of one trace's lane, and the trace whose lane holds the y.
    static int LaneHeight(const TTimingPlot& plot, std::size_t trace);
    static std::optional<std::size_t> LaneAt(const TTimingPlot& plot, int y);

    // The height the plot needs.
    static int Height(const TTimingPlot& plot);
    // Sizes the canvas to view.Width × Height and draws.
    static void Draw(Canvas& canvas, const TTimingPlot& plot, TPlotView view = {});
};

} // namespace v7300

// The timing plot drawn offscreen with the QPainter canvas, and simulate --plot
// writing it as PNG. The pictures stay in the build tree for a look.
#include "EditorFixture.h"
#include "cli/Cli.h"
#include "core/FileIO.h"
#include "core/Image.h"
#include "core/NumberFormat.h"
#include "simulation/TimingPlot.h"
#include "simulation/TimingPlotRenderer.h"
#include "support/CliRun.h"
#include "ui/canvas/QtCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace v7300::test {
namespace {

const std::string kShots = std::string(V7300_BINARY_DIR) + "/screenshots";

// Pixels near the colour inside the box (right/bottom exclusive); text and
// lines are antialiased.
int countColour(const Image& image, std::uint32_t rgb, int x1, int y1, int x2, int y2) {
    auto channel = [](std::uint32_t c, int shift) { return static_cast<int>(c >> shift & 0xFF); };
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) {
            const std::uint32_t p = image.pixel(x, y);
            bool near = true;
            for (int shift : {0, 8, 16}) near = near && std::abs(channel(p, shift) - channel(rgb, shift)) < 0x40;
            n += near;
        }
    return n;
}

TEST(TimingPlotPicture, LanesTracesAndAxisOnBlack) {
    EnsureQApplication();
    setDecimalSeparator(',');
    // A day: a lamp on from 06:00 to 22:00, a temperature rising and falling.
    TTimingPlot plot({"$OUT1__A1", "$IN1__A1"}, (DateTime{2026, 1, 5, 0, 0, 0, 0}).toEpochMs());
    for (int hour = 0; hour <= 24; ++hour) {
        const std::int64_t t = hour * 3600000LL;
        plot.Record(t, 0, hour >= 6 && hour < 22 ? "1" : "0");
        plot.Record(t, 1, std::to_string(180 + 5 * (hour < 12 ? hour : 24 - hour)));
    }
    TQtCanvas canvas;
    TTimingPlotRenderer::Draw(canvas, plot, TPlotView{0, -1, 900});
    const Image image = canvas.ToImage();
    std::filesystem::create_directories(kShots);
    writeFileAtomic(kShots + "/timing-plot.png", encodePng(image));

    ASSERT_EQ(image.width, 900);
    ASSERT_EQ(image.height, TTimingPlotRenderer::Height(plot));
    const int lane1 = 22, lane2 = lane1 + TTimingPlotRenderer::kDigitalLane;
    const int x0 = TTimingPlotRenderer::kNameWidth;
    // Black background, orange traces in both lanes, white names at the left.
    EXPECT_EQ(image.pixel(image.width - 1, 0) & 0xFFFFFF, PlotColors::Background);
    EXPECT_GT(countColour(image, PlotColors::Trace, x0, lane1, image.width, lane2), 100);
    EXPECT_GT(countColour(image, PlotColors::Trace, x0, lane2, image.width, lane2 + TTimingPlotRenderer::kNumberLane), 100);
    EXPECT_GT(countColour(image, PlotColors::Text, 0, lane1, x0, lane2), 10);
    // The level is high in the middle of the day and low at its start.
    const int mid = x0 + (image.width - 12 - x0) / 2;
    EXPECT_GE(countColour(image, PlotColors::Trace, mid, lane1 + 5, mid + 1, lane1 + 10), 1); // the pen at y+7
    EXPECT_EQ(countColour(image, PlotColors::Trace, x0 + 20, lane1 + 5, x0 + 21, lane1 + 10), 0);
}

TEST(TimingPlotPicture, SimulateWritesThePlotAsPng) {
    EnsureQApplication();
    TempDir dir;
    const auto r = runCli({"simulate", std::string(V7300_SOURCE_DIR) + "/examples/rollladen.v7k", "--seconds", "90",
                           "--at", "5:press:IN1", "--at", "40:press:IN6", "--watch",
                           "$OUT1__A1,$OUT2__A1,$OUT4__A1,$ROLLO1_COUNTER", "--plot", dir.file("r.png")});
    ASSERT_EQ(r.status, 0) << r.err;
    const Image image = decodePng(dir.file("r.png"));
    EXPECT_EQ(image.width, 1200);
    EXPECT_EQ(image.height, 22 + 3 * TTimingPlotRenderer::kDigitalLane + TTimingPlotRenderer::kNumberLane +
                                TTimingPlotRenderer::kAxis);
    std::filesystem::create_directories(kShots);
    std::filesystem::copy_file(dir.file("r.png"), kShots + "/simulate-plot.png",
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace
} // namespace v7300::test

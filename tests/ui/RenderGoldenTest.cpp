// The QPainter canvas: its geometry agrees with the hit tests, its fonts are the
// bundled DejaVu faces, and small diagrams draw like the committed pictures.
// V7300_UPDATE_GOLDEN=1 rewrites the pictures under tests/ui/golden/.
#include "core/BmpWriter.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "model/LogicRenderer.h"
#include "support/TestSupport.h"
#include "ui/canvas/QtCanvas.h"

#include <QApplication>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

namespace v7300 {
namespace {

namespace C = DiagramColors;

void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives for the whole test program
}

std::uint32_t Rgb(const TQtCanvas& c, int x, int y) { return c.ToImage().pixel(x, y) & 0xFFFFFF; }

class QtCanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
};

TEST_F(QtCanvasTest, BoxesExcludeRightAndBottomEdgeLikeTheHitTests) {
    TQtCanvas c(20, 20);
    c.Fill(0);
    c.SetPen({0xFFFFFF, 1, false});
    c.SetBrush({0xFF0000, true});
    c.Rectangle(2, 2, 8, 8);
    EXPECT_EQ(Rgb(c, 2, 2), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 7, 7), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 8, 8), 0u);
    EXPECT_EQ(Rgb(c, 5, 5), 0xFF0000u);
    c.Ellipse(10, 10, 16, 16);
    EXPECT_EQ(Rgb(c, 12, 12), 0xFF0000u);
    EXPECT_EQ(Rgb(c, 16, 13), 0u);
}

TEST_F(QtCanvasTest, LinesIncludeBothEndsAndMoveThePen) {
    TQtCanvas c(20, 20);
    c.SetPen({0x00FF00, 1, false});
    c.MoveTo(3, 4);
    c.LineTo(10, 4);
    EXPECT_EQ(Rgb(c, 3, 4), 0x00FF00u);
    EXPECT_EQ(Rgb(c, 10, 4), 0x00FF00u);
    EXPECT_EQ(Rgb(c, 11, 4), 0u);
    EXPECT_EQ(c.PenPos(), (TCanvasPoint{10, 4}));
}

TEST_F(QtCanvasTest, ClipKeepsDrawingInsideTheBox) {
    TQtCanvas c(20, 20);
    c.SetClip(0, 0, 5, 5);
    c.FillRect(0, 0, 20, 20, 0xFFFFFF);
    c.Pixels({{10, 10}, {2, 2}}, 0x0000FF);
    c.ClearClip();
    EXPECT_EQ(Rgb(c, 4, 4), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 5, 5), 0u);
    EXPECT_EQ(Rgb(c, 2, 2), 0x0000FFu);
    EXPECT_EQ(Rgb(c, 10, 10), 0u);
}

// An enlarged copy repeats every source pixel in place, at whole and broken
// factors, and a source box reaching past the image leaves that share untouched.
TEST_F(QtCanvasTest, EnlargedCopyRepeatsEachPixelInPlace) {
    TQtCanvas source(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.FillRect(x, y, x + 1, y + 1, static_cast<std::uint32_t>(0x10 * (y * 3 + x + 1)));
    struct Case {
        int dw, dh, sx, sy, sw, sh;
    };
    for (const Case& k : {Case{6, 4, 0, 0, 3, 2}, Case{9, 4, 0, 0, 3, 2}, Case{8, 4, -1, 0, 4, 2}}) {
        TQtCanvas view(12, 8);
        view.Fill(0xFFFFFF);
        view.DrawCanvasScaled(1, 1, k.dw, k.dh, source, k.sx, k.sy, k.sw, k.sh);
        const double fx = static_cast<double>(k.dw) / k.sw;
        const double fy = static_cast<double>(k.dh) / k.sh;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) {
                const int srcX = k.sx + static_cast<int>(std::floor((x - 1) / fx));
                const int srcY = k.sy + static_cast<int>(std::floor((y - 1) / fy));
                const bool inside = x >= 1 && y >= 1 && x < 1 + k.dw && y < 1 + k.dh && srcX >= 0 && srcX < 3 &&
                                    srcY >= 0 && srcY < 2;
                const std::uint32_t expected = inside ? Rgb(source, srcX, srcY) : 0xFFFFFFu;
                ASSERT_EQ(Rgb(view, x, y), expected) << "dw " << k.dw << " sx " << k.sx << " at " << x << "," << y;
            }
    }
}

TEST_F(QtCanvasTest, FontsAreDejaVuInTheDiagramSizes) {
    for (TCanvasFont f : {TCanvasFont::Name, TCanvasFont::NameBold, TCanvasFont::TextBold, TCanvasFont::Caption})
        EXPECT_EQ(QFontInfo(DiagramFont(f)).family(), QString("DejaVu Sans"));
    EXPECT_EQ(DiagramFont(TCanvasFont::Name).pixelSize(), 11);
    EXPECT_EQ(DiagramFont(TCanvasFont::TextBold).pixelSize(), 13);
    EXPECT_TRUE(DiagramFont(TCanvasFont::TextBold).bold());
    EXPECT_EQ(DiagramFont(TCanvasFont::Caption).pixelSize(), 12);
    TQtCanvas c(10, 10);
    const TTextSize plain = c.TextExtent(TCanvasFont::Name, "Kommentar");
    const TTextSize bold = c.TextExtent(TCanvasFont::TextBold, "Kommentar");
    EXPECT_GT(plain.Width, 30);
    EXPECT_GT(bold.Width, plain.Width);
    EXPECT_EQ(c.TextExtent(TCanvasFont::Name, "").Width, 0);
}

// --- golden pictures

class FakeSimulation : public TSimulationState {
public:
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? "0" : it->second;
    }
    std::map<std::string, std::string> values;
};

class RenderGoldenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureApplication(); }
    void SetUp() override {
        setDecimalSeparator(',');
        test::writeTestLibrary(dir.file("lib"));
        // OUT needs its picture for the symbol.
        test::writePng(dir.file("lib/OUT/OUT.png"), 50, 30, 0xFF303030u);
    }

    // IN1 -> AND1 -> TIMER1 -> OUT1, a TXT label, in a 420 x 260 document.
    void BuildDiagram(TLogic& logic) {
        logic.NewProject();
        logic.DocSize = {420, 260};
        ASSERT_GE(logic.Add_objekt("IN", "IN1", 1, 3), 0);
        ASSERT_GE(logic.Add_objekt("AND", "AND1", 10, 3), 0);
        ASSERT_GE(logic.Add_objekt("TIMER", "TIMER1", 20, 3), 0);
        ASSERT_GE(logic.Add_objekt("OUT", "OUT1", 32, 3), 0);
        ASSERT_GE(logic.Add_objekt("TXT", "TXT1", 2, 20), 0);
        ASSERT_GE(logic.add_verbinder("IN1", 0, 0, "AND1"), 0);
        ASSERT_GE(logic.add_verbinder("AND1", 0, 0, "TIMER1"), 0);
        ASSERT_GE(logic.add_verbinder("TIMER1", 0, 0, "OUT1"), 0);
        logic.Wires.Items(0).Points = {{70, 40}, {70, 60}};
        auto* out = logic.FindComponent("OUT1");
        out->Variables.Add(TLogicComponentDefine::Create("TYPE", "2", "INT"));
        out->Variables.Add(TLogicComponentDefine::Create("COL1", "255", "INT"));
        out->Variables.Add(TLogicComponentDefine::Create("COL2", "65280", "INT"));
    }

    void ExpectLikeGolden(const Image& drawn, const std::string& name) {
        const std::string path = std::string(V7300_SOURCE_DIR) + "/tests/ui/golden/" + name;
        const char* update = std::getenv("V7300_UPDATE_GOLDEN");
        if (update != nullptr && std::string(update) == "1") {
            writeFileAtomic(path, encodePng(drawn));
            GTEST_SKIP() << "rewrote " << path;
        }
        Image golden;
        ASSERT_NO_THROW(golden = decodePng(path)) << "missing golden picture; run with V7300_UPDATE_GOLDEN=1";
        ASSERT_EQ(golden.width, drawn.width);
        ASSERT_EQ(golden.height, drawn.height);
        // Glyph edges may differ a little between font rasterisers; geometry may not.
        int off = 0;
        for (std::size_t i = 0; i < drawn.pixels.size(); ++i) {
            const std::uint32_t a = drawn.pixels[i];
            const std::uint32_t b = golden.pixels[i];
            for (int shift : {0, 8, 16}) {
                const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
                if (d > 64 || d < -64) {
                    ++off;
                    break;
                }
            }
        }
        EXPECT_LE(off, static_cast<int>(drawn.pixels.size() / 500)) << name << ": " << off << " pixels differ";
    }

    test::TempDir dir;
    test::RecordingMessagePort messages;
    VirtualClock clock;
};

TEST_F(RenderGoldenTest, EditingViewWithSelectionCaptionsAndPins) {
    TLogic logic(dir.file("lib"), messages);
    BuildDiagram(logic);
    logic.SelectedObject = "AND1";
    logic.SelectedWire = 1;
    logic.MousePos = {100, 40};
    TLogicRenderer renderer(logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas canvas;
    renderer.DrawTo(canvas);
    EXPECT_TRUE(messages.messages.empty());
    ExpectLikeGolden(to16Bit(canvas.ToImage()), "editing.png");
}

TEST_F(RenderGoldenTest, SimulationViewWithWireColoursAndValues) {
    TLogic logic(dir.file("lib"), messages);
    BuildDiagram(logic);
    FakeSimulation sim;
    sim.values = {{"$IN1__A1", "1"}, {"$AND1__A1", "1"}, {"$TIMER1__A1", "0"}, {"$TIMER1_COUNTER", "7"}};
    logic.Simulation = &sim;
    TLogicRenderer renderer(logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas canvas;
    renderer.DrawTo(canvas);
    logic.Simulation = nullptr;
    const Image drawn = canvas.ToImage();
    EXPECT_EQ(drawn.pixel(150, 40) & 0xFFFFFF, C::WireOn) << "AND1 -> TIMER1";
    EXPECT_EQ(drawn.pixel(280, 40) & 0xFFFFFF, C::WireOff) << "TIMER1 -> OUT1";
    ExpectLikeGolden(to16Bit(drawn), "simulation.png");
}

TEST_F(RenderGoldenTest, TxtLabelTakesWidthOfItsBoldText) {
    TLogic logic(dir.file("lib"), messages);
    BuildDiagram(logic);
    TLogicRenderer renderer(logic, clock, [] { return std::make_unique<TQtCanvas>(); });
    TQtCanvas canvas;
    renderer.DrawTo(canvas);
    const auto* txt = logic.FindComponent("TXT1");
    ASSERT_NE(txt->Variables.FindByName("TEXT"), nullptr);
    const int textWidth = canvas.TextExtent(TCanvasFont::TextBold, txt->Variables.FindByName("TEXT")->GetValue()).Width;
    EXPECT_EQ(txt->Width, static_cast<int>(roundHalfEven(textWidth / 10.0 + 0.5)));
    EXPECT_EQ(txt->Height, 2);
}

} // namespace
} // namespace v7300

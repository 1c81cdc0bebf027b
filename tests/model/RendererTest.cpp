// Geometry and rules of the diagram drawing, checked pixel by pixel on a raster canvas.
#include "core/BmpWriter.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "model/LogicRenderer.h"
#include "model/RasterTestCanvas.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <map>

namespace v7300 {
namespace {

using test::RasterTestCanvas;
using test::RecordingMessagePort;
namespace C = DiagramColors;

constexpr std::uint32_t kGatePicture = 0x808080;

class FakeSimulation : public TSimulationState {
public:
    bool Running() const override { return true; }
    std::string GetVariable(const std::string& name) const override {
        const auto it = values.find(name);
        return it == values.end() ? "0" : it->second;
    }
    std::map<std::string, std::string> values;
};

TExBitmap Picture(const std::string& name, int w, int h, std::uint32_t rgb) {
    return {name, Image(w, h, 0xFF000000u | rgb)};
}

TLogicComponentLibrary FixtureLibrary() {
    TLogicComponentLibrary lib;
    lib.AddItem({"AND", {}, "", {Picture("AND", 40, 50, kGatePicture)}});
    lib.AddItem({"IN", {}, "", {Picture("IN", 40, 20, 0x101010), Picture("IN0", 40, 20, 0x202020),
                                Picture("IN0_", 40, 20, 0x303030)}});
    lib.AddItem({"OUT", {}, "", {Picture("OUT", 50, 30, 0x404040)}});
    return lib;
}

TLogicComponent Component(const std::string& name, const std::string& type, int left, int top, int width,
                          int height, int inputs, int outputs) {
    TLogicComponent c;
    c.Name = name;
    c.TypeName = type;
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
    c.InputCount = static_cast<std::uint8_t>(inputs);
    c.OutputCount = static_cast<std::uint8_t>(outputs);
    for (int i = 0; i < inputs; ++i) c.InputPins[static_cast<std::size_t>(i)] = {0, 1 + i};
    for (int k = 0; k < outputs; ++k) c.OutputPins[static_cast<std::size_t>(k)] = {width, 1 + k};
    return c;
}

void AddVar(TLogicComponent& c, const std::string& name, const std::string& value, const std::string& keyword,
            const std::string& caption) {
    c.Variables.Add(TLogicComponentDefine::Create(name, value, keyword));
    c.VarNames.push_back(caption);
}

struct RendererFixture : ::testing::Test {
    RendererFixture() { setDecimalSeparator(','); }
    RecordingMessagePort messages;
    VirtualClock clock;
    TLogic logic{FixtureLibrary(), messages};
    int canvasesMade = 0;
    TLogicRenderer renderer{logic, clock, [this] {
                                ++canvasesMade;
                                return std::make_unique<RasterTestCanvas>();
                            }};
    RasterTestCanvas canvas;

    void Draw() { renderer.DrawTo(canvas); }
};

TEST_F(RendererFixture, ImageTakesDocumentSizeAndGridDotsEveryTenPixels) {
    logic.DocSize = {200, 105};
    Draw();
    EXPECT_EQ(canvas.Width(), 200);
    EXPECT_EQ(canvas.Height(), 105);
    EXPECT_EQ(canvas.rgb(0, 0), C::GridDot);
    EXPECT_EQ(canvas.rgb(190, 100), C::GridDot);
    EXPECT_EQ(canvas.rgb(15, 10), C::Background);
    logic.Raster = false;
    Draw();
    EXPECT_EQ(canvas.rgb(190, 100), C::Background);
}

TEST_F(RendererFixture, PinDotsAndTheLargerDotUnderTheMouse) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    const int xi = 100, yi = 110; // input 0
    const int xo = 140, yo = 110; // output 0
    struct Case {
        TPoint mouse;
        bool inputLarge;
    };
    for (const Case& k : {Case{{xi + 4, yi}, true}, Case{{xi + 5, yi}, false}, Case{{xi, yi - 4}, true},
                          Case{{xi - 5, yi}, false}}) {
        logic.MousePos = k.mouse;
        Draw();
        SCOPED_TRACE(k.mouse.x);
        EXPECT_EQ(canvas.rgb(xi, yi), C::InputPin);
        EXPECT_EQ(canvas.rgb(xi - 3, yi), k.inputLarge ? C::InputPin : C::Outline);
        EXPECT_EQ(canvas.rgb(xi - 4, yi), k.inputLarge ? C::InputPin : C::Background);
        EXPECT_EQ(canvas.rgb(xo, yo), C::OutputPin);
        EXPECT_EQ(canvas.rgb(xo - 4, yo), kGatePicture) << "the output dot stays small";
    }
}

TEST_F(RendererFixture, WireArrowHeadsAndBendPointSquares) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    logic.Components.Add(Component("AND2", "AND", 40, 30, 4, 5, 1, 1));
    logic.Wires.AddWire("AND1", 0, 0, "AND2").Points = {{250, 110}, {250, 310}};
    Draw();
    const int xo = 140, yo = 110, xi = 400, yi = 310;
    for (auto [x, y] : {std::pair{xo + 7, yo}, {xo + 3, yo + 4}, {xo + 3, yo - 4}, {xo + 5, yo + 2}})
        EXPECT_EQ(canvas.rgb(x, y), C::WireEditing) << x << "," << y;
    for (auto [x, y] : {std::pair{xi - 7, yi - 4}, {xi - 7, yi + 4}, {xi - 5, yi + 2}})
        EXPECT_EQ(canvas.rgb(x, y), C::WireEditing) << x << "," << y;
    // Squares from (x-3, y-3) to (x+3, y+3), right and bottom exclusive, unfilled.
    for (auto [x, y] : {std::pair{247, 107}, {252, 112}, {247, 307}, {252, 312}})
        EXPECT_EQ(canvas.rgb(x, y), C::WireEditing) << x << "," << y;
    EXPECT_EQ(canvas.rgb(253, 113), C::Background);
    EXPECT_EQ(canvas.rgb(248, 108), C::Background) << "inside the square stays empty";
    EXPECT_EQ(canvas.rgb(250, 200), C::WireEditing) << "the segment between the points";
}

TEST_F(RendererFixture, SelectedWireIsDrawnAgainTwoPixelsWide) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    logic.Components.Add(Component("AND2", "AND", 40, 10, 4, 5, 1, 1));
    logic.Wires.AddWire("AND1", 0, 0, "AND2");
    logic.SelectedWire = 0;
    Draw();
    EXPECT_EQ(canvas.rgb(300, 110), C::WireSelected);
    EXPECT_EQ(canvas.rgb(300, 111), C::WireSelected);
    logic.SelectedWire = 5; // no such wire: nothing selected
    Draw();
    EXPECT_EQ(canvas.rgb(300, 110), C::WireEditing);
}

TEST_F(RendererFixture, SelectionFrameIsDottedAroundComponentAndName) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    logic.SelectedObject = "AND1";
    Draw();
    EXPECT_EQ(canvas.rgb(95, 85), C::Selection);
    EXPECT_EQ(canvas.rgb(96, 85), C::Background) << "dotted";
    EXPECT_EQ(canvas.rgb(97, 85), C::Selection);
    EXPECT_EQ(canvas.rgb(144, 154), C::Selection) << "bottom-right corner, exclusive edge at +5";
    EXPECT_EQ(canvas.rgb(145, 155), C::Background);
}

TEST_F(RendererFixture, DraggedWireIsDottedRedLineFromMouseToStart) {
    logic.Dragging = true;
    logic.DragStart.X = 100;
    logic.DragStart.Y = 50;
    logic.MousePos = {100, 150};
    Draw();
    EXPECT_EQ(canvas.rgb(100, 150), C::WireDragging);
    EXPECT_EQ(canvas.rgb(100, 148), C::WireDragging);
    EXPECT_EQ(canvas.rgb(100, 151), C::Background);
}

TEST_F(RendererFixture, NameWrittenAboveComponentButNotForTxt) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    auto txt = Component("TXT1", "TXT", 20, 20, 5, 2, 0, 0);
    AddVar(txt, "TEXT", "Hallo", "STR", "");
    logic.Components.Add(txt);
    logic.ShowInfo = false;
    Draw();
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].text, "AND1");
    EXPECT_EQ(canvas.texts[0].x, 100);
    EXPECT_EQ(canvas.texts[0].y, 87);
    EXPECT_EQ(canvas.texts[0].font, TCanvasFont::Name);
    EXPECT_EQ(canvas.texts[1].text, "Hallo");
    EXPECT_EQ(canvas.texts[1].font, TCanvasFont::TextBold);
}

TEST_F(RendererFixture, TxtSizeFollowsTextWidthRoundedHalfToEven) {
    struct Case {
        int textWidth;
        int width;
    };
    for (const Case k : {Case{73, 8}, Case{45, 5}, Case{40, 4}, Case{50, 6}}) {
        logic.Components.Clear();
        auto txt = Component("TXT1", "TXT", 20, 20, 1, 1, 0, 0);
        AddVar(txt, "TEXT", "Hallo", "STR", "");
        logic.Components.Add(txt);
        canvas.measure = [&k](TCanvasFont, const std::string&) { return k.textWidth; };
        Draw();
        EXPECT_EQ(logic.Components.Items(0).Width, k.width) << k.textWidth;
        EXPECT_EQ(logic.Components.Items(0).Height, 2);
        // The label is a black box exactly as wide as the text and 15 pixels high.
        EXPECT_EQ(canvas.rgb(200 + k.textWidth - 1, 200 + 14), C::TxtBackground);
        EXPECT_EQ(canvas.rgb(202, 205), C::TxtText);
    }
}

TEST_F(RendererFixture, CaptionBoxesStackUnderComponentOnePixelAboveItsEdge) {
    auto c = Component("AND1", "AND", 10, 10, 4, 5, 1, 1);
    AddVar(c, "A", "1", "INT", "Erster");
    AddVar(c, "B", "2", "INT", "");
    AddVar(c, "C", "3", "INT", ""); // no caption: no box
    c.VarNames.pop_back();
    logic.Components.Add(c);
    canvas.measure = [](TCanvasFont, const std::string& s) { return static_cast<int>(s.size()) * 6; };
    Draw();
    std::vector<test::TRecordedText> captions;
    for (const auto& t : canvas.texts)
        if (t.font == TCanvasFont::Caption) captions.push_back(t);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0].text, "Erster: 1");
    EXPECT_EQ(captions[1].text, "2");
    // "Erster: 1" is 54 pixels: left = 100 + R((40 - 54) / 2) - 4 = 89.
    EXPECT_EQ(captions[0].x, 90);
    EXPECT_EQ(captions[0].y, 149);
    EXPECT_EQ(captions[1].y, 162);
    EXPECT_EQ(canvas.rgb(89, 149), C::Outline);
    EXPECT_EQ(canvas.rgb(90, 150), C::CaptionBox);
    EXPECT_EQ(canvas.rgb(89 + 62 - 1, 162), C::Outline) << "right edge of box 54 + 8 wide";
    EXPECT_EQ(canvas.rgb(89 + 62 - 2, 150), C::CaptionBox);
}

TEST_F(RendererFixture, CaptionBoxesAreShiftedInsideTheDocument) {
    canvas.measure = [](TCanvasFont, const std::string&) { return 60; };
    auto left = Component("AND1", "AND", 0, 5, 2, 5, 0, 0);
    AddVar(left, "A", "1", "INT", "x");
    auto right = Component("AND2", "AND", 198, 5, 2, 5, 0, 0);
    AddVar(right, "A", "1", "INT", "x");
    logic.Components.Add(left);
    logic.Components.Add(right);
    Draw();
    std::vector<int> xs;
    for (const auto& t : canvas.texts)
        if (t.font == TCanvasFont::Caption) xs.push_back(t.x);
    ASSERT_EQ(xs.size(), 2u);
    EXPECT_EQ(xs[0], 1) << "box starts at 0";
    EXPECT_EQ(canvas.rgb(0, 99), C::Outline);
    EXPECT_EQ(canvas.rgb(67, 99), C::Outline) << "and keeps its width of 68";
    EXPECT_EQ(canvas.rgb(68, 105), C::Background);
    EXPECT_EQ(xs[1], 2000 - 68 + 1) << "box ends at the document's right edge";
    EXPECT_EQ(canvas.rgb(1999, 99), C::Outline);
}

TEST_F(RendererFixture, CaptionValuesShowTimesAndDisplayForms) {
    auto w = Component("WEEKTIMER1", "WEEKTIMER", 10, 10, 4, 5, 0, 1);
    AddVar(w, "EIN", "063000", "INT", "Ein");
    logic.Components.Add(w);
    auto calc = Component("CALC1", "CALC", 30, 10, 4, 5, 2, 1);
    AddVar(calc, "OP", "2", "CAL", "");
    logic.Components.Add(calc);
    auto in = Component("IN1", "IN", 50, 10, 4, 2, 0, 1);
    AddVar(in, "TYPE", "1", "INTYPE", "Typ");
    logic.Components.Add(in);
    Draw();
    std::vector<std::string> captions;
    for (const auto& t : canvas.texts)
        if (t.font == TCanvasFont::Caption) captions.push_back(t.text);
    EXPECT_EQ(captions, (std::vector<std::string>{"Ein: 06:30:00", "*", "Typ: Analog"}));
}

TEST_F(RendererFixture, InPictureFollowsTypeAndStateWithFallback) {
    auto in = Component("IN1", "IN", 10, 10, 4, 2, 0, 1);
    AddVar(in, "TYPE", "0", "INTYPE", "Typ");
    logic.Components.Add(in);
    Draw();
    EXPECT_EQ(canvas.rgb(105, 105), 0x202020u) << "IN0";
    logic.Components.Items(0).Variables.Items(0).SetValue("1");
    Draw();
    EXPECT_EQ(canvas.rgb(105, 105), 0x101010u) << "no IN1: IN";

    logic.Components.Items(0).Variables.Items(0).SetValue("0");
    FakeSimulation sim;
    logic.Simulation = &sim;
    sim.values["$IN1__A1"] = "1";
    Draw();
    EXPECT_EQ(canvas.rgb(105, 105), 0x303030u) << "IN0_ while on";
    sim.values["$IN1__A1"] = "nil";
    Draw();
    EXPECT_EQ(canvas.rgb(105, 105), 0x202020u);
    logic.Simulation = nullptr;
}

TEST_F(RendererFixture, DuplicateNameDrawsTheFirstAndIsReportedOnce) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    logic.Components.Add(Component("AND1", "AND", 10, 30, 4, 5, 1, 1));
    logic.Components.Add(Component("AND2", "AND", 30, 10, 4, 5, 1, 1));
    logic.Wires.AddWire("AND2", 0, 0, "AND1");
    Draw();
    Draw();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Objekt-ID doppelt vergeben!"});
    // The wire runs into the first AND1 (input at (100, 110)), not the second (100, 310).
    EXPECT_EQ(canvas.rgb(97, 110), C::WireEditing);
    EXPECT_EQ(canvas.rgb(97, 310), C::Background);
}

TEST_F(RendererFixture, MissingPictureDrawsNothingButKeepsNameAndPins) {
    logic.Components.Add(Component("GONE1", "GONE", 10, 10, 4, 5, 1, 0));
    Draw();
    EXPECT_EQ(canvas.rgb(121, 121), C::Background);
    EXPECT_EQ(canvas.rgb(100, 110), C::InputPin);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "GONE1");
}

TEST_F(RendererFixture, SimulationColoursWiresAndHidesPinsAndSelection) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 2));
    logic.Components.Add(Component("AND2", "AND", 40, 10, 4, 5, 2, 1));
    logic.Wires.AddWire("AND1", 0, 0, "AND2");
    logic.Wires.AddWire("AND1", 1, 1, "AND2");
    logic.SelectedObject = "AND1";
    FakeSimulation sim;
    sim.values["$AND1__A1"] = "1";
    sim.values["$AND1__A2"] = "0";
    logic.Simulation = &sim;
    Draw();
    EXPECT_EQ(logic.Components.Items(0).OutputStates[0], 1);
    EXPECT_EQ(logic.Components.Items(0).OutputStates[1], 0);
    EXPECT_EQ(canvas.rgb(300, 110), C::WireOn);
    EXPECT_EQ(canvas.rgb(300, 111), C::WireOn) << "2 pixels wide";
    EXPECT_EQ(canvas.rgb(300, 120), C::WireOff);
    EXPECT_EQ(canvas.rgb(100, 110), kGatePicture) << "no pin dots";
    EXPECT_EQ(canvas.rgb(95, 85), C::Background) << "no selection frame";
    logic.Simulation = nullptr;
}

TEST_F(RendererFixture, SimulationShowsValuesInsteadOfCaptions) {
    auto t = Component("TIMER1", "TIMER", 10, 10, 4, 3, 2, 1);
    AddVar(t, "SEKUNDEN", "10", "INT", "Sekunden");
    t.ShowRefs = {"$COUNTER", "$X+$Y"};
    t.ShowCaptions = {"Rest", ""};
    logic.Components.Add(t);
    FakeSimulation sim;
    sim.values["$TIMER1_COUNTER"] = "7";
    sim.values["$TIMER1_X+$TIMER1_Y"] = "3";
    logic.Simulation = &sim;
    Draw();
    logic.Simulation = nullptr;
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[1].text, "Rest: 7");
    EXPECT_EQ(canvas.texts[1].x, 100);
    EXPECT_EQ(canvas.texts[1].y, 132);
    EXPECT_TRUE(canvas.texts[1].opaque);
    EXPECT_EQ(canvas.texts[2].text, "3");
    EXPECT_EQ(canvas.texts[2].y, 144);
}

TEST_F(RendererFixture, BrokenWiresAreSkippedAndReportedOnce) {
    logic.Components.Add(Component("AND1", "AND", 10, 10, 4, 5, 1, 1));
    logic.Components.Add(Component("AND2", "AND", 40, 10, 4, 5, 1, 1));
    logic.Wires.AddWire("NIX1", 0, 0, "AND2");
    logic.Wires.AddWire("AND1", 0, 0, "WEG1");
    logic.Wires.AddWire("AND1", 0, 0, "AND2");
    Draw();
    Draw();
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Falscher Verbinder [NIX1]",
                                                          "Falscher Verbinder [WEG1] \r\nZielobjekt nicht gefunden."}));
    EXPECT_EQ(canvas.rgb(300, 110), C::WireEditing) << "the good wire is drawn";
}

struct OutSymbolCase {
    const char* type;
    const char* colour;
    int x, y;
    std::uint32_t expected;
};

TEST(OutSymbol, EachTypePaintsItsFigureInTheColour) {
    constexpr std::uint32_t bg = 0x404040;
    const OutSymbolCase cases[] = {
        {"0", "255", 21, 15, 0xFF0000},   // glyph bar of the centred text, red in the low byte
        {"1", "65280", 25, 15, 0x00FF00}, // filled circle
        {"1", "rot", 25, 15, 0xFFFFFF},   // no number: white
        {"2", "16711680", 18, 8, 0x000000}, // lamp cross, black
        {"2", "16711680", 22, 15, 0x0000FF},
        {"3", "255", 10, 15, 0xFF0000},
        {"3", "255", 30, 7, 0xFF0000},
        {"4", "255", 15, 12, 0xFF0000},
        {"4", "255", 26, 8, 0xFF0000}, // 2 pixels wide
        {"5", "255", 30, 15, 0xFF0000},
        {"5", "255", 10, 15, 0xFF0000},
        {"6", "255", 40, 15, 0xFF0000},
        {"6", "255", 25, 12, 0xFF0000},
        {"7", "255", 15, 15, 0xFF0000},
        {"7", "255", 25, 15, bg}, // a polyline, not a filled shape
        {"8", "255", 25, 15, bg},
        {"x", "255", 21, 15, 0xFF0000}, // no number: type 0
    };
    for (const auto& k : cases) {
        RasterTestCanvas c(50, 30);
        c.Fill(bg);
        TLogicRenderer::DrawOutSymbol(k.type, "AN", k.colour, c);
        EXPECT_EQ(c.rgb(k.x, k.y), k.expected) << "type " << k.type << " at " << k.x << "," << k.y;
    }
}

TEST_F(RendererFixture, OutUsesSecondTextAndColourWhileOn) {
    auto out = Component("OUT1", "OUT", 10, 10, 5, 3, 1, 0);
    AddVar(out, "TYPE", "1", "INT", "");
    AddVar(out, "COL1", "255", "INT", "");
    AddVar(out, "COL2", "65280", "INT", "");
    AddVar(out, "TXT1", "AUS", "STR", "");
    AddVar(out, "TXT2", "EIN", "STR", "");
    logic.Components.Add(out);
    logic.ShowInfo = false;
    Draw();
    EXPECT_EQ(canvas.rgb(125, 115), 0xFF0000u);
    EXPECT_EQ(canvas.rgb(105, 105), 0x404040u) << "drawn on the OUT picture";
    FakeSimulation sim;
    sim.values["$OUT1__A1"] = "1";
    logic.Simulation = &sim;
    Draw();
    logic.Simulation = nullptr;
    EXPECT_EQ(canvas.rgb(125, 115), 0x00FF00u);
}

// --- repaint rate limit

struct CountingCanvas : RasterTestCanvas {
    explicit CountingCanvas(int& fills) : fills_(fills) {}
    void Fill(std::uint32_t color) override {
        ++fills_;
        RasterTestCanvas::Fill(color);
    }
    int& fills_;
};

TEST_F(RendererFixture, RePaintDropsRequestsWithinOneTwentyFourthSecond) {
    logic.DocSize = {100, 100};
    int refreshes = 0;
    renderer.OnRefresh = [&] { ++refreshes; };
    EXPECT_TRUE(renderer.RePaint()) << "the first request always draws";
    clock.advanceMs(10);
    EXPECT_FALSE(renderer.RePaint());
    clock.advanceMs(31);
    EXPECT_FALSE(renderer.RePaint()) << "41 ms < 41.67 ms";
    clock.advanceMs(1);
    EXPECT_TRUE(renderer.RePaint());
    clock.advanceMs(60);
    EXPECT_TRUE(renderer.RePaint());
    EXPECT_EQ(refreshes, 3);
    EXPECT_EQ(canvasesMade, 1) << "the off-screen image is kept";
}

TEST_F(RendererFixture, RePaintCopiesScrolledDocumentIntoView) {
    logic.DocSize = {100, 100};
    logic.ScrollOffset = {10, 20};
    logic.ViewOrigin = {0, 0};
    RasterTestCanvas view(60, 60);
    view.Fill(0x123456);
    renderer.View = &view;
    renderer.RePaint();
    EXPECT_EQ(view.rgb(0, 0), C::GridDot) << "document (10, 20)";
    EXPECT_EQ(view.rgb(5, 0), C::Background);
    EXPECT_EQ(view.rgb(59, 59), C::Background);
}

TEST_F(RendererFixture, RePaintAtAZoomScalesTheVisiblePartOfTheDocument) {
    logic.DocSize = {100, 100};
    logic.ViewOrigin = {0, 0};
    RasterTestCanvas view(60, 60);
    renderer.View = &view;
    logic.Zoom = 2.0;
    logic.ScrollOffset = {40, 60}; // view pixels: document (20, 30) at the top left
    renderer.RePaint();
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {20, 0}, {21, 21}})
        EXPECT_EQ(view.rgb(x, y), C::GridDot) << x << "," << y;
    EXPECT_EQ(view.rgb(2, 0), C::Background);
    logic.Zoom = 0.5;
    logic.ScrollOffset = {0, 0};
    renderer.ShowView(); // the drawn document shown anew, without drawing it again
    EXPECT_EQ(view.rgb(5, 5), C::GridDot);  // document (10, 10)
    EXPECT_EQ(view.rgb(55, 5), C::Background); // beyond the document's 100 pixels
}

TEST(RePaint, RequestDuringDrawingOnlyRefreshes) {
    VirtualClock clock;
    // The report box of the broken wire asks for a repaint while the drawing runs.
    struct ReentrantPort : MessagePort {
        TLogicRenderer* r = nullptr;
        bool inner = true;
        MsgButton show(const Message& m) override {
            inner = r->RePaint();
            return m.defaultButton;
        }
    };
    ReentrantPort port;
    TLogic doc(FixtureLibrary(), port);
    doc.DocSize = {100, 100};
    doc.Wires.AddWire("NIX1", 0, 0, "NIX2");
    TLogicRenderer r(doc, clock, [] { return std::make_unique<RasterTestCanvas>(); });
    port.r = &r;
    int innerRefreshes = 0;
    r.OnRefresh = [&] { ++innerRefreshes; };
    EXPECT_TRUE(r.RePaint());
    EXPECT_FALSE(port.inner);
    EXPECT_EQ(innerRefreshes, 2);
    EXPECT_FALSE(r.Painting());
}

// --- pictures

TEST_F(RendererFixture, GetBildRefusedWhileSimulating) {
    FakeSimulation sim;
    logic.Simulation = &sim;
    EXPECT_FALSE(renderer.Get_Bild().has_value());
    logic.Simulation = nullptr;
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Während der Simulation kann nicht gedruckt werden."});
    logic.DocSize = {30, 20};
    const auto picture = renderer.Get_Bild();
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 30);
    EXPECT_EQ(picture->pixel(10, 10) & 0xFFFFFF, 0xBDBABDu) << "grid dot with 16 bits per pixel";
}

std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
           static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}

bool DecodeJpegSize(const std::string& bytes, int& w, int& h) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    const bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    w = static_cast<int>(info.image_width);
    h = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return ok;
}

TEST_F(RendererFixture, ExportChoosesJpegOnlyForExactJpgExtension) {
    test::TempDir dir;
    logic.DocSize = {30, 21};
    struct Case {
        const char* name;
        bool jpeg;
    };
    for (const Case k : {Case{"a.jpg", true}, Case{"b.JPG", false}, Case{"c.png", false}, Case{"d.bmp", false},
                         Case{"e.jpg.bmp", false}, Case{"noext", false}}) {
        renderer.Export_Bild(dir.file(k.name));
        const std::string bytes = test::readFile(dir.file(k.name));
        SCOPED_TRACE(k.name);
        if (k.jpeg) {
            int w = 0, h = 0;
            ASSERT_TRUE(DecodeJpegSize(bytes, w, h));
            EXPECT_EQ(w, 30);
            EXPECT_EQ(h, 21);
        } else {
            EXPECT_EQ(bytes.substr(0, 2), "BM");
        }
    }
}

TEST(BmpWriter, HeaderFieldsAndBottomUpSixteenBitPixels) {
    Image img(3, 2, 0xFF000000u);
    img.setPixel(0, 0, 0xFFFF0000u); // top-left red
    img.setPixel(2, 1, 0xFF0000FFu); // bottom-right blue
    img.setPixel(1, 1, 0xFF00FF00u);
    const std::string b = encodeBmp16(img);
    const std::uint32_t stride = 8; // 3 * 2 bytes padded to 4
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 66u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(le32(b, 22), 2u);
    EXPECT_EQ(le16(b, 26), 1);
    EXPECT_EQ(le16(b, 28), 16);
    EXPECT_EQ(le32(b, 30), 3u) << "bit fields";
    EXPECT_EQ(le32(b, 34), stride * 2);
    EXPECT_EQ(le32(b, 54), 0xF800u);
    EXPECT_EQ(le32(b, 58), 0x07E0u);
    EXPECT_EQ(le32(b, 62), 0x001Fu);
    ASSERT_EQ(b.size(), 66u + stride * 2);
    // First stored row is the bottom one.
    EXPECT_EQ(le16(b, 66 + 2), 0x07E0);
    EXPECT_EQ(le16(b, 66 + 4), 0x001F);
    EXPECT_EQ(le16(b, 66 + 6), 0) << "padding";
    EXPECT_EQ(le16(b, 66 + stride), 0xF800);
}

TEST(BmpWriter, SixteenBitRoundTripKeepsPrimariesAndWhite) {
    for (std::uint32_t c : {0xFFFFFFFFu, 0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu})
        EXPECT_EQ(fromRgb565(toRgb565(c)), c);
    EXPECT_EQ(toRgb565(0xFFBBBBBBu), 0xBDD7);
}

TEST(BmpWriter, FailedWriteLeavesNoFile) {
    test::TempDir dir;
    const std::string target = dir.file("fehlt/bild.bmp");
    EXPECT_THROW(writeBmp16(target, Image(4, 4)), Error);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
} // namespace v7300

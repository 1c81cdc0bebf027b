#include "core/Error.h"
#include "model/Logic.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace v7300;
using test::RecordingMessagePort;
using test::TempDir;

namespace {

class FakeSimulation : public TSimulationState {
public:
    bool running = true;
    bool Running() const override { return running; }
    std::string GetVariable(const std::string&) const override { return "0"; }
};

class LogicTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeTestLibrary(dir.path());
        logic = std::make_unique<TLogic>(dir.path(), port);
        logic->NewProject();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& c : logic->Components) out.push_back(c.Name);
        return out;
    }
    // A component of the given size placed directly, bypassing the library.
    int place(const std::string& name, int left, int top, int width = 4, int height = 5, int inputs = 4,
              int outputs = 1) {
        return logic->add(width, height, "AND", name, left, top, "AND", {}, outputs, inputs);
    }
    TempDir dir;
    RecordingMessagePort port;
    std::unique_ptr<TLogic> logic;
};

} // namespace

TEST_F(LogicTest, NewDocumentIsEmptyAndInitialised) {
    EXPECT_EQ(logic->Components.Count(), 0);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_EQ(logic->SelectedObject, "");
    EXPECT_EQ(logic->SelectedWire, -1);
    EXPECT_TRUE(logic->Initialised);
    EXPECT_EQ(logic->Quarz, 16000000);
    EXPECT_EQ(logic->NetioHost, "192.168.0.91");
    EXPECT_EQ(logic->NetioPort, 64400);
    EXPECT_EQ(logic->LptAddress, 888);
    logic->delete_sel_objekt();
    EXPECT_EQ(logic->Components.Count(), 0);
}

TEST_F(LogicTest, NothingIsAddedBeforeInit) {
    TLogic fresh(dir.path(), port);
    EXPECT_FALSE(fresh.Initialised);
    EXPECT_EQ(fresh.add(2, 2, "AND", "", 1, 1, "AND", {}, 1, 1), -1);
    EXPECT_EQ(fresh.Components.Count(), 0);
}

TEST_F(LogicTest, LookupsCountWithAndWithoutTXT) {
    logic->Add_objekt("TXT", "", 0, 0);
    logic->Add_objekt("AND", "", 0, 0);
    logic->Add_objekt("TXT", "", 0, 0);
    logic->Add_objekt("OR", "", 0, 0);
    ASSERT_EQ(names(), (std::vector<std::string>{"TXT1", "AND1", "TXT2", "OR1"}));
    EXPECT_EQ(logic->get_objekt_id("OR1", false), 3);
    EXPECT_EQ(logic->get_objekt_id("OR1", true), 1);
    EXPECT_EQ(logic->get_objekt_id("AND1", true), 0);
    EXPECT_EQ(logic->get_objekt_id("XOR1", false), -1);
    EXPECT_EQ(logic->get_objekt_id("or1", false), -1);
    EXPECT_EQ(logic->GetObjectNameByID(2), "TXT2");
    EXPECT_EQ(logic->GetObjectNameByID(4), "");
    EXPECT_EQ(logic->GetObjectNameByID(-1), "");
    EXPECT_EQ(logic->Components.CountWithoutTXT(), 2);
}

TEST_F(LogicTest, DuplicateNameFailsOnlyForThatName) {
    place("AND1", 1, 1);
    place("AND1", 10, 1);
    place("OR1", 20, 1);
    try {
        logic->get_objekt_id("AND1", false);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Objekt-ID doppelt vergeben!");
    }
    EXPECT_EQ(logic->get_objekt_id("OR1", false), 2);
}

TEST_F(LogicTest, PinsSitOnTheEdgesOneUnitApart) {
    const int i = logic->Add_objekt("WIDE", "", 7, 3);
    const auto& c = logic->Components.Items(i);
    EXPECT_EQ(c.InputPins[0], (TPinPos{0, 1}));
    EXPECT_EQ(c.InputPins[2], (TPinPos{0, 3}));
    EXPECT_EQ(c.OutputPins[0], (TPinPos{4, 1}));
    EXPECT_EQ(c.InputPixel(0), (TPinPos{70, 40}));
    EXPECT_EQ(c.OutputPixel(0), (TPinPos{110, 40}));
}

TEST_F(LogicTest, InitEmptiesDiagramButKeepsPagesAndOptions) {
    logic->Add_objekt("AND", "", 0, 0);
    logic->Add_objekt("OR", "", 20, 3);
    logic->add_verbinder("AND1", 0, 0, "OR1");
    logic->ShownTexts[2].name = "Seite";
    logic->DeviceAddress = "10.0.0.5";
    logic->Init();
    EXPECT_EQ(logic->Components.Count(), 0);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_EQ(logic->ShownTexts[2].name, "Seite");
    EXPECT_EQ(logic->DeviceAddress, "10.0.0.5");
}

TEST_F(LogicTest, GeneratedNamesFillGaps) {
    for (int i = 0; i < 3; ++i) logic->Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"AND1", "AND2", "AND3"}));
    logic->delete_("AND2");
    logic->Add_objekt("AND", "", 0, 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"AND1", "AND3", "AND2"}));
    logic->Add_objekt("AND", "MEIN", 0, 0); // a given name is used unchanged
    EXPECT_EQ(logic->Components.Items(3).Name, "MEIN");
}

TEST_F(LogicTest, PlacementDefaultsAndDefinitionContent) {
    const int i = logic->Add_objekt("TIMER", "", 0, 0);
    const auto& c = logic->Components.Items(i);
    EXPECT_EQ(c.Left, 7);
    EXPECT_EQ(c.Top, 3);
    EXPECT_EQ(c.Width, 4);
    EXPECT_EQ(c.Height, 3);
    EXPECT_EQ(c.InputCount, 2);
    EXPECT_EQ(c.OutputCount, 1);
    EXPECT_EQ(c.TypeName, "TIMER");
    EXPECT_EQ(c.ShowRefs, (std::vector<std::string>{"$COUNTER"}));
    EXPECT_EQ(c.ShowCaptions, (std::vector<std::string>{"Rest"}));
    ASSERT_EQ(c.Variables.Count(), 1);
    EXPECT_EQ(c.Variables.Items(0).Name(), "SEKUNDEN");
    EXPECT_EQ(c.Variables.Items(0).RawValue(), "10 ");
    EXPECT_EQ(c.VarNames, (std::vector<std::string>{"Sekunden"}));
    EXPECT_EQ(c.ScriptLines, (std::vector<std::string>{"$A1 = $E1"}));
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(LogicTest, UnknownTypeIsReportedAndNothingPlaced) {
    EXPECT_EQ(logic->Add_objekt("XYZ", "", 0, 0), -1);
    ASSERT_EQ(port.texts(), (std::vector<std::string>{"Der Baustein XYZ konnte nicht gefunden werden!"}));
    EXPECT_EQ(port.messages[0].caption, "");
    EXPECT_EQ(logic->Components.Count(), 0);
}

TEST_F(LogicTest, NoPlacementWhileSimulating) {
    FakeSimulation sim;
    logic->Simulation = &sim;
    EXPECT_EQ(logic->Add_objekt("AND", "", 0, 0), -1);
    EXPECT_EQ(port.texts(), (std::vector<std::string>{
                                "Es kann kein Objekt hinzugefügt werden so lange der Simulator aktiviert ist."}));
    EXPECT_EQ(logic->add(2, 2, "AND", "", 1, 1, "AND", {}, 1, 1), -1);
    EXPECT_EQ(logic->Components.Count(), 0);
    sim.running = false;
    EXPECT_EQ(logic->Add_objekt("AND", "", 0, 0), 0);
}

TEST_F(LogicTest, FailingVarsLineLeavesComponentWithEarlierVariables) {
    test::writeDefinition(dir.path(), "BAD",
                          {"-NAME", "BAD", "-SHOW", "$V Wert", "-VARS", "INT A 1", "FOO B 2", "INT C 3", "-VARNAMES",
                           "Erste", "---"});
    TLogic fresh(dir.path(), port);
    fresh.NewProject();
    int redraws = 0;
    fresh.OnRedraw = [&] { ++redraws; };
    try {
        fresh.Add_objekt("BAD", "", 0, 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid DefineType : 'FOO'");
    }
    ASSERT_EQ(fresh.Components.Count(), 1);
    const auto& c = fresh.Components.Items(0);
    EXPECT_EQ(c.Variables.Count(), 1);
    EXPECT_EQ(c.ShowRefs.size(), 1u);
    EXPECT_TRUE(c.VarNames.empty());
    EXPECT_EQ(redraws, 0);
}

TEST_F(LogicTest, ConversionErrorInHeaderPlacesNothing) {
    test::writeDefinition(dir.path(), "BADX", {"-X", "vier", "---"});
    TLogic fresh(dir.path(), port);
    fresh.NewProject();
    EXPECT_THROW(fresh.Add_objekt("BADX", "", 0, 0), ConversionError);
    EXPECT_EQ(fresh.Components.Count(), 0);
}

TEST_F(LogicTest, TooManyPinsRejectsTheDefinitionBeforePlacement) {
    test::writeDefinition(dir.path(), "BIG", {"-IN", "12", "---"});
    TLogic fresh(dir.path(), port);
    fresh.NewProject();
    EXPECT_THROW(fresh.Add_objekt("BIG", "", 0, 0), Error);
    EXPECT_EQ(fresh.Components.Count(), 0);
}

TEST_F(LogicTest, WireRouting) {
    struct Case {
        int outLeft, outTop, inLeft, inTop;
        std::vector<TPointEx> points;
    };
    // Output component width 4 => output pin at ((left+4)*10, (top+1)*10).
    const Case cases[] = {
        {5, 5, 20, 5, {{140, 60}, {140, 60}}},
        {5, 5, 20, 7, {{140, 60}, {140, 80}}},
        {5, 5, 5, 10, {{110, 60}, {110, 80}, {30, 80}, {30, 110}}},    // same column
        {20, 10, 5, 3, {{260, 110}, {260, 70}, {30, 70}, {30, 40}}},   // input further left, above
        {20, 10, 5, 10, {{260, 110}, {260, 110}, {30, 110}, {30, 110}}},
    };
    for (const auto& c : cases) {
        logic->Init();
        place("SRC1", c.outLeft, c.outTop);
        place("DST1", c.inLeft, c.inTop);
        EXPECT_EQ(logic->add_verbinder("SRC1", 0, 0, "DST1"), 1);
        EXPECT_EQ(logic->Wires.Items(0).Points, c.points) << c.outLeft << "," << c.inLeft;
    }
}

TEST_F(LogicTest, RoutingUsesTruncatingDivision) {
    place("SRC1", 5, 5);  // output pin (90, 60)
    place("DST1", 20, 5); // input pin (200, 60) … move it to an odd distance
    logic->Components.Items(1).Left = 21; // input pin (210, 60): (210-90) div 2 + 90 = 150
    logic->add_verbinder("SRC1", 0, 0, "DST1");
    EXPECT_EQ(logic->Wires.Items(0).Points[0].X, 150);
    logic->Init();
    place("SRC1", 10, 10); // output (140, 110)
    place("DST1", 2, 1);   // input (20, 20): (20-110) div 2 = -45 -> 65 div 10 * 10 = 60
    logic->add_verbinder("SRC1", 0, 0, "DST1");
    EXPECT_EQ(logic->Wires.Items(0).Points[1].Y, 60);
}

TEST_F(LogicTest, SecondWireToAnInputIsRefused) {
    place("A1", 1, 1);
    place("B1", 20, 1);
    EXPECT_EQ(logic->add_verbinder("A1", 0, 2, "B1"), 1);
    EXPECT_EQ(logic->add_verbinder("A1", 0, 2, "B1"), -1);
    EXPECT_EQ(port.texts(), (std::vector<std::string>{"Es kann zu jedem Eingang nur eine Verbindung gebaut werden."}));
    EXPECT_EQ(logic->Wires.Count(), 1);
    EXPECT_EQ(logic->add_verbinder("A1", 0, 1, "B1"), 2);
    EXPECT_TRUE(logic->IsInputConnected("B1", 1));
    EXPECT_FALSE(logic->IsInputConnected("B1", 3));
}

TEST_F(LogicTest, WireToMissingComponentOrPinCreatesNothing) {
    place("A1", 1, 1);
    EXPECT_EQ(logic->add_verbinder("A1", 0, 0, "NIX"), -1);
    EXPECT_EQ(logic->add_verbinder("A1", 5, 0, "A1"), -1);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_EQ(logic->add_verbinder("A1", 0, 0, "A1"), 1); // to itself is allowed
}

TEST_F(LogicTest, MovingVerticallyShiftsFirstAndLastPoints) {
    place("A1", 5, 10);
    place("B1", 20, 10);
    place("C1", 40, 10);
    logic->add_verbinder("A1", 0, 0, "B1");
    logic->add_verbinder("B1", 0, 0, "C1");
    const auto before0 = logic->Wires.Items(0).Points;
    const auto before1 = logic->Wires.Items(1).Points;
    logic->verschieben(1, 0, -3);
    EXPECT_EQ(logic->Wires.Items(0).Points[0], before0[0]);
    EXPECT_EQ(logic->Wires.Items(0).Points[1].Y, before0[1].Y - 30); // last point of the wire entering B1
    EXPECT_EQ(logic->Wires.Items(1).Points[0].Y, before1[0].Y - 30); // first point of the wire leaving B1
    EXPECT_EQ(logic->Wires.Items(1).Points[1], before1[1]);
    logic->verschieben(1, 7, 0);
    EXPECT_EQ(logic->Components.Items(1).Left, 27);
    EXPECT_EQ(logic->Wires.Items(1).Points[0].Y, before1[0].Y - 30);
}

TEST_F(LogicTest, MovingIsClampedToTheDocument) {
    place("A1", 5, 5, 4, 5);
    logic->verschieben(0, -100, -100);
    EXPECT_EQ(logic->Components.Items(0).Left, 1);
    EXPECT_EQ(logic->Components.Items(0).Top, 1);
    logic->verschieben(0, 1000, 1000);
    EXPECT_EQ(logic->Components.Items(0).Left, 195);
    EXPECT_EQ(logic->Components.Items(0).Top, 195);
    logic->verschieben(7, 1, 1); // no such index: nothing
}

TEST_F(LogicTest, DraggingASegmentMovesItPerpendicularlyOnTheGrid) {
    struct Case {
        std::vector<TPointEx> points;
        TPoint mouse;
        std::vector<TPointEx> expected;
    };
    const std::vector<TPointEx> vertical{{100, 50}, {100, 150}};
    const std::vector<TPointEx> horizontal{{100, 50}, {200, 50}};
    const Case cases[] = {
        {vertical, {15, 80}, {{70, 50}, {70, 150}}},         // clamped to 70
        {vertical, {125, 80}, {{120, 50}, {120, 150}}},      // 12.5 rounds to 12
        {vertical, {135, 80}, {{140, 50}, {140, 150}}},      // 13.5 rounds to 14
        {vertical, {100, 80}, vertical},                     // no horizontal movement
        {vertical, {1990, 80}, {{1930, 50}, {1930, 150}}},   // clamped to 2000 - 70
        {horizontal, {150, 75}, {{100, 80}, {200, 80}}},     // 7.5 rounds to 8
        {horizontal, {150, 65}, {{100, 60}, {200, 60}}},     // 6.5 rounds to 6
        {horizontal, {150, -20}, {{100, 0}, {200, 0}}},
        {{{100, 50}, {100, 50}}, {150, 90}, {{100, 50}, {100, 50}}}, // coinciding points stay
        {{{100, 50}, {150, 90}}, {120, 120}, {{100, 50}, {150, 90}}}, // diagonal stays
    };
    for (const auto& c : cases) {
        logic->Init();
        TWire& w = logic->Wires.AddWire("A", 0, 0, "B");
        w.Points = c.points;
        logic->move_verbindungsknoten_to(0, 0, c.mouse);
        EXPECT_EQ(logic->Wires.Items(0).Points, c.expected) << c.mouse.x << "," << c.mouse.y;
    }
}

TEST_F(LogicTest, SelectedSegmentMovesThroughTheSelection) {
    TWire& w = logic->Wires.AddWire("A", 0, 0, "B");
    w.Points = {{100, 50}, {200, 50}, {200, 150}};
    logic->Select_Verbinder({0, 1, 200, 150, 1});
    logic->move_SEL_verbindungsknoten_to({300, 100});
    EXPECT_EQ(logic->Wires.Items(0).Points, (std::vector<TPointEx>{{100, 50}, {300, 50}, {300, 150}}));
    logic->move_verbindungsknoten_to(0, 2, {500, 500}); // no point after the last: nothing
    logic->move_verbindungsknoten_to(3, 0, {500, 500}); // no such wire
    EXPECT_EQ(logic->Wires.Items(0).Points, (std::vector<TPointEx>{{100, 50}, {300, 50}, {300, 150}}));
}

TEST_F(LogicTest, SplittingSegments) {
    struct Case {
        std::vector<TPointEx> points;
        TPoint mouse;
        std::vector<TPointEx> expected;
    };
    const Case cases[] = {
        {{{100, 50}, {200, 50}, {200, 150}}, {150, 50}, {{100, 50}, {110, 50}, {110, 60}, {200, 60}, {200, 150}}},
        {{{100, 50}, {100, 150}, {200, 150}}, {100, 100}, {{100, 50}, {100, 60}, {110, 60}, {110, 150}, {200, 150}}},
        {{{100, 50}, {200, 50}}, {150, 300}, {{100, 50}, {200, 50}}}, // nothing under the mouse
    };
    for (const auto& c : cases) {
        logic->Init();
        logic->Wires.AddWire("A", 0, 0, "B").Points = c.points;
        logic->MousePos = c.mouse;
        logic->SplitSegment(logic->get_verbindung());
        EXPECT_EQ(logic->Wires.Items(0).Points, c.expected);
    }
}

TEST_F(LogicTest, PointOperationsRoundDownAndInsertAfter) {
    TWire& w = logic->Wires.AddWire("A", 0, 0, "B");
    w.Points = {{100, 50}, {200, 50}};
    logic->move_verbinder_to_point(0, 1, {209, 57});
    logic->Kopiere_Verbinder(0, 0, 5, -5);
    EXPECT_EQ(logic->Wires.Items(0).Points, (std::vector<TPointEx>{{100, 50}, {105, 45}, {200, 50}}));
    logic->Wires.Items(0).InsertPoint(-1, 1, 2);
    logic->Wires.Items(0).InsertPoint(0, 3, 4);
    logic->Wires.Items(0).DeletePoint(2);
    EXPECT_EQ(logic->Wires.Items(0).Points, (std::vector<TPointEx>{{3, 4}, {100, 50}, {200, 50}, {1, 2}}));
}

TEST_F(LogicTest, DeletingAComponentRemovesItsWiresButNotTheSelection) {
    place("A1", 1, 1);
    place("B1", 20, 1);
    place("C1", 40, 1);
    logic->add_verbinder("A1", 0, 0, "B1");
    logic->add_verbinder("B1", 0, 0, "C1");
    logic->add_verbinder("A1", 0, 1, "C1");
    logic->Select_Objekt("B1");
    logic->delete_sel_objekt();
    EXPECT_EQ(names(), (std::vector<std::string>{"A1", "C1"}));
    ASSERT_EQ(logic->Wires.Count(), 1);
    EXPECT_EQ(logic->Wires.Items(0).InputID, 1);
    EXPECT_EQ(logic->get_Sel_Objekt(), "B1");
    logic->delete_("NIX");
    EXPECT_EQ(logic->Components.Count(), 2);
}

TEST_F(LogicTest, DeletingPinWiresAndSelectedWire) {
    place("A1", 1, 1);
    place("B1", 20, 1);
    logic->add_verbinder("A1", 0, 0, "B1");
    logic->add_verbinder("A1", 0, 1, "B1");
    logic->add_verbinder("A1", 0, 2, "B1");
    TVerknuepfer pin;
    pin.Name = "B1";
    pin.IsInput = 1;
    pin.Pin = 1;
    logic->delete_verknuepfer(pin);
    ASSERT_EQ(logic->Wires.Count(), 2);
    logic->SelectedWire = 0;
    logic->delete_Sel_Verbindung();
    EXPECT_EQ(logic->SelectedWire, 0); // the next wire moves into the index
    EXPECT_EQ(logic->Wires.Items(0).InputID, 2);
    logic->SelectedWire = 5;
    logic->delete_Sel_Verbindung();
    EXPECT_EQ(logic->Wires.Count(), 1);
    pin.Name = "A1";
    pin.IsInput = 0;
    pin.Pin = 0;
    logic->delete_verknuepfer(pin);
    EXPECT_EQ(logic->Wires.Count(), 0);
}

TEST_F(LogicTest, SelectingAComponentOrAWireClearsTheOther) {
    logic->Select_Verbinder({3, 2, 0, 0, 1});
    EXPECT_EQ(logic->SelectedWire, 3);
    EXPECT_EQ(logic->SelectedNode, 2);
    logic->Select_Objekt("AND1");
    EXPECT_EQ(logic->SelectedWire, -1);
    EXPECT_EQ(logic->SelectedObject, "AND1");
    logic->Select_Verbinder({1, 0, 0, 0, 2});
    EXPECT_EQ(logic->SelectedObject, "");
}

TEST_F(LogicTest, ComponentHitTestIncludesEdgesAndTheLastWins) {
    place("A1", 10, 10, 4, 5);
    place("B1", 12, 12, 4, 5);
    struct Case {
        int x, y;
        const char* name;
    };
    const Case cases[] = {{100, 100, "A1"}, {140, 150, "B1"}, {99, 100, "--"}, {141, 120, "B1"},
                          {125, 125, "B1"}, {110, 110, "A1"}, {160, 170, "B1"}, {161, 170, "--"}};
    for (const auto& c : cases) EXPECT_EQ(logic->objekt_an_position(c.x, c.y), c.name) << c.x << "," << c.y;
}

TEST_F(LogicTest, PinHitTestToleranceIsAsymmetric) {
    place("A1", 10, 10, 4, 5, 4, 1); // input 0 at (100, 110), output 0 at (140, 110)
    struct Case {
        int x, y;
        int pin;
        int isInput;
    };
    const Case cases[] = {
        {95, 110, 0, 1},  {94, 110, 255, 0}, {105, 110, 0, 1},  {106, 110, 255, 0}, {100, 100, 0, 1},
        {100, 115, 0, 1}, {100, 116, 1, 1},  {100, 99, 255, 0}, {130, 110, 0, 0},   {145, 110, 0, 0},
        {129, 110, 255, 0}, {146, 110, 255, 0}, {100, 120, 1, 1}, {100, 140, 3, 1},
    };
    for (const auto& c : cases) {
        const TVerknuepfer v = logic->verknuepfer_an_position(c.x, c.y);
        EXPECT_EQ(v.Pin, c.pin) << c.x << "," << c.y;
        if (c.pin != 255) {
            EXPECT_EQ(v.Name, "A1");
            EXPECT_EQ(v.IsInput, c.isInput) << c.x << "," << c.y;
        } else {
            EXPECT_EQ(v.Name, "--");
        }
    }
    const TVerknuepfer out = logic->verknuepfer_an_position(140, 110);
    EXPECT_EQ(out.X, 140);
    EXPECT_EQ(out.Y, 110);
}

TEST_F(LogicTest, PinHitTestExaminesOnlyTheFirstWidenedComponent) {
    place("A1", 10, 10, 4, 5, 4, 1);  // widened rectangle reaches x 150, y 160
    place("B1", 15, 10, 4, 5, 4, 1);  // input 0 at (150, 110)
    EXPECT_EQ(logic->verknuepfer_an_position(148, 110).Name, "--");
    EXPECT_EQ(logic->verknuepfer_an_position(150, 110).Name, "--"); // still inside A1's widened rectangle
    EXPECT_EQ(logic->verknuepfer_an_position(151, 110).Name, "B1");
}

TEST_F(LogicTest, WireHitTest) {
    logic->Wires.AddWire("A", 0, 0, "B").Points = {{100, 50}, {100, 150}, {200, 150}, {200, 150}};
    logic->Wires.AddWire("C", 0, 0, "D").Points = {{0, 300}, {100, 300}, {300, 400}};
    struct Case {
        int x, y;
        int wire, node, kind;
    };
    const Case cases[] = {
        {103, 47, 0, 0, 1},  {104, 100, -1, 0, 0}, {97, 153, 0, 0, 1},   {150, 153, 0, 1, 2},
        {150, 154, -1, 0, 0}, {99, 150, 0, 0, 1},  {201, 150, 0, 2, 1},  {203, 153, 0, 2, 1},
        {50, 300, -1, 0, 0},  // a segment starting at x = 0 is never hit
        {200, 350, -1, 0, 0}, // diagonal
    };
    for (const auto& c : cases) {
        logic->MousePos = {c.x, c.y};
        const TVerbindung v = logic->get_verbindung();
        EXPECT_EQ(v.Wire, c.wire) << c.x << "," << c.y;
        if (c.wire >= 0) {
            EXPECT_EQ(v.Node, c.node) << c.x << "," << c.y;
            EXPECT_EQ(v.Kind, c.kind) << c.x << "," << c.y;
        }
    }
    logic->MousePos = {150, 150};
    const TVerbindung h = logic->get_verbindung();
    EXPECT_EQ(h.X, 200);
    EXPECT_EQ(h.Y, 150);
}

TEST_F(LogicTest, HorizontalSegmentHasNoToleranceAlongItself) {
    logic->Wires.AddWire("A", 0, 0, "B").Points = {{100, 50}, {200, 50}};
    logic->MousePos = {100, 53};
    EXPECT_EQ(logic->get_verbindung().Wire, 0);
    logic->MousePos = {98, 50};
    EXPECT_EQ(logic->get_verbindung().Wire, -1);
}

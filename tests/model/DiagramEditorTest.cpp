// The gestures of the drawing area, without a window.
#include "EditorTestFixture.h"

namespace v7300::test {
namespace {

TEST_F(EditorTest, DropIsAcceptedOnlyInsideTheLimitsAndPlacesOnTheGrid) {
    struct Case {
        int x, y;
        bool accepted;
    };
    for (const Case c : {Case{55, 100, false},
                         {59, 100, false},
                         {60, 100, true},
                         {1940, 100, true},
                         {1950, 100, false},
                         {300, 599, true},
                         {300, 600, false}})
        EXPECT_EQ(editor->DropAccepted(c.x, c.y), c.accepted) << c.x << "," << c.y;
    editor->ScrollVertically(2);
    editor->Drop("OR", 305, 252);
    ASSERT_EQ(logic->Components.Count(), 1);
    EXPECT_EQ(Comp("OR1").Left, 30);
    EXPECT_EQ(Comp("OR1").Top, 25 + 4); // 40 pixels scrolled: 4 grid cells
    EXPECT_TRUE(editor->Modified());
    editor->Drop("OR", 55, 100);
    EXPECT_EQ(logic->Components.Count(), 1);
}

TEST_F(EditorTest, PaletteDoubleClickPlacesAtTheDefaultPlaceAsOneStep) {
    editor->PaletteDoubleClick("AND");
    ASSERT_EQ(logic->Components.Count(), 1);
    EXPECT_EQ(Comp("AND1").Left, 7);
    EXPECT_EQ(Comp("AND1").Top, 3);
    EXPECT_TRUE(editor->Modified());
    editor->Undo();
    EXPECT_EQ(logic->Components.Count(), 0);
    EXPECT_FALSE(editor->Modified());
}

TEST_F(EditorTest, WireIsDrawnFromPinToPinInEitherDirection) {
    Place("IN", 20, 10);
    Place("INV", 40, 10);
    const TPinPos out = Comp("IN1").OutputPixel(0);
    const TPinPos in = Comp("INV1").InputPixel(0);
    for (const bool fromOutput : {true, false}) {
        const TPinPos a = fromOutput ? out : in;
        const TPinPos b = fromOutput ? in : out;
        Press(a.x, a.y);
        EXPECT_TRUE(logic->Dragging);
        EXPECT_EQ(editor->Cursor(), TCursorShape::Cross);
        Move(b.x, b.y);
        Release(b.x, b.y);
        ASSERT_EQ(logic->Wires.Count(), 1) << fromOutput;
        EXPECT_EQ(logic->Wires.Items(0).Output, "IN1");
        EXPECT_EQ(logic->Wires.Items(0).Input, "INV1");
        EXPECT_FALSE(logic->Dragging);
        EXPECT_EQ(editor->Cursor(), TCursorShape::Arrow);
        editor->Undo();
        EXPECT_EQ(logic->Wires.Count(), 0);
    }
}

TEST_F(EditorTest, WireBetweenTwoInputsOrReleasedBesideAPinIsNotAdded) {
    Place("INV", 20, 10);
    Place("INV", 40, 10);
    const TPinPos a = Comp("INV1").InputPixel(0);
    const TPinPos b = Comp("INV2").InputPixel(0);
    Drag(a.x, a.y, b.x, b.y);
    Drag(a.x, a.y, 700, 500);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_FALSE(logic->Dragging);
    EXPECT_EQ(editor->History().Steps(), 3u); // the two placements only
}

TEST_F(EditorTest, ObjectDragMovesByRoundedGridCellsWithHalvesToEvenAsOneStep) {
    struct Case {
        int dx, cells;
    };
    for (const Case c : {Case{14, 1}, {15, 2}, {25, 2}, {-15, -2}}) {
        logic->Init();
        Place("AND", 20, 20);
        editor->ResetHistory();
        // Pressed inside the body, away from the pins; the steps of one drag are one undo step.
        Press(220, 230);
        Move(220 + c.dx, 230);
        Move(220 + c.dx, 245);
        Release(220 + c.dx, 245);
        EXPECT_EQ(Comp("AND1").Left, 20 + c.cells) << c.dx;
        EXPECT_EQ(Comp("AND1").Top, 22) << c.dx;
        EXPECT_EQ(editor->History().Steps(), 2u) << c.dx;
        editor->Undo();
        EXPECT_EQ(Comp("AND1").Left, 20) << c.dx;
    }
}

TEST_F(EditorTest, PressOnAComponentStartsADragEvenWhereAWireRunsOverIt) {
    Place("IN", 30, 10);
    Place("INV", 5, 20);
    Wire("IN1", "INV1"); // routed back along y = 160
    Place("AND", 15, 12);
    logic->MousePos = {170, 160};
    ASSERT_GE(logic->get_verbindung().Wire, 0);
    Press(170, 160);
    EXPECT_TRUE(editor->ObjectDragActive());
    EXPECT_FALSE(editor->NodeDragActive());
    EXPECT_EQ(logic->SelectedObject, "AND1");
}

TEST_F(EditorTest, NodeDragMovesTheSelectedSegmentAsOneStep) {
    Place("IN", 5, 10);
    Place("INV", 30, 10);
    Place("INV", 30, 20);
    Wire("IN1", "INV2");
    const TWire before = logic->Wires.Items(0);
    const int x = before.Points[0].X; // the vertical segment between the two bend points
    Press(x, 150);
    EXPECT_TRUE(editor->NodeDragActive());
    EXPECT_EQ(logic->SelectedWire, 0);
    Move(x + 20, 150);
    Move(x + 40, 150);
    Release(x + 40, 150);
    EXPECT_EQ(logic->Wires.Items(0).Points[0].X, x + 40);
    editor->Undo();
    EXPECT_EQ(logic->Wires.Items(0), before);
}

TEST_F(EditorTest, RightClickOffersThePopUpsOrRemovesAPinsWires) {
    Place("IN", 5, 10);
    Place("INV", 30, 10);
    Place("INV", 30, 20);
    Wire("IN1", "INV2");
    const int x = logic->Wires.Items(0).Points[0].X;
    EXPECT_EQ(Press(x, 150, TMouseButton::Right), TPopupMenu::Wire);
    EXPECT_EQ(Press(310, 118, TMouseButton::Right), TPopupMenu::Component);
    EXPECT_EQ(logic->SelectedObject, "INV1");
    const TPinPos pin = Comp("INV2").InputPixel(0);
    EXPECT_EQ(Press(pin.x, pin.y, TMouseButton::Right), TPopupMenu::None);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_TRUE(port.messages.empty());
    editor->Undo();
    EXPECT_EQ(logic->Wires.Count(), 1);
    EXPECT_EQ(Press(700, 500, TMouseButton::Right), TPopupMenu::None);
}

TEST_F(EditorTest, PopUpDeleteAndTeilenAreUndoableSteps) {
    Place("IN", 5, 10);
    Place("INV", 30, 20);
    Wire("IN1", "INV1");
    const int x = logic->Wires.Items(0).Points[0].X;
    Move(x, 150);
    editor->SplitWire();
    EXPECT_EQ(logic->Wires.Items(0).PointCount(), 4);
    Press(310, 218, TMouseButton::Right);
    editor->DeleteSelected();
    EXPECT_EQ(logic->Components.Count(), 1);
    EXPECT_EQ(logic->Wires.Count(), 0);
    editor->Undo();
    EXPECT_EQ(logic->Wires.Items(0).PointCount(), 4);
    editor->Undo();
    EXPECT_EQ(logic->Wires.Items(0).PointCount(), 2);
}

TEST_F(EditorTest, DeleteKeyAsksOnceForTheSelectionAndDeletesOnlyOnYes) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    Place("AND", 50, 10);
    logic->Select_Objekte({"AND1", "AND3"});
    port.answerNext(MbNo);
    editor->KeyDown(TEditorKey::Delete);
    EXPECT_EQ(logic->Components.Count(), 3);
    port.answerNext(MbYes);
    editor->KeyDown(TEditorKey::Delete);
    ASSERT_EQ(port.messages.size(), 2u);
    EXPECT_EQ(port.messages[1].caption, "Löschen");
    EXPECT_EQ(port.messages[1].text, "Objekt Löschen?");
    ASSERT_EQ(logic->Components.Count(), 1);
    EXPECT_EQ(logic->Components.Items(0).Name, "AND2");
    editor->Undo();
    EXPECT_EQ(logic->Components.Count(), 3);
}

TEST_F(EditorTest, DeleteKeyRemovesTheSelectedWireWithoutAsking) {
    Place("IN", 5, 10);
    Place("INV", 30, 20);
    Wire("IN1", "INV1");
    Press(logic->Wires.Items(0).Points[0].X, 150);
    Release(logic->Wires.Items(0).Points[0].X, 150);
    editor->KeyDown(TEditorKey::Delete);
    EXPECT_EQ(logic->Wires.Count(), 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(EditorTest, DoubleClickOpensTheDialogAndIgnoresTheNextPress) {
    Place("AND", 10, 10);
    Press(120, 130);
    Release(120, 130);
    editor->DoubleClick();
    EXPECT_EQ(edited, std::vector<int>{0});
    EXPECT_TRUE(editor->IgnoreNextMouseDown());
    Press(700, 500);
    EXPECT_EQ(logic->SelectedObject, "AND1"); // the press was ignored
    Press(700, 500);
    EXPECT_EQ(logic->SelectedObject, "");
}

TEST_F(EditorTest, CtrlAndTheKeyLetterOnReleaseOpenTheDialogAndClearTheSelection) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    logic->Select_Objekt("AND2");
    EXPECT_FALSE(editor->KeyUp('E', false));
    EXPECT_FALSE(editor->KeyUp('F', true));
    editor->KeyLetter = 'e';
    EXPECT_TRUE(editor->KeyUp('E', true));
    EXPECT_EQ(edited, std::vector<int>{1});
    EXPECT_EQ(logic->SelectedObject, "");
}

TEST_F(EditorTest, ParameterDialogChangesAreOneStepAndNoChangeIsNone) {
    Place("NUM", 10, 10);
    editor->OnEditParameters = [this](int index) {
        logic->Components.Items(index).Variables.Items(0).SetValue("7");
    };
    editor->EditParameters(0);
    editor->EditParameters(0);
    EXPECT_EQ(editor->History().Steps(), 3u);
    editor->Undo();
    EXPECT_EQ(Comp("NUM1").Variables.Items(0).GetValue(), "0");
}

TEST_F(EditorTest, ArrowKeysScrollOneStepAndStopAtTheEnds) {
    editor->Layout(800, 600, 700); // horizontal range 0 … 61, vertical 0 … 68
    EXPECT_EQ(editor->HorizontalBar().Max, (2000 - 800 + 25) / 20);
    EXPECT_TRUE(editor->KeyDown(TEditorKey::Left));
    EXPECT_EQ(editor->ScrollOffset().x, 0);
    editor->KeyDown(TEditorKey::Right);
    editor->KeyDown(TEditorKey::Down);
    EXPECT_EQ(editor->ScrollOffset(), (TPoint{20, 20}));
    for (int i = 0; i < 100; ++i)
        editor->KeyDown(TEditorKey::Right);
    EXPECT_EQ(editor->HorizontalBar().Position, editor->HorizontalBar().Max);
    EXPECT_FALSE(editor->KeyDown(TEditorKey::Other));
}

TEST_F(EditorTest, WheelScrollsOnlyOverTheAreaAndZoomsWithCtrl) {
    EXPECT_FALSE(editor->Wheel(900, 100, -120, false));
    EXPECT_TRUE(editor->Wheel(100, 100, -120, false));
    EXPECT_EQ(editor->ScrollOffset().y, 20);
    EXPECT_TRUE(editor->Wheel(100, 100, 120, false));
    EXPECT_EQ(editor->ScrollOffset().y, 0);
    EXPECT_TRUE(editor->Wheel(400, 300, 120, true));
    EXPECT_EQ(editor->ZoomPercent(), 125);
    // The document point under the pointer stays there, to the scroll step.
    const TPoint under = editor->ToDocument(400, 300);
    EXPECT_NEAR(under.x, 400, 16);
    EXPECT_NEAR(under.y, 300, 16);
}

TEST_F(EditorTest, EdgeAutoScrollFollowsTheSettingOneStepPerMove) {
    Move(790, 300);
    Move(790, 300);
    EXPECT_EQ(editor->HorizontalBar().Position, 2);
    logic->AutoScroll = false;
    Move(790, 300);
    EXPECT_EQ(editor->HorizontalBar().Position, 2);
    EXPECT_EQ(logic->MousePos, (TPoint{790 + 40, 300}));
}

TEST_F(EditorTest, WorldThatFitsDisablesTheBarsAndResetsTheOffset) {
    editor->ScrollHorizontally(3);
    editor->Layout(2100, 2100, 2200);
    EXPECT_FALSE(editor->HorizontalBar().Enabled);
    EXPECT_EQ(editor->HorizontalBar().Max, 0);
    EXPECT_EQ(editor->ScrollOffset(), (TPoint{0, 0}));
}

TEST_F(EditorTest, WhileSimulatingAClickTogglesINnAndNothingElseActs) {
    Place("IN", 10, 10);
    Place("INV", 30, 10);
    FakeSimulation sim;
    logic->Simulation = &sim;
    const TDiagramContent before = logic->Content();
    Press(120, 115);
    Press(320, 115);
    EXPECT_EQ(toggled, std::vector<int>{1});
    // A right click asks for the simulation's pop-up of the component, and selects nothing.
    EXPECT_EQ(Press(120, 115, TMouseButton::Right), TPopupMenu::Simulation);
    EXPECT_EQ(editor->PopupComponent(), "IN1");
    EXPECT_EQ(Press(700, 700, TMouseButton::Right), TPopupMenu::None);
    Drag(500, 500, 120, 115);
    editor->KeyDown(TEditorKey::Delete);
    editor->Drop("AND", 300, 300);
    EXPECT_EQ(logic->Content(), before);
    EXPECT_FALSE(editor->CanUndo());
    EXPECT_FALSE(editor->CanSelectAll());
    EXPECT_FALSE(editor->CanFind());
    EXPECT_FALSE(editor->CanPaste(true));
}

} // namespace
} // namespace v7300::test

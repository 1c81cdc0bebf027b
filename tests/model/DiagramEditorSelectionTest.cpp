// Selection of several components, copy and paste, find and zoom of the editor.
#include "EditorTestFixture.h"

namespace v7300::test {
namespace {

using Names = std::set<std::string>;

TEST_F(EditorTest, RubberBandSelectsWhatItTouchesAndShiftKeepsTheSelection) {
    Place("AND", 10, 10); // 100 … 140 × 100 … 150
    Place("AND", 30, 10); // 300 … 340
    Place("AND", 60, 10); // 600 … 640
    Press(50, 50);
    Move(310, 120);
    EXPECT_TRUE(logic->RubberBandShown);
    Release(310, 120);
    EXPECT_FALSE(logic->RubberBandShown);
    EXPECT_EQ(logic->Selection, (Names{"AND1", "AND2"}));
    EXPECT_EQ(logic->SelectedObject, "AND1");
    Press(700, 300, TMouseButton::Left, true);
    Move(630, 140);
    Release(630, 140);
    EXPECT_EQ(logic->Selection, (Names{"AND1", "AND2", "AND3"}));
    Drag(700, 300, 690, 290);
    EXPECT_TRUE(logic->Selection.empty());
    EXPECT_EQ(editor->History().Steps(), 4u); // selecting is no step
}

TEST_F(EditorTest, ShiftClickAddsAndRemovesOneComponent) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    Press(120, 130);
    Release(120, 130);
    Press(320, 130, TMouseButton::Left, true);
    Release(320, 130);
    EXPECT_EQ(logic->Selection, (Names{"AND1", "AND2"}));
    Press(120, 130, TMouseButton::Left, true);
    Release(120, 130);
    EXPECT_EQ(logic->Selection, (Names{"AND2"}));
    EXPECT_EQ(logic->SelectedObject, "AND2");
}

TEST_F(EditorTest, DraggingOneOfSeveralMovesThemAllWithTheirWiresAsOneStep) {
    Place("AND", 10, 10);
    Place("AND", 30, 20);
    Place("INV", 60, 40);
    Wire("AND1", "AND2");
    Wire("AND2", "INV1");
    const TWire inner = logic->Wires.Items(0);
    logic->Select_Objekte({"AND1", "AND2"});
    Press(320, 230);
    Move(340, 230);
    Move(340, 260);
    Release(340, 260);
    EXPECT_EQ(Comp("AND1").Left, 12);
    EXPECT_EQ(Comp("AND2").Top, 23);
    EXPECT_EQ(Comp("INV1").Left, 60);
    for (std::size_t i = 0; i < inner.Points.size(); ++i)
        EXPECT_EQ(logic->Wires.Items(0).Points[i],
                  (TPointEx{inner.Points[i].X + 20, inner.Points[i].Y + 30}));
    EXPECT_EQ(logic->Selection, (Names{"AND1", "AND2"}));
    editor->Undo();
    EXPECT_EQ(Comp("AND1").Left, 10);
    EXPECT_EQ(logic->Wires.Items(0), inner);
    EXPECT_EQ(Comp("AND2").Top, 20);
}

TEST_F(EditorTest, GroupDragStopsAtTheDocumentEdgeWithoutDeformingTheGroup) {
    Place("AND", 3, 10);
    Place("AND", 30, 10);
    logic->Select_Objekte({"AND1", "AND2"});
    Press(320, 130);
    Move(240, 130);
    Release(240, 130);
    EXPECT_EQ(Comp("AND1").Left, 1);
    EXPECT_EQ(Comp("AND2").Left, 28);
}

TEST_F(EditorTest, ClickWithoutMoveOnOneOfSeveralSelectsItAlone) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    editor->SelectAll();
    Press(320, 130);
    Release(320, 130);
    EXPECT_EQ(logic->Selection, (Names{"AND2"}));
    EXPECT_EQ(logic->SelectedObject, "AND2");
}

TEST_F(EditorTest, PasteGivesNewNamesRepointsTheWiresAndSelectsTheCopies) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    Place("NUM", 50, 10);
    Place("AND", 70, 10); // AND3 stays out of the copy
    Wire("AND1", "AND2");
    Wire("NUM1", "AND3");
    logic->Components.Items(2).Variables.Items(0).SetValue("42");
    editor->Commit();
    logic->Select_Objekte({"AND1", "AND2", "NUM1"});
    const TDiagramFragment fragment = editor->Copy();
    ASSERT_EQ(fragment.Components.size(), 3u);
    ASSERT_EQ(fragment.Wires.size(), 1u);
    logic->delete_("AND1"); // leaves a gap that the naming rule fills first
    editor->Commit();
    editor->MouseLeave();
    editor->Paste(fragment);
    EXPECT_EQ(logic->Selection, (Names{"AND1", "AND4", "NUM2"}));
    EXPECT_EQ(Comp("AND1").Left, 12);
    EXPECT_EQ(Comp("AND1").Top, 12);
    EXPECT_EQ(Comp("AND4").Left, 32);
    EXPECT_EQ(Comp("NUM2").Variables.Items(0).GetValue(), "42");
    ASSERT_EQ(logic->Wires.Count(), 2);
    const TWire& copy = logic->Wires.Items(1);
    EXPECT_EQ(copy.Output, "AND1");
    EXPECT_EQ(copy.Input, "AND4");
    EXPECT_EQ(copy.Points[0].X, fragment.Wires[0].Points[0].X + 20);
    editor->Undo();
    EXPECT_EQ(logic->Components.Count(), 3);
}

TEST_F(EditorTest, PasteGoesToThePointerOverTheAreaAndStaysInsideTheDocument) {
    Place("AND", 10, 10);
    logic->Select_Objekt("AND1");
    const TDiagramFragment fragment = editor->Copy();
    Move(505, 307);
    editor->Paste(fragment);
    EXPECT_EQ(Comp("AND2").Left, 50);
    EXPECT_EQ(Comp("AND2").Top, 30);
    editor->ScrollHorizontally(61);
    Move(795, 307); // beyond the document's right edge at this scroll position
    editor->Paste(fragment);
    EXPECT_EQ(Comp("AND3").Left, 200 - 1 - 4);
}

TEST_F(EditorTest, PasteOfAnUnknownTypeLeavesTheDocumentUnchanged) {
    Place("AND", 10, 10);
    TDiagramFragment fragment;
    fragment.Components.push_back({"AND7", "AND", 10, 10, {}});
    fragment.Components.push_back({"X1", "NOSUCHTYPE", 20, 10, {}});
    const TDiagramContent before = logic->Content();
    editor->Paste(fragment);
    EXPECT_EQ(logic->Content(), before);
    EXPECT_EQ(editor->History().Steps(), 2u);
    ASSERT_FALSE(port.messages.empty());
    EXPECT_EQ(port.messages.back().text, "Der Baustein NOSUCHTYPE konnte nicht gefunden werden!");
}

TEST_F(EditorTest, CutRemovesTheSelectionAsOneStep) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    Wire("AND1", "AND2");
    editor->SelectAll();
    const TDiagramFragment cut = editor->Cut();
    EXPECT_EQ(cut.Components.size(), 2u);
    EXPECT_EQ(logic->Components.Count(), 0);
    EXPECT_FALSE(editor->CanCopy());
    editor->Undo();
    EXPECT_EQ(logic->Components.Count(), 2);
    EXPECT_EQ(logic->Wires.Count(), 1);
}

TEST_F(EditorTest, FindIgnoresCaseWrapsAroundAndSaysWhatItDidNotFind) {
    Place("AND", 10, 10);
    Place("TIMER", 30, 10);
    Place("AND", 150, 150); // out of view
    EXPECT_EQ(editor->Find("and"), "");
    EXPECT_EQ(logic->SelectedObject, "AND1");
    EXPECT_EQ(editor->FindNext(), "");
    EXPECT_EQ(logic->SelectedObject, "AND2");
    EXPECT_GT(editor->ScrollOffset().x, 0);
    const TPoint shown = editor->ToDocument(0, 0);
    EXPECT_LE(shown.x, 1500);
    EXPECT_GE(shown.x + 800, 1540);
    EXPECT_EQ(editor->FindNext(), "");
    EXPECT_EQ(logic->SelectedObject, "AND1");
    EXPECT_EQ(editor->Find("xyz"), "Nicht gefunden: xyz");
    EXPECT_EQ(logic->SelectedObject, "AND1");
    // Ctrl + key letter opens the found component's dialog as for a clicked one.
    int opened = -1;
    editor->OnEditParameters = [&](int index) { opened = index; };
    editor->Find("and");
    editor->FindNext();
    EXPECT_TRUE(editor->KeyUp('E', true));
    EXPECT_EQ(opened, 2);
}

TEST_F(EditorTest, HitTestsRubberBandAndDropsWorkAtEveryZoom) {
    Place("IN", 10, 10);  // output pin at (140, 110)
    Place("INV", 18, 10); // input pin at (180, 110)
    for (const int zoom : {25, 50, 200, 400}) {
        logic->Wires.Clear();
        editor->SetZoom(zoom, 0, 0);
        auto view = [&](TPinPos p) { return std::pair{p.x * zoom / 100 + 1, p.y * zoom / 100 + 1}; };
        const auto [ax, ay] = view(Comp("IN1").OutputPixel(0));
        const auto [bx, by] = view(Comp("INV1").InputPixel(0));
        Drag(ax, ay, bx, by);
        EXPECT_EQ(logic->Wires.Count(), 1) << zoom;
        Drag(1, 1, 150 * zoom / 100, 125 * zoom / 100);
        EXPECT_EQ(logic->Selection, (Names{"IN1"})) << zoom;
    }
    editor->SetZoom(200, 0, 0);
    editor->Drop("AND", 605, 407);
    EXPECT_EQ(Comp("AND1").Left, 30);
    EXPECT_EQ(Comp("AND1").Top, 20);
}

TEST_F(EditorTest, ZoomStepsStayWithin25And400Percent) {
    for (int i = 0; i < 20; ++i)
        editor->ZoomIn();
    EXPECT_EQ(editor->ZoomPercent(), 400);
    EXPECT_DOUBLE_EQ(logic->Zoom, 4.0);
    editor->ZoomReset();
    EXPECT_EQ(editor->ZoomPercent(), 100);
    for (int i = 0; i < 20; ++i)
        editor->ZoomOut();
    EXPECT_EQ(editor->ZoomPercent(), 25);
    EXPECT_FALSE(editor->HorizontalBar().Enabled); // 500 pixels fit into the area
}

} // namespace
} // namespace v7300::test

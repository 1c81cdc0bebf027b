// The content value, its snapshots and the undo history with the modified state.
#include "EditorTestFixture.h"

#include <random>

namespace v7300::test {
namespace {

TEST_F(EditorTest, CopiesOfTheContentShareUntilOneSideChanges) {
    Place("AND", 10, 10);
    Place("OR", 30, 10);
    Wire("AND1", "OR1");
    const TDiagramContent snapshot = logic->Content();
    EXPECT_TRUE(snapshot.Components.Entries().SharesEntry(0, logic->Components.Entries(), 0));
    logic->verschieben(0, 3, 0);
    logic->Wires.Items(0).Points[0].X += 10;
    EXPECT_EQ(snapshot.Components.Items(0).Left, 10);
    EXPECT_EQ(logic->Components.Items(0).Left, 13);
    EXPECT_NE(snapshot.Wires.Items(0), logic->Wires.Items(0));
    EXPECT_TRUE(snapshot.Components.Entries().SharesEntry(1, logic->Components.Entries(), 1));
    EXPECT_FALSE(snapshot == logic->Content());
}

TEST_F(EditorTest, DrawingOnlyResultsDoNotMakeContentsDiffer) {
    Place("AND", 10, 10);
    Place("TXT", 30, 10);
    const TDiagramContent before = logic->Content();
    logic->Components.Items(0).OutputStates[0] = 1;
    logic->Components.Items(1).Width = 17; // a label takes its width from its text
    EXPECT_TRUE(before == logic->Content());
    logic->Components.Items(0).Width = 9;
    EXPECT_FALSE(before == logic->Content());
    logic->SetContent(before);
    logic->ShownTexts[2].name = "Seite";
    EXPECT_FALSE(before == logic->Content());
    logic->SetContent(before);
    logic->DeviceAddress = "127.0.0.1";
    EXPECT_FALSE(before == logic->Content());
}

// One random edit through the document's operations.
void RandomEdit(TLogic& logic, std::mt19937& rng) {
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(std::max(n, 1))); };
    const int count = logic.Components.Count();
    const char* types[] = {"AND", "OR", "INV", "NUM", "TXT", "TIMER"};
    switch (pick(8)) {
    case 0:
    case 1:
        logic.Add_objekt(types[pick(6)], "", 1 + pick(150), 1 + pick(150));
        break;
    case 2:
        if (count > 0) logic.delete_(logic.Components.Items(pick(count)).Name);
        break;
    case 3:
        if (count > 0) logic.verschieben(pick(count), pick(11) - 5, pick(11) - 5);
        break;
    case 4:
        if (count > 1) {
            const auto& a = std::as_const(logic).Components.Items(pick(count));
            const auto& b = std::as_const(logic).Components.Items(pick(count));
            if (a.OutputCount > 0 && b.InputCount > 0)
                logic.add_verbinder(a.Name, 0, pick(b.InputCount), b.Name);
        }
        break;
    case 5:
        if (logic.Wires.Count() > 0) {
            const TWire& w = std::as_const(logic).Wires.Items(pick(logic.Wires.Count()));
            if (w.PointCount() > 1) logic.MousePos = {w.Points[0].X, w.Points[0].Y + 1};
            logic.SplitSegment(logic.get_verbindung());
        }
        break;
    case 6:
        if (count > 0) {
            auto& vars = logic.Components.Items(pick(count)).Variables;
            if (vars.Count() > 0) (void)vars.Items(0).SetValue(std::to_string(pick(100)));
        }
        break;
    default:
        logic.ShownTexts[static_cast<std::size_t>(pick(6))].name = std::to_string(pick(1000));
        break;
    }
}

TEST_F(EditorTest, RandomEditsUndoBackToTheStartAndRedoToTheEndWithTheMarkerFollowing) {
    for (const unsigned seed : {1u, 7u, 42u, 1234u, 99991u}) {
        logic->Init();
        editor->ResetHistory();
        std::mt19937 rng(seed);
        std::vector<TDiagramContent> states{logic->Content()};
        std::size_t saved = 0;
        for (int i = 0; i < 300; ++i) {
            RandomEdit(*logic, rng);
            editor->Commit();
            if (!(logic->Content() == states.back())) states.push_back(logic->Content());
            if (rng() % 17 == 0) {
                editor->MarkSaved();
                saved = states.size() - 1;
            }
            ASSERT_EQ(editor->Modified(), saved != states.size() - 1) << seed << " edit " << i;
        }
        ASSERT_EQ(editor->History().Steps(), states.size()) << seed;
        for (std::size_t k = states.size() - 1; k > 0; --k) {
            editor->Undo();
            ASSERT_TRUE(logic->Content() == states[k - 1]) << seed << " undo to " << k - 1;
            ASSERT_EQ(editor->Modified(), k - 1 != saved) << seed;
        }
        EXPECT_FALSE(editor->CanUndo());
        for (std::size_t k = 1; k < states.size(); ++k) {
            editor->Redo();
            ASSERT_TRUE(logic->Content() == states[k]) << seed << " redo to " << k;
            ASSERT_EQ(editor->Modified(), k != saved) << seed;
        }
        EXPECT_FALSE(editor->CanRedo());
    }
}

TEST_F(EditorTest, AnEditAfterUndoDropsTheRedoStepsAndTheSavedStateAmongThem) {
    Place("AND", 10, 10);
    Place("AND", 30, 10);
    editor->MarkSaved();
    editor->Undo();
    EXPECT_TRUE(editor->Modified());
    Place("OR", 50, 10);
    EXPECT_FALSE(editor->CanRedo());
    editor->Undo();
    EXPECT_TRUE(editor->Modified()); // the saved state is gone for good
}

TEST_F(EditorTest, MergedStepsThatComeBackToTheStartLeaveNoStep) {
    TUndoHistory history;
    TDiagramContent a;
    TDiagramContent b;
    b.DeviceAddress = "1";
    history.Reset(a);
    history.Record(b, 5);
    history.Record(a, 5);
    EXPECT_EQ(history.Steps(), 1u);
    EXPECT_FALSE(history.IsModified());
    history.Record(b, 6);
    TDiagramContent c = b;
    c.DeviceAddress = "2";
    history.Record(c, 0);
    TDiagramContent d = c;
    d.DeviceAddress = "3";
    history.Record(d, 6); // another step came between: no merge
    EXPECT_EQ(history.Steps(), 4u);
}

TEST_F(EditorTest, ResetClearsTheHistoryAndCountsAsSaved) {
    Place("AND", 10, 10);
    EXPECT_TRUE(editor->Modified());
    editor->ResetHistory();
    EXPECT_FALSE(editor->Modified());
    EXPECT_FALSE(editor->CanUndo());
    EXPECT_FALSE(editor->CanRedo());
}

TEST_F(EditorTest, TheOldestStepsAreDroppedBeyondTheLimit) {
    TUndoHistory history(3);
    TDiagramContent c;
    history.Reset(c);
    for (int i = 1; i <= 5; ++i) {
        c.Quarz = i;
        history.Record(c);
    }
    EXPECT_EQ(history.Steps(), 3u);
    EXPECT_EQ(history.Undo().Quarz, 4);
    EXPECT_EQ(history.Undo().Quarz, 3);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.IsModified()); // the saved state was dropped
}

} // namespace
} // namespace v7300::test

// Gestures on the drawing area, the palette and the scroll bars of the real main window.
#include "EditorFixture.h"

#include "model/LogicRenderer.h"
#include "ui/app/StatusPanel.h"
#include "ui/editor/ComponentPalette.h"
#include "ui/editor/V7300Scrollbar.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QWheelEvent>

namespace v7300::test {
namespace {

TEST_F(EditorTest, PaletteListsLibraryTypesWithoutTxtAndDoubleClickPlacesOne) {
    const auto& types = form->Palette()->Types();
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(std::count(types.begin(), types.end(), "TXT"), 0);
    const auto it = std::find(types.begin(), types.end(), "AND");
    ASSERT_NE(it, types.end());
    const int index = static_cast<int>(it - types.begin());
    const QPoint p(30, form->Palette()->EntryTop(index) + 5);
    Mouse(form->Palette(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(form->Editor().DraggedTypeName(), "AND");
    Mouse(form->Palette(), QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    ASSERT_EQ(form->Logic().Components.Count(), 1);
    EXPECT_EQ(form->Logic().Components.Items(0).Name, "AND1");
    EXPECT_EQ(form->FileName(), "* New File");
    EXPECT_TRUE(form->Modified());
}

struct DropCase {
    int x, y;
    bool accepted;
};

TEST_F(EditorTest, DropIsAcceptedOnlyInsideTheLimitsAndPlacesOnTheGrid) {
    const DropCase cases[] = {{55, 100, false}, {59, 100, false}, {60, 100, true}, {300, 250, true}};
    for (const auto& c : cases) {
        auto* mime = new QMimeData;
        mime->setData(kPaletteMime, "OR");
        QDragEnterEvent enter(QPoint(c.x, c.y), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Area(), &enter);
        QDragMoveEvent move(QPoint(c.x, c.y), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Area(), &move);
        EXPECT_EQ(move.isAccepted(), c.accepted) << c.x;
        const int before = form->Logic().Components.Count();
        QDropEvent drop(QPointF(c.x, c.y), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Area(), &drop);
        EXPECT_EQ(form->Logic().Components.Count(), before + (c.accepted ? 1 : 0)) << c.x;
        delete mime;
    }
    const TLogicComponent& last = form->Logic().Components.Items(form->Logic().Components.Count() - 1);
    EXPECT_EQ(last.Left, 30);
    EXPECT_EQ(last.Top, 25);
    EXPECT_TRUE(form->Modified());
    // Beyond the world's right limit (x div 10 >= 195) nothing is accepted.
    EXPECT_FALSE(form->Editor().DropAccepted(1950, 100));
    EXPECT_TRUE(form->Editor().DropAccepted(1940, 100));
}

TEST_F(EditorTest, WireIsDrawnFromPinToPinInEitherDirection) {
    for (const bool fromOutput : {true, false}) {
        form->Logic().Init();
        Place("IN", 20, 10);
        Place("INV", 40, 10);
        const auto out = Comp("IN1").OutputPixel(0);
        const auto in = Comp("INV1").InputPixel(0);
        const QPoint a = fromOutput ? ToArea(out.x, out.y) : ToArea(in.x, in.y);
        const QPoint b = fromOutput ? ToArea(in.x, in.y) : ToArea(out.x, out.y);
        Press(a);
        EXPECT_TRUE(form->Logic().Dragging);
        Move(b, Qt::LeftButton);
        Release(b);
        ASSERT_EQ(form->Logic().Wires.Count(), 1) << fromOutput;
        EXPECT_EQ(form->Logic().Wires.Items(0).Output, "IN1");
        EXPECT_EQ(form->Logic().Wires.Items(0).Input, "INV1");
        EXPECT_FALSE(form->Logic().Dragging);
        EXPECT_TRUE(form->Modified());
    }
}

TEST_F(EditorTest, WireBetweenTwoInputsIsNotAdded) {
    Place("AND", 20, 10);
    Place("INV", 40, 10);
    const auto a = Comp("AND1").InputPixel(0);
    const auto b = Comp("INV1").InputPixel(0);
    Press(ToArea(a.x, a.y));
    Move(ToArea(b.x, b.y), Qt::LeftButton);
    Release(ToArea(b.x, b.y));
    EXPECT_EQ(form->Logic().Wires.Count(), 0);
    EXPECT_FALSE(form->Modified());
    EXPECT_FALSE(form->Logic().Dragging);
}

struct DragCase {
    int pixels;
    int cells;
};

TEST_F(EditorTest, ObjectDragMovesByRoundedGridCellsWithHalvesToEven) {
    const DragCase cases[] = {{9, 0}, {14, 1}, {15, 2}, {25, 2}, {-15, -2}};
    for (const auto& c : cases) {
        form->Logic().Init();
        Place("AND", 30, 20);
        const TLogicComponent& before = Comp("AND1");
        const int left = before.Left;
        const int top = before.Top;
        // A point inside the body, away from the pins.
        const QPoint start = ToArea((left + 2) * 10 + 5, (top + 1) * 10 + 5);
        Press(start);
        EXPECT_TRUE(form->Editor().ObjectDragActive());
        Move(start + QPoint(c.pixels, 0), Qt::LeftButton);
        Move(start + QPoint(c.pixels, c.pixels), Qt::LeftButton);
        Release(start + QPoint(c.pixels, c.pixels));
        EXPECT_EQ(Comp("AND1").Left, left + c.cells) << c.pixels;
        EXPECT_EQ(Comp("AND1").Top, top + c.cells) << c.pixels;
        EXPECT_FALSE(form->Editor().ObjectDragActive());
    }
}

TEST_F(EditorTest, DeleteKeyAsksAndDeletesOnlyOnYes) {
    Place("AND", 30, 20);
    form->Logic().Select_Objekt("AND1");
    messages.answerNext(MbNo);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(Area(), &del);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Objekt Löschen?");
    EXPECT_EQ(messages.messages[0].caption, "Löschen");
    EXPECT_EQ(messages.messages[0].buttons, unsigned(MbYes | MbNo));
    EXPECT_EQ(form->Logic().Components.Count(), 1);
    EXPECT_FALSE(form->Modified());
    messages.answerNext(MbYes);
    QKeyEvent del2(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(Area(), &del2);
    EXPECT_EQ(form->Logic().Components.Count(), 0);
    EXPECT_TRUE(form->Modified());
}

TEST_F(EditorTest, DeleteKeyRemovesTheSelectedWireWithoutAsking) {
    Place("IN", 20, 10);
    Place("INV", 40, 10);
    form->Logic().add_verbinder("IN1", 0, 0, "INV1");
    form->Editor().Commit(); // the wire as the file holds it
    form->Editor().MarkSaved();
    form->Logic().SelectedWire = 0;
    form->Logic().SelectedObject.clear();
    form->Editor().DeleteKey();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(form->Logic().Wires.Count(), 0);
    EXPECT_TRUE(form->Modified());
    // Nothing selected at all: nothing happens and nothing breaks.
    form->Editor().DeleteKey();
    EXPECT_EQ(form->Logic().Wires.Count(), 0);
}

TEST_F(EditorTest, TeilenSplitsTheWireSegmentUnderThePointer) {
    Place("IN", 10, 10);
    Place("INV", 50, 30);
    ASSERT_GE(form->Logic().add_verbinder("IN1", 0, 0, "INV1"), 0);
    const int pointsBefore = form->Logic().Wires.Items(0).PointCount();
    // Find a point on the wire by the document's own hit test.
    QPoint onWire(-1, -1);
    for (int y = 0; y < 500 && onWire.x() < 0; y += 5)
        for (int x = 0; x < 700 && onWire.x() < 0; x += 5) {
            form->Logic().MousePos = {x, y};
            const TVerbindung v = form->Logic().get_verbindung();
            if (v.Wire == 0 && v.Kind != 0 && form->Logic().objekt_an_position(x, y) == "--" &&
                !form->Logic().verknuepfer_an_position(x, y).IsPin())
                onWire = QPoint(x, y);
        }
    ASSERT_GE(onWire.x(), 0);
    QString shown;
    form->PopupExec = [&](QMenu& menu, QPoint) -> QAction* {
        for (QAction* a : menu.actions()) shown += a->text() + ";";
        return menu.actions().value(0);
    };
    Press(ToArea(onWire.x(), onWire.y()), Qt::RightButton);
    EXPECT_EQ(shown, QStringLiteral("Teilen;"));
    EXPECT_EQ(form->Logic().Wires.Items(0).PointCount(), pointsBefore + 2);
    EXPECT_TRUE(form->Modified());
}

TEST_F(EditorTest, RightClickOnComponentOffersEditAndDelete) {
    Place("AND", 30, 20);
    const QPoint body = ToArea(32 * 10 + 5, 21 * 10 + 5);
    QStringList shown;
    int opened = -1;
    form->ParameterDialog = [&](TLogic&, int index) {
        opened = index;
        return true;
    };
    form->PopupExec = [&](QMenu& menu, QPoint) -> QAction* {
        for (QAction* a : menu.actions()) shown << a->text();
        return menu.actions().value(0);
    };
    Press(body, Qt::RightButton);
    EXPECT_EQ(shown, QStringList({QStringLiteral("Bearbeiten / Informationen"), QStringLiteral("Löschen")}));
    EXPECT_EQ(opened, 0);
    // OK without a change does not mark the document.
    EXPECT_FALSE(form->Modified());
    form->PopupExec = [&](QMenu& menu, QPoint) -> QAction* { return menu.actions().value(1); };
    Release(body, Qt::RightButton);
    Press(body, Qt::RightButton);
    EXPECT_EQ(form->Logic().Components.Count(), 0);
    EXPECT_TRUE(form->Modified());
}

TEST_F(EditorTest, ParameterEditThatChangesAVariableMarksTheDocument) {
    Place("NUM", 30, 20);
    form->ParameterDialog = [](TLogic& logic, int index) {
        logic.Components.Items(index).Variables.FindByName("VALUE")->SetValue("7");
        return true;
    };
    form->Logic().Select_Objekt("NUM1");
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_E, Qt::ControlModifier);
    QCoreApplication::sendEvent(Area(), &up);
    EXPECT_EQ(Comp("NUM1").Variables.FindByName("VALUE")->GetValue(), "7");
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->Logic().get_Sel_Objekt().empty());
}

TEST_F(EditorTest, DoubleClickOpensTheDialogAndTheNextPressIsIgnored) {
    Place("AND", 30, 20);
    int opened = 0;
    form->ParameterDialog = [&](TLogic&, int) {
        ++opened;
        return false;
    };
    const QPoint body = ToArea(32 * 10 + 5, 21 * 10 + 5);
    Press(body);
    Release(body);
    Mouse(Area(), QEvent::MouseButtonDblClick, body, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(form->Editor().IgnoreNextMouseDown());
    form->Logic().Select_Objekt("");
    Press(body);
    EXPECT_TRUE(form->Logic().get_Sel_Objekt().empty());
    EXPECT_FALSE(form->Editor().IgnoreNextMouseDown());
}

TEST_F(EditorTest, ArrowKeysScrollOneStepAndStopAtTheEnds) {
    auto key = [&](int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(Area(), &e);
    };
    ASSERT_TRUE(form->HBar()->isEnabled());
    key(Qt::Key_Left);
    EXPECT_EQ(form->HBar()->Position, 0);
    EXPECT_EQ(form->Editor().ScrollOffset().x, 0);
    key(Qt::Key_Right);
    EXPECT_EQ(form->HBar()->Position, 1);
    EXPECT_EQ(form->Editor().ScrollOffset().x, 20);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(form->Editor().ScrollOffset().y, 40);
    EXPECT_EQ(form->Logic().ScrollOffset, (TPoint{20, 40}));
    const int max = form->HBar()->Max;
    for (int i = 0; i < max + 5; ++i) key(Qt::Key_Right);
    EXPECT_EQ(form->HBar()->Position, max);
    EXPECT_EQ(form->Editor().ScrollOffset().x, max * 20);
}

TEST_F(EditorTest, WheelOverTheDrawingAreaScrollsAndWithCtrlZoomsShownInTheStatusBar) {
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent e(QPointF(50, 50), Area()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Area(), &e);
    };
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(form->VBar()->Position, 1);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(form->VBar()->Position, 0);
    EXPECT_FALSE(form->Editor().Wheel(-5, 50, -120, false)); // outside the area
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(form->Editor().ZoomPercent(), 125);
    EXPECT_EQ(form->StatusBar().Zoom(), QStringLiteral("125 %"));
}

TEST_F(EditorTest, EdgeAutoScrollFollowsTheSettingAndMovesOneStepPerMove) {
    form->Logic().AutoScroll = true;
    Move(QPoint(Area()->width() - 5, 100));
    EXPECT_EQ(form->HBar()->Position, 1);
    Move(QPoint(Area()->width() - 5, 100));
    EXPECT_EQ(form->HBar()->Position, 2);
    form->Logic().AutoScroll = false;
    Move(QPoint(Area()->width() - 5, 100));
    EXPECT_EQ(form->HBar()->Position, 2);
}

TEST_F(EditorTest, LargeWindowDisablesTheHorizontalBarAndResetsItsOffset) {
    form->HBar()->SetPosition(3);
    form->Editor().ScrollHorizontally(form->HBar()->Position);
    EXPECT_EQ(form->Editor().ScrollOffset().x, 60);
    form->resize(2400, 800);
    QCoreApplication::processEvents();
    form->Layout();
    EXPECT_FALSE(form->HBar()->isEnabled());
    EXPECT_EQ(form->Editor().ScrollOffset().x, 0);
    EXPECT_EQ(form->HBar()->Position, 0);
}

TEST(V7300ScrollbarTest, SetPositionIgnoresValuesOutsideTheRangeAndClicksStep) {
    EnsureQApplication();
    TV7300Scrollbar bar(0);
    bar.resize(200, 20);
    bar.Max = 10;
    int calls = 0;
    bar.OnScroll = [&](TV7300Scrollbar&, int) { ++calls; };
    bar.SetPosition(5);
    EXPECT_EQ(bar.Position, 5);
    EXPECT_EQ(bar.ThumbCenter, 100);
    bar.SetPosition(11);
    bar.SetPosition(-1);
    EXPECT_EQ(bar.Position, 5);
    // A click beside the thumb steps by one; on the thumb it starts a drag.
    QMouseEvent left(QEvent::MouseButtonPress, QPointF(20, 5), QPointF(20, 5), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &left);
    EXPECT_EQ(bar.Position, 4);
    QMouseEvent onThumb(QEvent::MouseButtonPress, QPointF(bar.ThumbCenter, 5), QPointF(), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &onThumb);
    EXPECT_EQ(bar.DragOrigin, bar.ThumbCenter);
    QMouseEvent drag(QEvent::MouseMove, QPointF(150, 5), QPointF(), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &drag);
    EXPECT_EQ(bar.Position, 7); // trunc(150 / 200 * 10)
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(bar.focusPolicy(), Qt::NoFocus);
    // A bar without range ignores every request.
    bar.Max = 0;
    bar.SetPosition(0);
    EXPECT_EQ(bar.Position, 7);
}

TEST_F(EditorTest, TextButtonAddsTxtAndMarksTheDocument) {
    form->AddText();
    ASSERT_EQ(form->Logic().Components.Count(), 1);
    EXPECT_EQ(form->Logic().Components.Items(0).TypeName, "TXT");
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->FileName(), "* New File");
}

} // namespace
} // namespace v7300::test

// The menu "Bearbeiten" of the real main window: its entries, undo and redo with
// the marker, the system clipboard between two windows, find, and the zoom.
#include "EditorFixture.h"

#include "project/XmlProject.h"
#include "ui/app/StatusPanel.h"
#include "ui/editor/EditorView.h"

#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

namespace v7300::test {
namespace {

class EditMenuTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        QApplication::clipboard()->clear();
        QCoreApplication::processEvents();
    }
    void Trigger(const char* caption) {
        QAction* a = form->Action(QString::fromUtf8(caption));
        ASSERT_NE(a, nullptr) << caption;
        a->trigger();
    }
    bool Enabled(const char* caption) { return form->Action(QString::fromUtf8(caption))->isEnabled(); }
    QMenu* Menu(const QString& title) {
        for (QAction* a : form->menuBar()->actions())
            if (a->text() == title) return a->menu();
        return nullptr;
    }
};

TEST_F(EditMenuTest, BearbeitenStandsBetweenDateiAndAnsichtWithItsEntriesAndShortcuts) {
    QStringList titles;
    for (QAction* a : form->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles,
              QStringList({"Datei", "Bearbeiten", "Ansicht", "V7300-NET-IO", "Tools", "Hilfe", "Simulation"}));
    QStringList entries;
    for (QAction* a : Menu(QStringLiteral("Bearbeiten"))->actions())
        entries << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + QLatin1Char('=') + a->shortcut().toString());
    EXPECT_EQ(entries, QStringList({"Rückgängig=Ctrl+Z", "Wiederholen=Ctrl+Y", "-", "Ausschneiden=Ctrl+X",
                                    "Kopieren=Ctrl+C", "Einfügen=Ctrl+V", "-", "Alles auswählen=Ctrl+A",
                                    "Suchen…=Ctrl+F"}));
    EXPECT_TRUE(form->Action(QStringLiteral("Wiederholen"))
                    ->shortcuts()
                    .contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
}

TEST_F(EditMenuTest, EntriesAreEnabledOnlyWhenTheyCanActAndNeverWhileSimulating) {
    const char* all[] = {"Rückgängig", "Wiederholen",     "Ausschneiden", "Kopieren",
                         "Einfügen",   "Alles auswählen", "Suchen…"};
    for (const char* e : all)
        EXPECT_FALSE(Enabled(e)) << e;
    form->Editor().AddComponent("AND");
    EXPECT_TRUE(Enabled("Rückgängig"));
    EXPECT_TRUE(Enabled("Alles auswählen"));
    EXPECT_TRUE(Enabled("Suchen…"));
    EXPECT_FALSE(Enabled("Kopieren"));
    Trigger("Alles auswählen");
    EXPECT_TRUE(Enabled("Kopieren"));
    Trigger("Kopieren");
    EXPECT_TRUE(Enabled("Einfügen"));
    Trigger("Rückgängig");
    EXPECT_TRUE(Enabled("Wiederholen"));
    form->Editor().Redo();
    form->StartSimulation();
    for (const char* e : all)
        EXPECT_FALSE(Enabled(e)) << e;
    form->StopSimulation();
    EXPECT_TRUE(Enabled("Einfügen"));
}

TEST_F(EditMenuTest, CopyGoesThroughTheClipboardIntoASecondWindow) {
    Place("IN", 20, 10);
    Place("INV", 40, 10);
    form->Logic().add_verbinder("IN1", 0, 0, "INV1");
    form->MarkModified();
    Trigger("Alles auswählen");
    Trigger("Kopieren");
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(kFragmentMime));
    EXPECT_TRUE(mime->text().contains(QStringLiteral("<component>")));

    auto second = MakeForm({});
    second->Logic().Add_objekt("IN", "", 5, 5);
    second->MarkModified();
    second->Action(QStringLiteral("Einfügen"))->trigger();
    ASSERT_EQ(second->Logic().Components.Count(), 3);
    EXPECT_EQ(second->Logic().Components.Items(1).Name, "IN2"); // the usual naming rule
    ASSERT_EQ(second->Logic().Wires.Count(), 1);
    EXPECT_EQ(second->Logic().Wires.Items(0).Output, "IN2");
    EXPECT_EQ(second->Logic().Selection, (std::set<std::string>{"IN2", "INV1"}));
    second->Action(QStringLiteral("Rückgängig"))->trigger();
    EXPECT_EQ(second->Logic().Components.Count(), 1);
}

TEST_F(EditMenuTest, APlainTextThatIsNoFragmentIsRefusedWithTheReadersMessage) {
    Place("AND", 20, 10);
    form->MarkModified();
    QApplication::clipboard()->setText(QStringLiteral("<v7300><components><component><left>1"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Enabled("Einfügen"));
    const TDiagramContent before = form->Logic().Content();
    Trigger("Einfügen");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, kXmlFormatMessage);
    EXPECT_EQ(messages.messages[0].caption, "Fehler");
    EXPECT_TRUE(form->Logic().Content() == before);
}

TEST_F(EditMenuTest, FindSelectsF3GoesOnAndTheStatusBarSaysWhatWasNotFound) {
    Place("AND", 20, 10);
    Place("TIMER", 40, 10);
    Place("AND", 60, 10);
    std::optional<std::string> answer = "and";
    form->FindPrompt = [&] { return answer; };
    Trigger("Suchen…");
    EXPECT_EQ(form->Logic().SelectedObject, "AND1");
    Trigger("Weitersuchen");
    EXPECT_EQ(form->Logic().SelectedObject, "AND2");
    answer = "xyz";
    Trigger("Suchen…");
    EXPECT_EQ(form->StatusBar().Message(), QStringLiteral("Nicht gefunden: xyz"));
    answer.reset(); // cancelled: nothing changes
    Trigger("Suchen…");
    EXPECT_EQ(form->Logic().SelectedObject, "AND2");
}

TEST_F(EditMenuTest, UndoBackToTheSavedStateClearsTheMarkerAndRedoSetsIt) {
    Place("AND", 20, 10);
    dialogs.answers = {dir.file("p.v7k")};
    ASSERT_TRUE(form->SaveProject());
    const TPinPos pin = Comp("AND1").OutputPixel(0);
    Press(ToArea(pin.x - 15, pin.y + 15));
    Move(ToArea(pin.x + 25, pin.y + 15), Qt::LeftButton);
    Move(ToArea(pin.x + 45, pin.y + 15), Qt::LeftButton);
    Release(ToArea(pin.x + 45, pin.y + 15));
    EXPECT_EQ(Comp("AND1").Left, 26);
    EXPECT_EQ(form->StatusBar().Text().toStdString(), "* " + dir.file("p.v7k"));
    Trigger("Rückgängig");
    EXPECT_EQ(Comp("AND1").Left, 20);
    EXPECT_EQ(form->StatusBar().Text().toStdString(), dir.file("p.v7k"));
    Trigger("Wiederholen");
    EXPECT_EQ(form->FileName(), "* " + dir.file("p.v7k"));
}

TEST_F(EditMenuTest, PicturesStayAt100PercentAtEveryZoom) {
    Place("AND", 20, 10);
    Trigger("Vergrößern");
    Trigger("Vergrößern");
    EXPECT_EQ(form->Editor().ZoomPercent(), 150);
    EXPECT_EQ(form->StatusBar().Zoom(), QStringLiteral("150 %"));
    dialogs.answers = {dir.file("bild.png")};
    form->ExportPicture(2);
    const QImage picture(QString::fromStdString(dir.file("bild.png")));
    EXPECT_EQ(picture.size(), QSize(2000, 2000));
    Trigger("Originalgröße");
    EXPECT_EQ(form->Editor().ZoomPercent(), 100);
}

// Selection of several components with the real mouse events at 200 %: the rubber
// band (shown while dragged), Shift+click in and out, and a group drag as one step.
TEST_F(EditMenuTest, RubberBandShiftClickAndGroupDragThroughTheDrawingAreaWhenZoomed) {
    Place("AND", 10, 10);
    Place("AND", 25, 10);
    Place("AND", 30, 30);
    form->Editor().SetZoom(200, 0, 0);
    auto area = [&](int docX, int docY) { return QPoint(docX * 2, docY * 2); };
    auto body = [&](const char* name) { return area(Comp(name).Left * 10 + 25, Comp(name).Top * 10 + 15); };
    auto shiftClick = [&](QPoint p) {
        Move(p);
        Mouse(Area(), QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
        Mouse(Area(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    };

    Press(area(50, 50));
    Move(area(280, 150), Qt::LeftButton);
    EXPECT_TRUE(form->Editor().RubberBandActive());
    clock.advanceMs(1000);
    form->View().Refresh();
    QCoreApplication::processEvents();
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    form->grab().save(folder + QStringLiteral("/main-window-rubber-band.png"));
    Release(area(280, 150));
    EXPECT_FALSE(form->Editor().RubberBandActive());
    EXPECT_EQ(form->Logic().Selection, (std::set<std::string>{"AND1", "AND2"}));

    shiftClick(body("AND3"));
    EXPECT_EQ(form->Logic().Selection, (std::set<std::string>{"AND1", "AND2", "AND3"}));
    shiftClick(body("AND1"));
    EXPECT_EQ(form->Logic().Selection, (std::set<std::string>{"AND2", "AND3"}));

    const QPoint start = body("AND2");
    Press(start);
    Move(start + QPoint(20, 0), Qt::LeftButton);
    Move(start + QPoint(40, 40), Qt::LeftButton);
    Release(start + QPoint(40, 40));
    EXPECT_EQ(Comp("AND2").Left, 27);
    EXPECT_EQ(Comp("AND3").Top, 32);
    EXPECT_EQ(Comp("AND1").Left, 10);
    Trigger("Rückgängig");
    EXPECT_EQ(Comp("AND2").Left, 25);
    EXPECT_EQ(Comp("AND3").Top, 30);
    EXPECT_FALSE(form->Modified());
}

} // namespace
} // namespace v7300::test

// The editor's controls of a local simulation: pause, single step, speed,
// "Gehe zu Zeitpunkt…", forcing from the component's pop-up with its marker,
// and the simulated time in the status bar. Screenshots stay in the build tree.
#include "EditorFixture.h"

#include "simulation/SimulationClock.h"
#include "simulation/SimulationRuntime.h"
#include "simulation/TimingPlotSession.h"
#include "ui/sim/SimulationControl.h"
#include "ui/sim/Zeitverlauf.h"
#include "ui/app/DarkLook.h"
#include "ui/app/MainToolbar.h"
#include "ui/app/StatusPanel.h"
#include "ui/sim/SimulationDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QThread>
#include <QToolButton>

#include <algorithm>

namespace v7300::test {
namespace {

const QString kShots = QStringLiteral(V7300_BINARY_DIR "/screenshots");

class SimulationControlsTest : public EditorTest {
protected:
    void SetUp() override {
        EnsureQApplication();
        ApplyDarkLook(*qApp);
        setDecimalSeparator(',');
        form = MakeForm({}, [](TForm2Setup& s) {
            s.SimulationZone = "CET-1CEST,M3.5.0,M10.5.0/3";
            // The built library has the component pictures, so the screenshots show the bodies.
            s.LibraryFolder = V7300_BINARY_DIR "/bin/objekts";
        });
        Place("IN", 20, 10);
        Place("OUT", 40, 10);
        form->Logic().add_verbinder("IN1", 0, 0, "OUT1");
    }
    TLogicSimulation& Runtime() { return *form->Simulation(); }
    std::string Var(const std::string& name) { return Runtime().Simulator().GetVariable(name); }
    void Trigger(const char* caption) { form->Action(QString::fromUtf8(caption))->trigger(); }
    bool Enabled(const char* caption) { return form->Action(QString::fromUtf8(caption))->isEnabled(); }
    // A right click on the component, choosing the pop-up entry with that
    // caption (also in a sub-menu).
    void PopupChoice(const std::string& component, const QString& caption) {
        form->PopupExec = [caption](QMenu& menu, QPoint) { return Find(menu, caption); };
        const TLogicComponent& c = Comp(component);
        const QPoint p = ToArea(c.Left * 10 + 15, c.Top * 10 + 15);
        Press(p, Qt::RightButton);
        Release(p, Qt::RightButton);
    }
    QString LinkStatus() { return form->HardwareStatus()->text(); }
    static QAction* Find(QMenu& menu, const QString& caption) {
        for (QAction* a : menu.actions()) {
            if (a->text() == caption) return a->isEnabled() ? a : nullptr;
            if (a->menu() && a->isEnabled())
                if (QAction* inner = Find(*a->menu(), caption)) return inner;
        }
        return nullptr;
    }
};

TEST_F(SimulationControlsTest, PauseAndSingleStepHoldTheStoreAndShowPausiert) {
    form->StartSimulation();
    form->Layout();
    EXPECT_EQ(LinkStatus(), QStringLiteral("Lokale Simulation"));
    EXPECT_FALSE(Enabled("Einzelschritt"));
    EXPECT_FALSE(form->Toolbar().ButtonStep()->isEnabled());
    Runtime().RunCycles(2);

    Trigger("Pause");
    EXPECT_TRUE(Runtime().Paused());
    EXPECT_EQ(LinkStatus(), QStringLiteral("Pausiert"));
    EXPECT_TRUE(form->Toolbar().ButtonPause()->isChecked());
    EXPECT_TRUE(Enabled("Einzelschritt"));
    const std::int64_t cycles = Runtime().Simulator().CycleCount();
    Trigger("Einzelschritt");
    EXPECT_EQ(Runtime().Simulator().CycleCount(), cycles + 1);
    QDir().mkpath(kShots);
    form->grab().save(kShots + QStringLiteral("/simulation-paused.png"));

    form->Toolbar().ButtonPause()->click();
    EXPECT_FALSE(Runtime().Paused());
    EXPECT_EQ(LinkStatus(), QStringLiteral("Lokale Simulation"));
    // A step while running does nothing.
    Trigger("Einzelschritt");
    EXPECT_EQ(Runtime().Simulator().CycleCount(), cycles + 1);
}

TEST_F(SimulationControlsTest, SpeedAndGoToActOnTheSimulatedTimeShownInTheStatusBar) {
    Trigger("10×");
    clock.setLocal({2026, 1, 5, 12, 0, 0, 0}); // UTC: 13:00 in winter in that zone
    form->StartSimulation();
    form->Layout();
    EXPECT_EQ(form->StatusBar().SimulatedTime().toStdString(), "Simulierte Zeit: Mo 05.01.2026 13:00:00  (10×)");
    EXPECT_EQ(Runtime().Speed(), TSimulationSpeed::Zehnfach);
    EXPECT_EQ(form->Toolbar().ButtonSpeed()->text(), QStringLiteral("10×"));

    std::string offered;
    form->GoToPrompt = [&](const std::string& current) -> std::optional<DateTime> {
        offered = current;
        return DateTime{2026, 3, 29, 2, 30, 0, 0}; // in the spring gap: the moment after it
    };
    Trigger("Gehe zu Zeitpunkt…");
    form->Layout();
    EXPECT_EQ(offered, "Mo 05.01.2026 13:00:00");
    EXPECT_EQ(form->StatusBar().SimulatedTime().left(38).toStdString(), "Simulierte Zeit: So 29.03.2026 03:00:0");

    form->StopSimulation();
    EXPECT_TRUE(form->StatusBar().SimulatedTime().isEmpty());
    EXPECT_FALSE(Enabled("Gehe zu Zeitpunkt…"));
    // The next simulation starts at the real time again, at the chosen speed.
    form->StartSimulation();
    form->Layout();
    EXPECT_TRUE(form->StatusBar().SimulatedTime().contains(QStringLiteral("05.01.2026"))) <<
        form->StatusBar().SimulatedTime().toStdString();
    EXPECT_EQ(Runtime().Speed(), TSimulationSpeed::Zehnfach);
}

int YellowPixels(const QImage& image, QRect box) {
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 0xE0 && c.green() > 0xB0 && c.green() < 0xE8 && c.blue() < 0x40;
        }
    return n;
}

TEST_F(SimulationControlsTest, AForcedOutputKeepsItsValueIsMarkedAndIsReleased) {
    form->StartSimulation();
    Runtime().RunCycles(2);
    ASSERT_EQ(Var("$OUT1__A1"), "0");
    std::vector<std::string> offered;
    form->ForcePrompt = [&](const std::string& component, std::vector<TForceChoice> choices)
        -> std::optional<TForceRequest> {
        for (const TForceChoice& c : choices) offered.push_back(component + ":" + c.Reference);
        return TForceRequest{"$OUT1__A1", "1"};
    };
    PopupChoice("OUT1", QStringLiteral("Wert erzwingen…"));
    ASSERT_FALSE(offered.empty());
    EXPECT_EQ(offered.front(), "OUT1:OUT1.A1");
    Runtime().RunCycles(3);
    EXPECT_EQ(Var("$OUT1__A1"), "1");

    clock.advanceMs(500);
    form->Layout();
    const TLogicComponent& out = Comp("OUT1");
    const QPoint topLeft = ToArea(out.Left * 10, out.Top * 10);
    const QRect around(topLeft - QPoint(20, 20), QSize(out.Width * 10 + 40, out.Height * 10 + 40));
    const QImage marked = form->Area()->grab().toImage();
    EXPECT_GT(YellowPixels(marked, around), 40);
    QDir().mkpath(kShots);
    form->grab().save(kShots + QStringLiteral("/simulation-forced.png"));

    PopupChoice("OUT1", QStringLiteral("Erzwingen aufheben"));
    Runtime().RunCycles(2);
    EXPECT_EQ(Var("$OUT1__A1"), "0");
    clock.advanceMs(500);
    form->Layout();
    EXPECT_EQ(YellowPixels(form->Area()->grab().toImage(), around), 0);

    // Stopping releases everything: the next run starts free.
    form->ForcePrompt = [](const std::string&, std::vector<TForceChoice>) -> std::optional<TForceRequest> {
        return TForceRequest{"$OUT1__A1", "1"};
    };
    PopupChoice("OUT1", QStringLiteral("Wert erzwingen…"));
    form->StopSimulation();
    EXPECT_TRUE(Runtime().Forced().empty());
}

TEST_F(SimulationControlsTest, ThePopUpPutsAnEntryIntoTheOpenedTimingPlotThatRecordsTheSimulation) {
    clock.setLocal({2026, 1, 5, 12, 0, 0, 0});
    form->StartSimulation();
    PopupChoice("OUT1", QStringLiteral("OUT1.A1"));
    ASSERT_NE(form->TimingPlotWindow(), nullptr);
    EXPECT_TRUE(form->TimingPlotWindow()->isVisible());
    TTimingPlotSession& plot = form->SimulationControl().Plot();
    EXPECT_TRUE(plot.Contains("$OUT1__A1"));
    // The switch goes on after 2 cycles and off after 5 more: the plot has both changes.
    Runtime().RunCycles(2);
    const TLogicComponent& in = Comp("IN1");
    const QPoint p = ToArea(in.Left * 10 + 15, in.Top * 10 + 15);
    Press(p);
    Release(p);
    Runtime().RunCycles(5);
    Runtime().UpdateOutputStates();
    Press(p);
    Release(p);
    Runtime().RunCycles(3);
    const std::string csv = plot.Csv(',');
    EXPECT_NE(csv.find("OUT1.A1"), std::string::npos) << csv;
    EXPECT_NE(csv.find("2026-01-05 13:00:00"), std::string::npos) << csv;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4) << csv; // header, 0, 1, 0
    form->TimingPlotWindow()->Refresh(true);
    form->TimingPlotWindow()->grab().save(kShots + QStringLiteral("/zeitverlauf-from-popup.png"));

    // Chosen again, the entry leaves the plot.
    PopupChoice("OUT1", QStringLiteral("OUT1.A1"));
    EXPECT_FALSE(plot.Contains("$OUT1__A1"));
    form->StopSimulation();
}

TEST_F(SimulationControlsTest, WithTheWorkerAJumpOfADayAtFullSpeedEndsAndPauseStepStopStayResponsive) {
    form = MakeForm({}, [](TForm2Setup& s) {
        s.SimulationZone = "CET-1CEST,M3.5.0,M10.5.0/3";
        s.SimulationWorker = true;
    });
    Place("IN", 20, 10);
    Place("OUT", 40, 10);
    form->Logic().add_verbinder("IN1", 0, 0, "OUT1");
    clock.setLocal({2026, 1, 5, 12, 0, 0, 0});
    Trigger("so schnell wie möglich");
    form->StartSimulation();
    PopupChoice("OUT1", QStringLiteral("OUT1.A1"));
    form->GoToPrompt = [](const std::string&) -> std::optional<DateTime> { return DateTime{2026, 1, 6, 13, 0, 0, 0}; };
    Trigger("Gehe zu Zeitpunkt…");
    for (int i = 0; i < 3000 && Runtime().GoingTo(); ++i) QThread::msleep(5);
    EXPECT_FALSE(Runtime().GoingTo());
    // At full speed it runs on past the target.
    EXPECT_GE(form->SimulationControl().SimulatedClock().utcMs(), (DateTime{2026, 1, 6, 12, 0, 0, 0}).toEpochMs());
    Trigger("Pause");
    // The cycle under way when the pause came still ends: wait until the count stands.
    std::int64_t cycles = -1;
    for (int still = 0, i = 0; still < 5 && i < 1000; ++i) {
        const std::int64_t now = Runtime().Simulator().CycleCount();
        still = now == cycles ? still + 1 : 0;
        cycles = now;
        QThread::msleep(10);
    }
    Trigger("Einzelschritt");
    for (int i = 0; i < 1000 && Runtime().Simulator().CycleCount() == cycles; ++i) QThread::msleep(2);
    EXPECT_EQ(Runtime().Simulator().CycleCount(), cycles + 1);
    form->StopSimulation();
    EXPECT_FALSE(form->Logic().Simulating());
}

TEST_F(SimulationControlsTest, TheLiveViewHidesTheControlsKeepsItsTextsAndOffersNoForcing) {
    form->StartSimulation(true);
    form->Layout();
    EXPECT_FALSE(form->Toolbar().ButtonPause()->isVisible());
    EXPECT_FALSE(Enabled("Pause"));
    EXPECT_FALSE(Enabled("Gehe zu Zeitpunkt…"));
    EXPECT_EQ(LinkStatus(), QStringLiteral("Live View (Connecting)"));
    EXPECT_TRUE(form->StatusBar().SimulatedTime().isEmpty());
    int popups = 0;
    form->PopupExec = [&](QMenu&, QPoint) -> QAction* {
        ++popups;
        return nullptr;
    };
    const QPoint p = ToArea(Comp("OUT1").Left * 10 + 15, Comp("OUT1").Top * 10 + 15);
    Press(p, Qt::RightButton);
    Release(p, Qt::RightButton);
    EXPECT_EQ(popups, 0);
    form->StopSimulation();
    EXPECT_TRUE(form->Toolbar().ButtonPause()->isVisible());
}

TEST_F(SimulationControlsTest, DialogsRefuseWhatCannotBeForcedOrReached) {
    TFrmForceValue force("TIMER1", {{"$TIMER1__A1", "TIMER1.A1", "0", true, false},
                                    {"$TIMER1_SEKUNDEN", "TIMER1.SEKUNDEN", "12", false, true}},
                         form.get());
    EXPECT_EQ(force.Value()->text(), QStringLiteral("1")); // an output is offered flipped
    force.Value()->setText(QStringLiteral("5"));
    force.accept();
    EXPECT_EQ(force.result(), QDialog::Rejected);
    EXPECT_EQ(force.Hint()->text(), QStringLiteral("Ein Ausgang kann nur 0 oder 1 sein."));
    force.Entries()->setCurrentIndex(1);
    EXPECT_EQ(force.Value()->text(), QStringLiteral("12"));
    force.Value()->setText(QStringLiteral("30,5"));
    force.show();
    QDir().mkpath(kShots);
    force.grab().save(kShots + QStringLiteral("/force-value-dialog.png"));
    force.accept();
    EXPECT_EQ(force.result(), QDialog::Accepted);
    EXPECT_EQ(force.Request().Store, "$TIMER1_SEKUNDEN");
    EXPECT_EQ(force.Request().Value, "30,5");

    TFrmGoToTime go("Mo 05.01.2026 13:00:00", form.get());
    go.Value()->setText(QStringLiteral("31.02.2026 10:00"));
    go.accept();
    EXPECT_EQ(go.result(), QDialog::Rejected);
    EXPECT_FALSE(go.Hint()->text().isEmpty());
    go.show();
    go.grab().save(kShots + QStringLiteral("/goto-time-dialog.png"));
    go.Value()->setText(QStringLiteral("01.03.2026 06:15"));
    go.accept();
    EXPECT_EQ(go.Target(), (DateTime{2026, 3, 1, 6, 15, 0, 0}));
}

} // namespace
} // namespace v7300::test

// The controls of the local simulation: the "Simulation" menu, the toolbar's
// pause, single-step and speed buttons, the component pop-up while simulating
// ("Wert erzwingen…", "Erzwingen aufheben", "Im Zeitverlauf zeigen"), the
// "Zeitverlauf" window and the simulated time in the status bar. They act on
// TLogicSimulation, whose controls are thread-safe.
#include "ui/app/Hauptform.h"

#include "model/StoreNames.h"
#include "simulation/ForceChoices.h"
#include "simulation/SimulationRuntime.h"
#include "simulation/TimingPlotSession.h"
#include "ui/app/MainToolbar.h"
#include "ui/app/MenuEntries.h"
#include "ui/app/StatusPanel.h"
#include "ui/editor/EditorView.h"
#include "ui/sim/SimulationControl.h"
#include "ui/sim/Zeitverlauf.h"

#include <QActionGroup>

#include <algorithm>
#include <array>

namespace v7300 {
namespace {

constexpr std::array<TSimulationSpeed, 4> kSpeeds{TSimulationSpeed::Echtzeit, TSimulationSpeed::Zehnfach,
                                                  TSimulationSpeed::Hundertfach, TSimulationSpeed::Maximal};

} // namespace

void TForm2::BuildSimulationMenu(QMenu* menu) {
    simActs_.pause = addEntry(this, menu, QStringLiteral("Pause"), QKeySequence(Qt::Key_F6),
                              [this](bool) { TogglePause(); });
    simActs_.pause->setCheckable(true);
    simActs_.step = addEntry(this, menu, QStringLiteral("Einzelschritt"), QKeySequence(Qt::Key_F7),
                             [this](bool) { StepCycle(); });
    simActs_.speed = menu->addMenu(QStringLiteral("Geschwindigkeit"));
    auto* group = new QActionGroup(this);
    for (TSimulationSpeed speed : kSpeeds) {
        QAction* a = addEntry(this, simActs_.speed, QString::fromStdString(SpeedText(speed)), QKeySequence(),
                              [this, speed](bool) { SetSimulationSpeed(speed); });
        a->setCheckable(true);
        a->setChecked(speed == sim_->Simulation().Speed());
        group->addAction(a);
    }
    simActs_.goTo = addEntry(this, menu, QStringLiteral("Gehe zu Zeitpunkt…"), QKeySequence(),
                             [this](bool) { GoToTime(); });
    menu->addSeparator();
    simActs_.releaseAll = addEntry(this, menu, QStringLiteral("Alle erzwungenen Werte aufheben"), QKeySequence(),
                                   [this](bool) { ReleaseForced(""); });
    addEntry(this, menu, QStringLiteral("Zeitverlauf"), QKeySequence(), [this](bool) { ShowTimingPlot(); });
    toolbar_->OnPause = [this] { TogglePause(); };
    toolbar_->OnStep = [this] { StepCycle(); };
    toolbar_->SetSpeedMenu(simActs_.speed);
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateSimulationStatus(); });
    view_->OnSimulationPopup = [this](const std::string& component) { ShowSimulationPopup(component); };
    UpdateSimulationStatus();
}

void TForm2::TogglePause() {
    if (!sim_->LocalRunning()) return;
    TLogicSimulation& runtime = sim_->Simulation();
    if (runtime.Paused()) {
        Log("Simulation fortsetzen");
        runtime.Resume();
    } else {
        Log("Simulation pausieren");
        runtime.Pause();
    }
    UpdateSimulationStatus();
}

void TForm2::StepCycle() {
    if (!sim_->LocalRunning() || !sim_->Simulation().Paused()) return;
    sim_->Simulation().Step();
    UpdateSimulationStatus();
    Refresh();
}

void TForm2::SetSimulationSpeed(TSimulationSpeed speed) {
    Log("Simulationsgeschwindigkeit " + SpeedText(speed));
    sim_->Simulation().SetSpeed(speed);
    UpdateSimulationStatus();
}

void TForm2::GoToTime() {
    if (!sim_->LocalRunning()) return;
    TLogicSimulation& runtime = sim_->Simulation();
    const std::string current = runtime.SimulatedTimeText();
    const std::optional<DateTime> target = GoToPrompt ? GoToPrompt(current) : AskGoToTime(current, this);
    if (!target || !sim_->LocalRunning()) return;
    Log("Gehe zu Zeitpunkt");
    runtime.GoTo(*target);
    UpdateSimulationStatus();
}

void TForm2::ForceValue(const std::string& component) {
    if (!sim_->LocalRunning()) return;
    TLogicSimulation& runtime = sim_->Simulation();
    std::vector<TForceChoice> choices =
        ForceChoices(*logic_, component, runtime.Simulator().Variables(), runtime.Forced());
    if (choices.empty()) return;
    const std::optional<TForceRequest> request =
        ForcePrompt ? ForcePrompt(component, std::move(choices)) : AskForceValue(component, std::move(choices), this);
    if (!request || !sim_->LocalRunning()) return;
    Log("Wert erzwingen " + request->Store + " = " + request->Value);
    runtime.Force(request->Store, request->Value);
    Refresh();
}

void TForm2::ReleaseForced(const std::string& component) {
    TLogicSimulation& runtime = sim_->Simulation();
    if (component.empty()) {
        runtime.ReleaseAll();
    } else {
        for (const TVariablen& entry : runtime.Forced())
            if (EntryOwner(entry.Name, *logic_) == component) runtime.Release(entry.Name);
    }
    Refresh();
}

void TForm2::ShowSimulationPopup(const std::string& component) {
    if (!sim_->LocalRunning()) return;
    TLogicSimulation& runtime = sim_->Simulation();
    const std::vector<TForceChoice> choices =
        ForceChoices(*logic_, component, runtime.Simulator().Variables(), runtime.Forced());
    QMenu menu(this);
    QAction* force = addEntry(this, &menu, QStringLiteral("Wert erzwingen…"), QKeySequence(),
                              [this, component](bool) { ForceValue(component); });
    force->setEnabled(!choices.empty());
    QAction* release = addEntry(this, &menu, QStringLiteral("Erzwingen aufheben"), QKeySequence(),
                                [this, component](bool) { ReleaseForced(component); });
    release->setEnabled(std::any_of(choices.begin(), choices.end(), [](const TForceChoice& c) { return c.Forced; }));
    QMenu* plot = menu.addMenu(QStringLiteral("Im Zeitverlauf zeigen"));
    plot->setEnabled(!choices.empty());
    for (const TForceChoice& c : choices) {
        QAction* a = addEntry(this, plot, QString::fromStdString(c.Reference), QKeySequence(),
                              [this, c](bool) { PlotEntry(c.Store, c.Reference); });
        a->setCheckable(true);
        a->setChecked(sim_->Plot().Contains(c.Store));
    }
    view_->ShowPopup(menu);
}

void TForm2::ShowTimingPlot() {
    if (!plotWindow_) plotWindow_ = new TFrmZeitverlauf(sim_->Plot(), *dialogs_, messages_, this);
    plotWindow_->ShowAndRaise();
}

// An entry chosen again is taken out of the plot.
void TForm2::PlotEntry(const std::string& store, const std::string& label) {
    TTimingPlotSession& plot = sim_->Plot();
    if (!plot.Add(store, label)) {
        plot.Remove(store);
        return;
    }
    Log("Im Zeitverlauf zeigen " + label);
    ShowTimingPlot();
}

void TForm2::UpdateSimulationStatus() {
    if (!sim_ || !toolbar_ || !simActs_.pause) return;
    TLogicSimulation& runtime = sim_->Simulation();
    const bool local = sim_->LocalRunning();
    const bool paused = local && runtime.Paused();
    const QString speed = QString::fromStdString(SpeedText(runtime.Speed()));
    toolbar_->ShowSimulationControls(local || !logic_->Simulating(), local, paused, speed);
    simActs_.pause->setEnabled(local);
    simActs_.pause->setChecked(paused);
    simActs_.step->setEnabled(paused);
    simActs_.goTo->setEnabled(local);
    simActs_.releaseAll->setEnabled(local && !runtime.Forced().empty());
    for (QAction* a : simActs_.speed->actions())
        if (a->text() == speed && !a->isChecked()) a->setChecked(true);
    if (!local) {
        statusBar_->SetSimulatedTime(QString());
        return;
    }
    toolbar_->SetLinkStatus(QString::fromStdString(runtime.StatusText()));
    statusBar_->SetSimulatedTime(QStringLiteral("Simulierte Zeit: ") +
                                 QString::fromStdString(runtime.SimulatedTimeText()) + QStringLiteral("  (") + speed +
                                 QStringLiteral(")"));
}

} // namespace v7300

// The main window's start and stop of the local simulation and the live view.
#include "ui/app/Hauptform.h"

#include "ui/app/MainToolbar.h"
#include "ui/device/LinkControl.h"
#include "ui/device/LiveViewHost.h"
#include "ui/sim/SimulationControl.h"

#include <QTimer>
#include <QToolButton>

namespace v7300 {

void TForm2::StartSimulation(bool liveView) {
    Log("Simulation/LiveView Starten");
    toolbar_->SetStatusEx(QString());
    toolbar_->SetEditing(false, false);
    if (!liveView) {
        sim_->Start();
        toolbar_->SetLinkStatus(QStringLiteral("Lokale Simulation"));
    } else {
        sim_->StartLiveView();
        Log("Create CRC");
        live_->Start(); // "Live View (Connecting)", the live timer at 100 ms
    }
    UpdateEditMenu();
    UpdateSimulationStatus();
    Refresh();
}

void TForm2::StopSimulation() {
    Log("Stop Simulation");
    live_->Stop();
    sim_->Stop();
    UpdateRecordEntry();
    toolbar_->SetEditing(true, link_->Watch().LiveViewAllowed());
    UpdateEditMenu();
    UpdateSimulationStatus();
    Refresh();
}

TLogicSimulation* TForm2::Simulation() {
    return &sim_->Simulation();
}
TFrmLCD* TForm2::Lcd() {
    return sim_->Lcd();
}
TQtSimInputPort* TForm2::SliderWindows() {
    return sim_->SliderWindows();
}

} // namespace v7300

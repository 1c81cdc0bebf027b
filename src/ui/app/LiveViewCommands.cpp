// The main window's live view: the session's texts in the status panel, the
// controller's values drawn as in a simulation, and "Datei" ▸ "LiveView aufzeichnen…".
#include "ui/app/Hauptform.h"

#include "device/UnitV7300NETIO.h"
#include "ui/app/MainToolbar.h"
#include "ui/device/LinkControl.h"
#include "ui/device/LiveViewHost.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/sim/SimulationControl.h"

#include <QAction>

namespace v7300 {

void TForm2::CreateLiveView() {
    TLiveViewHostPorts ports;
    ports.Send = [this](const TV7300Telegram& t) {
        if (Link()) Link()->Link().Send(t);
    };
    ports.StopAction = [this] { StopSimulation(); };
    ports.Changed = [this](bool redraw) { ShowLiveTexts(redraw); };
    live_ = new TLiveViewHost(*logic_, sim_->Simulation(), messages_, clock_, std::move(ports), setup_.Timers, this);
    link_->OnLiveData = [this](const TV7300Telegram& t) { live_->OnTelegram(t); };
}

void TForm2::ShowLiveTexts(bool redraw) {
    // After a stop the link watch's texts come back with the next device tick.
    if (live_->Running()) toolbar_->SetLinkStatus(QString::fromStdString(live_->HardwareStatus()));
    if (!live_->StatusEx().empty()) toolbar_->SetStatusEx(QString::fromStdString(live_->StatusEx()));
    UpdateRecordEntry();
    if (redraw) Refresh();
}

void TForm2::UpdateRecordEntry() {
    if (actRecordLive_ && live_) actRecordLive_->setEnabled(live_->Running());
}

// A recording runs until the live view stops; choosing the entry again goes on
// in another file, cancelling the dialog keeps the current one.
void TForm2::RecordLiveView() {
    if (!live_->Running()) return;
    const std::string path = dialogs_->SaveFile(this, "LiveView-Aufzeichnung (*.txt)|*.txt", ".txt");
    if (!path.empty()) live_->StartRecording(path, FileName());
}

} // namespace v7300

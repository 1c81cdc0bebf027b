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
    ports.Changed = [this] { ShowLiveTexts(); };
    live_ = new TLiveViewHost(*logic_, sim_->Simulation(), messages_, clock_, std::move(ports), setup_.Timers, this);
    link_->OnLiveData = [this](const TV7300Telegram& t) { live_->OnTelegram(t); };
}

void TForm2::ShowLiveTexts() {
    // After a stop the link watch's texts come back with the next device tick.
    if (live_->Running()) toolbar_->SetLinkStatus(QString::fromStdString(live_->HardwareStatus()));
    if (!live_->StatusEx().empty()) toolbar_->SetStatusEx(QString::fromStdString(live_->StatusEx()));
    UpdateRecordEntry();
    Refresh();
}

void TForm2::UpdateRecordEntry() {
    if (!actRecordLive_ || !live_) return;
    actRecordLive_->setEnabled(live_->Running());
    actRecordLive_->setChecked(live_->Recording());
}

void TForm2::RecordLiveView() {
    if (live_->Recording()) {
        live_->StopRecording();
    } else if (live_->Running()) {
        const std::string path = dialogs_->SaveFile(this, "LiveView-Aufzeichnung (*.txt)|*.txt", ".txt");
        if (!path.empty()) live_->StartRecording(path, FileName());
    }
    UpdateRecordEntry();
}

} // namespace v7300

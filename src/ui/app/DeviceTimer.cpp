// The main window's device timer: the link watch while no live view runs, then
// the program-size indicator; the telegrams the main window itself receives.
#include "ui/app/Hauptform.h"

#include "device/UnitV7300NETIO.h"
#include "ui/app/MainToolbar.h"
#include "ui/device/LinkControl.h"
#include "ui/device/LiveViewHost.h"
#include "ui/sim/SimulationControl.h"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace v7300 {

void TForm2::DeviceTimerTick() {
    if (live_->Running()) {
        if (!live_->DeviceTimerTick()) return; // the lost link: the rest of the tick is skipped
    } else if (link_->Link()) {
        LinkWatchTick();
    }
    IndicatorTick();
}

void TForm2::LinkWatchTick() {
    link_->Tick(clock_.monotonicMs());
    ShowLinkTexts();
}

void TForm2::ShowLinkTexts() {
    const TLinkWatch& watch = link_->Watch();
    const bool simulating = sim_->Running();
    if (!simulating && watch.StatusText() != "---")
        toolbar_->SetLinkStatus(QString::fromStdString(watch.StatusText()));
    toolbar_->SetStatusEx(QString::fromStdString(watch.ClientsText()));
    toolbar_->ButtonStartLive()->setEnabled(!simulating && watch.LiveViewAllowed());
}

void TForm2::IndicatorTick() {
    if (indicator_.Tick(*logic_)) toolbar_->ShowIndicator(indicator_);
}

void TForm2::OnTelegram(const TV7300Telegram& telegram) {
    link_->OnTelegram(telegram);
}

void TForm2::SetDeviceTimerPaused(bool paused) {
    if (paused)
        timerNetio_->stop();
    else if (setup_.Timers)
        timerNetio_->start();
}

TV7300NETIO* TForm2::Link() {
    return link_->Link();
}
int TForm2::LinkCountdown() const {
    return link_->Watch().Countdown();
}
QLabel* TForm2::PanelFlashSize() {
    return toolbar_->Indicator();
}
QLabel* TForm2::HardwareStatus() {
    return toolbar_->HardwareStatus();
}
QLabel* TForm2::StatusEx() {
    return toolbar_->StatusEx();
}
QToolButton* TForm2::ButtonStartSimulation() {
    return toolbar_->ButtonStartSimulation();
}
QToolButton* TForm2::ButtonStartLive() {
    return toolbar_->ButtonStartLive();
}
QToolButton* TForm2::ButtonStop() {
    return toolbar_->ButtonStop();
}

} // namespace v7300

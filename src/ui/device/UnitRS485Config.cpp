#include "ui/device/UnitRS485Config.h"

#include "ui/device/DeviceWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include <algorithm>

namespace v7300 {

using namespace device_ui;

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

void setPortButton(QPushButton& port, const QColor& colour) {
    const QString sheet =
        QStringLiteral("QPushButton { background: %1; color: black; border: 2px outset %1; font-weight: bold; }")
            .arg(colour.name());
    if (port.styleSheet() != sheet) port.setStyleSheet(sheet);
}

} // namespace

TFrmRS485Config::TFrmRS485Config(const std::string& address, TDeviceLinkPort link, Clock& clock,
                                 MessagePort& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      link_(std::move(link)), clock_(clock) {
    auto send = link_.Send;
    session_ = std::make_unique<TBusConfigSession>(
        [send, address](const TV7300Telegram& t) {
            if (send) send(address, t);
        },
        clock, messages);
    setWindowTitle(QString::fromUtf8(kBusWindowCaption));
    setFixedSize(860, 494);
    BuildLayout();
    Connect();
    ConnectPanels();
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    if (link_.Subscribe)
        link_.Subscribe([this](const TV7300Telegram& t) { Drive([&] { session_->onTelegram(t); }); }, {});
    Refresh();
    Rearm();
}

TFrmRS485Config::~TFrmRS485Config() {
    if (link_.Subscribe) link_.Subscribe({}, {});
}

void TFrmRS485Config::Connect() {
    const auto button = [this](QPushButton* b, void (TBusConfigSession::*command)()) {
        connect(b, &QPushButton::clicked, this, [this, command] { Drive([&] { ((*session_).*command)(); }); });
    };
    button(searchButton_, &TBusConfigSession::ToggleSearch);
    button(clearButton_, &TBusConfigSession::ClearList);
    button(findButton_, &TBusConfigSession::FindDevice);
    button(findUnconfigured_, &TBusConfigSession::FindUnconfigured);
    button(idButton_, &TBusConfigSession::TransferId);
    connect(findId_, &QLineEdit::returnPressed, this, [this] { Drive([this] { session_->FindDevice(); }); });
    connect(findId_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->Fields().FindId = text.toStdString(); });
    connect(deviceId_, &QLineEdit::textEdited, this,
            [this](const QString& text) { session_->Fields().DeviceId = text.toStdString(); });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) Drive([this, row] { session_->Select(row); });
    });
    connect(autoFetch_, &QCheckBox::toggled, this, [this](bool on) { session_->Fields().AutoFetch = on; });
}

void TFrmRS485Config::ConnectPanels() {
    const auto button = [this](QPushButton* b, void (TBusConfigSession::*command)()) {
        connect(b, &QPushButton::clicked, this, [this, command] { Drive([&] { ((*session_).*command)(); }); });
    };
    button(outputSend_, &TBusConfigSession::SendOutputs);
    button(inputFetch_, &TBusConfigSession::FetchData);
    button(temperatureFetch_, &TBusConfigSession::FetchData);
    button(pwmSend_, &TBusConfigSession::SendPwm);
    button(specialButton_, &TBusConfigSession::ShowPwmSettings);
    button(setButton_, &TBusConfigSession::SetPwmSettings);
    for (std::size_t k = 0; k < outputPorts_.size(); ++k)
        connect(outputPorts_[k], &QPushButton::clicked, this,
                [this, k] { Drive([this, k] { session_->TogglePort(static_cast<int>(k) + 1); }); });
    for (std::size_t k = 0; k < 2; ++k) {
        connect(pwm_[k], &QSlider::valueChanged, this, [this, k](int value) {
            if (!syncing_) session_->Fields().Pwm[k] = value;
        });
        connect(frequency_[k], &QComboBox::activated, this,
                [this, k](int index) { session_->Fields().PwmSettings.FrequencyIndex[k] = index; });
        connect(invert_[k], &QCheckBox::toggled, this, [this, k](bool on) {
            if (!syncing_) session_->Fields().PwmSettings.Inverted[k] = on;
        });
    }
}

void TFrmRS485Config::Drive(const std::function<void()>& work) {
    work();
    Refresh();
    Rearm();
}

void TFrmRS485Config::Tick() {
    Drive([this] { session_->onTick(clock_.monotonicMs()); });
}

void TFrmRS485Config::Rearm() {
    if (!timer_ || session_->Closed()) return;
    const std::int64_t wait = session_->NextDeadline() - clock_.monotonicMs();
    timer_->start(static_cast<int>(std::clamp<std::int64_t>(wait, 0, 60000)));
}

void TFrmRS485Config::Refresh() {
    syncing_ = true;
    const auto& v = session_->View();
    const auto& f = session_->Fields();
    searchButton_->setText(q(v.SearchCaption));
    progress_->setValue(std::clamp(v.Progress, 0, kMaxBusId));
    status_->setText(q(v.Status));
    findButton_->setEnabled(v.FindEnabled);
    findUnconfigured_->setEnabled(v.FindUnconfiguredEnabled);
    idButton_->setEnabled(v.IdTransferEnabled);
    SyncText(*findId_, q(f.FindId));
    SyncText(*deviceId_, q(f.DeviceId));
    SetFittingText(*deviceType_, q(v.DeviceType), 8, true);
    SetFittingText(*firmware_, q(v.DeviceFirmware), 8, true);
    autoFetch_->setChecked(f.AutoFetch);
    connection_->setText(q(v.Connection));
    connection_->setStyleSheet(v.Connection == kBusConnected ? QStringLiteral("color: #00FF00;")
                                                             : QStringLiteral("color: #FF4040;"));
    RefreshList();
    RefreshPanels();
    RefreshLog();
    syncing_ = false;
}

void TFrmRS485Config::RefreshList() {
    const auto& devices = session_->Devices();
    bool same = list_->count() == static_cast<int>(devices.size());
    for (int i = 0; same && i < list_->count(); ++i)
        same = list_->item(i)->text() == q(devices[static_cast<std::size_t>(i)].ListLine());
    if (!same) {
        list_->clear();
        for (const auto& d : devices) list_->addItem(q(d.ListLine()));
    }
    if (list_->currentRow() != session_->SelectedIndex()) list_->setCurrentRow(session_->SelectedIndex());
}

void TFrmRS485Config::RefreshPanels() {
    const auto& v = session_->View();
    const auto& f = session_->Fields();
    outputPanel_->setVisible(v.Panel == TBusPanel::Output);
    inputPanel_->setVisible(v.Panel == TBusPanel::Input);
    temperaturePanel_->setVisible(v.Panel == TBusPanel::Temperature);
    pwmPanel_->setVisible(v.Panel == TBusPanel::Pwm);
    for (auto* b : {outputSend_, inputFetch_, temperatureFetch_, pwmSend_}) b->setEnabled(v.DataEnabled);
    for (std::size_t k = 0; k < 8; ++k) {
        outputPorts_[k]->setVisible(v.PortVisible[k]);
        inputPorts_[k]->setVisible(v.PortVisible[k]);
        const QColor colour = Colour(v.PortColour(k));
        if (v.Panel == TBusPanel::Output) setPortButton(*outputPorts_[k], colour);
        if (v.Panel == TBusPanel::Input) SetPanel(*inputPorts_[k], colour, v.PortOn[k]);
    }
    for (std::size_t k = 0; k < 4; ++k) {
        temperatureCaptions_[k]->setVisible(v.TemperatureVisible[k]);
        temperatures_[k]->setVisible(v.TemperatureVisible[k]);
        temperatures_[k]->setText(q(v.Temperature[k]));
    }
    specialButton_->setVisible(v.SpecialSettingsVisible);
    setButton_->setVisible(v.PwmSettingsVisible);
    for (std::size_t k = 0; k < 2; ++k) {
        pwm_[k]->setValue(f.Pwm[k]);
        frequency_[k]->setVisible(v.PwmSettingsVisible);
        invert_[k]->setVisible(v.PwmSettingsVisible);
        frequency_[k]->setCurrentIndex(f.PwmSettings.FrequencyIndex[k]);
        invert_[k]->setChecked(f.PwmSettings.Inverted[k]);
    }
}

void TFrmRS485Config::RefreshLog() {
    const auto& lines = session_->LogLines();
    if (lines == shownLog_) return;
    shownLog_ = lines;
    QStringList text;
    for (const auto& line : lines) text << q(line);
    log_->setPlainText(text.join(QLatin1Char('\n')));
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void TFrmRS485Config::done(int result) {
    if (!session_->Closed()) {
        if (timer_) timer_->stop();
        Drive([this] { session_->Close(); });
    }
    if (link_.Subscribe) link_.Subscribe({}, {});
    QDialog::done(result);
}

void ShowBusConfiguration(QWidget* parent, const std::string& address, TDeviceLinkPort link, Clock& clock,
                          MessagePort& messages) {
    TFrmRS485Config window(address, std::move(link), clock, messages, parent);
    window.exec();
}

} // namespace v7300

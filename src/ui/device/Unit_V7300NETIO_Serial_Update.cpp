#include "ui/device/Unit_V7300NETIO_Serial_Update.h"

#include "ui/device/DeviceWidgets.h"
#include "ui/device/UnitV7300SearchDevices.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace v7300 {

using namespace device_ui;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
} // namespace

TFrmV7300NETIO_SendSerial::TFrmV7300NETIO_SendSerial(TV7300_EEPROM_Data image, std::int32_t programChecksum,
                                                     const std::string& address, TDeviceLinkPort link, Clock& clock,
                                                     MessagePort& messages, TDeviceSearch& search,
                                                     TFrmV7300Devices* devices, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      session_(std::make_unique<TTransferSession>(std::move(image), programChecksum,
                                                  address.empty() ? std::string("192.168.0.91") : address, link.Send,
                                                  clock, messages, &search)),
      link_(std::move(link)), clock_(clock), devices_(devices) {
    if (!devices_) {
        ownDevices_ = std::make_unique<TFrmV7300Devices>(search, this);
        devices_ = ownDevices_.get();
    }
    ChooseDevice = [this] { return devices_->Choose(); };
    setWindowTitle(QStringLiteral("Logik in NET-IO Flashen"));
    setFixedSize(610, 409);
    BuildLayout();
    Connect();
    session_->OnLog = [this](const std::string& line) { AppendLog(line); };
    for (const auto& line : session_->LogLines()) AppendLog(line);

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    if (link_.Subscribe)
        link_.Subscribe([this](const TV7300Telegram& t) { Drive([&] { session_->onTelegram(t); }); },
                        [this](std::uint8_t code) { Drive([&] { session_->onLinkError(code); }); });
    Refresh();
    Rearm();
}

TFrmV7300NETIO_SendSerial::~TFrmV7300NETIO_SendSerial() {
    if (link_.Subscribe) link_.Subscribe({}, {});
    session_->OnLog = nullptr;
}

std::string TFrmV7300NETIO_SendSerial::Address() const { return session_->Address(); }

// ------------------------------------------------------------------ layout

void TFrmV7300NETIO_SendSerial::BuildLayout() {
    MakeBlackWindow(*this);
    auto* project = Group(this, QStringLiteral("Projekt NET-IO IP"), QRect(8, 4, 296, 50));
    address_ = Field(project, QRect(8, 20, 240, 21), 64);
    searchButton_ = Button(project, QStringLiteral("..."), QRect(254, 19, 34, 23));
    BuildSettings();
    BuildStatus();

    transferButton_ = Button(this, QStringLiteral("Logik => V7300-NET-IO"), QRect(8, 326, 296, 32));
    clockButton_ = Button(this, QStringLiteral("PC-Uhrzeit => V7300-NET-IO"), QRect(312, 326, 290, 32));
    transferButton_->setFont(WindowFont(9, true));
    clockButton_->setFont(WindowFont(9, true));
    progress_ = new QProgressBar(this);
    progress_->setGeometry(8, 368, 594, 24);
    progress_->setTextVisible(false);
}

void TFrmV7300NETIO_SendSerial::BuildSettings() {
    auto* settings = Group(this, QStringLiteral("Einstellungen"), QRect(8, 58, 296, 104));
    Label(settings, QStringLiteral("Neue IP"), 8, 18);
    Label(settings, QStringLiteral("Subnet-Mask"), 114, 18);
    Label(settings, QStringLiteral("Zeitzone"), 220, 18);
    Label(settings, QStringLiteral("Gateway"), 8, 58);
    Label(settings, QStringLiteral("DNS"), 114, 58);
    newIp_ = Field(settings, QRect(8, 34, 100, 21), 15);
    mask_ = Field(settings, QRect(114, 34, 100, 21), 15);
    gateway_ = Field(settings, QRect(8, 74, 100, 21), 15);
    dns_ = Field(settings, QRect(114, 74, 100, 21), 15);
    timeZone_ = new QComboBox(settings);
    timeZone_->setGeometry(220, 34, 68, 21);
    for (int i = 0; i < kTimeZoneEntries; ++i) timeZone_->addItem(q(TimeZoneEntry(i)));

    auto* expert = Group(this, QStringLiteral("Experten Einstellungen"), QRect(8, 166, 296, 152));
    Label(expert, QStringLiteral("MAC-Adresse:"), 8, 18);
    for (std::size_t i = 0; i < mac_.size(); ++i) {
        mac_[i] = Field(expert, QRect(8 + static_cast<int>(i) * 30, 34, 26, 21), 2);
        mac_[i]->setAlignment(Qt::AlignCenter);
    }
    Label(expert, QStringLiteral("Logik CRC"), 196, 18);
    crc_ = Field(expert, QRect(196, 34, 92, 21));
    crc_->setReadOnly(true);
    Label(expert, QStringLiteral("Webinterface Port"), 8, 62);
    webPort_ = Field(expert, QRect(8, 78, 100, 21), 5);
    Label(expert, QStringLiteral("Telnet Port"), 114, 62);
    telnetPort_ = Field(expert, QRect(114, 78, 100, 21), 5);
    Label(expert, QStringLiteral("Webinterface Passwort"), 8, 104);
    password_ = Field(expert, QRect(8, 120, 206, 21), 8);
}

void TFrmV7300NETIO_SendSerial::BuildStatus() {
    auto* statusGroup = Group(this, QStringLiteral("Status"), QRect(312, 4, 290, 50));
    status_ = new QLabel(statusGroup);
    status_->setGeometry(6, 14, 278, 32);
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    status_->setFont(WindowFont(10, true));

    auto* device = Group(this, QStringLiteral("V7300-NET-IO Status"), QRect(312, 58, 290, 118));
    clockLine_ = new QLabel(device);
    clockLine_->setGeometry(6, 18, 280, 16);
    firmware_ = new QLabel(device);
    firmware_->setGeometry(8, 36, 274, 16);
    Label(device, QStringLiteral("Durchlaufsdauer:"), 8, 54);
    cycleTime_ = new QLabel(device);
    cycleTime_->setGeometry(110, 54, 172, 16);
    for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i] = Panel(device, q(session_->View().Panels[i].Caption),
                           QRect(8 + static_cast<int>(i) * 92, 78, 86, 30));

    auto* info = Group(this, QStringLiteral("Informationen"), QRect(312, 180, 290, 138));
    log_ = new QListWidget(info);
    log_->setGeometry(8, 18, 274, 112);
    log_->setFont(FixedPitchFont(8));
}

// ------------------------------------------------------------------ behaviour

void TFrmV7300NETIO_SendSerial::Connect() {
    const auto text = [](QLineEdit* field) { return field->text().toStdString(); };
    const auto edits = [this, text](QLineEdit* field, std::string& target) {
        connect(field, &QLineEdit::textEdited, this, [field, &target, text] { target = text(field); });
    };
    auto& s = session_->Settings();
    edits(address_, session_->Address());
    edits(newIp_, s.NewIp);
    edits(mask_, s.Mask);
    edits(gateway_, s.Gateway);
    edits(dns_, s.Dns);
    for (std::size_t i = 0; i < mac_.size(); ++i) edits(mac_[i], s.Mac[i]);
    edits(webPort_, s.WebPort);
    edits(telnetPort_, s.TelnetPort);
    edits(password_, s.Password);
    connect(timeZone_, &QComboBox::activated, this, [this](int index) { session_->Settings().TimeZone = index; });
    connect(searchButton_, &QPushButton::clicked, this, [this] { Drive([this] { session_->SearchDevices(); }); });
    connect(transferButton_, &QPushButton::clicked, this, [this] { Drive([this] { session_->StartTransfer(); }); });
    connect(clockButton_, &QPushButton::clicked, this, [this] { Drive([this] { session_->SetDeviceClock(); }); });
}

void TFrmV7300NETIO_SendSerial::Drive(const std::function<void()>& work) {
    work();
    Refresh();
    Rearm();
}

void TFrmV7300NETIO_SendSerial::Tick() {
    Drive([this] { session_->onTick(clock_.monotonicMs()); });
    if (!session_->View().SearchReady || choosing_) return;
    // The device list is shown modally; the session's timers go on meanwhile.
    choosing_ = true;
    const auto chosen = ChooseDevice ? ChooseDevice() : std::nullopt;
    choosing_ = false;
    Drive([&] { session_->FinishSearch(chosen); });
}

void TFrmV7300NETIO_SendSerial::Rearm() {
    if (!timer_) return;
    const std::int64_t wait = session_->NextDeadline() - clock_.monotonicMs();
    timer_->start(static_cast<int>(std::clamp<std::int64_t>(wait, 0, 60000)));
}

void TFrmV7300NETIO_SendSerial::AppendLog(const std::string& line) {
    log_->addItem(q(line));
    while (log_->count() > static_cast<int>(TTransferSession::kMaxLogLines)) delete log_->takeItem(0);
    // The new last line is selected, so that it is in view.
    log_->setCurrentRow(log_->count() - 1);
    log_->scrollToBottom();
}

void TFrmV7300NETIO_SendSerial::Refresh() {
    const auto& v = session_->View();
    const auto& s = session_->Settings();
    SyncText(*address_, q(session_->Address()));
    SyncText(*newIp_, q(s.NewIp));
    SyncText(*mask_, q(s.Mask));
    SyncText(*gateway_, q(s.Gateway));
    SyncText(*dns_, q(s.Dns));
    if (timeZone_->currentIndex() != s.TimeZone) timeZone_->setCurrentIndex(s.TimeZone);
    for (std::size_t i = 0; i < mac_.size(); ++i) SyncText(*mac_[i], q(s.Mac[i]));
    SyncText(*webPort_, q(s.WebPort));
    SyncText(*telnetPort_, q(s.TelnetPort));
    SyncText(*password_, q(s.Password));
    SyncText(*crc_, q(v.LogicCrc));

    status_->setText(q(v.Status));
    SetFittingText(*clockLine_, q(v.ClockLine));
    firmware_->setText(q(v.FirmwareLine));
    firmware_->setStyleSheet(QStringLiteral("color: %1;").arg(Colour(v.FirmwareColour).name()));
    cycleTime_->setText(q(v.CycleTime));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        SetPanel(*panels_[i], Colour(v.Panels[i].Colour), v.Panels[i].Lowered);
        panels_[i]->setToolTip(q(v.Panels[i].Hint));
    }
    transferButton_->setEnabled(v.TransferEnabled);
    clockButton_->setEnabled(v.ClockEnabled);
    progress_->setRange(0, std::max(1, v.ProgressMax));
    progress_->setValue(std::clamp(v.ProgressPosition, 0, std::max(1, v.ProgressMax)));
    if (v.Busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void TFrmV7300NETIO_SendSerial::done(int result) {
    if (timer_) timer_->stop();
    if (link_.Subscribe) link_.Subscribe({}, {});
    QDialog::done(result);
}

std::string ShowTransferWindow(QWidget* parent, TV7300_EEPROM_Data image, std::int32_t programChecksum,
                               const std::string& address, TDeviceLinkPort link, Clock& clock, MessagePort& messages,
                               TDeviceSearch& search) {
    TFrmV7300NETIO_SendSerial window(std::move(image), programChecksum, address, std::move(link), clock, messages,
                                     search, nullptr, parent);
    window.exec();
    return window.Address();
}

} // namespace v7300

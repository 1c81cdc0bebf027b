// The controls of the bus configuration window at their places.
#include "ui/device/DeviceWidgets.h"
#include "ui/device/UnitRS485Config.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace v7300 {

using namespace device_ui;

namespace {

constexpr QRect kPanelArea(270, 134, 260, 196);

QFrame* typePanel(QWidget* parent, const QString& title) {
    auto* f = new QFrame(parent);
    f->setGeometry(kPanelArea);
    f->setFrameStyle(QFrame::Box | QFrame::Plain);
    f->setStyleSheet(QStringLiteral("QFrame#panel { border: 1px solid #444444; }"));
    f->setObjectName(QStringLiteral("panel"));
    Label(f, title, 8, 6, true);
    f->hide();
    return f;
}

QString portCaption(std::size_t k) { return QString::number(k + 1); }

} // namespace

void TFrmRS485Config::BuildLayout() {
    MakeBlackWindow(*this);
    BuildDeviceArea();
    BuildSelectionArea();
    BuildOutputAndInputPanels();
    BuildTemperatureAndPwmPanels();
    BuildNotes();
}

void TFrmRS485Config::BuildDeviceArea() {
    Label(this, QStringLiteral("Device:"), 8, 8, true);
    list_ = new QListWidget(this);
    list_->setGeometry(8, 26, 250, 240);
    searchButton_ = Button(this, QString::fromUtf8(kBusSearchCaption), QRect(8, 272, 122, 25));
    clearButton_ = Button(this, QStringLiteral("Liste Löschen"), QRect(136, 272, 122, 25));
    progress_ = new QProgressBar(this);
    progress_->setGeometry(8, 303, 250, 16);
    progress_->setRange(0, kMaxBusId);
    progress_->setTextVisible(false);
    status_ = new QLabel(this);
    status_->setGeometry(8, 323, 250, 16);
    status_->setAlignment(Qt::AlignCenter);

    Label(this, QStringLiteral("ID:"), 8, 352);
    findId_ = Field(this, QRect(30, 348, 50, 21), 3);
    findButton_ = Button(this, QStringLiteral("Device Finden"), QRect(86, 346, 172, 25));
    findUnconfigured_ = Button(this, QStringLiteral("Unkonfiguriertes Device finden"), QRect(8, 377, 250, 25));
}

void TFrmRS485Config::BuildSelectionArea() {
    Label(this, QStringLiteral("ID (1-32):"), 270, 8, true);
    deviceId_ = Field(this, QRect(270, 26, 60, 21), 3);
    idButton_ = Button(this, QStringLiteral("ID Übertragen"), QRect(336, 24, 194, 25));
    Label(this, QStringLiteral("Device Type:"), 270, 56, true);
    deviceType_ = new QLabel(this);
    deviceType_->setGeometry(270, 72, 260, 16);
    Label(this, QStringLiteral("Device Firmware:"), 270, 94, true);
    firmware_ = new QLabel(this);
    firmware_->setGeometry(270, 110, 260, 16);

    autoFetch_ = new QCheckBox(QStringLiteral("Automatisch abrufen"), this);
    autoFetch_->setGeometry(270, 340, 150, 20);
    connection_ = new QLabel(this);
    connection_->setGeometry(420, 342, 110, 16);
    connection_->setFont(WindowFont(8, true));
    connection_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TFrmRS485Config::BuildOutputAndInputPanels() {
    outputPanel_ = typePanel(this, QStringLiteral("Output-Device:"));
    inputPanel_ = typePanel(this, QStringLiteral("Input-Device:"));
    for (std::size_t k = 0; k < 8; ++k) {
        const QRect place(8 + static_cast<int>(k) * 31, 30, 27, 27);
        outputPorts_[k] = Button(outputPanel_, portCaption(k), place);
        outputPorts_[k]->setCursor(Qt::PointingHandCursor);
        inputPorts_[k] = Panel(inputPanel_, portCaption(k), place);
    }
    outputSend_ = Button(outputPanel_, QStringLiteral("Daten Übertragen"), QRect(8, 68, 244, 25));
    inputFetch_ = Button(inputPanel_, QStringLiteral("Daten Abrufen"), QRect(8, 68, 244, 25));
}

void TFrmRS485Config::BuildTemperatureAndPwmPanels() {
    temperaturePanel_ = typePanel(this, QStringLiteral("Temperatur-Device:"));
    for (std::size_t k = 0; k < 4; ++k) {
        const int y = 30 + static_cast<int>(k) * 22;
        temperatureCaptions_[k] = Label(temperaturePanel_, QStringLiteral("Temperatur %1:").arg(k + 1), 8, y);
        temperatures_[k] = new QLabel(temperaturePanel_);
        temperatures_[k]->setGeometry(110, y, 140, 16);
        temperatures_[k]->setFont(WindowFont(8, true));
    }
    temperatureFetch_ = Button(temperaturePanel_, QStringLiteral("Daten Abrufen"), QRect(8, 124, 244, 25));

    pwmPanel_ = typePanel(this, QStringLiteral("PWM-Device:"));
    for (std::size_t k = 0; k < 2; ++k) {
        const int y = 30 + static_cast<int>(k) * 26;
        Label(pwmPanel_, QStringLiteral("PWM%1:").arg(k + 1), 8, y + 2);
        pwm_[k] = new QSlider(Qt::Horizontal, pwmPanel_);
        pwm_[k]->setGeometry(52, y, 200, 20);
        pwm_[k]->setRange(0, 255);
    }
    pwmSend_ = Button(pwmPanel_, QStringLiteral("Daten Übertragen"), QRect(8, 84, 244, 25));
    specialButton_ = Button(pwmPanel_, QStringLiteral("Spezial Einstellungen"), QRect(8, 118, 244, 25));
    for (std::size_t k = 0; k < 2; ++k) {
        const int y = 118 + static_cast<int>(k) * 28;
        frequency_[k] = new QComboBox(pwmPanel_);
        frequency_[k]->setGeometry(8, y, 100, 22);
        for (const auto& f : kPwmFrequencies) frequency_[k]->addItem(QString::fromUtf8(f.Text));
        invert_[k] = new QCheckBox(QStringLiteral("INV"), pwmPanel_);
        invert_[k]->setGeometry(116, y + 1, 56, 20);
        frequency_[k]->hide();
        invert_[k]->hide();
    }
    setButton_ = Button(pwmPanel_, QStringLiteral("Setzten"), QRect(176, 131, 76, 25));
    setButton_->hide();
}

void TFrmRS485Config::BuildNotes() {
    log_ = new QPlainTextEdit(this);
    log_->setGeometry(542, 8, 310, 394);
    log_->setReadOnly(true);
    log_->setFont(FixedPitchFont(8));
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* note = Label(this, QString::fromUtf8(kBusNoteCaption), 8, 412, true);
    note->setStyleSheet(QStringLiteral("color: #FF8000;"));
    Label(this, QString::fromUtf8(kBusNote), 70, 412);
    memo_ = new QPlainTextEdit(this);
    memo_->setGeometry(8, 432, 844, 54);
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList lines;
    for (const char* line : kBusMemoLines) lines << QString::fromUtf8(line);
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
}

} // namespace v7300

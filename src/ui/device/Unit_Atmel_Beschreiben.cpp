#include "ui/device/Unit_Atmel_Beschreiben.h"

#include "device/CPDrv.h"
#include "device/FirmwareList.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace v7300 {
namespace {

constexpr int kItemHeight = 50;

const char* const kNoteText =
    "Dieser Vorgang schreibt eine neue Firmware in den ATMega644.\n"
    "Dazu wird ein V7300-ISP-Programmer benötigt. \n"
    "Dieser Vorgang kann länger dauern. Dabei wirkt die Software\n"
    "als wenn sie hängen würde. Jedoch läuft das Programmieren \n"
    "weiter!\n"
    "\n"
    "Wir übernehmen keine Haftung für eventuelle Schäden.\n"
    "\n"
    "ACHTUNG: Nach dem FirmwareFlashen kann es bis zu 2 Minuten \n"
    "dauern bis das V7300-NET-IO wieder ansprechbar ist.";

QFont windowFont(int points, bool bold = false) {
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

// The firmware list's items: a white frame on black (0x222222 when selected), a
// grey square, the caption in 10-point type, red when selected.
class TFirmwareItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kItemHeight};
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        p->save();
        p->fillRect(r, selected ? QColor(0x22, 0x22, 0x22) : QColor(Qt::black));
        p->setPen(Qt::white);
        p->drawRect(r.adjusted(0, 0, -1, -1));
        const int h = r.height() - 10;
        const QRect square(r.left() + 5, r.top() + 5, h, r.bottom() + 1 - 5 - (r.top() + 5));
        p->fillRect(square, QColor(0x44, 0x44, 0x44));
        p->setFont(windowFont(10));
        p->setPen(selected ? QColor(0xFF, 0, 0) : QColor(Qt::white));
        const QRect text(square.right() + 1 + 15, r.top() + 5, r.right() - square.right() - 16, r.height() - 10);
        p->drawText(text, Qt::AlignLeft | Qt::AlignTop, index.data(Qt::DisplayRole).toString());
        p->restore();
    }
};

// The largest font up to the given one in which every line fits into the box
// (fonts wider than the one the note was written for would otherwise cut it off).
QFont fittingFont(QFont font, const QStringList& lines, QSize box) {
    for (double size = font.pointSizeF(); size > 5.0; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetrics m(font);
        int widest = 0;
        for (const auto& line : lines) widest = std::max(widest, m.horizontalAdvance(line));
        if (widest <= box.width() && m.lineSpacing() * lines.size() <= box.height()) break;
    }
    return font;
}

const char* const kDarkScrollBars =
    "QScrollBar:vertical { background: #222222; width: 14px; margin: 0; }"
    "QScrollBar::handle:vertical { background: #444444; min-height: 20px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: #222222; }";

QLabel* boldLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setFont(windowFont(8, true));
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

TFrmAtmelBeschreiben::TFrmAtmelBeschreiben(QWidget* parent, TFirmwareFlashSetup setup,
                                           const std::string& deviceFolder)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      flash_(std::make_unique<TFirmwareFlash>(std::move(setup))) {
    setWindowTitle(QStringLiteral("Atmel Beschreiben"));
    setFixedSize(939, 556);
    BuildLayout();
    flash_->SetPorts(AvailableSerialPorts(deviceFolder));
    for (const auto& port : flash_->Ports()) ports_->addItem(QString::fromStdString(port));
    ports_->setCurrentIndex(-1);

    flash_->OnChanged = [this] { Refresh(); };
    flash_->OnFinished = [this] { output_->setFocus(); };
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        const auto rows = list_->selectionModel()->selectedRows();
        flash_->SelectEntry(rows.isEmpty() ? -1 : rows.front().row());
    });
    connect(ports_, &QComboBox::currentIndexChanged, this, [this](int i) { flash_->SelectPort(i); });
    connect(button_, &QPushButton::clicked, this, [this] {
        flash_->Transfer();
        WatchOutput();
        Refresh();
    });
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
    timer_->start();
}

TFrmAtmelBeschreiben::~TFrmAtmelBeschreiben() {
    delete notifier_;
    flash_->OnChanged = nullptr;
    flash_->OnFinished = nullptr;
    flash_->Close();
}

void TFrmAtmelBeschreiben::BuildLayout() {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setFont(windowFont(8));

    boldLabel(this, QStringLiteral("Device zum Update:"), 8, 8);
    list_ = new QListWidget(this);
    list_->setGeometry(8, 27, 321, 310);
    list_->setItemDelegate(new TFirmwareItemDelegate(list_));
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setStyleSheet(QStringLiteral("QListWidget { background: black; border: 1px solid #444444; }") +
                         QLatin1String(kDarkScrollBars));
    for (const char* entry : kFirmwareEntries) list_->addItem(QString::fromStdString(FirmwareCaption(entry)));

    boldLabel(this, QStringLiteral("Comport:"), 8, 343);
    ports_ = new QComboBox(this);
    ports_->setGeometry(8, 362, 137, 21);
    ports_->setStyleSheet(QStringLiteral("QComboBox { background: white; color: black; padding-left: 3px; }"
                                         "QComboBox QAbstractItemView { background: white; color: black; }"));
    button_ = new QPushButton(QStringLiteral("Firmware übertragen"), this);
    button_->setGeometry(151, 360, 178, 25);
    button_->setStyleSheet(QStringLiteral(
        "QPushButton { background: #444444; color: white; border: 1px solid #888888; }"
        "QPushButton:hover { background: #555555; } QPushButton:disabled { color: #888888; }"));

    boldLabel(this, QStringLiteral("WICHTIG:"), 8, 388);
    const QString note = QString::fromUtf8(kNoteText);
    note_ = new QLabel(note, this);
    note_->setGeometry(8, 407, 321, 138);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->setStyleSheet(QStringLiteral("QLabel { background: #222222; color: white; padding: 2px; }"));
    note_->setFont(fittingFont(windowFont(8), note.split(QLatin1Char('\n')), QSize(321 - 6, 138 - 4)));

    boldLabel(this, QStringLiteral("Update vorgang:"), 335, 8);
    output_ = new QPlainTextEdit(this);
    output_->setGeometry(335, 27, 594, 518);
    output_->setReadOnly(true);
    output_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    output_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    mono.setPointSize(10);
    output_->setFont(mono);
    output_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: white; border: 1px solid #444444; }") +
                           QLatin1String(kDarkScrollBars));
}

void TFrmAtmelBeschreiben::Tick() {
    flash_->OnTick(0);
    WatchOutput();
}

// Watches the pipe of the running avrdude; the notifier goes with the pipe.
void TFrmAtmelBeschreiben::WatchOutput() {
    const int fd = flash_->Descriptor();
    if (notifier_ && (fd < 0 || notifier_->socket() != fd)) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    if (fd >= 0 && !notifier_) {
        notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            flash_->OnReadable();
            WatchOutput();
        });
    }
}

void TFrmAtmelBeschreiben::Refresh() {
    WatchOutput();
    button_->setEnabled(flash_->ButtonEnabled());
    list_->setEnabled(flash_->ListEnabled());
    const QString text = QString::fromUtf8(flash_->Output().Text());
    if (text == shownText_) return;
    shownText_ = text;
    output_->setPlainText(text);
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
}

void TFrmAtmelBeschreiben::done(int result) {
    flash_->Close();
    WatchOutput();
    Refresh();
    QDialog::done(result);
}

void ShowAtmelBeschreiben(QWidget* parent, MessagePort& messages, Clock& clock, const std::string& programFolder) {
    const char* path = std::getenv("PATH");
    TFirmwareFlashSetup setup{programFolder + "/tools/isp", path ? path : "", &messages, &clock};
    TFrmAtmelBeschreiben window(parent, std::move(setup), SerialDeviceFolder());
    window.exec();
}

} // namespace v7300

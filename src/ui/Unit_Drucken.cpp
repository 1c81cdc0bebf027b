#include "ui/Unit_Drucken.h"

#include "core/Clock.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

namespace v7300 {

TFrmDrucken::TFrmDrucken(Clock& clock, QWidget* parent) : QDialog(parent), clock_(clock) {
    setWindowTitle(QStringLiteral("Druckvorschau"));
    setFixedSize(137, 106);
    ButtonPrint = new QPushButton(QStringLiteral("Drucken"), this);
    ButtonPrint->setGeometry(8, 8, 121, 25);
    Printers = new QComboBox(this);
    Printers->setGeometry(8, 40, 121, 21);
    auto* note = new QLabel(QStringLiteral("Hier ist ganz erlich noch mehr geplant ;-)"), this);
    note->setGeometry(8, 66, 121, 34);
    note->setWordWrap(true);
    const QStringList names = QPrinterInfo::availablePrinterNames();
    Printers->addItems(names);
    const int def = names.indexOf(QPrinterInfo::defaultPrinterName());
    if (def >= 0) Printers->setCurrentIndex(def);
    connect(ButtonPrint, &QPushButton::clicked, this, &TFrmDrucken::Print);
}

void TFrmDrucken::SetPicture(const QImage& picture, const QString& title) {
    picture_ = picture;
    title_ = title;
}

double TFrmDrucken::DrawPage(QPainter& painter, int pageWidth, int pageHeight) const {
    if (picture_.isNull()) return 0;
    const int t = painter.fontMetrics().height();
    double f = static_cast<double>(pageHeight) / picture_.height();
    if (pageWidth < picture_.width() * f) f = static_cast<double>(pageWidth) / picture_.width();
    const QSize size(static_cast<int>(picture_.width() * f), static_cast<int>(picture_.height() * f));
    painter.drawImage(QRect(QPoint(0, 5 * t), size), picture_);
    painter.drawText(5, t, title_);
    painter.drawText(5, 3 * t, DateLine());
    return f;
}

namespace {
// A time format without its time-zone fields ('t' outside quotes) and the blanks before them.
QString withoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) {
            while (out.endsWith(QLatin1Char(' '))) out.chop(1);
            continue;
        }
        out += c;
    }
    return out.trimmed();
}
} // namespace

QString TFrmDrucken::DateLine() const {
    const DateTime now = clock_.localNow();
    const QDate date(now.year, now.month, now.day);
    const QTime time(now.hour, now.minute, now.second);
    const QLocale locale;
    return locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

void TFrmDrucken::Print() {
    if (Printers->currentIndex() < 0) {
        reject();
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(Printers->currentText()), QPrinter::HighResolution);
    PrintTo(printer);
    accept();
}

bool TFrmDrucken::PrintTo(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    DrawPage(painter, page.width(), page.height());
    return painter.end();
}

} // namespace v7300

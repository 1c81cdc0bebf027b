#include "ui/dialogs/Unit_Drucken.h"

#include "core/Clock.h"
#include "core/Error.h"
#include "core/FileIO.h"

#include <QBuffer>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <algorithm>

namespace v7300 {

TFrmDrucken::TFrmDrucken(Clock& clock, QWidget* parent)
    : QDialog(parent), clock_(clock), ownMessages_(this) {
    setWindowTitle(QStringLiteral("Druckvorschau"));
    setFixedSize(137, 106);
    ButtonPrint = new QPushButton(QStringLiteral("Drucken"), this);
    ButtonPrint->setGeometry(8, 8, 121, 25);
    Printers = new QComboBox(this);
    Printers->setGeometry(8, 40, 121, 21);
    Note = new QLabel(QStringLiteral("Hier ist ganz erlich noch mehr geplant ;-)"), this);
    Note->setWordWrap(true);
    // The note wraps; the dialog grows so that no line of it is cut.
    Note->ensurePolished();
    const int noteHeight = std::max(34, Note->heightForWidth(121));
    Note->setGeometry(8, 66, 121, noteHeight);
    setFixedSize(137, std::max(106, 66 + noteHeight + 6));
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
    MessagePort& messages = Messages ? *Messages : ownMessages_;
    if (Printers->currentIndex() < 0) {
        OfferPdf();
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(Printers->currentText()), QPrinter::HighResolution);
    if (!PrintTo(printer)) {
        messages.showError("Der Druckauftrag kann nicht gestartet werden.");
        return;
    }
    accept();
}

void TFrmDrucken::OfferPdf() {
    MessagePort& messages = Messages ? *Messages : ownMessages_;
    TFileDialogs& dialogs = Dialogs ? *Dialogs : ownDialogs_;
    const MsgButton answer = messages.show({"Hinweis",
                                            "Es ist kein Drucker eingerichtet.\r\n"
                                            "Soll die Seite als PDF-Datei gespeichert werden?",
                                            MsgIcon::Information, MbYes | MbNo, MbYes});
    if (answer != MbYes) return;
    const std::string path = dialogs.SaveFile(this, "PDF-Datei (*.pdf)|*.pdf", ".pdf");
    if (path.empty()) return;
    try {
        SavePdf(path);
    } catch (const std::exception& e) {
        messages.showPlain("Speichern Fehlgeschlagen!\r\n" + userMessage(e));
        return;
    }
    accept();
}

void TFrmDrucken::SavePdf(const std::string& path) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(title_);
        QPainter painter;
        if (!painter.begin(&writer)) throw Error("Die PDF-Seite kann nicht erstellt werden");
        const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
        DrawPage(painter, page.width(), page.height());
        painter.end();
    }
    writeFileAtomic(path, pdf.data().toStdString());
}

bool TFrmDrucken::PrintTo(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    DrawPage(painter, page.width(), page.height());
    return painter.end();
}

} // namespace v7300

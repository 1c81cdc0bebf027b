#pragma once
// The print dialog "Druckvorschau": a printer list and a button that prints the
// diagram scaled to the page with its title and the date.
#include "ui/dialogs/FileDialogs.h"
#include "ui/app/QtMessagePort.h"

#include <QDialog>
#include <QImage>

#include <string>

class QComboBox;
class QLabel;
class QPainter;
class QPrinter;
class QPushButton;

namespace v7300 {

class Clock;
class MessagePort;

class TFrmDrucken : public QDialog {
    Q_OBJECT
public:
    TFrmDrucken(Clock& clock, QWidget* parent = nullptr);
    void SetPicture(const QImage& picture, const QString& title);
    const QImage& Picture() const { return picture_; }
    const QString& Title() const { return title_; }
    // "Drucken": prints on the printer chosen in the list and closes with OK.
    // Without any printer it says so and offers to save the page as a PDF file.
    void Print();
    // The page as a PDF file (A4), written safely; raises Error when it cannot be written.
    void SavePdf(const std::string& path);
    // One print job with the page on the given printer; false when the job cannot be started.
    bool PrintTo(QPrinter& printer) const;
    // Draws the page: picture scaled into (pageWidth, pageHeight) below the title and date lines.
    // Returns the scale used.
    double DrawPage(QPainter& painter, int pageWidth, int pageHeight) const;
    // The clock's date in the short date format, one blank, its time in the long time format
    // (without a time-zone name: the clock gives local time only).
    QString DateLine() const;

    QComboBox* Printers = nullptr;
    QPushButton* ButtonPrint = nullptr;
    QLabel* Note = nullptr;
    // Where messages and the save dialog come from (the main window's; own ones when unset).
    MessagePort* Messages = nullptr;
    TFileDialogs* Dialogs = nullptr;

private:
    void OfferPdf();

    Clock& clock_;
    TQtMessagePort ownMessages_;
    TQtFileDialogs ownDialogs_;
    QImage picture_;
    QString title_;
};

} // namespace v7300

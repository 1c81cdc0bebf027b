#pragma once
// The print dialog "Druckvorschau": a printer list and a button that prints the
// diagram scaled to the page with its title and the date.
#include <QDialog>
#include <QImage>

class QComboBox;
class QPainter;
class QPrinter;
class QPushButton;

namespace v7300 {

class Clock;

class TFrmDrucken : public QDialog {
    Q_OBJECT
public:
    TFrmDrucken(Clock& clock, QWidget* parent = nullptr);
    void SetPicture(const QImage& picture, const QString& title);
    const QImage& Picture() const { return picture_; }
    const QString& Title() const { return title_; }
    // "Drucken": prints on the printer chosen in the list and closes with OK.
    void Print();
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

private:
    Clock& clock_;
    QImage picture_;
    QString title_;
};

} // namespace v7300

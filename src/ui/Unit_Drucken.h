#pragma once
// The print dialog "Druckvorschau": a printer list and a button that prints the
// diagram scaled to the page with its title and the date.
#include <QDialog>
#include <QImage>

class QComboBox;
class QPainter;
class QPushButton;

namespace v7300 {

class Clock;

class TFrmDrucken : public QDialog {
    Q_OBJECT
public:
    TFrmDrucken(Clock& clock, QWidget* parent = nullptr);
    void SetPicture(const QImage& picture, const QString& title);
    // "Drucken": prints on the printer chosen in the list and closes with OK.
    void Print();
    // Draws the page: picture scaled into (pageWidth, pageHeight) below the title and date lines.
    // Returns the scale used.
    double DrawPage(QPainter& painter, int pageWidth, int pageHeight) const;

    QComboBox* Printers = nullptr;
    QPushButton* ButtonPrint = nullptr;

private:
    Clock& clock_;
    QImage picture_;
    QString title_;
};

} // namespace v7300

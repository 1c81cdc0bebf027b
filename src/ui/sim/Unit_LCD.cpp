#include "ui/sim/Unit_LCD.h"

#include "ui/app/DarkLook.h"

#include <QLabel>
#include <QMetaObject>

namespace v7300 {

TFrmLCD::TFrmLCD(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("LCD"));
    setFixedSize(179, 58);
    SetColours(*this, QColor(0, 0, 0xFF), Qt::white);
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::Monospace);
    f.setBold(true);
    f.setPixelSize(16);
    Line1 = new QLabel(QStringLiteral("V7300 - Logik"), this);
    Line2 = new QLabel(QStringLiteral("Quellmark"), this);
    for (QLabel* l : {Line1, Line2}) l->setFont(f);
    Line1->setGeometry(8, 8, 160, 18);
    Line2->setGeometry(8, 32, 160, 18);
}

void TFrmLCD::SetLine(int line, const QString& text) { (line == 1 ? Line1 : Line2)->setText(text); }

void TFrmLCD::ShowLcd() {
    if (!isVisible()) {
        if (parentWidget()) move(parentWidget()->geometry().center() - QPoint(width() / 2, height() / 2));
        show();
    }
}

void TFrmLCD::PostLine(int line, const QString& text) {
    QMetaObject::invokeMethod(this, "SetLine", Qt::QueuedConnection, Q_ARG(int, line), Q_ARG(QString, text));
}

void TFrmLCD::PostShow() { QMetaObject::invokeMethod(this, "ShowLcd", Qt::QueuedConnection); }

QString TFrmLCD::Line(int line) const { return (line == 1 ? Line1 : Line2)->text(); }

} // namespace v7300

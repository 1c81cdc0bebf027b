#include "ui/app/StatusPanel.h"

#include <QPainter>

namespace v7300 {

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStatusPanel::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
}

void TStatusPanel::SetMessage(const QString& message) {
    if (message == message_) return;
    message_ = message;
    update();
}

void TStatusPanel::SetZoom(const QString& zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    update();
}

void TStatusPanel::SetSimulatedTime(const QString& time) {
    if (time == simulatedTime_) return;
    simulatedTime_ = time;
    update();
}

void TStatusPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QRect r = rect();
    p.setPen(Qt::black);
    p.setBrush(text_.startsWith(QLatin1Char('*')) ? QColor(0xFF, 0, 0) : QColor(0, 0x80, 0));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawEllipse(
        QRect(QPoint(r.top() + 2, r.top() + 2), QPoint(r.bottom() - r.top(), r.bottom() - r.top())));
    p.setPen(Qt::white);
    const int zoomWidth = zoom_.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(zoom_) + 12;
    const int timeWidth = simulatedTime_.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(simulatedTime_) + 24;
    const QRect textBox(20, r.top(), r.width() - 20 - zoomWidth - timeWidth, r.height());
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, text_);
    if (!message_.isEmpty()) {
        // The message follows the name, in the accent colour.
        const int left = 20 + p.fontMetrics().horizontalAdvance(text_) + 24;
        p.setPen(QColor(0xFF, 0x80, 0x00));
        p.drawText(QRect(left, r.top(), std::max(textBox.right() - left, 0), r.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, message_);
        p.setPen(Qt::white);
    }
    if (timeWidth > 0)
        p.drawText(QRect(r.width() - zoomWidth - timeWidth, r.top(), timeWidth - 12, r.height()),
                   Qt::AlignRight | Qt::AlignVCenter, simulatedTime_);
    if (zoomWidth > 0)
        p.drawText(QRect(r.width() - zoomWidth, r.top(), zoomWidth - 6, r.height()),
                   Qt::AlignRight | Qt::AlignVCenter, zoom_);
}

} // namespace v7300

#include "ui/editor/V7300Scrollbar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace v7300 {

TV7300Scrollbar::TV7300Scrollbar(int direction, QWidget* parent) : QWidget(parent), Direction(direction) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TV7300Scrollbar::SetPosition(int value) {
    const long long span = static_cast<long long>(length()) * (Max - Min);
    if (span == 0) return;
    if (value >= Min && value <= Max) {
        Position = value;
        ThumbCenter = static_cast<int>(static_cast<long long>(length()) * value / (Max - Min));
    }
    update();
}

void TV7300Scrollbar::notify() {
    if (OnScroll) OnScroll(*this, Position);
}

void TV7300Scrollbar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
    if (!isEnabled()) return;
    const int outer = length();
    int start = std::max(ThumbCenter - 10, 0);
    const int end = std::min(start + 20, outer);
    start = end - 20;
    p.setPen(Qt::black);
    p.setBrush(QColor(0xFF, 0x80, 0x00));
    if (Direction == 1)
        p.drawRect(0, start, width() - 1, 19);
    else
        p.drawRect(start, 0, 19, height() - 1);
}

void TV7300Scrollbar::mousePressEvent(QMouseEvent* event) {
    const int m = along(event->position());
    if (ThumbCenter - 10 < m && m < ThumbCenter + 10)
        DragOrigin = m;
    else if (m < ThumbCenter - 10)
        SetPosition(Position - 1);
    else if (m > ThumbCenter + 10)
        SetPosition(Position + 1);
    notify();
    update();
}

void TV7300Scrollbar::mouseMoveEvent(QMouseEvent* event) {
    if (DragOrigin < 0) return;
    const int m = along(event->position());
    const int len = length();
    if (len > 0) SetPosition(static_cast<int>(static_cast<double>(m) / len * (Max - Min)));
    notify();
    ThumbCenter = std::min(std::max(m, 10), len - 10);
    update();
}

void TV7300Scrollbar::mouseReleaseEvent(QMouseEvent*) { DragOrigin = -1; }

} // namespace v7300

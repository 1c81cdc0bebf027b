#include "ui/editor/DrawingArea.h"

#include "ui/dialogs/UnitError.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace v7300 {

TDrawingArea::TDrawingArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void TDrawingArea::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage* picture = Picture ? Picture() : nullptr;
    if (picture && !picture->isNull()) {
        p.drawImage(event->rect(), *picture, event->rect());
        if (picture->width() < width()) p.fillRect(QRect(picture->width(), 0, width(), height()), Qt::black);
        if (picture->height() < height()) p.fillRect(QRect(0, picture->height(), width(), height()), Qt::black);
    } else {
        p.fillRect(event->rect(), Qt::black);
    }
    p.end();
    if (picture && OnPainted) OnPainted();
}

void TDrawingArea::mousePressEvent(QMouseEvent* event) {
    Guarded(this, [&] {
        if (OnMouseDown) OnMouseDown(event);
    });
}
void TDrawingArea::mouseMoveEvent(QMouseEvent* event) {
    Guarded(this, [&] {
        if (OnMouseMove) OnMouseMove(event);
    });
}
void TDrawingArea::mouseReleaseEvent(QMouseEvent* event) {
    Guarded(this, [&] {
        if (OnMouseUp) OnMouseUp(event);
    });
}
void TDrawingArea::mouseDoubleClickEvent(QMouseEvent* event) {
    Guarded(this, [&] {
        if (OnDoubleClick) OnDoubleClick(event);
    });
}
void TDrawingArea::wheelEvent(QWheelEvent* event) {
    bool handled = false;
    Guarded(this, [&] { handled = OnWheel && OnWheel(event); });
    event->setAccepted(handled);
}
void TDrawingArea::dragEnterEvent(QDragEnterEvent* event) {
    bool ok = false;
    Guarded(this, [&] { ok = OnDragOver && OnDragOver(event->mimeData(), event->position().toPoint()); });
    // Enter is accepted for every palette entry; the move decides where it may drop.
    if (ok || (event->mimeData() && !event->mimeData()->formats().isEmpty())) event->acceptProposedAction();
}
void TDrawingArea::dragMoveEvent(QDragMoveEvent* event) {
    bool ok = false;
    Guarded(this, [&] { ok = OnDragOver && OnDragOver(event->mimeData(), event->position().toPoint()); });
    if (ok)
        event->acceptProposedAction();
    else
        event->ignore();
}
void TDrawingArea::dropEvent(QDropEvent* event) {
    Guarded(this, [&] {
        if (OnDrop) OnDrop(event->mimeData(), event->position().toPoint());
    });
    event->acceptProposedAction();
}

void TDrawingArea::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Guarded(this, [&] {
        if (OnLeave) OnLeave();
    });
}

} // namespace v7300

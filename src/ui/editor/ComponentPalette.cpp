#include "ui/editor/ComponentPalette.h"

#include "model/Logic.h"
#include "ui/canvas/QtImage.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace v7300 {

TComponentPalette::TComponentPalette(const TLogic& logic, QWidget* parent) : QWidget(parent), logic_(logic) {
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TComponentPalette::SetTypes(std::vector<std::string> names) {
    names_ = std::move(names);
    selected_ = -1;
    setMinimumHeight(sizeHint().height());
    resize(width(), sizeHint().height());
    update();
}

int TComponentPalette::EntryHeight(int index) const {
    const Image* image = logic_.GetBmpFromObjektName(names_.at(static_cast<std::size_t>(index)));
    return image && !image->empty() ? image->height + 35 : 30;
}

int TComponentPalette::EntryTop(int index) const {
    int top = 0;
    for (int i = 0; i < index; ++i) top += EntryHeight(i);
    return top;
}

int TComponentPalette::EntryAt(int y) const {
    int top = 0;
    for (int i = 0; i < static_cast<int>(names_.size()); ++i) {
        const int h = EntryHeight(i);
        if (y >= top && y < top + h) return i;
        top += h;
    }
    return -1;
}

QSize TComponentPalette::sizeHint() const {
    return {122, EntryTop(static_cast<int>(names_.size()))};
}

void TComponentPalette::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    int top = 0;
    for (int i = 0; i < static_cast<int>(names_.size()); ++i) {
        const int h = EntryHeight(i);
        // Each entry is drawn off-screen and then copied to its place.
        QImage entry(width(), h, QImage::Format_RGB32);
        entry.fill(i == selected_ ? QColor(0x22, 0x22, 0x22) : QColor(Qt::black));
        {
            QPainter e(&entry);
            e.setPen(QColor(0xDD, 0xDD, 0xDD));
            e.drawRect(0, 0, entry.width() - 1, h - 1);
            QFont f = e.font();
            f.setBold(true);
            e.setFont(f);
            e.setPen(Qt::white);
            e.drawText(QRect(5, 2, entry.width() - 6, 20), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(names_[static_cast<std::size_t>(i)]));
            if (const Image* image = logic_.GetBmpFromObjektName(names_[static_cast<std::size_t>(i)]);
                image && !image->empty())
                e.drawImage(20, 25, toQImage(*image, true));
        }
        p.drawImage(0, top, entry);
        top += h;
    }
}

void TComponentPalette::mousePressEvent(QMouseEvent* event) {
    pressPos_ = event->position().toPoint();
    const int index = EntryAt(pressPos_.y());
    if (index < 0) return;
    selected_ = index;
    update();
    if (OnPick) OnPick(names_[static_cast<std::size_t>(index)]);
}

void TComponentPalette::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || selected_ < 0) return;
    if ((event->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
    auto* mime = new QMimeData;
    mime->setData(kPaletteMime, QByteArray::fromStdString(names_[static_cast<std::size_t>(selected_)]));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction);
}

void TComponentPalette::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = EntryAt(event->position().toPoint().y());
    if (index < 0) return;
    selected_ = index;
    update();
    if (OnDoubleClick) OnDoubleClick(names_[static_cast<std::size_t>(index)]);
}

} // namespace v7300

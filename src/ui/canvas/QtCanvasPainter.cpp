#include "ui/canvas/QtCanvasPainter.h"

#include "ui/canvas/QtCanvas.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>

namespace v7300 {
namespace {

QColor toQColor(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (rgb & 0xFFFFFF))); }

QString toQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

} // namespace

TQtPainterCanvas::TQtPainterCanvas(QPainter& painter, int width, int height)
    : painter_(painter), width_(width), height_(height), pen_(Qt::black) {}

void TQtPainterCanvas::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
}

void TQtPainterCanvas::SetPen(const TCanvasPen& pen) {
    pen_ = QPen(toQColor(pen.Color), pen.Width, pen.Dotted ? Qt::DotLine : Qt::SolidLine);
    painter_.setPen(pen_);
}

void TQtPainterCanvas::SetBrush(const TCanvasBrush& brush) {
    painter_.setBrush(brush.Filled ? QBrush(toQColor(brush.Color)) : QBrush(Qt::NoBrush));
}

void TQtPainterCanvas::Fill(std::uint32_t color) { painter_.fillRect(QRect(0, 0, width_, height_), toQColor(color)); }

void TQtPainterCanvas::FillRect(int x1, int y1, int x2, int y2, std::uint32_t color) {
    if (x2 > x1 && y2 > y1) painter_.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), toQColor(color));
}

void TQtPainterCanvas::Pixels(const std::vector<TCanvasPoint>& points, std::uint32_t color) {
    painter_.setPen(QPen(toQColor(color), 1));
    for (const auto& p : points) painter_.drawPoint(p.X, p.Y);
    painter_.setPen(pen_);
}

void TQtPainterCanvas::LineTo(int x, int y) {
    painter_.drawLine(pos_.X, pos_.Y, x, y);
    pos_ = {x, y};
}

void TQtPainterCanvas::Polyline(const std::vector<TCanvasPoint>& points) {
    for (std::size_t i = 1; i < points.size(); ++i)
        painter_.drawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y);
}

void TQtPainterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x2 > x1 && y2 > y1) painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtPainterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (x2 > x1 && y2 > y1) painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

TTextSize TQtPainterCanvas::TextExtent(TCanvasFont font, const std::string& utf8) {
    const QFontMetrics m(DeviceFont(font), painter_.device());
    return {m.horizontalAdvance(toQString(utf8)), m.height()};
}

void TQtPainterCanvas::TextOut(int x, int y, const std::string& utf8, TCanvasFont font, std::uint32_t color,
                               bool opaque, std::uint32_t background) {
    if (utf8.empty()) return;
    const QFont f = DeviceFont(font);
    const QFontMetrics m(f, painter_.device());
    const QString text = toQString(utf8);
    if (opaque) painter_.fillRect(QRect(x, y, m.horizontalAdvance(text), m.height()), toQColor(background));
    painter_.setFont(f);
    painter_.setPen(toQColor(color));
    painter_.drawText(QPoint(x, y + m.ascent()), text);
    painter_.setPen(pen_);
}

void TQtPainterCanvas::DrawImage(int x, int y, const Image& picture) {
    if (picture.empty()) return;
    const QImage source(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                        static_cast<qsizetype>(picture.width) * 4, QImage::Format_RGB32);
    painter_.drawImage(QPoint(x, y), source);
}

void TQtPainterCanvas::SetClip(int x1, int y1, int x2, int y2) {
    painter_.setClipRect(QRect(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1)));
}

void TQtPainterCanvas::ClearClip() { painter_.setClipping(false); }

TQtPrintPages::TQtPrintPages(QPagedPaintDevice& device)
    : device_(device), painter_(&device), canvas_(painter_, device.width(), device.height()) {}

void TQtPrintPages::NewPage() { device_.newPage(); }

bool TQtPrintPages::Finish() { return painter_.isActive() && painter_.end(); }

} // namespace v7300

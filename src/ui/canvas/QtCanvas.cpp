#include "ui/canvas/QtCanvas.h"

#include <QFontDatabase>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace v7300 {
namespace {

QColor ToQColor(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (rgb & 0xFFFFFF))); }

QString LoadFamily(const char* file) {
    const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(kDejaVuFolder) + "/" + file);
    if (id < 0) return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.front();
}

constexpr std::size_t kFontKinds = 7;

struct FontSet {
    std::array<QFont, kFontKinds> fonts;
    std::array<std::unique_ptr<QFontMetrics>, kFontKinds> metrics;
};

const FontSet& Fonts() {
    static const FontSet set = [] {
        FontSet s;
        QString regular = LoadFamily("DejaVuSans.ttf");
        const QString bold = LoadFamily("DejaVuSans-Bold.ttf");
        if (regular.isEmpty()) regular = bold.isEmpty() ? QStringLiteral("DejaVu Sans") : bold;
        auto make = [&regular](int pixels, bool isBold) {
            QFont f(regular);
            f.setPixelSize(pixels);
            f.setBold(isBold);
            f.setHintingPreference(QFont::PreferNoHinting);
            f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias |
                                                    QFont::NoFontMerging));
            f.setKerning(false);
            return f;
        };
        s.fonts[static_cast<int>(TCanvasFont::Name)] = make(11, false);
        s.fonts[static_cast<int>(TCanvasFont::NameBold)] = make(11, true);
        s.fonts[static_cast<int>(TCanvasFont::TextBold)] = make(13, true);
        s.fonts[static_cast<int>(TCanvasFont::Caption)] = make(12, false);
        // The print fonts at 96 dots per inch.
        s.fonts[static_cast<int>(TCanvasFont::PrintTitle)] = make(21, true);
        s.fonts[static_cast<int>(TCanvasFont::PrintName)] = make(16, true);
        s.fonts[static_cast<int>(TCanvasFont::PrintText)] = make(13, false);
        for (std::size_t i = 0; i < s.fonts.size(); ++i) s.metrics[i] = std::make_unique<QFontMetrics>(s.fonts[i]);
        return s;
    }();
    return set;
}

} // namespace

QFont DiagramFont(TCanvasFont font) { return Fonts().fonts[static_cast<std::size_t>(font)]; }

QFont DeviceFont(TCanvasFont font) {
    QFont f = DiagramFont(font);
    switch (font) {
    case TCanvasFont::PrintTitle: f.setPointSize(16); break;
    case TCanvasFont::PrintName: f.setPointSize(12); break;
    case TCanvasFont::PrintText: f.setPointSize(10); break;
    default: break;
    }
    return f;
}

TQtCanvas::TQtCanvas() : TQtCanvas(0, 0) {}

TQtCanvas::TQtCanvas(int width, int height)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32), pen_(Qt::black), brush_(Qt::white) {
    pen_.setCosmetic(true);
    if (!image_.isNull()) image_.fill(Qt::black);
}

TQtCanvas::~TQtCanvas() { EndPainter(); }

void TQtCanvas::FlushLines() const {
    if (lines_.empty()) return;
    // Wires are mostly horizontal and vertical: those go straight into the pixels
    // (the pen's width grows right and down); the painter draws the others.
    std::size_t slanted = 0;
    if (!penSpec_.Dotted && penSpec_.Width >= 1 && !image_.isNull()) {
        const QRect bounds = clipped_ ? clip_.intersected(image_.rect()) : image_.rect();
        const QRgb v = 0xFF000000u | (penSpec_.Color & 0xFFFFFF);
        // The lines are only read here; the pixels are the canvas's own.
        auto* bits = reinterpret_cast<QRgb*>(const_cast<QImage&>(image_).bits());
        const int stride = static_cast<int>(image_.bytesPerLine() / 4);
        const int w = penSpec_.Width;
        for (const QLine& l : lines_) {
            if (l.x1() != l.x2() && l.y1() != l.y2()) {
                lines_[slanted++] = l;
                continue;
            }
            const int x1 = std::max(std::min(l.x1(), l.x2()), bounds.left());
            const int x2 = std::min(std::max(l.x1(), l.x2()) + w - 1, bounds.right());
            const int y1 = std::max(std::min(l.y1(), l.y2()), bounds.top());
            const int y2 = std::min(std::max(l.y1(), l.y2()) + w - 1, bounds.bottom());
            for (int y = y1; y <= y2; ++y) {
                QRgb* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
                for (int x = x1; x <= x2; ++x) row[x] = v;
            }
        }
    } else {
        slanted = lines_.size();
    }
    if (painter_ && slanted > 0) painter_->drawLines(lines_.data(), static_cast<int>(slanted));
    lines_.clear();
}

void TQtCanvas::AddLine(int x1, int y1, int x2, int y2) {
    if (!painter_) Painter();
    lines_.push_back(QLine(x1, y1, x2, y2));
}

QPainter& TQtCanvas::Painter() {
    if (!lines_.empty()) FlushLines();
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setPen(pen_);
        painter_->setBrush(brush_);
        if (clipped_) painter_->setClipRect(clip_);
    }
    return *painter_;
}

void TQtCanvas::EndPainter() const {
    FlushLines();
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

void TQtCanvas::Flush() { EndPainter(); }

QImage& TQtCanvas::Image() {
    EndPainter();
    return image_;
}

void TQtCanvas::SetSize(int width, int height) {
    EndPainter();
    lines_.clear();
    image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (!image_.isNull()) image_.fill(Qt::black);
    clipped_ = false;
}

void TQtCanvas::SetPen(const TCanvasPen& pen) {
    if (pen == penSpec_) return;
    FlushLines();
    penSpec_ = pen;
    pen_ = QPen(ToQColor(pen.Color), pen.Width);
    pen_.setCosmetic(true);
    if (pen.Dotted) pen_.setDashPattern({1.0, 1.0});
    if (painter_) painter_->setPen(pen_);
}

void TQtCanvas::SetBrush(const TCanvasBrush& brush) {
    brushFilled_ = brush.Filled;
    brush_ = brush.Filled ? QBrush(ToQColor(brush.Color)) : QBrush(Qt::NoBrush);
    if (painter_) painter_->setBrush(brush_);
}

void TQtCanvas::Fill(std::uint32_t color) {
    if (image_.isNull()) return;
    FlushLines();
    // Straight into the pixels: the painter's raster engine draws into the same memory.
    const QRgb v = 0xFF000000u | (color & 0xFFFFFF);
    for (int y = 0; y < image_.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(row, row + image_.width(), v);
    }
}

void TQtCanvas::FillRect(int x1, int y1, int x2, int y2, std::uint32_t color) {
    if (x2 <= x1 || y2 <= y1 || image_.isNull()) return;
    Painter().fillRect(QRect(x1, y1, x2 - x1, y2 - y1), ToQColor(color));
}

void TQtCanvas::Pixels(const std::vector<TCanvasPoint>& points, std::uint32_t color) {
    if (image_.isNull()) return;
    FlushLines();
    const QRect bounds = clipped_ ? clip_.intersected(image_.rect()) : image_.rect();
    const QRgb v = 0xFF000000u | (color & 0xFFFFFF);
    const int stride = static_cast<int>(image_.bytesPerLine() / 4);
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    for (const auto& p : points)
        if (bounds.contains(p.X, p.Y)) bits[p.Y * stride + p.X] = v;
}

void TQtCanvas::LineTo(int x, int y) {
    if (!image_.isNull()) AddLine(pos_.X, pos_.Y, x, y);
    pos_ = {x, y};
}

void TQtCanvas::Polyline(const std::vector<TCanvasPoint>& points) {
    if (points.size() < 2 || image_.isNull()) return;
    QVector<QPoint> qp;
    qp.reserve(static_cast<qsizetype>(points.size()));
    for (const auto& p : points) qp.push_back(QPoint(p.X, p.Y));
    Painter().drawPolyline(qp.data(), static_cast<int>(qp.size()));
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x2 <= x1 || y2 <= y1 || image_.isNull()) return;
    // The outline on the first and last covered pixel, as QRect counts them.
    if (!brushFilled_) {
        AddLine(x1, y1, x2 - 1, y1);
        AddLine(x2 - 1, y1, x2 - 1, y2 - 1);
        AddLine(x2 - 1, y2 - 1, x1, y2 - 1);
        AddLine(x1, y2 - 1, x1, y1);
        return;
    }
    Painter().drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (x2 <= x1 || y2 <= y1 || image_.isNull()) return;
    Painter().drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

TTextSize TQtCanvas::TextExtent(TCanvasFont font, const std::string& utf8) {
    const QFontMetrics& m = *Fonts().metrics[static_cast<std::size_t>(font)];
    return {m.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))), m.height()};
}

void TQtCanvas::TextOut(int x, int y, const std::string& utf8, TCanvasFont font, std::uint32_t color, bool opaque,
                        std::uint32_t background) {
    if (image_.isNull() || utf8.empty()) return;
    const auto index = static_cast<std::size_t>(font);
    const QFontMetrics& m = *Fonts().metrics[index];
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QPainter& p = Painter();
    if (opaque) p.fillRect(QRect(x, y, m.horizontalAdvance(text), m.height()), ToQColor(background));
    p.setFont(Fonts().fonts[index]);
    p.setPen(ToQColor(color));
    p.drawText(QPoint(x, y + m.ascent()), text);
    p.setPen(pen_);
}

void TQtCanvas::DrawImage(int x, int y, const v7300::Image& picture) {
    if (picture.empty() || image_.isNull()) return;
    // Wraps the pixels without copying; RGB32 ignores the alpha byte, so the copy is opaque.
    const QImage source(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height,
                        static_cast<qsizetype>(picture.width) * 4, QImage::Format_RGB32);
    Painter().drawImage(QPoint(x, y), source);
}

void TQtCanvas::DrawCanvas(int dx, int dy, const Canvas& source, int sx, int sy, int w, int h) {
    const auto* qt = dynamic_cast<const TQtCanvas*>(&source);
    if (qt == nullptr) {
        Canvas::DrawCanvas(dx, dy, source, sx, sy, w, h);
        return;
    }
    if (image_.isNull() || qt->image_.isNull()) return;
    qt->EndPainter();
    Painter().drawImage(QPoint(dx, dy), qt->image_, QRect(sx, sy, w, h));
}

void TQtCanvas::DrawCanvasScaled(int dx, int dy, int dw, int dh, const Canvas& source, int sx, int sy, int sw,
                                 int sh) {
    const auto* qt = dynamic_cast<const TQtCanvas*>(&source);
    if (qt == nullptr) {
        Canvas::DrawCanvasScaled(dx, dy, dw, dh, source, sx, sy, sw, sh);
        return;
    }
    if (image_.isNull() || qt->image_.isNull() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    qt->EndPainter();
    // Only the part that lies inside the source, with its share of the target box.
    const QRectF wanted(sx, sy, sw, sh);
    const QRectF part = wanted.intersected(QRectF(qt->image_.rect()));
    if (part.isEmpty()) return;
    const double fx = dw / wanted.width();
    const double fy = dh / wanted.height();
    const QRectF target(dx + (part.left() - sx) * fx, dy + (part.top() - sy) * fy, part.width() * fx,
                        part.height() * fy);
    if (dw >= sw && dh >= sh && !clipped_ && image_.depth() == 32 && qt->image_.depth() == 32) {
        // Enlarged or 1:1: each pixel repeated, straight into the pixels.
        FlushLines();
        ScaleUp(qt->image_, {sx, sy}, {dx, dy}, fx, fy, target.toAlignedRect().intersected(image_.rect()));
        return;
    }
    QPainter& p = Painter();
    p.setRenderHint(QPainter::SmoothPixmapTransform, dw < sw);
    p.drawImage(target, qt->image_, part);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void TQtCanvas::ScaleUp(const QImage& source, QPoint from, QPoint to, double fx, double fy, QRect target) {
    // The source pixel of every target column, once; rows that show the same
    // source row as the row above are copied from it.
    const int srcWidth = source.width();
    const int srcHeight = source.height();
    std::vector<int> columns(static_cast<std::size_t>(std::max(target.width(), 0)));
    for (int i = 0; i < target.width(); ++i)
        columns[static_cast<std::size_t>(i)] =
            std::clamp(from.x() + static_cast<int>(std::floor((target.left() + i - to.x()) / fx)), 0, srcWidth - 1);
    int previous = -1;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const int srcY = std::clamp(from.y() + static_cast<int>(std::floor((y - to.y()) / fy)), 0, srcHeight - 1);
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y)) + target.left();
        if (srcY == previous) {
            std::copy_n(reinterpret_cast<const QRgb*>(image_.constScanLine(y - 1)) + target.left(),
                        target.width(), row);
            continue;
        }
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(srcY));
        for (int i = 0; i < target.width(); ++i) row[i] = src[columns[static_cast<std::size_t>(i)]];
        previous = srcY;
    }
}

void TQtCanvas::SetClip(int x1, int y1, int x2, int y2) {
    FlushLines();
    clipped_ = true;
    clip_ = QRect(x1, y1, std::max(x2 - x1, 0), std::max(y2 - y1, 0));
    if (painter_) painter_->setClipRect(clip_);
}

void TQtCanvas::ClearClip() {
    FlushLines();
    clipped_ = false;
    if (painter_) painter_->setClipping(false);
}

v7300::Image TQtCanvas::ToImage() const {
    EndPainter();
    v7300::Image out(image_.width(), image_.height());
    for (int y = 0; y < image_.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
        for (int x = 0; x < image_.width(); ++x) out.pixels[static_cast<std::size_t>(y) * out.width + x] = 0xFF000000u | row[x];
    }
    return out;
}

} // namespace v7300

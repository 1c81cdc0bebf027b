#pragma once
// The diagram's canvas for the editor and the command line: QPainter on a QImage
// (32-bit RGB), with the DejaVu fonts loaded from the system's font folder so that
// the drawing is the same on every machine. Needs a QGuiApplication.
#include "model/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <memory>
#include <vector>

namespace v7300 {

// Where the diagram's fonts come from (fonts-dejavu-core).
inline constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";

// The font of a kind: DejaVu Sans 8 point (11 pixels) for names and values, bold
// for OUT texts, 10 point bold (13 pixels) for TXT labels, 12 pixels for captions.
// Loads the font files on first use; falls back to the default family when they are missing.
QFont DiagramFont(TCanvasFont font);
// The font of a kind on a device of its own resolution (a printer, a PDF): the
// print fonts in points, the diagram's fonts as DiagramFont.
QFont DeviceFont(TCanvasFont font);

class TQtCanvas : public Canvas {
public:
    TQtCanvas();
    TQtCanvas(int width, int height);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void SetSize(int width, int height) override;
    void SetPen(const TCanvasPen& pen) override;
    void SetBrush(const TCanvasBrush& brush) override;
    void Fill(std::uint32_t color) override;
    void FillRect(int x1, int y1, int x2, int y2, std::uint32_t color) override;
    void Pixels(const std::vector<TCanvasPoint>& points, std::uint32_t color) override;
    void MoveTo(int x, int y) override { pos_ = {x, y}; }
    void LineTo(int x, int y) override;
    TCanvasPoint PenPos() const override { return pos_; }
    void Polyline(const std::vector<TCanvasPoint>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    TTextSize TextExtent(TCanvasFont font, const std::string& utf8) override;
    void TextOut(int x, int y, const std::string& utf8, TCanvasFont font, std::uint32_t color, bool opaque,
                 std::uint32_t background) override;
    void DrawImage(int x, int y, const v7300::Image& picture) override;
    void DrawCanvas(int dx, int dy, const Canvas& source, int sx, int sy, int w, int h) override;
    // Enlarged: whole pixels (nearest); reduced: filtered, so that thin lines stay visible.
    void DrawCanvasScaled(int dx, int dy, int dw, int dh, const Canvas& source, int sx, int sy, int sw,
                          int sh) override;
    void SetClip(int x1, int y1, int x2, int y2) override;
    void ClearClip() override;
    void Flush() override;
    v7300::Image ToImage() const override;

    // The drawn picture (the painter is ended first, so it is complete).
    QImage& Image();

private:
    // The painter, with the lines collected so far drawn first.
    QPainter& Painter();
    void EndPainter() const;
    // The source from `from` on, enlarged by fx × fy with its pixel at `from`
    // landing on `to`, into the target rectangle of this image.
    void ScaleUp(const QImage& source, QPoint from, QPoint to, double fx, double fy, QRect target);
    // Lines are collected and drawn in one call: a wire is a dozen short lines.
    void FlushLines() const;
    void AddLine(int x1, int y1, int x2, int y2);

    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    mutable std::vector<QLine> lines_;
    QPen pen_;
    TCanvasPen penSpec_;
    QBrush brush_;
    bool brushFilled_ = true;
    TCanvasPoint pos_;
    bool clipped_ = false;
    QRect clip_;
};

} // namespace v7300

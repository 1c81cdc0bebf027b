#pragma once
// The canvas on a painter that someone else owns, and print jobs on a paged
// device (a printer, a PDF writer) for the Qt-free page layouts. Coordinates
// are the device's pixels; the print fonts are sized in points of the device.
#include "model/PrintPages.h"

#include <QPainter>

class QPagedPaintDevice;

namespace v7300 {

class TQtPainterCanvas : public Canvas {
public:
    TQtPainterCanvas(QPainter& painter, int width, int height);

    int Width() const override { return width_; }
    int Height() const override { return height_; }
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
    void DrawImage(int x, int y, const Image& picture) override;
    void SetClip(int x1, int y1, int x2, int y2) override;
    void ClearClip() override;
    // The painter's device is no picture of the program's kind: an empty image.
    Image ToImage() const override { return {}; }

private:
    QPainter& painter_;
    int width_;
    int height_;
    QPen pen_;
    TCanvasPoint pos_;
};

// One print job: painting begins on construction and ends with Finish().
class TQtPrintPages : public TPrintPages {
public:
    explicit TQtPrintPages(QPagedPaintDevice& device);
    // False when the device refused to start the job.
    bool Active() const { return painter_.isActive(); }
    Canvas& Page() override { return canvas_; }
    void NewPage() override;
    // Ends the job; false when it failed.
    bool Finish();

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    TQtPainterCanvas canvas_;
};

} // namespace v7300

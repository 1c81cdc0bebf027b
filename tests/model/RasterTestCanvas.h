#pragma once
// A canvas on the program's own Image for renderer tests: exact pixels for
// lines, boxes and ellipses; text as a box of fixed-width glyph bars whose
// measured width the test can dictate. Records every text it writes.
#include "model/Canvas.h"

#include <functional>
#include <string>
#include <vector>

namespace v7300::test {

struct TRecordedText {
    int x = 0;
    int y = 0;
    std::string text;
    TCanvasFont font = TCanvasFont::Name;
    std::uint32_t color = 0;
    bool opaque = false;
};

class RasterTestCanvas : public Canvas {
public:
    RasterTestCanvas() = default;
    RasterTestCanvas(int w, int h) { SetSize(w, h); }

    int Width() const override { return image_.width; }
    int Height() const override { return image_.height; }
    void SetSize(int width, int height) override;
    void SetPen(const TCanvasPen& pen) override { pen_ = pen; }
    void SetBrush(const TCanvasBrush& brush) override { brush_ = brush; }
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
    Image ToImage() const override { return image_; }

    // 0xRRGGBB of a pixel (0x1000000 outside the canvas).
    std::uint32_t rgb(int x, int y) const;

    // Text width by font and text; by default 6 pixels per byte.
    std::function<int(TCanvasFont, const std::string&)> measure;
    std::vector<TRecordedText> texts;

private:
    void plot(int x, int y, std::uint32_t color);
    void penPlot(int x, int y, int& step);

    Image image_;
    TCanvasPen pen_;
    TCanvasBrush brush_;
    TCanvasPoint pos_;
    int clipX1_ = 0, clipY1_ = 0, clipX2_ = 0, clipY2_ = 0;
};

} // namespace v7300::test

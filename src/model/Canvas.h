#pragma once
// The drawing surface the renderer paints on: pen, brush, pixels, lines,
// rectangles, ellipses, text in the diagram's fonts and pictures. The editor and
// the command line supply a QPainter canvas; tests use a plain raster canvas.
//
// Geometry follows the rules the hit tests were written against:
// - Rectangle and Ellipse take a bounding box whose right and bottom edges are
//   exclusive: Rectangle(0, 0, 6, 6) covers the pixels 0 … 5 in both directions.
//   The outline is drawn with the pen, the inside filled with the brush (unless
//   the brush is unfilled).
// - LineTo draws from the pen position to the point, both end pixels included,
//   and leaves the pen there. Rectangle and Ellipse do not move the pen.
// - Text is placed by the top-left corner of its cell.
// - Colours are 0xRRGGBB (the alpha byte is ignored).
#include "core/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace v7300 {

// The fonts the diagram uses.
enum class TCanvasFont {
    Name,       // 8 point: instance names and the simulation's values
    NameBold,   // 8 point bold: the text of an OUT symbol
    TextBold,   // 10 point bold: TXT labels
    Caption,    // 12 pixels high: variable captions while editing
    // Print-outs, in points of the printer (the image canvas takes 96 dots per inch):
    PrintTitle, // 16 point bold
    PrintName,  // 12 point bold
    PrintText,  // 10 point
};

struct TCanvasPen {
    std::uint32_t Color = 0x000000;
    int Width = 1;
    bool Dotted = false;
    bool operator==(const TCanvasPen&) const = default;
};

struct TCanvasBrush {
    std::uint32_t Color = 0xFFFFFF;
    bool Filled = true;
    bool operator==(const TCanvasBrush&) const = default;
};

struct TCanvasPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TCanvasPoint&) const = default;
};

struct TTextSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TTextSize&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Size in pixels; SetSize keeps nothing of the old content.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetSize(int width, int height) = 0;

    virtual void SetPen(const TCanvasPen& pen) = 0;
    virtual void SetBrush(const TCanvasBrush& brush) = 0;

    // Fills the whole surface (ignoring the clip) with the colour.
    virtual void Fill(std::uint32_t color) = 0;
    // Fills the box (right/bottom exclusive) with the colour, without outline.
    virtual void FillRect(int x1, int y1, int x2, int y2, std::uint32_t color) = 0;
    // Single pixels in one colour; points outside the surface are ignored.
    virtual void Pixels(const std::vector<TCanvasPoint>& points, std::uint32_t color) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual TCanvasPoint PenPos() const = 0;
    // Lines through the points with the pen; the pen position stays.
    virtual void Polyline(const std::vector<TCanvasPoint>& points) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;

    virtual TTextSize TextExtent(TCanvasFont font, const std::string& utf8) = 0;
    // Writes the text with its cell's top-left corner at (x, y); when opaque, the
    // cell is first filled with the background colour.
    virtual void TextOut(int x, int y, const std::string& utf8, TCanvasFont font, std::uint32_t color,
                         bool opaque = false, std::uint32_t background = 0) = 0;

    // Copies the picture opaquely (its transparency ignored) with its top-left at (x, y).
    virtual void DrawImage(int x, int y, const Image& picture) = 0;
    // Copies the part (sx, sy, w, h) of another canvas to (dx, dy).
    virtual void DrawCanvas(int dx, int dy, const Canvas& source, int sx, int sy, int w, int h);
    // Copies the part (sx, sy, sw, sh) of another canvas scaled into the box (dx, dy, dw, dh);
    // what lies outside the source is left as it is. Nearest pixels here; a host may smooth.
    virtual void DrawCanvasScaled(int dx, int dy, int dw, int dh, const Canvas& source, int sx, int sy, int sw,
                                  int sh);

    // Later drawing stays inside the box (right/bottom exclusive) until ClearClip.
    virtual void SetClip(int x1, int y1, int x2, int y2) = 0;
    virtual void ClearClip() = 0;

    // Drawing is complete for now: the host may read the pixels.
    virtual void Flush() {}

    // The content as the program's picture type (opaque 0xFFRRGGBB pixels).
    virtual Image ToImage() const = 0;
};

// Creates empty canvases of the host's kind (for the renderer's off-screen images).
using CanvasFactory = std::function<std::unique_ptr<Canvas>()>;

} // namespace v7300

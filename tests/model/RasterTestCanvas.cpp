#include "model/RasterTestCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace v7300::test {

void RasterTestCanvas::SetSize(int width, int height) {
    image_ = Image(width, height, 0xFF000000u);
    ClearClip();
}

void RasterTestCanvas::ClearClip() {
    clipX1_ = 0;
    clipY1_ = 0;
    clipX2_ = image_.width;
    clipY2_ = image_.height;
}

void RasterTestCanvas::SetClip(int x1, int y1, int x2, int y2) {
    clipX1_ = std::max(x1, 0);
    clipY1_ = std::max(y1, 0);
    clipX2_ = std::min(x2, image_.width);
    clipY2_ = std::min(y2, image_.height);
}

void RasterTestCanvas::plot(int x, int y, std::uint32_t color) {
    if (x < clipX1_ || y < clipY1_ || x >= clipX2_ || y >= clipY2_) return;
    image_.setPixel(x, y, 0xFF000000u | (color & 0xFFFFFF));
}

std::uint32_t RasterTestCanvas::rgb(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return 0x1000000;
    return image_.pixel(x, y) & 0xFFFFFF;
}

void RasterTestCanvas::Fill(std::uint32_t color) {
    std::fill(image_.pixels.begin(), image_.pixels.end(), 0xFF000000u | (color & 0xFFFFFF));
}

void RasterTestCanvas::FillRect(int x1, int y1, int x2, int y2, std::uint32_t color) {
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) plot(x, y, color);
}

void RasterTestCanvas::Pixels(const std::vector<TCanvasPoint>& points, std::uint32_t color) {
    for (const auto& p : points) plot(p.X, p.Y, color);
}

// A dotted pen sets every other pixel; a wide pen a square of its width.
void RasterTestCanvas::penPlot(int x, int y, int& step) {
    const bool on = !pen_.Dotted || step % 2 == 0;
    ++step;
    if (!on) return;
    for (int dy = 0; dy < pen_.Width; ++dy)
        for (int dx = 0; dx < pen_.Width; ++dx) plot(x + dx, y + dy, pen_.Color);
}

void RasterTestCanvas::LineTo(int x, int y) {
    int x0 = pos_.X;
    int y0 = pos_.Y;
    const int dx = std::abs(x - x0);
    const int dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1;
    const int sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    int step = 0;
    for (;;) {
        penPlot(x0, y0, step);
        if (x0 == x && y0 == y) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    pos_ = {x, y};
}

void RasterTestCanvas::Polyline(const std::vector<TCanvasPoint>& points) {
    if (points.empty()) return;
    const TCanvasPoint keep = pos_;
    pos_ = points.front();
    for (std::size_t i = 1; i < points.size(); ++i) LineTo(points[i].X, points[i].Y);
    pos_ = keep;
}

void RasterTestCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (brush_.Filled) FillRect(x1 + 1, y1 + 1, x2 - 1, y2 - 1, brush_.Color);
    int step = 0;
    for (int x = x1; x < x2; ++x) penPlot(x, y1, step);
    for (int y = y1 + 1; y < y2; ++y) penPlot(x2 - 1, y, step);
    for (int x = x2 - 2; x >= x1; --x) penPlot(x, y2 - 1, step);
    for (int y = y2 - 2; y > y1; --y) penPlot(x1, y, step);
}

void RasterTestCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const double cx = (x1 + x2 - 1) / 2.0;
    const double cy = (y1 + y2 - 1) / 2.0;
    const double rx = (x2 - x1) / 2.0;
    const double ry = (y2 - y1) / 2.0;
    auto inside = [&](int x, int y) {
        const double u = (x - cx) / rx;
        const double v = (y - cy) / ry;
        return u * u + v * v <= 1.0;
    };
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge)
                plot(x, y, pen_.Color);
            else if (brush_.Filled)
                plot(x, y, brush_.Color);
        }
}

TTextSize RasterTestCanvas::TextExtent(TCanvasFont font, const std::string& utf8) {
    const int w = measure ? measure(font, utf8) : static_cast<int>(utf8.size()) * 6;
    return {w, font == TCanvasFont::TextBold ? 16 : 13};
}

void RasterTestCanvas::TextOut(int x, int y, const std::string& utf8, TCanvasFont font, std::uint32_t color,
                               bool opaque, std::uint32_t background) {
    texts.push_back({x, y, utf8, font, color, opaque});
    const TTextSize size = TextExtent(font, utf8);
    if (opaque) FillRect(x, y, x + size.Width, y + size.Height, background);
    // One bar per glyph, leaving the cell's outer rows and columns free.
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const int gx = x + 2 + static_cast<int>(i) * 6;
        if (gx >= x + size.Width) break;
        for (int gy = y + 3; gy < y + size.Height - 3; ++gy) plot(gx, gy, color);
    }
}

void RasterTestCanvas::DrawImage(int x, int y, const Image& picture) {
    for (int py = 0; py < picture.height; ++py)
        for (int px = 0; px < picture.width; ++px) plot(x + px, y + py, picture.pixel(px, py));
}

} // namespace v7300::test

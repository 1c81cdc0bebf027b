#include "Canvas.h"

#include "Font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace objpics {

void Canvas::pixel(int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    image_.setPixel(x, y, 0xFF000000u | rgb);
}

void Canvas::blend(int x, int y, std::uint32_t rgb, int alpha) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    const std::uint32_t old = image_.pixel(x, y);
    std::uint32_t mixed = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((old >> shift) & 0xFF);
        const int b = static_cast<int>((rgb >> shift) & 0xFF);
        mixed |= static_cast<std::uint32_t>((a * (255 - alpha) + b * alpha + 127) / 255) << shift;
    }
    image_.setPixel(x, y, mixed);
}

void Canvas::fill(int x0, int y0, int x1, int y1, std::uint32_t rgb) {
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) pixel(x, y, rgb);
}

void Canvas::frame(int x0, int y0, int x1, int y1, std::uint32_t rgb, int thickness) {
    for (int t = 0; t < thickness; ++t) {
        fill(x0 + t, y0 + t, x1 - t, y0 + t, rgb);
        fill(x0 + t, y1 - t, x1 - t, y1 - t, rgb);
        fill(x0 + t, y0 + t, x0 + t, y1 - t, rgb);
        fill(x1 - t, y0 + t, x1 - t, y1 - t, rgb);
    }
}

void Canvas::line(int x0, int y0, int x1, int y1, std::uint32_t rgb, int thickness) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    const int lo = -(thickness - 1) / 2;
    const int hi = thickness / 2;
    while (true) {
        for (int a = lo; a <= hi; ++a)
            for (int b = lo; b <= hi; ++b) pixel(x0 + a, y0 + b, rgb);
        if (x0 == x1 && y0 == y1) break;
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
}

void Canvas::circle(int cx, int cy, int r, std::uint32_t rgb, bool filled, int thickness) {
    for (int y = -r - 1; y <= r + 1; ++y)
        for (int x = -r - 1; x <= r + 1; ++x) {
            const double d = std::sqrt(static_cast<double>(x * x + y * y));
            if (filled ? d <= r + 0.3 : (d <= r + 0.3 && d > r - thickness + 0.3)) pixel(cx + x, cy + y, rgb);
        }
}

void Canvas::arc(int cx, int cy, int r, int fromDeg, int toDeg, std::uint32_t rgb, int thickness) {
    const double kPi = 3.14159265358979323846;
    int px = 0;
    int py = 0;
    bool first = true;
    for (int a = fromDeg; a <= toDeg; a += 3) {
        const int x = cx + static_cast<int>(std::lround(r * std::cos(a * kPi / 180)));
        const int y = cy - static_cast<int>(std::lround(r * std::sin(a * kPi / 180)));
        if (!first) line(px, py, x, y, rgb, thickness);
        px = x;
        py = y;
        first = false;
    }
}

void Canvas::smallText(int x, int y, const std::string& text, std::uint32_t rgb) {
    for (char c : text) {
        if (const char* const* rows = smallGlyph(c))
            for (int r = 0; r < 5; ++r)
                for (int k = 0; k < 3; ++k)
                    if (rows[r][k] == '#') pixel(x + k, y + r, rgb);
        x += 4;
    }
}

void Canvas::text(int x, int y, const std::string& text, std::uint32_t rgb, int scale) {
    for (char c : text) {
        if (const char* const* rows = largeGlyph(c))
            for (int r = 0; r < 7; ++r)
                for (int k = 0; k < 5; ++k)
                    if (rows[r][k] == '#') fill(x + k * scale, y + r * scale, x + k * scale + scale - 1,
                                               y + r * scale + scale - 1, rgb);
        x += 6 * scale;
    }
}

int Canvas::smallWidth(const std::string& text) { return text.empty() ? 0 : static_cast<int>(text.size()) * 4 - 1; }

int Canvas::textWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * 6 - 1) * scale;
}

void Canvas::centredText(int cx, int cy, const std::string& t, std::uint32_t rgb, int scale) {
    text(cx - textWidth(t, scale) / 2, cy - 7 * scale / 2, t, rgb, scale);
}

} // namespace objpics

#include "model/Canvas.h"

#include <algorithm>
#include <utility>

namespace v7300 {

void Canvas::DrawCanvas(int dx, int dy, const Canvas& source, int sx, int sy, int w, int h) {
    const Image whole = source.ToImage();
    // Only the part that both the source and the request cover.
    const int x1 = std::max(sx, 0);
    const int y1 = std::max(sy, 0);
    const int x2 = std::min(sx + w, whole.width);
    const int y2 = std::min(sy + h, whole.height);
    if (x2 <= x1 || y2 <= y1) return;
    Image part(x2 - x1, y2 - y1);
    for (int y = y1; y < y2; ++y)
        std::copy_n(whole.pixels.begin() + static_cast<long>(y) * whole.width + x1, x2 - x1,
                    part.pixels.begin() + static_cast<long>(y - y1) * part.width);
    DrawImage(dx + (x1 - sx), dy + (y1 - sy), part);
}

namespace {

// The target pixels [first, last) whose source pixel lies inside 0 … size − 1.
std::pair<int, int> coveredRange(int start, int sourceLength, int targetLength, int size) {
    int first = targetLength;
    int last = 0;
    for (int t = 0; t < targetLength; ++t) {
        const long long s = start + static_cast<long long>(t) * sourceLength / targetLength;
        if (s < 0 || s >= size) continue;
        first = std::min(first, t);
        last = t + 1;
    }
    return {first, last};
}

} // namespace

void Canvas::DrawCanvasScaled(int dx, int dy, int dw, int dh, const Canvas& source, int sx, int sy, int sw,
                              int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    const Image whole = source.ToImage();
    const auto [x0, x1] = coveredRange(sx, sw, dw, whole.width);
    const auto [y0, y1] = coveredRange(sy, sh, dh, whole.height);
    if (x1 <= x0 || y1 <= y0) return;
    Image part(x1 - x0, y1 - y0);
    for (int y = y0; y < y1; ++y) {
        const long long srcY = sy + static_cast<long long>(y) * sh / dh;
        for (int x = x0; x < x1; ++x) {
            const long long srcX = sx + static_cast<long long>(x) * sw / dw;
            part.pixels[static_cast<std::size_t>(y - y0) * static_cast<std::size_t>(part.width) +
                        static_cast<std::size_t>(x - x0)] =
                whole.pixels[static_cast<std::size_t>(srcY * whole.width + srcX)];
        }
    }
    DrawImage(dx + x0, dy + y0, part);
}

} // namespace v7300

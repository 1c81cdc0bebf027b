#include "model/Canvas.h"

#include <algorithm>

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

} // namespace v7300

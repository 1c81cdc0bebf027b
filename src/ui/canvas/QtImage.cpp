#include "ui/canvas/QtImage.h"

namespace v7300 {

QImage toQImage(const Image& image, bool honourTransparency) {
    QImage out(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t px = image.pixel(x, y);
            if (honourTransparency && image.transparent && (px & 0xFFFFFFu) == (image.transparentColor & 0xFFFFFFu))
                px = 0;
            row[x] = px;
        }
    }
    return out;
}

Image fromQImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    Image out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) out.setPixel(x, y, row[x]);
    }
    return out;
}

} // namespace v7300

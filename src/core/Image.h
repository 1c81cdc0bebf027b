#pragma once
// The program's own picture type: 32-bit pixels 0xAARRGGBB, row by row.
#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    // When set, pixels of transparentColor (alpha ignored) are not drawn.
    bool transparent = false;
    std::uint32_t transparentColor = 0xFFFFFF;

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0xFF000000u)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t pixel(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void setPixel(int x, int y, std::uint32_t argb) { pixels[static_cast<std::size_t>(y) * width + x] = argb; }
    bool operator==(const Image&) const = default;
};

// A picture of the library: an image with its name.
struct TExBitmap {
    std::string Name;
    Image Picture;
    bool operator==(const TExBitmap&) const = default;
};

// PNG through libpng. decodePng raises Error naming the file when it cannot be read.
Image decodePng(const std::string& path);
Image decodePngBytes(const std::string& bytes);
// Encodes to PNG bytes (RGB, or RGBA when withAlpha).
std::string encodePng(const Image& image, bool withAlpha = false);

} // namespace v7300

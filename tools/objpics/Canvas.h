#pragma once
// A few drawing operations on the program's image type, enough for the library pictures.
#include "core/Image.h"

#include <cstdint>
#include <string>

namespace objpics {

// Colours of the dark interface (0xRRGGBB).
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kBody = 0x1C1C1C;
constexpr std::uint32_t kFrame = 0x9A9A9A;
constexpr std::uint32_t kLabel = 0xC8C8C8;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kOrange = 0xFF8000;
constexpr std::uint32_t kDim = 0x444444;
constexpr std::uint32_t kGrey = 0x222222;

class Canvas {
public:
    Canvas(int width, int height) : image_(width, height, 0xFF000000u) {}
    const v7300::Image& image() const { return image_; }
    int width() const { return image_.width; }
    int height() const { return image_.height; }

    void pixel(int x, int y, std::uint32_t rgb);
    // Mixes the colour into the pixel with the weight alpha / 255.
    void blend(int x, int y, std::uint32_t rgb, int alpha);
    void fill(int x0, int y0, int x1, int y1, std::uint32_t rgb); // inclusive corners
    void frame(int x0, int y0, int x1, int y1, std::uint32_t rgb, int thickness = 1);
    void line(int x0, int y0, int x1, int y1, std::uint32_t rgb, int thickness = 1);
    void circle(int cx, int cy, int r, std::uint32_t rgb, bool filled, int thickness = 1);
    // Arc of a circle between two angles in degrees (0 = right, counter-clockwise, y up).
    void arc(int cx, int cy, int r, int fromDeg, int toDeg, std::uint32_t rgb, int thickness = 1);

    // Text in the 3x5 font (small) or the 5x7 font scaled; x, y is the top left corner.
    void smallText(int x, int y, const std::string& text, std::uint32_t rgb);
    void text(int x, int y, const std::string& text, std::uint32_t rgb, int scale = 1);
    static int smallWidth(const std::string& text);
    static int textWidth(const std::string& text, int scale = 1);
    // Centred on (cx, cy).
    void centredText(int cx, int cy, const std::string& text, std::uint32_t rgb, int scale = 1);

private:
    v7300::Image image_;
};

} // namespace objpics

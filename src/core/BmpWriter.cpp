#include "core/BmpWriter.h"

#include "core/FileIO.h"

namespace v7300 {
namespace {

void put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaskSize = 12;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kPixelsPerMeter = 3780; // 96 dpi

} // namespace

std::uint16_t toRgb565(std::uint32_t argb) {
    const std::uint32_t r = (argb >> 16) & 0xFF;
    const std::uint32_t g = (argb >> 8) & 0xFF;
    const std::uint32_t b = argb & 0xFF;
    return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

std::uint32_t fromRgb565(std::uint16_t v) {
    const std::uint32_t r5 = (v >> 11) & 0x1F;
    const std::uint32_t g6 = (v >> 5) & 0x3F;
    const std::uint32_t b5 = v & 0x1F;
    const std::uint32_t r = (r5 << 3) | (r5 >> 2);
    const std::uint32_t g = (g6 << 2) | (g6 >> 4);
    const std::uint32_t b = (b5 << 3) | (b5 >> 2);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

Image to16Bit(const Image& image) {
    Image out = image;
    out.transparent = false;
    for (auto& p : out.pixels) p = fromRgb565(toRgb565(p));
    return out;
}

std::string encodeBmp16(const Image& image) {
    const auto width = static_cast<std::uint32_t>(image.width > 0 ? image.width : 0);
    const auto height = static_cast<std::uint32_t>(image.height > 0 ? image.height : 0);
    const std::uint32_t stride = (width * 2 + 3) / 4 * 4;
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + kMaskSize;
    const std::uint32_t dataSize = stride * height;
    std::string out;
    out.reserve(offset + dataSize);
    // BITMAPFILEHEADER
    out += "BM";
    put32(out, offset + dataSize);
    put32(out, 0);
    put32(out, offset);
    // BITMAPINFOHEADER
    put32(out, kInfoHeaderSize);
    put32(out, width);
    put32(out, height); // positive: rows bottom-up
    put16(out, 1);      // planes
    put16(out, 16);     // bits per pixel
    put32(out, kBiBitfields);
    put32(out, dataSize);
    put32(out, kPixelsPerMeter);
    put32(out, kPixelsPerMeter);
    put32(out, 0);
    put32(out, 0);
    // the masks of red, green and blue
    put32(out, 0xF800);
    put32(out, 0x07E0);
    put32(out, 0x001F);
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::uint32_t y = height - 1 - row;
        for (std::uint32_t x = 0; x < width; ++x)
            put16(out, toRgb565(image.pixel(static_cast<int>(x), static_cast<int>(y))));
        for (std::uint32_t pad = width * 2; pad < stride; ++pad) out.push_back('\0');
    }
    return out;
}

void writeBmp16(const std::string& path, const Image& image) { writeFileAtomic(path, encodeBmp16(image)); }

} // namespace v7300

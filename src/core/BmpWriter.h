#pragma once
// Windows bitmaps with 16 bits per pixel (5 red, 6 green, 5 blue bits, stored
// with bit-field masks), as the picture export writes them.
#include "core/Image.h"

#include <cstdint>
#include <string>

namespace v7300 {

// One pixel 0x??RRGGBB as a 16-bit 5-6-5 value.
std::uint16_t toRgb565(std::uint32_t argb);
// A 5-6-5 value widened back to 0xFFRRGGBB.
std::uint32_t fromRgb565(std::uint16_t v);
// A copy with every pixel reduced to 16 bits (and widened back): what a 16-bit image holds.
Image to16Bit(const Image& image);

// The bytes of a 16-bit BMP file (bottom-up rows, padded to 4 bytes).
std::string encodeBmp16(const Image& image);
// Writes the BMP safely (temporary file, then rename); raises Error on failure.
void writeBmp16(const std::string& path, const Image& image);

} // namespace v7300

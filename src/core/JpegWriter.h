#pragma once
// JPEG pictures through libjpeg at the codec's default quality.
#include "core/Image.h"

#include <string>

namespace v7300 {

// The bytes of a baseline JPEG (RGB) of the image; raises Error when the codec fails.
std::string encodeJpeg(const Image& image);
// Writes the JPEG safely (temporary file, then rename); raises Error on failure.
void writeJpeg(const std::string& path, const Image& image);

} // namespace v7300

#pragma once
// Conversion between the program's picture type and QImage.
#include "core/Image.h"

#include <QImage>

namespace v7300 {

// A copy as QImage; with honourTransparency the picture's transparent colour becomes clear.
QImage toQImage(const Image& image, bool honourTransparency = false);
Image fromQImage(const QImage& image);

} // namespace v7300

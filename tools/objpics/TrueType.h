#pragma once
// Smooth text for the dialog pictures through FreeType, drawn onto a Canvas.
#include "Canvas.h"

#include <cstdint>
#include <memory>
#include <string>

namespace objpics {

enum class FontStyle { Normal, Bold, Mono };

// One face at one pixel size. Text is UTF-8; x, y is the top left corner of the line.
class TrueTypeFont {
public:
    TrueTypeFont(FontStyle style, int pixelSize);
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    int width(const std::string& text) const;
    int lineHeight() const;
    void draw(Canvas& canvas, int x, int y, const std::string& text, std::uint32_t rgb) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The folder of the fonts (set by the build).
std::string fontFolder();

} // namespace objpics

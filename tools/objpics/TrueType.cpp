#include "TrueType.h"

#include "core/Error.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace objpics {
namespace {

// The code points of a UTF-8 text; a malformed byte stands for itself.
std::vector<std::uint32_t> codePoints(const std::string& text) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        std::uint32_t cp = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : extra == 1 ? b & 0x1Fu : b;
        if (i + static_cast<std::size_t>(extra) >= text.size()) {
            extra = 0;
            cp = b;
        }
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

const char* fileOf(FontStyle style) {
    switch (style) {
    case FontStyle::Bold: return "DejaVuSans-Bold.ttf";
    case FontStyle::Mono: return "DejaVuSansMono.ttf";
    default: return "DejaVuSans.ttf";
    }
}

} // namespace

std::string fontFolder() { return OBJPICS_FONT_DIR; }

struct TrueTypeFont::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

TrueTypeFont::TrueTypeFont(FontStyle style, int pixelSize) : impl_(std::make_unique<Impl>()) {
    const std::string path = fontFolder() + "/" + fileOf(style);
    if (FT_Init_FreeType(&impl_->library) != 0) throw v7300::Error("FreeType startet nicht");
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
        FT_Done_FreeType(impl_->library);
        throw v7300::Error("Schrift fehlt: " + path);
    }
    FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(pixelSize));
}

TrueTypeFont::~TrueTypeFont() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
}

int TrueTypeFont::lineHeight() const { return static_cast<int>(impl_->face->size->metrics.height >> 6); }

int TrueTypeFont::width(const std::string& text) const {
    long w = 0;
    for (std::uint32_t cp : codePoints(text))
        if (FT_Load_Char(impl_->face, cp, FT_LOAD_DEFAULT) == 0) w += impl_->face->glyph->advance.x >> 6;
    return static_cast<int>(w);
}

void TrueTypeFont::draw(Canvas& canvas, int x, int y, const std::string& text, std::uint32_t rgb) const {
    const int baseline = y + static_cast<int>(impl_->face->size->metrics.ascender >> 6);
    int pen = x;
    for (std::uint32_t cp : codePoints(text)) {
        if (FT_Load_Char(impl_->face, cp, FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = impl_->face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const int alpha = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
                if (alpha) canvas.blend(pen + g->bitmap_left + static_cast<int>(col),
                                        baseline - g->bitmap_top + static_cast<int>(row), rgb, alpha);
            }
        pen += static_cast<int>(g->advance.x >> 6);
    }
}

} // namespace objpics

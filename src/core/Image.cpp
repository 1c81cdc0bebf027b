#include "core/Image.h"

#include "core/Error.h"
#include "core/FileIO.h"

#include <cstring>
#include <png.h>

namespace v7300 {
namespace {

struct ReadSource {
    const std::string* data;
    std::size_t pos;
};

void readFromString(png_structp png, png_bytep out, png_size_t length) {
    auto* src = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (src->pos + length > src->data->size()) png_error(png, "unexpected end of data");
    std::memcpy(out, src->data->data() + src->pos, length);
    src->pos += length;
}

void writeToString(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp; turn them into a flag checked after setjmp.
[[noreturn]] void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void pngWarning(png_structp, png_const_charp) {}

} // namespace

Image decodePngBytes(const std::string& bytes) {
    if (bytes.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) != 0)
        throw Error("Kein PNG-Bild");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) throw Error("Kein PNG-Bild");
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw Error("Kein PNG-Bild");
    }
    ReadSource src{&bytes, 0};
    Image image;
    std::vector<png_bytep> rows;
    std::vector<unsigned char> buffer;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw Error("Kein PNG-Bild");
    }
    png_set_read_fn(png, &src, readFromString);
    png_set_user_limits(png, 20000, 20000);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const auto w = png_get_image_width(png, info);
    const auto h = png_get_image_height(png, info);
    buffer.resize(static_cast<std::size_t>(w) * h * 4);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rows[y] = buffer.data() + static_cast<std::size_t>(y) * w * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    image = Image(static_cast<int>(w), static_cast<int>(h));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const unsigned char* p = buffer.data() + i * 4;
        image.pixels[i] = (static_cast<std::uint32_t>(p[3]) << 24) | (static_cast<std::uint32_t>(p[0]) << 16) |
                          (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    }
    return image;
}

Image decodePng(const std::string& path) {
    const std::string bytes = readFileBytes(path);
    try {
        return decodePngBytes(bytes);
    } catch (const Error&) {
        throw Error("Das Bild " + path + " kann nicht gelesen werden.");
    }
}

std::string encodePng(const Image& image, bool withAlpha) {
    if (image.empty()) throw Error("Leeres Bild");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr) throw Error("PNG nicht verfügbar");
    png_infop info = png_create_info_struct(png);
    std::string out;
    const int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> row(static_cast<std::size_t>(image.width) * channels);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Error("PNG kann nicht geschrieben werden");
    }
    png_set_write_fn(png, &out, writeToString, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixel(x, y);
            unsigned char* d = row.data() + static_cast<std::size_t>(x) * channels;
            d[0] = static_cast<unsigned char>(p >> 16);
            d[1] = static_cast<unsigned char>(p >> 8);
            d[2] = static_cast<unsigned char>(p);
            if (withAlpha) d[3] = static_cast<unsigned char>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace v7300

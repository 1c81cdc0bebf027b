#include "core/JpegWriter.h"

#include "core/Error.h"
#include "core/FileIO.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

namespace v7300 {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info) {
    auto* mgr = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(mgr->jump, 1);
}

void onJpegMessage(j_common_ptr) {}


// Runs the codec; false when libjpeg reported an error. No C++ object with a
// destructor lives in this frame, so the longjmp of the error handler is safe.
bool Compress(const Image& image, unsigned char* row, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = onJpegError;
    err.base.output_message = onJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo); // the codec's default quality
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.pixel(x, y);
            row[x * 3] = static_cast<unsigned char>((p >> 16) & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>(p & 0xFF);
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

std::string encodeJpeg(const Image& image) {
    if (image.empty()) throw Error("Das Bild ist leer.");
    std::vector<unsigned char> row(static_cast<std::size_t>(image.width) * 3);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(image, row.data(), &buffer, &size);
    std::string out;
    if (ok) out.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    if (!ok) throw Error("Das JPEG-Bild kann nicht erzeugt werden.");
    return out;
}

void writeJpeg(const std::string& path, const Image& image) { writeFileAtomic(path, encodeJpeg(image)); }

} // namespace v7300

#include "project/InvertedHex.h"

#include "core/NumberFormat.h"

namespace v7300 {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

std::string EncodeInvertedHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.resize(bytes.size() * 2);
    std::size_t o = 0;
    for (const char c : bytes) {
        const auto inverted = static_cast<unsigned char>(~static_cast<unsigned char>(c));
        out[o++] = kDigits[inverted >> 4];
        out[o++] = kDigits[inverted & 0x0F];
    }
    return out;
}

std::optional<std::string> DecodeInvertedHex(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    if ((end - begin) % 2 != 0) return std::nullopt;
    std::string out;
    out.resize((end - begin) / 2);
    std::size_t o = 0;
    for (std::size_t i = begin; i < end; i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out[o++] = static_cast<char>(255 - (hi * 16 + lo));
    }
    return out;
}

} // namespace v7300

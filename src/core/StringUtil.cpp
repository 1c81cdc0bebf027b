#include "core/StringUtil.h"

#include <cstdio>

namespace v7300 {
namespace {

// Length of the valid UTF-8 sequence at the start of s, 0 when there is none.
std::size_t utf8SequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) n = 4;
    else return 0;
    if (s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0;
    return n;
}

} // namespace

std::string replaceAll(const std::string& s, const std::string& from, const std::string& to) {
    if (from.empty()) return s;
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = s.find(from, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(s, pos, std::string::npos);
    return out;
}

std::vector<std::string> splitAtBlanks(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', pos);
        if (blank == std::string::npos) {
            parts.push_back(line.substr(pos));
            return parts;
        }
        parts.push_back(line.substr(pos, blank - pos));
        pos = blank + 1;
    }
}

std::string quotedInput(std::string_view text) {
    constexpr std::size_t kMaxCharacters = 80;
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == kMaxCharacters) return out + "…";
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t n = utf8SequenceLength(text.substr(i));
        if (n == 0 || byte < 0x20 || byte == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace v7300

#include "core/StringUtil.h"

namespace v7300 {

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

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace v7300

#include "simulation/DateTimeText.h"

#include "core/NumberFormat.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace v7300 {
namespace {

// The runs of digits and the characters between them.
struct Parts {
    std::vector<int> numbers;
    std::vector<int> widths;
    std::string separators;
};

std::optional<Parts> split(const std::string& text) {
    Parts p;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            p.separators += text[i++];
            continue;
        }
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        if (i - from > 4) return std::nullopt;
        p.numbers.push_back(std::stoi(text.substr(from, i - from)));
        p.widths.push_back(static_cast<int>(i - from));
    }
    return p;
}

} // namespace

std::optional<DateTime> ParseDateTimeText(const std::string& input) {
    std::string text = trimBlanks(input);
    // "So 29.03.2026 …": the weekday is left to the calendar.
    if (text.size() > 3 && std::isalpha(static_cast<unsigned char>(text[0])) &&
        std::isalpha(static_cast<unsigned char>(text[1])) && text[2] == ' ')
        text = trimBlanks(text.substr(3));
    const auto p = split(text);
    if (!p || (p->numbers.size() != 5 && p->numbers.size() != 6)) return std::nullopt;
    const auto& n = p->numbers;
    DateTime t;
    const std::string seps = p->separators;
    if (seps == ".. :" || seps == ".. ::") {
        if (p->widths[2] != 4) return std::nullopt;
        t = DateTime{n[2], n[1], n[0], n[3], n[4], n.size() == 6 ? n[5] : 0, 0};
    } else if (seps == "--T:" || seps == "--T::" || seps == "-- :" || seps == "-- ::") {
        if (p->widths[0] != 4) return std::nullopt;
        t = DateTime{n[0], n[1], n[2], n[3], n[4], n.size() == 6 ? n[5] : 0, 0};
    } else {
        return std::nullopt;
    }
    if (t.year < 1970 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59 ||
        t.second > 59 || !(DateTime::fromEpochMs(t.toEpochMs()) == t))
        return std::nullopt;
    return t;
}

std::string DateTimeText(const DateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", t.day % 100, t.month % 100, t.year % 10000,
                  t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

} // namespace v7300

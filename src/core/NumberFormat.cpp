#include "core/NumberFormat.h"

#include "core/Error.h"
#include "core/StringUtil.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace v7300 {
namespace {

std::atomic<char> gDecimalSeparator{','};

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string trimBlanks(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::optional<std::int32_t> parseInt32(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size()) return std::nullopt;
    std::int64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::int32_t toInt32(std::string_view s) {
    if (auto v = parseInt32(s)) return *v;
    throw ConversionError("'" + quotedInput(s) + "' ist kein gültiger Integerwert");
}

char decimalSeparator() { return gDecimalSeparator.load(); }
void setDecimalSeparator(char c) { gDecimalSeparator.store(c); }

char systemDecimalSeparator() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    const char c = (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : '.';
    freelocale(loc);
    return c;
}

std::optional<double> parseDouble(std::string_view s, char separator) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    s = s.substr(b, e - b);
    std::string canonical;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) canonical += s[i++];
    std::size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        canonical += s[i++];
        ++digits;
    }
    if (i < s.size() && s[i] == separator) {
        canonical += '.';
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            canonical += s[i++];
            ++digits;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        canonical += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) canonical += s[i++];
        std::size_t expDigits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            canonical += s[i++];
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    const double v = std::strtod(canonical.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<double> parseDouble(std::string_view s) { return parseDouble(s, decimalSeparator()); }

std::optional<bool> parseBool(std::string_view s) {
    if (equalsNoCase(s, "true")) return true;
    if (equalsNoCase(s, "false")) return false;
    if (auto v = parseDouble(s)) return *v != 0.0;
    return std::nullopt;
}

bool toBool(std::string_view s) {
    if (auto v = parseBool(s)) return *v;
    throw ConversionError("'" + quotedInput(s) + "' ist kein gültiger Boolescher Wert");
}

std::string formatGeneral(double v, char separator) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    if (v == 0.0) return "0";
    char buf[64];
    // 15 significant digits in scientific form tell the decimal exponent after rounding.
    std::snprintf(buf, sizeof buf, "%.14e", v);
    std::string sci(buf);
    const auto ePos = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    std::string mantissa = sci.substr(0, ePos); // "-d.dddddddddddddd"
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += separator;
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    } else if (exponent < 0) {
        out += '0';
        out += separator;
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intDigits = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += separator;
            out += digits.substr(intDigits);
        }
    }
    return out;
}

std::string formatGeneral(double v) { return formatGeneral(v, decimalSeparator()); }

std::int64_t roundHalfEven(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

} // namespace v7300

#include "core/TimeZone.h"

#include "core/Clock.h"
#include "core/Error.h"
#include "core/FileIO.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <unistd.h>

namespace v7300 {

// ---------------------------------------------------------------- POSIX TZ rules

struct TTimeZone::Rule {
    struct Date {
        char kind = 'M'; // 'J' day 1..365 without Feb 29, 'N' day 0..365, 'M' month.week.weekday
        int a = 0, b = 0, c = 0;
        int time = 7200; // seconds after local midnight, -167 h … 167 h
    };
    int stdOffset = 0; // seconds east of UTC
    int dstOffset = 0;
    bool hasDst = false;
    Date start, end;
};

namespace {

constexpr std::int64_t kDay = 86400;
// Instants further away than this (about 35 000 years) are not kept.
constexpr std::int64_t kFar = std::int64_t{1} << 40;

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::int64_t daysOf(std::int64_t year, int month, int day) {
    return DateTime{static_cast<int>(year), month, day, 0, 0, 0, 0}.toEpochMs() / (kDay * 1000);
}

int monthLength(std::int64_t year, int month) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : lengths[month - 1];
}

class RuleParser {
public:
    explicit RuleParser(const std::string& text) : s_(text) {}

    std::optional<TTimeZone::Rule> parse() {
        TTimeZone::Rule r;
        int west = 0;
        if (!name() || !offset(west, 24)) return std::nullopt;
        r.stdOffset = -west;
        if (atEnd()) return r;
        if (!name()) return std::nullopt;
        r.hasDst = true;
        r.dstOffset = r.stdOffset + 3600;
        if (!atEnd() && peek() != ',') {
            if (!offset(west, 24)) return std::nullopt;
            r.dstOffset = -west;
        }
        if (atEnd()) { // the customary default: second Sunday in March to first Sunday in November
            r.start = {'M', 3, 2, 0, 7200};
            r.end = {'M', 11, 1, 0, 7200};
            return r;
        }
        if (!take(',') || !date(r.start) || !take(',') || !date(r.end) || !atEnd()) return std::nullopt;
        return r;
    }

private:
    bool atEnd() const { return i_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[i_]; }
    bool take(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    bool name() {
        std::size_t n = 0;
        if (take('<')) {
            while (!atEnd() && peek() != '>') {
                const char c = peek();
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-') return false;
                ++i_, ++n;
            }
            return take('>') && n >= 1;
        }
        while (std::isalpha(static_cast<unsigned char>(peek()))) ++i_, ++n;
        return n >= 3;
    }
    bool number(int& v, int maxDigits) {
        int digits = 0;
        v = 0;
        while (std::isdigit(static_cast<unsigned char>(peek())) && digits < maxDigits) v = v * 10 + (s_[i_++] - '0'), ++digits;
        return digits > 0;
    }
    // [+-]h[h[h]][:mm[:ss]] as seconds.
    bool offset(int& seconds, int maxHours) {
        int sign = 1;
        if (take('-')) sign = -1;
        else take('+');
        int h = 0, m = 0, sec = 0;
        if (!number(h, 3) || h > maxHours) return false;
        if (take(':') && (!number(m, 2) || m > 59)) return false;
        if (take(':') && (!number(sec, 2) || sec > 59)) return false;
        seconds = sign * (h * 3600 + m * 60 + sec);
        return true;
    }
    bool date(TTimeZone::Rule::Date& d) {
        if (take('J')) {
            d.kind = 'J';
            if (!number(d.a, 3) || d.a < 1 || d.a > 365) return false;
        } else if (take('M')) {
            d.kind = 'M';
            if (!number(d.a, 2) || d.a < 1 || d.a > 12 || !take('.')) return false;
            if (!number(d.b, 1) || d.b < 1 || d.b > 5 || !take('.')) return false;
            if (!number(d.c, 1) || d.c > 6) return false;
        } else {
            d.kind = 'N';
            if (!number(d.a, 3) || d.a > 365) return false;
        }
        d.time = 7200;
        if (take('/') && !offset(d.time, 167)) return false;
        return true;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

// The local midnight (as days since 1970) on which the rule's date falls in the year.
std::int64_t ruleDay(const TTimeZone::Rule::Date& d, std::int64_t year) {
    const std::int64_t jan1 = daysOf(year, 1, 1);
    switch (d.kind) {
    case 'J':
        return jan1 + d.a - 1 + (isLeap(year) && d.a >= 60 ? 1 : 0);
    case 'N':
        return jan1 + d.a;
    default: {
        const std::int64_t first = daysOf(year, d.a, 1);
        const int weekday = static_cast<int>(((first % 7) + 11) % 7); // 0 = Sunday; 1970-01-01 was a Thursday
        int day = 1 + (d.c - weekday + 7) % 7 + (d.b - 1) * 7;
        while (day > monthLength(year, d.a)) day -= 7;
        return first + day - 1;
    }
    }
}

struct RuleChange {
    std::int64_t at;
    bool dst; // daylight-saving time from here on
};

// The rule's changes in the years around the instant, in time order.
std::vector<RuleChange> ruleChanges(const TTimeZone::Rule& r, std::int64_t utcSeconds) {
    std::vector<RuleChange> out;
    if (!r.hasDst) return out;
    const std::int64_t local = std::clamp<std::int64_t>(utcSeconds, -kFar, kFar) + r.stdOffset;
    const int y = DateTime::fromEpochMs(local * 1000).year;
    for (std::int64_t year = y - 1; year <= y + 2; ++year) {
        out.push_back({ruleDay(r.start, year) * kDay + r.start.time - r.stdOffset, true});
        out.push_back({ruleDay(r.end, year) * kDay + r.end.time - r.dstOffset, false});
    }
    std::stable_sort(out.begin(), out.end(), [](const RuleChange& a, const RuleChange& b) { return a.at < b.at; });
    return out;
}

int ruleOffset(const TTimeZone::Rule& r, std::int64_t utcSeconds) {
    if (!r.hasDst) return r.stdOffset;
    bool dst = false;
    for (const RuleChange& c : ruleChanges(r, utcSeconds)) {
        if (c.at > utcSeconds) break;
        dst = c.dst;
    }
    return dst ? r.dstOffset : r.stdOffset;
}

// ---------------------------------------------------------------- TZif

class TzifReader {
public:
    explicit TzifReader(const std::string& b) : b_(b) {}

    void need(std::uint64_t n) const {
        if (n > b_.size() - pos_) throw Error("Die Zeitzonendatei ist beschädigt.");
    }
    std::uint32_t u32() {
        need(4);
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v = v << 8 | static_cast<unsigned char>(b_[pos_++]);
        return v;
    }
    std::int64_t i64() {
        need(8);
        std::uint64_t v = 0;
        for (int k = 0; k < 8; ++k) v = v << 8 | static_cast<unsigned char>(b_[pos_++]);
        return static_cast<std::int64_t>(v);
    }
    unsigned char byte() {
        need(1);
        return static_cast<unsigned char>(b_[pos_++]);
    }
    void skip(std::uint64_t n) {
        need(n);
        pos_ += static_cast<std::size_t>(n);
    }
    std::size_t pos() const { return pos_; }
    const std::string& bytes() const { return b_; }

private:
    const std::string& b_;
    std::size_t pos_ = 0;
};

struct TzifHeader {
    char version = 0;
    std::uint32_t isutcnt = 0, isstdcnt = 0, leapcnt = 0, timecnt = 0, typecnt = 0, charcnt = 0;
};

TzifHeader readHeader(TzifReader& r) {
    r.need(44);
    const std::string& b = r.bytes();
    if (b.compare(r.pos(), 4, "TZif") != 0) throw Error("Die Datei ist keine Zeitzonendatei.");
    r.skip(4);
    TzifHeader h;
    h.version = static_cast<char>(r.byte());
    r.skip(15);
    h.isutcnt = r.u32();
    h.isstdcnt = r.u32();
    h.leapcnt = r.u32();
    h.timecnt = r.u32();
    h.typecnt = r.u32();
    h.charcnt = r.u32();
    if (h.typecnt == 0 || h.charcnt == 0 || (h.isutcnt != 0 && h.isutcnt != h.typecnt) ||
        (h.isstdcnt != 0 && h.isstdcnt != h.typecnt))
        throw Error("Die Zeitzonendatei ist beschädigt.");
    return h;
}

std::uint64_t blockSize(const TzifHeader& h, int timeSize) {
    return std::uint64_t{h.timecnt} * static_cast<std::uint64_t>(timeSize) + h.timecnt + std::uint64_t{h.typecnt} * 6 +
           h.charcnt + std::uint64_t{h.leapcnt} * static_cast<std::uint64_t>(timeSize + 4) + h.isstdcnt + h.isutcnt;
}

} // namespace

TTimeZone::TTimeZone() = default;

TTimeZone TTimeZone::Fixed(int offsetSeconds, std::string name) {
    TTimeZone z;
    z.initialOffset_ = offsetSeconds;
    z.name_ = std::move(name);
    return z;
}

std::optional<TTimeZone> TTimeZone::FromPosixRule(const std::string& rule) {
    auto parsed = RuleParser(rule).parse();
    if (!parsed) return std::nullopt;
    TTimeZone z;
    z.name_ = rule;
    z.initialOffset_ = parsed->stdOffset;
    z.rule_ = std::make_shared<const Rule>(*parsed);
    return z;
}

TTimeZone TTimeZone::FromTzif(const std::string& bytes, std::string name) {
    TzifReader r(bytes);
    TzifHeader h = readHeader(r);
    int timeSize = 4;
    if (h.version >= '2') {
        r.need(blockSize(h, 4));
        r.skip(blockSize(h, 4));
        h = readHeader(r);
        timeSize = 8;
    }
    r.need(blockSize(h, timeSize));
    TTimeZone z;
    z.name_ = std::move(name);
    std::vector<std::int64_t> times(h.timecnt);
    for (auto& t : times) t = timeSize == 8 ? r.i64() : static_cast<std::int32_t>(r.u32());
    std::vector<unsigned> indices(h.timecnt);
    for (auto& i : indices) {
        i = r.byte();
        if (i >= h.typecnt) throw Error("Die Zeitzonendatei ist beschädigt.");
    }
    std::vector<int> typeOffsets(h.typecnt);
    for (auto& o : typeOffsets) {
        const auto v = static_cast<std::int32_t>(r.u32());
        if (v < -89999 || v > 93599) throw Error("Die Zeitzonendatei ist beschädigt.");
        o = v;
        r.skip(2); // isdst, abbreviation index
    }
    r.skip(h.charcnt + std::uint64_t{h.leapcnt} * static_cast<std::uint64_t>(timeSize + 4) + h.isstdcnt + h.isutcnt);
    for (std::size_t k = 1; k < times.size(); ++k)
        if (times[k] <= times[k - 1]) throw Error("Die Zeitzonendatei ist beschädigt.");
    z.initialOffset_ = typeOffsets[0];
    for (std::size_t k = 0; k < times.size(); ++k) {
        const int offset = typeOffsets[indices[k]];
        if (times[k] < -kFar) {
            z.initialOffset_ = offset; // a change before all history
        } else if (times[k] <= kFar) {
            z.transitions_.push_back(times[k]);
            z.offsets_.push_back(offset);
        }
    }
    if (timeSize == 8 && r.pos() < bytes.size() && bytes[r.pos()] == '\n') {
        const auto close = bytes.find('\n', r.pos() + 1);
        if (close != std::string::npos) {
            const std::string footer = bytes.substr(r.pos() + 1, close - r.pos() - 1);
            if (auto rule = RuleParser(footer).parse()) z.rule_ = std::make_shared<const Rule>(*rule);
        }
    }
    return z;
}

TTimeZone TTimeZone::Load(const std::string& name) {
    const std::string unknown = "Unbekannte Zeitzone: " + name;
    bool fileName = !name.empty() && name.size() < 256 && name.front() != '/';
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '_' && c != '-' && c != '+' && c != '.')
            fileName = false;
    if (fileName && (name.find("..") != std::string::npos || name.find("/.") != std::string::npos || name.front() == '.'))
        fileName = false;
    if (fileName) {
        const char* dir = std::getenv("TZDIR");
        const std::string root = dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo";
        try {
            return FromTzif(readFileBytes(root + "/" + name), name);
        } catch (const Error&) {
            // not in the database: perhaps a POSIX rule
        }
    }
    if (auto z = FromPosixRule(name)) return *z;
    throw Error(unknown);
}

TTimeZone TTimeZone::Machine() {
    const char* tz = std::getenv("TZ");
    try {
        if (tz == nullptr) {
            std::string name = "localtime";
            char link[512];
            const ssize_t n = ::readlink("/etc/localtime", link, sizeof link - 1);
            if (n > 0) {
                const std::string target(link, static_cast<std::size_t>(n));
                const auto at = target.find("zoneinfo/");
                if (at != std::string::npos) name = target.substr(at + 9);
            }
            return FromTzif(readFileBytes("/etc/localtime"), name);
        }
        std::string name = tz;
        if (!name.empty() && name.front() == ':') name.erase(0, 1);
        if (name.empty()) return TTimeZone();
        if (name.front() == '/') return FromTzif(readFileBytes(name), name);
        return Load(name);
    } catch (const Error&) {
        return TTimeZone();
    }
}

int TTimeZone::OffsetAt(std::int64_t utcSeconds) const {
    if (transitions_.empty() || utcSeconds < transitions_.front()) {
        if (transitions_.empty() && rule_) return ruleOffset(*rule_, utcSeconds);
        return initialOffset_;
    }
    if (utcSeconds >= transitions_.back() && rule_) return ruleOffset(*rule_, utcSeconds);
    const auto it = std::upper_bound(transitions_.begin(), transitions_.end(), utcSeconds);
    return offsets_[static_cast<std::size_t>(it - transitions_.begin()) - 1];
}

std::optional<std::int64_t> TTimeZone::NextTransition(std::int64_t utcSeconds) const {
    for (auto it = std::upper_bound(transitions_.begin(), transitions_.end(), utcSeconds); it != transitions_.end(); ++it)
        if (OffsetAt(*it) != OffsetAt(*it - 1)) return *it;
    if (!rule_) return std::nullopt;
    const std::int64_t from = transitions_.empty() ? utcSeconds : std::max(utcSeconds, transitions_.back());
    // A change is at most a year away; look two years ahead.
    for (std::int64_t probe = from; probe < from + 2 * 366 * kDay; probe += 180 * kDay)
        for (const RuleChange& c : ruleChanges(*rule_, probe))
            if (c.at > from && c.at > utcSeconds && OffsetAt(c.at) != OffsetAt(c.at - 1)) return c.at;
    return std::nullopt;
}

std::vector<std::int64_t> TTimeZone::LocalToUtc(std::int64_t localSeconds) const {
    // Every offset in force within two days of the instant is a candidate.
    std::set<int> offsets;
    std::int64_t t = localSeconds - 2 * kDay;
    offsets.insert(OffsetAt(t));
    while (auto next = NextTransition(t)) {
        if (*next > localSeconds + 2 * kDay) break;
        t = *next;
        offsets.insert(OffsetAt(t));
    }
    std::vector<std::int64_t> out;
    for (int o : offsets) {
        const std::int64_t u = localSeconds - o;
        if (OffsetAt(u) == o) out.push_back(u);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace v7300

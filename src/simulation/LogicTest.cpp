#include "simulation/LogicTest.h"

#include "core/FileIO.h"
#include "core/NumberFormat.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace v7300 {

namespace {

constexpr std::int64_t kMaxDurationMs = 366LL * 86400000; // a year, as simulate --seconds

struct Token {
    std::string text;
    bool quoted = false;
};

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Blank-separated tokens; "…" keeps blanks ("" inside is one quote); # outside
// quotes starts a comment. The step text (without the comment) goes to `text`.
std::vector<Token> tokenize(const std::string& line, int lineNo, std::string& text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    std::size_t end = 0;
    while (i < line.size()) {
        if (isSpace(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token t;
        if (line[i] == '"') {
            t.quoted = true;
            ++i;
            for (;;) {
                if (i >= line.size()) throw TLogicTestSyntaxError(lineNo, "Anführungszeichen nicht geschlossen");
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        t.text += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += line[i++];
            }
        } else {
            while (i < line.size() && !isSpace(line[i]) && line[i] != '#') t.text += line[i++];
        }
        end = i;
        tokens.push_back(std::move(t));
    }
    text = line.substr(0, end);
    while (!text.empty() && isSpace(text.front())) text.erase(0, 1);
    return tokens;
}

bool isInputName(const std::string& s) {
    if (s.size() < 3 || s.compare(0, 2, "IN") != 0) return false;
    for (std::size_t i = 2; i < s.size(); ++i)
        if (!isDigit(s[i])) return false;
    return s.size() <= 11;
}

bool validName(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    return true;
}

std::optional<TTestTime> parseTime(const std::string& s) {
    if (s.size() < 19) return std::nullopt;
    const std::string pattern = "dddd-dd-ddTdd:dd:dd";
    for (std::size_t k = 0; k < pattern.size(); ++k)
        if (pattern[k] == 'd' ? !isDigit(s[k]) : s[k] != pattern[k]) return std::nullopt;
    TTestTime t;
    DateTime& d = t.Local;
    auto num = [&](std::size_t at, std::size_t n) { return std::stoi(s.substr(at, n)); };
    d = DateTime{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2), 0};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.hour > 23 || d.minute > 59 || d.second > 59 ||
        !(DateTime::fromEpochMs(d.toEpochMs()) == d))
        return std::nullopt;
    const std::string rest = s.substr(19);
    if (rest.empty()) return t;
    if (rest == "Z") {
        t.OffsetSeconds = 0;
        return t;
    }
    if (rest.size() != 6 || (rest[0] != '+' && rest[0] != '-') || !isDigit(rest[1]) || !isDigit(rest[2]) ||
        rest[3] != ':' || !isDigit(rest[4]) || !isDigit(rest[5]))
        return std::nullopt;
    const int h = std::stoi(rest.substr(1, 2)), m = std::stoi(rest.substr(4, 2));
    if (h > 23 || m > 59) return std::nullopt;
    t.OffsetSeconds = (rest[0] == '-' ? -1 : 1) * (h * 3600 + m * 60);
    return t;
}

std::optional<TTestOp> parseOp(const std::string& s) {
    if (s == "=" || s == "==") return TTestOp::Eq;
    if (s == "!=" || s == "<>") return TTestOp::Ne;
    if (s == "<") return TTestOp::Lt;
    if (s == ">") return TTestOp::Gt;
    if (s == "<=") return TTestOp::Le;
    if (s == ">=") return TTestOp::Ge;
    return std::nullopt;
}

class LineParser {
public:
    LineParser(std::vector<Token> tokens, int line) : t_(std::move(tokens)), line_(line) {}

    [[noreturn]] void fail(const std::string& message) const { throw TLogicTestSyntaxError(line_, message); }
    std::size_t size() const { return t_.size(); }
    const Token& at(std::size_t i) const {
        if (i >= t_.size()) fail("Angabe fehlt nach " + t_.back().text);
        return t_[i];
    }
    void noMoreAfter(std::size_t i) const {
        if (t_.size() > i + 1) fail("überzählige Angabe: " + t_[i + 1].text);
    }

    std::int64_t duration(std::size_t i) const {
        const auto d = ParseTestDuration(at(i).text);
        if (!d) fail("Dauer erwartet (z. B. 5s, 10m, 2h, 1d): " + at(i).text);
        return *d;
    }

    std::string input(std::size_t i) const {
        const std::string& s = at(i).text;
        if (!isInputName(s) || !parseInt32(s.substr(2))) fail("Eingang INn erwartet: " + s);
        return s;
    }

    // A reference from tokens [from, to).
    TTestRef ref(std::size_t from, std::size_t to) const {
        static const std::string hint = "Bezug erwartet (OUT1.A1, TIMER1.SEKUNDEN, $NAME, LCD Zeile 1): ";
        TTestRef r;
        if (to == from) fail("Vergleich erwartet: BEZUG = WERT");
        const std::string& first = t_[from].text;
        if (to - from == 3) {
            const std::string& n = t_[from + 2].text;
            const bool lcdName = first.compare(0, 3, "LCD") == 0 &&
                                 (first.size() == 3 || parseInt32(first.substr(3)).value_or(-1) >= 0);
            if (!lcdName || t_[from + 1].text != "Zeile" || (n != "1" && n != "2")) fail(hint + first);
            r.Lcd = true;
            r.LcdLine = n[0] - '0';
            if (first.size() > 3) r.Component = first;
            return r;
        }
        if (to - from != 1 || t_[from].quoted) fail(hint + first);
        if (first[0] == '$') {
            if (first.size() < 2) fail(hint + first);
            r.Store = first;
            return r;
        }
        const auto dot = first.find('.');
        r.Component = first.substr(0, dot);
        if (!validName(r.Component)) fail(hint + first);
        if (dot == std::string::npos) {
            r.Store = "$" + first + "__A1";
            return r;
        }
        const std::string part = first.substr(dot + 1);
        if (!validName(part)) fail(hint + first);
        const bool pin = part.size() >= 2 && (part[0] == 'A' || part[0] == 'E') && parseInt32(part.substr(1)).value_or(0) >= 1 &&
                         isDigit(part[1]);
        r.Store = pin ? "$" + r.Component + "__" + part : "$" + r.Component + "_" + part;
        return r;
    }

    // REF OP VALUE from token `from` on; returns the index after the value.
    std::size_t condition(std::size_t from, TTestCondition& c) const {
        std::size_t k = from;
        while (k < t_.size() && (t_[k].quoted || !parseOp(t_[k].text))) ++k;
        if (k >= t_.size()) fail("Vergleich erwartet: BEZUG = WERT");
        c.Ref = ref(from, k);
        c.Op = *parseOp(t_[k].text);
        c.Value = at(k + 1).text;
        return k + 2;
    }

private:
    std::vector<Token> t_;
    int line_;
};

bool oneOf(const std::string& s, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (s == w) return true;
    return false;
}

// The header lines: projekt, zeitzone, start, dezimaltrenner.
bool parseHeader(const std::string& keyword, const LineParser& p, int line, TLogicTestFile& f) {
    if (!oneOf(keyword, {"projekt", "zeitzone", "start", "dezimaltrenner"})) return false;
    if (!f.Steps.empty()) p.fail(keyword + " steht nach dem ersten Schritt");
    p.noMoreAfter(1);
    const std::string& v = p.at(1).text;
    auto once = [&](int& seen) {
        if (seen != 0) p.fail(keyword + " doppelt (schon in Zeile " + std::to_string(seen) + ")");
        seen = line;
    };
    if (keyword == "projekt") {
        once(f.ProjectLine);
        if (v.empty()) p.fail("Projektdatei erwartet");
        f.Project = v;
    } else if (keyword == "zeitzone") {
        once(f.ZoneLine);
        if (v.empty()) p.fail("Zeitzone erwartet (z. B. Europe/Berlin)");
        f.Zone = v;
    } else if (keyword == "start") {
        once(f.StartLine);
        const auto t = parseTime(v);
        if (!t) p.fail("Zeitpunkt erwartet (JJJJ-MM-TTTHH:MM:SS): " + v);
        f.Start = *t;
    } else {
        if (v.size() != 1 || isSpace(v[0]) || isDigit(v[0]) || v[0] == '-' || v[0] == '+')
            p.fail("ein Zeichen erwartet, weder Leerzeichen noch Ziffer: " + v);
        f.DecimalSeparator = v[0];
    }
    return true;
}

TTestStep parseStep(const std::string& keyword, const LineParser& p) {
    TTestStep s;
    if (keyword == "nach") {
        s.Type = TTestStep::Kind::Nach;
        s.DurationMs = p.duration(1);
        p.noMoreAfter(1);
    } else if (keyword == "bis") {
        if (const auto t = parseTime(p.at(1).text); t && !p.at(1).quoted) {
            s.Type = TTestStep::Kind::BisZeit;
            s.At = *t;
            p.noMoreAfter(1);
        } else {
            s.Type = TTestStep::Kind::BisBedingung;
            const std::size_t next = p.condition(1, s.Condition);
            if (next >= p.size() || !oneOf(p.at(next).text, {"höchstens", "hoechstens"}))
                p.fail("höchstens DAUER fehlt (bis BEZUG = WERT höchstens 2h)");
            s.DurationMs = p.duration(next + 1);
            p.noMoreAfter(next + 1);
        }
    } else if (oneOf(keyword, {"drücke", "druecke"})) {
        s.Type = TTestStep::Kind::Druecke;
        s.Input = p.input(1);
        p.noMoreAfter(1);
    } else if (keyword == "schalte") {
        s.Type = TTestStep::Kind::Schalte;
        s.Input = p.input(1);
        p.noMoreAfter(1);
    } else if (keyword == "setze") {
        s.Type = TTestStep::Kind::Setze;
        TTestCondition c;
        const std::size_t next = p.condition(1, c);
        if (c.Op != TTestOp::Eq) p.fail("setze BEZUG = WERT erwartet");
        if (c.Ref.Lcd) p.fail("die Anzeige kann nicht gesetzt werden");
        p.noMoreAfter(next - 1);
        s.Target = c.Ref;
        s.Value = c.Value;
        // A bare input name sets the value of the simulated input.
        if (!c.Ref.Component.empty() && c.Ref.Store == "$" + c.Ref.Component + "__A1" && isInputName(c.Ref.Component)) {
            s.Input = p.input(1);
            if (!parseInt32(s.Value)) p.fail("ganze Zahl erwartet: " + s.Value);
            s.Target.Store = "$" + s.Input + "__E1";
        }
    } else if (keyword == "erwarte") {
        s.Type = TTestStep::Kind::Erwarte;
        const std::size_t next = p.condition(1, s.Condition);
        if (next < p.size()) {
            if (!oneOf(p.at(next).text, {"für", "fuer"})) p.fail("überzählige Angabe: " + p.at(next).text);
            s.DurationMs = p.duration(next + 1);
            p.noMoreAfter(next + 1);
        }
    } else {
        p.fail("unbekanntes Schlüsselwort: " + keyword);
    }
    return s;
}

} // namespace

std::optional<std::int64_t> ParseTestDuration(const std::string& text) {
    if (text.empty()) return std::nullopt;
    double total = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t begin = i;
        while (i < text.size() && (isDigit(text[i]) || text[i] == ',' || text[i] == '.')) ++i;
        std::string number = text.substr(begin, i - begin);
        for (char& c : number)
            if (c == ',') c = '.';
        if (number.empty() || number.front() == '.' || number.back() == '.' || number.size() > 12) return std::nullopt;
        const auto value = parseDouble(number, '.');
        if (!value) return std::nullopt;
        double unit = 0;
        if (text.compare(i, 2, "ms") == 0) unit = 1, i += 2;
        else if (text.compare(i, 3, "min") == 0) unit = 60000, i += 3;
        else if (text.compare(i, 1, "s") == 0) unit = 1000, i += 1;
        else if (text.compare(i, 1, "m") == 0) unit = 60000, i += 1;
        else if (text.compare(i, 1, "h") == 0) unit = 3600000, i += 1;
        else if (text.compare(i, 1, "d") == 0) unit = 86400000, i += 1;
        else return std::nullopt;
        total += *value * unit;
        if (total > static_cast<double>(kMaxDurationMs)) return std::nullopt;
    }
    return static_cast<std::int64_t>(std::llround(total));
}

std::string FormatTestDuration(std::int64_t ms) {
    const std::int64_t d = ms / 86400000, h = ms / 3600000 % 24, m = ms / 60000 % 60, s = ms / 1000 % 60,
                       rest = ms % 1000;
    std::string out;
    if (d > 0) out += std::to_string(d) + "d ";
    if (d > 0 || h > 0) out += std::to_string(h) + "h ";
    if (d > 0 || h > 0 || m > 0) out += std::to_string(m) + "m ";
    char sec[24];
    if (rest != 0) std::snprintf(sec, sizeof sec, "%lld.%03llds", static_cast<long long>(s), static_cast<long long>(rest));
    else std::snprintf(sec, sizeof sec, "%llds", static_cast<long long>(s));
    return out + sec;
}

TLogicTestFile ParseLogicTest(const std::string& text) {
    TLogicTestFile f;
    const std::vector<std::string> lines = splitLines(text);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n) + 1;
        std::string stepText;
        std::vector<Token> tokens = tokenize(lines[n], lineNo, stepText);
        if (tokens.empty()) continue;
        const std::string keyword = tokens.front().quoted ? std::string("\"") : tokens.front().text;
        const LineParser p(std::move(tokens), lineNo);
        if (parseHeader(keyword, p, lineNo, f)) continue;
        TTestStep step = parseStep(keyword, p);
        step.Line = lineNo;
        step.Text = stepText;
        f.Steps.push_back(std::move(step));
    }
    if (f.ProjectLine == 0) throw TLogicTestSyntaxError(1, "projekt fehlt (projekt DATEI.v7k)");
    return f;
}

} // namespace v7300

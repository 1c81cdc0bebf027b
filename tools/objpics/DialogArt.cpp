#include "DialogArt.h"

#include "TrueType.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "model/TypeCatalogue.h"

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace objpics {
namespace {

using v7300::TLabelSide;
using v7300::TParamControl;
using v7300::TParamDialogSpec;

constexpr std::uint32_t kDescription = 0xC8C8C8;
constexpr int kLabelSize = 12;
constexpr int kGap = 6; // between a label and its control

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts(1);
    for (char ch : s) {
        if (ch == sep)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    return parts;
}

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
        } else if (line[i] == '"') {
            std::string s;
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) {
                    ++i;
                    s += line[i] == 'n' ? '\n' : line[i];
                } else {
                    s += line[i];
                }
            }
            ++i;
            out.push_back(s);
        } else {
            const std::size_t end = line.find_first_of(" \t\r", i);
            out.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
            i = end == std::string::npos ? line.size() : end;
        }
    }
    return out;
}

std::uint32_t colourOf(const std::string& name) {
    static const std::map<std::string, std::uint32_t> colours = {
        {"white", kWhite}, {"label", kDescription}, {"orange", kOrange}, {"grey", kDim},
        {"dark", kGrey},   {"dim", 0x888888},       {"red", 0xFF4040},   {"green", 0x40D040},
        {"blue", 0x60A0FF}, {"navy", 0x000080},     {"black", kBlack},   {"body", kBody}};
    const auto it = colours.find(name);
    if (it == colours.end()) throw v7300::Error("unbekannte Farbe " + name);
    return it->second;
}

FontStyle styleOf(const std::string& name) {
    if (name == "bold") return FontStyle::Bold;
    if (name == "mono") return FontStyle::Mono;
    if (name == "normal") return FontStyle::Normal;
    throw v7300::Error("unbekannte Schrift " + name);
}

class Painter {
public:
    Painter(const TParamDialogSpec& dialog, Canvas& canvas) : d_(dialog), c_(canvas) {}

    const TrueTypeFont& font(FontStyle style, int size) {
        auto& f = fonts_[{style, size}];
        if (!f) f = std::make_unique<TrueTypeFont>(style, size);
        return *f;
    }
    // Text with its top left corner at dialog coordinates.
    void text(int x, int y, const std::string& s, std::uint32_t rgb, int size = kLabelSize,
              FontStyle style = FontStyle::Normal) {
        font(style, size).draw(c_, x, y - kTop, s, rgb);
    }
    int width(const std::string& s, int size = kLabelSize, FontStyle style = FontStyle::Normal) {
        return font(style, size).width(s);
    }
    int height(int size = kLabelSize, FontStyle style = FontStyle::Normal) { return font(style, size).lineHeight(); }

    void fill(int x0, int y0, int x1, int y1, std::uint32_t rgb) { c_.fill(x0, y0 - kTop, x1, y1 - kTop, rgb); }
    void frame(int x0, int y0, int x1, int y1, std::uint32_t rgb, int t = 1) {
        c_.frame(x0, y0 - kTop, x1, y1 - kTop, rgb, t);
    }
    void line(int x0, int y0, int x1, int y1, std::uint32_t rgb, int t = 1) {
        c_.line(x0, y0 - kTop, x1, y1 - kTop, rgb, t);
    }
    void circle(int x, int y, int r, std::uint32_t rgb, bool filled) { c_.circle(x, y - kTop, r, rgb, filled); }

    void title(const std::string& type, const std::string& name, int x, int y) {
        text(x, y, type, kOrange, 22, FontStyle::Bold);
        text(x + 10 + width(type, 22, FontStyle::Bold), y + 7, name, kWhite, 15);
        line(x, y + 32, d_.width - 15, y + 32, kDim);
    }

    void para(int x, int y, int w, int size, const std::string& s) {
        const int lh = height(size) + 2;
        for (const std::string& paragraph : split(s, '\n')) {
            std::string row;
            for (const std::string& word : split(paragraph, ' ')) {
                const std::string tryRow = row.empty() ? word : row + " " + word;
                if (!row.empty() && width(tryRow, size) > w) {
                    text(x, y, row, kDescription, size);
                    y += lh;
                    row = word;
                } else {
                    row = tryRow;
                }
            }
            text(x, y, row, kDescription, size);
            y += lh;
        }
    }

    void block(int x, int y, int w, int h, const std::string& glyph, std::vector<std::string> in,
               std::vector<std::string> out) {
        fill(x, y, x + w, y + h, kBody);
        frame(x, y, x + w, y + h, kFrame, 2);
        fill(x + 2, y + 2, x + w - 2, y + 5, kOrange);
        const int pinSize = 12;
        auto pins = [&](const std::vector<std::string>& names, bool left) {
            const int pitch = h / static_cast<int>(names.size() + 1);
            for (std::size_t i = 0; i < names.size(); ++i) {
                const int py = y + pitch * static_cast<int>(i + 1);
                if (left) {
                    line(x - 18, py, x - 1, py, kWhite, 2);
                    c_.circle(x - 18, py - kTop, 2, 0xFF2222, true);
                    text(x + 6, py - height(pinSize) / 2, names[i], kDescription, pinSize);
                } else {
                    line(x + w + 1, py, x + w + 18, py, kWhite, 2);
                    c_.circle(x + w + 18, py - kTop, 2, 0x22FF22, true);
                    text(x + w - 6 - width(names[i], pinSize), py - height(pinSize) / 2, names[i], kDescription,
                         pinSize);
                }
            }
        };
        pins(in, true);
        pins(out, false);
        const std::string& type = d_.typeName;
        if (!out.empty() && (type == "NAND" || type == "NOR" || type == "INV")) // inverted output
        {
            c_.circle(x + w + 7, y + h / 2 - kTop, 5, kBlack, true);
            c_.circle(x + w + 7, y + h / 2 - kTop, 5, kWhite, false, 2);
        }
        const int size = std::min(36, h / 3);
        text(x + (w - width(glyph, size, FontStyle::Bold)) / 2, y + (h - height(size, FontStyle::Bold)) / 2 + 2, glyph,
             kWhite, size, FontStyle::Bold);
    }

    void timing(int x, int y, int w, int rowH, const std::vector<std::pair<std::string, std::string>>& rows) {
        const int nameW = 44;
        std::size_t steps = 1;
        for (const auto& r : rows) steps = std::max(steps, r.second.size());
        const int step = (w - nameW) / static_cast<int>(steps);
        for (std::size_t s = 0; s <= steps; ++s) {
            const int gx = x + nameW + static_cast<int>(s) * step;
            for (int gy = y; gy < y + rowH * static_cast<int>(rows.size()); gy += 3) c_.pixel(gx, gy - kTop, kGrey);
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int top = y + static_cast<int>(r) * rowH;
            const int hi = top + 4;
            const int lo = top + rowH - 6;
            text(x, top + (rowH - height()) / 2 - 1, rows[r].first, kWhite);
            line(x + nameW, lo + 2, x + nameW + step * static_cast<int>(steps), lo + 2, kGrey);
            // "0" and "1" are levels; a row with higher digits is a value in steps.
            const std::string& pattern = rows[r].second;
            const int top9 = std::max(1, *std::max_element(pattern.begin(), pattern.end()) - '0');
            int prev = -1;
            for (std::size_t s = 0; s < pattern.size(); ++s) {
                const int level = lo - (lo - hi) * std::clamp(pattern[s] - '0', 0, 9) / top9;
                const int x0 = x + nameW + static_cast<int>(s) * step;
                if (prev >= 0 && prev != level) line(x0, prev, x0, level, kOrange, 2);
                line(x0, level, x0 + step, level, kOrange, 2);
                prev = level;
            }
        }
    }

    void lcd(int x, int y, const std::string& l1, const std::string& l2) {
        const int cw = width("M", 16, FontStyle::Mono);
        const int w = cw * 16 + 20;
        fill(x, y, x + w, y + 58, 0x101828);
        frame(x, y, x + w, y + 58, kFrame, 2);
        fill(x + 6, y + 6, x + w - 6, y + 52, 0x0A2A6A);
        text(x + 10, y + 9, l1, 0xE8F0FF, 16, FontStyle::Mono);
        text(x + 10, y + 30, l2, 0xE8F0FF, 16, FontStyle::Mono);
    }

    void wiring(int x, int y, int w, int h);
    void truthTable();
    void labels();

private:
    static constexpr int kTop = v7300::kTitleBarHeight;
    const TParamDialogSpec& d_;
    Canvas& c_;
    std::map<std::pair<FontStyle, int>, std::unique_ptr<TrueTypeFont>> fonts_;
};

// The controller and the module on the bus, and what hangs on the module's channels.
void Painter::wiring(int x, int y, int w, int h) {
    const std::string& type = d_.typeName;
    const int channels = type.find("VIII") != std::string::npos ? 8 : type.find("IV") != std::string::npos ? 4 : 2;
    text(x, y, "Anschlussbeispiel", kOrange, 14, FontStyle::Bold);
    const int top = y + 30;
    // The controller on the left, the module on the right, the bus between them.
    fill(x, top, x + 150, top + 110, kBody);
    frame(x, top, x + 150, top + 110, kFrame, 2);
    text(x + 10, top + 10, "V7300-NET-IO", kWhite, 13, FontStyle::Bold);
    const int mx = x + w - 250;
    fill(mx, top, mx + 190, top + h - 60, kBody);
    frame(mx, top, mx + 190, top + h - 60, kFrame, 2);
    text(mx + 10, top + 10, type, kWhite, 13, FontStyle::Bold);
    const char* wires[] = {"A", "B", "GND", "+12V"};
    for (int i = 0; i < 4; ++i) {
        const int wy = top + 40 + 16 * i;
        const std::uint32_t col = i == 0 ? kOrange : i == 1 ? 0x60A0FF : i == 2 ? 0x888888 : 0xFF4040;
        line(x + 150, wy, mx, wy, col, 2);
        text(x + 110 - width(wires[i], 11), wy - 7, wires[i], kDescription, 11);
        text(mx + 8, wy - 7, wires[i], kDescription, 11);
    }
    text(x + 170, top + 104, std::string("RS485 / V") + "\u00B2" + "BUS", kDescription, 12);
    // The channels: inputs take switches, outputs drive loads, sensors and dimmed lights.
    const bool input = type.find("BUS-IN") == 0;
    const bool temp = type.find("BUS-TEMP") == 0;
    const bool pwm = type.find("BUS-PWM") == 0;
    const char* what = input ? "Taster / Schalter" : temp ? "Temperaturfühler" : pwm ? "LED-Dimmer" : "Relais";
    const int rowH = std::min(28, (h - 130) / channels);
    for (int k = 0; k < channels; ++k) {
        const int cy = top + 110 + rowH * k;
        const std::string n = std::to_string(k + 1);
        text(mx + 10, cy - 7, (input ? "IN" : temp ? "T" : pwm ? "LED" : "A") + n, kWhite, 12);
        line(mx + 190, cy, mx + 215, cy, kWhite, 2);
        if (temp) {
            frame(mx + 216, cy - 5, mx + 236, cy + 5, kOrange);
        } else if (input) {
            line(mx + 216, cy, mx + 232, cy - 8, kOrange, 2);
            circle(mx + 216, cy, 2, kOrange, true);
        } else {
            circle(mx + 224, cy, 7, kOrange, false);
            line(mx + 219, cy - 5, mx + 229, cy + 5, kOrange);
            line(mx + 229, cy - 5, mx + 219, cy + 5, kOrange);
        }
    }
    text(mx + 10, top + h - 82, what, kDescription, 12);
}

// BOOL: above each box the input combination it stands for, D C B A from the top.
void Painter::truthTable() {
    const TParamControl* first = d_.Control("cb0");
    if (!first) return;
    const char* rows[] = {"D", "C", "B", "A"};
    const int rowH = 18;
    const int bottom = first->y - 4;
    for (int r = 0; r < 4; ++r) {
        const int y = bottom - rowH * (4 - r);
        text(first->x - 24, y, rows[r], kWhite);
        for (int n = 0; n < 16; ++n) {
            const TParamControl* cb = d_.Control("cb" + std::to_string(n));
            const std::string bit = ((n >> (3 - r)) & 1) ? "1" : "0";
            text(cb->x + (cb->w - width(bit)) / 2, y, bit, bit == "1" ? kOrange : kDescription);
        }
    }
    text(first->x - 24, first->y + 1, "a", kOrange, kLabelSize, FontStyle::Bold);
    line(first->x - 4, bottom - 2, d_.Control("cb15")->x + 15, bottom - 2, kDim);
}

// The labels of the controls, where the table puts the controls.
void Painter::labels() {
    for (const TParamControl& c : d_.controls) {
        if (!c.framed) frame(c.x - 2, c.y - 2, c.x + c.w + 1, c.y + c.h + 1, kFrame);
        if (c.label.empty()) continue;
        const int h = height();
        if (c.side == TLabelSide::Left)
            text(c.x - kGap - width(c.label), c.y + (c.h - h) / 2, c.label, kWhite);
        else if (c.side == TLabelSide::Above)
            text(c.x, c.y - h - 2, c.label, kWhite);
        else if (c.side == TLabelSide::Right)
            text(c.x + c.w + kGap, c.y + (c.h - h) / 2, c.label, kWhite);
    }
}

int number(const std::vector<std::string>& t, std::size_t i) {
    if (i >= t.size()) throw v7300::Error("zu wenige Angaben");
    return std::stoi(t[i]);
}

const std::string& word(const std::vector<std::string>& t, std::size_t i) {
    if (i >= t.size()) throw v7300::Error("zu wenige Angaben");
    return t[i];
}

std::vector<std::string> pinNames(const TParamDialogSpec& d, bool in) {
    std::vector<std::string> out;
    if (const auto* e = v7300::FindCatalogueEntry(d.typeName))
        for (const char* n : in ? e->pinNamesIn : e->pinNamesOut) out.emplace_back(n);
    return out;
}

} // namespace

Canvas drawDialogPicture(const TParamDialogSpec& d, const std::string& source) {
    Canvas canvas(d.width, d.height - v7300::kTitleBarHeight);
    Painter p(d, canvas);
    const std::vector<std::string> lines = v7300::splitLines(source);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::vector<std::string> t = tokens(lines[n]);
        if (t.empty() || t[0][0] == '#') continue;
        try {
            const std::string& what = t[0];
            if (what == "title") {
                p.title(word(t, 1), word(t, 2), t.size() > 4 ? number(t, 3) : 14, t.size() > 4 ? number(t, 4) : 38);
            } else if (what == "text") {
                p.text(number(t, 1), number(t, 2), word(t, 6), colourOf(word(t, 5)), number(t, 3), styleOf(word(t, 4)));
            } else if (what == "para") {
                p.para(number(t, 1), number(t, 2), number(t, 3), number(t, 4), word(t, 5));
            } else if (what == "block") {
                p.block(number(t, 1), number(t, 2), number(t, 3), number(t, 4), word(t, 5),
                        t.size() > 6 ? split(t[6], ',') : pinNames(d, true),
                        t.size() > 7 ? split(t[7], ',') : pinNames(d, false));
            } else if (what == "timing") {
                std::vector<std::pair<std::string, std::string>> rows;
                for (++n; n < lines.size(); ++n) {
                    const auto r = tokens(lines[n]);
                    if (!r.empty() && r[0] == "end") break;
                    if (r.size() == 3 && r[0] == "row") rows.emplace_back(r[1], r[2]);
                }
                p.timing(number(t, 1), number(t, 2), number(t, 3), number(t, 4), rows);
            } else if (what == "wiring") {
                p.wiring(number(t, 1), number(t, 2), number(t, 3), number(t, 4));
            } else if (what == "truthtable") {
                p.truthTable();
            } else if (what == "lcd") {
                p.lcd(number(t, 1), number(t, 2), word(t, 3), word(t, 4));
            } else if (what == "box" || what == "fill") {
                const int x = number(t, 1), y = number(t, 2);
                if (what == "box")
                    p.frame(x, y, x + number(t, 3), y + number(t, 4), colourOf(word(t, 5)));
                else
                    p.fill(x, y, x + number(t, 3), y + number(t, 4), colourOf(word(t, 5)));
            } else if (what == "line") {
                p.line(number(t, 1), number(t, 2), number(t, 3), number(t, 4), colourOf(word(t, 5)),
                       t.size() > 6 ? number(t, 6) : 1);
            } else {
                throw v7300::Error("unbekannte Angabe " + what);
            }
        } catch (const std::exception& e) {
            throw v7300::Error(d.typeName + ".dlg Zeile " + std::to_string(n + 1) + ": " + e.what());
        }
    }
    if (d.labelsInPicture) p.labels();
    return canvas;
}

Canvas drawShownItemsButton(const std::string& name) {
    Canvas c(16, 16);
    if (name == "Empty") { // a question mark: the slot takes the selected output
        c.frame(0, 0, 15, 15, kDim);
        c.text(5, 4, "?", kOrange, 1);
    } else if (name == "Delete") {
        c.frame(0, 0, 15, 15, kDim);
        c.line(4, 4, 11, 11, 0xFF4040, 2);
        c.line(11, 4, 4, 11, 0xFF4040, 2);
    } else { // "Text" and "PageName": a pen
        c.line(3, 12, 11, 4, name == "Text" ? kOrange : kWhite, 2);
        c.line(3, 13, 5, 13, kDescription);
        c.pixel(12, 3, kDescription);
        c.line(2, 14, 13, 14, kDim);
    }
    return c;
}

} // namespace objpics

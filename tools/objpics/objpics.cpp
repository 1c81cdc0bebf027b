// Draws the pictures of the component library: each type's main picture sized
// from its definition file (Width x 10 by Height x 10 pixels), the IN pictures
// per input kind with their "_" (on) variants, and the IN dialog's Option
// pictures; with a third folder also the parameter dialogs' background pictures
// and the buttons of the display-text editor.
// Usage: objpics SOURCE_OBJEKTS_DIR OUTPUT_OBJEKTS_DIR [OUTPUT_DIALOGS_DIR]
#include "Canvas.h"
#include "DialogArt.h"
#include "Font.h"

#include "core/BmpWriter.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"
#include "model/ObjDefinition.h"
#include "model/TypeCatalogue.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

using namespace objpics;
namespace fs = std::filesystem;

namespace {

struct Shape {
    int w = 0; // pixels
    int h = 0;
    std::vector<std::string> in;
    std::vector<std::string> out;
};

// Frame, pin stubs and pin names shared by every picture.
Canvas body(const Shape& s, std::uint32_t fillColour = kBody) {
    Canvas c(s.w, s.h);
    const int x0 = 4;
    const int x1 = s.w - 5;
    c.fill(x0, 2, x1, s.h - 3, fillColour);
    c.frame(x0, 2, x1, s.h - 3, kFrame);
    c.fill(x0, 2, x1, 3, kOrange);
    for (std::size_t i = 0; i < s.in.size(); ++i) {
        const int y = static_cast<int>(i + 1) * 10;
        c.fill(0, y, x0, y, kFrame);
        c.smallText(x0 + 3, y - 2, s.in[i], kLabel);
    }
    for (std::size_t i = 0; i < s.out.size(); ++i) {
        const int y = static_cast<int>(i + 1) * 10;
        c.fill(x1, y, s.w - 1, y, kFrame);
        c.smallText(x1 - 2 - Canvas::smallWidth(s.out[i]), y - 2, s.out[i], kLabel);
    }
    return c;
}

// Inversion bubble on the first output.
void bubble(Canvas& c) {
    c.fill(c.width() - 7, 7, c.width() - 5, 13, kBody);
    c.circle(c.width() - 4, 10, 2, kWhite, false);
}

int midX(const Canvas& c) { return c.width() / 2; }
int midY(const Canvas& c) { return c.height() / 2; }

// ---- the icons of the input kinds, drawn around (cx, cy) in units of k pixels
using Icon = std::function<void(Canvas&, int cx, int cy, int k, bool on)>;

void switchIcon(Canvas& c, int cx, int cy, int k, bool on) {
    const std::uint32_t col = on ? kOrange : kWhite;
    c.line(cx - 13 * k, cy + 2 * k, cx - 6 * k, cy + 2 * k, col, k);
    c.line(cx + 7 * k, cy + 2 * k, cx + 13 * k, cy + 2 * k, col, k);
    c.circle(cx - 6 * k, cy + 2 * k, 1 * k, col, true);
    c.circle(cx + 7 * k, cy + 2 * k, 1 * k, col, true);
    if (on)
        c.line(cx - 6 * k, cy + 2 * k, cx + 7 * k, cy + 1 * k, col, k);
    else
        c.line(cx - 6 * k, cy + 2 * k, cx + 6 * k, cy - 5 * k, col, k);
}

void buttonIcon(Canvas& c, int cx, int cy, int k, bool on) {
    const std::uint32_t col = on ? kOrange : kWhite;
    const int d = on ? 3 * k : 0; // pressed: the bridge touches the contacts
    c.line(cx - 13 * k, cy + 4 * k, cx - 6 * k, cy + 4 * k, col, k);
    c.line(cx + 6 * k, cy + 4 * k, cx + 13 * k, cy + 4 * k, col, k);
    c.circle(cx - 6 * k, cy + 4 * k, 1 * k, col, true);
    c.circle(cx + 6 * k, cy + 4 * k, 1 * k, col, true);
    c.line(cx - 7 * k, cy + d, cx + 7 * k, cy + d, col, k);
    c.line(cx, cy + d, cx, cy - 5 * k + d, col, k);
    c.line(cx - 3 * k, cy - 5 * k + d, cx + 3 * k, cy - 5 * k + d, col, k);
}

void analogIcon(Canvas& c, int cx, int cy, int k, bool on) {
    const std::uint32_t col = on ? kOrange : kWhite;
    c.frame(cx - 7 * k, cy - 2 * k, cx + 7 * k, cy + 2 * k, col, k);
    c.line(cx - 13 * k, cy, cx - 7 * k, cy, col, k);
    c.line(cx + 7 * k, cy, cx + 13 * k, cy, col, k);
    c.line(cx - 6 * k, cy + 6 * k, cx + 6 * k, cy - 6 * k, col, k);
    c.line(cx + 6 * k, cy - 6 * k, cx + 2 * k, cy - 6 * k, col, k);
    c.line(cx + 6 * k, cy - 6 * k, cx + 6 * k, cy - 2 * k, col, k);
}

void thermoIcon(Canvas& c, int cx, int cy, int k, bool on, const std::string& label) {
    const std::uint32_t col = on ? kOrange : kWhite;
    c.frame(cx - 9 * k, cy - 7 * k, cx - 5 * k, cy + 3 * k, col, k);
    c.circle(cx - 7 * k, cy + 5 * k, 3 * k, col, true);
    c.fill(cx - 8 * k, cy - 2 * k, cx - 6 * k, cy + 3 * k, col);
    if (k == 1)
        c.smallText(cx - 2, cy - 2, label, kLabel);
    else
        c.text(cx - 2 * k, cy - 3 * k, label, kLabel, k / 2);
}

void lightIcon(Canvas& c, int cx, int cy, int k, bool on) {
    const std::uint32_t col = on ? kOrange : kWhite;
    c.circle(cx, cy, 3 * k, col, on);
    c.circle(cx, cy, 3 * k, col, false, k);
    for (int a = 0; a < 360; a += 45) {
        const double r = a * 3.14159265358979323846 / 180;
        c.line(cx + static_cast<int>(std::lround(5 * k * std::cos(r))), cy + static_cast<int>(std::lround(5 * k * std::sin(r))),
               cx + static_cast<int>(std::lround(8 * k * std::cos(r))), cy + static_cast<int>(std::lround(8 * k * std::sin(r))),
               col, k);
    }
}

const std::map<std::string, Icon>& inIcons() {
    static const std::map<std::string, Icon> icons = {
        {"0", switchIcon},
        {"1", analogIcon},
        {"2", [](Canvas& c, int x, int y, int k, bool on) { thermoIcon(c, x, y, k, on, "110"); }},
        {"3", [](Canvas& c, int x, int y, int k, bool on) { thermoIcon(c, x, y, k, on, "210"); }},
        {"4", lightIcon},
        {"10", buttonIcon},
    };
    return icons;
}

// ---- the main pictures
void drawSymbol(const std::string& type, Canvas& c, const Shape& shape) {
    // The middle of the space the pin names leave free.
    int left = 4;
    int right = c.width() - 5;
    for (const auto& n : shape.in) left = std::max(left, 7 + Canvas::smallWidth(n) + 1);
    for (const auto& n : shape.out) right = std::min(right, c.width() - 7 - Canvas::smallWidth(n) - 1);
    const int cx = (left + right + 1) / 2;
    const int cy = midY(c);
    const std::string ge1 = std::string(1, kGreaterEqual) + "1";
    if (type == "AND" || type == "NAND") c.centredText(cx + 1, cy, "&", kWhite, 2);
    if (type == "OR" || type == "NOR") c.centredText(cx + 1, cy, ge1, kWhite, 2);
    if (type == "NAND" || type == "NOR" || type == "INV") bubble(c);
    if (type == "XOR") c.centredText(cx + 1, cy, "=1", kWhite, 1);
    if (type == "INV") c.centredText(cx, cy + 1, "1", kWhite, 1);
    if (type == "BI") c.centredText(cx, cy + 1, "T", kOrange, 1);
    if (type == "TAKT") {
        const int y0 = cy + 4;
        const int y1 = cy - 3;
        c.line(cx - 9, y0, cx - 5, y0, kOrange);
        c.line(cx - 5, y0, cx - 5, y1, kOrange);
        c.line(cx - 5, y1, cx - 3, y1, kOrange);
        c.line(cx - 3, y1, cx - 3, y0, kOrange);
        c.line(cx - 3, y0, cx + 3, y0, kOrange);
        c.line(cx + 3, y0, cx + 3, y1, kOrange);
        c.line(cx + 3, y1, cx + 5, y1, kOrange);
        c.line(cx + 5, y1, cx + 5, y0, kOrange);
        c.line(cx + 5, y0, cx + 9, y0, kOrange);
    }
    if (type == "FF") c.centredText(cx + 1, cy + 1, "SR", kWhite, 1);
    if (type == "RELAY") {
        c.circle(cx - 6, 10, 1, kWhite, true);
        c.circle(cx - 6, 20, 1, kWhite, true);
        c.circle(cx + 6, 10, 1, kWhite, true);
        c.line(cx + 6, 10, cx - 5, 13, kOrange);
        for (int y = 14; y <= 30; y += 3) c.pixel(cx, y, kLabel);
    }
    if (type == "NUM") c.centredText(cx, cy + 1, "123", kOrange, 1);
    if (type == "TIMER" || type == "WEEKTIMER") {
        const int y = type == "TIMER" ? cy + 1 : cy - 2;
        c.circle(cx, y, 9, kWhite, false);
        c.line(cx, y, cx, y - 6, kOrange);
        c.line(cx, y, cx + 4, y + 2, kOrange);
        if (type == "WEEKTIMER") c.smallText(cx - 9, y + 12, "MO-SO", kLabel);
    }
    if (type == "COUNT") c.centredText(cx + 1, cy + 1, "+1", kOrange, 2);
    if (type == "ROLLO") {
        c.frame(cx - 6, 12, cx + 8, 46, kWhite);
        for (int y = 15; y <= 30; y += 3) c.line(cx - 5, y, cx + 7, y, kOrange);
        c.line(cx + 1, 36, cx + 1, 43, kLabel); // arrow down
        c.line(cx - 2, 40, cx + 1, 43, kLabel);
        c.line(cx + 4, 40, cx + 1, 43, kLabel);
    }
    if (type == "CALC") {
        c.centredText(cx + 1, cy - 3, "+-", kWhite, 1);
        c.centredText(cx + 1, cy + 6, "*/", kWhite, 1);
    }
    if (type == "VALUE") {
        c.frame(cx + 6, 7, cx + 13, 33, kWhite);
        c.fill(cx + 8, 20, cx + 11, 31, kOrange);
        c.centredText(cx - 1, 14, "+", kWhite, 1);
        c.centredText(cx - 1, 25, "-", kWhite, 1);
    }
    if (type == "ASWITCH") {
        for (int i = 1; i <= 4; ++i) c.circle(20, i * 10, 1, kWhite, true);
        c.circle(36, 25, 2, kWhite, true);
        c.line(36, 25, 21, 20, kOrange);
        c.line(36, 25, 40, 10, kFrame);
    }
    if (type == "SCHWELLE") {
        c.line(cx - 10, cy + 6, cx + 3, cy + 6, kOrange);
        c.line(cx + 3, cy + 6, cx + 3, cy - 6, kOrange);
        c.line(cx - 3, cy - 6, cx + 10, cy - 6, kOrange);
        c.line(cx - 3, cy - 6, cx - 3, cy + 6, kOrange);
    }
    if (type == "BOOL") {
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k) {
                const bool set = (r * 4 + k) % 5 == 0;
                c.fill(cx - 7 + k * 4, 12 + r * 7, cx - 5 + k * 4, 14 + r * 7, set ? kOrange : kDim);
            }
    }
    if (type == "LCD") {
        c.fill(22, 7, c.width() - 9, 23, 0x102030);
        c.frame(22, 7, c.width() - 9, 23, kOrange);
        for (int x = 25; x + 3 < c.width() - 11; x += 5) {
            c.fill(x, 10, x + 3, 14, kLabel);
            if (x < 50) c.fill(x, 17, x + 3, 21, kDim);
        }
    }
    if (type.rfind("BUS-", 0) == 0) {
        const std::string kind = type.substr(4, type.find('-', 4) - 4);
        const int top = 8;
        c.centredText(cx, top + 4, std::string("V") + kSquared + "BUS", kWhite, 1);
        c.centredText(cx, top + 14, kind, kOrange, 1);
    }
}

Shape shapeOf(const fs::path& objFile, const v7300::TCatalogueEntry* entry, const std::string& type) {
    std::vector<std::string> lines = v7300::splitLines(v7300::cp1252ToUtf8(v7300::readFileBytes(objFile.string())));
    if (!lines.empty()) lines.erase(lines.begin());
    const v7300::TObjDefinition def = v7300::ParseDefinitionBody(lines, type);
    Shape s{def.Width * 10, def.Height * 10, {}, {}};
    if (entry) {
        s.in.assign(entry->pinNamesIn.begin(), entry->pinNamesIn.end());
        s.out.assign(entry->pinNamesOut.begin(), entry->pinNamesOut.end());
    }
    if (type == "ROLLO") s.in = {"AUF", "AB", "STOP", "ZAUF", "ZAB"};
    if (type == "RELAY") s.in = {"A1", "A2", "SEL"};
    s.in.resize(def.InputCount);
    s.out.resize(def.OutputCount);
    return s;
}

void savePng(const Canvas& c, const fs::path& file) { v7300::writeFileAtomic(file.string(), v7300::encodePng(c.image())); }

// The IN dialog's 350 x 350 pictures.
void drawOption(const fs::path& file, const std::string& title, const Icon& icon, const std::vector<std::string>& text) {
    Canvas c(350, 350);
    c.frame(0, 0, 349, 349, kDim, 2);
    c.fill(2, 2, 347, 5, kOrange);
    c.centredText(175, 34, title, kOrange, 3);
    c.fill(40, 90, 310, 230, kGrey);
    c.frame(40, 90, 310, 230, kFrame);
    icon(c, 125, 165, 5, false);
    icon(c, 255, 165, 3, true);
    c.centredText(125, 215, "AUS", kLabel, 1);
    c.centredText(255, 215, "EIN", kOrange, 1);
    int y = 255;
    for (const auto& line : text) {
        c.centredText(175, y, line, kWhite, 2);
        y += 24;
    }
    v7300::writeBmp16(file.string(), c.image());
}

// Every dialog with a picture, from its source beside the type's definition.
int drawDialogs(const fs::path& src, const fs::path& dst) {
    fs::create_directories(dst / "ShownItems");
    int count = 0;
    for (const auto& dialog : v7300::ParamDialogFamily()) {
        if (!dialog.picture) continue;
        const fs::path source = src / dialog.typeName / (dialog.typeName + ".dlg");
        const std::string text = fs::exists(source) ? v7300::readFileBytes(source.string()) : std::string();
        savePng(drawDialogPicture(dialog, text), dst / (dialog.typeName + ".png"));
        ++count;
    }
    for (const char* button : {"Empty", "Delete", "Text", "PageName"}) {
        savePng(drawShownItemsButton(button), dst / "ShownItems" / (std::string(button) + ".png"));
        ++count;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "Aufruf: objpics QUELLORDNER ZIELORDNER [DIALOGORDNER]\n";
        return 2;
    }
    try {
        const fs::path src = argv[1];
        const fs::path dst = argv[2];
        int count = 0;
        for (const auto& dir : fs::directory_iterator(src)) {
            if (!dir.is_directory()) continue;
            const std::string type = dir.path().filename().string();
            const fs::path obj = dir.path() / (type + ".obj");
            if (!fs::exists(obj) || type == "TXT") continue;
            const auto* entry = v7300::FindCatalogueEntry(type);
            const Shape shape = shapeOf(obj, entry, type);
            fs::create_directories(dst / type);
            if (type == "IN") {
                Shape s = shape;
                Canvas plain = body(s);
                plain.centredText(midX(plain) - 2, midY(plain) + 1, "IN", kWhite, 1);
                savePng(plain, dst / type / "IN.png");
                for (const auto& [kind, icon] : inIcons())
                    for (bool on : {false, true}) {
                        Canvas c = body(s, on ? 0x3A2000 : kBody);
                        icon(c, midX(c) - 2, midY(c) + 1, 1, on);
                        savePng(c, dst / type / ("IN" + kind + (on ? "_" : "") + ".png"));
                        ++count;
                    }
                const auto& icons = inIcons();
                drawOption(dst / type / "Option0.bmp", "Digital Input", icons.at("0"),
                           {"Eingang IN 1 ... IN 8", "offen = 0  geschlossen = 1"});
                drawOption(dst / type / "Option1.bmp", "Analog Input", icons.at("1"),
                           {"Eingang IN 1 ... IN 8", "Spannung als Wert", "0 ... 1024"});
                drawOption(dst / type / "Option2.bmp", "KTY81-110", icons.at("2"),
                           {"Temperatursensor", "an IN 1 ... IN 8"});
                drawOption(dst / type / "Option3.bmp", "KTY81-210", icons.at("3"),
                           {"Temperatursensor", "an IN 1 ... IN 8"});
                drawOption(dst / type / "Option4.bmp", "TSL250", icons.at("4"),
                           {"Lichtsensor", "an IN 1 ... IN 8"});
                drawOption(dst / type / "Option10.bmp", "Schalter", icons.at("0"),
                           {"Software-Eingang", "Klick: EIN / AUS"});
                drawOption(dst / type / "Option11.bmp", "Taster", icons.at("10"),
                           {"Software-Eingang", "Klick: kurzer Impuls"});
            } else if (type == "OUT") {
                Shape s = shape;
                s.in = {""}; // the symbol takes the middle; no pin name
                Canvas c = body(s);
                savePng(c, dst / type / "OUT.png");
            } else {
                Canvas c = body(shape);
                drawSymbol(type, c, shape);
                savePng(c, dst / type / (type + ".png"));
            }
            ++count;
        }
        if (argc == 4) count += drawDialogs(src, argv[3]);
        std::cout << "objpics: " << count << " Bilder\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "objpics: " << e.what() << "\n";
        return 1;
    }
}

#include "model/ParamFamily.h"

#include <string>

namespace v7300 {
namespace {

using K = TParamControlKind;
using S = TLabelSide;

TParamControl number(std::string name, int x, int y, int w, int h, std::string variable, std::string label,
                     TLabelSide side, int maxLength = 0) {
    TParamControl c;
    c.name = std::move(name);
    c.kind = K::NumberEdit;
    c.x = x;
    c.y = y;
    c.w = w;
    c.h = h;
    c.variable = std::move(variable);
    c.maxLength = maxLength;
    c.label = std::move(label);
    c.side = side;
    return c;
}

TParamControl edit(std::string name, int x, int y, int w, int h, std::string variable, std::string label,
                   TLabelSide side, int maxLength = 0) {
    TParamControl c = number(std::move(name), x, y, w, h, std::move(variable), std::move(label), side, maxLength);
    c.kind = K::Edit;
    return c;
}

TParamControl control(K kind, std::string name, int x, int y, int w, int h, std::string variable = {},
                      std::string label = {}, TLabelSide side = S::None, std::vector<std::string> items = {}) {
    TParamControl c = number(std::move(name), x, y, w, h, std::move(variable), {}, side);
    c.kind = kind;
    c.label = std::move(label);
    c.side = side;
    c.items = std::move(items);
    return c;
}

TParamDialogSpec dialog(std::string type, std::string caption, int w, int h, std::vector<TParamControl> controls,
                        TParamDialogKind kind = TParamDialogKind::Fields) {
    TParamDialogSpec d;
    d.typeName = type;
    d.className = "TFrm" + type;
    d.caption = std::move(caption);
    d.width = w;
    d.height = h;
    d.kind = kind;
    d.controls = std::move(controls);
    return d;
}

std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// The bus modules: address, name, room, and a name and trade per channel.
TParamDialogSpec bus(const std::string& type, const std::string& className, const std::vector<int>& rows,
                     int dx = 0, int dy = 0) {
    std::vector<TParamControl> c;
    TParamControl id = number("editBUSID", 85, 162, 53, 25, "BUSID", "Bus-ID:", S::Left);
    id.keyFilter = false; // the bus address field takes any key
    c.push_back(id);
    c.push_back(edit("editName", 85, 198, 208, 25, "NAME", "Name:", S::Left));
    c.push_back(edit("editRoom", 85, 235, 208, 25, "ROOM", "Raum:", S::Left));
    for (std::size_t k = 1; k <= rows.size(); ++k) {
        const int y = rows[k - 1] + dy;
        const std::string n = std::to_string(k);
        c.push_back(edit("editName" + n, 64 + dx, y, 118, 25, "NAME" + n, n + ":", S::Left));
        c.push_back(edit("editDev" + n, 190 + dx, y, 118, 25, "DEV" + n, "", S::None));
    }
    TParamDialogSpec d = dialog(type, type, 960, 577, std::move(c));
    d.className = className;
    return d;
}

std::vector<TParamDialogSpec> build() {
    std::vector<TParamDialogSpec> t;
    for (const char* type : {"AND", "NAND", "OR", "NOR", "XOR", "INV", "BI", "TAKT", "FF", "RELAY"})
        t.push_back(dialog(type, type, 321, std::string(type) == "OR" ? 349 : 348, {}));
    t[2].faceColour = true; // OR

    t.push_back(dialog("NUM", "NUM", 321, 348, {number("editNUM", 255, 49, 50, 19, "VALUE", "Wert:", S::Left)}));
    t.back().controls[0].framed = false;
    t.push_back(
        dialog("TIMER", "TIMER", 321, 349, {number("editValue", 254, 47, 51, 25, "SEKUNDEN", "Zeit [s]:", S::Left, 5)}));
    t.push_back(
        dialog("COUNT", "COUNT", 321, 349, {number("editValue", 254, 47, 51, 25, "COUNT", "Anzahl:", S::Left, 5)}));
    t.push_back(
        dialog("ROLLO", "ROLLO", 638, 517, {number("editTIME", 255, 39, 52, 25, "TIME", "Laufzeit [s]:", S::Left)}));
    t.push_back(dialog("CALC", "CALC", 321, 349,
                       {control(K::RadioGroup, "rgCAL", 6, 191, 308, 120, "TYPE", "Rechenart:", S::Above,
                                {"( Eingang1 + Eingang2 ) Addition", "( Eingang1 - Eingang2 ) Subtraktion",
                                 "( Eingang1 * Eingang2 ) Multiplikation ", "( Eingang1 / Eingang2 ) Division "})}));
    t.push_back(dialog("VALUE", "VALUE", 638, 517,
                       {number("editMAX", 36, 122, 52, 25, "MAX", "Max", S::Above),
                        number("editMIN", 129, 122, 52, 25, "MIN", "Min", S::Above),
                        number("editINC", 219, 122, 52, 25, "INC", "Schritt", S::Above)}));
    {
        std::vector<TParamControl> c;
        const int xs[] = {25, 96, 167, 239};
        for (int k = 1; k <= 4; ++k)
            c.push_back(number("editVAL" + std::to_string(k), xs[k - 1], 122, 52, 25, "WERT" + std::to_string(k),
                               "Wert " + std::to_string(k), S::Above));
        t.push_back(dialog("ASWITCH", "ASWITCH", 638, 419, std::move(c)));
    }
    t.push_back(dialog("SCHWELLE", "SCHWELLE", 335, 361,
                       {number("editMax", 162, 117, 51, 19, "SCHWELLEUP", "Ein ab", S::Above, 5),
                        number("editMin", 247, 117, 50, 18, "SCHWELLEDOWN", "Aus ab", S::Above, 5)}));
    {
        std::vector<TParamControl> c;
        for (int n = 0; n < 16; ++n)
            c.push_back(control(K::CheckBox, "cb" + std::to_string(n), 364 + 15 * n, 280, 15, 17, "VAL" + two(n)));
        t.push_back(dialog("BOOL", "BOOL", 638, 348, std::move(c)));
    }
    {
        std::vector<TParamControl> c;
        const char* names[] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};
        const char* days[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
        const int ys[] = {85, 106, 127, 148, 169, 193, 217};
        for (int d = 0; d < 7; ++d) {
            // The caption is hidden by the box's width; the picture names the day.
            TParamControl cb = control(K::CheckBox, std::string("cb") + names[d], 426, ys[d], 17, 17, names[d],
                                       days[d], S::Left);
            cb.items = {days[d]};
            c.push_back(cb);
        }
        c.push_back(control(K::TimePicker, "dtp_On", 556, 87, 73, 21, "TIME1", "Ein:", S::Left));
        c.push_back(control(K::TimePicker, "dtp_Off", 556, 110, 73, 21, "TIME2", "Aus:", S::Left));
        t.push_back(dialog("WEEKTIMER", "WEEKTIMER", 640, 349, std::move(c)));
        t.back().faceColour = true;
    }
    {
        std::vector<TParamControl> c = {
            control(K::Panel, "panelOptions", 6, 36, 222, 335),
            edit("editBezeichnung", 14, 64, 206, 22, "BESCHRIFTUNG", "Bezeichnung:", S::Above),
            control(K::ComboBox, "cbHardwareInput", 14, 114, 206, 22, "HID", "Input:", S::Above,
                    {"SOFTWARE", "IN 1", "IN 2", "IN 3", "IN 4", "IN 5 (ADC 1)", "IN 6 (ADC 2)", "IN 7 (ADC 3)",
                     "IN 8 (ADC 4)"}),
            control(K::RadioGroup, "rgInputType", 12, 148, 116, 156, "TYPE", "Hardware Type", S::None,
                    {"Digital Input", "Analog Input", "KTY81-110", "KTY81-210", "TSL250"}),
            control(K::RadioGroup, "rgDigitalType", 132, 148, 92, 156, "TYPE", "Software Type", S::None,
                    {"Schalter", "Taster"}),
            control(K::Picture, "imgInputType", 231, 27, 350, 350)};
        t.push_back(dialog("IN", "Input konfigurieren", 585, 377, std::move(c), TParamDialogKind::In));
    }
    {
        std::vector<TParamControl> c = {
            control(K::Panel, "panelOptions", 6, 36, 323, 239),
            control(K::ComboBox, "cbOutputID", 110, 46, 80, 22, "ID", "Output-ID:", S::Left),
            edit("editBeschriftung", 110, 76, 120, 22, "BESCHRIFTUNG", "Beschriftung:", S::Left),
            control(K::ComboBox, "cbType", 110, 106, 120, 22, "TYPE", "Type:", S::Left,
                    {"Text", "Kreis", "Lampe", "Diode", "Sirene", "Kontakt", "Widerstand", "Pegel"}),
            control(K::Picture, "img1", 40, 166, 51, 30, "", "Inaktiv", S::Above),
            control(K::Picture, "img2", 190, 166, 51, 30, "", "Aktiv", S::Above),
            edit("editTXT1", 40, 202, 90, 22, "TXT1", "", S::None, 8),
            edit("editTXT2", 190, 202, 90, 22, "TXT2", "", S::None, 8),
            control(K::ColourButton, "pCOL1", 40, 232, 90, 25, "COL1", "Farbe"),
            control(K::ColourButton, "pCOL2", 190, 232, 90, 25, "COL2", "Farbe")};
        t.push_back(dialog("OUT", "OUTPUT konfigurieren", 335, 281, std::move(c), TParamDialogKind::Out));
    }
    {
        std::vector<std::string> columns;
        for (int i = 1; i <= 16; ++i) columns.push_back(std::to_string(i));
        std::vector<TParamControl> c = {
            edit("editZeile1", 600, 84, 250, 28, "VAL1", "Zeile 1:", S::Left, 16),
            edit("editZeile2", 600, 118, 250, 28, "VAL2", "Zeile 2:", S::Left, 16),
            control(K::ComboBox, "cbType", 600, 170, 300, 26, "TYPE", "Anzeige:", S::Left,
                    {"Systeminformationen", "Text", "Analogwert", "Temperatur", "Digital (AN / AUS)",
                     "Digital (OFFEN / GESCHLOSSEN)", "Digital (JA / NEIN)"}),
            control(K::ComboBox, "cbZeile", 600, 212, 60, 26, "POS", "Zeile:", S::Left, {"1", "2"}),
            control(K::ComboBox, "cbSpalte", 760, 212, 60, 26, "POS", "Spalte:", S::Left, columns),
            control(K::Panel, "panelPreview", 560, 280, 360, 110, "", "Vorschau", S::Above)};
        t.push_back(dialog("LCD", "LCD - Ausgabe", 960, 576, std::move(c), TParamDialogKind::Lcd));
    }
    {
        // The text field sits in the panel below the title bar, 23 pixels from its top.
        TParamDialogSpec d = dialog("TXT", "TXT", 321, 89,
                                    {edit("editValue", 14, kTitleBarHeight + 23, 283, 25, "TEXT", "Text:", S::Above)},
                                    TParamDialogKind::Txt);
        d.picture = false;
        t.push_back(d);
    }
    const std::vector<int> two2 = {292, 326};
    const std::vector<int> four = {292, 326, 360, 394};
    const std::vector<int> eight = {292, 326, 360, 394, 429, 463, 497, 531};
    t.push_back(bus("BUS-IN-II", "TFrmBUSIN2", two2));
    t.push_back(bus("BUS-IN-VIII", "TFrmBUSIN8", eight));
    t.push_back(bus("BUS-OUT-II", "TFrmBUSOUT2", two2));
    t.push_back(bus("BUS-OUT-IV", "TFrmBUSOUT4", four, -3, -2));
    t.push_back(bus("BUS-OUT-VIII", "TFrmBUSOUT8", eight));
    t.push_back(bus("BUS-TEMP-II", "TFrmBUSTEMP2", two2));
    t.push_back(bus("BUS-TEMP-IV", "TFrmBUSTEMP4", four));
    t.push_back(bus("BUS-PWM-II", "TFrmBUSPWM", two2));
    for (auto& d : t)
        if (d.kind != TParamDialogKind::Fields) d.labelsInPicture = false;
    return t;
}

} // namespace

const TParamControl* TParamDialogSpec::Control(std::string_view name) const {
    for (const auto& c : controls)
        if (c.name == name) return &c;
    return nullptr;
}

const std::vector<TParamDialogSpec>& ParamDialogFamily() {
    static const std::vector<TParamDialogSpec> family = build();
    return family;
}

const TParamDialogSpec* FindParamDialog(std::string_view typeName) {
    for (const auto& d : ParamDialogFamily())
        if (d.typeName == typeName) return &d;
    return nullptr;
}

bool IsNumberParam(std::string_view typeName, std::string_view variable) {
    const TParamDialogSpec* d = FindParamDialog(typeName);
    if (!d) return false;
    // The lists of IN, OUT and LCD store their selection as a number as well.
    for (const auto& c : d->controls)
        if (c.variable == variable && (c.kind == TParamControlKind::NumberEdit || c.kind == TParamControlKind::RadioGroup ||
                                       (c.kind == TParamControlKind::ComboBox)))
            return true;
    return false;
}

} // namespace v7300

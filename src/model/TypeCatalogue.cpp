#include "model/TypeCatalogue.h"

namespace v7300 {
namespace {

using K = VarKind;

std::vector<TCatalogueVar> busVars(int channels) {
    static const char* names[] = {"NAME1", "NAME2", "NAME3", "NAME4", "NAME5", "NAME6", "NAME7", "NAME8"};
    static const char* devs[] = {"DEV1", "DEV2", "DEV3", "DEV4", "DEV5", "DEV6", "DEV7", "DEV8"};
    std::vector<TCatalogueVar> v = {{"NAME", K::Text}, {"BUSID", K::Number}, {"ROOM", K::Text}};
    for (int k = 0; k < channels; ++k) {
        v.push_back({names[k], K::Text});
        v.push_back({devs[k], K::Text});
    }
    return v;
}

std::vector<const char*> numbered(const char* const* names, int n) { return {names, names + n}; }

const char* const kInNames[] = {"IN1", "IN2", "IN3", "IN4", "IN5", "IN6", "IN7", "IN8"};
const char* const kANames[] = {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"};
const char* const kTNames[] = {"T1", "T2", "T3", "T4"};
const char* const kValueNames[] = {"VALUE1", "VALUE2", "VALUE3", "VALUE4", "VALUE5", "VALUE6", "VALUE7", "VALUE8"};

std::vector<TCatalogueEntry> build() {
    std::vector<TCatalogueEntry> t;
    const std::vector<const char*> e4 = {"E1", "E2", "E3", "E4"};
    t.push_back({"AND", "TFrmAND", {}, 0, 4, 1, e4, {"A"}, {}});
    t.push_back({"NAND", "TFrmNAND", {}, 0, 4, 1, e4, {"A"}, {}});
    t.push_back({"OR", "TFrmOR", {}, 0, 4, 1, e4, {"A"}, {}});
    t.push_back({"NOR", "TFrmNOR", {}, 0, 4, 1, e4, {"A"}, {}});
    t.push_back({"XOR", "TFrmXOR", {}, 0, 2, 1, {"E1", "E2"}, {"A"}, {}});
    t.push_back({"INV", "TFrmINV", {}, 0, 1, 1, {"E"}, {"A"}, {}});
    t.push_back({"BI", "TFrmBI", {}, 0, 1, 1, {"E"}, {"A"}, {}});
    t.push_back({"TAKT", "TFrmTAKT", {}, 0, 0, 1, {}, {"A"}, {}});
    t.push_back({"FF", "TFrmFF", {}, 2, 2, 1, {"S", "R"}, {"A"}, {}});
    t.push_back({"RELAY", "TFrmRELAY", {}, 0, 3, 1, {"A1", "A2", "SEL"}, {"A"}, {}});
    t.push_back({"NUM", "TFrmNUM", {{"VALUE", K::Number}}, 0, 0, 1, {}, {"A"}, {}});
    t.push_back({"TIMER", "TFrmTIMER", {{"SEKUNDEN", K::Number}}, 2, 2, 1, {"S", "R"}, {"A"},
                 {"COUNTER", "SEKUNDEN"}});
    t.push_back({"COUNT", "TFrmCOUNT", {{"COUNT", K::Number}}, 2, 2, 1, {"S", "R"}, {"A"}, {"ZAEHLER", "COUNTER"}});
    t.push_back({"ROLLO", "TFrmROLLO", {{"TIME", K::Number}}, 5, 5, 2, {"E1", "E2", "E3", "E4", "E5"},
                 {"Auf", "Ab"}, {"DIRECTION", "COUNTER"}});
    t.push_back({"CALC", "TFrmCALC", {{"TYPE", K::Cal}}, 2, 2, 1, {"E1", "E2"}, {"A"}, {}});
    t.push_back({"VALUE", "TFrmVALUE", {{"MAX", K::Number}, {"MIN", K::Number}, {"INC", K::Number}}, 3, 3, 1,
                 {"+", "-", "A/SET"}, {"A"}, {"VALUE", "MAX", "MIN"}});
    t.push_back({"ASWITCH", "TFrmASWITCH",
                 {{"WERT1", K::Number}, {"WERT2", K::Number}, {"WERT3", K::Number}, {"WERT4", K::Number}}, 4, 4, 1,
                 {"I1", "I2", "I3", "I4"}, {"A"}, {"WERT"}});
    t.push_back({"SCHWELLE", "TFrmSCHWELLE", {{"SCHWELLEUP", K::Number}, {"SCHWELLEDOWN", K::Number}}, 0, 1, 1,
                 {"E"}, {"A"}, {"VALUE", "SCHWELLEUP", "SCHWELLEDOWN"}});
    {
        std::vector<TCatalogueVar> vals;
        static const char* names[] = {"VAL00", "VAL01", "VAL02", "VAL03", "VAL04", "VAL05", "VAL06", "VAL07",
                                      "VAL08", "VAL09", "VAL10", "VAL11", "VAL12", "VAL13", "VAL14", "VAL15"};
        for (const char* n : names) vals.push_back({n, K::Flag});
        t.push_back({"BOOL", "TFrmBOOL", vals, 4, 4, 1, {"A", "B", "C", "D"}, {"a"}, {}});
    }
    t.push_back({"WEEKTIMER", "TFrmWEEKTIMER",
                 {{"MO", K::Flag}, {"DI", K::Flag}, {"MI", K::Flag}, {"DO", K::Flag}, {"FR", K::Flag},
                  {"SA", K::Flag}, {"SO", K::Flag}, {"TIME1", K::Time}, {"TIME2", K::Time}},
                 0, 0, 1, {}, {"A"}, {}});
    {
        TCatalogueEntry in{"IN", "TFrmIN", {{"BESCHRIFTUNG", K::Text}, {"TYPE", K::InType}, {"HID", K::Number}},
                           0, 0, 1, {}, {"A"}, {}};
        in.drawing = SpecialDrawing::In;
        t.push_back(in);
    }
    {
        TCatalogueEntry out{"OUT", "TFrmOUT",
                            {{"BESCHRIFTUNG", K::Text}, {"TYPE", K::Number}, {"TXT1", K::Text}, {"TXT2", K::Text},
                             {"COL1", K::Colour}, {"COL2", K::Colour}, {"ID", K::Number}},
                            0, 1, 0, {"E"}, {}, {}};
        out.drawing = SpecialDrawing::Out;
        t.push_back(out);
    }
    t.push_back({"LCD", "TFrmLCD",
                 {{"VAL1", K::Text}, {"VAL2", K::Text}, {"POS", K::Number}, {"TYPE", K::Number}}, 0, 2, 0,
                 {"IN", "VAR"}, {}, {}});
    {
        TCatalogueEntry txt{"TXT", "TFrmTXT", {{"TEXT", K::Text}}, 0, 0, 0, {}, {}, {}};
        txt.drawing = SpecialDrawing::Txt;
        txt.compiled = false;
        t.push_back(txt);
    }
    t.push_back({"BUS-IN-II", "TFrmBUSIN2", busVars(2), 0, 0, 2, {}, numbered(kInNames, 2), {}});
    t.push_back({"BUS-IN-VIII", "TFrmBUSIN8", busVars(8), 0, 0, 8, {}, numbered(kInNames, 8), {}});
    t.push_back({"BUS-OUT-II", "TFrmBUSOUT2", busVars(2), 2, 2, 0, numbered(kANames, 2), {}, {}});
    t.push_back({"BUS-OUT-IV", "TFrmBUSOUT4", busVars(4), 4, 4, 0, numbered(kANames, 4), {}, {}});
    t.push_back({"BUS-OUT-VIII", "TFrmBUSOUT8", busVars(8), 8, 8, 0, numbered(kANames, 8), {}, {}});
    t.push_back({"BUS-TEMP-II", "TFrmBUSTEMP2", busVars(2), 0, 0, 2, {}, numbered(kTNames, 2),
                 numbered(kValueNames, 2)});
    t.push_back({"BUS-TEMP-IV", "TFrmBUSTEMP4", busVars(4), 0, 0, 4, {}, numbered(kTNames, 4),
                 numbered(kValueNames, 4)});
    t.push_back({"BUS-PWM-II", "TFrmBUSPWM", busVars(2), 2, 2, 0, {"LED1", "LED2"}, {}, {}});
    return t;
}

} // namespace

const std::vector<TCatalogueEntry>& TypeCatalogue() {
    static const std::vector<TCatalogueEntry> table = build();
    return table;
}

const TCatalogueEntry* FindCatalogueEntry(std::string_view typeName) {
    for (const auto& e : TypeCatalogue())
        if (typeName == e.typeName) return &e;
    return nullptr;
}

std::string CatalogueTypeOfInstance(std::string_view instanceName) {
    std::string best;
    for (const auto& e : TypeCatalogue()) {
        const std::string_view t = e.typeName;
        if (instanceName.substr(0, t.size()) == t && t.size() > best.size()) best = t;
    }
    return best;
}

} // namespace v7300

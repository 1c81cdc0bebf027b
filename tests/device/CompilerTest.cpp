#include "DeviceImageFixture.h"

#include "core/Error.h"
#include "device/LogicCompiler.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using test::bytes;
using test::DiagramBuilder;
using test::Var;

std::vector<std::uint8_t> compile(const TLogic& logic) {
    TV7300_EEPROM_Data image;
    CreateNETIOData(logic, image);
    return image.Bytes();
}

std::string compileError(const TLogic& logic) {
    TV7300_EEPROM_Data image;
    try {
        CreateNETIOData(logic, image);
    } catch (const Error& e) {
        return e.what();
    }
    return "<kein Fehler>";
}

std::vector<std::uint8_t> slice(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t n) {
    if (from + n > v.size()) return {};
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(from + n)};
}

std::string missingInput(const std::string& name) {
    return name + " muss an jedem Eingang (rote Punkte) eine Verbindung zu einem Baustein haben.\r\n"
                  "Wenn der Eingang nicht benutzt werden soll, dann kann ein NUM-Baustein mit dem Wert 0 benutzt "
                  "werden.";
}

TEST(Compiler, EmptyDiagramIsConfigBlockTerminatorPageNamesAndEndMark) {
    DiagramBuilder d;
    std::vector<std::uint8_t> expected(49, 0xFF);
    expected.push_back(0xFF);
    expected.insert(expected.end(), 48, 0x00);
    expected.push_back(0xFF);
    expected.push_back(0xFF);
    EXPECT_EQ(compile(d.logic), expected);
    EXPECT_EQ(static_cast<int>(expected.size()), kEmptyImageSize);
}

TEST(Compiler, RecordsSkipTxtAndReferenceWiredInputsInOrder) {
    DiagramBuilder d;
    d.add("TXT", "TXT1", 0, 0, {{"TEXT", "Kommentar", "STR"}});
    d.add("AND", "AND1", 4, 1);
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "1"}});
    d.add("INV", "INV1", 1, 1);
    d.wire("INV1", 0, "AND1", 2);
    d.wire("NUM1", 0, "AND1", 0);
    d.wire("GONE", 3, "INV1", 0); // the source names no component

    const auto image = compile(d.logic);
    const auto records = bytes({
        1, 2, 2, 2, 0, 3, 0, 0,   // AND1: object 1, two references in input order, no parameters
        2, 1, 0, 2, 0x00, 0x01,   // NUM1: VALUE 1
        3, 11, 1, 0, 3, 0,        // INV1: fed by object 0, output 3
        0xFF,
    });
    EXPECT_EQ(slice(image, 49, records.size()), records);
    EXPECT_EQ(image.size(), 100u + records.size() - 1);
}

TEST(Compiler, OnlyTheFirstWireOfAnInputIsReferenced) {
    DiagramBuilder d;
    d.add("INV", "INV1", 1, 1);
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "0"}});
    d.add("NUM", "NUM2", 0, 1, {{"VALUE", "0"}});
    d.wire("NUM2", 0, "INV1", 0);
    d.wire("NUM1", 0, "INV1", 0);
    EXPECT_EQ(slice(compile(d.logic), 49, 6), bytes({1, 11, 1, 3, 0, 0}));
}

struct ParamCase {
    const char* label;
    const char* type;
    int inputs;
    std::vector<Var> vars;
    std::vector<std::uint8_t> expected; // length byte and parameter bytes
};

void PrintTo(const ParamCase& p, std::ostream* os) { *os << p.label; }

class ParameterEncoding : public ::testing::TestWithParam<ParamCase> {};

// The component under test is object 1; all its inputs are fed by NUM0 behind it.
TEST_P(ParameterEncoding, WritesLengthAndBytes) {
    const ParamCase& p = GetParam();
    DiagramBuilder d;
    d.add(p.type, std::string(p.type) + "1", p.inputs, 1, p.vars);
    d.add("NUM", "NUM0", 0, 1, {{"VALUE", "0"}});
    for (int i = 0; i < p.inputs; ++i) d.wire("NUM0", 0, std::string(p.type) + "1", i);
    const auto image = compile(d.logic);
    const std::size_t at = 49 + 3 + 2 * static_cast<std::size_t>(p.inputs);
    EXPECT_EQ(slice(image, at, p.expected.size()), p.expected) << p.label;
    EXPECT_EQ(image.at(at + p.expected.size()), 2) << p.label << ": next record must follow";
}

std::vector<Var> boolVars(std::initializer_list<std::pair<int, const char*>> set) {
    std::vector<Var> v;
    for (int j = 0; j < 16; ++j) {
        std::string value = "0";
        for (const auto& [bit, text] : set)
            if (bit == j) value = text;
        v.push_back({(j < 10 ? "VAL0" : "VAL1") + std::to_string(j % 10), value, "STR"});
    }
    return v;
}

std::vector<Var> weekVars(const char* mo, const char* so, const char* on, const char* off) {
    return {{"MO", mo}, {"DI", "0"}, {"MI", "0"}, {"DO", "0"}, {"FR", "0"}, {"SA", "0"}, {"SO", so},
            {"TIME1", on, "STR"}, {"TIME2", off, "STR"}};
}

std::vector<std::uint8_t> lcdBytes(const std::string& line1, const std::string& line2, int pos, int type) {
    std::vector<std::uint8_t> v{34};
    for (const std::string* l : {&line1, &line2})
        for (char c : *l) v.push_back(static_cast<std::uint8_t>(c));
    v.push_back(static_cast<std::uint8_t>(pos));
    v.push_back(static_cast<std::uint8_t>(type));
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Compiler, ParameterEncoding,
    ::testing::Values(
        ParamCase{"NUM negative", "NUM", 0, {{"VALUE", "-2"}}, bytes({2, 0xFF, 0xFE})},
        ParamCase{"NUM -1", "NUM", 0, {{"VALUE", "-1"}}, bytes({2, 0xFF, 0xFF})},
        ParamCase{"NUM 300", "NUM", 0, {{"VALUE", "300"}}, bytes({2, 0x01, 0x2C})},
        ParamCase{"NUM keeps low 16 bits", "NUM", 0, {{"VALUE", "70000"}}, bytes({2, 0x11, 0x70})},
        ParamCase{"NUM trailing blank of an INT default", "NUM", 0, {{"VALUE", "7 "}}, bytes({2, 0, 7})},
        ParamCase{"TIMER 300", "TIMER", 2, {{"SEKUNDEN", "300"}}, bytes({2, 0x01, 0x2C})},
        ParamCase{"TIMER negative truncates", "TIMER", 2, {{"SEKUNDEN", "-1"}}, bytes({2, 0x00, 0xFF})},
        ParamCase{"TIMER -300", "TIMER", 2, {{"SEKUNDEN", "-300"}}, bytes({2, 0xFF, 0xD4})},
        ParamCase{"COUNT", "COUNT", 2, {{"COUNT", "513"}}, bytes({2, 0x02, 0x01})},
        ParamCase{"OUT", "OUT", 1, {{"ID", "5"}}, bytes({1, 5})},
        ParamCase{"OUT lenient", "OUT", 1, {{"ID", "x", "STR"}}, bytes({1, 0})},
        ParamCase{"WEEKTIMER Mo+So", "WEEKTIMER", 0, weekVars("1", "1", "063000", "221505"),
                  bytes({7, 65, 6, 30, 0, 22, 15, 5})},
        ParamCase{"WEEKTIMER none", "WEEKTIMER", 0, weekVars("0", "0", "000000", "235959"),
                  bytes({7, 0, 0, 0, 0, 23, 59, 59})},
        ParamCase{"BOOL bits 0 and 15", "BOOL", 4, boolVars({{0, "1"}, {15, "1"}}), bytes({2, 0x80, 0x01})},
        ParamCase{"BOOL only exact 1", "BOOL", 4, boolVars({{1, "1 "}, {2, "True"}, {3, "1"}}),
                  bytes({2, 0x00, 0x08})},
        ParamCase{"IN TYPE 3", "IN", 0, {{"HID", "2"}, {"TYPE", "3", "INTYPE"}}, bytes({2, 2, 2})},
        ParamCase{"IN TYPE 4", "IN", 0, {{"HID", "8"}, {"TYPE", "4", "INTYPE"}}, bytes({2, 8, 1})},
        ParamCase{"IN TYPE 2", "IN", 0, {{"HID", "1"}, {"TYPE", "2", "INTYPE"}}, bytes({2, 1, 2})},
        ParamCase{"IN Taster", "IN", 0, {{"HID", "0"}, {"TYPE", "10", "INTYPE"}}, bytes({2, 0, 10})},
        ParamCase{"SCHWELLE", "SCHWELLE", 1, {{"SCHWELLEUP", "500"}, {"SCHWELLEDOWN", "-3"}},
                  bytes({4, 0x01, 0xF4, 0xFF, 0xFD})},
        ParamCase{"LCD padded", "LCD", 2,
                  {{"VAL1", "Hallo", "STR"}, {"VAL2", "", "STR"}, {"POS", "17"}, {"TYPE", "3"}},
                  lcdBytes("Hallo           ", "                ", 17, 3)},
        ParamCase{"LCD cut, lenient POS and TYPE", "LCD", 2,
                  {{"VAL1", "12345678901234567890", "STR"}, {"VAL2", "abcdefghijklmnop", "STR"},
                   {"POS", "x", "STR"}, {"TYPE", "", "STR"}},
                  lcdBytes("1234567890123456", "abcdefghijklmnop", 0, 0)},
        ParamCase{"LCD umlaut is one byte", "LCD", 2,
                  {{"VAL1", "Tür", "STR"}, {"VAL2", "", "STR"}, {"POS", "0"}, {"TYPE", "1"}},
                  lcdBytes("T\xFCr             ", "                ", 0, 1)},
        ParamCase{"BUS-OUT-II", "BUS-OUT-II", 2, {{"BUSID", "12"}}, bytes({1, 12})},
        ParamCase{"BUS-TEMP-IV", "BUS-TEMP-IV", 0, {{"BUSID", "260"}}, bytes({1, 4})},
        ParamCase{"CALC", "CALC", 2, {{"TYPE", "3", "CAL"}}, bytes({1, 3})},
        ParamCase{"ROLLO", "ROLLO", 5, {{"TIME", "90"}}, bytes({1, 90})},
        ParamCase{"VALUE", "VALUE", 3, {{"MAX", "1000"}, {"MIN", "-10"}, {"INC", "5"}},
                  bytes({8, 0x03, 0xE8, 0xFF, 0xF6, 0x00, 0x05, 0x00, 0x00})},
        ParamCase{"ASWITCH", "ASWITCH", 4, {{"WERT1", "1"}, {"WERT2", "-1"}, {"WERT3", "256"}, {"WERT4", "0"}},
                  bytes({8, 0, 1, 0xFF, 0xFF, 1, 0, 0, 0})},
        ParamCase{"RELAY", "RELAY", 3, {}, bytes({0})},
        ParamCase{"FF", "FF", 2, {}, bytes({0})},
        ParamCase{"TAKT", "TAKT", 0, {}, bytes({0})}));

TEST(Compiler, TypeCodes) {
    const std::pair<const char*, int> codes[] = {
        {"NUM", 1},          {"AND", 2},         {"NAND", 3},        {"OR", 4},          {"NOR", 5},
        {"XOR", 6},          {"BI", 7},          {"TIMER", 8},       {"COUNT", 9},       {"TAKT", 10},
        {"INV", 11},         {"FF", 12},         {"OUT", 13},        {"WEEKTIMER", 14},  {"BOOL", 15},
        {"IN", 16},          {"SCHWELLE", 17},   {"LCD", 18},        {"BUS-OUT-II", 33}, {"BUS-OUT-IV", 33},
        {"BUS-OUT-VIII", 33}, {"BUS-IN-II", 34}, {"BUS-IN-VIII", 34}, {"BUS-TEMP-II", 35}, {"BUS-TEMP-IV", 35},
        {"BUS-PWM-II", 36},  {"CALC", 49},       {"ROLLO", 50},      {"VALUE", 51},      {"RELAY", 52},
        {"ASWITCH", 53},     {"TXT", 0},         {"and", 0},         {"X", 0},
    };
    for (const auto& [type, code] : codes) EXPECT_EQ(DeviceTypeCode(type), code) << type;
}

TEST(Compiler, RequiredConnections) {
    const std::pair<const char*, int> required[] = {
        {"TIMER", 2}, {"FF", 2}, {"COUNT", 2}, {"ROLLO", 5}, {"CALC", 2}, {"VALUE", 3}, {"BOOL", 4},
        {"ASWITCH", 4}, {"BUS-PWM-II", 2}, {"BUS-OUT-II", 2}, {"BUS-OUT-IV", 4}, {"BUS-OUT-VIII", 8},
    };
    for (const auto& [type, n] : required) {
        // One input short: refused with the instance name, before any variable is read.
        DiagramBuilder d;
        const std::string name = std::string(type) + "7";
        d.add(type, name, n, 1);
        d.add("NUM", "NUM1", 0, 1, {{"VALUE", "0"}});
        for (int i = 1; i < n; ++i) d.wire("NUM1", 0, name, i);
        EXPECT_EQ(compileError(d.logic), missingInput(name)) << type;
    }
    // Types without required connections compile with open inputs.
    for (const char* type : {"AND", "NAND", "OR", "NOR", "XOR", "INV", "BI", "RELAY"}) {
        DiagramBuilder d;
        d.add(type, std::string(type) + "1", 4, 1);
        EXPECT_NO_THROW(compile(d.logic)) << type;
    }
}

TEST(Compiler, FailureMessages) {
    {
        DiagramBuilder d; // unsupported even when nothing is connected
        d.add("AND", "AND1", 4, 1);
        d.add("LAMPE", "LAMPE1", 0, 0);
        EXPECT_EQ(compileError(d.logic),
                  "Das Objekt LAMPE wird noch nicht von der Aktuellen V7300-NET-IO Version unterstüzt!");
    }
    {
        DiagramBuilder d; // an input above 8 is counted but never referenced
        d.add("AND", "AND1", 11, 1);
        d.add("NUM", "NUM1", 0, 1, {{"VALUE", "0"}});
        d.wire("NUM1", 0, "AND1", 9);
        EXPECT_EQ(compileError(d.logic), "Das Projekt ist Fehlerhaft!");
    }
    {
        DiagramBuilder d;
        d.add("AND", "AND1", 4, 1);
        d.add("OR", "AND1", 4, 1);
        EXPECT_EQ(compileError(d.logic), "Objekt-ID doppelt vergeben!");
    }
    {
        DiagramBuilder d; // a TXT sharing the name of a wire's source
        d.add("TXT", "X1", 0, 0);
        d.add("AND", "AND1", 4, 1);
        d.add("NUM", "X1", 0, 1, {{"VALUE", "0"}});
        d.wire("X1", 0, "AND1", 0);
        EXPECT_EQ(compileError(d.logic), "Objekt-ID doppelt vergeben!");
    }
    {
        DiagramBuilder d; // a display entry naming a duplicated component
        d.add("NUM", "N", 0, 1, {{"VALUE", "0"}});
        d.add("TXT", "N", 0, 0);
        d.entry(0, 0, "N", 0, "x");
        EXPECT_EQ(compileError(d.logic), "Objekt-ID doppelt vergeben!");
    }
    const std::pair<std::vector<Var>, const char*> strict[] = {
        {{{"VALUE", "abc", "STR"}}, "'abc' ist kein gültiger Integerwert"},
        {{{"VALUE", "5 ", "STR"}}, "'5 ' ist kein gültiger Integerwert"},
        {{}, "'' ist kein gültiger Integerwert"},
    };
    for (const auto& [vars, message] : strict) {
        DiagramBuilder d;
        d.add("NUM", "NUM1", 0, 1, vars);
        EXPECT_EQ(compileError(d.logic), message);
    }
    {
        DiagramBuilder d; // a time text too short for its seconds
        d.add("WEEKTIMER", "WEEKTIMER1", 0, 1, weekVars("1", "0", "0630", "070000"));
        EXPECT_EQ(compileError(d.logic), "'' ist kein gültiger Integerwert");
    }
}

TEST(Compiler, FirstFailingComponentDecides) {
    DiagramBuilder d;
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "zwei", "STR"}});
    d.add("TIMER", "TIMER1", 2, 1, {{"SEKUNDEN", "1"}});
    d.add("LAMPE", "LAMPE1", 0, 0);
    EXPECT_EQ(compileError(d.logic), "'zwei' ist kein gültiger Integerwert");
    d.logic.Components.Delete(0);
    EXPECT_EQ(compileError(d.logic), missingInput("TIMER1"));
}

TEST(Compiler, PageNamesAndEntryTexts) {
    DiagramBuilder d;
    d.add("TXT", "TXT1", 0, 0);
    d.add("AND", "AND1", 4, 1);
    d.logic.ShownTexts[0].name = "Wohnzimmer";
    d.logic.ShownTexts[5].name = "Bad";
    d.entry(1, 3, "AND1", 0, "Ein");
    d.entry(5, 7, "AND1", 0, "Küchenfenster");
    const auto image = compile(d.logic);
    const std::size_t pages = 49 + 4 + 1;
    EXPECT_EQ(slice(image, pages, 8), bytes({'W', 'o', 'h', 'n', 'z', 'i', 'm', 'm'}));
    EXPECT_EQ(slice(image, pages + 40, 8), bytes({'B', 'a', 'd', 0, 0, 0, 0, 0}));
    EXPECT_EQ(slice(image, pages + 48, 24), bytes({1, 0, 'O', 0x13, 'E', 'i', 'n', 0, 0, 0, 0, 0,  //
                                                   1, 0, 'O', 0x57, 'K', 0xFC, 'c', 'h', 'e', 'n', 'f', 'e'}));
    EXPECT_EQ(slice(image, pages + 72, 2), bytes({0xFF, 0xFF}));
    EXPECT_EQ(image.size(), pages + 74);
}

TEST(Compiler, EntryOfARemovedComponentKeepsItsFullRecord) {
    DiagramBuilder d;
    d.add("AND", "AND1", 4, 1);
    d.entry(0, 0, "AND9", 2, "Alt");
    d.entry(0, 1, "AND1", 0, "Neu");
    const auto image = compile(d.logic);
    EXPECT_EQ(slice(image, 49 + 4 + 1 + 48, 24), bytes({0, 2, 'O', 0, 'A', 'l', 't', 0, 0, 0, 0, 0,  //
                                                        1, 0, 'O', 1, 'N', 'e', 'u', 0, 0, 0, 0, 0}));
}

struct KindCase {
    const char* type;
    std::vector<Var> vars;
    int output;
    int valueIndex;
    char kind;
};

TEST(Compiler, EntryKindLetters) {
    const KindCase cases[] = {
        {"BUS-TEMP-II", {{"BUSID", "1"}}, 1, 1, 'A'},
        {"BUS-TEMP-IV", {{"BUSID", "1"}}, 3, 3, 'A'},
        {"NUM", {{"VALUE", "1"}}, 0, 0, 'A'},
        {"RELAY", {}, 0, 0, 'A'},
        {"IN", {{"HID", "0"}, {"TYPE", "10", "INTYPE"}}, 0, 1, 'T'},
        {"IN", {{"HID", "0"}, {"TYPE", "0", "INTYPE"}}, 0, 1, 'I'},
        {"IN", {{"HID", "3"}, {"TYPE", "0", "INTYPE"}}, 0, 0, 'O'},
        {"IN", {{"HID", "3"}, {"TYPE", "1", "INTYPE"}}, 0, 0, 'A'},
        {"IN", {{"HID", "3"}, {"TYPE", "4", "INTYPE"}}, 0, 0, 'A'},
        {"AND", {}, 0, 0, 'O'},
        {"BUS-IN-VIII", {{"BUSID", "1"}}, 5, 5, 'O'},
    };
    for (const auto& c : cases) {
        DiagramBuilder d;
        d.add(c.type, "SHOWN", 0, 8, c.vars);
        d.entry(2, 1, "SHOWN", c.output, "t");
        const auto image = compile(d.logic);
        const std::size_t at = image.size() - 2 - 12;
        EXPECT_EQ(slice(image, at, 4), bytes({1, c.valueIndex, c.kind, 0x21})) << c.type << " " << c.kind;
    }
}

TEST(Compiler, ImageContainerRefusesPositionsOutsideTheImage) {
    TV7300_EEPROM_Data image;
    image.AppendByte(7);
    image.WriteByteAt(0, 9);
    EXPECT_EQ(image.ReadByteAt(0), 9);
    EXPECT_THROW(image.ReadByteAt(1), Error);
    EXPECT_THROW(image.ReadByteAt(-1), Error);
    EXPECT_THROW(image.WriteByteAt(1, 0), Error);
    EXPECT_EQ(image.GetSize(), 1);
}

TEST(Compiler, OpenInputsOfRelayAndLcdBeforeAWiredOneGiveAHint) {
    DiagramBuilder d;
    d.add("NUM", "NUM1", 0, 1, {{"VALUE", "1"}});
    d.add("RELAY", "RELAY1", 3); // A1 open, A2 and SEL wired: the device moves them down
    d.wire("NUM1", 0, "RELAY1", 1);
    d.wire("NUM1", 0, "RELAY1", 2);
    d.add("RELAY", "RELAY2", 3); // only the last input open: nothing moves
    d.wire("NUM1", 0, "RELAY2", 0);
    d.wire("NUM1", 0, "RELAY2", 1);
    d.add("RELAY", "RELAY3", 3); // A1 and A2 open, SEL wired
    d.wire("NUM1", 0, "RELAY3", 2);
    d.add("LCD", "LCD1", 2, 0, {{"VAL1", "a", "STR"}, {"VAL2", "b", "STR"}, {"POS", "0"}, {"TYPE", "1"}});
    d.wire("NUM1", 0, "LCD1", 1);
    d.add("AND", "AND1", 4); // inputs of the same meaning: no hint
    d.wire("NUM1", 0, "AND1", 3);
    EXPECT_EQ(compileError(d.logic), "<kein Fehler>");
    const std::string tail = " ist offen, auf dem V7300-NET-IO rücken die folgenden Eingänge nach.";
    EXPECT_EQ(OpenInputHints(d.logic),
              (std::vector<std::string>{"RELAY1: Eingang A1" + tail, "RELAY3: Eingang A1" + tail,
                                        "RELAY3: Eingang A2" + tail, "LCD1: Eingang IN" + tail}));
}

} // namespace
} // namespace v7300

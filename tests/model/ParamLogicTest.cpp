// The parameter dialogs' rules without windows, on components of the shipped library.
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "model/Logic.h"
#include "model/ParamFields.h"
#include "model/ParamSpecial.h"
#include "model/TypeCatalogue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace v7300;

namespace {

class ParamLogicTest : public ::testing::Test {
protected:
    void SetUp() override { logic.NewProject(); }
    int place(const std::string& type) { return logic.Add_objekt(type, "", 0, 0); }
    TLogicComponentDefineList& vars(int index) { return logic.Components.Items(index).Variables; }
    std::string value(int index, const char* name) { return vars(index).FindByName(name)->RawValue(); }
    void set(int index, const char* name, const std::string& v) { ASSERT_TRUE(vars(index).FindByName(name)->SetValue(v)); }

    test::RecordingMessagePort port;
    TLogic logic{std::string(V7300_SOURCE_DIR) + "/objekts", port};
};

} // namespace

// Every variable a dialog edits exists in the shipped definition of its type.
TEST_F(ParamLogicTest, EveryDialogVariableExistsInTheShippedLibrary) {
    int checked = 0;
    for (const auto& dialog : ParamDialogFamily()) {
        const int i = place(dialog.typeName);
        ASSERT_GE(i, 0) << dialog.typeName;
        for (const auto& c : dialog.controls) {
            if (c.variable.empty()) continue;
            EXPECT_NE(vars(i).FindByName(c.variable), nullptr) << dialog.typeName << "." << c.variable;
            ++checked;
        }
    }
    EXPECT_EQ(ParamDialogFamily().size(), TypeCatalogue().size());
    EXPECT_GT(checked, 100);
}

TEST_F(ParamLogicTest, OutOffersTheNumbersNoOtherOutUses) {
    const int a = place("OUT"), b = place("OUT"), c = place("OUT"), own = place("OUT");
    set(a, "ID", "1");
    set(b, "ID", "2");
    set(c, "ID", "5");
    set(own, "ID", "4");
    TOutParams p = ReadOutParams(logic.Components, own);
    EXPECT_EQ(p.FreeIds, (std::vector<int>{3, 4, 6, 7, 8}));
    EXPECT_EQ(p.Id, 4);
    set(own, "ID", "5"); // a duplicate from a file: not offered, nothing selected
    EXPECT_EQ(ReadOutParams(logic.Components, own).Id, std::nullopt);
}

TEST_F(ParamLogicTest, OutWithAnUnreadableColourFallsBackToCircleWhiteAndRed) {
    const int i = place("OUT");
    vars(i).Add(TLogicComponentDefine::Create("COL1", "abc", "STR")); // found instead of the INT one
    const TOutParams p = ReadOutParams(logic.Components, i);
    EXPECT_EQ(p.Symbol, 1);
    EXPECT_EQ(p.Text1, "");
    EXPECT_EQ(p.Text2, "");
    EXPECT_EQ(p.Colour1, 0xFFFFFF);
    EXPECT_EQ(p.Colour2, 255);
    EXPECT_EQ(p.Beschriftung, "Ausgang ");
}

TEST_F(ParamLogicTest, OutWithoutSelectedNumberWarnsAndKeepsTheId) {
    const int i = place("OUT");
    set(i, "ID", "3");
    TOutParams p = ReadOutParams(logic.Components, i);
    p.Id.reset();
    p.Symbol = 6;
    p.Colour2 = 0x00FF00;
    WriteOutParams(logic.Components, i, p, port);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Hinweis");
    EXPECT_EQ(port.messages[0].text, "Es soltle eine Output-ID angegeben werden!");
    EXPECT_EQ(port.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(value(i, "ID"), "3");
    EXPECT_EQ(value(i, "TYPE"), "6");
    EXPECT_EQ(value(i, "COL2"), "65280");
}

TEST_F(ParamLogicTest, InTypeSplitsIntoSoftwareAndHardwareKind) {
    const int i = place("IN");
    set(i, "TYPE", "13");
    set(i, "HID", "2");
    TInParams p = ReadInParams(vars(i));
    EXPECT_EQ(p.SoftwareType, 1);
    EXPECT_EQ(p.HardwareType, 3);
    TInGroups groups;
    const auto tick = groups.Tick(p); // a hardware input: the software group is reset
    EXPECT_FALSE(tick.SoftwareEnabled);
    EXPECT_EQ(p.SoftwareType, 0);
    EXPECT_EQ(p.HardwareType, 3);
    EXPECT_EQ(tick.Picture, 3);
    EXPECT_TRUE(tick.Reload);
    WriteInParams(vars(i), p, port);
    EXPECT_EQ(value(i, "TYPE"), "3");
}

TEST_F(ParamLogicTest, InPictureIsLoadedOnlyWhenItsNumberChanges) {
    TInParams p{"", 1, 0, 0};
    TInGroups groups;
    EXPECT_EQ(groups.Tick(p).Picture, 0);
    EXPECT_FALSE(groups.Tick(p).Reload);
    p.Hid = 0; // "IN 1" -> "SOFTWARE": Schalter, picture Option10
    const auto tick = groups.Tick(p);
    EXPECT_TRUE(tick.SoftwareEnabled);
    EXPECT_EQ(tick.Picture, 10);
    EXPECT_TRUE(tick.Reload);
    EXPECT_EQ(InOptionPicture("/lib/objekts", 10), "/lib/objekts/IN/Option10.bmp");
}

TEST_F(ParamLogicTest, LcdPositionSplitsIntoRowAndColumn) {
    const int i = place("LCD");
    set(i, "POS", "21");
    const TLcdParams p = ReadLcdParams(vars(i));
    EXPECT_EQ(p.Row, 1);
    EXPECT_EQ(p.Column, 5);
}

TEST(LcdPreviewTest, FieldsBannerAndErrorLines) {
    struct Case {
        int type, row, column;
        std::string line1, line2;
    };
    const Case cases[] = {
        {1, 0, 0, "Hallo Welt      ", "Zeile zwei ist z"},
        {2, 0, 0, "######Welt      ", "Zeile zwei ist z"},
        {3, 1, 3, "Hallo Welt      ", "Zei###,#ei ist z"},
        {4, 0, 13, "Hallo Welt   ###", "Zeile zwei ist z"},
        {5, 1, 5, "Hallo Welt      ", "Zeile###########"},
        {5, 1, 6, "ERROR ERROR ERRO", "R ERROR ERROR ER"},
        {6, 0, 12, "Hallo Welt  ####", "Zeile zwei ist z"},
        {0, 1, 15, "  V7300-NET-IO  ", " _/|________/|_ "},
    };
    for (const Case& c : cases) {
        const auto [l1, l2] = LcdPreview({"Hallo Welt", "Zeile zwei ist zu lang", c.type, c.row, c.column});
        EXPECT_EQ(l1, c.line1) << c.type << " " << c.column;
        EXPECT_EQ(l2, c.line2) << c.type << " " << c.column;
    }
}

TEST_F(ParamLogicTest, LcdLinesAreStoredPaddedToSixteenCharacters) {
    const int i = place("LCD");
    TLcdParams p = ReadLcdParams(vars(i));
    p.Line1 = "Größe";
    p.Line2 = "12345678901234567890";
    p.Row = 0;
    p.Column = 7;
    p.Type = 3;
    WriteLcdParams(vars(i), p, port);
    EXPECT_EQ(value(i, "VAL1"), "Größe           ");
    EXPECT_EQ(value(i, "VAL2"), "1234567890123456");
    EXPECT_EQ(value(i, "POS"), "7");
    EXPECT_EQ(value(i, "TYPE"), "3");
}

TEST(WeekTimerTimeTest, ConvertsBothWays) {
    EXPECT_EQ(FormatStoredTime({7, 30, 0}), "073000");
    EXPECT_EQ(FormatStoredTime({22, 15, 5}), "221505");
    EXPECT_EQ(ParseStoredTime("221505"), (TTimeOfDay{22, 15, 5}));
    EXPECT_EQ(ParseTimeInput("07:30:00"), (TTimeOfDay{7, 30, 0}));
    EXPECT_EQ(ParseTimeInput("07:30"), (TTimeOfDay{7, 30, 0}));
    for (const char* bad : {"60000", "250000", "076000", "0730a0", "", "7:30:00"})
        EXPECT_THROW(ParseTimeInput(bad), ConversionError) << bad;
}

TEST_F(ParamLogicTest, WeekTimerWithAnUnreadableTimeDoesNotOpen) {
    const int i = place("WEEKTIMER");
    set(i, "TIME1", "60000");
    try {
        ReadFieldValues(*FindParamDialog("WEEKTIMER"), vars(i));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'60000' ist keine gültige Zeit");
    }
}

TEST_F(ParamLogicTest, WeekTimerStoresDaysAndTimes) {
    const int i = place("WEEKTIMER");
    const TParamDialogSpec& d = *FindParamDialog("WEEKTIMER");
    std::vector<std::string> v = ReadFieldValues(d, vars(i));
    ASSERT_EQ(v.size(), 9u);
    EXPECT_EQ(v[7], "060000");
    v = {"1", "0", "0", "0", "1", "0", "1", "073000", "221505"};
    WriteFieldValues(d, vars(i), v, port);
    EXPECT_EQ(value(i, "DI"), "0");
    EXPECT_EQ(value(i, "SO"), "1");
    EXPECT_EQ(value(i, "TIME1"), "073000");
    EXPECT_EQ(value(i, "TIME2"), "221505");
}

// An empty or "-" field stops the writing there; what was written before stays.
TEST_F(ParamLogicTest, NumericFieldThatIsNoNumberStopsAtThatField) {
    for (const char* bad : {"", "-"}) {
        const int i = place("VALUE");
        try {
            WriteFieldValues(*FindParamDialog("VALUE"), vars(i), {"50", bad, "7"}, port);
            FAIL() << bad;
        } catch (const TFieldError& e) {
            EXPECT_EQ(e.Control, "editMIN");
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' ist kein gültiger Integerwert");
        }
        EXPECT_EQ(value(i, "MAX"), "50");
        EXPECT_NE(value(i, "MIN"), bad);
        EXPECT_NE(trimBlanks(value(i, "INC")), "7");
    }
}

TEST_F(ParamLogicTest, NumberOutsideSixteenBitsIsStoredAfterTheWarning) {
    const int i = place("TIMER");
    WriteFieldValues(*FindParamDialog("TIMER"), vars(i), {"40000"}, port);
    EXPECT_EQ(value(i, "SEKUNDEN"), "40000");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "Der Wert \"40000\" ist außerhalb des möglichen Bereiches!\r\nBereich: -32.768 bis 32.767");
}

TEST_F(ParamLogicTest, TxtStoresKeinTextForAnEmptyText) {
    const int i = place("TXT");
    WriteFieldValues(*FindParamDialog("TXT"), vars(i), {""}, port);
    EXPECT_EQ(value(i, "TEXT"), "Kein Text");
}

TEST_F(ParamLogicTest, CalcDivisionStoresThree) {
    const int i = place("CALC");
    const TParamDialogSpec& d = *FindParamDialog("CALC");
    EXPECT_EQ(ReadFieldValues(d, vars(i)), std::vector<std::string>{"0"});
    WriteFieldValues(d, vars(i), {"3"}, port);
    EXPECT_EQ(value(i, "TYPE"), "3");
}

TEST_F(ParamLogicTest, BoolFlagsAreReadExactlyAndWrittenAsOneOrZero) {
    const int i = place("BOOL");
    set(i, "VAL03", "1");
    set(i, "VAL04", "2"); // only "1" counts as set
    const TParamDialogSpec& d = *FindParamDialog("BOOL");
    std::vector<std::string> v = ReadFieldValues(d, vars(i));
    EXPECT_EQ(v[3], "1");
    EXPECT_EQ(v[4], "0");
    v[15] = "1";
    WriteFieldValues(d, vars(i), v, port);
    EXPECT_EQ(value(i, "VAL15"), "1");
    EXPECT_EQ(value(i, "VAL04"), "0");
}

TEST_F(ParamLogicTest, SetParamValueFollowsTheDialogRules) {
    const int timer = place("TIMER"), lcd = place("LCD"), week = place("WEEKTIMER"), out1 = place("OUT"),
              out2 = place("OUT"), bus = place("BUS-OUT-II");
    SetParamValue(logic.Components, timer, "SEKUNDEN", "40000", port);
    EXPECT_EQ(value(timer, "SEKUNDEN"), "40000");
    EXPECT_EQ(port.messages.size(), 1u);
    SetParamValue(logic.Components, lcd, "VAL1", "Hi", port);
    EXPECT_EQ(value(lcd, "VAL1"), "Hi              ");
    SetParamValue(logic.Components, week, "TIME1", "07:30:00", port);
    EXPECT_EQ(value(week, "TIME1"), "073000");
    SetParamValue(logic.Components, bus, "NAME1", "Küche", port);
    EXPECT_EQ(value(bus, "NAME1"), "Küche");
    set(out1, "ID", "3");
    EXPECT_THROW(SetParamValue(logic.Components, out2, "ID", "3", port), Error);
    EXPECT_THROW(SetParamValue(logic.Components, timer, "SEKUNDEN", "abc", port), ConversionError);
    EXPECT_THROW(SetParamValue(logic.Components, timer, "MINUTEN", "1", port), Error);
    EXPECT_EQ(value(timer, "SEKUNDEN"), "40000");
}

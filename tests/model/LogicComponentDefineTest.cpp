#include "core/Error.h"
#include "core/NumberFormat.h"
#include "model/LogicComponentDefine.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace v7300;

namespace {

TLogicComponentDefine make(const std::string& keyword, const std::string& value = "0") {
    return TLogicComponentDefine::Create("V", value, keyword);
}

class DefineTest : public ::testing::Test {
protected:
    void SetUp() override { setDecimalSeparator(','); }
};

} // namespace

TEST_F(DefineTest, KeywordsAreCaseInsensitiveButExact) {
    struct Case {
        const char* keyword;
        bool known;
        const char* typeName;
    };
    const Case cases[] = {{"int", true, "INT"},      {"Int", true, "INT"},        {"STR", true, "STRING"},
                          {"bool", true, "BOOL"},    {"float", true, "FLOAT"},    {"variant", true, "VARIANT"},
                          {"LCD", true, "LCD"},      {"BOOLS", true, "BOOLS"},    {"EXEC", true, "EXEC"},
                          {"MAIL", true, "MAIL"},    {"INTYPE", true, "INTYPE"},  {"cal", true, "CAL"},
                          {"STRING", false, ""},     {" INT", false, ""},         {"", false, ""}};
    for (const auto& c : cases) {
        if (c.known) {
            EXPECT_EQ(make(c.keyword).GetTypeName(), c.typeName) << c.keyword;
        } else {
            try {
                make(c.keyword);
                ADD_FAILURE() << "accepted " << c.keyword;
            } catch (const Error& e) {
                EXPECT_EQ(std::string(e.what()), "Invalid DefineType : '" + std::string(c.keyword) + "'");
            }
        }
    }
    EXPECT_EQ(DefineTypeName(11), "ERROR");
    EXPECT_EQ(DefineTypeName(-1), "ERROR");
}

TEST_F(DefineTest, RefusedDefaultRaisesInvalidValue) {
    try {
        make("INT", "abc");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Invalid Value : 'abc'");
    }
}

TEST_F(DefineTest, IntKeepsBlanksWhenStoringAndTrimsWhenReading) {
    auto v = make("INT", "5");
    EXPECT_TRUE(v.SetValue("12 "));
    EXPECT_EQ(v.RawValue(), "12 ");
    EXPECT_EQ(v.GetValue(), "12");
    EXPECT_EQ(v.GetValueInt(), 12);
    EXPECT_FALSE(v.SetValue("1.5"));
    EXPECT_FALSE(v.SetValue(""));
    EXPECT_FALSE(v.SetValue("99999999999"));
    EXPECT_EQ(v.RawValue(), "12 ");
}

TEST_F(DefineTest, IntypeAcceptsLikeInt) {
    auto v = make("INTYPE", "0");
    EXPECT_TRUE(v.SetValue(" 10"));
    EXPECT_EQ(v.GetValue(), "10");
    EXPECT_FALSE(v.SetValue("x"));
}

TEST_F(DefineTest, FloatUsesTheDecimalSeparatorAndTrimsOnRead) {
    auto v = make("FLOAT", "1");
    EXPECT_TRUE(v.SetValue("2 "));
    EXPECT_EQ(v.GetValue(), "2");
    EXPECT_TRUE(v.SetValue("1,5"));
    EXPECT_FALSE(v.SetValue("abc"));
    EXPECT_EQ(v.RawValue(), "1,5");
}

TEST_F(DefineTest, BoolStoresZeroOneAsGivenAndNormalisesTheRest) {
    struct Case {
        const char* input;
        const char* stored;
    };
    const Case cases[] = {{" 1", " 1"}, {"0", "0"}, {"true", "1"}, {"False", "0"}, {"5", "1"}, {"TRUE", "1"}};
    for (const auto& c : cases) {
        auto v = make("BOOL", "0");
        EXPECT_TRUE(v.SetValue(c.input));
        EXPECT_EQ(v.RawValue(), c.stored) << c.input;
        EXPECT_EQ(v.GetValue(), c.stored) << c.input; // no trimming for BOOL
    }
}

TEST_F(DefineTest, BoolConversionErrorLeavesValueUnchanged) {
    auto v = make("BOOL", "1");
    EXPECT_THROW(v.SetValue("vielleicht"), ConversionError);
    EXPECT_EQ(v.RawValue(), "1");
}

TEST_F(DefineTest, OtherTypesStoreAnything) {
    for (const char* kw : {"VARIANT", "STR", "LCD", "BOOLS", "EXEC", "MAIL"}) {
        auto v = make(kw, "x");
        EXPECT_TRUE(v.SetValue("  Hallo Welt "));
        EXPECT_EQ(v.GetValue(), "  Hallo Welt ") << kw;
    }
    auto cal = make("CAL", "0");
    EXPECT_TRUE(cal.SetValue(" 2 "));
    EXPECT_EQ(cal.GetValue(), "2");
}

TEST_F(DefineTest, GetValueIntIsZeroForNonNumbers) {
    auto v = make("STR", "abc");
    EXPECT_EQ(v.GetValueInt(), 0);
}

TEST_F(DefineTest, SetValueIntWarnsOutsideSixteenBitsButStores) {
    test::RecordingMessagePort port;
    auto v = make("INT", "0");
    EXPECT_TRUE(v.SetValueInt(40000, port));
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Hinweis");
    EXPECT_EQ(port.messages[0].icon, MsgIcon::Warning);
    EXPECT_EQ(port.messages[0].text,
              "Der Wert \"40000\" ist außerhalb des möglichen Bereiches!\r\nBereich: -32.768 bis 32.767");
    EXPECT_EQ(v.GetValue(), "40000");
    EXPECT_TRUE(v.SetValueInt(-32768, port));
    EXPECT_TRUE(v.SetValueInt(32767, port));
    EXPECT_TRUE(v.SetValueInt(-32769, port));
    EXPECT_EQ(port.messages.size(), 2u);
}

TEST_F(DefineTest, FindByNameReturnsTheLastExactMatch) {
    TLogicComponentDefineList list;
    list.Add(TLogicComponentDefine::Create("TIME", "1", "INT"));
    list.Add(TLogicComponentDefine::Create("TIME", "2", "INT"));
    list.Add(TLogicComponentDefine::Create("X", "3", "INT"));
    ASSERT_NE(list.FindByName("TIME"), nullptr);
    EXPECT_EQ(list.FindByName("TIME")->GetValue(), "2");
    EXPECT_EQ(list.FindByName("time"), nullptr);
    EXPECT_EQ(list.FindByName("Y"), nullptr);
}

TEST_F(DefineTest, DisplayFormsOfCalAndIntype) {
    struct Case {
        const char* keyword;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {{"CAL", "0", "+"},          {"CAL", "1", "-"},        {"CAL", " 2", "*"},
                          {"CAL", "3", "/"},          {"CAL", "9", "9"},        {"CAL", "x", "x"},
                          {"INTYPE", "0", "Digital"}, {"INTYPE", "1", "Analog"}, {"INTYPE", "2", "KTY81-110"},
                          {"INTYPE", "3", "KTY81-210"}, {"INTYPE", "4", "TSL250"}, {"INTYPE", "10", "Taster"},
                          {"INTYPE", "7", "???"},      {"INT", "7", "7"}};
    for (const auto& c : cases)
        EXPECT_EQ(DisplayForm(TLogicComponentDefine::Create("V", c.value, c.keyword)), c.shown)
            << c.keyword << " " << c.value;
}

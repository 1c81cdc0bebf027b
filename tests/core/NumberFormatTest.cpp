#include "core/Error.h"
#include "core/NumberFormat.h"

#include <gtest/gtest.h>

using namespace v7300;

TEST(NumberFormat, ParseInt32IsStrict) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {{"0", 0},           {"12", 12},          {"-7", -7},        {"+5", 5},
                          {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", std::nullopt},
                          {"", std::nullopt}, {" 1", std::nullopt}, {"1 ", std::nullopt}, {"1.5", std::nullopt},
                          {"0x10", std::nullopt}, {"-", std::nullopt}, {"99999999999999999999", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(parseInt32(c.text), c.value) << c.text;
    EXPECT_THROW(toInt32("abc"), ConversionError);
}

TEST(NumberFormat, TrimRemovesSpacesAndControlCharacters) {
    EXPECT_EQ(trimBlanks(" \t12\r\n "), "12");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("a b"), "a b");
}

TEST(NumberFormat, ParseBoolAcceptsWordsAndNumbers) {
    setDecimalSeparator(',');
    EXPECT_EQ(parseBool("true"), true);
    EXPECT_EQ(parseBool("FALSE"), false);
    EXPECT_EQ(parseBool("TrUe"), true);
    EXPECT_EQ(parseBool("5"), true);
    EXPECT_EQ(parseBool("0"), false);
    EXPECT_EQ(parseBool("0,0"), false);
    EXPECT_EQ(parseBool("-1"), true);
    EXPECT_EQ(parseBool("yes"), std::nullopt);
    EXPECT_EQ(parseBool(""), std::nullopt);
    EXPECT_THROW(toBool("ja"), ConversionError);
}

TEST(NumberFormat, ParseDoubleUsesTheChosenSeparator) {
    EXPECT_EQ(parseDouble("1,5", ','), 1.5);
    EXPECT_EQ(parseDouble("1.5", ','), std::nullopt);
    EXPECT_EQ(parseDouble("1.5", '.'), 1.5);
    EXPECT_EQ(parseDouble(" 2 ", ','), 2.0);
    EXPECT_EQ(parseDouble("-3E2", ','), -300.0);
    EXPECT_EQ(parseDouble("1e", ','), std::nullopt);
    EXPECT_EQ(parseDouble("abc", ','), std::nullopt);
    EXPECT_EQ(parseDouble(",5", ','), 0.5);
}

TEST(NumberFormat, GeneralFormat) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{0, "0"},          {1, "1"},         {-1, "-1"},           {1.5, "1,5"},
                          {0.1, "0,1"},      {100, "100"},     {1.0 / 3, "0,333333333333333"},
                          {123456789012345.0, "123456789012345"}, {1e15, "1E15"}, {1.5e20, "1,5E20"},
                          {0.0001, "0,0001"}, {0.00001, "1E-5"}, {2.5e-7, "2,5E-7"}, {-12.25, "-12,25"},
                          {1024, "1024"}};
    for (const auto& c : cases) EXPECT_EQ(formatGeneral(c.value, ','), c.text) << c.value;
    EXPECT_EQ(formatGeneral(1.5, '.'), "1.5");
}

TEST(NumberFormat, RoundsHalvesToEvenAndDividesTowardsZero) {
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(13.5), 14);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_EQ(truncDiv(-7, 2), -3);
    EXPECT_EQ(truncDiv(7, 2), 3);
}

#include "core/TextCodec.h"

#include <gtest/gtest.h>

using namespace v7300;

TEST(TextCodec, RoundTripsEveryWindows1252Byte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(TextCodec, MapsTheHighControlRangeToItsTypographicCharacters) {
    struct Case {
        unsigned char byte;
        const char* utf8;
    };
    const Case cases[] = {{0x80, "\u20AC"}, {0x84, "\u201E"}, {0x93, "\u201C"}, {0x9F, "\u0178"},
                          {0xE4, "\u00E4"}, {0xDF, "\u00DF"}, {0xA7, "\u00A7"}, {0x96, "\u2013"}};
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << int(c.byte);
        EXPECT_EQ(utf8ToCp1252(c.utf8), std::string(1, static_cast<char>(c.byte))) << int(c.byte);
    }
}

TEST(TextCodec, UnmappableAndMalformedTextBecomesQuestionMark) {
    EXPECT_EQ(utf8ToCp1252("a\u4E2Db"), "a?b");       // CJK
    EXPECT_EQ(utf8ToCp1252("x\U0001F600y"), "x?y");   // emoji
    EXPECT_EQ(utf8ToCp1252(std::string("a\xC3", 2)), "a?"); // truncated sequence
    EXPECT_EQ(utf8ToCp1252(std::string("\xFF" "z", 2)), "?z");
}

TEST(TextCodec, CountsAndCutsCharactersNotBytes) {
    EXPECT_EQ(cp1252Length("Zähler"), 6u);
    EXPECT_EQ(cp1252Left("Zählerstand", 3), "Zäh");
    EXPECT_EQ(cp1252Left("ab", 9), "ab");
}

TEST(TextCodec, Utf8ValidityIsStrict) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"Tür \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"T\xFCr", false},               // Latin-1 ü
        {"\xC0\xAF", false},             // overlong "/"
        {"\xE0\x80\xAF", false},         // overlong, three bytes
        {"\xED\xA0\x80", false},         // surrogate
        {"\xF4\x90\x80\x80", false},     // beyond U+10FFFF
        {"\xE2\x82", false},             // cut off
    };
    for (const auto& c : cases) EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;
}

#include "core/StringUtil.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

std::string repeated(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(QuotedInput, EscapesControlCharactersAndBytesThatAreNoUtf8) {
    EXPECT_EQ(quotedInput("Größe 12"), "Größe 12");
    EXPECT_EQ(quotedInput(std::string("a\tb\x7F\0c", 6)), "a\\x09b\\x7F\\x00c");
    EXPECT_EQ(quotedInput("\xE4rger"), "\\xE4rger"); // a Windows-1252 byte
}

TEST(QuotedInput, CutsAfter80CharactersNotBytes) {
    EXPECT_EQ(quotedInput(repeated("ä", 80)), repeated("ä", 80));
    EXPECT_EQ(quotedInput(repeated("ä", 81)), repeated("ä", 80) + "…");
    EXPECT_EQ(quotedInput(std::string(200, '\x01')), repeated("\\x01", 80) + "…");
}

} // namespace
} // namespace v7300

// What the legacy reader's messages quote of a bad line.
#include "ProjectTestFixture.h"

#include "project/LegacyProject.h"

namespace v7300::test {
namespace {

class LegacyMessageTest : public ProjectTest {
protected:
    std::string failureOf(const std::string& text) {
        try {
            OpenLegacyBytes(*logic, text);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }
};

TEST_F(LegacyMessageTest, QuotedInputIsCutTo80CharactersWithControlCharactersEscaped) {
    const std::string longTail(700000, 'a');
    EXPECT_EQ(failureOf("...\r\n12\x01" + longTail + "\r\n"),
              "'12\\x01" + std::string(77, 'a') + "…' ist kein gültiger Integerwert");
    const std::string points = "\x1b[31m" + std::string(600, ';');
    EXPECT_EQ(failureOf("...\r\n3\r\n      AND1    5    5\r\n---|\r\n      AND1 0       AND1 1 " + points + "\r\n"),
              "'\\x1B[31m" + std::string(75, ';') + "…' ist kein gültiger Punkt");
}

} // namespace
} // namespace v7300::test

// "Logik" (F5) names the open inputs that the controller closes up.
#include "EditorFixture.h"

namespace v7300::test {
namespace {

TEST_F(EditorTest, LogikWarnsOfAnOpenRelayInputAndStillCompiles) {
    ASSERT_GE(Place("NUM", 10, 10), 0);
    ASSERT_GE(Place("RELAY", 30, 10), 0);
    ASSERT_GE(form->Logic().add_verbinder("NUM1", 0, 2, "RELAY1"), 0); // SEL wired, A1 and A2 open
    messages.messages.clear();
    form->TransferProgram();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Hinweis");
    const std::string tail = " ist offen, auf dem V7300-NET-IO rücken die folgenden Eingänge nach.";
    EXPECT_EQ(messages.messages[0].text, "RELAY1: Eingang A1" + tail + "\r\nRELAY1: Eingang A2" + tail);
}

} // namespace
} // namespace v7300::test

// The program-size indicator's texts and its compilation only after a change.
#include "device/ProgramSizeIndicator.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300::test {
namespace {

class ProgramSizeIndicatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeTestLibrary(dir.path());
        logic = std::make_unique<TLogic>(dir.path(), port);
        logic->NewProject();
    }
    TempDir dir;
    RecordingMessagePort port;
    std::unique_ptr<TLogic> logic;
    TProgramSizeIndicator indicator;
};

TEST_F(ProgramSizeIndicatorTest, CountsWithoutLabelsAndTurnsRedAbove99) {
    for (int i = 0; i < 99; ++i) logic->Add_objekt("NUM", "", 10 + (i % 20) * 6, 10 + (i / 20) * 4);
    logic->Add_objekt("TXT", "", 1, 1);
    EXPECT_TRUE(indicator.Tick(*logic));
    EXPECT_EQ(indicator.Caption().rfind("99 / 100 [", 0), 0u) << indicator.Caption();
    EXPECT_FALSE(indicator.Red());
    EXPECT_EQ(indicator.ClickMessage(), "Keine Fehler vorhanden!");
    logic->Add_objekt("NUM", "", 150, 150);
    indicator.Tick(*logic);
    EXPECT_TRUE(indicator.Red());
    EXPECT_EQ(indicator.ErrorText(), "Es können nur maximal 100 Bausteine benutzt werden!");
}

TEST_F(ProgramSizeIndicatorTest, CompilesOnlyWhenTheContentChanged) {
    logic->Add_objekt("NUM", "", 10, 10);
    EXPECT_TRUE(indicator.Tick(*logic));
    EXPECT_FALSE(indicator.Tick(*logic));
    logic->MousePos = {5, 5};
    logic->Select_Objekt("NUM1");
    EXPECT_FALSE(indicator.Tick(*logic));
    EXPECT_EQ(indicator.Compilations(), 1);
    logic->Add_objekt("NUM", "", 20, 10);
    EXPECT_TRUE(indicator.Tick(*logic));
    EXPECT_EQ(indicator.Compilations(), 2);
}

TEST_F(ProgramSizeIndicatorTest, ACompileErrorBlinksAndIsTheClickMessage) {
    logic->Add_objekt("TIMER", "", 10, 10); // its inputs must be wired
    EXPECT_TRUE(indicator.Tick(*logic));
    EXPECT_EQ(indicator.Caption(), "Fehler [??? Bytes]");
    EXPECT_TRUE(indicator.Red());
    EXPECT_FALSE(indicator.ErrorText().empty());
    EXPECT_EQ(indicator.ClickMessage(), indicator.ErrorText());
    const bool raised = indicator.Raised();
    EXPECT_TRUE(indicator.Tick(*logic));
    EXPECT_NE(indicator.Raised(), raised);
    EXPECT_EQ(indicator.Compilations(), 1);
}

} // namespace
} // namespace v7300::test

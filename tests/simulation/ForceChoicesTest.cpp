// What "Wert erzwingen…" offers and accepts, the owner of a store entry, and
// the date and time typed for "Gehe zu Zeitpunkt…".
#include "simulation/DateTimeText.h"
#include "simulation/ForceChoices.h"

#include "SimTestSupport.h"
#include "model/StoreNames.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using simtest::makeComponent;

class ForceChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        logic.NewProject();
        for (const char* name : {"A", "A_B", "TIMER1"}) logic.Components.Add(makeComponent(name, {}));
    }
    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
};

TEST_F(ForceChoicesTest, AnEntryBelongsToTheLongestComponentNameItStartsWith) {
    EXPECT_EQ(EntryOwner("$A_B_X", logic), "A_B");
    EXPECT_EQ(EntryOwner("$A_X", logic), "A");
    EXPECT_EQ(EntryOwner("$A__A2", logic), "A");
    EXPECT_EQ(EntryOwner("$AB_X", logic), "");
    EXPECT_EQ(EntryReference("$A_B__A1", "A_B"), "A_B.A1");
    EXPECT_EQ(EntryReference("$TIMER1_SEKUNDEN", "TIMER1"), "TIMER1.SEKUNDEN");
}

TEST_F(ForceChoicesTest, OutputsComeFirstThenNumericVariablesOfThatComponentOnly) {
    const std::vector<TVariablen> store{{"$A_N", "12"},      {"$A_B__A1", "1"}, {"$A__A1", "0"},
                                        {"$A_TEXT", "Hallo"}, {"$A_T", "2,5"},  {"$TIMER1__A1", "1"}};
    const auto choices = ForceChoices(logic, "A", store, {{"$A_T", "2,5"}});
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].Reference, "A.A1");
    EXPECT_TRUE(choices[0].Output);
    EXPECT_EQ(choices[1].Store, "$A_N");
    EXPECT_FALSE(choices[1].Forced);
    EXPECT_EQ(choices[2].Store, "$A_T");
    EXPECT_TRUE(choices[2].Forced);
}

TEST(ForceValueTest, OutputsTakeZeroOrOneVariablesANumberWithTheSeparator) {
    const TForceChoice output{"$A__A1", "A.A1", "0", true, false};
    const TForceChoice number{"$A_N", "A.N", "3", false, false};
    struct Case {
        const TForceChoice& choice;
        const char* text;
        const char* value;
        const char* error;
    } cases[] = {
        {output, " 1 ", "1", ""},
        {output, "2", "", "Ein Ausgang kann nur 0 oder 1 sein."},
        {number, "21,5", "21,5", ""},
        {number, "-7", "-7", ""},
        {number, "21.5", "", "Bitte eine Zahl eingeben."},
        {number, "", "", "Bitte eine Zahl eingeben."},
    };
    for (const Case& c : cases) {
        const TForceValue v = CheckForceValue(c.choice, c.text, ',');
        EXPECT_EQ(v.Value, c.value) << c.text;
        EXPECT_EQ(v.Error, c.error) << c.text;
    }
}

TEST(DateTimeTextTest, ReadsTheGermanAndTheIsoFormAndRefusesWhatTheCalendarLacks) {
    const DateTime t{2026, 3, 29, 3, 30, 0, 0};
    EXPECT_EQ(ParseDateTimeText("29.03.2026 03:30"), t);
    EXPECT_EQ(ParseDateTimeText(" So 29.03.2026 03:30:00 "), t);
    EXPECT_EQ(ParseDateTimeText("2026-03-29T03:30:00"), t);
    EXPECT_EQ(ParseDateTimeText("2026-03-29 03:30"), t);
    EXPECT_EQ(ParseDateTimeText("29.3.2026 3:30:15"), (DateTime{2026, 3, 29, 3, 30, 15, 0}));
    for (const char* bad : {"", "29.03.26 03:30", "31.02.2026 10:00", "29.03.2026 24:00", "29.03.2026",
                            "29.03.2026 03:30:00 x", "2026-03-29T03:30:00Z", "99999.03.2026 01:00"})
        EXPECT_FALSE(ParseDateTimeText(bad).has_value()) << bad;
    EXPECT_EQ(DateTimeText(t), "29.03.2026 03:30:00");
}

} // namespace
} // namespace v7300

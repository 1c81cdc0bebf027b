// The display-text editor's logic on the document's pages.
#include "model/Logic.h"
#include "model/ShownItemsEditor.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace v7300;

namespace {

class ShownItemsEditorTest : public ::testing::Test {
protected:
    void SetUp() override { logic.NewProject(); }
    int item(const TShownItemsEditor& e, const std::string& display) {
        for (std::size_t i = 0; i < e.Items().size(); ++i)
            if (e.Items()[i].Display == display) return static_cast<int>(i);
        return -1;
    }
    std::vector<std::string> displays(const TShownItemsEditor& e) {
        std::vector<std::string> out;
        for (const auto& i : e.Items()) out.push_back(i.Display);
        return out;
    }
    test::RecordingMessagePort port;
    TLogic logic{std::string(V7300_SOURCE_DIR) + "/objekts", port};
};

} // namespace

TEST_F(ShownItemsEditorTest, ListsEveryOutputSortedWithoutRegardToCase) {
    logic.Add_objekt("IN", "IN2", 0, 0);
    logic.Add_objekt("IN", "IN10", 0, 0);
    logic.Add_objekt("ROLLO", "ROLLO1", 0, 0);
    logic.Add_objekt("OUT", "OUT1", 0, 0); // no outputs, no entry
    logic.Add_objekt("AND", "and1", 0, 0);
    TShownItemsEditor e(logic.ShownTexts, logic.Components);
    EXPECT_EQ(displays(e), (std::vector<std::string>{"and1 [1]", "IN10 [1]", "IN2 [1]", "ROLLO1 [1]", "ROLLO1 [2]"}));
    for (const auto& i : e.Items()) EXPECT_EQ(i.Entry.text, "???");
}

TEST_F(ShownItemsEditorTest, EmptySlotWithoutSelectionStaysEmpty) {
    logic.Add_objekt("AND", "", 0, 0);
    TShownItemsEditor e(logic.ShownTexts, logic.Components);
    e.ClickSlot(0);
    EXPECT_FALSE(logic.ShownTexts[0].slots[0]);
}

TEST_F(ShownItemsEditorTest, SlotTakesTheSelectedItemAndGivesItBack) {
    logic.Add_objekt("AND", "", 0, 0);
    TShownItemsEditor e(logic.ShownTexts, logic.Components);
    e.SelectItem(0);
    e.ChooseTab(2);
    e.ClickSlot(4);
    ASSERT_TRUE(logic.ShownTexts[2].slots[4]);
    EXPECT_EQ(logic.ShownTexts[2].slots[4]->component, "AND1");
    const auto view = e.View();
    EXPECT_TRUE(view.Slots[4].Filled);
    EXPECT_EQ(view.Slots[4].Info, "AND1 [1]");
    EXPECT_EQ(view.Slots[4].Text, "???");
    e.ClickSlot(4);
    EXPECT_FALSE(logic.ShownTexts[2].slots[4]);
}

// One list item in two slots is one entry: its text is the text of both.
TEST_F(ShownItemsEditorTest, TextOfASharedEntryChangesInEverySlot) {
    logic.Add_objekt("TIMER", "", 0, 0);
    TShownItemsEditor e(logic.ShownTexts, logic.Components);
    e.SelectItem(0);
    e.ClickSlot(0);
    e.ChooseTab(5);
    e.ClickSlot(7);
    e.BeginText(7);
    EXPECT_TRUE(e.View().Slots[7].TextEnabled);
    e.EndText(7, "Restzeit");
    EXPECT_FALSE(e.View().Slots[7].TextEnabled);
    EXPECT_EQ(logic.ShownTexts[0].slots[0]->text, "Restzeit");
    EXPECT_EQ(logic.ShownTexts[5].slots[7]->text, "Restzeit");
    e.ChooseTab(1);
    e.ClickSlot(0); // placed again after the change: the same entry
    EXPECT_EQ(logic.ShownTexts[1].slots[0]->text, "Restzeit");
    EXPECT_EQ(logic.ShownTexts[1].slots[0]->id, logic.ShownTexts[0].slots[0]->id);
}

TEST_F(ShownItemsEditorTest, TextsAndPageNamesAreCutToEightCharacters) {
    logic.Add_objekt("AND", "", 0, 0);
    TShownItemsEditor e(logic.ShownTexts, logic.Components);
    e.EndText(3, "verloren"); // an empty slot: discarded
    EXPECT_FALSE(logic.ShownTexts[0].slots[3]);
    e.SelectItem(0);
    e.ClickSlot(3);
    e.EndText(3, "Außentemperatur");
    EXPECT_EQ(logic.ShownTexts[0].slots[3]->text, "Außentem");
    e.BeginPageName();
    EXPECT_TRUE(e.View().PageNameEnabled);
    e.EndPageName("Wohnzimmer");
    EXPECT_EQ(logic.ShownTexts[0].name, "Wohnzimm");
    EXPECT_FALSE(e.View().PageNameEnabled);
}

TEST_F(ShownItemsEditorTest, OpeningAgainListsFreshEntriesAndKeepsTheSlots) {
    logic.Add_objekt("AND", "", 0, 0);
    {
        TShownItemsEditor e(logic.ShownTexts, logic.Components);
        e.SelectItem(0);
        e.ClickSlot(0);
        e.EndText(0, "Licht");
    }
    TShownItemsEditor again(logic.ShownTexts, logic.Components);
    EXPECT_EQ(again.Items()[0].Entry.text, "???");
    EXPECT_EQ(logic.ShownTexts[0].slots[0]->text, "Licht");
    again.SelectItem(0);
    again.ClickSlot(1);
    again.EndText(1, "Neu");
    EXPECT_EQ(logic.ShownTexts[0].slots[0]->text, "Licht"); // another entry
}

TEST(LinkShownEntriesTest, EqualEntriesReadFromAFileShareOneId) {
    std::array<TShownOutput, 6> pages;
    pages[0].slots[0] = TOutputs{"AND1", 0, "Licht", 0};
    pages[3].slots[5] = TOutputs{"AND1", 0, "Licht", 0};
    pages[1].slots[1] = TOutputs{"AND1", 0, "Lampe", 0};
    pages[1].slots[2] = TOutputs{"AND1", 1, "Licht", 0};
    LinkShownEntries(pages);
    EXPECT_EQ(pages[0].slots[0]->id, pages[3].slots[5]->id);
    EXPECT_NE(pages[0].slots[0]->id, pages[1].slots[1]->id);
    EXPECT_NE(pages[0].slots[0]->id, pages[1].slots[2]->id);
    EXPECT_NE(pages[1].slots[1]->id, 0u);
}

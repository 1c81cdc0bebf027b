// A display entry placed into two slots through save and open: the file keeps
// each slot's fields, and equal slots are one entry again after opening.
#include "ProjectTestFixture.h"
#include "model/ShownItemsEditor.h"
#include "project/XmlProject.h"

namespace v7300::test {
namespace {

class SharedShownEntryTest : public ProjectTest {};

TEST_F(SharedShownEntryTest, SharedEntryStaysSharedThroughSaveAndOpen) {
    logic->Add_objekt("AND", "AND1", 10, 10);
    {
        TShownItemsEditor editor(logic->ShownTexts, logic->Components);
        editor.SelectItem(0);
        editor.ClickSlot(0);
        editor.ChooseTab(2);
        editor.ClickSlot(7);
    }
    logic->ShownTexts[1].slots[3] = TOutputs{"AND1", 0, "anders", 0}; // same output, own text: an entry of its own
    SaveXml(*logic, dir.file("p.v7k"));
    auto read = makeLogic(port);
    ASSERT_TRUE(OpenXml(*read, dir.file("p.v7k")));
    TShownItemsEditor editor(read->ShownTexts, read->Components);
    editor.ChooseTab(2);
    editor.BeginText(7);
    editor.EndText(7, "Licht");
    EXPECT_EQ(read->ShownTexts[0].slots[0]->text, "Licht");
    EXPECT_EQ(read->ShownTexts[1].slots[3]->text, "anders");
}

} // namespace
} // namespace v7300::test

// The parameter dialogs and "Anzeige Texte" in the main window: a confirmed
// change is one undo step and marks the document; no change marks nothing.
#include "EditorFixture.h"
#include "model/ShownItemsEditor.h"
#include "ui/params/FrmFields.h"
#include "ui/params/ParamDialogs.h"
#include "ui/params/UnitShownItems.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace v7300::test {
namespace {

class ParamUndoTest : public EditorTest {
protected:
    // The dialog of the component, its seconds field set to `seconds` ("" leaves it), then OK.
    void EditTimer(int index, const QString& seconds) {
        form->ParameterDialog = [this, seconds](TLogic& logic, int i) {
            return params::Set_Objekt_Vars(logic, i, nullptr, messages, [&](params::TFrmUserdefineSetter& d) {
                auto* edit = qobject_cast<QLineEdit*>(dynamic_cast<params::TFrmFieldDialog&>(d).Control("editValue"));
                if (!seconds.isEmpty()) edit->setText(seconds);
                return true;
            });
        };
        form->Set_Objekt_Vars(index);
    }
    std::string Seconds() { return Comp("TIMER1").Variables.FindByName("SEKUNDEN")->GetValue(); }
    // The step before the dialog is the placing of the component.
    void ExpectOnlyThePlacingLeftToUndo() {
        form->Editor().Undo();
        EXPECT_EQ(form->Logic().Components.Count(), 0);
    }
};

TEST_F(ParamUndoTest, ConfirmedChangeIsOneUndoStep) {
    const int timer = Place("TIMER", 100, 100);
    EditTimer(timer, QStringLiteral("25"));
    EXPECT_EQ(Seconds(), "25");
    EXPECT_TRUE(form->Modified());
    form->Editor().Undo();
    EXPECT_EQ(Seconds(), "10");
    EXPECT_FALSE(form->Modified());
    ExpectOnlyThePlacingLeftToUndo();
}

TEST_F(ParamUndoTest, ConfirmedWithoutChangeMarksNothing) {
    const int timer = Place("TIMER", 100, 100);
    EditTimer(timer, QString());
    EXPECT_EQ(Seconds(), "10");
    EXPECT_FALSE(form->Modified());
    ExpectOnlyThePlacingLeftToUndo();
}

TEST_F(ParamUndoTest, DisplayTextSessionIsOneUndoStep) {
    Place("TIMER", 100, 100);
    const bool changed = params::EditShownItems(form->Logic(), nullptr, [](params::TFrmShownItems& d) {
        d.lbOutputs->setCurrentRow(0);
        d.Slots[0].Icon->click();
        d.Slots[1].Icon->click();
        d.btnPageName->click();
        d.editPageName->setText(QStringLiteral("Flur"));
    });
    ASSERT_TRUE(changed);
    form->MarkModified();
    EXPECT_EQ(form->Logic().ShownTexts[0].name, "Flur");
    form->Editor().Undo();
    EXPECT_EQ(form->Logic().ShownTexts[0], TShownOutput{});
    ExpectOnlyThePlacingLeftToUndo();
}

} // namespace
} // namespace v7300::test

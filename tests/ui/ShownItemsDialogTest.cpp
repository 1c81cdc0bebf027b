// "Anzeige Texte" offscreen over a fixture diagram: the list, slots filled from
// it, a shared entry, and changes kept when the dialog is closed with the close box.
#include "EditorFixture.h"
#include "ui/app/DarkLook.h"
#include "ui/params/FrmUserdefineSetter.h"
#include "ui/params/UnitShownItems.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace v7300::test {
namespace {

class ShownItemsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        previousPalette = QApplication::palette();
        ApplyDarkLook(*qApp);
        params::TFrmUserdefineSetter::SetPictureFolder(QStringLiteral(V7300_BINARY_DIR "/bin/dialogs"));
        logic.NewProject();
        for (const char* type : {"IN", "IN", "TIMER", "AND"}) logic.Add_objekt(type, "", 0, 0);
        logic.Components.Items(1).Name = "IN10";
    }
    void TearDown() override { QApplication::setPalette(previousPalette); }
    static int Row(params::TFrmShownItems& d, const QString& display) {
        const auto found = d.lbOutputs->findItems(display, Qt::MatchExactly);
        return found.isEmpty() ? -1 : d.lbOutputs->row(found.front());
    }

    RecordingMessagePort port;
    TLogic logic{std::string(V7300_BINARY_DIR) + "/bin/objekts", port};
    QPalette previousPalette;
};

TEST_F(ShownItemsDialogTest, SharedEntryAndPageNameStayAfterTheCloseBox) {
    const bool changed = params::EditShownItems(logic, nullptr, [](params::TFrmShownItems& d) {
        EXPECT_EQ(d.size(), QSize(570, 510));
        EXPECT_LT(Row(d, "IN10 [1]"), Row(d, "IN1 [1]") + 2); // IN10 [1] before IN2 …
        EXPECT_LT(Row(d, "IN10 [1]"), Row(d, "TIMER1 [1]"));
        d.lbOutputs->setCurrentRow(Row(d, "TIMER1 [1]"));
        d.Slots[0].Icon->click();
        d.Slots[3].Icon->click();
        d.lbOutputs->setCurrentRow(-1);
        d.Slots[5].Icon->click(); // nothing selected: stays empty
        d.Slots[3].TextButton->click();
        EXPECT_TRUE(d.Slots[3].Text->isEnabled());
        d.Slots[3].Text->setText(QStringLiteral("Licht"));
        d.btnPageName->click();
        d.editPageName->setText(QStringLiteral("Flur"));
        d.CommitEdits();
        d.Refresh();
        EXPECT_EQ(d.Slots[0].Text->text(), QStringLiteral("Licht"));
        EXPECT_EQ(d.Slots[0].Info->text(), QStringLiteral("TIMER1 [1]"));
        EXPECT_FALSE(d.Slots[0].Text->isEnabled());
        d.ensurePolished();
        const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots/dialogs");
        QDir().mkpath(folder);
        d.grab().save(folder + QStringLiteral("/ShownItems.png"));
        if (std::getenv("V7300_UPDATE_SCREENSHOT"))
            d.grab().save(QStringLiteral(V7300_SOURCE_DIR "/docs/dialogs/ShownItems.png"));
        // not accepted: the close box
    });
    EXPECT_TRUE(changed);
    const TShownOutput& page = logic.ShownTexts[0];
    EXPECT_EQ(page.name, "Flur");
    ASSERT_TRUE(page.slots[0] && page.slots[3]);
    EXPECT_FALSE(page.slots[5]);
    EXPECT_EQ(page.slots[0]->text, "Licht");
    EXPECT_EQ(page.slots[0]->id, page.slots[3]->id);
}

TEST_F(ShownItemsDialogTest, SessionWithoutChangesReportsNone) {
    EXPECT_FALSE(params::EditShownItems(logic, nullptr, [](params::TFrmShownItems& d) { d.Slots[2].Icon->click(); }));
}

} // namespace
} // namespace v7300::test

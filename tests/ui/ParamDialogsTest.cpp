// The parameter dialogs on a fixture diagram: every dialog rendered offscreen
// with its picture (kept under build/screenshots/dialogs/, V7300_UPDATE_SCREENSHOT=1
// renews docs/dialogs/), the labels of the picture beside the controls, and
// fields set, OK pressed, variables checked.
#include "EditorFixture.h"
#include "model/ParamFamily.h"
#include "ui/app/DarkLook.h"
#include "ui/params/FrmFields.h"
#include "ui/params/FrmIN.h"
#include "ui/params/FrmLCD.h"
#include "ui/params/FrmOUT.h"
#include "ui/params/ParamDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace v7300::test {
namespace {

using params::TFrmUserdefineSetter;

bool Light(QRgb p) { return qRed(p) + qGreen(p) + qBlue(p) > 3 * 0xA0; }

int CountLight(const QImage& image, QRect r) {
    r &= image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += Light(image.pixel(x, y)) ? 1 : 0;
    return n;
}

QImage Shot(QWidget& dialog, const std::string& name) {
    dialog.ensurePolished();
    const QImage image = dialog.grab().toImage();
    const bool update = std::getenv("V7300_UPDATE_SCREENSHOT") != nullptr;
    const QString folder = update ? QStringLiteral(V7300_SOURCE_DIR "/docs/dialogs")
                                  : QStringLiteral(V7300_BINARY_DIR "/screenshots/dialogs");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png"));
    return image;
}

class ParamDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        previousPalette = QApplication::palette();
        previousStyle = QApplication::style()->name();
        ApplyDarkLook(*qApp);
        setDecimalSeparator(',');
        params::TFrmUserdefineSetter::SetPictureFolder(QStringLiteral(V7300_BINARY_DIR "/bin/dialogs"));
        logic.NewProject();
    }
    void TearDown() override {
        QApplication::setStyle(previousStyle);
        QApplication::setPalette(previousPalette);
    }
    int place(const std::string& type) { return logic.Add_objekt(type, "", 0, 0); }
    std::string value(int index, const char* name) {
        return logic.Components.Items(index).Variables.FindByName(name)->GetValue();
    }
    // Opens the dialog of the component, lets the test work on it, and presses OK or not.
    template <class Dialog> bool Edit(int index, const std::function<void(Dialog&)>& work, bool ok = true) {
        return params::Set_Objekt_Vars(logic, index, nullptr, port, [&](TFrmUserdefineSetter& d) {
            auto* dialog = dynamic_cast<Dialog*>(&d);
            EXPECT_NE(dialog, nullptr);
            if (dialog) work(*dialog);
            return ok;
        });
    }
    QLineEdit* Field(params::TFrmFieldDialog& d, const char* name) { return qobject_cast<QLineEdit*>(d.Control(name)); }

    RecordingMessagePort port;
    TLogic logic{std::string(V7300_BINARY_DIR) + "/bin/objekts", port};
    QPalette previousPalette;
    QString previousStyle;
};

// Every dialog of the family: its size, a dark picture below the orange title
// bar, and for each labelled control some light label pixels beside it.
TEST_F(ParamDialogsTest, EveryDialogShowsItsPictureWithLabelsBesideTheControls) {
    int labels = 0;
    for (const TParamDialogSpec& spec : ParamDialogFamily()) {
        const int index = place(spec.typeName);
        auto dialog = params::CreateParamDialog(spec.typeName, nullptr);
        dialog->SetLibrary(&logic.Library);
        dialog->StartParamSet(logic.Components, index);
        if (auto* in = dynamic_cast<params::TFrmIN*>(dialog.get())) in->Tick();
        EXPECT_EQ(dialog->size(), QSize(spec.width, spec.height)) << spec.typeName;
        EXPECT_TRUE(dialog->windowFlags() & Qt::FramelessWindowHint);
        const QImage shot = Shot(*dialog, spec.typeName);
        EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0xFF8000u) << spec.typeName << ": title bar";
        if (spec.picture) {
            ASSERT_NE(dialog->Image1, nullptr);
            EXPECT_FALSE(dialog->Image1->pixmap().isNull()) << spec.typeName << ": picture missing";
            EXPECT_EQ(shot.pixel(spec.width - 3, spec.height - 3) & 0xFFFFFF, 0u) << spec.typeName;
        }
        for (const TParamControl& c : spec.controls) {
            if (c.label.empty() || c.side == TLabelSide::None) continue;
            const QRect beside = c.side == TLabelSide::Left ? QRect(c.x - 90, c.y, 86, c.h)
                                                             : QRect(c.x, c.y - 18, std::max(c.w, 30), 16);
            EXPECT_GT(CountLight(shot, beside), 8) << spec.typeName << "." << c.name << " has no label";
            ++labels;
        }
    }
    EXPECT_GT(labels, 60);
}

TEST_F(ParamDialogsTest, FallbackAndDisplayTextPicturesAreDrawn) {
    logic.Library.AddItem({"X", {}, "", {}});
    auto fallback = params::CreateParamDialog("X", nullptr);
    EXPECT_EQ(fallback->Label->text(), QStringLiteral("Das sollte man niemals sehen!!!!"));
    Shot(*fallback, "fallback");
    for (const char* button : {"Empty", "Delete", "Text", "PageName"})
        EXPECT_TRUE(QFile::exists(QStringLiteral(V7300_BINARY_DIR "/bin/dialogs/ShownItems/") + button +
                                  QStringLiteral(".png")))
            << button;
}

TEST_F(ParamDialogsTest, TimerStoresItsSecondsAndTakesOnlyDigitKeys) {
    const int timer = place("TIMER");
    EXPECT_TRUE(Edit<params::TFrmTIMER>(timer, [&](params::TFrmTIMER& d) {
        QLineEdit* edit = Field(d, "editValue");
        EXPECT_EQ(edit->text(), QStringLiteral("10"));
        EXPECT_EQ(edit->maxLength(), 5);
        edit->clear();
        for (const char* key : {"2", "x", "5", " "}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromLatin1(key));
            QCoreApplication::sendEvent(edit, &press);
        }
        EXPECT_EQ(edit->text(), QStringLiteral("25"));
    }));
    EXPECT_EQ(value(timer, "SEKUNDEN"), "25");
}

TEST_F(ParamDialogsTest, CloseBoxChangesNothing) {
    const int timer = place("TIMER");
    EXPECT_FALSE(Edit<params::TFrmTIMER>(timer, [&](params::TFrmTIMER& d) { Field(d, "editValue")->setText("99"); },
                                         false));
    EXPECT_EQ(value(timer, "SEKUNDEN"), "10");
}

TEST_F(ParamDialogsTest, ConfirmedWithoutChangeReportsNoChange) {
    const int timer = place("TIMER");
    EXPECT_FALSE(Edit<params::TFrmTIMER>(timer, [](params::TFrmTIMER&) {}));
}

TEST_F(ParamDialogsTest, EmptyNumericFieldShowsTheConversionErrorAndKeepsWhatCameBefore) {
    const int v = place("VALUE");
    EXPECT_TRUE(Edit<params::TFrmVALUE>(v, [&](params::TFrmVALUE& d) {
        Field(d, "editMAX")->setText("500");
        Field(d, "editMIN")->setText("-");
    }));
    EXPECT_EQ(value(v, "MAX"), "500");
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].caption, "Fehler");
    EXPECT_EQ(port.messages[0].text, "'-' ist kein gültiger Integerwert");
}

TEST_F(ParamDialogsTest, WeekTimerStoresDaysAndTimes) {
    const int w = place("WEEKTIMER");
    EXPECT_TRUE(Edit<params::TFrmWEEKTIMER>(w, [](params::TFrmWEEKTIMER& d) {
        qobject_cast<QCheckBox*>(d.Control("cbSA"))->setChecked(false);
        qobject_cast<QTimeEdit*>(d.Control("dtp_On"))->setTime(QTime(7, 30, 0));
        qobject_cast<QTimeEdit*>(d.Control("dtp_Off"))->setTime(QTime(22, 15, 5));
    }));
    EXPECT_EQ(value(w, "SA"), "0");
    EXPECT_EQ(value(w, "SO"), "1");
    EXPECT_EQ(value(w, "TIME1"), "073000");
    EXPECT_EQ(value(w, "TIME2"), "221505");
}

TEST_F(ParamDialogsTest, CalcBoolTxtAndBusStoreTheirControls) {
    const int calc = place("CALC"), b = place("BOOL"), txt = place("TXT"), bus = place("BUS-OUT-IV");
    Edit<params::TFrmCALC>(calc, [](params::TFrmCALC& d) {
        d.Control("rgCAL")->findChild<QButtonGroup*>()->button(3)->setChecked(true);
    });
    Edit<params::TFrmBOOL>(b, [](params::TFrmBOOL& d) { qobject_cast<QCheckBox*>(d.Control("cb9"))->setChecked(true); });
    Edit<params::TFrmTXT>(txt, [&](params::TFrmTXT& d) { Field(d, "editValue")->clear(); });
    Edit<params::TFrmBUSOUT4>(bus, [&](params::TFrmBUSOUT4& d) {
        EXPECT_EQ(Field(d, "editName4")->geometry(), QRect(61, 392, 118, 25));
        Field(d, "editBUSID")->setText("12");
        Field(d, "editDev4")->setText("Licht");
    });
    EXPECT_EQ(value(calc, "TYPE"), "3");
    EXPECT_EQ(value(b, "VAL09"), "1");
    EXPECT_EQ(value(txt, "TEXT"), "Kein Text");
    EXPECT_EQ(value(bus, "BUSID"), "12");
    EXPECT_EQ(value(bus, "DEV4"), "Licht");
}

TEST_F(ParamDialogsTest, OutOffersFreeNumbersAndStoresTheChosenColour) {
    const int first = place("OUT"), out = place("OUT");
    Edit<params::TFrmOUT>(first, [](params::TFrmOUT& d) { d.cbOutputID->setCurrentIndex(0); });
    EXPECT_TRUE(Edit<params::TFrmOUT>(out, [](params::TFrmOUT& d) {
        EXPECT_EQ(d.cbOutputID->count(), 7);
        EXPECT_EQ(d.cbOutputID->itemText(0), QStringLiteral("1"));
        EXPECT_EQ(d.cbOutputID->itemText(1), QStringLiteral("3")); // 2 went to the first OUT
        d.cbOutputID->setCurrentIndex(2);
        d.cbType->setCurrentIndex(0);
        d.editTXT2->setText(QStringLiteral("EIN"));
        d.ChooseColour = [](const QColor&) { return QColor(0, 0, 255); };
        d.pCOLClick(d.pCOL2);
        EXPECT_FALSE(d.img2->pixmap().isNull());
    }));
    EXPECT_EQ(value(out, "ID"), "4");
    EXPECT_EQ(value(out, "TYPE"), "0");
    EXPECT_EQ(value(out, "TXT2"), "EIN");
    EXPECT_EQ(value(out, "COL2"), std::to_string(0xFF0000));
}

TEST_F(ParamDialogsTest, InKeepsItsGroupsConsistentAndShowsTheKindsPicture) {
    const int in = place("IN");
    EXPECT_TRUE(Edit<params::TFrmIN>(in, [](params::TFrmIN& d) {
        d.cbHardwareInput->setCurrentIndex(3);
        d.InputTypes->button(2)->setChecked(true);
        d.Tick();
        EXPECT_FALSE(d.rgDigitalType->isEnabled());
        EXPECT_TRUE(d.rgInputType->isEnabled());
        EXPECT_FALSE(d.imgInputType->pixmap().isNull());
    }));
    EXPECT_EQ(value(in, "HID"), "3");
    EXPECT_EQ(value(in, "TYPE"), "2");
}

TEST_F(ParamDialogsTest, InWithoutItsPictureSaysFileNotFound) {
    TLogic bare{std::string(V7300_SOURCE_DIR) + "/objekts", port}; // the sources hold no Option pictures
    bare.NewProject();
    const int in = bare.Add_objekt("IN", "", 0, 0);
    params::TFrmIN d;
    d.SetLibrary(&bare.Library);
    d.StartParamSet(bare.Components, in);
    d.Tick();
    const QImage picture = d.imgInputType->pixmap().toImage();
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 150; ++x) red += qRed(picture.pixel(x, y)) > 0xC0 && qGreen(picture.pixel(x, y)) < 0x60;
    EXPECT_GT(red, 20);
}

TEST_F(ParamDialogsTest, LcdPreviewAndStoredLines) {
    const int lcd = place("LCD");
    EXPECT_TRUE(Edit<params::TFrmLCD>(lcd, [](params::TFrmLCD& d) {
        EXPECT_EQ(d.cbZeile->currentIndex(), 1);
        d.editZeile2->setText(QStringLiteral("Temp:"));
        d.cbType->setCurrentIndex(3);
        d.cbSpalte->setCurrentIndex(6);
        d.RefreshPreview();
        EXPECT_EQ(d.lblZeile2->text(), QStringLiteral("Temp: ###,#     "));
        d.cbType->setCurrentIndex(5);
        d.cbSpalte->setCurrentIndex(6);
        d.RefreshPreview();
        EXPECT_EQ(d.lblZeile1->text(), QStringLiteral("ERROR ERROR ERRO"));
        d.cbSpalte->setCurrentIndex(5);
    }));
    EXPECT_EQ(logic.Components.Items(lcd).Variables.FindByName("VAL2")->RawValue(), "Temp:           ");
    EXPECT_EQ(value(lcd, "POS"), "21");
    EXPECT_EQ(value(lcd, "TYPE"), "5");
}

TEST_F(ParamDialogsTest, NothingOpensWhileTheSimulationRuns) {
    struct RunningSimulation : TSimulationState {
        bool Running() const override { return true; }
        std::string GetVariable(const std::string&) const override { return "0"; }
    } running;
    const int timer = place("TIMER");
    logic.Simulation = &running;
    bool shown = false;
    params::Set_Objekt_Vars(logic, timer, nullptr, port, [&](TFrmUserdefineSetter&) { return shown = true; });
    logic.Simulation = nullptr;
    EXPECT_FALSE(shown);
}

} // namespace
} // namespace v7300::test

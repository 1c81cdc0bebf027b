// Every window is dark with readable light text (or the colours its design
// gives it), standard dialogs speak German, and no text is cut. Each window is
// grabbed offscreen and kept under build/screenshots/ to be looked at.
#include "EditorFixture.h"
#include "project/FileController.h"
#include "ui/app/DarkLook.h"
#include "ui/editor/EditorView.h"
#include "ui/params/FrmUserdefineSetter.h"
#include "ui/dialogs/UnitError.h"
#include "ui/dialogs/Unit_Drucken.h"
#include "ui/sim/Unit_LCD.h"
#include "ui/sim/Unit_SimInput.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTranslator>

#include <functional>

namespace v7300::test {
namespace {

int Lightness(QRgb p) { return (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000; }

QImage Shot(QWidget& widget, const char* name) {
    widget.ensurePolished();
    const QImage image = widget.grab().toImage();
    const QString folder = QStringLiteral(V7300_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    image.save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    return image;
}

// How many pixels inside r satisfy the test.
int Count(const QImage& image, QRect r, const std::function<bool(QRgb)>& test) {
    r &= image.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}
bool Light(QRgb p) { return Lightness(p) > 0xC0; }
bool Dark(QRgb p) { return Lightness(p) < 0x50; }
bool Red(QRgb p) { return qRed(p) > 0xC0 && qGreen(p) < 0x60 && qBlue(p) < 0x60; }

// The window's own background around the point, and light text inside the control.
void ExpectBackgroundAndText(const QImage& image, QPoint background, QRgb expected, const QWidget& text,
                             const std::function<bool(QRgb)>& ink = Light) {
    EXPECT_EQ(image.pixel(background) & 0xFFFFFF, expected & 0xFFFFFF) << "background at " << background.x() << ","
                                                                       << background.y();
    const QRect r(text.mapTo(text.window(), QPoint(0, 0)), text.size());
    EXPECT_GT(Count(image, r, ink), 10) << "no text pixels in " << text.metaObject()->className();
}

// A label shows its whole text at the font it has.
void ExpectNotCut(const QLabel& label) {
    const QFontMetrics fm(label.font());
    const QRect needed = fm.boundingRect(QRect(0, 0, label.width(), 10000),
                                         int(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0),
                                         label.text());
    EXPECT_LE(needed.width(), label.contentsRect().width()) << label.text().toStdString();
    EXPECT_LE(needed.height(), label.contentsRect().height()) << label.text().toStdString();
}

// The windows with colours of their own keep them whatever the application's look.
TEST(WindowColoursTest, SimulationErrorAndFallbackWindowsShowTheirColours) {
    EnsureQApplication();
    TFrmLCD lcd;
    lcd.SetLine(1, QStringLiteral("V7300 - Logik"));
    ExpectBackgroundAndText(Shot(lcd, "lcd"), {2, 2}, qRgb(0, 0, 255), *lcd.Line1);

    TFrmSimInput slider(3);
    slider.Slider->setValue(512);
    ExpectBackgroundAndText(Shot(slider, "slider"), {262, 57}, qRgb(0, 0, 0), *slider.Value);

    SilentMessagePort silent;
    TFrmError report(silent);
    report.ExecModal = false;
    report.ShowException("v7300::TForm2", "v7300::Error", "In /x/config.ini kann nicht geschrieben werden");
    const QImage reportShot = Shot(report, "error-report");
    const auto* hint = report.findChildren<QLabel*>().at(1);
    ExpectBackgroundAndText(reportShot, {366, 150}, qRgb(0, 0, 0), *hint);
    report.close();

    TFrmUserdefineSetter fallback;
    const QImage fallbackShot = Shot(fallback, "fallback-parameters");
    ExpectBackgroundAndText(fallbackShot, {4, fallback.height() - 4}, qRgb(0, 0, 0), *fallback.Label, Red);
    ExpectNotCut(*fallback.Label);
    ExpectNotCut(*fallback.Header);
}

// The application's dark look: set for one test, the previous look restored after it.
class DarkLookTest : public EditorTest {
protected:
    void SetUp() override {
        EnsureQApplication();
        previousPalette = QApplication::palette();
        previousStyle = QApplication::style()->name();
        ApplyDarkLook(*qApp);
        EditorTest::SetUp();
    }
    // The main window with its diagram drawn: the view repaints at most every so
    // often by the clock, which stands still in the tests.
    QImage ShotMain(const char* name) {
        clock.advanceMs(1000);
        form->View().Refresh();
        QCoreApplication::processEvents();
        return Shot(*form, name);
    }
    void TearDown() override {
        EditorTest::TearDown();
        QApplication::setStyle(previousStyle);
        QApplication::setPalette(previousPalette);
    }
    QMenu* Popup(const QString& firstEntry) {
        for (QMenu* m : form->findChildren<QMenu*>())
            if (!m->actions().isEmpty() && m->actions().first()->text() == firstEntry) return m;
        return nullptr;
    }
    QPalette previousPalette;
    QString previousStyle;
};

TEST_F(DarkLookTest, PopUpMenusAndThePalettesScrollBarAreDark) {
    QMenu* popup = Popup(QStringLiteral("Bearbeiten / Informationen"));
    ASSERT_NE(popup, nullptr);
    popup->adjustSize();
    const QImage menu = Shot(*popup, "popup-menu");
    EXPECT_TRUE(Dark(menu.pixel(menu.width() - 3, menu.height() / 2)));
    EXPECT_GT(Count(menu, menu.rect(), Light), 20);

    auto* scroll = form->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QScrollBar* bar = scroll->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const QImage barShot = Shot(*bar, "palette-scrollbar");
    EXPECT_TRUE(Dark(barShot.pixel(barShot.width() / 2, barShot.height() - 3)));
    EXPECT_GT(Count(barShot, barShot.rect(), [](QRgb p) { return (p & 0xFFFFFF) == 0xFF8000; }), 20);
    ShotMain("main-window");
}

TEST_F(DarkLookTest, StandardDialogsAreDarkWithLightTextAndSpeakGerman) {
    QTranslator* german = InstallGermanTranslations(*qApp);
    ASSERT_NE(german, nullptr) << "qt6-translations-l10n is not installed";

    QMessageBox box(QMessageBox::Question, QStringLiteral("Speichern"),
                    QStringLiteral("Sollen die Änderungen gespeichert werden?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Nein"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    const QImage boxShot = Shot(box, "message-box");
    EXPECT_TRUE(Dark(boxShot.pixel(2, 2)));
    EXPECT_GT(Count(boxShot, boxShot.rect(), Light), 50);
    box.close();

    QFileDialog files(nullptr, QString(), QDir::tempPath());
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    QCoreApplication::processEvents();
    const auto* lookIn = files.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_EQ(lookIn->text(), QStringLiteral("Suchen in:"));
    const QImage filesShot = Shot(files, "file-dialog");
    EXPECT_TRUE(Dark(filesShot.pixel(2, filesShot.height() - 3)));
    ExpectBackgroundAndText(filesShot, {2, 2}, filesShot.pixel(2, 2), *lookIn);
    files.close();

    QApplication::removeTranslator(german);
    delete german;
}

// The program-size indicator, the print dialog's note: whole texts at the default font.
TEST_F(DarkLookTest, IndicatorAndPrintNoteShowTheirWholeText) {
    for (int i = 0; i < 99; ++i) ASSERT_GE(Place("AND", 10 + (i % 10) * 12, 5 + (i / 10) * 10), 0);
    form->IndicatorTick();
    ASSERT_TRUE(form->PanelFlashSize()->text().startsWith(QStringLiteral("99 / 100 ["))) << form->PanelFlashSize()->text().toStdString();
    ExpectNotCut(*form->PanelFlashSize());
    EXPECT_GE(form->HardwareStatus()->x(), form->PanelFlashSize()->geometry().right() + 16);
    ShotMain("main-window-full");

    TFrmDrucken print(clock);
    ExpectNotCut(*print.Note);
    EXPECT_LE(print.Note->geometry().bottom(), print.height());
    const QImage printShot = Shot(print, "print-dialog");
    EXPECT_TRUE(Dark(printShot.pixel(print.width() - 3, print.height() - 3)));
}

// The main window with an example and its menus open: dark, with light text, the
// zoom in the status bar, a selection of several components.
TEST_F(DarkLookTest, MainWindowAndItsMenusAreDarkWithTheZoomInTheStatusBar) {
    form->Files().OpenPath(std::string(V7300_SOURCE_DIR) + "/examples/treppenlicht.v7k", true);
    form->Editor().SelectAll();
    form->Editor().ZoomIn();
    QCoreApplication::processEvents();
    form->Layout();
    const QImage window = ShotMain("main-window-zoomed");
    const QRect area(form->Area()->mapTo(form.get(), QPoint(0, 0)), form->Area()->size());
    EXPECT_GT(Count(window, area, Light), 500) << "the diagram is not drawn";
    const QRect status(0, window.height() - 19, window.width(), 19);
    EXPECT_GT(Count(window, status.adjusted(window.width() - 80, 0, 0, 0), Light), 10) << "no zoom text";
    for (QAction* a : form->menuBar()->actions()) {
        QMenu* menu = a->menu();
        if (menu == nullptr) continue;
        menu->popup(form->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::processEvents();
        const QImage shot = Shot(*menu, ("menu-" + a->text().toStdString()).c_str());
        menu->hide();
        // The background at the right edge, which separators cross.
        EXPECT_GT(Count(shot, QRect(shot.width() - 3, 0, 1, shot.height()), Dark), shot.height() * 3 / 4)
            << a->text().toStdString();
        EXPECT_GT(Count(shot, shot.rect(), Light), 30) << a->text().toStdString();
    }
}

} // namespace
} // namespace v7300::test

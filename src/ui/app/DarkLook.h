#pragma once
// The program's one look: the Fusion style with a dark palette, so that every
// window, pop-up menu, scroll bar and standard dialog (message boxes, file and
// input dialogs) is dark with light text; and Qt's own German texts for the
// standard buttons and dialogs.
#include <QColor>
#include <QPalette>

class QApplication;
class QTranslator;
class QWidget;

namespace v7300 {

namespace look {
inline const QColor kBlack(0x00, 0x00, 0x00);
inline const QColor kDark(0x22, 0x22, 0x22);
inline const QColor kGrey(0x44, 0x44, 0x44);
inline const QColor kText(0xFF, 0xFF, 0xFF);
inline const QColor kDisabledText(0x99, 0x99, 0x99);
inline const QColor kOrange(0xFF, 0x80, 0x00);
} // namespace look

// The dark palette of the whole program.
QPalette DarkPalette();
// Fusion style, the dark palette and dark tool tips for the application.
void ApplyDarkLook(QApplication& app);
// Background and text colour of one window or control, through its palette
// (style sheets cannot name classes inside a namespace).
void SetColours(QWidget& widget, const QColor& background, const QColor& text);
// Loads Qt's German translations (qtbase_de) for the standard buttons and
// dialogs. Returns the installed translator (owned by the application), or
// null when the translations are not installed.
QTranslator* InstallGermanTranslations(QApplication& app);

} // namespace v7300

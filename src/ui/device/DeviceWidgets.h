#pragma once
// The pieces the device windows are built from: black windows with white
// text, framed groups, labels, fields and buttons at fixed positions, and the
// colours of the sessions (0xRRGGBB) as Qt colours.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>

class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace v7300::device_ui {

QFont WindowFont(int points = 8, bool bold = false);
QFont FixedPitchFont(int points = 8);
inline QColor Colour(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// Black background, white text, the dark controls of the program.
void MakeBlackWindow(QDialog& window);
QGroupBox* Group(QWidget* parent, const QString& title, const QRect& geometry);
QLabel* Label(QWidget* parent, const QString& text, int x, int y, bool bold = false);
QLineEdit* Field(QWidget* parent, const QRect& geometry, int maxLength = 32767);
QPushButton* Button(QWidget* parent, const QString& text, const QRect& geometry);
// A label that shows a coloured panel with a frame, as the indicator panels are.
QLabel* Panel(QWidget* parent, const QString& caption, const QRect& geometry);
// Frame lowered (property "lowered" true) or raised.
void SetPanel(QLabel& panel, const QColor& colour, bool lowered);
QColor PanelColour(const QLabel& panel);
// Sets a label's text in the largest font up to `points` in which it fits its width.
void SetFittingText(QLabel& label, const QString& text, int points = 8, bool bold = false);
// Sets a field's text only when it differs, so that typing is not disturbed.
void SyncText(QLineEdit& field, const QString& text);

// Dark scroll bars for lists and memos.
extern const char* const kDarkScrollBars;

} // namespace v7300::device_ui

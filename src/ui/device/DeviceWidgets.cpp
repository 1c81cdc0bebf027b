#include "ui/device/DeviceWidgets.h"

#include "ui/app/DarkLook.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace v7300::device_ui {

const char* const kDarkScrollBars =
    "QScrollBar:vertical { background: #222222; width: 14px; margin: 0; }"
    "QScrollBar:horizontal { background: #222222; height: 14px; margin: 0; }"
    "QScrollBar::handle { background: #444444; min-height: 20px; min-width: 20px; }"
    "QScrollBar::add-line, QScrollBar::sub-line { height: 0; width: 0; }"
    "QScrollBar::add-page, QScrollBar::sub-page { background: #222222; }";

QFont WindowFont(int points, bool bold) {
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

QFont FixedPitchFont(int points) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPointSize(points);
    return f;
}

void MakeBlackWindow(QDialog& window) {
    QPalette p = DarkPalette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Window, look::kBlack);
    window.setPalette(p);
    window.setAutoFillBackground(true);
    window.setFont(WindowFont());
    window.setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid #444444; margin-top: 7px; color: white; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"
        "QLineEdit { background: #222222; color: white; border: 1px solid #444444; padding-left: 2px; }"
        "QLineEdit:read-only { background: black; }"
        "QPushButton { background: #444444; color: white; border: 1px solid #888888; }"
        "QPushButton:hover { background: #555555; } QPushButton:disabled { color: #888888; background: #222222; }"
        "QComboBox { background: #222222; color: white; border: 1px solid #444444; padding-left: 3px; }"
        "QComboBox QAbstractItemView { background: #222222; color: white; selection-background-color: #FF8000; }"
        "QProgressBar { background: #222222; border: 1px solid #444444; color: white; text-align: center; }"
        "QProgressBar::chunk { background: #FF8000; }"
        "QListWidget, QPlainTextEdit { background: black; color: white; border: 1px solid #444444; }"
        "QCheckBox, QLabel { color: white; }") +
                             QLatin1String(kDarkScrollBars));
}

QGroupBox* Group(QWidget* parent, const QString& title, const QRect& geometry) {
    auto* g = new QGroupBox(title, parent);
    g->setGeometry(geometry);
    return g;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setFont(WindowFont(8, bold));
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* Field(QWidget* parent, const QRect& geometry, int maxLength) {
    auto* e = new QLineEdit(parent);
    e->setGeometry(geometry);
    e->setMaxLength(maxLength);
    return e;
}

QPushButton* Button(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* b = new QPushButton(text, parent);
    b->setGeometry(geometry);
    return b;
}

QLabel* Panel(QWidget* parent, const QString& caption, const QRect& geometry) {
    auto* p = new QLabel(caption, parent);
    p->setGeometry(geometry);
    p->setAlignment(Qt::AlignCenter);
    return p;
}

void SetPanel(QLabel& panel, const QColor& colour, bool lowered) {
    // The window's style sheet would override a palette: the panel gets its own.
    const QString sheet = QStringLiteral("QLabel { background: %1; color: black; border: 2px %2 %1; }")
                              .arg(colour.name(), lowered ? QStringLiteral("inset") : QStringLiteral("outset"));
    if (panel.styleSheet() != sheet) panel.setStyleSheet(sheet);
    panel.setProperty("lowered", lowered);
}

QColor PanelColour(const QLabel& panel) {
    const QString sheet = panel.styleSheet();
    const int at = sheet.indexOf(QStringLiteral("background: "));
    return at < 0 ? QColor() : QColor(sheet.mid(at + 12, 7));
}

void SetFittingText(QLabel& label, const QString& text, int points, bool bold) {
    QFont font = WindowFont(points, bold);
    for (double size = points; size > 5.0; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= label.width()) break;
    }
    label.setFont(font);
    label.setText(text);
}

void SyncText(QLineEdit& field, const QString& text) {
    if (field.text() != text) field.setText(text);
}

} // namespace v7300::device_ui

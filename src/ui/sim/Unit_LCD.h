#pragma once
// The simulated LCD: two white lines of 16 characters on blue, always on top.
#include <QDialog>

class QLabel;

namespace v7300 {

class TFrmLCD : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLCD(QWidget* parent = nullptr);
    // Safe to call from any thread: the text reaches the window through the event queue.
    void PostLine(int line, const QString& text);
    void PostShow();
    QString Line(int line) const;

    QLabel* Line1 = nullptr;
    QLabel* Line2 = nullptr;

public Q_SLOTS:
    void SetLine(int line, const QString& text);
    void ShowLcd();
};

} // namespace v7300

#pragma once
// The start window: picture, version and an orange progress bar while the program starts.
#include <QWidget>

#include <cstdint>

class QLabel;

namespace v7300 {

class Clock;

class TFrmStart : public QWidget {
    Q_OBJECT
public:
    // pauseMs: the pause after each progress step (333 in the program).
    TFrmStart(Clock& clock, int pauseMs, QWidget* parent = nullptr);
    // Bar width := round(p / 100 * 431); pending events are handled, then the pause.
    void Progress(int percent);
    int BarWidth() const;

    QLabel* Version = nullptr;
    QWidget* Bar = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Clock& clock_;
    int pauseMs_;
};

// The program's picture (start window, about box), drawn once.
QImage ProgramPicture(int width, int height);

} // namespace v7300

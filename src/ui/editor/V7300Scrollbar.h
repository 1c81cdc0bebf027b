#pragma once
// The drawing area's scroll bar: a grey bar with an orange 20-pixel thumb, steps
// by clicks beside the thumb, follows a dragged thumb, never takes the focus.
#include <QWidget>

#include <functional>

namespace v7300 {

class TV7300Scrollbar : public QWidget {
    Q_OBJECT
public:
    explicit TV7300Scrollbar(int direction, QWidget* parent = nullptr);

    int Min = 0;
    int Max = 5;
    int Position = 0;
    int Direction = 0; // 0 horizontal, 1 vertical
    int ThumbCenter = 0;
    int DragOrigin = -1;
    std::function<void(TV7300Scrollbar&, int)> OnScroll;

    // Takes the value when it lies within the range (and the bar has a length).
    void SetPosition(int value);
    void SetMax(int value) { Max = value; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int length() const { return Direction == 1 ? height() : width(); }
    int along(const QPointF& p) const { return Direction == 1 ? static_cast<int>(p.y()) : static_cast<int>(p.x()); }
    void notify();
};

} // namespace v7300

#pragma once
// The drawing area: shows the renderer's view image and hands every mouse,
// wheel and drop gesture to the main window.
#include <QImage>
#include <QMimeData>
#include <QWidget>

#include <functional>

namespace v7300 {

class TDrawingArea : public QWidget {
    Q_OBJECT
public:
    explicit TDrawingArea(QWidget* parent = nullptr);

    // The picture shown (the renderer's view surface); may give null.
    std::function<const QImage*()> Picture;

    std::function<void()> OnPainted;
    std::function<void(QMouseEvent*)> OnMouseDown;
    std::function<void(QMouseEvent*)> OnMouseMove;
    std::function<void(QMouseEvent*)> OnMouseUp;
    std::function<void(QMouseEvent*)> OnDoubleClick;
    std::function<bool(QWheelEvent*)> OnWheel;
    std::function<bool(const QMimeData*, QPoint)> OnDragOver; // accepted?
    std::function<void(const QMimeData*, QPoint)> OnDrop;
    std::function<void()> OnLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace v7300

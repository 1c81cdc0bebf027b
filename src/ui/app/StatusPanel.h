#pragma once
// The main window's one-panel status bar: a red dot while the document has unsaved
// changes (its name starts with "*"), a green one otherwise, the file name, a
// passing message (find) and, at the right end, the simulated time of a running
// local simulation and the zoom.
#include <QString>
#include <QWidget>

namespace v7300 {

class TStatusPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TStatusPanel(QWidget* parent);

    // Each repaints only when its text changed.
    void SetText(const QString& text);
    void SetMessage(const QString& message);
    void SetZoom(const QString& zoom);
    void SetSimulatedTime(const QString& time);
    const QString& Text() const { return text_; }
    const QString& Message() const { return message_; }
    const QString& Zoom() const { return zoom_; }
    const QString& SimulatedTime() const { return simulatedTime_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QString message_;
    QString zoom_;
    QString simulatedTime_;
};

} // namespace v7300

#pragma once
// The "Zeitverlauf" window: the timing plot of the running simulation, beside
// the main window (not modal). A thin view over TTimingPlotSession: a row of
// buttons, the lanes drawn by the plot's renderer (scrolling vertically when
// they do not fit) and a scroll bar over the time. It redraws on its own timer
// only while shown and only when the session changed.
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QTimer;

namespace v7300 {

class MessagePort;
class TFileDialogs;
class TTimingPlotSession;

class TPlotArea;

class TFrmZeitverlauf : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 200;

    TFrmZeitverlauf(TTimingPlotSession& session, TFileDialogs& dialogs, MessagePort& messages,
                    QWidget* parent = nullptr);

    // Shows the window (beside the main window the first time) and brings it to the front.
    void ShowAndRaise();
    // Draws again when the session changed since the last drawing (or always).
    void Refresh(bool always = false);

    // The commands of the buttons.
    void ExportPng();
    void ExportCsv();
    // Removes the selected lane's entry from the plot.
    void RemoveSelected();
    // The lane clicked last (its store name).
    const std::optional<std::string>& Selected() const { return selected_; }
    void Select(std::optional<std::string> storeName);
    // The picture shown now.
    const QImage& Picture() const;

    QPushButton* ZoomInButton = nullptr;
    QPushButton* ZoomOutButton = nullptr;
    QPushButton* AllButton = nullptr;
    QPushButton* FollowButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QPushButton* PngButton = nullptr;
    QPushButton* CsvButton = nullptr;
    QScrollArea* Lanes = nullptr;
    QScrollBar* TimeBar = nullptr;
    QLabel* Hint = nullptr;
    QWidget* Plot = nullptr; // the drawn lanes inside Lanes

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Del removes the selected lane.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* AddButton(const QString& caption);
    void BuildButtons();
    void OnWheel(int delta, bool zoom, bool vertical);
    void UpdateControls();

    TTimingPlotSession& session_;
    TFileDialogs& dialogs_;
    MessagePort& messages_;
    TPlotArea* area_ = nullptr;
    QTimer* timer_ = nullptr;
    std::optional<std::string> selected_;
    std::uint64_t drawnRevision_ = 0;
    int drawnWidth_ = -1;
    bool placed_ = false;
};

} // namespace v7300

#pragma once
// The drawing area's view: hands the area's mouse, wheel and drop events, the
// palette's picks and the scroll bars' moves to the Qt-free DiagramEditor, and
// shows what it says: the cursor, the scroll bars, the pop-up menus and the
// diagram, redrawn only when something changed. Also the clipboard of the menu
// "Bearbeiten" (a fragment of the project file's XML under its own MIME type,
// and the same text as plain text).
#include "model/DiagramEditor.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QAction;
class QMenu;
class QMimeData;
class QWidget;

namespace v7300 {

class TComponentPalette;
class TDrawingArea;
class TLogicRenderer;
class TV7300Scrollbar;

// The clipboard's MIME type of a diagram fragment.
inline constexpr const char* kFragmentMime = "application/x-v7300-fragment";

class TEditorView : public QObject {
    Q_OBJECT
  public:
    TEditorView(DiagramEditor& editor, TLogicRenderer& renderer, TDrawingArea* area,
                TV7300Scrollbar* horizontal, TV7300Scrollbar* vertical, TComponentPalette* palette,
                QWidget* window);

    DiagramEditor& Editor() { return editor_; }
    TDrawingArea* Area() { return area_; }

    // Replaceable for tests: shows a pop-up menu and gives the chosen entry (null: dismissed).
    std::function<QAction*(QMenu&, QPoint)> PopupExec;
    // Something the window shows besides the diagram may have changed (menus, status).
    std::function<void()> OnStateChanged;
    // A right click on a component while simulating: the host fills and shows
    // the pop-up (through ShowPopup).
    std::function<void(const std::string& component)> OnSimulationPopup;

    // The drawing area's size and the window's client height.
    void Layout(int areaWidth, int areaHeight, int clientHeight);
    // Draws now (when the rate allows) and remembers to draw later otherwise.
    void Refresh();
    // Draws when something is still to be drawn, or always while simulating.
    void RefreshIfNeeded();
    // The scroll bars follow the editor.
    void SyncBars();

    // Keys of the window (every key reaches it first); true when consumed.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool KeyUp(int key, Qt::KeyboardModifiers modifiers);

    // ---- clipboard
    void Copy();
    void Cut();
    void Paste();
    // Whether the clipboard holds a fragment (followed as it changes, also by other programs).
    bool ClipboardHasFragment() const { return clipboardHasFragment_; }

    QMenu* ComponentPopup() const { return componentPopup_; }
    QMenu* WirePopup() const { return wirePopup_; }

    // Shows a pop-up at the pointer (or through PopupExec) and runs the chosen entry.
    void ShowPopup(QMenu& menu);

  private:
    void Connect();
    void EditorChanged();
    void SyncCursor();
    void PutOnClipboard(const TDiagramFragment& fragment);
    void ClipboardChanged();

    DiagramEditor& editor_;
    TLogicRenderer& renderer_;
    TDrawingArea* area_;
    TV7300Scrollbar* hbar_;
    TV7300Scrollbar* vbar_;
    TComponentPalette* palette_;
    QWidget* window_;
    QMenu* componentPopup_ = nullptr;
    QMenu* wirePopup_ = nullptr;
    bool dirty_ = true;
    bool clipboardHasFragment_ = false;
};

} // namespace v7300

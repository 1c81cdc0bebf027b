#pragma once
// The drawing area's behaviour without a window: every mouse, wheel, key and
// drop gesture turned into operations of the document, in drawing-area pixels
// that it converts to document pixels itself (scroll offset and zoom). Besides
// the gestures of the diagram editor it keeps the selection of several
// components, the rubber band, the clipboard fragments, find, zoom and the undo
// history of content snapshots, whose position decides whether the document
// counts as modified. The window forwards its events here and draws; tests drive
// it without any window.
#include "model/DiagramFragment.h"
#include "model/EditorView.h"
#include "model/Logic.h"
#include "model/UndoHistory.h"

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace v7300 {

enum class TMouseButton { Left, Right, Middle };
enum class TEditorKey { Left, Right, Up, Down, Delete, Other };
enum class TCursorShape { Arrow, Cross, SizeHorizontal, SizeVertical };
// The pop-up menu a right click asks the view to show; Simulation: the one of
// a component while the simulation runs (PopupComponent names it).
enum class TPopupMenu { None, Component, Wire, Simulation };

class DiagramEditor {
  public:
    explicit DiagramEditor(TLogic& logic);

    TLogic& Document() { return doc_; }
    const TLogic& Document() const { return doc_; }

    // ---- what the host provides
    // Opens the parameter dialog of the component at that index (modal).
    std::function<void(int index)> OnEditParameters;
    // Toggles simulated input n (a left click on INn while simulating).
    std::function<void(int input)> OnToggleInput;
    // The action log.
    std::function<void(const std::string&)> OnLog;
    // Something the view shows changed: the diagram, the selection, the scroll
    // position, the zoom, the history or the modified state.
    std::function<void()> OnChanged;

    // The letter that opens the parameter dialog with Ctrl ('\0': none).
    char KeyLetter = 'E';

    // ---- the view
    // The drawing area's size and the window's client height, from which the
    // scroll ranges follow (the world scaled by the zoom).
    void Layout(int areaWidth, int areaHeight, int clientHeight);
    const TScrollAxis& HorizontalBar() const { return h_; }
    const TScrollAxis& VerticalBar() const { return v_; }
    // A scroll bar was moved to a position (ignored outside its range).
    void ScrollHorizontally(int position);
    void ScrollVertically(int position);
    // Document pixels hidden left of and above the drawing area, at the zoom.
    TPoint ScrollOffset() const { return offset_; }
    TPoint ToDocument(int areaX, int areaY) const;
    int AreaWidth() const { return areaWidth_; }
    int AreaHeight() const { return areaHeight_; }

    // ---- gestures (drawing-area pixels)
    // Returns the pop-up menu a right click asks for.
    TPopupMenu MouseDown(TMouseButton button, bool shift = false);
    void MouseMove(int x, int y);
    void MouseUp(TMouseButton button, int x, int y);
    void MouseLeave() { pointerInside_ = false; }
    void DoubleClick();
    // True when handled; Ctrl zooms around the pointer.
    bool Wheel(int x, int y, int delta, bool ctrl);
    bool DropAccepted(int x, int y) const;
    void Drop(const std::string& typeName, int x, int y);
    void PickPaletteEntry(const std::string& typeName) { draggedType_ = typeName; }
    void PaletteDoubleClick(const std::string& typeName);
    // A component placed at the default position (the "T" button places TXT).
    void AddComponent(const std::string& typeName);
    // True when the key was consumed.
    bool KeyDown(TEditorKey key);
    // Ctrl + key letter on release; keyCode is the upper-case letter's code.
    bool KeyUp(int keyCode, bool ctrl);
    TCursorShape Cursor() const { return cursor_; }

    // ---- pop-up menu entries
    void EditSelected();   // "Bearbeiten / Informationen"
    void DeleteSelected(); // "Löschen", without a question
    void SplitWire();      // "Teilen"

    // ---- commands of the menu "Bearbeiten"
    bool CanUndo() const;
    bool CanRedo() const;
    bool CanCopy() const;
    bool CanPaste(bool clipboardHasFragment) const;
    bool CanSelectAll() const;
    bool CanFind() const;
    void Undo();
    void Redo();
    TDiagramFragment Copy() const;
    TDiagramFragment Cut();
    // Places the fragment at the pointer when it is over the drawing area,
    // otherwise 2 grid steps right and down of the originals; selects the copies.
    void Paste(const TDiagramFragment& fragment);
    void SelectAll();
    // Selects the first component whose name holds the text (case aside) and
    // scrolls it into view; Next starts after the selection and wraps around.
    // Returns the status text: empty when found, "Nicht gefunden: <text>" otherwise.
    std::string Find(const std::string& text);
    std::string FindNext();
    // The Delete key: asks "Objekt Löschen?" once for the selected components, or
    // removes the selected wire.
    void DeleteKey();
    // Opens the parameter dialog of the component at that index; its changes are one step.
    void EditParameters(int index);

    // ---- zoom (percent)
    int ZoomPercent() const { return zoom_; }
    // Keeps the document point under the area point where it is.
    void SetZoom(int percent, int anchorX, int anchorY);
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();

    // ---- history and the modified state
    // New, Open: the history holds only the current content, which counts as saved.
    void ResetHistory();
    // Records the document's content as a step when it changed (edits made
    // outside the gestures: dialogs, the display texts, the device address).
    void Commit(std::uint64_t mergeKey = 0);
    void MarkSaved() { history_.MarkSaved(); }
    void MarkUnsaved() { history_.ForgetSaved(); }
    bool Modified() const { return history_.IsModified(); }
    const TUndoHistory& History() const { return history_; }

    // ---- interaction state (for the view and tests)
    bool ObjectDragActive() const { return objektDrag_; }
    bool NodeDragActive() const { return nodeDrag_; }
    bool RubberBandActive() const { return banding_; }
    bool IgnoreNextMouseDown() const { return ignoreNextMouseDown_; }
    const std::string& DraggedTypeName() const { return draggedType_; }
    TPoint LastPointer() const { return lastPos_; }
    const std::string& PopupComponent() const { return popupComponent_; }

  private:
    void LeftDown(bool shift);
    void StartObjectDrag(const std::string& name, bool shift);
    void DragObjects();
    void EndGesture(TMouseButton button, TPoint target);
    void Scrolled();
    void ScrollIntoView(const TLogicComponent& c);
    std::string FindFrom(std::size_t start);
    void Changed();
    void Log(const std::string& text);
    bool Editable() const { return !doc_.Simulating(); }

    TLogic& doc_;
    TUndoHistory history_;

    TScrollAxis h_, v_;
    TPoint offset_{0, 0};
    int areaWidth_ = 600;
    int areaHeight_ = 600;
    int clientHeight_ = 700;
    int zoom_ = 100;

    TPoint lastPos_{0, 0};
    bool pointerInside_ = false;
    bool objektDrag_ = false;
    TPoint dragStart_{0, 0};
    int objektIndex_ = -1;
    bool groupDrag_ = false;
    bool dragMoved_ = false;
    std::string pressedName_;
    bool nodeDrag_ = false;
    bool banding_ = false;
    std::set<std::string> bandBase_;
    bool ignoreNextMouseDown_ = false;
    std::string draggedType_;
    TCursorShape cursor_ = TCursorShape::Arrow;
    std::uint64_t mergeKey_ = 0;
    std::uint64_t nextMergeKey_ = 1;
    std::string findText_;
    std::string popupComponent_;
};

} // namespace v7300

// The gestures of the drawing area: mouse, wheel, keys, drops and the pop-up entries.
#include "model/DiagramEditor.h"

#include "core/NumberFormat.h"

#include <cstdlib>
#include <string>

namespace v7300 {
namespace {

// The number n of an instance name "IN" + n (at most ten digits), or 0.
int inputNumberOf(const std::string& name) {
    if (name.size() <= 2 || name.compare(0, 2, "IN") != 0 || name.size() - 2 > 10) return 0;
    const std::string digits = name.substr(2);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    const long long n = std::stoll(digits);
    return n <= 0x7FFFFFFF ? static_cast<int>(n) : 0;
}

int roundSteps(std::int32_t pixels) {
    return static_cast<int>(roundHalfEven(pixels / 10.0));
}

} // namespace

DiagramEditor::DiagramEditor(TLogic& logic) : doc_(logic) {
    doc_.Zoom = 1.0;
    history_.Reset(doc_.Content());
}

void DiagramEditor::Changed() {
    if (OnChanged) OnChanged();
}

void DiagramEditor::Log(const std::string& text) {
    if (OnLog) OnLog(text);
}

// ---------------------------------------------------------------- view

void DiagramEditor::Layout(int areaWidth, int areaHeight, int clientHeight) {
    areaWidth_ = areaWidth;
    areaHeight_ = areaHeight;
    clientHeight_ = clientHeight;
    const std::int64_t worldW = std::int64_t{doc_.DocSize.x} * zoom_ / 100;
    const std::int64_t worldH = std::int64_t{doc_.DocSize.y} * zoom_ / 100;
    const auto h = static_cast<int>((worldW - areaWidth + 25) / kScrollStep);
    if (h > 0) {
        h_.Max = h;
        h_.Enabled = true;
        // A bar whose range shrank below its position is moved to the end.
        if (h_.Position > h_.Max) {
            h_.Position = h_.Max;
            offset_.x = h_.Position * kScrollStep;
        }
    } else {
        offset_.x = 0;
        h_.Max = 0;
        h_.Position = 0;
        h_.Enabled = false;
    }
    const auto v = static_cast<int>((worldH - clientHeight + 75) / kScrollStep);
    if (v > 0) {
        v_.Max = v;
        v_.Enabled = true;
        if (v_.Position > v_.Max) {
            v_.Position = v_.Max;
            offset_.y = v_.Position * kScrollStep;
        }
    } else {
        offset_.y = 0;
        v_.Max = 0;
        v_.Enabled = false;
    }
}

void DiagramEditor::ScrollHorizontally(int position) {
    h_.SetPosition(position);
    offset_.x = h_.Position * kScrollStep;
    Changed();
}

void DiagramEditor::ScrollVertically(int position) {
    v_.SetPosition(position);
    offset_.y = v_.Position * kScrollStep;
    Changed();
}

void DiagramEditor::Scrolled() {
    offset_ = {h_.Position * kScrollStep, v_.Position * kScrollStep};
    Changed();
}

TPoint DiagramEditor::ToDocument(int areaX, int areaY) const {
    return {ViewToDocument(areaX, offset_.x, zoom_), ViewToDocument(areaY, offset_.y, zoom_)};
}

// ---------------------------------------------------------------- mouse

TPopupMenu DiagramEditor::MouseDown(TMouseButton button, bool shift) {
    if (ignoreNextMouseDown_) {
        ignoreNextMouseDown_ = false;
        return TPopupMenu::None;
    }
    if (button == TMouseButton::Left) {
        LeftDown(shift);
        return TPopupMenu::None;
    }
    if (button == TMouseButton::Right && !Editable()) {
        // Nothing is selected while simulating: the pop-up names its component.
        popupComponent_ = doc_.objekt_an_position(lastPos_.x, lastPos_.y);
        return popupComponent_ == "--" || popupComponent_.empty() ? TPopupMenu::None : TPopupMenu::Simulation;
    }
    if (button != TMouseButton::Right || objektDrag_) return TPopupMenu::None;
    const TVerbindung segment = doc_.get_verbindung();
    if (segment.Wire >= 0 && segment.Kind != 0) return TPopupMenu::Wire;
    const TVerknuepfer pin = doc_.verknuepfer_an_position(lastPos_.x, lastPos_.y);
    if (pin.Name != "--" && pin.IsPin()) {
        doc_.delete_verknuepfer(pin);
        Commit();
        Changed();
        return TPopupMenu::None;
    }
    const std::string name = doc_.objekt_an_position(lastPos_.x, lastPos_.y);
    if (name == "--" || name.empty()) return TPopupMenu::None;
    doc_.Select_Objekt(name);
    Changed();
    return TPopupMenu::Component;
}

void DiagramEditor::LeftDown(bool shift) {
    if (!Editable()) {
        const int n = inputNumberOf(doc_.objekt_an_position(lastPos_.x, lastPos_.y));
        if (n > 0 && OnToggleInput) OnToggleInput(n);
        return;
    }
    const TVerknuepfer pin = doc_.verknuepfer_an_position(lastPos_.x, lastPos_.y);
    const std::string name = doc_.objekt_an_position(lastPos_.x, lastPos_.y);
    if (pin.Name != "--" && pin.IsPin()) {
        doc_.DragStart = pin;
        doc_.Dragging = true;
        cursor_ = TCursorShape::Cross;
    } else if (doc_.get_objekt_id(name, false) < 0) {
        const TVerbindung segment = doc_.get_verbindung();
        if (segment.Wire >= 0 && segment.Kind != 0) {
            doc_.Select_Verbinder(segment);
            nodeDrag_ = true;
            mergeKey_ = nextMergeKey_++;
        } else {
            // An empty place: the rubber band starts here; Shift keeps what is selected.
            bandBase_ = shift ? doc_.Selection : std::set<std::string>{};
            if (!shift) doc_.Select_Objekt("");
            banding_ = true;
            doc_.RubberBand = {lastPos_.x, lastPos_.y, lastPos_.x, lastPos_.y};
        }
    } else {
        StartObjectDrag(name, shift);
    }
    Changed();
}

void DiagramEditor::StartObjectDrag(const std::string& name, bool shift) {
    pressedName_.clear();
    if (shift) {
        std::set<std::string> selection = doc_.Selection;
        if (selection.erase(name) == 0) selection.insert(name);
        const bool added = selection.count(name) != 0;
        doc_.Select_Objekte(selection);
        if (!added) return;
        doc_.SelectedObject = name;
    } else if (doc_.Selection.size() > 1 && doc_.Selection.count(name) != 0) {
        // A press on one of several selected components drags them all; a click
        // without a move selects it alone on release.
        doc_.SelectedObject = name;
        pressedName_ = name;
    } else {
        doc_.Select_Objekt(name);
    }
    objektDrag_ = true;
    dragStart_ = lastPos_;
    objektIndex_ = doc_.get_objekt_id(name, false);
    groupDrag_ = doc_.Selection.size() > 1;
    dragMoved_ = false;
    mergeKey_ = nextMergeKey_++;
}

void DiagramEditor::MouseMove(int x, int y) {
    pointerInside_ = true;
    if (doc_.AutoScroll) {
        bool scrolled = false;
        if (x < 20) scrolled |= h_.SetPosition(h_.Position - 1);
        if (x > areaWidth_ - 20) scrolled |= h_.SetPosition(h_.Position + 1);
        if (y < 20) scrolled |= v_.SetPosition(v_.Position - 1);
        if (y > areaHeight_ - 20) scrolled |= v_.SetPosition(v_.Position + 1);
        if (scrolled) Scrolled();
    }
    lastPos_ = ToDocument(x, y);
    doc_.MousePos = lastPos_;
    if (!Editable()) return;
    if (objektDrag_ && objektIndex_ >= 0) {
        DragObjects();
    } else if (banding_) {
        doc_.RubberBand.Right = lastPos_.x;
        doc_.RubberBand.Bottom = lastPos_.y;
        doc_.RubberBandShown = true;
        std::set<std::string> selection = bandBase_;
        selection.merge(doc_.ComponentsIn(doc_.RubberBand));
        doc_.Select_Objekte(selection);
        Changed();
        return;
    } else if (!doc_.Dragging) {
        if (!nodeDrag_) {
            const TVerbindung segment = doc_.get_verbindung();
            cursor_ = segment.Wire >= 0 && segment.Kind == 1   ? TCursorShape::SizeHorizontal
                      : segment.Wire >= 0 && segment.Kind == 2 ? TCursorShape::SizeVertical
                                                               : TCursorShape::Arrow;
        } else {
            doc_.move_SEL_verbindungsknoten_to(lastPos_);
            Commit(mergeKey_);
        }
    }
    // A wire being drawn follows the pointer; everything else redraws on change.
    if (doc_.Dragging || objektDrag_ || nodeDrag_) Changed();
}

void DiagramEditor::DragObjects() {
    // Whole grid cells once the pointer has gone more than 10 pixels, halves to even.
    const std::int32_t dx = lastPos_.x - dragStart_.x;
    if (std::abs(dx) > 10) {
        const int steps = roundSteps(dx);
        if (groupDrag_)
            doc_.MoveComponents(doc_.Selection, steps, 0);
        else
            doc_.verschieben(objektIndex_, steps, 0);
        dragStart_.x += steps * 10;
        dragMoved_ = true;
        Commit(mergeKey_);
    }
    const std::int32_t dy = lastPos_.y - dragStart_.y;
    if (std::abs(dy) > 10) {
        const int steps = roundSteps(dy);
        if (groupDrag_)
            doc_.MoveComponents(doc_.Selection, 0, steps);
        else
            doc_.verschieben(objektIndex_, 0, steps);
        dragStart_.y += steps * 10;
        dragMoved_ = true;
        Commit(mergeKey_);
    }
}

void DiagramEditor::MouseUp(TMouseButton button, int x, int y) {
    EndGesture(button, ToDocument(x, y));
}

void DiagramEditor::EndGesture(TMouseButton button, TPoint target) {
    if (!Editable()) return;
    if (button == TMouseButton::Left && !objektDrag_) {
        const TVerknuepfer to = doc_.verknuepfer_an_position(target.x, target.y);
        if (to.Name != "--" && to.IsPin() && doc_.Dragging) {
            const TVerknuepfer from = doc_.DragStart;
            if (from.IsInput == 0 && to.IsInput == 1)
                doc_.add_verbinder(from.Name, from.Pin, to.Pin, to.Name);
            else if (from.IsInput == 1 && to.IsInput == 0)
                doc_.add_verbinder(to.Name, to.Pin, from.Pin, from.Name);
            Commit();
        }
        // A wire released anywhere else ends as well.
        if (doc_.Dragging) {
            doc_.Dragging = false;
            cursor_ = TCursorShape::Arrow;
        }
    }
    if (objektDrag_ && !dragMoved_ && !pressedName_.empty()) doc_.Select_Objekt(pressedName_);
    banding_ = false;
    doc_.RubberBandShown = false;
    objektDrag_ = false;
    nodeDrag_ = false;
    pressedName_.clear();
    mergeKey_ = 0;
    Changed();
}

void DiagramEditor::DoubleClick() {
    const int index = doc_.get_objekt_id(doc_.get_Sel_Objekt(), false);
    if (doc_.get_Sel_Objekt().empty() || index < 0) return;
    EndGesture(TMouseButton::Left, lastPos_);
    EditParameters(index);
    ignoreNextMouseDown_ = true;
}

bool DiagramEditor::Wheel(int x, int y, int delta, bool ctrl) {
    if (x < 0 || y < 0 || x >= areaWidth_ || y >= areaHeight_ || delta == 0) return false;
    if (ctrl) {
        SetZoom(NextZoomStep(zoom_, delta > 0 ? 1 : -1), x, y);
        return true;
    }
    v_.SetPosition(v_.Position + (delta < 0 ? 1 : -1));
    offset_.y = v_.Position * kScrollStep;
    Changed();
    return true;
}

// ---------------------------------------------------------------- palette and drops

bool DiagramEditor::DropAccepted(int x, int y) const {
    const int gx = x / 10;
    if (!(gx > 5 && gx < doc_.DocSize.x / 10 - 5 && y / 10 < areaHeight_ / 10)) return false;
    if (zoom_ == 100) return true;
    // Zoomed, the place must lie inside the document as well.
    const TPoint d = ToDocument(x, y);
    return d.x / 10 < doc_.DocSize.x / 10 - 5 && d.y >= 0 && d.y / 10 < doc_.DocSize.y / 10 - 1;
}

void DiagramEditor::Drop(const std::string& typeName, int x, int y) {
    if (!DropAccepted(x, y)) return;
    const TPoint d = ToDocument(x, y);
    const std::int32_t left = zoom_ == 100 ? x / 10 + offset_.x / 10 : d.x / 10;
    const std::int32_t top = zoom_ == 100 ? y / 10 + offset_.y / 10 : d.y / 10;
    doc_.Add_objekt(typeName, "", left, top);
    draggedType_.clear();
    Commit();
    Changed();
}

void DiagramEditor::PaletteDoubleClick(const std::string& typeName) {
    AddComponent(typeName);
}

void DiagramEditor::AddComponent(const std::string& typeName) {
    doc_.Add_objekt(typeName, "", 0, 0);
    Commit();
    Changed();
}

// ---------------------------------------------------------------- keys

bool DiagramEditor::KeyDown(TEditorKey key) {
    bool consumed = true;
    switch (key) {
    case TEditorKey::Left:
        h_.SetPosition(h_.Position - 1);
        break;
    case TEditorKey::Right:
        h_.SetPosition(h_.Position + 1);
        break;
    case TEditorKey::Up:
        v_.SetPosition(v_.Position - 1);
        break;
    case TEditorKey::Down:
        v_.SetPosition(v_.Position + 1);
        break;
    case TEditorKey::Delete:
        DeleteKey();
        break;
    case TEditorKey::Other:
        consumed = false;
        break;
    }
    // Afterwards the offset is taken again from both bars.
    const TPoint offset{h_.Position * kScrollStep, v_.Position * kScrollStep};
    if (!(offset == offset_)) Scrolled();
    return consumed;
}

bool DiagramEditor::KeyUp(int keyCode, bool ctrl) {
    if (!ctrl || KeyLetter == '\0') return false;
    const char letter =
        KeyLetter >= 'a' && KeyLetter <= 'z' ? static_cast<char>(KeyLetter - 'a' + 'A') : KeyLetter;
    if (keyCode != static_cast<unsigned char>(letter)) return false;
    EditParameters(doc_.get_objekt_id(doc_.get_Sel_Objekt(), false));
    doc_.Select_Objekt("");
    Changed();
    return true;
}

// ---------------------------------------------------------------- pop-up entries

void DiagramEditor::EditSelected() {
    EditParameters(doc_.get_objekt_id(doc_.get_Sel_Objekt(), false));
}

void DiagramEditor::DeleteSelected() {
    if (doc_.get_Sel_Objekt().empty() || !Editable()) return;
    doc_.delete_sel_objekt();
    doc_.PruneSelection();
    Commit();
    Changed();
}

void DiagramEditor::SplitWire() {
    Log("Verbinder teilen");
    const TVerbindung segment = doc_.get_verbindung();
    if (segment.Wire < 0 || segment.Kind == 0 || !Editable()) return;
    doc_.SplitSegment(segment);
    Commit();
    Changed();
}

} // namespace v7300

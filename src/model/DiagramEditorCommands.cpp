// The commands of the menu "Bearbeiten", find, zoom and the undo history.
#include "model/DiagramEditor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace v7300 {
namespace {

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The step that keeps [lo + step, hi + step] inside [minimum, maximum] when it can.
std::int32_t keepInside(std::int64_t step, std::int64_t lo, std::int64_t hi, std::int64_t minimum,
                        std::int64_t maximum) {
    if (hi + step > maximum) step = maximum - hi;
    if (lo + step < minimum) step = minimum - lo;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        step, std::numeric_limits<std::int32_t>::min() / 20, std::numeric_limits<std::int32_t>::max() / 20));
}

} // namespace

// ---------------------------------------------------------------- availability

bool DiagramEditor::CanUndo() const {
    return Editable() && history_.CanUndo();
}
bool DiagramEditor::CanRedo() const {
    return Editable() && history_.CanRedo();
}
bool DiagramEditor::CanCopy() const {
    return Editable() && !doc_.SelectedNames().empty();
}
bool DiagramEditor::CanPaste(bool clipboardHasFragment) const {
    return Editable() && clipboardHasFragment && doc_.Initialised;
}
bool DiagramEditor::CanSelectAll() const {
    return Editable() && doc_.Components.Count() > 0;
}
bool DiagramEditor::CanFind() const {
    return Editable() && doc_.Components.Count() > 0;
}

// ---------------------------------------------------------------- history

void DiagramEditor::ResetHistory() {
    history_.Reset(doc_.Content());
    objektDrag_ = nodeDrag_ = banding_ = false;
    doc_.RubberBandShown = false;
    mergeKey_ = 0;
    Changed();
}

void DiagramEditor::Commit(std::uint64_t mergeKey) {
    if (history_.Record(doc_.Content(), mergeKey)) Changed();
}

void DiagramEditor::Undo() {
    if (!CanUndo()) return;
    objektDrag_ = nodeDrag_ = banding_ = false;
    doc_.RubberBandShown = false;
    doc_.SetContent(history_.Undo());
    Changed();
}

void DiagramEditor::Redo() {
    if (!CanRedo()) return;
    objektDrag_ = nodeDrag_ = banding_ = false;
    doc_.RubberBandShown = false;
    doc_.SetContent(history_.Redo());
    Changed();
}

// ---------------------------------------------------------------- clipboard

TDiagramFragment DiagramEditor::Copy() const {
    if (!Editable()) return {};
    return CopyFragment(doc_, doc_.SelectedNames());
}

TDiagramFragment DiagramEditor::Cut() {
    TDiagramFragment fragment = Copy();
    if (fragment.Empty()) return fragment;
    Log("Ausschneiden");
    for (const auto& c : fragment.Components)
        doc_.delete_(c.Name);
    doc_.Select_Objekt("");
    Commit();
    Changed();
    return fragment;
}

void DiagramEditor::Paste(const TDiagramFragment& fragment) {
    if (!Editable() || fragment.Empty()) return;
    Log("Einfügen");
    const TGridBox box = FragmentBox(doc_, fragment);
    std::int64_t dx = 2;
    std::int64_t dy = 2;
    if (pointerInside_) {
        dx = std::int64_t{lastPos_.x / 10} - box.Left;
        dy = std::int64_t{lastPos_.y / 10} - box.Top;
    }
    // The copies stay inside the document, as a dragged component does.
    const std::int32_t sx = keepInside(dx, box.Left, box.Right, 1, doc_.DocSize.x / 10 - 1);
    const std::int32_t sy = keepInside(dy, box.Top, box.Bottom, 1, doc_.DocSize.y / 10);
    const std::vector<std::string> names = PasteFragment(doc_, fragment, sx, sy);
    if (names.empty()) return;
    doc_.Select_Objekte({names.begin(), names.end()});
    Commit();
    Changed();
}

void DiagramEditor::SelectAll() {
    if (!Editable()) return;
    std::set<std::string> all;
    for (const auto& c : doc_.Components)
        all.insert(c.Name);
    doc_.Select_Objekte(all);
    Changed();
}

// ---------------------------------------------------------------- delete and parameters

void DiagramEditor::DeleteKey() {
    Log("DeleteObjekt");
    if (!Editable()) return;
    const std::set<std::string> names = doc_.SelectedNames();
    if (names.empty()) {
        if (doc_.SelectedWire >= 0 && doc_.SelectedWire < doc_.Wires.Count()) {
            doc_.delete_Sel_Verbindung();
            doc_.SelectedWire = -1;
            Commit();
        }
        Changed();
        return;
    }
    if (doc_.Messages.show({"Löschen", "Objekt Löschen?", MsgIcon::Question, MbYes | MbNo, MbNo}) != MbYes)
        return;
    for (const auto& name : names)
        doc_.delete_(name);
    doc_.PruneSelection();
    Commit();
    Changed();
}

void DiagramEditor::EditParameters(int index) {
    if (!Editable() || index < 0 || index >= doc_.Components.Count()) return;
    if (OnEditParameters) OnEditParameters(index);
    Commit();
    Changed();
}

// ---------------------------------------------------------------- find

std::string DiagramEditor::Find(const std::string& text) {
    findText_ = text;
    return FindFrom(0);
}

std::string DiagramEditor::FindNext() {
    if (findText_.empty()) return {};
    const int current = doc_.get_Sel_Objekt().empty() ? -1 : doc_.get_objekt_id(doc_.get_Sel_Objekt(), false);
    return FindFrom(static_cast<std::size_t>(current + 1));
}

std::string DiagramEditor::FindFrom(std::size_t start) {
    const std::string wanted = lowerAscii(findText_);
    const auto count = static_cast<std::size_t>(doc_.Components.Count());
    for (std::size_t k = 0; k < count && Editable(); ++k) {
        const TLogicComponent& c =
            std::as_const(doc_.Components).Items(static_cast<int>((start + k) % count));
        if (lowerAscii(c.Name).find(wanted) == std::string::npos) continue;
        doc_.Select_Objekt(c.Name);
        ScrollIntoView(c);
        Changed();
        return {};
    }
    return "Nicht gefunden: " + findText_;
}

void DiagramEditor::ScrollIntoView(const TLogicComponent& c) {
    // The name is written above the component; a margin keeps it in view.
    const std::int64_t left = (std::int64_t{c.Left} * 10 - 20) * zoom_ / 100;
    const std::int64_t top = (std::int64_t{c.Top} * 10 - 30) * zoom_ / 100;
    const std::int64_t right = (std::int64_t{c.Left} + c.Width) * 10 * zoom_ / 100 + 20;
    const std::int64_t bottom = (std::int64_t{c.Top} + c.Height) * 10 * zoom_ / 100 + 20;
    auto place = [](TScrollAxis& axis, std::int64_t from, std::int64_t to, int offset, int length) {
        if (from >= offset && to <= offset + length) return;
        const std::int64_t wanted = std::max<std::int64_t>(from, 0) / kScrollStep;
        axis.Position = static_cast<int>(std::clamp<std::int64_t>(wanted, 0, axis.Max));
    };
    place(h_, left, right, offset_.x, areaWidth_);
    place(v_, top, bottom, offset_.y, areaHeight_);
    offset_ = {h_.Position * kScrollStep, v_.Position * kScrollStep};
}

// ---------------------------------------------------------------- zoom

void DiagramEditor::SetZoom(int percent, int anchorX, int anchorY) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_) return;
    const TPoint anchor = ToDocument(anchorX, anchorY);
    zoom_ = percent;
    doc_.Zoom = percent / 100.0;
    Layout(areaWidth_, areaHeight_, clientHeight_);
    // The document point under the anchor stays there, to the scroll step.
    auto place = [&](TScrollAxis& axis, std::int32_t doc, int area) {
        if (!axis.Enabled) return;
        const double wanted = (std::int64_t{doc} * percent / 100.0 - area) / kScrollStep;
        axis.Position = static_cast<int>(std::clamp<std::int64_t>(std::llround(wanted), 0, axis.Max));
    };
    place(h_, anchor.x, anchorX);
    place(v_, anchor.y, anchorY);
    offset_ = {h_.Enabled ? h_.Position * kScrollStep : 0, v_.Enabled ? v_.Position * kScrollStep : 0};
    lastPos_ = ToDocument(anchorX, anchorY);
    Changed();
}

void DiagramEditor::ZoomIn() {
    SetZoom(NextZoomStep(zoom_, 1), areaWidth_ / 2, areaHeight_ / 2);
}
void DiagramEditor::ZoomOut() {
    SetZoom(NextZoomStep(zoom_, -1), areaWidth_ / 2, areaHeight_ / 2);
}
void DiagramEditor::ZoomReset() {
    SetZoom(100, areaWidth_ / 2, areaHeight_ / 2);
}

} // namespace v7300

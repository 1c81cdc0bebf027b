#include "ui/editor/EditorView.h"

#include "core/Error.h"
#include "model/LogicRenderer.h"
#include "project/XmlProject.h"
#include "ui/dialogs/UnitError.h"
#include "ui/editor/ComponentPalette.h"
#include "ui/editor/DrawingArea.h"
#include "ui/editor/V7300Scrollbar.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QWheelEvent>

namespace v7300 {
namespace {

TMouseButton buttonOf(Qt::MouseButton b) {
    return b == Qt::LeftButton    ? TMouseButton::Left
           : b == Qt::RightButton ? TMouseButton::Right
                                  : TMouseButton::Middle;
}

Qt::CursorShape shapeOf(TCursorShape c) {
    switch (c) {
    case TCursorShape::Cross:
        return Qt::CrossCursor;
    case TCursorShape::SizeHorizontal:
        return Qt::SizeHorCursor;
    case TCursorShape::SizeVertical:
        return Qt::SizeVerCursor;
    case TCursorShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

TEditorView::TEditorView(DiagramEditor& editor, TLogicRenderer& renderer, TDrawingArea* area,
                         TV7300Scrollbar* horizontal, TV7300Scrollbar* vertical, TComponentPalette* palette,
                         QWidget* window)
    : QObject(window), editor_(editor), renderer_(renderer), area_(area), hbar_(horizontal), vbar_(vertical),
      palette_(palette), window_(window) {
    componentPopup_ = new QMenu(window);
    componentPopup_->addAction(QStringLiteral("Bearbeiten / Informationen"), this,
                               [this] { Guarded(this, [this] { editor_.EditSelected(); }); });
    componentPopup_->addAction(QStringLiteral("Löschen"), this,
                               [this] { Guarded(this, [this] { editor_.DeleteSelected(); }); });
    wirePopup_ = new QMenu(window);
    wirePopup_->addAction(QStringLiteral("Teilen"), this,
                          [this] { Guarded(this, [this] { editor_.SplitWire(); }); });
    Connect();
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ClipboardChanged(); });
    ClipboardChanged();
}

void TEditorView::Connect() {
    editor_.OnChanged = [this] { EditorChanged(); };
    area_->OnMouseDown = [this](QMouseEvent* e) {
        const TPopupMenu popup =
            editor_.MouseDown(buttonOf(e->button()), e->modifiers().testFlag(Qt::ShiftModifier));
        SyncCursor();
        if (popup == TPopupMenu::Wire) ShowPopup(*wirePopup_);
        if (popup == TPopupMenu::Component) ShowPopup(*componentPopup_);
        if (popup == TPopupMenu::Simulation && OnSimulationPopup) OnSimulationPopup(editor_.PopupComponent());
    };
    area_->OnMouseMove = [this](QMouseEvent* e) {
        editor_.MouseMove(static_cast<int>(e->position().x()), static_cast<int>(e->position().y()));
        SyncCursor();
    };
    area_->OnMouseUp = [this](QMouseEvent* e) {
        editor_.MouseUp(buttonOf(e->button()), static_cast<int>(e->position().x()),
                        static_cast<int>(e->position().y()));
        SyncCursor();
    };
    area_->OnDoubleClick = [this](QMouseEvent*) { editor_.DoubleClick(); };
    area_->OnWheel = [this](QWheelEvent* e) {
        const QPoint p = e->position().toPoint();
        return editor_.Wheel(p.x(), p.y(), e->angleDelta().y(), e->modifiers().testFlag(Qt::ControlModifier));
    };
    area_->OnDragOver = [this](const QMimeData*, QPoint p) { return editor_.DropAccepted(p.x(), p.y()); };
    area_->OnDrop = [this](const QMimeData* mime, QPoint p) {
        std::string type = editor_.DraggedTypeName();
        if (mime && mime->hasFormat(kPaletteMime)) type = mime->data(kPaletteMime).toStdString();
        if (!type.empty()) editor_.Drop(type, p.x(), p.y());
    };
    area_->OnLeave = [this] { editor_.MouseLeave(); };
    palette_->OnPick = [this](const std::string& name) { editor_.PickPaletteEntry(name); };
    palette_->OnDoubleClick = [this](const std::string& name) { editor_.PaletteDoubleClick(name); };
    hbar_->OnScroll = [this](TV7300Scrollbar& bar, int) { editor_.ScrollHorizontally(bar.Position); };
    vbar_->OnScroll = [this](TV7300Scrollbar& bar, int) { editor_.ScrollVertically(bar.Position); };
}

void TEditorView::EditorChanged() {
    SyncBars();
    Refresh();
    if (OnStateChanged) OnStateChanged();
}

void TEditorView::SyncCursor() {
    const Qt::CursorShape shape = shapeOf(editor_.Cursor());
    if (area_->cursor().shape() != shape) area_->setCursor(shape);
}

void TEditorView::SyncBars() {
    auto sync = [](TV7300Scrollbar* bar, const TScrollAxis& axis) {
        if (bar->Max != axis.Max) bar->SetMax(axis.Max);
        if (bar->isEnabled() != axis.Enabled) bar->setEnabled(axis.Enabled);
        if (bar->Position != axis.Position) {
            bar->SetPosition(axis.Position);
            // A bar without length takes no position; the editor's counts.
            bar->Position = axis.Position;
        }
    };
    sync(hbar_, editor_.HorizontalBar());
    sync(vbar_, editor_.VerticalBar());
}

void TEditorView::Layout(int areaWidth, int areaHeight, int clientHeight) {
    const TPoint offset = editor_.ScrollOffset();
    const TScrollAxis h = editor_.HorizontalBar();
    const TScrollAxis v = editor_.VerticalBar();
    editor_.Layout(areaWidth, areaHeight, clientHeight);
    const bool changed = !(offset == editor_.ScrollOffset()) || h.Max != editor_.HorizontalBar().Max ||
                         v.Max != editor_.VerticalBar().Max || h.Enabled != editor_.HorizontalBar().Enabled ||
                         v.Enabled != editor_.VerticalBar().Enabled;
    SyncBars();
    if (changed) Refresh();
}

void TEditorView::Refresh() {
    dirty_ = true;
    TLogic& doc = editor_.Document();
    doc.ScrollOffset = editor_.ScrollOffset();
    if (renderer_.RePaint()) {
        dirty_ = false;
        area_->update();
    }
}

void TEditorView::RefreshIfNeeded() {
    if (dirty_ || editor_.Document().Simulating()) Refresh();
}

void TEditorView::ShowPopup(QMenu& menu) {
    QAction* chosen = PopupExec ? PopupExec(menu, QCursor::pos()) : menu.exec(QCursor::pos());
    // The pop-up's own connection runs the action when the menu is shown for real;
    // a replaced pop-up hands the choice back and it is triggered here.
    if (PopupExec && chosen) chosen->trigger();
}

bool TEditorView::KeyDown(int key, Qt::KeyboardModifiers) {
    switch (key) {
    case Qt::Key_Left:
        return editor_.KeyDown(TEditorKey::Left);
    case Qt::Key_Right:
        return editor_.KeyDown(TEditorKey::Right);
    case Qt::Key_Up:
        return editor_.KeyDown(TEditorKey::Up);
    case Qt::Key_Down:
        return editor_.KeyDown(TEditorKey::Down);
    case Qt::Key_Delete:
        return editor_.KeyDown(TEditorKey::Delete);
    default:
        return editor_.KeyDown(TEditorKey::Other);
    }
}

bool TEditorView::KeyUp(int key, Qt::KeyboardModifiers modifiers) {
    return editor_.KeyUp(key, modifiers.testFlag(Qt::ControlModifier));
}

// ---------------------------------------------------------------- clipboard

void TEditorView::PutOnClipboard(const TDiagramFragment& fragment) {
    if (fragment.Empty()) return;
    const QByteArray xml = QByteArray::fromStdString(BuildFragmentXml(fragment));
    auto* mime = new QMimeData;
    mime->setData(kFragmentMime, xml);
    mime->setText(QString::fromUtf8(xml));
    QApplication::clipboard()->setMimeData(mime);
}

void TEditorView::Copy() {
    PutOnClipboard(editor_.Copy());
}

void TEditorView::Cut() {
    PutOnClipboard(editor_.Cut());
}

void TEditorView::ClipboardChanged() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const bool has =
        mime != nullptr && (mime->hasFormat(kFragmentMime) ||
                            (mime->hasText() && LooksLikeFragmentXml(mime->text().toStdString())));
    if (has == clipboardHasFragment_) return;
    clipboardHasFragment_ = has;
    if (OnStateChanged) OnStateChanged();
}

void TEditorView::Paste() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (mime == nullptr) return;
    const std::string text =
        mime->hasFormat(kFragmentMime) ? mime->data(kFragmentMime).toStdString() : mime->text().toStdString();
    if (text.empty()) return;
    TDiagramFragment fragment;
    try {
        fragment = ReadFragmentXml(text);
    } catch (const Error& e) {
        // Refused with the project reader's message; the document stays as it is.
        editor_.Document().Messages.showError(e.what());
        return;
    }
    editor_.Paste(fragment);
}

} // namespace v7300

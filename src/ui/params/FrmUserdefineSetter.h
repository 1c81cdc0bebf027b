#pragma once
// The base of the component parameter dialogs. Shown by itself for a type that
// has no dialog of its own ("Das sollte man niemals sehen!!!!"); the dialogs of
// the family derive from it and get the frameless window of their size, the
// orange title bar " Baustein - Editieren" that moves the window, the red "OK"
// panel and the background picture of their type.
#include "core/MessagePort.h"
#include "model/LogicComponent.h"
#include "model/LogicComponentLibrary.h"
#include "model/ParamFamily.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

namespace v7300::params {

// The controls keep the places and sizes of the family table: where the
// platform's font needs more width than the control has, the control's text
// is set condensed.
void CondenseToFit(QWidget& widget, int width);
// Check boxes and radio buttons on the black background: an outline and a
// dark face, so that an unchecked one can be seen.
void ShowIndicator(QWidget& button);

class TFrmUserdefineSetter : public QDialog {
    Q_OBJECT
public:
    // The fallback box.
    explicit TFrmUserdefineSetter(QWidget* parent = nullptr);
    virtual void StartParamSet(TLogicComponentList& components, int index);
    virtual void EndParamSet(TLogicComponentList& components, int index);

    // What the dialogs need besides the component: the box for SetValueInt's
    // warning and the library (pictures of OUT and IN).
    void SetMessagePort(MessagePort* messages) { messages_ = messages; }
    void SetLibrary(const TLogicComponentLibrary* library) { library_ = library; }
    // The folder of the dialogs' background pictures (beside the program by default).
    static void SetPictureFolder(const QString& folder);
    static QString PictureFolder();

    // Shared handlers.
    void panelOKClick() { accept(); }
    void lblDoNotShowClick() { accept(); }

    // The fallback view.
    QWidget* ErrorPanel = nullptr;
    QLabel* Header = nullptr;
    QLabel* PanelOK = nullptr;
    QLabel* Label = nullptr;
    // The family's title bar, its "OK" panel and the background picture.
    QWidget* panelMoveForm = nullptr;
    QLabel* panelOK = nullptr;
    QLabel* Image1 = nullptr;

protected:
    // A dialog of the family after its table entry.
    TFrmUserdefineSetter(const TParamDialogSpec& spec, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Typed keys other than the digits, "-" and Backspace are dropped (pasting is not filtered).
    void editMaxKeyPress(QLineEdit& edit);
    // A label of the dialog itself beside a control, as the table places it.
    QLabel* AddLabel(const TParamControl& control);
    MessagePort& Messages();
    const TLogicComponentLibrary* Library() const { return library_; }
    const TParamDialogSpec* Spec = nullptr;

private:
    void panelMoveFormMouseDown(const QPoint& globalPos);
    QPoint dragFrom_;
    MessagePort* messages_ = nullptr;
    const TLogicComponentLibrary* library_ = nullptr;
};

} // namespace v7300::params

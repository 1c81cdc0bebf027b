#pragma once
// "Anzeige Texte": the selectable outputs on the left, the six display pages
// with their eight slots on the right. A thin view over TShownItemsEditor, which
// changes the document's pages in place.
#include "model/Logic.h"
#include "model/ShownItemsEditor.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

namespace v7300::params {

class TFrmShownItems final : public QDialog {
    Q_OBJECT
public:
    TFrmShownItems(TLogic& logic, QWidget* parent = nullptr);

    // The controls of the page of the chosen tab.
    struct TSlotRow {
        QPushButton* Icon = nullptr;
        QLineEdit* Text = nullptr;
        QPushButton* TextButton = nullptr;
        QLabel* Info = nullptr;
    };
    QListWidget* lbOutputs = nullptr;
    QTabWidget* Pages = nullptr;
    QLineEdit* editPageName = nullptr;
    QPushButton* btnPageName = nullptr;
    std::array<TSlotRow, 8> Slots;
    QPushButton* btnOK = nullptr;

    TShownItemsEditor& Editor() { return editor_; }
    // Shows the editor's state: page name, slots, enabled fields.
    void Refresh();
    // Ends the editing of a field that is still open, as leaving it would.
    void CommitEdits();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildPage();
    void ChooseTab(int tab);

    TShownItemsEditor editor_;
    QWidget* page_ = nullptr;
};

// EditShownItems: the dialog over the document's pages, shown modally. Returns
// whether the pages differ afterwards (closing with the close box keeps the changes).
// Tests replace the modal run with Show.
bool EditShownItems(TLogic& logic, QWidget* parent, const std::function<void(TFrmShownItems&)>& show = {});

} // namespace v7300::params

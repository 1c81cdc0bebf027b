#pragma once
// "OUTPUT konfigurieren": the output number among the free ones, the label, the
// symbol, and text and colour for the inactive and the active state, with both
// previews drawn as the diagram draws the symbol.
#include "model/ParamSpecial.h"
#include "ui/params/FrmUserdefineSetter.h"

#include <QColor>

#include <functional>
#include <optional>

class QComboBox;
class QPushButton;

namespace v7300::params {

class TFrmOUT final : public TFrmUserdefineSetter {
    Q_OBJECT
public:
    explicit TFrmOUT(QWidget* parent = nullptr);
    void StartParamSet(TLogicComponentList& components, int index) override;
    void EndParamSet(TLogicComponentList& components, int index) override;

    // The colour chooser; the default opens the toolkit's colour dialog.
    std::function<std::optional<QColor>(const QColor& current)> ChooseColour;

    QComboBox* cbOutputID = nullptr;
    QLineEdit* editBeschriftung = nullptr;
    QComboBox* cbType = nullptr;
    QLabel* img1 = nullptr;
    QLabel* img2 = nullptr;
    QLineEdit* editTXT1 = nullptr;
    QLineEdit* editTXT2 = nullptr;
    QPushButton* pCOL1 = nullptr;
    QPushButton* pCOL2 = nullptr;

    void pCOLClick(QPushButton* button);
    void DrawPreview(int which); // 1, 2, or 0 for both

private:
    TOutParams Params() const;
    std::int32_t ColourOf(const QPushButton* button) const;
    void SetColour(QPushButton* button, std::int32_t colour);
    std::vector<int> free_;
};

} // namespace v7300::params

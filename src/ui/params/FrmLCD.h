#pragma once
// "LCD - Ausgabe": the two display lines, what is shown, its row and column, and
// a preview of the display that a 100 ms timer refreshes.
#include "model/ParamSpecial.h"
#include "ui/params/FrmUserdefineSetter.h"

class QComboBox;
class QTimer;

namespace v7300::params {

class TFrmLCD final : public TFrmUserdefineSetter {
    Q_OBJECT
public:
    explicit TFrmLCD(QWidget* parent = nullptr);
    void StartParamSet(TLogicComponentList& components, int index) override;
    void EndParamSet(TLogicComponentList& components, int index) override;
    // The timer's work, also called by tests.
    void RefreshPreview();

    QLineEdit* editZeile1 = nullptr;
    QLineEdit* editZeile2 = nullptr;
    QComboBox* cbType = nullptr;
    QComboBox* cbZeile = nullptr;
    QComboBox* cbSpalte = nullptr;
    QWidget* panelPreview = nullptr;
    QLabel* lblZeile1 = nullptr;
    QLabel* lblZeile2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TLcdParams Params() const;
    QTimer* timer_ = nullptr;
};

} // namespace v7300::params

#pragma once
// "Input konfigurieren": label, hardware input, and the two radio groups that a
// 100 ms timer keeps consistent with the input, with the picture of the chosen kind.
#include "model/ParamSpecial.h"
#include "ui/params/FrmUserdefineSetter.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QTimer;

namespace v7300::params {

class TFrmIN final : public TFrmUserdefineSetter {
    Q_OBJECT
public:
    explicit TFrmIN(QWidget* parent = nullptr);
    void StartParamSet(TLogicComponentList& components, int index) override;
    void EndParamSet(TLogicComponentList& components, int index) override;
    // The timer's work, also called by tests.
    void Tick();

    QLineEdit* editBezeichnung = nullptr;
    QComboBox* cbHardwareInput = nullptr;
    QGroupBox* rgInputType = nullptr;
    QGroupBox* rgDigitalType = nullptr;
    QButtonGroup* InputTypes = nullptr;
    QButtonGroup* DigitalTypes = nullptr;
    QLabel* imgInputType = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TInParams Params() const;
    void LoadPicture(int picture);
    TInGroups groups_;
    QTimer* timer_ = nullptr;
};

} // namespace v7300::params

#pragma once
// The base of the component parameter dialogs; shown by itself for a type that
// has no dialog of its own ("Das sollte man niemals sehen!!!!").
#include "model/LogicComponent.h"

#include <QDialog>

class QLabel;

namespace v7300 {

class TFrmUserdefineSetter : public QDialog {
    Q_OBJECT
public:
    explicit TFrmUserdefineSetter(QWidget* parent = nullptr);
    virtual void StartParamSet(TLogicComponentList& components, int index);
    virtual void EndParamSet(TLogicComponentList& components, int index);

    QWidget* ErrorPanel = nullptr;
    QLabel* Header = nullptr;
    QLabel* PanelOK = nullptr;
    QLabel* Label = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint dragFrom_;
};

} // namespace v7300

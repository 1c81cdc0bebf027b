#pragma once
// The dialogs whose controls come straight from the family table: the gates
// (picture only), NUM, TIMER, COUNT, ROLLO, VALUE, ASWITCH, SCHWELLE, BOOL,
// CALC, WEEKTIMER, TXT and the bus modules. Each control shows and stores one
// variable with the rules of ParamFields.h.
#include "ui/params/FrmUserdefineSetter.h"

#include <map>
#include <string>
#include <vector>

class QButtonGroup;

namespace v7300::params {

class TFrmFieldDialog : public TFrmUserdefineSetter {
    Q_OBJECT
public:
    TFrmFieldDialog(const std::string& typeName, QWidget* parent);
    // Raises ConversionError when a time cannot be shown (the dialog does not open).
    void StartParamSet(TLogicComponentList& components, int index) override;
    // Raises TFieldError at a numeric field that holds no number; what was
    // written before it stays.
    void EndParamSet(TLogicComponentList& components, int index) override;

    // The control of the table by name ("editValue", "cbMO", "rgCAL" …).
    QWidget* Control(const std::string& name) const;
    // The controls' values in table order (see ReadFieldValues) and back.
    std::vector<std::string> Values() const;
    void SetValues(const std::vector<std::string>& values);

private:
    std::map<std::string, QWidget*> controls_;
    std::map<std::string, QButtonGroup*> groups_;
};

// One class per type, as the dialog class names of the catalogue say.
#define V7300_FIELD_DIALOG(CLASS, TYPE)                                                                    \
    class CLASS final : public TFrmFieldDialog {                                                           \
    public:                                                                                                \
        explicit CLASS(QWidget* parent = nullptr) : TFrmFieldDialog(TYPE, parent) {}                       \
    };
V7300_FIELD_DIALOG(TFrmAND, "AND")
V7300_FIELD_DIALOG(TFrmNAND, "NAND")
V7300_FIELD_DIALOG(TFrmOR, "OR")
V7300_FIELD_DIALOG(TFrmNOR, "NOR")
V7300_FIELD_DIALOG(TFrmXOR, "XOR")
V7300_FIELD_DIALOG(TFrmINV, "INV")
V7300_FIELD_DIALOG(TFrmBI, "BI")
V7300_FIELD_DIALOG(TFrmTAKT, "TAKT")
V7300_FIELD_DIALOG(TFrmFF, "FF")
V7300_FIELD_DIALOG(TFrmRELAY, "RELAY")
V7300_FIELD_DIALOG(TFrmNUM, "NUM")
V7300_FIELD_DIALOG(TFrmTIMER, "TIMER")
V7300_FIELD_DIALOG(TFrmCOUNT, "COUNT")
V7300_FIELD_DIALOG(TFrmROLLO, "ROLLO")
V7300_FIELD_DIALOG(TFrmCALC, "CALC")
V7300_FIELD_DIALOG(TFrmVALUE, "VALUE")
V7300_FIELD_DIALOG(TFrmASWITCH, "ASWITCH")
V7300_FIELD_DIALOG(TFrmSCHWELLE, "SCHWELLE")
V7300_FIELD_DIALOG(TFrmBOOL, "BOOL")
V7300_FIELD_DIALOG(TFrmWEEKTIMER, "WEEKTIMER")
V7300_FIELD_DIALOG(TFrmTXT, "TXT")
V7300_FIELD_DIALOG(TFrmBUSIN2, "BUS-IN-II")
V7300_FIELD_DIALOG(TFrmBUSIN8, "BUS-IN-VIII")
V7300_FIELD_DIALOG(TFrmBUSOUT2, "BUS-OUT-II")
V7300_FIELD_DIALOG(TFrmBUSOUT4, "BUS-OUT-IV")
V7300_FIELD_DIALOG(TFrmBUSOUT8, "BUS-OUT-VIII")
V7300_FIELD_DIALOG(TFrmBUSTEMP2, "BUS-TEMP-II")
V7300_FIELD_DIALOG(TFrmBUSTEMP4, "BUS-TEMP-IV")
V7300_FIELD_DIALOG(TFrmBUSPWM, "BUS-PWM-II")
#undef V7300_FIELD_DIALOG

} // namespace v7300::params

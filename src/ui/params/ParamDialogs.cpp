#include "ui/params/ParamDialogs.h"

#include "core/Error.h"
#include "ui/params/FrmFields.h"
#include "ui/params/FrmIN.h"
#include "ui/params/FrmLCD.h"
#include "ui/params/FrmOUT.h"

#include <map>

namespace v7300::params {
namespace {

template <class T> std::unique_ptr<TFrmUserdefineSetter> make(QWidget* parent) { return std::make_unique<T>(parent); }

using Factory = std::unique_ptr<TFrmUserdefineSetter> (*)(QWidget*);

const std::map<std::string, Factory>& factories() {
    static const std::map<std::string, Factory> table = {
        {"AND", make<TFrmAND>},           {"NAND", make<TFrmNAND>},
        {"OR", make<TFrmOR>},             {"NOR", make<TFrmNOR>},
        {"XOR", make<TFrmXOR>},           {"INV", make<TFrmINV>},
        {"BI", make<TFrmBI>},             {"TAKT", make<TFrmTAKT>},
        {"FF", make<TFrmFF>},             {"RELAY", make<TFrmRELAY>},
        {"NUM", make<TFrmNUM>},           {"TIMER", make<TFrmTIMER>},
        {"COUNT", make<TFrmCOUNT>},       {"ROLLO", make<TFrmROLLO>},
        {"CALC", make<TFrmCALC>},         {"VALUE", make<TFrmVALUE>},
        {"ASWITCH", make<TFrmASWITCH>},   {"SCHWELLE", make<TFrmSCHWELLE>},
        {"BOOL", make<TFrmBOOL>},         {"WEEKTIMER", make<TFrmWEEKTIMER>},
        {"IN", make<TFrmIN>},             {"OUT", make<TFrmOUT>},
        {"LCD", make<TFrmLCD>},           {"TXT", make<TFrmTXT>},
        {"BUS-IN-II", make<TFrmBUSIN2>},  {"BUS-IN-VIII", make<TFrmBUSIN8>},
        {"BUS-OUT-II", make<TFrmBUSOUT2>}, {"BUS-OUT-IV", make<TFrmBUSOUT4>},
        {"BUS-OUT-VIII", make<TFrmBUSOUT8>}, {"BUS-TEMP-II", make<TFrmBUSTEMP2>},
        {"BUS-TEMP-IV", make<TFrmBUSTEMP4>}, {"BUS-PWM-II", make<TFrmBUSPWM>},
    };
    return table;
}

} // namespace

bool SameValues(const TLogicComponentDefineList& a, const TLogicComponentDefineList& b) {
    if (a.Count() != b.Count()) return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.Items(i).Name() != b.Items(i).Name() || a.Items(i).GetValue() != b.Items(i).GetValue()) return false;
    return true;
}

std::unique_ptr<TFrmUserdefineSetter> CreateParamDialog(const std::string& typeName, QWidget* parent) {
    const auto it = factories().find(typeName);
    if (it == factories().end()) return std::make_unique<TFrmUserdefineSetter>(parent);
    return it->second(parent);
}

bool Set_Objekt_Vars(TLogic& logic, int index, QWidget* parent, MessagePort& messages,
                     const std::function<bool(TFrmUserdefineSetter&)>& show) {
    if (logic.Simulating()) return false;
    if (index < 0 || index >= logic.Components.Count()) return false;
    const TLogicComponentDefineList before = logic.Components.Items(index).Variables;
    const std::unique_ptr<TFrmUserdefineSetter> dialog =
        CreateParamDialog(logic.Components.Items(index).TypeName, parent);
    dialog->SetMessagePort(&messages);
    dialog->SetLibrary(&logic.Library);
    try {
        dialog->StartParamSet(logic.Components, index);
    } catch (const ConversionError& e) {
        messages.showError(e.what());
        return false;
    }
    if (parent) {
        const QRect frame = parent->window()->frameGeometry();
        dialog->move(frame.center() - dialog->rect().center());
    }
    const bool confirmed = show ? show(*dialog) : dialog->exec() == QDialog::Accepted;
    if (!confirmed) return false;
    try {
        dialog->EndParamSet(logic.Components, index);
    } catch (const ConversionError& e) {
        messages.showError(e.what());
    }
    TLogicComponentDefineList& after = logic.Components.Items(index).Variables;
    if (SameValues(after, before)) {
        after = before; // "10 " read and written back as "10" is no change: the document stays as it was
        return false;
    }
    return true;
}

} // namespace v7300::params

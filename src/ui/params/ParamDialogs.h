#pragma once
// Opening a component's parameter dialog: the class chosen by the type name
// (the fallback box for a type without a dialog of its own), filled, shown
// modally, and read back when it was confirmed.
#include "model/Logic.h"
#include "ui/params/FrmUserdefineSetter.h"

#include <functional>
#include <memory>
#include <string>

namespace v7300::params {

// The dialog of a type; the base dialog (the fallback box) for a type without one.
std::unique_ptr<TFrmUserdefineSetter> CreateParamDialog(const std::string& typeName, QWidget* parent);

// Whether two variable lists read the same (blanks the file kept around a
// number do not count).
bool SameValues(const TLogicComponentDefineList& a, const TLogicComponentDefineList& b);

// Set_Objekt_Vars: nothing while the simulation runs. A time that cannot be
// shown keeps the dialog from opening, with the conversion error; a numeric
// field without a number shows the conversion error after the dialog closed
// (what was written before it stays). Returns whether a confirmed dialog
// changed any variable of the component.
// Tests replace the modal run: Show gets the filled dialog and returns whether it was confirmed.
bool Set_Objekt_Vars(TLogic& logic, int index, QWidget* parent, MessagePort& messages,
                     const std::function<bool(TFrmUserdefineSetter&)>& show = {});

} // namespace v7300::params

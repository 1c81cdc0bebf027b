#pragma once
// What the parameter dialogs read from and write into a component's variables,
// without any window: the values of a table-driven dialog's controls, the
// numeric-field rule, the week timer's times, and the same rules for one
// variable at a time (the command line's "set").
#include "core/Error.h"
#include "core/MessagePort.h"
#include "model/LogicComponent.h"
#include "model/ParamFamily.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

// A numeric field that is no integer: the conversion error, and the control it came from.
class TFieldError : public ConversionError {
public:
    TFieldError(const std::string& message, std::string controlName)
        : ConversionError(message), Control(std::move(controlName)) {}
    std::string Control;
};

// The text of a numeric field read as an integer; an empty text, "-" or any
// other non-number raises ConversionError ("'' ist kein gültiger Integerwert").
std::int32_t ReadNumberField(const std::string& text);

// A time of day as the week timer keeps it: six digits HHMMSS.
struct TTimeOfDay {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const TTimeOfDay&) const = default;
};
// Characters 1–2 hours, 3–4 minutes, 5–6 seconds; anything else raises
// ConversionError ("'…' ist keine gültige Zeit").
TTimeOfDay ParseStoredTime(const std::string& text);
// "073000" for 07:30:00.
std::string FormatStoredTime(const TTimeOfDay& time);
// "07:30:00".
std::string FormatClockTime(const TTimeOfDay& time);
// "07:30:00", "07:30" or "073000"; anything else raises ConversionError.
TTimeOfDay ParseTimeInput(const std::string& text);

// The values of a table-driven dialog's controls, in the order of the table:
// the text of an edit, "1"/"0" of a check box, the selected index of a radio
// group ("-1" for none), "HHMMSS" of a time picker; "" for a control whose
// variable the component lacks. A time that is not one raises ConversionError
// (the dialog does not open).
std::vector<std::string> ReadFieldValues(const TParamDialogSpec& dialog, const TLogicComponentDefineList& variables);

// Writes the controls' values back in table order. A numeric field that is no
// integer raises TFieldError there; what was written before it stays. A number
// outside -32768 … 32767 is stored after SetValueInt's warning.
void WriteFieldValues(const TParamDialogSpec& dialog, TLogicComponentDefineList& variables,
                      const std::vector<std::string>& values, MessagePort& messages);

// One variable set with the dialogs' rules: numbers through SetValueInt (with its
// warning), the week timer's times as HHMMSS, LCD lines padded to 16, an empty
// TXT text as "Kein Text", an OUT's "ID" only to a number no other OUT uses.
// Raises Error with the reason when the component has no such variable or the
// value is refused; nothing is changed then.
void SetParamValue(TLogicComponentList& components, int index, const std::string& variable,
                   const std::string& value, MessagePort& messages);

} // namespace v7300

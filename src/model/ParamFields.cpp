#include "model/ParamFields.h"

#include "core/NumberFormat.h"
#include "model/ParamSpecial.h"

#include <algorithm>
#include <cstdio>

namespace v7300 {
namespace {

using K = TParamControlKind;

std::optional<int> twoDigits(const std::string& text, std::size_t at) {
    if (text.size() < at + 2) return std::nullopt;
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    return (a - '0') * 10 + (b - '0');
}

TTimeOfDay checkedTime(std::optional<int> h, std::optional<int> m, std::optional<int> s, const std::string& text) {
    if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) throw ConversionError("'" + text + "' ist keine gültige Zeit");
    return {*h, *m, *s};
}

std::string writtenText(const TParamDialogSpec& dialog, const std::string& value) {
    // A label without text would vanish from the diagram.
    if (dialog.kind == TParamDialogKind::Txt && value.empty()) return "Kein Text";
    return value;
}

[[noreturn]] void refused(const std::string& value) { throw Error(formatMessage("Invalid Value : '%s'", value)); }

} // namespace

std::int32_t ReadNumberField(const std::string& text) { return toInt32(text); }

TTimeOfDay ParseStoredTime(const std::string& text) {
    if (text.size() != 6) throw ConversionError("'" + text + "' ist keine gültige Zeit");
    return checkedTime(twoDigits(text, 0), twoDigits(text, 2), twoDigits(text, 4), text);
}

std::string FormatStoredTime(const TTimeOfDay& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.Hour % 100, t.Minute % 100, t.Second % 100);
    return buf;
}

std::string FormatClockTime(const TTimeOfDay& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.Hour % 100, t.Minute % 100, t.Second % 100);
    return buf;
}

TTimeOfDay ParseTimeInput(const std::string& text) {
    if (text.size() == 8 && text[2] == ':' && text[5] == ':')
        return checkedTime(twoDigits(text, 0), twoDigits(text, 3), twoDigits(text, 6), text);
    if (text.size() == 5 && text[2] == ':') return checkedTime(twoDigits(text, 0), twoDigits(text, 3), 0, text);
    return ParseStoredTime(text);
}

std::vector<std::string> ReadFieldValues(const TParamDialogSpec& dialog, const TLogicComponentDefineList& variables) {
    std::vector<std::string> values;
    for (const auto& c : dialog.controls) {
        const TLogicComponentDefine* v = c.variable.empty() ? nullptr : variables.FindByName(c.variable);
        if (!v) {
            values.emplace_back();
            continue;
        }
        switch (c.kind) {
        case K::CheckBox: values.push_back(v->GetValue() == "1" ? "1" : "0"); break;
        case K::RadioGroup: {
            const int n = v->GetValueInt();
            values.push_back(std::to_string(n >= 0 && n < static_cast<int>(c.items.size()) ? n : -1));
            break;
        }
        case K::TimePicker: values.push_back(FormatStoredTime(ParseStoredTime(v->GetValue()))); break;
        case K::NumberEdit: values.push_back(trimBlanks(v->GetValue())); break;
        default: values.push_back(v->GetValue()); break;
        }
    }
    return values;
}

void WriteFieldValues(const TParamDialogSpec& dialog, TLogicComponentDefineList& variables,
                      const std::vector<std::string>& values, MessagePort& messages) {
    for (std::size_t i = 0; i < dialog.controls.size() && i < values.size(); ++i) {
        const TParamControl& c = dialog.controls[i];
        TLogicComponentDefine* v = c.variable.empty() ? nullptr : variables.FindByName(c.variable);
        if (!v) continue;
        const std::string& value = values[i];
        switch (c.kind) {
        case K::NumberEdit: {
            std::int32_t n = 0;
            try {
                n = ReadNumberField(value);
            } catch (const ConversionError& e) {
                throw TFieldError(e.what(), c.name);
            }
            v->SetValueInt(n, messages);
            break;
        }
        case K::CheckBox: v->SetValue(value == "1" ? "1" : "0"); break;
        case K::RadioGroup: {
            const int n = parseInt32(value).value_or(-1);
            if (n >= 0) v->SetValueInt(n, messages);
            break;
        }
        case K::TimePicker: v->SetValue(FormatStoredTime(ParseStoredTime(value))); break;
        default: v->SetValue(writtenText(dialog, value)); break;
        }
    }
}

void SetParamValue(TLogicComponentList& components, int index, const std::string& variable,
                   const std::string& value, MessagePort& messages) {
    TLogicComponent& component = components.Items(index);
    TLogicComponentDefine* v = component.Variables.FindByName(variable);
    if (!v) throw Error("Der Baustein " + component.Name + " hat keine Variable " + variable + ".");
    const TParamDialogSpec* dialog = FindParamDialog(component.TypeName);
    const TParamControl* control = nullptr;
    if (dialog)
        for (const auto& c : dialog->controls)
            if (c.variable == variable) control = &c;

    TLogicComponentDefine changed = *v;
    const std::string& type = component.TypeName;
    if (type == "OUT" && variable == "ID") {
        const int id = ReadNumberField(trimBlanks(value));
        if (id < 1 || id > 8) throw Error("Die Output-ID muss zwischen 1 und 8 liegen.");
        const auto free = FreeOutputIds(components, index);
        if (std::find(free.begin(), free.end(), id) == free.end())
            throw Error("Die Output-ID " + std::to_string(id) + " ist nicht frei.");
        changed.SetValueInt(id, messages);
    } else if (control && control->kind == K::TimePicker) {
        changed.SetValue(FormatStoredTime(ParseTimeInput(trimBlanks(value))));
    } else if (IsNumberParam(type, variable)) {
        if (!changed.SetValueInt(ReadNumberField(trimBlanks(value)), messages)) refused(value);
    } else if (type == "LCD" && (variable == "VAL1" || variable == "VAL2")) {
        if (!changed.SetValue(LcdLine(value))) refused(value);
    } else if (dialog && dialog->kind == TParamDialogKind::Txt) {
        if (!changed.SetValue(writtenText(*dialog, value))) refused(value);
    } else if (!changed.SetValue(value)) {
        refused(value);
    }
    *v = changed;
}

} // namespace v7300

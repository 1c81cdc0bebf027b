#include "model/LogicComponentDefine.h"

#include "core/Error.h"
#include "core/NumberFormat.h"

#include <array>
#include <cctype>

namespace v7300 {
namespace {

constexpr std::array<const char*, 11> kTypeNames = {"VARIANT", "BOOL",  "INT",  "FLOAT", "STRING", "LCD",
                                                    "BOOLS",   "EXEC",  "MAIL", "INTYPE", "CAL"};
constexpr std::array<const char*, 11> kKeywords = {"VARIANT", "BOOL",  "INT",  "FLOAT", "STR", "LCD",
                                                   "BOOLS",   "EXEC",  "MAIL", "INTYPE", "CAL"};

bool trimmedReadForm(TDefineType t) {
    return t == TDefineType::INT || t == TDefineType::FLOAT || t == TDefineType::INTYPE || t == TDefineType::CAL;
}

} // namespace

bool ParseDefineType(const std::string& keyword, TDefineType& out) {
    std::string upper = keyword;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        if (upper == kKeywords[i]) {
            out = static_cast<TDefineType>(i);
            return true;
        }
    }
    return false;
}

std::string DefineTypeName(int code) {
    if (code < 0 || code >= static_cast<int>(kTypeNames.size())) return "ERROR";
    return kTypeNames[static_cast<std::size_t>(code)];
}

TLogicComponentDefine TLogicComponentDefine::Create(const std::string& name, const std::string& value,
                                                    const std::string& keyword) {
    TLogicComponentDefine v;
    v.Name_ = name;
    if (!ParseDefineType(keyword, v.DefineType_)) throw Error(formatMessage("Invalid DefineType : '%s'", keyword));
    if (!v.SetValue(value)) throw Error(formatMessage("Invalid Value : '%s'", value));
    return v;
}

bool TLogicComponentDefine::SetValue(const std::string& s) {
    switch (DefineType_) {
    case TDefineType::BOOL: {
        const std::string t = trimBlanks(s);
        if (t == "0" || t == "1")
            Value_ = s;
        else
            Value_ = toBool(t) ? "1" : "0";
        return true;
    }
    case TDefineType::INT:
    case TDefineType::INTYPE:
        if (!parseInt32(trimBlanks(s))) return false;
        Value_ = s;
        return true;
    case TDefineType::FLOAT:
        if (!parseDouble(s)) return false;
        Value_ = s;
        return true;
    default:
        Value_ = s;
        return true;
    }
}

bool TLogicComponentDefine::SetValueInt(std::int32_t n, MessagePort& messages) {
    if (n < -32768 || n > 32767) {
        messages.show({"Hinweis",
                       "Der Wert \"" + std::to_string(n) +
                           "\" ist außerhalb des möglichen Bereiches!\r\nBereich: -32.768 bis 32.767",
                       MsgIcon::Warning, MbOk, MbOk});
    }
    return SetValue(std::to_string(n));
}

std::string TLogicComponentDefine::GetValue() const {
    return trimmedReadForm(DefineType_) ? trimBlanks(Value_) : Value_;
}

std::int32_t TLogicComponentDefine::GetValueInt() const { return parseInt32(GetValue()).value_or(0); }

std::string TLogicComponentDefine::GetTypeName() const { return DefineTypeName(static_cast<int>(DefineType_)); }

TLogicComponentDefine* TLogicComponentDefineList::FindByName(const std::string& name) {
    for (auto it = Items_.rbegin(); it != Items_.rend(); ++it)
        if (it->Name() == name) return &*it;
    return nullptr;
}

const TLogicComponentDefine* TLogicComponentDefineList::FindByName(const std::string& name) const {
    for (auto it = Items_.rbegin(); it != Items_.rend(); ++it)
        if (it->Name() == name) return &*it;
    return nullptr;
}

std::string DisplayForm(const TLogicComponentDefine& variable) {
    const std::string value = variable.GetValue();
    if (variable.DefineType() == TDefineType::CAL) {
        const auto n = parseInt32(value);
        if (!n) return value;
        switch (*n) {
        case 0: return "+";
        case 1: return "-";
        case 2: return "*";
        case 3: return "/";
        default: return value;
        }
    }
    if (variable.DefineType() == TDefineType::INTYPE) {
        const auto n = parseInt32(value);
        if (!n) return "???";
        switch (*n) {
        case 0: return "Digital";
        case 1: return "Analog";
        case 2: return "KTY81-110";
        case 3: return "KTY81-210";
        case 4: return "TSL250";
        case 10: return "Taster";
        default: return "???";
        }
    }
    return value;
}

} // namespace v7300

#pragma once
// One typed variable of a placed component (its value kept as text) and the
// ordered list of a component's variables.
#include "core/MessagePort.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

enum class TDefineType : std::uint8_t {
    VARIANT = 0,
    BOOL = 1,
    INT = 2,
    FLOAT = 3,
    STR = 4,
    LCD = 5,
    BOOLS = 6,
    EXEC = 7,
    MAIL = 8,
    INTYPE = 9,
    CAL = 10,
};

class TLogicComponentDefine {
public:
    // Raises Error "Invalid DefineType : '%s'" for an unknown keyword and
    // "Invalid Value : '%s'" for a default the type refuses.
    static TLogicComponentDefine Create(const std::string& name, const std::string& value,
                                        const std::string& keyword);

    // Assignment with the type check; false leaves Value unchanged. A BOOL text
    // that is no truth value raises ConversionError.
    bool SetValue(const std::string& s);
    // Warns through the port outside -32768 … 32767, then assigns in every case.
    bool SetValueInt(std::int32_t n, MessagePort& messages);
    std::string GetValue() const;
    std::int32_t GetValueInt() const;
    std::string GetTypeName() const;

    const std::string& Name() const { return Name_; }
    TDefineType DefineType() const { return DefineType_; }
    // The value exactly as stored.
    const std::string& RawValue() const { return Value_; }

    bool operator==(const TLogicComponentDefine&) const = default;

private:
    std::string Name_;
    TDefineType DefineType_ = TDefineType::VARIANT;
    std::string Value_;
};

// The type keyword of a definition line, or false when it is unknown.
bool ParseDefineType(const std::string& keyword, TDefineType& out);
// The type name written to project files for a raw type code ("ERROR" outside 0 … 10).
std::string DefineTypeName(int code);

class TLogicComponentDefineList {
public:
    void Add(TLogicComponentDefine variable) { Items_.push_back(std::move(variable)); }
    int Count() const { return static_cast<int>(Items_.size()); }
    TLogicComponentDefine& Items(int index) { return Items_.at(static_cast<std::size_t>(index)); }
    const TLogicComponentDefine& Items(int index) const { return Items_.at(static_cast<std::size_t>(index)); }
    // The last variable with exactly this name, or nullptr.
    TLogicComponentDefine* FindByName(const std::string& name);
    const TLogicComponentDefine* FindByName(const std::string& name) const;
    void Clear() { Items_.clear(); }

    auto begin() const { return Items_.begin(); }
    auto end() const { return Items_.end(); }
    bool operator==(const TLogicComponentDefineList&) const = default;

private:
    std::vector<TLogicComponentDefine> Items_;
};

// How the diagram shows CAL and INTYPE values ("+", "Digital", …); other types: GetValue.
std::string DisplayForm(const TLogicComponentDefine& variable);

} // namespace v7300

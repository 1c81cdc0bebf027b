#include "model/ParamSpecial.h"

#include "core/NumberFormat.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <array>
#include <set>

namespace v7300 {
namespace {

std::optional<std::int32_t> intOf(const TLogicComponentDefineList& vars, const char* name) {
    const TLogicComponentDefine* v = vars.FindByName(name);
    if (!v) return std::nullopt;
    return parseInt32(v->GetValue());
}

std::string textOf(const TLogicComponentDefineList& vars, const char* name) {
    const TLogicComponentDefine* v = vars.FindByName(name);
    return v ? v->GetValue() : std::string();
}

int intOr0(const TLogicComponentDefineList& vars, const char* name) {
    const TLogicComponentDefine* v = vars.FindByName(name);
    return v ? v->GetValueInt() : 0;
}

int inRange(int n, int count) { return n >= 0 && n < count ? n : -1; }

void setText(TLogicComponentDefineList& vars, const char* name, const std::string& value) {
    if (TLogicComponentDefine* v = vars.FindByName(name)) v->SetValue(value);
}

void setInt(TLogicComponentDefineList& vars, const char* name, std::int32_t value, MessagePort& messages) {
    if (TLogicComponentDefine* v = vars.FindByName(name)) v->SetValueInt(value, messages);
}

} // namespace

// ---------------------------------------------------------------- OUT

std::vector<int> FreeOutputIds(const TLogicComponentList& components, int index) {
    std::set<int> taken;
    for (int i = 0; i < components.Count(); ++i) {
        const TLogicComponent& c = components.Items(i);
        if (i == index || c.TypeName != "OUT") continue;
        if (const TLogicComponentDefine* id = c.Variables.FindByName("ID")) taken.insert(id->GetValueInt());
    }
    std::vector<int> free;
    for (int n = 1; n <= 8; ++n)
        if (!taken.count(n)) free.push_back(n);
    return free;
}

TOutParams ReadOutParams(const TLogicComponentList& components, int index) {
    const TLogicComponentDefineList& vars = components.Items(index).Variables;
    TOutParams p;
    p.Beschriftung = textOf(vars, "BESCHRIFTUNG");
    const auto symbol = intOf(vars, "TYPE");
    const TLogicComponentDefine* txt1 = vars.FindByName("TXT1");
    const TLogicComponentDefine* txt2 = vars.FindByName("TXT2");
    const auto col1 = intOf(vars, "COL1");
    const auto col2 = intOf(vars, "COL2");
    if (symbol && txt1 && txt2 && col1 && col2) {
        p.Symbol = *symbol;
        p.Text1 = txt1->GetValue();
        p.Text2 = txt2->GetValue();
        p.Colour1 = *col1;
        p.Colour2 = *col2;
    }
    p.FreeIds = FreeOutputIds(components, index);
    if (const auto own = intOf(vars, "ID"); own && std::count(p.FreeIds.begin(), p.FreeIds.end(), *own))
        p.Id = *own;
    return p;
}

void WriteOutParams(TLogicComponentList& components, int index, const TOutParams& p, MessagePort& messages) {
    TLogicComponentDefineList& vars = components.Items(index).Variables;
    setText(vars, "BESCHRIFTUNG", p.Beschriftung);
    setText(vars, "TYPE", std::to_string(p.Symbol));
    setText(vars, "TXT1", p.Text1);
    setText(vars, "TXT2", p.Text2);
    setText(vars, "COL1", std::to_string(p.Colour1));
    setText(vars, "COL2", std::to_string(p.Colour2));
    if (!p.Id) {
        messages.showHint("Es soltle eine Output-ID angegeben werden!", MsgIcon::Warning);
        return;
    }
    setInt(vars, "ID", *p.Id, messages);
}

// ---------------------------------------------------------------- IN

TInParams ReadInParams(const TLogicComponentDefineList& vars) {
    TInParams p;
    p.Bezeichnung = textOf(vars, "BESCHRIFTUNG");
    p.Hid = inRange(intOr0(vars, "HID"), 9);
    const int t = intOr0(vars, "TYPE");
    p.SoftwareType = inRange(truncDiv(t, 10), 2);
    p.HardwareType = inRange(t - 10 * truncDiv(t, 10), 5);
    return p;
}

void WriteInParams(TLogicComponentDefineList& vars, const TInParams& p, MessagePort& messages) {
    setText(vars, "BESCHRIFTUNG", p.Bezeichnung);
    if (p.Hid >= 0) setInt(vars, "HID", p.Hid, messages);
    setInt(vars, "TYPE", std::max(p.HardwareType, 0) + 10 * std::max(p.SoftwareType, 0), messages);
}

TInGroups::TTick TInGroups::Tick(TInParams& p) {
    TTick t;
    t.SoftwareEnabled = p.Hid == 0;
    if (t.SoftwareEnabled) {
        p.HardwareType = 0;
        t.Picture = p.SoftwareType + 10;
    } else {
        p.SoftwareType = 0;
        t.Picture = p.HardwareType;
    }
    t.Reload = !lastPicture_ || *lastPicture_ != t.Picture;
    lastPicture_ = t.Picture;
    return t;
}

std::string InOptionPicture(const std::string& libraryFolder, int picture) {
    std::string folder = libraryFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "IN/Option" + std::to_string(picture) + ".bmp";
}

// ---------------------------------------------------------------- LCD

TLcdParams ReadLcdParams(const TLogicComponentDefineList& vars) {
    TLcdParams p;
    p.Line1 = textOf(vars, "VAL1");
    p.Line2 = textOf(vars, "VAL2");
    const int pos = intOr0(vars, "POS");
    p.Row = inRange(truncDiv(pos, kLcdWidth), 2);
    p.Column = inRange(pos - kLcdWidth * truncDiv(pos, kLcdWidth), kLcdWidth);
    p.Type = inRange(intOr0(vars, "TYPE"), 7);
    return p;
}

void WriteLcdParams(TLogicComponentDefineList& vars, const TLcdParams& p, MessagePort& messages) {
    setText(vars, "VAL1", LcdLine(p.Line1));
    setText(vars, "VAL2", LcdLine(p.Line2));
    if (p.Row >= 0 && p.Column >= 0) setInt(vars, "POS", p.Row * kLcdWidth + p.Column, messages);
    if (p.Type >= 0) setInt(vars, "TYPE", p.Type, messages);
}

std::string LcdField(int type) {
    static const std::array<const char*, 7> fields = {"", "", "######", "###,#", "###", "###########", "####"};
    return type >= 0 && type < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(type)] : "";
}

std::string LcdLine(const std::string& text) {
    std::string bytes = utf8ToCp1252(text).substr(0, kLcdWidth);
    bytes.resize(kLcdWidth, ' ');
    return cp1252ToUtf8(bytes);
}

std::pair<std::string, std::string> LcdPreview(const TLcdParams& p) {
    if (p.Type == 0) return {"  V7300-NET-IO  ", " _/|________/|_ "};
    std::array<std::string, 2> rows = {utf8ToCp1252(LcdLine(p.Line1)), utf8ToCp1252(LcdLine(p.Line2))};
    const std::string field = LcdField(p.Type);
    if (!field.empty() && p.Row >= 0 && p.Column >= 0) {
        if (static_cast<int>(field.size()) + p.Column > kLcdWidth)
            return {"ERROR ERROR ERRO", "R ERROR ERROR ER"};
        rows[static_cast<std::size_t>(p.Row)].replace(static_cast<std::size_t>(p.Column), field.size(), field);
    }
    return {cp1252ToUtf8(rows[0]), cp1252ToUtf8(rows[1])};
}

} // namespace v7300

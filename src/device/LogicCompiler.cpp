#include "device/LogicCompiler.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"
#include "model/Logic.h"
#include "model/TypeCatalogue.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace v7300 {
namespace {

struct TypeInfo {
    std::uint8_t code = 0;
    int required = 0; // connected inputs the controller needs; 0 = open inputs allowed
};

const std::unordered_map<std::string_view, TypeInfo>& typeTable() {
    static const std::unordered_map<std::string_view, TypeInfo> table = [] {
        const std::pair<std::string_view, std::uint8_t> codes[] = {
            {"NUM", kCodeNUM},           {"AND", kCodeAND},          {"NAND", kCodeNAND},
            {"OR", kCodeOR},             {"NOR", kCodeNOR},          {"XOR", kCodeXOR},
            {"BI", kCodeBI},             {"TIMER", kCodeTIMER},      {"COUNT", kCodeCOUNT},
            {"TAKT", kCodeTAKT},         {"INV", kCodeINV},          {"FF", kCodeFF},
            {"OUT", kCodeOUT},           {"WEEKTIMER", kCodeWEEKTIMER}, {"BOOL", kCodeBOOL},
            {"IN", kCodeIN},             {"SCHWELLE", kCodeSCHWELLE}, {"LCD", kCodeLCD},
            {"BUS-OUT-II", kCodeBUSOUT}, {"BUS-OUT-IV", kCodeBUSOUT}, {"BUS-OUT-VIII", kCodeBUSOUT},
            {"BUS-IN-II", kCodeBUSIN},   {"BUS-IN-VIII", kCodeBUSIN}, {"BUS-TEMP-II", kCodeBUSTEMP},
            {"BUS-TEMP-IV", kCodeBUSTEMP}, {"BUS-PWM-II", kCodeBUSPWM}, {"CALC", kCodeCALC},
            {"ROLLO", kCodeROLLO},       {"VALUE", kCodeVALUE},      {"RELAY", kCodeRELAY},
            {"ASWITCH", kCodeASWITCH},
        };
        std::unordered_map<std::string_view, TypeInfo> t;
        for (const auto& [name, code] : codes) {
            const TCatalogueEntry* entry = FindCatalogueEntry(name);
            t.emplace(name, TypeInfo{code, entry ? entry->requiredInputs : 0});
        }
        return t;
    }();
    return table;
}

std::string unsupportedMessage(const std::string& typeName) {
    return "Das Objekt " + typeName + " wird noch nicht von der Aktuellen V7300-NET-IO Version unterstüzt!";
}

std::string missingInputMessage(const std::string& instanceName) {
    return instanceName +
           " muss an jedem Eingang (rote Punkte) eine Verbindung zu einem Baustein haben.\r\n"
           "Wenn der Eingang nicht benutzt werden soll, dann kann ein NUM-Baustein mit dem Wert 0 benutzt werden.";
}

// The document's names, hashed once per compilation into a flat open-addressing
// table: the device object number of a name, whether the name occurs twice, and
// the first wire that ends at each input of a name (wires end at a name, so
// components sharing a name share their wires).
class NameIndex {
public:
    explicit NameIndex(const TLogic& logic) {
        const int count = logic.Components.Count();
        std::size_t capacity = 16;
        while (capacity < 2 * static_cast<std::size_t>(count)) capacity *= 2;
        mask_ = capacity - 1;
        slots_.assign(capacity, -1);
        entries_.resize(static_cast<std::size_t>(count));
        std::int32_t counted = 0;
        for (int i = 0; i < count; ++i) {
            const TLogicComponent& c = logic.Components.Items(i);
            Entry& e = entries_[static_cast<std::size_t>(i)];
            e.name = c.Name;
            e.number = counted + 1;
            e.firstWire.fill(-1);
            std::size_t slot = hash(e.name) & mask_;
            while (slots_[slot] >= 0 && entries_[static_cast<std::size_t>(slots_[slot])].name != e.name)
                slot = (slot + 1) & mask_;
            if (slots_[slot] >= 0) {
                e.owner = slots_[slot];
                entries_[static_cast<std::size_t>(e.owner)].duplicate = true;
            } else {
                slots_[slot] = i;
                e.owner = i;
            }
            if (c.TypeName != "TXT") ++counted;
        }
        int w = 0;
        for (const TWire& wire : logic.Wires) {
            const int owner = find(wire.Input);
            if (owner >= 0 && wire.InputID >= 0 && wire.InputID < kMaxPins) {
                std::int32_t& first = entries_[static_cast<std::size_t>(owner)].firstWire[static_cast<std::size_t>(wire.InputID)];
                if (first < 0) first = w;
            }
            ++w;
        }
    }

    // Device object number of a name: 0 for a name that names no component.
    std::int32_t objectNumber(std::string_view name) const { return numberOfOwner(find(name)); }
    // The same for the component at a list index.
    std::int32_t objectNumberAt(int component) const {
        return numberOfOwner(entries_[static_cast<std::size_t>(component)].owner);
    }

    // List index of the (first) component with that name, -1 when absent.
    int componentIndex(std::string_view name) const { return find(name); }

    // The first wire ending at each input of the component at a list index (-1 when none).
    const std::array<std::int32_t, kMaxPins>& wiresAt(int component) const {
        return entries_[static_cast<std::size_t>(entries_[static_cast<std::size_t>(component)].owner)].firstWire;
    }

private:
    struct Entry {
        std::string_view name;
        std::int32_t number = 0;
        int owner = 0; // the first component of the list with this name
        bool duplicate = false;
        std::array<std::int32_t, kMaxPins> firstWire{};
    };

    static std::size_t hash(std::string_view s) {
        std::uint32_t h = 2166136261u;
        for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }

    int find(std::string_view name) const {
        std::size_t slot = hash(name) & mask_;
        while (slots_[slot] >= 0) {
            if (entries_[static_cast<std::size_t>(slots_[slot])].name == name) return slots_[slot];
            slot = (slot + 1) & mask_;
        }
        return -1;
    }

    std::int32_t numberOfOwner(int owner) const {
        if (owner < 0) return 0;
        const Entry& e = entries_[static_cast<std::size_t>(owner)];
        if (e.duplicate) throw Error("Objekt-ID doppelt vergeben!");
        return e.number;
    }

    std::vector<Entry> entries_;
    std::vector<int> slots_;
    std::size_t mask_ = 0;
};

// --- variable access

std::string valueText(const TLogicComponent& c, const char* name) {
    const TLogicComponentDefine* v = c.Variables.FindByName(name);
    return v ? v->GetValue() : std::string();
}

// Strict: a text that is no integer aborts the compilation.
std::int32_t strictInt(const TLogicComponent& c, const char* name) { return toInt32(valueText(c, name)); }

// Lenient: a text that is no integer counts as 0.
std::int32_t lenientInt(const TLogicComponent& c, const char* name) {
    return parseInt32(valueText(c, name)).value_or(0);
}

void appendByte(TV7300_EEPROM_Data& image, std::int32_t v) { image.AppendByte(static_cast<std::uint8_t>(v & 0xFF)); }

void appendWord(TV7300_EEPROM_Data& image, std::int32_t v) {
    image.AppendWord(static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFF));
}

// High byte = value div 256 (truncating towards zero), low byte = low eight bits.
void appendDivWord(TV7300_EEPROM_Data& image, std::int32_t v) {
    appendByte(image, truncDiv(v, 256));
    appendByte(image, v);
}

// Windows-1252 bytes of a text, cut to n and padded with the fill byte.
void appendFixedText(TV7300_EEPROM_Data& image, const std::string& text, std::size_t n, std::uint8_t fill) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
    const std::string converted = ascii ? std::string() : utf8ToCp1252(text);
    const std::string& bytes = ascii ? text : converted;
    for (std::size_t i = 0; i < n; ++i)
        image.AppendByte(i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : fill);
}

// Characters from..from+1 (0-based, Windows-1252) of a HHMMSS text, converted strictly.
std::int32_t timePart(const std::string& bytes, std::size_t from) {
    const std::string part = from < bytes.size() ? bytes.substr(from, 2) : std::string();
    return toInt32(cp1252ToUtf8(part));
}

void appendTime(TV7300_EEPROM_Data& image, const TLogicComponent& c, const char* name) {
    const std::string bytes = utf8ToCp1252(valueText(c, name));
    appendByte(image, timePart(bytes, 0));
    appendByte(image, timePart(bytes, 2));
    appendByte(image, timePart(bytes, 4));
}

// The parameter bytes of one record, preceded by their length.
void appendParameters(TV7300_EEPROM_Data& image, const TLogicComponent& c, std::uint8_t code) {
    switch (code) {
    case kCodeOUT:
        image.AppendByte(1);
        appendByte(image, lenientInt(c, "ID"));
        break;
    case kCodeNUM:
        image.AppendByte(2);
        appendWord(image, strictInt(c, "VALUE"));
        break;
    case kCodeTIMER:
        image.AppendByte(2);
        appendDivWord(image, strictInt(c, "SEKUNDEN"));
        break;
    case kCodeCOUNT:
        image.AppendByte(2);
        appendDivWord(image, strictInt(c, "COUNT"));
        break;
    case kCodeWEEKTIMER: {
        image.AppendByte(7);
        static const char* const days[] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};
        std::int32_t mask = 0;
        for (int d = 0; d < 7; ++d) mask += strictInt(c, days[d]) << d;
        appendByte(image, mask);
        appendTime(image, c, "TIME1");
        appendTime(image, c, "TIME2");
        break;
    }
    case kCodeBOOL: {
        image.AppendByte(2);
        static const char* const names[] = {"VAL00", "VAL01", "VAL02", "VAL03", "VAL04", "VAL05",
                                            "VAL06", "VAL07", "VAL08", "VAL09", "VAL10", "VAL11",
                                            "VAL12", "VAL13", "VAL14", "VAL15"};
        std::uint32_t mask = 0;
        for (int j = 0; j < 16; ++j)
            if (valueText(c, names[j]) == "1") mask |= 1u << j;
        appendWord(image, static_cast<std::int32_t>(mask));
        break;
    }
    case kCodeIN: {
        image.AppendByte(2);
        appendByte(image, strictInt(c, "HID"));
        const std::string type = valueText(c, "TYPE");
        if (type == "3")
            image.AppendByte(2);
        else if (type == "4")
            image.AppendByte(1);
        else
            appendByte(image, toInt32(type));
        break;
    }
    case kCodeSCHWELLE:
        image.AppendByte(4);
        appendWord(image, strictInt(c, "SCHWELLEUP"));
        appendWord(image, strictInt(c, "SCHWELLEDOWN"));
        break;
    case kCodeLCD:
        image.AppendByte(34);
        appendFixedText(image, valueText(c, "VAL1"), 16, ' ');
        appendFixedText(image, valueText(c, "VAL2"), 16, ' ');
        appendByte(image, lenientInt(c, "POS"));
        appendByte(image, lenientInt(c, "TYPE"));
        break;
    case kCodeBUSOUT:
    case kCodeBUSIN:
    case kCodeBUSTEMP:
    case kCodeBUSPWM:
        image.AppendByte(1);
        appendByte(image, strictInt(c, "BUSID"));
        break;
    case kCodeCALC:
        image.AppendByte(1);
        appendByte(image, strictInt(c, "TYPE"));
        break;
    case kCodeROLLO:
        image.AppendByte(1);
        appendByte(image, strictInt(c, "TIME"));
        break;
    case kCodeVALUE:
        image.AppendByte(8);
        appendWord(image, strictInt(c, "MAX"));
        appendWord(image, strictInt(c, "MIN"));
        appendWord(image, strictInt(c, "INC"));
        image.AppendWord(0);
        break;
    case kCodeASWITCH:
        image.AppendByte(8);
        appendWord(image, strictInt(c, "WERT1"));
        appendWord(image, strictInt(c, "WERT2"));
        appendWord(image, strictInt(c, "WERT3"));
        appendWord(image, strictInt(c, "WERT4"));
        break;
    default: // AND, NAND, OR, NOR, XOR, BI, TAKT, INV, FF, RELAY
        image.AppendByte(0);
        break;
    }
}

// Value index and kind letter of a display entry, chosen by the shown component.
void entryKind(const TLogicComponent* shown, const TOutputs& entry, std::int32_t& valueIndex, char& kind) {
    valueIndex = entry.output;
    kind = 'O';
    if (!shown) return;
    const std::string& t = shown->TypeName;
    if (t == "BUS-TEMP-II" || t == "BUS-TEMP-IV" || t == "CALC" || t == "NUM" || t == "VALUE" || t == "RELAY" ||
        t == "ASWITCH") {
        kind = 'A';
    } else if (t == "IN") {
        const std::string type = valueText(*shown, "TYPE");
        if (valueText(*shown, "HID") == "0") {
            valueIndex = 1;
            kind = type == "10" ? 'T' : 'I';
        } else {
            kind = type < std::string("1") ? 'O' : 'A';
        }
    }
}

} // namespace

std::uint8_t DeviceTypeCode(std::string_view typeName) {
    const auto& table = typeTable();
    const auto it = table.find(typeName);
    return it == table.end() ? 0 : it->second.code;
}

void CreateNETIOData(const TLogic& logic, TV7300_EEPROM_Data& image) {
    const auto& table = typeTable();
    const NameIndex index(logic);
    image.Reserve(static_cast<std::size_t>(kEmptyImageSize + logic.Components.Count() * 16 +
                                           logic.Wires.Count() * 2));

    for (int i = 0; i < kConfigBlockSize; ++i) image.AppendByte(0xFF);

    const int count = logic.Components.Count();
    for (int ci = 0; ci < count; ++ci) {
        const TLogicComponent& c = logic.Components.Items(ci);
        if (c.TypeName == "TXT") continue;
        const auto type = table.find(c.TypeName);
        if (type == table.end()) throw Error(unsupportedMessage(c.TypeName));
        const TypeInfo info = type->second;

        const auto& wires = index.wiresAt(ci);
        std::int32_t connected = 0;
        for (int in = 0; in < c.InputCount; ++in)
            if (wires[static_cast<std::size_t>(in)] >= 0) ++connected;
        if (info.required > 0 && connected != info.required) throw Error(missingInputMessage(c.Name));

        appendByte(image, index.objectNumberAt(ci));
        image.AppendByte(info.code);
        appendByte(image, connected);

        std::int32_t written = 0;
        for (int in = 0; in <= kMaxReferencedInput; ++in) {
            const std::int32_t w = wires[static_cast<std::size_t>(in)];
            if (w < 0) continue;
            const TWire& wire = logic.Wires.Items(w);
            appendByte(image, index.objectNumber(wire.Output));
            appendByte(image, wire.OutputID);
            ++written;
        }
        if (written != connected) throw Error("Das Projekt ist Fehlerhaft!");

        appendParameters(image, c, info.code);
    }
    image.AppendByte(0xFF);

    for (const TShownOutput& page : logic.ShownTexts) appendFixedText(image, page.name, kPageNameSize, 0x00);

    for (std::size_t p = 0; p < logic.ShownTexts.size(); ++p) {
        const auto& slots = logic.ShownTexts[p].slots;
        for (std::size_t s = 0; s < slots.size(); ++s) {
            if (!slots[s]) continue;
            const TOutputs& entry = *slots[s];
            const std::int32_t number = index.objectNumber(entry.component);
            const int ci = index.componentIndex(entry.component);
            const TLogicComponent* shown = ci >= 0 ? &logic.Components.Items(ci) : nullptr;
            std::int32_t valueIndex = 0;
            char kind = 'O';
            entryKind(shown, entry, valueIndex, kind);
            appendByte(image, number);
            appendByte(image, valueIndex);
            image.AppendByte(static_cast<std::uint8_t>(kind));
            appendByte(image, static_cast<std::int32_t>(p * 16 + s));
            appendFixedText(image, entry.text, kPageNameSize, 0x00);
        }
    }
    image.AppendByte(0xFF);
    image.AppendByte(0xFF);
}

std::vector<std::string> OpenInputHints(const TLogic& logic) {
    std::vector<std::string> hints;
    for (const TLogicComponent& c : logic.Components) {
        if (c.TypeName != "RELAY" && c.TypeName != "LCD") continue;
        const TCatalogueEntry* entry = FindCatalogueEntry(c.TypeName);
        int lastWired = -1;
        for (int i = 0; i < c.InputCount; ++i)
            if (logic.IsInputConnected(c.Name, i)) lastWired = i;
        for (int i = 0; i < lastWired; ++i) {
            if (logic.IsInputConnected(c.Name, i)) continue;
            const auto at = static_cast<std::size_t>(i);
            const std::string pin = entry && at < entry->pinNamesIn.size() ? entry->pinNamesIn[at]
                                                                             : "E" + std::to_string(i + 1);
            hints.push_back(c.Name + ": Eingang " + pin +
                            " ist offen, auf dem V7300-NET-IO rücken die folgenden Eingänge nach.");
        }
    }
    return hints;
}

} // namespace v7300

#pragma once
// The component types the program knows by name: their parameter dialog, the
// variables the rest of the program reads, the inputs the compiler requires,
// the values the live view feeds and how the drawing treats them.
// Other layers ask this table instead of repeating type names.
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

// What kind of value a listed variable must hold (and so which value types fit).
enum class VarKind {
    Number, // read as an integer by the compiler: INT (or INTYPE/CAL where stated)
    Flag,   // "1"/"0": BOOL or INT
    Text,   // any text type
    Time,   // HHMMSS as a number: INT
    InType, // INTYPE
    Cal,    // CAL
    Colour, // decimal 24-bit colour: INT
};

struct TCatalogueVar {
    const char* name;
    VarKind kind;
};

enum class SpecialDrawing { None, In, Out, Txt };

struct TCatalogueEntry {
    const char* typeName;
    const char* dialogClass;
    std::vector<TCatalogueVar> variables;
    int requiredInputs;          // inputs that must all be connected for the compiler; 0 = none
    int inputs;                  // pin counts of the type
    int outputs;
    std::vector<const char*> pinNamesIn;
    std::vector<const char*> pinNamesOut;
    std::vector<const char*> liveValues; // per-component values the live view feeds ("COUNTER" …)
    SpecialDrawing drawing = SpecialDrawing::None;
    bool compiled = true; // false for TXT
};

// All 32 types, in catalogue order.
const std::vector<TCatalogueEntry>& TypeCatalogue();
// The entry of a type name, or nullptr for a type the program does not know.
const TCatalogueEntry* FindCatalogueEntry(std::string_view typeName);
// The type name at the beginning of an instance name (longest catalogue match), or "".
std::string CatalogueTypeOfInstance(std::string_view instanceName);

} // namespace v7300

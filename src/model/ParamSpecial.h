#pragma once
// The logic of the three dialogs with rules of their own, without any window:
// OUT (free output numbers, symbol, texts and colours with their fallbacks),
// IN (the two radio groups that the 100 ms timer keeps consistent, and the
// picture they choose) and LCD (the position, the preview lines).
#include "core/MessagePort.h"
#include "model/LogicComponent.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace v7300 {

// ---- OUT
constexpr std::int32_t kTColorWhite = 0xFFFFFF;
constexpr std::int32_t kTColorRed = 0x0000FF; // red in the low byte

// The output numbers 1 … 8 that no other OUT component of the list uses, ascending.
std::vector<int> FreeOutputIds(const TLogicComponentList& components, int index);

struct TOutParams {
    std::string Beschriftung;
    int Symbol = 1; // 0 "Text" … 7 "Pegel"
    std::string Text1;
    std::string Text2;
    std::int32_t Colour1 = kTColorWhite;
    std::int32_t Colour2 = kTColorRed;
    std::vector<int> FreeIds;
    std::optional<int> Id; // the selected output number; none when its own is not free
};
// When the symbol, a text or a colour cannot be read (a missing variable or a
// value that is no integer), all of them take the fallback: "Kreis", empty
// texts, white and red.
TOutParams ReadOutParams(const TLogicComponentList& components, int index);
// Without a selected number the warning "Es soltle eine Output-ID angegeben
// werden!" is shown and "ID" stays as it was.
void WriteOutParams(TLogicComponentList& components, int index, const TOutParams& params, MessagePort& messages);

// ---- IN
struct TInParams {
    std::string Bezeichnung;
    int Hid = 0;          // 0 "SOFTWARE", 1 … 8 the inputs; -1 none selected
    int HardwareType = 0; // 0 … 4, -1 none
    int SoftwareType = 0; // 0 Schalter, 1 Taster, -1 none
};
TInParams ReadInParams(const TLogicComponentDefineList& variables);
// "TYPE" := hardware + 10 × software kind, a group without selection counting 0;
// "HID" stays as it was when no input is selected.
void WriteInParams(TLogicComponentDefineList& variables, const TInParams& params, MessagePort& messages);

// One tick of the IN dialog's timer: the group that does not fit the input is
// disabled and reset to its first entry; the picture number follows the enabled
// group (software kinds count from 10) and is loaded again only when it changed.
class TInGroups {
public:
    struct TTick {
        bool SoftwareEnabled = false;
        int Picture = 0;
        bool Reload = false;
    };
    TTick Tick(TInParams& params);

private:
    std::optional<int> lastPicture_;
};

// The picture of the IN dialog for a picture number: <library>/IN/Option<n>.bmp.
std::string InOptionPicture(const std::string& libraryFolder, int picture);

// ---- LCD
constexpr int kLcdWidth = 16;

struct TLcdParams {
    std::string Line1;
    std::string Line2;
    int Type = 0;   // 0 … 6; -1 none
    int Row = 0;    // 0 or 1; -1 none
    int Column = 0; // 0 … 15; -1 none
};
TLcdParams ReadLcdParams(const TLogicComponentDefineList& variables);
// The lines cut and padded to 16 characters; "POS" := row × 16 + column (kept
// when row or column is not selected); "TYPE" := the type.
void WriteLcdParams(TLogicComponentDefineList& variables, const TLcdParams& params, MessagePort& messages);

// The value field a display kind reserves: "######", "###,#", "###", "###########", "####" or "".
std::string LcdField(int type);
// A text cut to 16 characters and padded with blanks to 16 (Windows-1252 characters).
std::string LcdLine(const std::string& text);
// The two preview lines: the field written over the chosen row from the chosen
// column; the system banner for kind 0; the ERROR lines when the field does not fit.
std::pair<std::string, std::string> LcdPreview(const TLcdParams& params);

} // namespace v7300

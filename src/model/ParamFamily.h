#pragma once
// The family of component parameter dialogs as data: per type the dialog class,
// caption, size, background, and every control with its place, size, variable,
// length limit and label. The dialogs are built from this table, the picture
// tool labels the background pictures from it, and the command line's "set"
// asks it which variables the dialogs write as numbers.
#include <string>
#include <string_view>
#include <vector>

namespace v7300 {

enum class TParamControlKind {
    Edit,          // text field -> SetValue
    NumberEdit,    // digits and "-" only -> SetValueInt of the text read as an integer
    CheckBox,      // flag "1" / "0"
    RadioGroup,    // the selected item's index -> SetValueInt
    TimePicker,    // hours, minutes, seconds <-> HHMMSS
    ComboBox,      // a list; what it stores is the dialog's own rule
    ColourButton,  // a button whose background is a colour
    Picture,       // a preview or picture area
    Panel,         // a framed area that holds other controls
};

// Where a control's label stands: in the background picture for most
// dialogs, as a label of the dialog itself for OUT, IN, LCD and TXT.
enum class TLabelSide { None, Left, Above, Right };

struct TParamControl {
    std::string name;      // "editValue", "cbMO" …
    TParamControlKind kind = TParamControlKind::Edit;
    int x = 0;             // in the dialog, title bar included
    int y = 0;
    int w = 0;
    int h = 0;
    std::string variable;  // "" when the control stores nothing by itself
    int maxLength = 0;     // characters; 0: no limit
    bool framed = true;    // false: an edit without border
    bool keyFilter = true; // number fields: typed keys other than digits and "-" are dropped
    std::string label;     // "" for none
    TLabelSide side = TLabelSide::None;
    std::vector<std::string> items; // radio groups and lists
};

enum class TParamDialogKind { Fields, Out, In, Lcd, Txt };

struct TParamDialogSpec {
    std::string typeName;  // "TIMER"
    std::string className; // "TFrmTIMER"
    std::string caption;   // the window caption
    int width = 0;
    int height = 0;
    bool faceColour = false; // the platform's standard face colour instead of black
    TParamDialogKind kind = TParamDialogKind::Fields;
    bool picture = true;     // a background picture below the title bar
    bool labelsInPicture = true;
    // The controls in the order the dialog writes them (a numeric field that
    // cannot be read stops the writing there).
    std::vector<TParamControl> controls;

    const TParamControl* Control(std::string_view name) const;
};

// Every type with a dialog of its own, in catalogue order.
const std::vector<TParamDialogSpec>& ParamDialogFamily();
// The dialog of a type name, or nullptr (the type keeps the fallback box).
const TParamDialogSpec* FindParamDialog(std::string_view typeName);
// Whether a dialog writes this variable of the type with SetValueInt.
bool IsNumberParam(std::string_view typeName, std::string_view variable);

// The size and place of the title bar and its "OK" panel, shared by the family.
constexpr int kTitleBarHeight = 30;
constexpr int kOkPanelWidth = 35;
constexpr int kOkPanelHeight = 23;

} // namespace v7300

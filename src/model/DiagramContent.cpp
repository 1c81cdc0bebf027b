#include "model/DiagramContent.h"

namespace v7300 {

bool SameComponentContent(const TLogicComponent& a, const TLogicComponent& b) {
    // Field by field, leaving out OutputStates; a TXT label's Width and Height
    // follow its text when it is drawn.
    const bool label = a.TypeName == "TXT" && b.TypeName == "TXT";
    return a.Name == b.Name && a.TypeName == b.TypeName && a.Left == b.Left && a.Top == b.Top &&
           (label || (a.Width == b.Width && a.Height == b.Height)) && a.InputCount == b.InputCount &&
           a.OutputCount == b.OutputCount && a.InputPins == b.InputPins && a.OutputPins == b.OutputPins &&
           a.Variables == b.Variables && a.ShowRefs == b.ShowRefs && a.ShowCaptions == b.ShowCaptions &&
           a.VarNames == b.VarNames && a.ScriptLines == b.ScriptLines;
}

bool TDiagramContent::operator==(const TDiagramContent& o) const {
    return Quarz == o.Quarz && ModuleNumber == o.ModuleNumber && DeviceModel == o.DeviceModel &&
           NetioActive == o.NetioActive && NetioHost == o.NetioHost && NetioPort == o.NetioPort &&
           NetioDelay == o.NetioDelay && NetioDisplay == o.NetioDisplay && LptActive == o.LptActive &&
           LptAddress == o.LptAddress && DeviceAddress == o.DeviceAddress && ShownTexts == o.ShownTexts &&
           Wires == o.Wires && Components.Entries().Equals(o.Components.Entries(), SameComponentContent);
}

} // namespace v7300

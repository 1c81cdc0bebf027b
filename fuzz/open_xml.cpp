// OpenXml on arbitrary bytes: once as the file itself (stage 1), once as the XML
// text inside a well-formed outer layer (stage 2). A document that opened must
// save and open again.
#include "FuzzLibrary.h"
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "project/InvertedHex.h"
#include "project/XmlProject.h"

#include <cstdint>
#include <string>

using namespace v7300;

namespace {

void roundTrip(const TLogic& opened) {
    SilentMessagePort silent;
    TLogic again(opened.Library, silent);
    again.NewProject();
    if (!OpenXmlBytes(again, EncodeProjectFile(BuildXmlText(opened)))) __builtin_trap();
    if (again.Components.Count() != opened.Components.Count() || again.Wires.Count() != opened.Wires.Count())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TLogicComponentLibrary library = fuzz::fuzzLibrary();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    SilentMessagePort messages;
    {
        TLogic logic(library, messages);
        logic.NewProject();
        OpenXmlBytes(logic, bytes);
    }
    TLogic logic(library, messages);
    logic.NewProject();
    if (OpenXmlBytes(logic, EncodeInvertedHex(bytes) + "\r\n")) roundTrip(logic);
    return 0;
}

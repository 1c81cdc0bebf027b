// The text project reader on arbitrary bytes: it may fail with the reader's error
// (which the editor shows), never crash or raise anything else.
#include "FuzzLibrary.h"
#include "core/Error.h"
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "project/LegacyProject.h"

#include <cstdint>
#include <string>

using namespace v7300;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TLogicComponentLibrary library = fuzz::fuzzLibrary();
    SilentMessagePort messages;
    TLogic logic(library, messages);
    logic.NewProject();
    try {
        OpenLegacyBytes(logic, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
    }
    return 0;
}

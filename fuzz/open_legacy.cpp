// The text project reader on arbitrary bytes: it may fail with an error, never crash.
#include "FuzzLibrary.h"
#include "core/MessagePort.h"
#include "model/Logic.h"
#include "project/LegacyProject.h"

#include <cstdint>
#include <exception>
#include <string>

using namespace v7300;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TLogicComponentLibrary library = fuzz::fuzzLibrary();
    SilentMessagePort messages;
    TLogic logic(library, messages);
    logic.NewProject();
    try {
        OpenLegacyBytes(logic, std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception&) {
    }
    return 0;
}

#include "model/LibraryCheck.h"

namespace v7300 {

// The catalogue check joins here once the type catalogue exists.
std::vector<std::string> CheckLibrary(const TLogicComponentLibrary& library) { return CheckDefinitions(library); }

} // namespace v7300

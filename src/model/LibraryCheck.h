#pragma once
// Checks a library's definition files: checksum lines and headers.
#include "model/LogicComponentLibrary.h"

#include <string>
#include <vector>

namespace v7300 {

// One line per problem, each naming the type and the file.
std::vector<std::string> CheckDefinitions(const TLogicComponentLibrary& library);

// The catalogue check: each catalogue type present once with its "-NAME", pins,
// variables of a fitting kind and the pictures the drawing and the IN dialog need.
std::vector<std::string> CheckCatalogue(const TLogicComponentLibrary& library);

// Every check of the library: the definitions, and the type catalogue where one is known.
std::vector<std::string> CheckLibrary(const TLogicComponentLibrary& library);

} // namespace v7300

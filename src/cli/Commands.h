#pragma once
// The subcommands. Each lives in its own Cmd*.cpp; the table is in Cli.cpp.
#include "cli/Cli.h"

namespace v7300::cli {

int cmdLibrary(Context& ctx);

} // namespace v7300::cli

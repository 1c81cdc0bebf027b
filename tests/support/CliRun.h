#pragma once
// Runs the v7300 tool in-process and keeps what it printed.
#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace v7300::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult runCli(std::vector<std::string> args) {
    args.insert(args.begin(), "v7300");
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
}

// The same with the global option "--library DIR" in front of the arguments.
inline CliResult runCli(std::vector<std::string> args, const std::string& library) {
    args.insert(args.begin(), {"--library", library});
    return runCli(std::move(args));
}

} // namespace v7300::test

#pragma once
// The v7300 command-line tool: one subcommand per capability.
#include "core/MessagePort.h"

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace v7300::cli {

// Bad usage: exit status 2 with the text and the hint to --help.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Core messages go to stderr as "<caption>: <text>"; questions take their default button.
class StderrMessagePort : public MessagePort {
public:
    explicit StderrMessagePort(std::ostream& err) : err_(err) {}
    MsgButton show(const Message& message) override;
    int count() const { return count_; }

private:
    std::ostream& err_;
    int count_ = 0;
};

struct Context {
    std::vector<std::string> args; // the arguments after the subcommand name
    std::string libraryDir;        // --library, or objekts beside the executable
    std::ostream& out;
    std::ostream& err;
    MessagePort& messages;
};

using CommandFn = int (*)(Context&);

struct Command {
    const char* name;
    const char* synopsis;
    CommandFn run;
};

// Runs the tool; returns the exit status (0 success, 1 the job failed, 2 bad usage).
int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// The folder of the running executable.
std::string executableDir();

// Small helpers for the subcommands' argument parsing.
// Takes "--name VALUE" out of args; returns false when absent.
bool takeOption(std::vector<std::string>& args, const std::string& name, std::string& value);
// Takes every "--name VALUE" out of args, in order.
std::vector<std::string> takeOptions(std::vector<std::string>& args, const std::string& name);
// "--help" or "-h".
bool isHelpFlag(const std::string& arg);
// After a subcommand has taken its options: any argument left that begins with "-"
// is an option the subcommand does not know; raises UsageError naming it.
void rejectUnknownOptions(const std::vector<std::string>& args, const std::string& command);
// Takes the flag "--name" out of args.
bool takeFlag(std::vector<std::string>& args, const std::string& name);

} // namespace v7300::cli

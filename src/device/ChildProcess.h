#pragma once
// One program run as a child in a process group of its own, with standard
// output and standard error in one pipe and standard input from /dev/null.
// Ending it signals that group only, never anything else, and only while the
// child has not been reaped (so the group id cannot belong to anyone else).
#include "core/Clock.h"

#include <optional>
#include <string>
#include <vector>

namespace v7300 {

class TChildProcess {
public:
    explicit TChildProcess(Clock& clock) : Clock_(clock) {}
    ~TChildProcess(); // ends a child still running
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Starts program (a path) with the argument vector (argv[0] included) in the
    // working folder ("" = the current one). Returns "" or the reason it failed.
    std::string Start(const std::string& program, const std::vector<std::string>& argv,
                      const std::string& workingFolder);

    // The read end of the output pipe (-1 when none), for hosts that watch it.
    int Descriptor() const { return Pipe_; }
    // What the pipe holds now, at most maxBytes; the pipe is closed at its end.
    std::string ReadAvailable(std::size_t maxBytes = 65536);
    // Reaps the child when it has ended; true once it has.
    bool Reap();
    bool Running() const { return Pid_ > 0 && !Status_; }
    // The exit status: the program's code, or 128 + signal when a signal ended it.
    std::optional<int> ExitStatus() const { return Status_; }
    // The process id (the group id too), 0 before the start.
    int Pid() const { return Pid_; }

    // Ends the child's process group: SIGTERM, after graceMs SIGKILL; waits for the child.
    void Terminate(std::int64_t graceMs = 2000);

private:
    void ClosePipe();

    Clock& Clock_;
    int Pid_ = 0;
    int Pipe_ = -1;
    std::optional<int> Status_;
};

// The program file: in the folder when it is there and executable, otherwise
// the first in the search path's folders (PATH syntax; empty entries are skipped).
// "" when not found.
std::string FindProgram(const std::string& name, const std::string& folder, const std::string& searchPath);

} // namespace v7300

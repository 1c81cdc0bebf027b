#pragma once
// A stand-in for avrdude: a shell script that records its arguments (one per
// line) and its working folder, prints numbered lines (every tenth on standard
// error) and exits with a chosen status; or one that waits, with a child of its
// own, until it is ended.
#include "support/TestSupport.h"

#include <fstream>
#include <string>
#include <utility>
#include <sys/stat.h>

namespace v7300::test {

struct FakeAvrdude {
    std::string Folder;    // holds the program "avrdude"
    std::string Arguments; // its arguments, one per line
    std::string WorkDir;   // the folder it ran in
    std::string Pids;      // "<own pid> <child pid>" of the waiting kind
};

inline FakeAvrdude WriteFakeAvrdude(const TempDir& dir, const std::string& sub, int lines = 40, int status = 1,
                                    bool waits = false) {
    FakeAvrdude fake{dir.file(sub), dir.file(sub + "-args.txt"), dir.file(sub + "-pwd.txt"),
                     dir.file(sub + "-pids.txt")};
    std::string script = "#!/bin/sh\n"
                         ": > '" + fake.Arguments + "'\n"
                         "for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + fake.Arguments + "'; done\n"
                         "pwd > '" + fake.WorkDir + "'\n"
                         "i=1\n"
                         "while [ $i -le " + std::to_string(lines) + " ]; do\n"
                         "  if [ $((i % 10)) -eq 0 ]; then echo \"Zeile $i\" >&2; else echo \"Zeile $i\"; fi\n"
                         "  i=$((i + 1))\n"
                         "done\n";
    if (waits)
        script += "sleep 30 &\n"
                  "echo \"$$ $!\" > '" + fake.Pids + "'\n"
                  "wait\n";
    script += "exit " + std::to_string(status) + "\n";
    writeFile(fake.Folder + "/avrdude", script);
    ::chmod((fake.Folder + "/avrdude").c_str(), 0755);
    return fake;
}

// Whether the process exists and has not ended (a zombie counts as ended).
inline bool ProcessAlive(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (pid <= 0 || !std::getline(stat, line)) return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// The pids a waiting fake wrote: its own and its child's (0, 0 until written).
inline std::pair<int, int> FakePids(const FakeAvrdude& fake) {
    std::ifstream in(fake.Pids);
    int own = 0, child = 0;
    in >> own >> child;
    return {own, child};
}

} // namespace v7300::test

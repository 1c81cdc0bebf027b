#pragma once
// Programs started for the end-to-end tests: a virtual X server on a free
// display of its own, a window manager on it, and the editor.
#include <QThread>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace v7300::e2e {

// Starts the program (by path) with extra environment entries, in the folder when given.
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& folder = {}) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

// Ends a started program: SIGTERM, then SIGKILL after five seconds.
inline void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        QThread::msleep(100);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Xvfb on a free display number of our own; ready when its socket exists.
// (Reading the number back through -displayfd failed now and then on a busy machine.)
class VirtualX {
public:
    VirtualX() {
        for (int attempt = 0; attempt < 20 && display_.empty(); ++attempt) {
            const int number = 100 + static_cast<int>((getpid() + attempt * 7) % 800);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            if (std::filesystem::exists(socket) || std::filesystem::exists(lock)) continue;
            const std::string name = ":" + std::to_string(number);
            pid_ = Spawn({"/usr/bin/Xvfb", name, "-screen", "0", "1280x900x24", "-nolisten", "tcp"}, {});
            for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) {
                if (waitpid(pid_, nullptr, WNOHANG) == pid_) break; // it gave up on this number
                QThread::msleep(50);
            }
            if (std::filesystem::exists(socket)) {
                display_ = name;
            } else {
                Stop(pid_);
                pid_ = -1;
            }
        }
    }
    ~VirtualX() { Stop(pid_); }
    VirtualX(const VirtualX&) = delete;
    VirtualX& operator=(const VirtualX&) = delete;
    // ":N", or empty when no server could be started.
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

inline bool Installed(const char* program) { return std::filesystem::exists(program); }

} // namespace v7300::e2e

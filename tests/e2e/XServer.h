#pragma once
// Programs started for the end-to-end tests: a virtual X server on a free
// display of its own, a window manager on it, and the editor.
#include <QByteArray>
#include <QThread>

#include <csignal>
#include <cstdio>
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

// A home folder of the test's own whose config.ini puts the editor's window at (0, 0), 1000 × 640.
inline std::string MakeHome(const std::string& tag) {
    const std::string home = std::filesystem::temp_directory_path() / (tag + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    if (FILE* f = std::fopen((home + "/config.ini").c_str(), "w")) {
        std::fputs("[config]\r\ntop=0\r\nleft=0\r\nwidth=1000\r\nheight=640\r\n", f);
        std::fclose(f);
    }
    return home;
}

// The editor on the display with that home, its link off, without the start pause.
inline pid_t StartEditor(const std::string& display, const std::string& home, std::vector<std::string> args,
                         const std::string& folder = {}) {
    args.insert(args.begin(), std::string(V7300_BINARY_DIR) + "/bin/v7300-logik");
    return Spawn(args,
                 {"DISPLAY=" + display, "V7300_SETTINGS=" + home + "/config.ini", "QT_QPA_PLATFORM=xcb",
                  "HOME=" + home, "XDG_DATA_HOME=" + home + "/data", "XDG_RUNTIME_DIR=" + home,
                  "V7300_NO_START_PAUSE=1", "V7300_LINK=off", "LC_ALL=C.UTF-8"},
                 folder);
}

// This process looks at the same X server (before its QGuiApplication is made).
inline void UseDisplay(const std::string& display, const std::string& home) {
    qputenv("DISPLAY", QByteArray::fromStdString(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(home));
}

} // namespace v7300::e2e

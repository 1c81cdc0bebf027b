#include "device/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace v7300 {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int decodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 255;
}

// Attributes of the child: a group of its own, no blocked signals, and the
// signals a terminal or the host may have changed back at their defaults.
struct SpawnAttributes {
    posix_spawnattr_t attr{};
    posix_spawn_file_actions_t actions{};
    SpawnAttributes() {
        ::posix_spawnattr_init(&attr);
        ::posix_spawn_file_actions_init(&actions);
    }
    ~SpawnAttributes() {
        ::posix_spawn_file_actions_destroy(&actions);
        ::posix_spawnattr_destroy(&attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    int Prepare(int writeEnd, const std::string& folder) {
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD}) sigaddset(&defaults, s);
        int rc = ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                       POSIX_SPAWN_SETSIGDEF);
        if (rc == 0) rc = ::posix_spawnattr_setpgroup(&attr, 0);
        if (rc == 0) rc = ::posix_spawnattr_setsigmask(&attr, &none);
        if (rc == 0) rc = ::posix_spawnattr_setsigdefault(&attr, &defaults);
        if (rc == 0) rc = ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (rc == 0) rc = ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 1);
        if (rc == 0) rc = ::posix_spawn_file_actions_adddup2(&actions, writeEnd, 2);
        if (rc == 0 && !folder.empty()) rc = ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        return rc;
    }
};

} // namespace

TChildProcess::~TChildProcess() {
    if (Running()) Terminate();
    ClosePipe();
}

std::string TChildProcess::Start(const std::string& program, const std::vector<std::string>& argv,
                                 const std::string& workingFolder) {
    if (Running()) return "Es läuft bereits ein Vorgang.";
    ClosePipe();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::string("Pipe: ") + std::strerror(errno);
    SpawnAttributes spawn;
    int rc = spawn.Prepare(fds[1], isFolder(workingFolder) ? workingFolder : std::string());
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (rc == 0) rc = ::posix_spawn(&pid, program.c_str(), &spawn.actions, &spawn.attr, args.data(), environ);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        return program + " kann nicht gestartet werden: " + std::strerror(rc);
    }
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    Pid_ = pid;
    Pipe_ = fds[0];
    Status_.reset();
    return {};
}

std::string TChildProcess::ReadAvailable(std::size_t maxBytes) {
    std::string out;
    char buf[4096];
    while (Pipe_ >= 0 && out.size() < maxBytes) {
        const ssize_t n = ::read(Pipe_, buf, std::min(sizeof buf, maxBytes - out.size()));
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n == 0 || errno != EAGAIN) ClosePipe(); // end of the output
            break;
        }
    }
    return out;
}

bool TChildProcess::Reap() {
    if (Status_) return true;
    if (Pid_ <= 0) return false;
    int status = 0;
    const pid_t r = ::waitpid(Pid_, &status, WNOHANG);
    if (r == Pid_) Status_ = decodeStatus(status);
    else if (r < 0 && errno == ECHILD) Status_ = 255; // reaped elsewhere; the code is lost
    return Status_.has_value();
}

void TChildProcess::Terminate(std::int64_t graceMs) {
    if (!Running() || Reap()) return;
    // The child is not reaped, so its id still names its own group.
    ::kill(-Pid_, SIGTERM);
    const std::int64_t end = Clock_.monotonicMs() + graceMs;
    while (!Reap() && Clock_.monotonicMs() < end) Clock_.sleepMs(10);
    if (!Reap()) {
        ::kill(-Pid_, SIGKILL);
        int status = 0;
        pid_t r = 0;
        while ((r = ::waitpid(Pid_, &status, 0)) < 0 && errno == EINTR) {
        }
        Status_ = r == Pid_ ? decodeStatus(status) : 128 + SIGKILL;
    }
}

void TChildProcess::ClosePipe() {
    if (Pipe_ >= 0) ::close(Pipe_);
    Pipe_ = -1;
}

std::string FindProgram(const std::string& name, const std::string& folder, const std::string& searchPath) {
    if (!folder.empty() && isExecutableFile(folder + "/" + name)) return folder + "/" + name;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        const auto colon = searchPath.find(':', start);
        const std::string dir = searchPath.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!dir.empty() && isExecutableFile(dir + "/" + name)) return dir + "/" + name;
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

} // namespace v7300

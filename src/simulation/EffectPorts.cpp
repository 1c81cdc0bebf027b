#include "simulation/EffectPorts.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace v7300 {

std::vector<std::string> SplitArguments(const std::string& parameters) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (char c : parameters) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

namespace {

std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// posix_spawn file actions that remember whether every step could be added:
// a program whose redirections or folder change are missing is not started.
class SpawnActions {
public:
    SpawnActions() : ok_(posix_spawn_file_actions_init(&actions_) == 0), initialised_(ok_) {}
    ~SpawnActions() {
        if (initialised_) posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    void Chdir(const std::string& dir) {
        if (ok_) ok_ = posix_spawn_file_actions_addchdir_np(&actions_, dir.c_str()) == 0;
    }
    void Open(int fd, const char* path, int flags) {
        if (ok_) ok_ = posix_spawn_file_actions_addopen(&actions_, fd, path, flags, 0) == 0;
    }
    // The child's id, or -1 when the actions or the start failed.
    pid_t Spawn(std::vector<std::string> args) {
        if (!ok_ || args.empty()) return -1;
        std::vector<char*> argv = argvOf(args);
        pid_t pid = -1;
        return posix_spawnp(&pid, argv[0], &actions_, nullptr, argv.data(), environ) == 0 ? pid : -1;
    }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_;
    bool initialised_;
};

} // namespace

void PosixExecPort::Open(const ExecRequest& request) {
    std::vector<std::string> args;
    if (::access(request.Path.c_str(), X_OK) == 0) {
        args.push_back(request.Path);
        for (auto& a : SplitArguments(request.Parameters)) args.push_back(a);
    } else {
        args = {"xdg-open", request.Path};
    }
    SpawnActions actions;
    if (!request.WorkingDir.empty()) actions.Chdir(request.WorkingDir);
    actions.Open(0, "/dev/null", O_RDONLY);
    if (const pid_t pid = actions.Spawn(std::move(args)); pid > 0) children_.push_back(pid);
    Reap();
}

// Programs that have ended are reaped; those still running go on by themselves.
void PosixExecPort::Reap() {
    std::vector<int> running;
    for (int pid : children_)
        if (::waitpid(pid, nullptr, WNOHANG) == 0) running.push_back(pid);
    children_ = std::move(running);
}

PosixExecPort::~PosixExecPort() { Reap(); }

PosixPlayPort::~PosixPlayPort() { Stop(); }

void PosixPlayPort::Stop() {
    if (child_ > 0) {
        ::kill(child_, SIGTERM);
        ::waitpid(child_, nullptr, 0);
        child_ = -1;
    }
}

void PosixPlayPort::Play(const std::string& fileName) {
    Stop(); // a sound still playing is cut off
    SpawnActions actions;
    actions.Open(1, "/dev/null", O_WRONLY);
    actions.Open(2, "/dev/null", O_WRONLY);
    child_ = actions.Spawn({"aplay", "-q", fileName});
}

} // namespace v7300

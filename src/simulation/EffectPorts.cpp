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

} // namespace

void PosixExecPort::Open(const ExecRequest& request) {
    std::vector<std::string> args;
    if (::access(request.Path.c_str(), X_OK) == 0) {
        args.push_back(request.Path);
        for (auto& a : SplitArguments(request.Parameters)) args.push_back(a);
    } else {
        args = {"xdg-open", request.Path};
    }
    std::vector<char*> argv = argvOf(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!request.WorkingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, request.WorkingDir.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) children_.push_back(pid);
    posix_spawn_file_actions_destroy(&actions);
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

PosixPlayPort::~PosixPlayPort() {
    if (child_ > 0) {
        ::kill(child_, SIGTERM);
        ::waitpid(child_, nullptr, 0);
    }
}

void PosixPlayPort::Play(const std::string& fileName) {
    if (child_ > 0) { // a sound still playing is cut off
        ::kill(child_, SIGTERM);
        ::waitpid(child_, nullptr, 0);
        child_ = -1;
    }
    std::vector<std::string> args = {"aplay", "-q", fileName};
    std::vector<char*> argv = argvOf(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "aplay", &actions, nullptr, argv.data(), environ) == 0) child_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace v7300

#include "cli/InterruptWatch.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace v7300::cli {
namespace {

int gInterruptPipe[2] = {-1, -1};
struct sigaction gOldInt {};
struct sigaction gOldTerm {};
bool gInstalled = false;

extern "C" void onInterrupt(int) {
    const char byte = 1;
    if (gInterruptPipe[1] >= 0) (void)!::write(gInterruptPipe[1], &byte, 1);
}

} // namespace

InterruptWatch::InterruptWatch() {
    if (gInstalled || ::pipe2(gInterruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &gOldInt);
    ::sigaction(SIGTERM, &sa, &gOldTerm);
    gInstalled = true;
}

InterruptWatch::~InterruptWatch() {
    if (!gInstalled) return;
    ::sigaction(SIGINT, &gOldInt, nullptr);
    ::sigaction(SIGTERM, &gOldTerm, nullptr);
    ::close(gInterruptPipe[0]);
    ::close(gInterruptPipe[1]);
    gInterruptPipe[0] = gInterruptPipe[1] = -1;
    gInstalled = false;
}

int InterruptWatch::Descriptor() const { return gInstalled ? gInterruptPipe[0] : -1; }

} // namespace v7300::cli

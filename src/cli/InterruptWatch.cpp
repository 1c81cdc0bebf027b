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

void closePipe() {
    ::close(gInterruptPipe[0]);
    ::close(gInterruptPipe[1]);
    gInterruptPipe[0] = gInterruptPipe[1] = -1;
}

} // namespace

InterruptWatch::InterruptWatch() {
    if (gInstalled || ::pipe2(gInterruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    // Without both handlers the run goes on unwatched, as without the pipe.
    if (::sigaction(SIGINT, &sa, &gOldInt) != 0) {
        closePipe();
        return;
    }
    if (::sigaction(SIGTERM, &sa, &gOldTerm) != 0) {
        (void)::sigaction(SIGINT, &gOldInt, nullptr);
        closePipe();
        return;
    }
    gInstalled = true;
}

InterruptWatch::~InterruptWatch() {
    if (!gInstalled) return;
    // Putting back what was installed before cannot fail.
    (void)::sigaction(SIGINT, &gOldInt, nullptr);
    (void)::sigaction(SIGTERM, &gOldTerm, nullptr);
    closePipe();
    gInstalled = false;
}

int InterruptWatch::Descriptor() const { return gInstalled ? gInterruptPipe[0] : -1; }

} // namespace v7300::cli

#include "cli/GuiApplication.h"

#ifdef V7300_HAVE_QT
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace v7300::cli {

std::unique_ptr<QGuiApplication> ensureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) return nullptr;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0'))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Without a session Qt falls back to a private runtime folder and warns about it;
    // a command-line tool makes that folder itself and keeps its stderr for real messages.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);
        struct stat st {};
        if (::stat(dir.c_str(), &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 077) == 0)
            ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "v7300";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace v7300::cli
#endif

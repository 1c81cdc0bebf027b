// The real editor under a real window manager: the window geometry written to
// config.ini comes back unchanged at the next start, frame or no frame.
#include "XServer.h"
#include "project/Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace v7300 {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the editor until it has written its geometry as a maximized window, then ends it.
bool RunUntilWritten(const std::string& program, const std::string& display, const std::string& home,
                     const std::string& ini) {
    const pid_t editor = e2e::Spawn({program}, {"DISPLAY=" + display, "V7300_SETTINGS=" + ini, "QT_QPA_PLATFORM=xcb",
                                                "HOME=" + home, "XDG_DATA_HOME=" + home + "/data",
                                                "XDG_RUNTIME_DIR=" + home, "V7300_NO_START_PAUSE=1",
                                                "V7300_LINK=off", "LC_ALL=C.UTF-8"});
    bool written = false;
    for (int i = 0; i < 150 && !written; ++i) {
        QThread::msleep(200);
        written = ReadAll(ini).find("maximized=1") != std::string::npos;
    }
    QThread::msleep(1000); // a few more layout ticks
    e2e::Stop(editor);
    return written;
}

TEST(WindowManagerGeometryTest, RestoredGeometryDoesNotDriftUnderOpenbox) {
    const std::string program = std::string(V7300_BINARY_DIR) + "/bin/v7300-logik";
    if (!e2e::Installed("/usr/bin/Xvfb") || !e2e::Installed("/usr/bin/openbox"))
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    const e2e::VirtualX x;
    ASSERT_FALSE(x.Display().empty()) << "Xvfb did not start";
    const std::string home = std::filesystem::temp_directory_path() / ("v7300-wm-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    const pid_t wm = e2e::Spawn({"/usr/bin/openbox", "--sm-disable"},
                                {"DISPLAY=" + x.Display(), "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config"});
    QThread::msleep(1500); // openbox takes the screen

    const std::string ini = home + "/config.ini";
    TSettingsFile settings(ini);
    settings.WriteGeometry(false, 100, 120, 700, 500);
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(RunUntilWritten(program, x.Display(), home, ini)) << ReadAll(ini);
        EXPECT_EQ(settings.ReadInteger("config", "top", 0), 100) << ReadAll(ini);
        EXPECT_EQ(settings.ReadInteger("config", "left", 0), 120);
        EXPECT_EQ(settings.ReadInteger("config", "width", 0), 700);
        EXPECT_EQ(settings.ReadInteger("config", "height", 0), 500);
    }
    e2e::Stop(wm);
    std::filesystem::remove_all(home);
}

} // namespace
} // namespace v7300

// F6 pauses and resumes the simulation of the real editor, pressed on the
// keyboard of a virtual X server: the pause button at the right end of the
// toolbar shows its orange frame while paused.
#include "XServer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace v7300 {
namespace {

// The output of a shell-free command line (xdotool), its first line per entry.
std::vector<std::string> Lines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return lines;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) {
        std::string line(buf);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        lines.push_back(line);
    }
    pclose(p);
    return lines;
}

// Orange pixels of the pause button's checked frame near the toolbar's right end.
int PauseFramePixels(const QImage& screen, int windowWidth) {
    int n = 0;
    for (int y = 0; y < 70 && y < screen.height(); ++y)
        for (int x = windowWidth - 130; x < windowWidth - 50; ++x)
            n += (screen.pixel(x, y) & 0xFFFFFF) == 0xFF8000;
    return n;
}

TEST(SimulationKeysTest, F6OnTheKeyboardPausesAndResumesTheRealEditor) {
    const std::string example = std::string(V7300_SOURCE_DIR) + "/examples/treppenlicht.v7k";
    if (!e2e::Installed("/usr/bin/Xvfb") || !e2e::Installed("/usr/bin/xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const e2e::VirtualX server;
    const std::string& display = server.Display();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    const std::string home = e2e::MakeHome("v7300-keys");
    const pid_t editor = e2e::StartEditor(display, home, {"-simulate", example});
    e2e::UseDisplay(display, home);
    int argc = 1;
    char name[] = "e2e_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    auto grab = [] { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); };

    // The main window: the largest window of that name (the LCD window has it too).
    std::string window;
    const std::string xdo = "DISPLAY=" + display + " /usr/bin/xdotool ";
    for (int i = 0; i < 80 && window.empty(); ++i) {
        QThread::msleep(250);
        int largest = 0;
        for (const std::string& id : Lines(xdo + "search --onlyvisible --name '^V7300 - Logik' 2>/dev/null"))
            for (const std::string& line : Lines(xdo + "getwindowgeometry " + id))
                if (const auto at = line.find("Geometry: "); at != std::string::npos) {
                    const int w = std::atoi(line.c_str() + at + 10);
                    if (w > largest) largest = w, window = id;
                }
        if (largest < 900) window.clear();
    }
    ASSERT_FALSE(window.empty()) << "the editor did not show its window";
    QThread::msleep(1000);
    const int before = PauseFramePixels(grab(), 1000);

    auto key = [&](const char* k) {
        Lines(xdo + "windowfocus --sync " + window + " key " + k);
        QThread::msleep(700); // the layout timer shows the state within 200 ms
    };
    key("F6");
    const int paused = PauseFramePixels(grab(), 1000);
    key("F6");
    const int resumed = PauseFramePixels(grab(), 1000);
    e2e::Stop(editor);
    std::filesystem::remove_all(home);

    EXPECT_EQ(before, 0);
    EXPECT_GT(paused, 20);
    EXPECT_EQ(resumed, 0);
}

} // namespace
} // namespace v7300

// Starts the real editor with an example under a virtual X server, takes a
// picture of the screen once the diagram is drawn, checks that it is not blank
// and keeps it as docs/screenshot.png for the README.
#include "XServer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace v7300 {
namespace {

struct Colours {
    int distinct = 0;
    double nonBlack = 0;
    bool orange = false;
};

Colours Analyse(const QImage& image) {
    Colours c;
    QSet<QRgb> seen;
    long nonBlack = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            seen.insert(p);
            if (p != 0) ++nonBlack;
            if (p == 0xFF8000) c.orange = true;
        }
    c.distinct = static_cast<int>(seen.size());
    c.nonBlack = static_cast<double>(nonBlack) / ((image.width() / 2) * (image.height() / 2));
    return c;
}

TEST(EditorScreenshotTest, RealProgramShowsTheSimulatedExample) {
    const std::string program = std::string(V7300_BINARY_DIR) + "/bin/v7300-logik";
    const std::string example = std::string(V7300_SOURCE_DIR) + "/examples/treppenlicht.v7k";
    if (!e2e::Installed("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(std::filesystem::exists(program));
    ASSERT_TRUE(std::filesystem::exists(example));

    const e2e::VirtualX server;
    const std::string& display = server.Display();
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    const std::string home = e2e::MakeHome("v7300-e2e");
    // The example is opened from a projects folder as a user would, by its name there:
    // the status bar shows no path of the machine the picture was taken on.
    const std::string projects = home + "/Projekte";
    std::filesystem::create_directories(projects);
    std::filesystem::copy_file(example, projects + "/treppenlicht.v7k");
    const pid_t editor = e2e::StartEditor(display, home, {"-simulate", "treppenlicht.v7k"}, projects);
    e2e::UseDisplay(display, home);
    int argc = 1;
    char name[] = "e2e_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QImage shot;
    Colours colours;
    for (int i = 0; i < 60; ++i) {
        QThread::msleep(250);
        shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        colours = Analyse(shot);
        if (colours.orange && colours.distinct > 30 && i >= 12) break;
    }
    e2e::Stop(editor);
    std::filesystem::remove_all(home);

    EXPECT_GT(colours.distinct, 30);
    EXPECT_GT(colours.nonBlack, 0.05);
    EXPECT_TRUE(colours.orange) << "the scroll-bar thumbs are missing";
    ASSERT_FALSE(shot.isNull());
    // Keep the window only: the screen around it is black.
    QRect window;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFF) != 0) window |= QRect(x, y, 1, 1);
    if (window.isValid()) shot = shot.copy(window);
    // The build tree keeps every run's picture; V7300_UPDATE_SCREENSHOT=1 renews the README's.
    const bool update = std::getenv("V7300_UPDATE_SCREENSHOT") != nullptr;
    const std::string target = update ? std::string(V7300_SOURCE_DIR) + "/docs/screenshot.png"
                                      : std::string(V7300_BINARY_DIR) + "/screenshot.png";
    EXPECT_TRUE(shot.save(QString::fromStdString(target), "PNG"));
}

} // namespace
} // namespace v7300

// Starts the real editor with an example under a virtual X server, takes a
// picture of the screen once the diagram is drawn, checks that it is not blank
// and keeps it as docs/screenshot.png for the README.
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

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int keepFd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (keepFd < 0) {
        // keep the test's output clean
    }
    execv(argv[0], argv.data());
    _exit(127);
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        QThread::msleep(100);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

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
    if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(std::filesystem::exists(program));
    ASSERT_TRUE(std::filesystem::exists(example));

    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(pipeFd[0]);
        const std::string fd = std::to_string(pipeFd[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x900x24", "-nolisten", "tcp",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFd[1]);
    char buffer[16] = {};
    const ssize_t n = read(pipeFd[0], buffer, sizeof buffer - 1);
    close(pipeFd[0]);
    ASSERT_GT(n, 0) << "Xvfb did not start";
    const std::string display = ":" + std::string(buffer, static_cast<std::size_t>(n - 1));

    const std::string home = std::filesystem::temp_directory_path() / ("v7300-e2e-" + std::to_string(getpid()));
    std::filesystem::create_directories(home);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all);
    const std::string ini = home + "/config.ini";
    {
        FILE* f = std::fopen(ini.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("[config]\r\ntop=0\r\nleft=0\r\nwidth=1000\r\nheight=640\r\n", f);
        std::fclose(f);
    }
    const pid_t editor =
        Spawn({program, "-simulate", example},
              {"DISPLAY=" + display, "V7300_SETTINGS=" + ini, "QT_QPA_PLATFORM=xcb", "HOME=" + home, "XDG_DATA_HOME=" + home + "/data",
               "XDG_RUNTIME_DIR=" + home, "V7300_NO_START_PAUSE=1", "V7300_LINK=off", "LC_ALL=C.UTF-8"});

    // This process looks at the same X server.
    qputenv("DISPLAY", QByteArray::fromStdString(display));
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(home));
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
    Stop(editor);
    Stop(xvfb);
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

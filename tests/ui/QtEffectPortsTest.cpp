// The simulation's effects in the editor: the sound player's life and the
// slider windows' single owner.
#include "EditorFixture.h"
#include "ui/sim/QtEffectPorts.h"
#include "ui/sim/Unit_SimInput.h"

#include <QSlider>

#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace v7300::test {
namespace {

// Puts a folder in front of PATH for one test.
class PathPrefix {
public:
    explicit PathPrefix(const std::string& folder) : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        ::setenv("PATH", (folder + ":" + old_).c_str(), 1);
    }
    ~PathPrefix() { ::setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

pid_t WaitForPidFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        QCoreApplication::processEvents();
        std::ifstream in(path);
        pid_t pid = 0;
        if (in >> pid && pid > 0) return pid;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

// Without Qt Multimedia the sound goes to aplay; the player used to be a
// temporary whose end killed aplay at once.
TEST(QtPlayPortTest, FallbackPlayerLivesUntilTheSimulationStops) {
    EnsureQApplication();
    TempDir dir;
    const std::string pidFile = dir.file("aplay.pid");
    {
        std::ofstream script(dir.file("aplay"));
        script << "#!/bin/sh\necho $$ > '" << pidFile << "'\nexec sleep 30\n";
    }
    ::chmod(dir.file("aplay").c_str(), 0755);
    PathPrefix path(dir.path());
    TQtPlayPort port(false);
    port.Play(dir.file("klingel.wav"));
    const pid_t player = WaitForPidFile(pidFile);
    ASSERT_GT(player, 0) << "aplay was never started or ended at once";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(::kill(player, 0), 0) << "the sound was cut off";
    port.Stop();
    EXPECT_NE(::kill(player, 0), 0) << "still playing after the stop";
}

// The slider windows belong to their owner widget; the port never deletes them.
TEST(QtSimInputPortTest, SliderWindowsHaveOneOwner) {
    EnsureQApplication();
    auto* owner = new QWidget;
    std::vector<int> written;
    {
        TQtSimInputPort port(owner, [&](const std::string&, int value) { written.push_back(value); });
        port.ShowSliderWindow("IN3");
        TFrmSimInput* window = port.Window("IN3");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->parent(), owner);
        window->Slider->setValue(300);
        delete owner; // the window goes with its owner
        EXPECT_EQ(port.Window("IN3"), nullptr);
    } // the port ends without deleting anything a second time
    EXPECT_EQ(written, std::vector<int>{300});
}

} // namespace
} // namespace v7300::test

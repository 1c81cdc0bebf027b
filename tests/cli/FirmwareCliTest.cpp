// ports and flash.
#include "support/CliRun.h"
#include "support/FakeAvrdude.h"
#include "support/Pty.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace v7300::test {
namespace {

// Sets an environment variable for the scope of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_.empty()) ::unsetenv(name_);
        else ::setenv(name_, old_.c_str(), 1);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
};

TEST(PortsCli, OneLinePerPortThatOpens) {
    TempDir dir;
    Pty a, b;
    ASSERT_EQ(::symlink(a.slave().c_str(), dir.file("ttyUSB1").c_str()), 0);
    ASSERT_EQ(::symlink(b.slave().c_str(), dir.file("ttyACM0").c_str()), 0);
    writeFile(dir.file("ttyS0"), "");
    ScopedEnv env("V7300_DEV_DIR", dir.path());
    const auto r = runCli({"ports"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, dir.file("ttyACM0") + "\n" + dir.file("ttyUSB1") + "\n");
}

TEST(FlashCli, ListNumbersTheTwelveCaptions) {
    const auto r = runCli({"flash", "--list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
              "1 V7300-NET-IO (ATMega644)\n2 V7300-Output-Device [8-Fach]\n");
    EXPECT_NE(r.out.find("\n12 ATTiny2313 Löschen\n"), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 12);
}

TEST(FlashCli, DryRunPrintsTheCommandLineForANumberOrACaption) {
    const std::string line = "avrdude -p t2313 -b 115200 -c avr910 -P /dev/ttyUSB0 -e\n";
    for (const char* entry : {"12", "ATTiny2313 Löschen"}) {
        const auto r = runCli({"flash", entry, "--port", "/dev/ttyUSB0", "--dry-run"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, line);
    }
}

TEST(FlashCli, BadUsageExitsWithTwo) {
    EXPECT_EQ(runCli({"flash", "13", "--port", "/dev/ttyUSB0"}).status, 2);
    EXPECT_EQ(runCli({"flash", "V7300", "--port", "/dev/ttyUSB0"}).status, 2);
    EXPECT_EQ(runCli({"flash", "1"}).status, 2);
    EXPECT_EQ(runCli({"flash", "--list", "1"}).status, 2);
    EXPECT_EQ(runCli({"ports", "x"}).status, 2);
}

TEST(FlashCli, RunPassesTheOutputThroughAndExitsWithAvrdudesStatus) {
    TempDir dir;
    const auto fake = WriteFakeAvrdude(dir, "bin", 40, 1);
    ScopedEnv path("PATH", fake.Folder + ":" + std::getenv("PATH"));
    const auto r = runCli({"flash", "12", "--port", "/tmp/a b;c"});
    EXPECT_EQ(r.status, 1);
    std::string expected = "avrdude -p t2313 -b 115200 -c avr910 -P /tmp/a b;c -e\n";
    for (int i = 1; i <= 40; ++i) expected += "Zeile " + std::to_string(i) + "\n";
    expected += "Falshvorgang beendet!\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "avrdude beendet mit Status 1\n");
    EXPECT_EQ(readFile(fake.Arguments), "-p\nt2313\n-b\n115200\n-c\navr910\n-P\n/tmp/a b;c\n-e\n");
}

TEST(FlashCli, MissingAvrdudeExitsWith127NamingWhereItLooked) {
    TempDir dir;
    ScopedEnv path("PATH", dir.path());
    const auto r = runCli({"flash", "1", "--port", "/dev/ttyUSB0"});
    EXPECT_EQ(r.status, 127);
    EXPECT_NE(r.err.find("avrdude nicht gefunden"), std::string::npos);
    EXPECT_NE(r.err.find("tools/isp"), std::string::npos);
    EXPECT_NE(r.err.find(dir.path()), std::string::npos);
    EXPECT_NE(r.out.find("Falshvorgang beendet!\n"), std::string::npos);
}

} // namespace
} // namespace v7300::test

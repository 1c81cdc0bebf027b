// The firmware list, the output box and the flashing run with a fake avrdude.
#include "device/FirmwareFlash.h"
#include "device/FirmwareList.h"
#include "device/FlashOutput.h"
#include "support/FakeAvrdude.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace v7300::test {
namespace {

struct Row {
    const char* caption;
    const char* part;
    const char* lfuse;
    const char* hfuse;
    const char* efuse;
    const char* file;
};

// The table of the firmware list, column by column.
const Row kTable[] = {
    {"V7300-NET-IO (ATMega644)", "m644", "0xff", "0xd9", "0xfc", "V7300-NET-IO.hex"},
    {"V7300-Output-Device [8-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Output-Device-8-Fach.hex"},
    {"V7300-Output-Device [4-Fach/Relai]", "t2313", "0xff", "0xd9", "", "V7300-Output-Device-4-Fach-Relai.hex"},
    {"V7300-Output-Device [2-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Output-Device-2-Fach.hex"},
    {"V7300-Input-Device [8-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Input-Device-8-Fach.hex"},
    {"V7300-Input-Device [2-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Input-Device-2-Fach.hex"},
    {"V7300-Temperatur-Device [4-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Temperature-Device-4-Fach.hex"},
    {"V7300-Temperatur-Device [2-Fach]", "t2313", "0xff", "0xd9", "", "V7300-Temperature-Device-2-Fach.hex"},
    {"V7300-LED-Dimmer [2-Fach]", "m8", "0xbf", "0xd9", "", "V7300-LED-Dimmer-2-Fach.hex"},
    {"V7300-AVR-ISP-Programmer", "t2313", "0xed", "0xdf", "0xff", "V7300-AVR-ISP-Programmer.hex"},
    {"V7300-A/D-Konverter", "t13", "0x7a", "0xf9", "", "V7300-AD-Konverter.hex"},
    {"ATTiny2313 Löschen", "t2313", "", "", "", ""},
};

std::string expectedCommand(const Row& r, const std::string& port) {
    std::string c = std::string("avrdude -p ") + r.part + " -b 115200 -c avr910 -P " + port + " -e";
    for (const auto& [name, value] : {std::pair{"lfuse", r.lfuse}, {"hfuse", r.hfuse}, {"efuse", r.efuse}})
        if (*value) c += std::string(" -U ") + name + ":w:" + value + ":m";
    if (*r.file) c += std::string(" -U flash:w:") + r.file;
    return c;
}

TEST(FirmwareList, AllTwelveCaptionsAndCommandLinesFollowTheTable) {
    ASSERT_EQ(kFirmwareEntries.size(), std::size(kTable));
    for (std::size_t i = 0; i < std::size(kTable); ++i) {
        SCOPED_TRACE(kTable[i].caption);
        EXPECT_EQ(FirmwareCaption(kFirmwareEntries[i]), kTable[i].caption);
        EXPECT_EQ(FirmwareCommandLine(kFirmwareEntries[i], "/dev/ttyUSB0"), expectedCommand(kTable[i], "/dev/ttyUSB0"));
        EXPECT_EQ(FindFirmwareEntry(kTable[i].caption), static_cast<int>(i));
    }
    EXPECT_EQ(FirmwareCommandLine(kFirmwareEntries[11], "COM3"), "avrdude -p t2313 -b 115200 -c avr910 -P COM3 -e");
}

TEST(FirmwareList, APortWithBlanksAndShellCharactersStaysOneArgument) {
    const auto args = FirmwareArguments(kFirmwareEntries[11], "/tmp/a b;touch x");
    EXPECT_EQ(args, (std::vector<std::string>{"avrdude", "-p", "t2313", "-b", "115200", "-c", "avr910", "-P",
                                              "/tmp/a b;touch x", "-e"}));
}

TEST(FlashOutput, LineEndsAndALoneCarriageReturnThatRewritesTheLine) {
    TFlashOutput out;
    out.Append("eins\r\nzwei\nWriting | ##   | 20%\r");
    out.Append("\n"); // CR LF split across two reads
    out.Append("Reading | #    | 10%\rReading | #### | 100%");
    EXPECT_EQ(out.Lines(), (std::vector<std::string>{"eins", "zwei", "Writing | ##   | 20%", "Reading | #### | 100%"}));
    out.AppendLine("Ende");
    EXPECT_EQ(out.Text(), "eins\nzwei\nWriting | ##   | 20%\nReading | #### | 100%\nEnde");
}

TEST(FlashOutput, TrimKeepsTheNewestLines) {
    TFlashOutput out;
    for (int i = 1; i <= 40; ++i) out.Append("Zeile " + std::to_string(i) + "\n");
    out.Trim(30);
    const auto lines = out.Lines();
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines.front(), "Zeile 11");
    EXPECT_EQ(lines.back(), "Zeile 40");
}

TEST(FlashOutput, OutputWithoutLineEndsIsBrokenIntoBoundedLines) {
    TFlashOutput out;
    out.Append(std::string(3 * TFlashOutput::kMaxLineLength, '#'));
    for (const auto& line : out.Lines()) EXPECT_LE(line.size(), TFlashOutput::kMaxLineLength);
    EXPECT_EQ(out.LineCount(), 3u);
}

class FlashRun : public ::testing::Test {
protected:
    std::unique_ptr<TFirmwareFlash> Make(const std::string& searchPath) {
        auto f = std::make_unique<TFirmwareFlash>(TFirmwareFlashSetup{dir.file("isp"), searchPath, &messages, nullptr});
        f->SetPorts({"/dev/ttyUSB0", "/tmp/a b;touch " + dir.file("pwned")});
        return f;
    }
    // Drives the machine as the window does, until the run is over.
    static void RunToEnd(TFirmwareFlash& f) {
        for (int i = 0; i < 1000 && f.Running(); ++i) {
            pollfd p{f.Descriptor(), POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) f.OnReadable();
            f.OnTick(0);
        }
    }
    TempDir dir;
    RecordingMessagePort messages;
};

TEST_F(FlashRun, NothingChosenGivesTheTwoMessagesAndRunsNothing) {
    auto fp = Make("");
    auto& f = *fp;
    EXPECT_FALSE(f.Transfer());
    f.SelectEntry(0);
    EXPECT_FALSE(f.Transfer());
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"Bitte zuerst eine Firmware auswählen!", "Bitte zuerst einen Comport auswählen!"}));
    EXPECT_FALSE(f.Running());
}

TEST_F(FlashRun, RunsAvrdudeFromThePathAndEndsWithItsStatus) {
    writeFile(dir.file("isp/V7300-NET-IO.hex"), ":00000001FF\n");
    const auto fake = WriteFakeAvrdude(dir, "bin", 40, 1);
    auto fp = Make(fake.Folder);
    auto& f = *fp;
    std::string passed, notes;
    f.OnOutput = [&](const std::string& b) { passed += b; };
    f.OnNote = [&](const std::string& l) { notes += l + "\n"; };
    f.SelectEntry(0);
    f.SelectPort(1);
    ASSERT_TRUE(f.Transfer());
    EXPECT_FALSE(f.ButtonEnabled());
    EXPECT_FALSE(f.ListEnabled());
    RunToEnd(f);

    EXPECT_EQ(f.ExitStatus(), 1);
    EXPECT_TRUE(f.ButtonEnabled());
    EXPECT_TRUE(f.ListEnabled());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Falshvorgang beendet!"});
    EXPECT_EQ(notes, "avrdude beendet mit Status 1\n");
    EXPECT_NE(passed.find("Zeile 1\n"), std::string::npos);
    EXPECT_NE(passed.find("Zeile 40\n"), std::string::npos);
    const auto lines = f.Output().Lines();
    ASSERT_EQ(lines.size(), TFirmwareFlash::kMaxOutputLines);
    EXPECT_EQ(lines.front(), "Zeile 12");
    EXPECT_EQ(lines[lines.size() - 2], "Zeile 40");
    EXPECT_EQ(lines.back(), "avrdude beendet mit Status 1");
    // One argument per item of the command, the port with its blank and ";" as one.
    std::vector<std::string> expected = FirmwareArguments(kFirmwareEntries[0], "/tmp/a b;touch " + dir.file("pwned"));
    expected.erase(expected.begin());
    std::string recorded;
    for (const auto& a : expected) recorded += a + "\n";
    EXPECT_EQ(readFile(fake.Arguments), recorded);
    EXPECT_EQ(readFile(fake.WorkDir), dir.file("isp") + "\n");
    EXPECT_FALSE(std::ifstream(dir.file("pwned")).good());
}

TEST_F(FlashRun, AvrdudeInTheToolsFolderComesBeforeThePath) {
    const auto inPath = WriteFakeAvrdude(dir, "bin", 1, 3);
    const auto inTools = WriteFakeAvrdude(dir, "isp", 1, 0);
    auto fp = Make(inPath.Folder);
    auto& f = *fp;
    f.SelectEntry(11);
    f.SelectPort(0);
    f.Transfer();
    RunToEnd(f);
    EXPECT_EQ(f.ExitStatus(), 0);
    EXPECT_TRUE(std::ifstream(inTools.Arguments).good());
    EXPECT_FALSE(std::ifstream(inPath.Arguments).good());
}

TEST_F(FlashRun, MissingAvrdudeEndsWith127AndSaysWhereItLooked) {
    auto fp = Make(dir.file("empty-bin"));
    auto& f = *fp;
    f.SelectEntry(11);
    f.SelectPort(0);
    f.Transfer();
    EXPECT_FALSE(f.Running());
    EXPECT_EQ(f.ExitStatus(), TFirmwareFlash::kNotStarted);
    const std::string text = f.Output().Text();
    EXPECT_NE(text.find("avrdude nicht gefunden"), std::string::npos);
    EXPECT_NE(text.find(dir.file("isp")), std::string::npos);
    EXPECT_NE(text.find(dir.file("empty-bin")), std::string::npos);
    EXPECT_EQ(f.Output().Lines().back(), "avrdude beendet mit Status 127");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Falshvorgang beendet!"});
}

TEST_F(FlashRun, ClosingEndsTheRunsProcessGroupAndNothingElse) {
    const auto fake = WriteFakeAvrdude(dir, "bin", 1, 0, /*waits=*/true);
    // Another program named avrdude, not started by the window.
    const auto other = WriteFakeAvrdude(dir, "other", 0, 0, /*waits=*/true);
    const std::string otherProgram = other.Folder + "/avrdude";
    char* argv[] = {const_cast<char*>(otherProgram.c_str()), nullptr};
    pid_t bystander = 0;
    ASSERT_EQ(::posix_spawn(&bystander, otherProgram.c_str(), nullptr, nullptr, argv, environ), 0);

    auto fp = Make(fake.Folder);
    auto& f = *fp;
    f.SelectEntry(11);
    f.SelectPort(0);
    f.Transfer();
    std::pair<int, int> pids{0, 0};
    for (int i = 0; i < 500 && (pids.second == 0 || FakePids(other).second == 0); ++i) {
        ::usleep(10000);
        pids = FakePids(fake);
    }
    ASSERT_GT(pids.second, 0);
    ASSERT_TRUE(ProcessAlive(pids.first));
    f.Close();
    EXPECT_FALSE(f.Running());
    EXPECT_FALSE(ProcessAlive(pids.first));
    for (int i = 0; i < 200 && ProcessAlive(pids.second); ++i) ::usleep(10000);
    EXPECT_FALSE(ProcessAlive(pids.second)); // the run's own child went with it
    EXPECT_TRUE(ProcessAlive(bystander));
    EXPECT_TRUE(ProcessAlive(FakePids(other).second));
    ::kill(bystander, SIGTERM);
    ::kill(FakePids(other).second, SIGTERM);
    ::waitpid(bystander, nullptr, 0);
}

} // namespace
} // namespace v7300::test

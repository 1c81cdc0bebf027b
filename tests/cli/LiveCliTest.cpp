// live, --record and simulate --replay end to end against the virtual controller
// (and a peer that answers pings only) on 127.0.0.1.
#include "ServedController.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace v7300 {
namespace {

using test::runCli;
const std::string kStaircase = V7300_SOURCE_DIR "/examples/treppenlicht.v7k";
const std::string kHeating = V7300_SOURCE_DIR "/examples/heizung.v7k";

class Controller : public test::ServedController {
public:
    Controller() : ServedController(TVirtualControllerOptions{}) {}
    std::string portText() const { return std::to_string(port()); }
    // Puts the project into the controller and waits until it runs it.
    void upload(const std::string& project) {
        const auto r = runCli({"upload", project, "--device", "127.0.0.1", "--port", portText()});
        ASSERT_EQ(r.status, 0) << r.err;
        for (int i = 0; i < 200 && runningChecksum() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_NE(runningChecksum(), 0);
    }
};

// A peer that answers pings and nothing else, served by its own thread.
class PingOnlyPeer {
public:
    PingOnlyPeer() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~PingOnlyPeer() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::string portText() const { return std::to_string(port_); }

private:
    void serve() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            std::uint8_t buf[512];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            TV7300Telegram t;
            if (n <= 0 || ParseDatagram(buf, static_cast<std::size_t>(n), "", t) != 0 || t.Command != CmdPing) continue;
            t.Payload = {1};
            const auto reply = BuildDatagram(t);
            ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }
    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string lastLine(const std::string& text) {
    const auto end = text.find_last_not_of('\n');
    const auto begin = text.rfind('\n', end);
    return text.substr(begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

TEST(LiveCommand, NoControllerNoLiveView) {
    const auto r = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", std::to_string(test::unusedPort()),
                           "--seconds", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Keine Verbindung zu 127.0.0.1\n");
}

TEST(LiveCommand, WatchesTheControllerRunningTheUploadedProgram) {
    Controller vc;
    vc.upload(kStaircase);
    vc.command("input @1 1"); // the button: the staircase light goes on for two minutes
    const auto r = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", vc.portText(), "--seconds", "1.5",
                           "--watch", "$OUT1__A1,$TIMER1_SEKUNDEN"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(" $OUT1__A1=1\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.rfind("t=", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n$OUT1__A1=1\n$TIMER1_SEKUNDEN=120\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST(LiveCommand, StatusLineEverySecondWithoutWatch) {
    Controller vc;
    vc.upload(kStaircase);
    const auto r = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", vc.portText(), "--seconds", "2.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, 16), "Live View ( 10 m") << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);
}

TEST(LiveCommand, AnotherProgramInTheControllerStopsWithTheChecksumMessage) {
    Controller vc;
    vc.upload(kStaircase);
    const auto r = runCli({"live", kHeating, "--device", "127.0.0.1", "--port", vc.portText(), "--seconds", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Liveview wegen CRC-Fehler nicht möglich!\n");
}

TEST(LiveCommand, AControllerThatStopsReportingIsLost) {
    PingOnlyPeer peer;
    const auto r = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", peer.portText(), "--seconds", "5"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.err), "Livemode verbindung verloren!");
}

// The staircase with its timer's digits swapped: the checksum (a byte sum) stays
// the same, so the live view accepts the controller, but the light stays on
// 102 instead of 120 seconds.
std::string swappedDigitsStaircase(const test::TempDir& dir) {
    const auto dumped = runCli({"dump", kStaircase});
    const auto at = dumped.out.find("<value>120</value>");
    EXPECT_NE(at, std::string::npos);
    std::string xml = dumped.out;
    xml.replace(at, 18, "<value>102</value>");
    test::writeFile(dir.file("swapped.xml"), xml);
    const std::string project = dir.file("treppenlicht-102.v7k");
    EXPECT_EQ(runCli({"pack", dir.file("swapped.xml"), "-o", project}).status, 0);
    EXPECT_EQ(runCli({"checksum", project}).out, runCli({"checksum", kStaircase}).out);
    return project;
}

TEST(LiveRecordReplay, ReplayFindsTheParameterTheControllerRunsDifferently) {
    test::TempDir dir;
    const std::string swapped = swappedDigitsStaircase(dir);
    Controller vc;
    vc.upload(swapped);
    const std::string recording = dir.file("live.txt");
    const auto live = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", vc.portText(), "--seconds", "3",
                              "--record", recording});
    ASSERT_EQ(live.status, 0) << live.err;
    EXPECT_EQ(test::readFile(recording).rfind("V7300-LiveView-Aufzeichnung;CRC=25068;Start=", 0), 0u);

    const auto replay = runCli({"simulate", kStaircase, "--replay", recording});
    EXPECT_EQ(replay.status, 1) << replay.out << replay.err;
    EXPECT_EQ(replay.out.substr(replay.out.find(' ')), " TIMER1.SEKUNDEN: Gerät 102 Simulation 120\n1 Abweichungen\n")
        << replay.out;

    // The program that really runs in the controller agrees with the recording.
    const auto control = runCli({"simulate", swapped, "--replay", recording, "--watch", "$TIMER1_SEKUNDEN"});
    EXPECT_EQ(control.status, 0) << control.out << control.err;
    EXPECT_EQ(control.out.substr(control.out.find(' ')), " $TIMER1_SEKUNDEN=102\n$TIMER1_SEKUNDEN=102\n0 Abweichungen\n")
        << control.out;
}

TEST(LiveRecordReplay, ARecordingOfAnotherProjectIsRefused) {
    test::TempDir dir;
    const std::string recording = dir.file("live.txt");
    test::writeFile(recording, "V7300-LiveView-Aufzeichnung;CRC=25068;Start=2026-01-05T12:00:00.000;Projekt=x\r\n"
                               "10;IN1;A1;1\r\n");
    const auto r = runCli({"simulate", kHeating, "--replay", recording});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("anderen Projekt (Prüfsumme 25068, Projekt "), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(LiveRecordReplay, RecordRefusesToOverwriteAProject) {
    test::TempDir dir;
    const std::string project = dir.file("anlage.v7k");
    test::writeFile(project, test::readFile(kStaircase));
    Controller vc;
    vc.upload(kStaircase);
    const auto r = runCli({"live", kStaircase, "--device", "127.0.0.1", "--port", vc.portText(), "--seconds", "1",
                           "--record", project});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("keine LiveView-Aufzeichnung und wird nicht überschrieben"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(project), test::readFile(kStaircase));
}

} // namespace
} // namespace v7300

// upload and verify end to end against the virtual controller on 127.0.0.1.
#include "ServedController.h"
#include "device/ImageReader.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"
#include "project/XmlProject.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace v7300 {
namespace {

using test::runCli;
const std::string kStaircase = V7300_SOURCE_DIR "/examples/treppenlicht.v7k";

// A controller reporting the given firmware.
class Controller : public test::ServedController {
public:
    explicit Controller(TFirmwareVersion firmware = {2, 2, 2}) : ServedController(options(firmware)) {}
    std::string port() const { return std::to_string(ServedController::port()); }

private:
    static TVirtualControllerOptions options(TFirmwareVersion firmware) {
        TVirtualControllerOptions o;
        o.Firmware = firmware;
        return o;
    }
};
using test::unusedPort;

int projectChecksum(const std::string& path) {
    const auto r = runCli({"checksum", path});
    return std::stoi(r.out);
}

// The staircase with the timer's seconds changed, saved under `path`.
void editedStaircase(const std::string& path, const std::string& seconds) {
    test::RecordingMessagePort messages;
    TLogic logic(V7300_BINARY_DIR "/bin/objekts", messages);
    logic.NewProject();
    ASSERT_TRUE(OpenProjectFile(logic, kStaircase));
    for (int i = 0; i < logic.Components.Count(); ++i)
        if (auto* v = logic.Components.Items(i).Variables.FindByName("SEKUNDEN")) {
            ASSERT_TRUE(v->SetValue(seconds));
        }
    SaveXml(logic, path);
}

TEST(UploadCommand, WritesConfigurationAndProgramAndTheDeviceRunsIt) {
    Controller vc;
    const auto r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", vc.port(), "--ip", "10.0.0.7",
                           "--mask", "255.255.255.0", "--gateway", "10.0.0.1", "--dns", "10.0.0.2", "--mac",
                           "00:14:a5:0b:c1:70", "--web-port", "8080", "--telnet-port", "2323", "--tz", "-05",
                           "--password", "abc"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(" >> Konfiguration gelesen\n"), std::string::npos);
    EXPECT_NE(r.out.find(" >> Sende Daten: 32/129\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - 17), "Update komplete.\n");

    const auto eeprom = vc.eeprom();
    const std::vector<std::uint8_t> config(eeprom.begin(), eeprom.begin() + 37);
    const int crc = projectChecksum(kStaircase);
    const std::vector<std::uint8_t> expected = {
        0x00, 0xFF, 10, 0, 0, 7, 10, 0, 0, 1, 10, 0, 0, 2, 255, 255, 255, 0, 0x0F, 0xA0, 0x00, 0x14, 0xA5, 0x0B,
        0xC1, 0x70, static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc & 0xFF), 0x1F, 0x90,
        0x09, 0x13, 7, 'a', 'b', 'c', 0};
    EXPECT_EQ(config, expected);
    EXPECT_EQ(ReadDeviceImage(eeprom).Objects.size(), 4u);
    // The restart is the last datagram sent; the controller's thread may take it a moment later.
    for (int i = 0; i < 100 && vc.runningChecksum() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(vc.runningChecksum(), crc & 0xFFFF);
}

TEST(UploadCommand, SetClockShowsTheDeviceClockWithTheChosenZone) {
    Controller vc;
    const auto r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", vc.port(), "--tz", "+02",
                           "--set-clock"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto last = r.out.rfind("NET-IO-Uhrzeit: ");
    ASSERT_NE(last, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("GMT +2\n", last), std::string::npos) << r.out.substr(last);
}

TEST(UploadCommand, RefusesWhatTheWindowRefuses) {
    Controller vc;
    auto r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", vc.port(), "--web-port", "2323",
                     "--telnet-port", "2323"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Fehler: Webinterface-Port und Telnet-Port sind Identisch\n");
    EXPECT_EQ(vc.eeprom()[0], 0xFF);

    Controller old({2, 2, 3});
    r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", old.port()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Firmware: 02.02.03 (Veraltet!!!!)\n");
    EXPECT_EQ(old.eeprom()[0], 0xFF);
}

TEST(UploadCommand, SetClockWithoutAnyTimeZoneWritesNothing) {
    Controller vc; // never configured: no time zone
    const auto r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", vc.port(), "--set-clock"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Keine Zeitzone: der V7300-NET-IO hat keine, bitte --tz angeben\n");
    EXPECT_EQ(vc.eeprom()[0], 0xFF);
}

TEST(UploadCommand, NoDeviceIsNoConnection) {
    const auto r = runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", std::to_string(unusedPort()),
                           "--timeout", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Keine Verbindung\n");
}

TEST(UploadCommand, BadOptionsExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"upload", kStaircase},
             {"upload", kStaircase, "--device", "nirgends"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--mac", "00:14:A5:76:19"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--ip", "10.0.0.300"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--tz", "+13"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--password", "neunzeich"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--web-port", "0"},
             {"upload", kStaircase, "--device", "127.0.0.1", "--colour"},
             {"verify", kStaircase, "--device", "127.0.0.1", "--port", "70000"},
             {"verify", "--device", "127.0.0.1"},
         }) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("Hilfe: v7300 --help"), std::string::npos);
    }
}

TEST(VerifyCommand, EqualAfterUploadThenFindsTheChangedParameter) {
    Controller vc;
    ASSERT_EQ(runCli({"upload", kStaircase, "--device", "127.0.0.1", "--port", vc.port(), "--tz", "+01"}).status, 0);
    auto r = runCli({"verify", kStaircase, "--device", "127.0.0.1", "--port", vc.port()});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "Konfiguration: IP 192.168.0.91 Maske 255.255.255.0 Gateway 192.168.0.1 DNS 192.168.0.1 "
                     "MAC 00:14:A5:76:19:70 Web-Port 80 Telnet-Port 64400 Zeitzone +01\ngleich\n");

    test::TempDir dir;
    const std::string edited = dir.file("treppenlicht.v7k");
    editedStaircase(edited, "60");
    char crcLine[80];
    std::snprintf(crcLine, sizeof crcLine, "Logik CRC: Projekt 0x%04X, NET-IO 0x%04X\n", projectChecksum(edited) & 0xFFFF,
                  projectChecksum(kStaircase) & 0xFFFF);
    r = runCli({"verify", edited, "--device", "127.0.0.1", "--port", vc.port()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(0, r.out.find("Konfiguration")),
              std::string("TIMER1: SEKUNDEN: Projekt 60, NET-IO 120\n") + crcLine);
    EXPECT_EQ(r.out.substr(r.out.size() - 15), "2 Unterschiede\n");
}

TEST(VerifyCommand, SilentDeviceIsNoAnswer) {
    const auto r = runCli({"verify", kStaircase, "--device", "127.0.0.1", "--port", std::to_string(unusedPort())});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Keine Antwort\n");
    EXPECT_EQ(r.out, "");
}

} // namespace
} // namespace v7300

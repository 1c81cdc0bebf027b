// Reading the EEPROM back, comparing it with a project's image, and the whole
// transfer session against the virtual controller on a virtual clock (lost
// acknowledgements, restart into the new program).
#include "core/Clock.h"
#include "device/DeviceConfig.h"
#include "device/EepromReadback.h"
#include "device/ImageCompare.h"
#include "device/ImageReader.h"
#include "device/LogicCompiler.h"
#include "device/TransferSession.h"
#include "device/VirtualController.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <deque>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Record bytes: number, code, references, parameter bytes.
void record(TV7300_EEPROM_Data& image, std::uint8_t number, std::uint8_t code, const Bytes& refs, const Bytes& params) {
    image.AppendByte(number);
    image.AppendByte(code);
    image.AppendByte(static_cast<std::uint8_t>(refs.size() / 2));
    for (auto b : refs) image.AppendByte(b);
    image.AppendByte(static_cast<std::uint8_t>(params.size()));
    for (auto b : params) image.AppendByte(b);
}

// IN1 (software button), NUM1 = 0, TIMER1 = `seconds` fed by IN1 and NUM1, OUT1
// fed by TIMER1; page 1 "Licht" showing TIMER1 in slot 2.
TV7300_EEPROM_Data staircase(std::uint16_t seconds, std::uint8_t numOutput = 0) {
    TV7300_EEPROM_Data image;
    for (int i = 0; i < 49; ++i) image.AppendByte(0xFF);
    record(image, 1, kCodeIN, {}, {0, 10});
    record(image, 2, kCodeNUM, {}, {0, 0});
    record(image, 3, kCodeTIMER, {1, 0, 2, numOutput},
           {static_cast<std::uint8_t>(seconds >> 8), static_cast<std::uint8_t>(seconds & 0xFF)});
    record(image, 4, kCodeOUT, {3, 0}, {1});
    image.AppendByte(0xFF);
    const std::string page = "Licht";
    for (int i = 0; i < 48; ++i) image.AppendByte(i < 5 ? static_cast<std::uint8_t>(page[static_cast<std::size_t>(i)]) : 0);
    for (std::uint8_t b : Bytes{3, 0, 'O', 0x01, 'Z', 'e', 'i', 't', 0, 0, 0, 0}) image.AppendByte(b);
    image.AppendByte(0xFF);
    image.AppendByte(0xFF);
    return image;
}

const std::vector<TProjectObject> kObjects = {{"IN1", "IN"}, {"NUM1", "NUM"}, {"TIMER1", "TIMER"}, {"OUT1", "OUT"}};

// The device's EEPROM: the image with a configuration block and checksum.
Bytes deviceBytes(TV7300_EEPROM_Data image, std::int32_t checksum) {
    TDeviceSettings s;
    s.NewIp = "10.0.0.7";
    s.Mask = "255.255.255.0";
    s.Gateway = s.Dns = "10.0.0.1";
    s.TimeZone = 13;
    WriteConfigBlock(s, checksum, image);
    Bytes bytes = image.Bytes();
    bytes.resize(512, 0xFF);
    return bytes;
}

TEST(ImageCompare, SameProgramIsEqualAndTheConfigurationIsDescribed) {
    const auto result = CompareDeviceImage(kObjects, staircase(120), 0x61EC, deviceBytes(staircase(120), 0x61EC));
    EXPECT_TRUE(result.Differences.empty()) << result.Differences.front();
    EXPECT_EQ(result.Configuration, "IP 10.0.0.7 Maske 255.255.255.0 Gateway 10.0.0.1 DNS 10.0.0.1 "
                                    "MAC 00:14:A5:76:19:70 Web-Port 80 Telnet-Port 64400 Zeitzone +01");
}

TEST(ImageCompare, DifferencesAreNamedByComponent) {
    TV7300_EEPROM_Data device = staircase(30, 1);
    device.WriteByteAt(79, 'X'); // page name "Xicht"
    const auto result = CompareDeviceImage(kObjects, staircase(120), 0x61EC, deviceBytes(device, 0x61ED));
    EXPECT_EQ(result.Differences, (std::vector<std::string>{
                                      "TIMER1: SEKUNDEN: Projekt 120, NET-IO 30",
                                      "TIMER1: Verbindung 2: Projekt NUM1 Ausgang 1, NET-IO NUM1 Ausgang 2",
                                      "Seite 1: Name: Projekt \"Licht\", NET-IO \"Xicht\"",
                                      "Logik CRC: Projekt 0x61EC, NET-IO 0x61ED",
                                  }));
}

TEST(ImageCompare, MissingExtraAndRetypedObjects) {
    TV7300_EEPROM_Data device;
    for (int i = 0; i < 49; ++i) device.AppendByte(0xFF);
    record(device, 1, kCodeIN, {}, {0, 10});
    record(device, 2, kCodeCOUNT, {}, {0, 5});
    record(device, 7, kCodeAND, {}, {});
    device.AppendByte(0xFF);
    for (int i = 0; i < 48; ++i) device.AppendByte(0);
    device.AppendByte(0xFF);
    device.AppendByte(0xFF);
    const auto result = CompareDeviceImage(kObjects, staircase(120), 0x61EC, deviceBytes(device, 0x61EC));
    EXPECT_EQ(result.Differences, (std::vector<std::string>{
                                      "NUM1: Objekttyp: Projekt NUM, NET-IO COUNT",
                                      "TIMER1: fehlt im NET-IO",
                                      "OUT1: fehlt im NET-IO",
                                      "Objekt 7: nur im NET-IO (AND)",
                                      "Seite 1: Name: Projekt \"Licht\", NET-IO \"\"",
                                      "Seite 1, Platz 2: Projekt TIMER1 Wert 0 O \"Zeit\", NET-IO leer",
                                  }));
}

TEST(ImageCompare, UnreadableDeviceImageIsOneDifference) {
    Bytes device(49, 0xFF);
    device.push_back(1);
    device.push_back(200); // no such type
    const auto result = CompareDeviceImage(kObjects, staircase(120), 0xFFFF, device);
    ASSERT_EQ(result.Differences.size(), 1u);
    EXPECT_EQ(result.Differences[0].rfind("NET-IO: Das Geräteabbild ist fehlerhaft", 0), 0u);
}

// ------------------------------------------------------------ read-back

struct ReadbackHarness {
    Bytes eeprom = deviceBytes(staircase(120), 1);
    std::vector<TV7300Telegram> sent;
    TEepromReadback reader{[this](const TV7300Telegram& t) { sent.push_back(t); }, HoldsCompleteImage, 100};

    // Answers the last request from the EEPROM (as far as it reaches).
    void answer() {
        const auto& p = sent.back().Payload;
        const std::size_t at = static_cast<std::size_t>(p[0] * 256 + p[1]);
        TV7300Telegram r;
        r.Command = CmdReadEeprom;
        r.Payload = {p[0], p[1]};
        for (std::size_t i = at; i < at + p[2] && i < eeprom.size(); ++i) r.Payload.push_back(eeprom[i]);
        reader.onTelegram(r, 0);
    }
};

TEST(EepromReadback, ReadsBlocksUntilTheImageIsComplete) {
    ReadbackHarness h;
    h.reader.Start(0);
    while (h.reader.State() == TEepromReadback::TState::Reading) h.answer();
    EXPECT_EQ(h.reader.State(), TEepromReadback::TState::Done);
    EXPECT_EQ(h.sent.size(), 3u); // 64 + 64 bytes are not yet the 141-byte image
    EXPECT_EQ(h.sent[1].Payload, (Bytes{0, 64, 64}));
    EXPECT_EQ(ReadDeviceImage(h.reader.Bytes()).Objects.size(), 4u);
}

TEST(EepromReadback, ShortReplyEndsTheEeprom) {
    ReadbackHarness h;
    h.eeprom.resize(100);
    h.reader.Start(0);
    while (h.reader.State() == TEepromReadback::TState::Reading) h.answer();
    EXPECT_EQ(h.reader.Bytes().size(), 100u);
}

TEST(EepromReadback, LostRepliesAreAskedForAgainThenTheReadFails) {
    ReadbackHarness h;
    h.reader.Start(0);
    h.answer();
    for (int i = 1; i <= 4; ++i) {
        h.reader.onTick(500 * i);
        EXPECT_EQ(h.sent.size(), 2u + static_cast<std::size_t>(i));
        EXPECT_EQ(h.sent.back().Payload, (Bytes{0, 64, 64}));
    }
    h.reader.onTick(2500);
    EXPECT_EQ(h.reader.State(), TEepromReadback::TState::Failed);
}

TEST(EepromReadback, ReplyToAnEarlierRequestIsNotTakenTwice) {
    ReadbackHarness h;
    h.reader.Start(0);
    h.answer();
    const TV7300Telegram first = [&] {
        TV7300Telegram r;
        r.Command = CmdReadEeprom;
        r.Payload.assign(66, 0);
        std::copy(h.eeprom.begin(), h.eeprom.begin() + 64, r.Payload.begin() + 2);
        return r;
    }();
    h.reader.onTelegram(first, 10);
    EXPECT_EQ(h.reader.Bytes().size(), 64u);
}

// ------------------------------------------------------------ session against the virtual controller

class SessionAgainstController : public ::testing::Test {
protected:
    explicit SessionAgainstController(std::uint32_t dropAck = 3) {
        TVirtualControllerOptions o;
        o.Port = 0;
        o.DropAck = dropAck;
        controller = std::make_unique<TVirtualController>(o, clock);
    }
    // Delivers what the session sent, and the replies, until nothing is left.
    void pump() {
        while (!wire.empty()) {
            const Bytes d = wire.front();
            wire.pop_front();
            for (const auto& r : controller->HandleDatagram(d.data(), d.size())) {
                TV7300Telegram t;
                if (ParseDatagram(r.data(), r.size(), "127.0.0.1", t) == 0) session.onTelegram(t);
            }
        }
    }
    void runFor(std::int64_t ms) {
        for (std::int64_t done = 0; done < ms; done += 10) {
            clock.advanceMs(10);
            session.onTick(clock.monotonicMs());
            pump();
        }
    }

    VirtualClock clock;
    test::RecordingMessagePort port;
    std::unique_ptr<TVirtualController> controller;
    std::deque<Bytes> wire;
    TTransferSession session{staircase(120), 0x161EC, "127.0.0.1",
                             [this](const std::string&, const TV7300Telegram& t) { wire.push_back(BuildDatagram(t)); },
                             clock, port};
};

TEST_F(SessionAgainstController, LostAcknowledgementsAreResentAndTheNewProgramRuns) {
    runFor(1000);
    ASSERT_TRUE(session.View().TransferEnabled);
    ASSERT_TRUE(session.StartTransfer());
    pump();
    runFor(8000);
    ASSERT_EQ(session.Phase(), TTransferPhase::Done);

    const auto& image = session.Image().Bytes();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), controller->Eeprom().begin()));
    int sends = 0;
    for (const auto& line : session.LogLines()) sends += line.find(">> Sende Daten:") != std::string::npos;
    EXPECT_EQ(sends, 5 + 1); // five blocks, the third one twice
    EXPECT_TRUE(controller->LogicRunning());
    const Bytes ask = BuildDatagram(MakeRequestLiveData(3));
    const auto replies = controller->HandleDatagram(ask.data(), ask.size());
    ASSERT_EQ(replies.size(), 1u);
    TV7300Telegram live;
    ASSERT_EQ(ParseDatagram(replies[0].data(), replies[0].size(), "", live), 0);
    EXPECT_EQ(DecodeLiveData(live)->Checksum, 0x61EC);
    // Seen again after the restart: the configuration is read and shows the new checksum.
    runFor(2000);
    EXPECT_TRUE(session.View().TransferEnabled);
    EXPECT_EQ(session.View().LogicCrc, "0x61EC");
}

} // namespace
} // namespace v7300

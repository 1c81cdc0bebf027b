// The transfer session on a virtual clock: connection, configuration read-out,
// device replies, the configuration block, the block transfer with its resend
// rules and the stop after 30 s, the clock command and the device search.
#include "core/Clock.h"
#include "device/TransferSession.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Sent {
    std::string address;
    TV7300Telegram telegram;
};

TV7300Telegram reply(std::uint8_t command, Bytes payload = {}, std::string peer = "127.0.0.1") {
    TV7300Telegram t;
    t.Command = command;
    t.Kind = kKindSet;
    t.Payload = std::move(payload);
    t.PeerAddress = std::move(peer);
    return t;
}

// A compiled image of `size` bytes: 49 × 0xFF, then the byte values 1, 2, 3 …
TV7300_EEPROM_Data makeImage(int size) {
    TV7300_EEPROM_Data image;
    for (int i = 0; i < size; ++i) image.AppendByte(i < 49 ? 0xFF : static_cast<std::uint8_t>(i - 48));
    return image;
}

// A configured block as the controller holds it (image bytes 0 … 44).
Bytes configuredBlock() {
    Bytes b(45, 0xFF);
    b[0] = 0;
    const Bytes fields = {10, 0, 0, 7, 10, 0, 0, 1, 8, 8, 4, 4, 255, 255, 0, 0, 0x0F, 0xA0,
                          0x00, 0x14, 0xA5, 0x0B, 0xC1, 0x70, 0x61, 0xEC, 0x00, 0x50, 0xFB, 0x90, 13};
    std::copy(fields.begin(), fields.end(), b.begin() + 2);
    const std::string pw = "abc";
    std::copy(pw.begin(), pw.end(), b.begin() + 33);
    b[36] = 0;
    return b;
}

Bytes eepromReply(std::uint16_t address, const Bytes& data) {
    Bytes p(data.size() + 2);
    p[0] = static_cast<std::uint8_t>(address >> 8);
    p[1] = static_cast<std::uint8_t>(address & 0xFF);
    std::copy(data.begin(), data.end(), p.begin() + 2);
    return p;
}

class TransferSessionTest : public ::testing::Test {
protected:
    TransferSessionTest() { session.OnLog = [this](const std::string& line) { logged.push_back(line); }; }

    // Moves the virtual clock in 10 ms steps, ticking the session at each.
    void advance(std::int64_t ms) {
        for (std::int64_t done = 0; done < ms; done += 10) {
            clock.advanceMs(10);
            session.onTick(clock.monotonicMs());
        }
    }
    // The device answers pings and has its configuration read: buttons enabled.
    void connect(const Bytes& config = configuredBlock()) {
        session.onTelegram(reply(CmdFirmwareVersion, {2, 2, 2}));
        session.onTelegram(reply(CmdPing, {0}));
        advance(800);
        session.onTelegram(reply(CmdReadEeprom, eepromReply(0, config)));
        sent.clear();
        logged.clear();
    }
    std::vector<Sent> sentWith(std::uint8_t command) const {
        std::vector<Sent> r;
        for (const auto& s : sent)
            if (s.telegram.Command == command) r.push_back(s);
        return r;
    }
    // The log lines without their time stamps.
    std::vector<std::string> messages() const {
        std::vector<std::string> r;
        for (const auto& line : logged) r.push_back(line.substr(line.find(" >> ") + 4));
        return r;
    }
    void acknowledge() { session.onTelegram(reply(CmdWriteEeprom, {})); }

    VirtualClock clock{{2026, 1, 5, 12, 0, 0, 0}};
    test::RecordingMessagePort port;
    std::vector<Sent> sent;
    std::vector<std::string> logged;
    TDeviceSearch search;
    TTransferSession session{makeImage(100), 0x12345, "127.0.0.1",
                             [this](const std::string& a, const TV7300Telegram& t) { sent.push_back({a, t}); },
                             clock, port, &search};
};

// ------------------------------------------------------------ connection

TEST_F(TransferSessionTest, PingCycleAsksForEverythingEvery500Ms) {
    advance(490);
    EXPECT_TRUE(sent.empty());
    advance(10);
    std::vector<std::uint8_t> commands;
    for (const auto& s : sent) {
        commands.push_back(s.telegram.Command);
        EXPECT_EQ(s.address, "127.0.0.1");
    }
    EXPECT_EQ(commands, (std::vector<std::uint8_t>{CmdPing, CmdClock, CmdFirmwareVersion, CmdLogikOutput,
                                                   CmdExpansionStage}));
    EXPECT_EQ(sentWith(CmdLogikOutput)[0].telegram.Payload, Bytes{0});
    advance(500);
    EXPECT_EQ(sentWith(CmdPing).size(), 2u);
}

TEST_F(TransferSessionTest, TypedAddressIsUsedFromTheNextRequestOn) {
    session.Address() = "127.0.0.2";
    advance(500);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().address, "127.0.0.2");
}

TEST_F(TransferSessionTest, NoPingReplyMeansNoConnectionAndDisabledButtons) {
    EXPECT_EQ(session.View().Status, "Status unbekannt");
    advance(800);
    EXPECT_EQ(session.View().Status, "Keine Verbindung");
    EXPECT_FALSE(session.View().TransferEnabled);
    EXPECT_TRUE(sentWith(CmdReadEeprom).empty());
}

TEST_F(TransferSessionTest, FirstConnectionReadsTheConfigurationOnce) {
    advance(500);
    session.onTelegram(reply(CmdPing, {0}));
    sent.clear();
    advance(300);
    EXPECT_EQ(session.View().Status, "Verbunden");
    ASSERT_EQ(sentWith(CmdReadEeprom).size(), 1u);
    EXPECT_EQ(sentWith(CmdReadEeprom)[0].telegram.Payload, (Bytes{0, 0, 45}));
    EXPECT_EQ(sentWith(CmdClock).size(), 1u);
    EXPECT_EQ(messages(), std::vector<std::string>{"Lese Konfiguration..."});
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_TRUE(session.View().TransferEnabled);
    EXPECT_TRUE(session.View().ClockEnabled);
    sent.clear();
    session.onTelegram(reply(CmdPing, {0}));
    advance(800);
    EXPECT_TRUE(sentWith(CmdReadEeprom).empty());
}

TEST_F(TransferSessionTest, LostConfigurationReplyIsAskedForAgain) {
    session.onTelegram(reply(CmdPing, {0}));
    advance(800);
    session.onTelegram(reply(CmdPing, {0}));
    sent.clear();
    advance(800);
    EXPECT_EQ(sentWith(CmdReadEeprom).size(), 1u);
}

TEST_F(TransferSessionTest, LogLineCarriesTheLocalTimeWithMilliseconds) {
    clock.advanceMs(3723456);
    session.onLinkError(LinkErrorCrc);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0], "13:02:03.456 >> PC-Error: CRC FAIL");
}

// ------------------------------------------------------------ configuration read-out

TEST_F(TransferSessionTest, ConfigurationFillsEveryField) {
    connect();
    const auto& s = session.Settings();
    EXPECT_EQ(s.NewIp, "10.0.0.7");
    EXPECT_EQ(s.Gateway, "10.0.0.1");
    EXPECT_EQ(s.Dns, "8.8.4.4");
    EXPECT_EQ(s.Mask, "255.255.0.0");
    EXPECT_EQ(s.Mac, (std::array<std::string, 6>{"00", "14", "A5", "0B", "C1", "70"}));
    EXPECT_EQ(session.View().LogicCrc, "0x61EC");
    EXPECT_EQ(s.WebPort, "80");
    EXPECT_EQ(s.TelnetPort, "64400");
    EXPECT_EQ(s.TimeZone, 13);
    EXPECT_EQ(s.Password, "abc");
}

TEST_F(TransferSessionTest, UnconfiguredDeviceGetsTheDefaultAddressesOnly) {
    session.Settings().WebPort = "8080";
    connect(Bytes(45, 0xFF));
    const auto& s = session.Settings();
    EXPECT_EQ(s.NewIp, "192.168.0.91");
    EXPECT_EQ(s.Gateway, "192.168.0.1");
    EXPECT_EQ(s.Dns, "192.168.0.1");
    EXPECT_EQ(s.Mask, "255.255.255.0");
    EXPECT_EQ(s.WebPort, "8080");
    EXPECT_EQ(s.TimeZone, -1);
    EXPECT_EQ(session.View().LogicCrc, "????");
    EXPECT_TRUE(session.View().TransferEnabled);
}

TEST_F(TransferSessionTest, ReadOutFromAnotherAddressEnablesButFillsNothing) {
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0x40, configuredBlock())));
    EXPECT_TRUE(session.View().TransferEnabled);
    EXPECT_EQ(session.Settings().NewIp, "???");
    EXPECT_EQ(messages(), std::vector<std::string>{"Konfiguration gelesen"});
}

// ------------------------------------------------------------ device replies

TEST_F(TransferSessionTest, FirmwareVersionDecidesColourAndButtons) {
    connect();
    session.onTelegram(reply(CmdFirmwareVersion, {2, 2, 3}));
    EXPECT_EQ(session.View().FirmwareLine, "Firmware: 02.02.03 (Veraltet!!!!)");
    EXPECT_EQ(session.View().FirmwareColour, kColourRed);
    EXPECT_FALSE(session.View().TransferEnabled);
    EXPECT_FALSE(session.View().ClockEnabled);
    // A configuration read-out does not give an outdated firmware its buttons back.
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_FALSE(session.View().TransferEnabled);

    session.onTelegram(reply(CmdFirmwareVersion, {2, 2, 2}));
    EXPECT_EQ(session.View().FirmwareLine, "Firmware: 02.02.02 (Aktuell)");
    EXPECT_EQ(session.View().FirmwareColour, kColourGreen);
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_TRUE(session.View().TransferEnabled);
}

TEST_F(TransferSessionTest, ClockLine) {
    session.onTelegram(reply(CmdClock, {12, 34, 56, 9, 0, 5, 0xFF}));
    EXPECT_EQ(session.View().ClockLine, "NET-IO-Uhrzeit: ?? 12:34:56  Tag 005  GMT -1");
    session.onTelegram(reply(CmdClock, {7, 5, 0, 1, 0x01, 0x6E, 1}));
    EXPECT_EQ(session.View().ClockLine, "NET-IO-Uhrzeit: Di 07:05:00  Tag 366  GMT +1");
}

TEST_F(TransferSessionTest, PanelsShowTheEquipment) {
    EXPECT_EQ(session.View().Panels[1].Hint, "RTC-Status nicht verfügbar");
    session.onTelegram(reply(CmdExpansionStage, {0x05}));
    const auto& p = session.View().Panels;
    EXPECT_EQ(p[0], (TIndicatorPanel{"I2C", kColourLightGreen, true, "I2C gefunden"}));
    EXPECT_EQ(p[1], (TIndicatorPanel{"RTC", kColourLightRed, false, "RTC nicht verfügbar"}));
    EXPECT_EQ(p[2], (TIndicatorPanel{"EEPROM", kColourLightGreen, true, "EEPROM gefunden"}));
}

TEST_F(TransferSessionTest, RepliesThatOnlyLogOrShow) {
    session.onTelegram(reply(CmdLogikOutput, {0, 0x61, 0xEC, 0x01, 0x2C}));
    EXPECT_EQ(session.View().CycleTime, "300 ms");
    session.onTelegram(reply(CmdBootMode));
    session.onTelegram(reply(CmdSerialNumber, {0x0A, 0x1B, 0x2C, 0x3D}));
    session.onTelegram(reply(CmdUserData, {'O', 'K', 0x1B, '!'}));
    session.onTelegram(reply(CmdStartUpdate, {0x01, 0x00}));
    session.onTelegram(reply(CmdDebug, {'x'}));
    EXPECT_EQ(messages(), (std::vector<std::string>{"Device ist nun im Bootloader Modus!", "0A1B-2C3D", "OK.!",
                                                    "Blocksize: 256"}));
}

TEST_F(TransferSessionTest, DeviceAndLinkErrorTexts) {
    const std::vector<std::pair<Bytes, std::string>> reports = {
        {{9, 1, 0x3A, 0x4B}, "NET-IO-Error: [WRITE_EEPROM] CRC ( V7300-NET-IO: 0x3A PC: 0x4B)"},
        {{12, 2, 0x7F, 0}, "NET-IO-Error: [READ_EEPROM] ETX Fehlerhaft (7F)"},
        {{14, 3}, "NET-IO-Error: [PING] STX Fehlerhaft"},
        {{9, 4, 20, 34}, "NET-IO-Error: [WRITE_EEPROM] LENGTH ( V7300-NET-IO: 20 PC: 34)"},
        {{17, 5}, "NET-IO-Error: [CLOCK] TIMEOUT"},
        {{99, 6}, "NET-IO-Error: [Unknown] Not Known"},
        {{3, 7}, "NET-IO-Error: [FIRMWARE_VERSION] "},
    };
    std::vector<std::string> expected;
    for (const auto& [payload, text] : reports) {
        session.onTelegram(reply(CmdError, payload));
        expected.push_back(text);
    }
    for (std::uint8_t code : {1, 2, 3, 4, 5, 9}) session.onLinkError(code);
    for (const char* t : {"PC-Error: CRC FAIL", "PC-Error: NO ETX", "PC-Error: NO STX", "PC-Error: LENGTH",
                          "PC-Error: TIMEOUT", "PC-Error: "})
        expected.push_back(t);
    EXPECT_EQ(messages(), expected);
}

// ------------------------------------------------------------ checks before the transfer

TEST_F(TransferSessionTest, EqualPortTextsAreRefused) {
    connect();
    session.Settings().TelnetPort = "80";
    EXPECT_FALSE(session.StartTransfer());
    EXPECT_EQ(port.texts(), std::vector<std::string>{"Fehler: Webinterface-Port und Telnet-Port sind Identisch"});
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(session.View().TransferEnabled);
    EXPECT_FALSE(session.View().ClockEnabled);
}

TEST_F(TransferSessionTest, PortTextsThatDifferPassEvenWithTheSameNumber) {
    connect();
    session.Settings().WebPort = "080";
    session.Settings().TelnetPort = "80";
    EXPECT_TRUE(session.StartTransfer());
    EXPECT_TRUE(port.texts().empty());
    EXPECT_EQ(session.Image().ReadByteAt(29), 80);
}

TEST_F(TransferSessionTest, FieldWithoutANumberStopsBeforeAnyBlock) {
    connect(Bytes(45, 0xFF));
    session.Settings().Gateway = "???";
    EXPECT_FALSE(session.StartTransfer());
    EXPECT_EQ(port.texts(), std::vector<std::string>{"'?\?\?' ist kein gültiger Integerwert"});
    EXPECT_TRUE(sent.empty());
}

TEST_F(TransferSessionTest, StartNeedsTheEnabledButton) {
    EXPECT_FALSE(session.StartTransfer());
    EXPECT_FALSE(session.SetDeviceClock());
    EXPECT_TRUE(sent.empty());
}

// ------------------------------------------------------------ the transfer

TEST_F(TransferSessionTest, HundredByteImageGoesAsFourBlocksThenRestart) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    for (int i = 0; i < 4; ++i) acknowledge();
    EXPECT_EQ(sentWith(CmdLogikState).size(), 2u);
    EXPECT_EQ(session.Phase(), TTransferPhase::Pausing);
    const auto blocks = sentWith(CmdWriteEeprom);
    ASSERT_EQ(blocks.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const Bytes& p = blocks[i].telegram.Payload;
        ASSERT_EQ(p.size(), 34u);
        EXPECT_EQ(p[0] * 256 + p[1], static_cast<int>(32 * i));
    }
    const Bytes& last = blocks[3].telegram.Payload;
    EXPECT_EQ(last[2], session.Image().ReadByteAt(96));
    EXPECT_EQ(last[5], session.Image().ReadByteAt(99));
    EXPECT_EQ(Bytes(last.begin() + 6, last.end()), Bytes(28, 0xFF));
    EXPECT_EQ(session.View().ProgressMax, 100);
    EXPECT_EQ(session.View().ProgressPosition, 100);
    EXPECT_TRUE(sentWith(CmdRestart).empty());

    advance(1000);
    EXPECT_EQ(sentWith(CmdRestart).size(), 1u);
    EXPECT_EQ(session.Phase(), TTransferPhase::Done);
    auto log = messages();
    ASSERT_EQ(log.size(), 13u);
    log.erase(log.begin() + 11); // the line about the ARP cache
    EXPECT_EQ(log, (std::vector<std::string>{
                       "Deaktiviere Debug Mode!", "Sende Daten: 32/100", "Schreibe 32 / 100", "Sende Daten: 64/100",
                       "Schreibe 64 / 100", "Sende Daten: 96/100", "Schreibe 96 / 100", "Sende Daten: 100/100",
                       "Schreibe 100 / 100", "Deaktiviere Debug Mode", "Neustart.", "Update komplete."}));
}

TEST_F(TransferSessionTest, ConfigurationBlockIsWrittenIntoTheImage) {
    connect();
    auto& s = session.Settings();
    s.NewIp = "192.168.1.20";
    s.Mac = {"0", "1a", "FF", "76", "19", "70"};
    s.TimeZone = 14;
    ASSERT_TRUE(session.StartTransfer());
    Bytes block;
    for (int i = 0; i < 49; ++i) block.push_back(session.Image().ReadByteAt(i));
    const Bytes expected = {0x00, 0xFF, 192, 168, 1, 20, 10, 0, 0, 1, 8, 8, 4, 4, 255, 255, 0, 0, 0x0F, 0xA0,
                            0x00, 0x1A, 0xFF, 0x76, 0x19, 0x70, 0x23, 0x45, 0x00, 0x50, 0xFB, 0x90, 14,
                            'a', 'b', 'c', 0x00};
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 37), expected);
    EXPECT_EQ(Bytes(block.begin() + 37, block.end()), Bytes(12, 0xFF));
}

TEST_F(TransferSessionTest, EmptyPasswordWritesOnlyItsEnd) {
    connect();
    session.Settings().Password.clear();
    ASSERT_TRUE(session.StartTransfer());
    EXPECT_EQ(session.Image().ReadByteAt(33), 0x00);
    EXPECT_EQ(session.Image().ReadByteAt(34), 0xFF);
}

TEST_F(TransferSessionTest, LostAcknowledgementResendsTheBlockAfterTwoSeconds) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    acknowledge();
    advance(1990);
    EXPECT_EQ(sentWith(CmdWriteEeprom).size(), 2u);
    advance(10);
    const auto blocks = sentWith(CmdWriteEeprom);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[2].telegram.Payload, blocks[1].telegram.Payload);
    acknowledge();
    EXPECT_EQ(sentWith(CmdWriteEeprom).back().telegram.Payload[1], 64);
}

TEST_F(TransferSessionTest, LastPartialBlockIsResentFrom32BytesBeforeTheEnd) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    for (int i = 0; i < 3; ++i) acknowledge();
    advance(2000);
    const auto resent = sentWith(CmdWriteEeprom).back().telegram.Payload;
    EXPECT_EQ(resent[0] * 256 + resent[1], 68);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(resent[2 + static_cast<std::size_t>(i)], session.Image().ReadByteAt(68 + i));
    EXPECT_EQ(messages().back(), "Sende Daten: 100/100");
    acknowledge();
    EXPECT_EQ(session.Phase(), TTransferPhase::Pausing);
}

TEST_F(TransferSessionTest, ThirtySecondsWithoutAcknowledgementStopTheTransfer) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    acknowledge();
    advance(29990);
    EXPECT_EQ(session.Phase(), TTransferPhase::Transferring);
    EXPECT_EQ(sentWith(CmdWriteEeprom).size(), 2u + 14u); // resent every 2 s
    advance(10);
    EXPECT_EQ(session.Phase(), TTransferPhase::Aborted);
    EXPECT_EQ(session.View().Status, "Keine Antwort vom V7300-NET-IO – Übertragung abgebrochen.");
    EXPECT_EQ(messages().back(), "Keine Antwort vom V7300-NET-IO – Übertragung abgebrochen.");
    const auto blocksBefore = sentWith(CmdWriteEeprom).size();
    advance(4000);
    EXPECT_EQ(sentWith(CmdWriteEeprom).size(), blocksBefore);
    // The user can start again.
    session.onTelegram(reply(CmdPing, {0}));
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_TRUE(session.StartTransfer());
}

TEST_F(TransferSessionTest, AcknowledgementAfterTheLastBlockStartsNothing) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    for (int i = 0; i < 4; ++i) acknowledge();
    const auto blocks = sentWith(CmdWriteEeprom).size();
    acknowledge();
    advance(1000);
    acknowledge();
    EXPECT_EQ(sentWith(CmdWriteEeprom).size(), blocks);
}

TEST_F(TransferSessionTest, DeviceAnsweringRightAfterTheRestartGetsItsConfigurationRead) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    for (int i = 0; i < 4; ++i) acknowledge();
    // The device answers throughout, so the status stays "Verbunden".
    session.onTelegram(reply(CmdPing, {0}));
    advance(1000);
    EXPECT_EQ(session.View().Status, "Verbunden");
    EXPECT_FALSE(session.View().TransferEnabled);
    EXPECT_FALSE(session.ConfigurationRead());
    sent.clear();
    session.onTelegram(reply(CmdPing, {0}));
    advance(800);
    ASSERT_EQ(sentWith(CmdReadEeprom).size(), 1u);
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_TRUE(session.View().TransferEnabled);
}

TEST_F(TransferSessionTest, ConfigurationReadDuringATransferKeepsTheButtonsOff) {
    connect();
    ASSERT_TRUE(session.StartTransfer());
    session.onTelegram(reply(CmdReadEeprom, eepromReply(0, configuredBlock())));
    EXPECT_FALSE(session.View().TransferEnabled);
}

TEST_F(TransferSessionTest, ClockCommandSendsLocalTimeWithTheZoneOffset) {
    connect();
    session.Settings().TimeZone = 14;
    EXPECT_TRUE(session.SetDeviceClock());
    const auto clocks = sentWith(CmdClock);
    ASSERT_EQ(clocks.size(), 1u);
    EXPECT_EQ(clocks[0].telegram.Kind, kKindSet);
    EXPECT_EQ(clocks[0].telegram.Payload, (Bytes{12, 0, 0, 0, 0, 5, 14}));
}

// ------------------------------------------------------------ device search

TEST_F(TransferSessionTest, SearchBroadcastsWaitsAndListsEachSenderOnce) {
    session.SearchDevices();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].address, "255.255.255.255");
    EXPECT_EQ(sent[0].telegram.Command, CmdPing);
    EXPECT_TRUE(session.View().Busy);
    session.onTelegram(reply(CmdPing, {0}, "127.0.0.5"));
    session.onTelegram(reply(CmdPing, {0}, "127.0.0.6"));
    session.onTelegram(reply(CmdPing, {0}, "127.0.0.5"));
    advance(1090);
    EXPECT_FALSE(session.View().SearchReady);
    advance(10);
    EXPECT_TRUE(session.View().SearchReady);
    EXPECT_FALSE(session.View().Busy);
    EXPECT_EQ(search.Addresses(), (std::vector<std::string>{"127.0.0.5", "127.0.0.6"}));
    session.FinishSearch(search.Choose(1));
    EXPECT_EQ(session.Address(), "127.0.0.6");
    EXPECT_FALSE(session.View().SearchReady);
    session.FinishSearch(search.Choose(-1));
    EXPECT_EQ(session.Address(), "127.0.0.6");
}

} // namespace
} // namespace v7300

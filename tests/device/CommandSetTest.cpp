// The command set: every request byte-exact, the command names and the reply readers.
#include "core/Error.h"
#include "device/UnitV7300NETIO.h"
#include "support/UdpPeer.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct RequestCase {
    const char* name;
    TV7300Telegram telegram;
    std::uint8_t command;
    std::uint8_t kind;
    Bytes payload;
};

TEST(Requests, EveryRequestHasItsCodeKindAndPayload) {
    Bytes write = {0x01, 0x20};
    for (int i = 0; i < 32; ++i) write.push_back(static_cast<std::uint8_t>(0xA0 + i));
    Bytes busFind = {1, 7};
    busFind.resize(18, 0);
    Bytes busPwm = {5, 3, 0xFF, 0xFF, 0xFF, 0xFF};
    busPwm.resize(18, 0);
    const std::vector<RequestCase> cases = {
        {"Ping", MakePing(), 14, 4, {}},
        {"RequestFirmwareVersion", MakeRequestFirmwareVersion(), 3, 2, {}},
        {"RequestClock", MakeRequestClock(), 17, 2, {}},
        {"SetClock", MakeSetClock(1, {2024, 12, 31, 23, 59, 58, 0}), 17, 1, {23, 59, 58, 1, 0x01, 0x6E, 13}},
        {"SetClock 1 January, Sunday, -12", MakeSetClock(-12, {2023, 1, 1, 0, 0, 0, 0}), 17, 1,
         {0, 0, 0, 6, 0x00, 0x01, 0}},
        {"SetClock offset clamped", MakeSetClock(15, {2026, 3, 2, 8, 5, 0, 0}), 17, 1, {8, 5, 0, 0, 0x00, 61, 24}},
        {"ReadEeprom", MakeReadEeprom(0, 45), 12, 2, {0x00, 0x00, 0x2D}},
        {"ReadEeprom high address", MakeReadEeprom(0x1234, 32), 12, 2, {0x12, 0x34, 0x20}},
        {"WriteEepromBlock", MakeWriteEepromBlock(0x0120, Bytes(write.begin() + 2, write.end())), 9, 1, write},
        {"SetLogicState", MakeSetLogicState(), 10, 1, {0x00}},
        {"Restart", MakeRestart(), 15, 1, {}},
        {"RequestLiveData", MakeRequestLiveData(42), 18, 2, {42}},
        {"RequestExpansionStage", MakeRequestExpansionStage(), 21, 2, {}},
        {"SendBusCommand find", MakeBusCommand(1, 7, 2, {}), 161, 2, busFind},
        {"SendBusCommand PWM read", MakeBusCommand(5, 3, 2, {0xFF, 0xFF, 0xFF, 0xFF}), 161, 2, busPwm},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.telegram.Command, c.command) << c.name;
        EXPECT_EQ(c.telegram.Kind, c.kind) << c.name;
        EXPECT_EQ(c.telegram.Payload, c.payload) << c.name;
        const Bytes d = BuildDatagram(c.telegram);
        ASSERT_EQ(d.size(), c.payload.size() + 15) << c.name;
        EXPECT_EQ(d[9], c.kind) << c.name;
        EXPECT_EQ(d[10], c.command) << c.name;
        EXPECT_EQ(d[11], c.payload.size()) << c.name;
        EXPECT_TRUE(std::equal(c.payload.begin(), c.payload.end(), d.begin() + 12)) << c.name;
    }
}

TEST(Requests, BusCommandWithMoreThanSixteenDataBytesIsRefused) {
    EXPECT_THROW(MakeBusCommand(2, 1, 2, Bytes(17, 1)), Error);
    EXPECT_EQ(MakeBusCommand(2, 1, 2, Bytes(16, 1)).Payload.size(), 18u);
}

TEST(Requests, GatewaySendsThroughItsLinkToTheSetAddress) {
    test::UdpPeer device;
    const std::uint16_t base = test::freeUdpPortRun(1);
    TV7300NETIO netio(TLinkPorts{base, base, device.port()});
    EXPECT_EQ(netio.GetAddress(), "192.168.0.91");
    netio.SetAddress("127.0.0.1");
    netio.SendBusCommand(1, 7, 2, {});
    Bytes got;
    ASSERT_TRUE(device.receive(got));
    EXPECT_EQ(got, BuildDatagram(MakeBusCommand(1, 7, 2, {})));
}

TEST(Handlers, OnlyTheLastInstalledHandlerReceives) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    TV7300NETIO netio(TLinkPorts{base, base, base});
    int first = 0, second = 0, errors = 0;
    netio.SetTelegramHandler([&](const TV7300Telegram&) { ++first; });
    netio.SetTelegramHandler([&](const TV7300Telegram&) { ++second; });
    netio.SetErrorHandler([&](std::uint8_t) { ++errors; });
    const Bytes ping = BuildDatagram(MakePing());
    netio.Link().HandleDatagram(ping.data(), ping.size(), "1.2.3.4");
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    netio.SetErrorHandler({});
    const Bytes bad = {0x00};
    netio.Link().HandleDatagram(bad.data(), bad.size(), "1.2.3.4");
    EXPECT_EQ(errors, 0);
}

TEST(CommandNames, KnownCodesAndUnknown) {
    const std::vector<std::pair<int, const char*>> names = {
        {1, "BOOT_MODE"}, {2, "SERIAL_NUMBER"}, {3, "FIRMWARE_VERSION"}, {4, "USER_DATA"},
        {5, "START_UPDATE"}, {6, "UPDATE_DATA"}, {7, "END_UPDATE"}, {8, "START_PROGRAM"},
        {9, "WRITE_EEPROM"}, {10, "LOGIK_STATE"}, {11, "DEBUG_LEVEL"}, {12, "READ_EEPROM"},
        {13, "DEBUG"}, {14, "PING"}, {15, "RESTART"}, {16, "DATA_PIN"}, {17, "CLOCK"},
        {18, "LOGIK_OUTPUT"}, {19, "LOGIK_LIVE_VIEW"}, {21, "EXPANSION_STAGE"}, {161, "RS485"},
        {255, "ERROR"}, {0, "Unknown"}, {20, "Unknown"}, {22, "Unknown"}, {160, "Unknown"}};
    for (const auto& [code, name] : names) EXPECT_EQ(CommandName(static_cast<std::uint8_t>(code)), name) << code;
}

TV7300Telegram reply(std::uint8_t command, Bytes payload) {
    TV7300Telegram t;
    t.Command = command;
    t.Payload = std::move(payload);
    return t;
}

TEST(Replies, PingWithAndWithoutClientCount) {
    EXPECT_EQ(DecodePingClients(reply(14, {3})), std::optional<std::uint8_t>(3));
    EXPECT_FALSE(DecodePingClients(reply(14, {})).has_value());
}

TEST(Replies, FirmwareVersionAsThreeNumbers) {
    const auto v = DecodeFirmwareVersion(reply(3, {2, 2, 12}));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Text(), "02.02.12");
    EXPECT_FALSE(DecodeFirmwareVersion(reply(3, {2, 2})));
}

TEST(Replies, ClockWithSignedOffsetAndWeekday) {
    const auto c = DecodeClock(reply(17, {23, 59, 58, 1, 0x01, 0x6E, 0xFE}));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->Hour, 23);
    EXPECT_EQ(c->DayOfYear, 366);
    EXPECT_EQ(c->OffsetHours, -2);
    EXPECT_EQ(c->WeekdayText(), "Di");
    EXPECT_EQ(DecodeClock(reply(17, {0, 0, 0, 7, 0, 1, 0}))->WeekdayText(), "??");
    EXPECT_EQ(DecodeOffsetByte(49), 49);
    EXPECT_EQ(DecodeOffsetByte(50), -206);
    EXPECT_EQ(DecodeOffsetByte(12), 12);
    EXPECT_FALSE(DecodeClock(reply(17, {1, 2, 3, 4, 5, 6})));
}

TEST(Replies, ExpansionStageBits) {
    EXPECT_EQ(*DecodeExpansionStage(reply(21, {0x05})), (TExpansionStage{true, false, true}));
    EXPECT_EQ(*DecodeExpansionStage(reply(21, {0x02})), (TExpansionStage{false, true, false}));
}

TEST(Replies, ErrorReportWithKindsAndDetails) {
    const auto r = DecodeErrorReport(reply(255, {9, 1, 0x12, 0x34}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->FailedCommand, 9);
    EXPECT_EQ(r->Text(), "WRITE_EEPROM: CRC FAIL (18/52)");
    EXPECT_EQ(DecodeErrorReport(reply(255, {14, 2, 0x07}))->Text(), "PING: NO ETX (7)");
    EXPECT_EQ(DecodeErrorReport(reply(255, {14, 3}))->Text(), "PING: NO STX");
    EXPECT_EQ(DecodeErrorReport(reply(255, {12, 4, 5, 3}))->Text(), "READ_EEPROM: LENGTH (5/3)");
    EXPECT_EQ(DecodeErrorReport(reply(255, {12, 6}))->Text(), "READ_EEPROM: Not Known");
    EXPECT_FALSE(DecodeErrorReport(reply(14, {12, 6})));
}

TEST(Replies, EepromReadCarriesAddressAndBytes) {
    const auto r = DecodeEepromRead(reply(12, {0x01, 0x02, 0xAA, 0xBB}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Address, 0x0102);
    EXPECT_EQ(r->Bytes, (Bytes{0xAA, 0xBB}));
}

TEST(Replies, LiveDataHeaderAndSignedWords) {
    const auto d = DecodeLiveData(reply(18, {3, 0x23, 0x45, 0x00, 0x0C, 0xFF, 0xFE, 0x00, 0xD7}));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->ObjectNumber, 3);
    EXPECT_EQ(d->Checksum, 0x2345);
    EXPECT_EQ(d->CycleTimeMs, 12);
    EXPECT_EQ(d->Signed(0), -2);
    EXPECT_EQ(d->Unsigned(0), 0xFFFE);
    EXPECT_EQ(d->Signed(1), 215);
    EXPECT_EQ(d->Signed(7), 0); // not sent
    EXPECT_FALSE(DecodeLiveData(reply(18, {3, 0x23, 0x45, 0x00})));
}

TEST(Replies, BusReplyDataBytes) {
    const auto r = DecodeBusReply(reply(161, {1, 5, 'O', 0, 2, 4}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BusId, 5);
    EXPECT_EQ(r->Data[0], 'O');
    EXPECT_EQ(r->Data[3], 4);
    EXPECT_EQ(r->Data[15], 0);
}

} // namespace
} // namespace v7300

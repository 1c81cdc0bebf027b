// The virtual controller: its answers, error reports, EEPROM, clock, bus modules,
// and the image it runs.
#include "core/Clock.h"
#include "core/Error.h"
#include "device/ImageRunner.h"
#include "device/LogicCompiler.h"
#include "device/VirtualController.h"
#include "support/TestSupport.h"
#include "support/UdpPeer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Record {
    std::uint8_t number;
    std::uint8_t code;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> inputs;
    Bytes params;
};

// A device image with the given records and checksum bytes.
Bytes makeImage(const std::vector<Record>& records, std::uint16_t checksum = 0x2345) {
    Bytes b(49, 0xFF);
    b[0] = 0;
    b[26] = static_cast<std::uint8_t>(checksum >> 8);
    b[27] = static_cast<std::uint8_t>(checksum & 0xFF);
    for (const auto& r : records) {
        b.push_back(r.number);
        b.push_back(r.code);
        b.push_back(static_cast<std::uint8_t>(r.inputs.size()));
        for (auto [o, i] : r.inputs) {
            b.push_back(o);
            b.push_back(i);
        }
        b.push_back(static_cast<std::uint8_t>(r.params.size()));
        b.insert(b.end(), r.params.begin(), r.params.end());
    }
    b.push_back(0xFF);
    b.insert(b.end(), 48, 0x00);
    b.push_back(0xFF);
    b.push_back(0xFF);
    return b;
}

TVirtualControllerOptions localOptions() {
    TVirtualControllerOptions o;
    o.Port = 0; // any free port on 127.0.0.1
    return o;
}

// Sends one telegram through the controller's datagram handling; the single reply or nothing.
std::optional<TV7300Telegram> ask(TVirtualController& vc, const TV7300Telegram& request) {
    const Bytes d = BuildDatagram(request);
    const auto replies = vc.HandleDatagram(d.data(), d.size());
    if (replies.empty()) return std::nullopt;
    TV7300Telegram t;
    EXPECT_EQ(ParseDatagram(replies[0].data(), replies[0].size(), "x", t), 0);
    return t;
}

std::optional<TV7300Telegram> askRaw(TVirtualController& vc, const Bytes& d) {
    const auto replies = vc.HandleDatagram(d.data(), d.size());
    if (replies.empty()) return std::nullopt;
    TV7300Telegram t;
    EXPECT_EQ(ParseDatagram(replies[0].data(), replies[0].size(), "x", t), 0);
    return t;
}

void store(TVirtualController& vc, const Bytes& image) {
    for (std::size_t at = 0; at < image.size(); at += 32) {
        const Bytes block(image.begin() + static_cast<long>(at),
                          image.begin() + static_cast<long>(std::min(image.size(), at + 32)));
        const auto ack = ask(vc, MakeWriteEepromBlock(static_cast<std::uint16_t>(at), block));
        ASSERT_TRUE(ack);
        ASSERT_EQ(ack->Command, CmdWriteEeprom);
    }
    EXPECT_FALSE(ask(vc, MakeRestart()));
}

TEST(VirtualController, AnswersPingFirmwareAndExpansionStage) {
    VirtualClock clock;
    auto options = localOptions();
    options.TcpClients = 2;
    options.ExpansionStage = 0x03;
    TVirtualController vc(options, clock);
    EXPECT_EQ(DecodePingClients(*ask(vc, MakePing())), std::optional<std::uint8_t>(2));
    EXPECT_EQ(DecodeFirmwareVersion(*ask(vc, MakeRequestFirmwareVersion()))->Text(), "02.02.02");
    EXPECT_EQ(*DecodeExpansionStage(*ask(vc, MakeRequestExpansionStage())), (TExpansionStage{true, true, false}));
}

TEST(VirtualController, UnknownCommandIsReportedAsNotKnown) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    TV7300Telegram t;
    t.Command = 2;
    t.Kind = 2;
    const auto r = DecodeErrorReport(*ask(vc, t));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->FailedCommand, 2);
    EXPECT_EQ(r->Kind, DeviceErrorNotKnown);
}

TEST(VirtualController, MalformedFramesGetAnErrorReportNamingTheCommand) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    const Bytes good = BuildDatagram(MakeReadEeprom(0, 45)); // n = 3: ETX at 15, CRC at 16
    Bytes badCrc = good;
    badCrc[16] ^= 0x5A;
    Bytes noEtx = good;
    noEtx[15] = 0x07;
    Bytes noStx = good;
    noStx[0] = 0x00;
    const Bytes shortFrame(good.begin(), good.begin() + 14);
    struct Case {
        const char* name;
        Bytes frame;
        TErrorReport expected;
    };
    const std::vector<Case> cases = {
        {"bad CRC", badCrc, {CmdReadEeprom, DeviceErrorChecksum, good[16], static_cast<std::uint8_t>(good[16] ^ 0x5A)}},
        {"no ETX", noEtx, {CmdReadEeprom, DeviceErrorNoEtx, 0x07, 0}},
        {"no STX", noStx, {CmdReadEeprom, DeviceErrorNoStx, 0, 0}},
        {"too short", shortFrame, {CmdReadEeprom, DeviceErrorLength, 2, 3}}, // 2 of 3 payload bytes came
    };
    for (const auto& c : cases) {
        const auto reply = askRaw(vc, c.frame);
        ASSERT_TRUE(reply) << c.name;
        EXPECT_EQ(reply->Command, CmdError) << c.name;
        EXPECT_EQ(*DecodeErrorReport(*reply), c.expected) << c.name;
    }
}

TEST(VirtualController, RequestWithTooShortPayloadIsALengthError) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    TV7300Telegram t = MakeReadEeprom(0, 1);
    t.Payload.resize(2);
    EXPECT_EQ(*DecodeErrorReport(*ask(vc, t)), (TErrorReport{CmdReadEeprom, DeviceErrorLength, 2, 3}));
}

TEST(VirtualController, EepromWriteIsAcknowledgedAndReadsBack) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    const auto ack = ask(vc, MakeWriteEepromBlock(0x0100, {1, 2, 3}));
    ASSERT_TRUE(ack);
    EXPECT_EQ(ack->Command, 9);
    const auto read = DecodeEepromRead(*ask(vc, MakeReadEeprom(0x00FF, 5)));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Address, 0x00FF);
    EXPECT_EQ(read->Bytes, (Bytes{0xFF, 1, 2, 3, 0xFF}));
}

TEST(VirtualController, EepromWritePastTheEndIsRefusedAndReadIsCut) {
    VirtualClock clock;
    auto options = localOptions();
    options.EepromSize = 64;
    TVirtualController vc(options, clock);
    const auto r = DecodeErrorReport(*ask(vc, MakeWriteEepromBlock(62, {1, 2, 3})));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Kind, DeviceErrorLength);
    EXPECT_EQ(DecodeEepromRead(*ask(vc, MakeReadEeprom(60, 32)))->Bytes.size(), 4u);
    EXPECT_TRUE(DecodeEepromRead(*ask(vc, MakeReadEeprom(500, 32)))->Bytes.empty());
}

TEST(VirtualController, EepromFileIsKeptAcrossRuns) {
    test::TempDir dir;
    VirtualClock clock;
    auto options = localOptions();
    options.EepromFile = dir.file("eeprom.bin");
    const Bytes image = makeImage({{1, kCodeNUM, {}, {0x01, 0x2C}}});
    {
        TVirtualController vc(options, clock);
        store(vc, image);
    }
    TVirtualController again(options, clock);
    EXPECT_TRUE(again.LogicRunning());
    again.Tick();
    EXPECT_EQ(again.Runner().Output(1, 0), 300);
    EXPECT_EQ(again.Checksum(), 0x2345);
}

TEST(VirtualController, ClockSetKeepsRunningFromTheSetTime) {
    VirtualClock clock({2026, 5, 4, 9, 0, 0, 0});
    TVirtualController vc(localOptions(), clock);
    const auto set = DecodeClock(*ask(vc, MakeSetClock(-2, {2026, 12, 31, 23, 59, 58, 0})));
    ASSERT_TRUE(set);
    EXPECT_EQ(set->Hour, 23);
    EXPECT_EQ(set->DayOfYear, 365);
    EXPECT_EQ(set->WeekdayText(), "Do");
    EXPECT_EQ(set->OffsetHours, -2);
    clock.advanceMs(3000);
    const auto later = DecodeClock(*ask(vc, MakeRequestClock()));
    ASSERT_TRUE(later);
    EXPECT_EQ(later->Hour, 0);
    EXPECT_EQ(later->Second, 1);
    EXPECT_EQ(later->DayOfYear, 1);
    EXPECT_EQ(later->WeekdayText(), "Fr"); // 1 January 2027
}

TEST(VirtualController, EepromFileLargerThanTheEepromIsRefusedNamingTheSize) {
    test::TempDir dir;
    VirtualClock clock;
    auto options = localOptions();
    options.EepromSize = 64;
    for (const std::string& file : {dir.file("gross.bin"), std::string("/dev/zero")}) {
        if (file != "/dev/zero") test::writeFile(file, std::string(65, '\x01'));
        options.EepromFile = file;
        try {
            TVirtualController vc(options, clock);
            ADD_FAILURE() << file << " was taken";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Die EEPROM-Datei " + file + " ist größer als das EEPROM (64 Bytes).");
        }
    }
    test::writeFile(dir.file("passt.bin"), std::string(64, '\x01'));
    options.EepromFile = dir.file("passt.bin");
    TVirtualController vc(options, clock);
    EXPECT_EQ(vc.Eeprom(), Bytes(64, 0x01));
}

TEST(VirtualController, AFailedStartLeavesNoSocketOpen) {
    test::TempDir dir;
    VirtualClock clock;
    auto options = localOptions();
    options.EepromFile = dir.path(); // a folder: it exists but cannot be read
    auto openDescriptors = [] {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
        return n;
    };
    const int before = openDescriptors();
    EXPECT_THROW(TVirtualController(options, clock), Error);
    EXPECT_EQ(openDescriptors(), before);
}

TEST(VirtualController, ClockKeepsWeekdayAndDayOfYearAsSentAndRunsOn) {
    VirtualClock clock({2026, 5, 4, 9, 0, 0, 0}); // the host's year has 365 days
    TVirtualController vc(localOptions(), clock);
    // Tuesday, day 366, 23:59:58, offset +1.
    const auto set = DecodeClock(*ask(vc, MakeSetClock(1, {2024, 12, 31, 23, 59, 58, 0})));
    ASSERT_TRUE(set);
    EXPECT_EQ(set->WeekdayText(), "Di");
    EXPECT_EQ(set->DayOfYear, 366);
    EXPECT_EQ(set->OffsetHours, 1);
    clock.advanceMs(3000);
    const auto later = DecodeClock(*ask(vc, MakeRequestClock()));
    EXPECT_EQ(later->WeekdayText(), "Mi");
    EXPECT_EQ(later->DayOfYear, 1);
    EXPECT_EQ(later->Second, 1);
    // Sunday is followed by Monday; day 365 of a common year by day 1.
    TV7300Telegram sunday = MakeSetClock(0, {2026, 1, 1, 23, 59, 59, 0});
    sunday.Payload[3] = 6;
    sunday.Payload[4] = 0x01;
    sunday.Payload[5] = 0x6D; // 365
    ask(vc, sunday);
    clock.advanceMs(1000);
    const auto monday = DecodeClock(*ask(vc, MakeRequestClock()));
    EXPECT_EQ(monday->WeekdayText(), "Mo");
    EXPECT_EQ(monday->DayOfYear, 1);
}

TEST(VirtualController, WeekTimerFollowsTheWeekdaySent) {
    VirtualClock clock; // Monday 5 January 2026, 12:00
    TVirtualController vc(localOptions(), clock);
    store(vc, makeImage({{1, kCodeWEEKTIMER, {}, {0x40, 10, 0, 0, 14, 0, 0}}})); // Sunday, 10:00–14:00
    vc.Tick();
    EXPECT_EQ(vc.Runner().Output(1, 0), 0);
    TV7300Telegram set = MakeSetClock(0, {2026, 1, 10, 12, 0, 0, 0}); // day 10, a Saturday in 2026
    set.Payload[3] = 6;                                                  // sent as Sunday
    ask(vc, set);
    clock.advanceMs(20);
    vc.Tick();
    EXPECT_EQ(vc.Runner().Output(1, 0), 1);
}

TEST(VirtualController, AnInputLineTakesEffectBeforeTheNextLine) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    store(vc, makeImage({{1, kCodeIN, {}, {1, 0}}, {2, kCodeOUT, {{1, 0}}, {2}}}));
    vc.Tick();
    vc.Command("input 1 1");
    const std::string shown = vc.Command("show");
    EXPECT_NE(shown.find("Ausgänge: 0 1 0 0 0 0 0 0;"), std::string::npos) << shown;
}

TEST(VirtualController, RestartRunsTheStoredImageAndLiveDataReportsIt) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    // IN1 (input 1) and IN2 (input 2) -> AND -> OUT id 3
    store(vc, makeImage({{1, kCodeIN, {}, {1, 0}},
                         {2, kCodeIN, {}, {2, 0}},
                         {3, kCodeAND, {{1, 0}, {2, 0}}, {}},
                         {4, kCodeOUT, {{3, 0}}, {3}}},
                        0xBEEF));
    ASSERT_TRUE(vc.LogicRunning());
    vc.SetInput(1, 1);
    vc.Tick();
    EXPECT_EQ(vc.Runner().DeviceOutput(3), 0);
    vc.Command("input 2 1");
    clock.advanceMs(10);
    vc.Tick();
    EXPECT_EQ(vc.Runner().DeviceOutput(3), 1);
    const auto live = DecodeLiveData(*ask(vc, MakeRequestLiveData(3)));
    ASSERT_TRUE(live);
    EXPECT_EQ(live->ObjectNumber, 3);
    EXPECT_EQ(live->Checksum, 0xBEEF);
    EXPECT_EQ(live->CycleTimeMs, 10);
    EXPECT_EQ(live->Words.size(), 8u);
    EXPECT_EQ(live->Signed(0), 1);
    // Any object number is answered, unknown ones with zero values.
    const auto none = DecodeLiveData(*ask(vc, MakeRequestLiveData(200)));
    EXPECT_EQ(none->ObjectNumber, 200);
    EXPECT_EQ(none->Signed(0), 0);
}

TEST(VirtualController, LogicStateStopsTheLogicUntilRestart) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    store(vc, makeImage({{1, kCodeIN, {}, {1, 0}}}));
    EXPECT_FALSE(ask(vc, MakeSetLogicState()));
    EXPECT_FALSE(vc.LogicRunning());
    vc.SetInput(1, 1);
    vc.Tick();
    EXPECT_EQ(vc.Runner().Output(1, 0), 0);
    ask(vc, MakeRestart());
    vc.Tick();
    EXPECT_EQ(vc.Runner().Output(1, 0), 1);
}

TEST(VirtualController, CommandLinesAreChecked) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    EXPECT_THROW(vc.Command("input 9 1"), Error);
    EXPECT_THROW(vc.Command("input 1 x"), Error);
    EXPECT_THROW(vc.Command("blink"), Error);
    EXPECT_EQ(vc.Command(""), "");
    vc.Command("input 4 700");
    EXPECT_EQ(vc.Runner().HardwareInput(4), 700);
}

TEST(VirtualController, TakenPortIsExplained) {
    test::UdpPeer holder;
    VirtualClock clock;
    auto options = localOptions();
    options.Port = holder.port();
    try {
        TVirtualController vc(options, clock);
        FAIL();
    } catch (const Error& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("schon belegt"), std::string::npos) << text;
        EXPECT_NE(text.find("zuerst starten"), std::string::npos) << text;
    }
}

TEST(VirtualController, LinkAndControllerTalkOverLoopback) {
    VirtualClock clock;
    TVirtualController vc(localOptions(), clock);
    const std::uint16_t base = test::freeUdpPortRun(1);
    TV7300NETIO netio(TLinkPorts{base, base, vc.Port()});
    netio.SetAddress("127.0.0.1");
    std::vector<TV7300Telegram> got;
    netio.SetTelegramHandler([&](const TV7300Telegram& t) { got.push_back(t); });
    netio.RequestFirmwareVersion();
    ASSERT_TRUE(test::waitReadable(vc.Descriptor(), 1000));
    EXPECT_EQ(vc.ReadPending(), 1);
    ASSERT_TRUE(test::waitReadable(netio.Link().Descriptor(), 1000));
    netio.Link().ReadPending();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].PeerAddress, "127.0.0.1");
    EXPECT_EQ(DecodeFirmwareVersion(got[0])->Text(), "02.02.02");
}

// --- bus modules

TEST(BusModules, SpecTextIsParsedAndCheckedAsGiven) {
    const auto m = ParseBusModule("5:o:0.2:4");
    EXPECT_EQ(m.Id, 5);
    EXPECT_EQ(m.Letter, 'O');
    EXPECT_EQ(m.Minor, 2);
    EXPECT_EQ(m.Channels, 4);
    for (const char* bad : {"", "5:O:0.2", "5:X:0.2:4", "33:O:0.2:4", "5:O:02:4", "5:O:0.2:x"})
        EXPECT_THROW(ParseBusModule(bad), Error) << bad;
}

TEST(BusModules, RawTemperatureKeepsTheModulesEncoding) {
    EXPECT_EQ(RawBusTemperature(250), 0x0032);
    EXPECT_EQ(RawBusTemperature(-5), 0xFFFE);
    EXPECT_EQ(RawBusTemperature(0), 0x0000);
    EXPECT_EQ(RawBusTemperature(-100), 0xFFEB); // -10.0 °C: NOT 0x81EB & 0x1FF = 20 half degrees
}

TEST(BusModules, AnswerFindDataSetIdAndPwmSettings) {
    VirtualClock clock;
    auto options = localOptions();
    options.Bus = {ParseBusModule("5:O:0.2:4"), ParseBusModule("0:T:0.2:2"), ParseBusModule("9:P:0.3:2")};
    TVirtualController vc(options, clock);
    auto bus = [&](std::uint8_t cmd, std::uint8_t id, Bytes data) {
        return ask(vc, MakeBusCommand(cmd, id, 2, data));
    };
    const auto find = DecodeBusReply(*bus(1, 5, {}));
    EXPECT_EQ(find->Data[0], 'O');
    EXPECT_EQ(find->Data[2], 2);
    EXPECT_EQ(find->Data[3], 4);
    EXPECT_FALSE(bus(1, 6, {})); // nobody at ID 6
    EXPECT_EQ(DecodeBusReply(*bus(2, 5, {0x81}))->Data[0], 0x81);
    EXPECT_EQ(vc.BusModules()[0].PortBits, 0x81);
    const auto temps = bus(2, 0, {0});
    ASSERT_TRUE(temps);
    EXPECT_EQ((temps->Payload[16] << 8) | temps->Payload[17], RawBusTemperature(215)); // temperature 1
    EXPECT_EQ((temps->Payload[10] << 8) | temps->Payload[11], RawBusTemperature(-50)); // temperature 4
    const auto moved = bus(3, 0, {12});
    EXPECT_EQ(moved->Payload[1], 0);
    EXPECT_EQ(moved->Payload[2], 12);
    EXPECT_TRUE(bus(1, 12, {}));
    EXPECT_EQ(DecodeBusReply(*bus(5, 9, {3, 0, 6, 1}))->Data, (std::array<std::uint8_t, 16>{3, 0, 6, 1}));
    EXPECT_EQ(DecodeBusReply(*bus(5, 9, {0xFF, 0xFF, 0xFF, 0xFF}))->Data[2], 6);
    const auto duty = DecodeBusReply(*bus(2, 9, {10, 200}));
    EXPECT_EQ(duty->Data[1], 200);
}

TEST(BusModules, ImageDrivesOutputModulesAndReadsInputModules) {
    VirtualClock clock;
    auto options = localOptions();
    options.Bus = {ParseBusModule("3:O:0.2:2"), ParseBusModule("4:I:0.2:2")};
    TVirtualController vc(options, clock);
    // BUS-IN id 4 -> its outputs 1 and 2 drive BUS-OUT id 3 (crossed)
    store(vc, makeImage({{1, kCodeBUSIN, {}, {4}}, {2, kCodeBUSOUT, {{1, 1}, {1, 0}}, {3}}}));
    vc.Command("bus 4 128"); // port 1 of the input module
    vc.Tick();
    EXPECT_EQ(vc.Runner().Output(1, 0), 1);
    EXPECT_EQ(vc.BusModules()[0].PortBits, 0x40); // port 2 of the output module
}

// --- the image's behaviour

struct Runner {
    TImageRunner runner;
    std::int64_t second = 1000;
    DateTime local{2026, 1, 5, 12, 0, 0, 0}; // a Monday
    explicit Runner(const std::vector<Record>& records) { runner.Load(ReadDeviceImage(makeImage(records))); }
    void cycle(bool newSecond = false) {
        if (newSecond) ++second;
        runner.RunCycle(second, local);
    }
    std::int32_t out(std::uint8_t object, int n = 0) const { return runner.Output(object, n); }
};

TEST(ImageBehaviour, TimerStartsOnRisingEdgeCountsSecondsAndResets) {
    Runner r({{1, kCodeIN, {}, {1, 0}}, {2, kCodeIN, {}, {2, 0}}, {3, kCodeTIMER, {{1, 0}, {2, 0}}, {0, 3}}});
    r.cycle();
    r.runner.SetHardwareInput(1, 1);
    r.cycle();
    EXPECT_EQ(r.out(3), 1);
    EXPECT_EQ(r.runner.LiveWords(3)[2], 3); // remaining seconds
    r.cycle(true);
    r.cycle(true);
    EXPECT_EQ(r.out(3), 1);
    r.cycle(true);
    EXPECT_EQ(r.out(3), 0);
    r.runner.SetHardwareInput(1, 0);
    r.cycle();
    r.runner.SetHardwareInput(1, 1);
    r.cycle();
    EXPECT_EQ(r.out(3), 1);
    r.runner.SetHardwareInput(2, 1);
    r.cycle();
    EXPECT_EQ(r.out(3), 0);
}

TEST(ImageBehaviour, CounterReachesItsCountAndHoldsUntilReset) {
    Runner r({{1, kCodeIN, {}, {1, 0}}, {2, kCodeIN, {}, {2, 0}}, {3, kCodeCOUNT, {{1, 0}, {2, 0}}, {0, 2}}});
    for (int i = 0; i < 3; ++i) {
        r.runner.SetHardwareInput(1, 1);
        r.cycle();
        r.runner.SetHardwareInput(1, 0);
        r.cycle();
    }
    EXPECT_EQ(r.out(3), 1);
    EXPECT_EQ(r.runner.LiveWords(3)[2], 2); // the count stops at its target
    EXPECT_EQ(r.runner.LiveWords(3)[4], 2);
    r.runner.SetHardwareInput(2, 1);
    r.cycle();
    EXPECT_EQ(r.out(3), 0);
}

TEST(ImageBehaviour, GatesCountOnlyWiredInputs) {
    // One wired high input: AND high, NAND low, XOR high; nothing wired: AND low, NOR high.
    Runner r({{1, kCodeNUM, {}, {0, 1}},
              {2, kCodeAND, {{1, 0}}, {}},
              {3, kCodeNAND, {{1, 0}}, {}},
              {4, kCodeXOR, {{1, 0}, {1, 0}}, {}},
              {5, kCodeAND, {}, {}},
              {6, kCodeNOR, {}, {}},
              {7, kCodeINV, {}, {}}});
    r.cycle();
    EXPECT_EQ(r.out(2), 1);
    EXPECT_EQ(r.out(3), 0);
    EXPECT_EQ(r.out(4), 0);
    EXPECT_EQ(r.out(5), 0);
    EXPECT_EQ(r.out(6), 1);
    EXPECT_EQ(r.out(7), 1);
}

TEST(ImageBehaviour, BoolTableAndCalcDivisionTruncate) {
    Runner r({{1, kCodeNUM, {}, {0xFF, 0xF9}},         // -7
              {2, kCodeNUM, {}, {0, 2}},
              {3, kCodeCALC, {{1, 0}, {2, 0}}, {3}},   // -7 / 2
              {4, kCodeCALC, {{1, 0}, {5, 0}}, {3}},   // division by zero
              {5, kCodeNUM, {}, {0, 0}},
              {6, kCodeBOOL, {{2, 0}, {5, 0}, {5, 0}, {1, 0}}, {0x02, 0x00}}}); // A=1, D=1: entry 9
    r.cycle();
    EXPECT_EQ(r.out(3), -3);
    EXPECT_EQ(r.out(4), 0);
    EXPECT_EQ(r.out(6), 1);
}

TEST(ImageBehaviour, ValueStepsWithinBoundsAndTakesSetChanges) {
    Runner r({{1, kCodeIN, {}, {1, 0}}, {2, kCodeIN, {}, {2, 0}}, {3, kCodeIN, {}, {3, 0}},
              {4, kCodeVALUE, {{1, 0}, {2, 0}, {3, 0}}, {0, 10, 0xFF, 0xFB, 0, 4, 0, 0}}}); // max 10, min -5, inc 4
    for (int i = 0; i < 4; ++i) {
        r.runner.SetHardwareInput(1, 1);
        r.cycle();
        r.runner.SetHardwareInput(1, 0);
        r.cycle();
    }
    EXPECT_EQ(r.out(4), 10);
    r.runner.SetHardwareInput(3, 7);
    r.cycle();
    EXPECT_EQ(r.out(4), 7);
    EXPECT_EQ(r.runner.LiveWords(4)[5], 10);
    EXPECT_EQ(static_cast<std::int16_t>(r.runner.LiveWords(4)[6]), -5);
}

TEST(ImageBehaviour, ShutterRunsForItsTimeAndBothButtonsStop) {
    Runner r({{1, kCodeIN, {}, {1, 0}}, {2, kCodeIN, {}, {2, 0}}, {3, kCodeNUM, {}, {0, 0}},
              {4, kCodeROLLO, {{1, 0}, {2, 0}, {3, 0}, {3, 0}, {3, 0}}, {2}}});
    r.runner.SetHardwareInput(1, 1);
    r.cycle();
    EXPECT_EQ(r.out(4, 0), 1);
    EXPECT_EQ(r.out(4, 1), 0);
    r.runner.SetHardwareInput(2, 1);
    r.cycle();
    EXPECT_EQ(r.out(4, 0), 0);
    EXPECT_EQ(r.out(4, 1), 0);
    r.runner.SetHardwareInput(1, 0);
    r.runner.SetHardwareInput(2, 0);
    r.cycle();
    r.runner.SetHardwareInput(2, 1);
    r.cycle();
    EXPECT_EQ(r.out(4, 1), 1);
    r.cycle(true);
    r.cycle(true);
    EXPECT_EQ(r.out(4, 1), 0); // running time over
}

TEST(ImageBehaviour, WeekTimerOverMidnightUsesYesterdaysFlag) {
    // Monday flag only, 22:00:00 to 06:00:00.
    Runner r({{1, kCodeWEEKTIMER, {}, {0x01, 22, 0, 0, 6, 0, 0}}});
    r.local = {2026, 1, 5, 23, 0, 0, 0}; // Monday night
    r.cycle();
    EXPECT_EQ(r.out(1), 1);
    r.local = {2026, 1, 6, 5, 59, 59, 0}; // Tuesday morning
    r.cycle();
    EXPECT_EQ(r.out(1), 1);
    r.local = {2026, 1, 6, 6, 0, 0, 0};
    r.cycle();
    EXPECT_EQ(r.out(1), 0);
    r.local = {2026, 1, 5, 5, 0, 0, 0}; // Monday morning: Sunday not set
    r.cycle();
    EXPECT_EQ(r.out(1), 0);
}

TEST(ImageBehaviour, ThresholdHysteresisAndSwitchValues) {
    Runner r({{1, kCodeIN, {}, {1, 1}}, {2, kCodeSCHWELLE, {{1, 0}}, {0, 100, 0, 50}},
              {3, kCodeASWITCH, {{2, 0}, {4, 0}, {4, 0}, {4, 0}}, {0xFF, 0xFE, 0, 1, 0, 2, 0, 3}},
              {4, kCodeNUM, {}, {0, 0}}});
    r.runner.SetHardwareInput(1, 120);
    r.cycle();
    EXPECT_EQ(r.out(2), 1);
    EXPECT_EQ(r.out(3), -2);
    r.runner.SetHardwareInput(1, 70);
    r.cycle();
    EXPECT_EQ(r.out(2), 1);
    EXPECT_EQ(r.runner.LiveWords(2)[1], 70);
    r.runner.SetHardwareInput(1, 50);
    r.cycle();
    EXPECT_EQ(r.out(2), 0);
}

TEST(ImageBehaviour, LcdShowsItsLinesWithTheValueOnRisingEdge) {
    Bytes lcd;
    const std::string l1 = "Temp:           ", l2 = "zweite Zeile    ";
    lcd.insert(lcd.end(), l1.begin(), l1.end());
    lcd.insert(lcd.end(), l2.begin(), l2.end());
    lcd.push_back(6); // row 0, column 6
    lcd.push_back(2); // analogue value
    Runner r({{1, kCodeIN, {}, {1, 0}}, {2, kCodeNUM, {}, {0, 42}}, {3, kCodeLCD, {{1, 0}, {2, 0}}, lcd}});
    r.cycle();
    EXPECT_EQ(r.runner.Display()[0], "  V7300-NET-IO  ");
    r.runner.SetHardwareInput(1, 1);
    r.cycle();
    EXPECT_EQ(r.runner.Display()[0], "Temp:     42    "); // six places at column 6
    EXPECT_EQ(r.runner.Display()[1], l2);
}

} // namespace
} // namespace v7300

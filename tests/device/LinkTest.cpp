// The UDP link: framing, CRC, reception checks and the sockets on 127.0.0.1.
#include "core/Error.h"
#include "device/UnitHardwareV7300NETIO.h"
#include "device/UnitV7300NETIO.h"
#include "support/UdpPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Crc8, CheckValueOfTheNineDigitsIsA1) {
    const std::string digits = "123456789";
    EXPECT_EQ(Crc8(reinterpret_cast<const std::uint8_t*>(digits.data()), digits.size()), 0xA1);
}

TEST(Crc8, TelegramCrcCoversKindCommandLengthAndPayload) {
    TV7300Telegram t;
    t.Kind = 2;
    t.Command = 18;
    t.Payload = {7};
    const Bytes covered = {2, 18, 1, 7};
    EXPECT_EQ(TelegramCrc(t), Crc8(covered.data(), covered.size()));
}

TEST(Framing, PingIsSentAsTheFifteenBytesOfTheExample) {
    EXPECT_EQ(BuildDatagram(MakePing()),
              (Bytes{0x02, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x0E, 0x00, 0x03, 0x42, 0x00}));
}

TEST(Framing, DatagramIsPayloadPlusFifteenBytesAndReadsBack) {
    TV7300Telegram t;
    t.Kind = 1;
    t.Command = 9;
    for (int i = 0; i < 255; ++i) t.Payload.push_back(static_cast<std::uint8_t>(i));
    const Bytes d = BuildDatagram(t);
    ASSERT_EQ(d.size(), 270u);
    TV7300Telegram back;
    ASSERT_EQ(ParseDatagram(d.data(), d.size(), "10.0.0.7", back), 0);
    EXPECT_EQ(back.Payload, t.Payload);
    EXPECT_EQ(back.Command, 9);
    EXPECT_EQ(back.Kind, 1);
    EXPECT_EQ(back.PeerAddress, "10.0.0.7");
    EXPECT_EQ(back.DestinationBytes, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Framing, PayloadOver255BytesIsRefused) {
    TV7300Telegram t;
    t.Payload.resize(256);
    EXPECT_THROW(BuildDatagram(t), Error);
}

struct MalformedCase {
    const char* name;
    Bytes datagram;
    std::uint8_t expected;
};

Bytes validLive() { return BuildDatagram(MakeRequestLiveData(5)); }
Bytes with(Bytes d, std::size_t at, std::uint8_t v) {
    d[at] = v;
    return d;
}

TEST(Reception, MalformedDatagramsGiveTheirLinkErrorInCheckOrder) {
    const Bytes good = validLive(); // n = 1: ETX at 13, CRC at 14
    const std::vector<MalformedCase> cases = {
        {"empty", {}, LinkErrorNoStx},
        {"no STX", with(good, 0, 0x01), LinkErrorNoStx},
        {"no STX wins over bad CRC", with(with(good, 0, 0x55), 14, 0), LinkErrorNoStx},
        {"shorter than the header", Bytes(good.begin(), good.begin() + 11), LinkErrorLength},
        {"length byte promises more", with(good, 11, 40), LinkErrorLength},
        {"CRC byte missing", Bytes(good.begin(), good.begin() + 14), LinkErrorLength},
        {"no ETX", with(good, 13, 0x04), LinkErrorNoEtx},
        {"no ETX wins over bad CRC", with(with(good, 13, 0x04), 14, good[14] ^ 1), LinkErrorNoEtx},
        {"bad CRC", with(good, 14, good[14] ^ 0x80), LinkErrorCrc},
        {"payload changed", with(good, 12, 6), LinkErrorCrc},
    };
    for (const auto& c : cases) {
        TV7300Telegram t;
        EXPECT_EQ(ParseDatagram(c.datagram.data(), c.datagram.size(), "x", t), c.expected) << c.name;
    }
}

TEST(Reception, TrailingBytesAfterTheCrcAreIgnored) {
    Bytes d = validLive();
    d.push_back(0x77);
    TV7300Telegram t;
    EXPECT_EQ(ParseDatagram(d.data(), d.size(), "", t), 0);
    EXPECT_EQ(t.PeerAddress, "Unknown");
}

TEST(LinkErrorTexts, NameEveryCode) {
    EXPECT_EQ(LinkErrorText(1), "CRC FAIL");
    EXPECT_EQ(LinkErrorText(2), "NO ETX");
    EXPECT_EQ(LinkErrorText(3), "NO STX");
    EXPECT_EQ(LinkErrorText(4), "LENGTH");
    EXPECT_EQ(LinkErrorText(5), "TIMEOUT");
}

// --- sockets on 127.0.0.1

TLinkPorts portsFrom(std::uint16_t first, int count, std::uint16_t device) {
    return TLinkPorts{first, static_cast<std::uint16_t>(first + count - 1), device};
}

struct Received {
    std::vector<TV7300Telegram> telegrams;
    std::vector<std::uint8_t> errors;
};

void attach(THardwareV7300NETIO& link, Received& r) {
    link.OnTelegram = [&r](const TV7300Telegram& t) { r.telegrams.push_back(t); };
    link.OnLinkError = [&r](std::uint8_t e) { r.errors.push_back(e); };
}

void pump(THardwareV7300NETIO& link, Received& r, std::size_t events) {
    for (int i = 0; i < 50 && r.telegrams.size() + r.errors.size() < events; ++i) {
        test::waitReadable(link.Descriptor(), 20);
        link.ReadPending();
    }
}

TEST(LinkSockets, BindsTheNextPortWhenTheFirstIsTaken) {
    const std::uint16_t base = test::freeUdpPortRun(3);
    test::UdpPeer blocker(base, true);
    THardwareV7300NETIO link(portsFrom(base, 3, base));
    EXPECT_EQ(link.LocalPort(), base + 1);
}

TEST(LinkSockets, NoFreePortRaisesTheMessage) {
    const std::uint16_t base = test::freeUdpPortRun(2);
    test::UdpPeer a(base, true);
    test::UdpPeer b(static_cast<std::uint16_t>(base + 1), true);
    try {
        THardwareV7300NETIO link(portsFrom(base, 2, base));
        FAIL() << "bound " << link.LocalPort();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Kein freier Prot für kommunikations zum V7300-NET-IO!");
    }
}

TEST(LinkSockets, SendsToTheDevicePortFromTheListeningPort) {
    test::UdpPeer device;
    const std::uint16_t base = test::freeUdpPortRun(2);
    THardwareV7300NETIO link(portsFrom(base, 2, device.port()));
    link.SetDeviceAddress("127.0.0.1");
    link.Send(MakeReadEeprom(0, 45));
    Bytes got;
    std::uint16_t from = 0;
    ASSERT_TRUE(device.receive(got, 1000, &from));
    EXPECT_EQ(got, BuildDatagram(MakeReadEeprom(0, 45)));
    EXPECT_EQ(from, link.LocalPort());
}

TEST(LinkSockets, AnAddressThatIsNoIpv4AddressSendsNothing) {
    test::UdpPeer device;
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, device.port()));
    link.SetDeviceAddress("kein.host");
    link.Send(MakePing());
    Bytes got;
    EXPECT_FALSE(device.receive(got, 50));
}

TEST(LinkSockets, DeliversAValidTelegramFromAnySender) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, base));
    link.SetDeviceAddress("192.168.0.91");
    Received r;
    attach(link, r);
    test::UdpPeer stranger;
    TV7300Telegram reply;
    reply.Command = CmdPing;
    reply.Payload = {2};
    stranger.sendTo(link.LocalPort(), BuildDatagram(reply));
    pump(link, r, 1);
    ASSERT_EQ(r.telegrams.size(), 1u);
    EXPECT_EQ(r.telegrams[0].PeerAddress, "127.0.0.1");
    EXPECT_EQ(DecodePingClients(r.telegrams[0]), std::optional<std::uint8_t>(2));
    EXPECT_TRUE(r.errors.empty());
}

TEST(LinkSockets, ItsOwnRequestToItsOwnPortIsNoAnswer) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, base)); // the device port is the link's own
    link.SetDeviceAddress("127.0.0.1");
    Received r;
    attach(link, r);
    link.Send(MakePing());
    test::UdpPeer device;
    TV7300Telegram reply;
    reply.Command = CmdPing;
    reply.Payload = {3};
    device.sendTo(link.LocalPort(), BuildDatagram(reply));
    pump(link, r, 2);
    ASSERT_EQ(r.telegrams.size(), 1u);
    EXPECT_EQ(r.telegrams[0].Payload, Bytes{3});
    EXPECT_TRUE(r.errors.empty());
}

TEST(LinkSockets, MalformedDatagramsRaiseLinkErrorsAndNoTelegram) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, base));
    Received r;
    attach(link, r);
    test::UdpPeer peer;
    const Bytes good = validLive();
    peer.sendTo(link.LocalPort(), with(good, 14, good[14] ^ 1));
    peer.sendTo(link.LocalPort(), with(good, 13, 0));
    peer.sendTo(link.LocalPort(), with(good, 0, 0));
    peer.sendTo(link.LocalPort(), Bytes(good.begin(), good.begin() + 13));
    pump(link, r, 4);
    EXPECT_TRUE(r.telegrams.empty());
    EXPECT_EQ(r.errors, (Bytes{1, 2, 3, 4}));
}

TEST(LinkSockets, LongDatagramsAreCutToTheReceiveBuffer) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, base));
    Received r;
    attach(link, r);
    test::UdpPeer peer;
    Bytes big = validLive();
    big.resize(1000, 0xEE); // a valid frame followed by junk: still delivered
    peer.sendTo(link.LocalPort(), big);
    pump(link, r, 1);
    EXPECT_EQ(r.telegrams.size(), 1u);
}

TEST(LinkSockets, WithoutHandlersEventsAreDropped) {
    const std::uint16_t base = test::freeUdpPortRun(1);
    THardwareV7300NETIO link(portsFrom(base, 1, base));
    test::UdpPeer peer;
    peer.sendTo(link.LocalPort(), validLive());
    peer.sendTo(link.LocalPort(), Bytes{0});
    int read = 0;
    for (int i = 0; i < 50 && read < 2; ++i) {
        test::waitReadable(link.Descriptor(), 20);
        read += link.ReadPending();
    }
    EXPECT_EQ(read, 2);
}

} // namespace
} // namespace v7300

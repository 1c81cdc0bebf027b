// The link watch of the device timer while no live view runs.
#include "device/LinkWatch.h"
#include "device/UnitV7300NETIO.h"

#include <gtest/gtest.h>

using namespace v7300;

namespace {

class LinkWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        watch.SendPing = [this] { ++pings; };
        watch.Address = [this] { return address; };
        watch.Log = [this](const std::string& line) { log.push_back(line); };
    }
    void Reply(std::vector<std::uint8_t> payload = {1}) {
        TV7300Telegram t;
        t.Command = CmdPing;
        t.Payload = std::move(payload);
        watch.onTelegram(t);
    }
    void Tick() { watch.onTick(now += 100); }

    TLinkWatch watch;
    std::string address = "127.0.0.1";
    int pings = 0;
    std::int64_t now = 0;
    std::vector<std::string> log;
};

TEST_F(LinkWatchTest, PingsEveryTickAndIsLostAfterTenTicksWithoutReply) {
    EXPECT_EQ(watch.StatusText(), "---");
    Tick();
    EXPECT_EQ(pings, 1);
    EXPECT_EQ(watch.StatusText(), "Keine Verbindung zu 127.0.0.1");
    EXPECT_FALSE(watch.LiveViewAllowed());
    EXPECT_EQ(log.back(), "Keine Verbindung zu 127.0.0.1");
    Reply();
    for (int i = 0; i < 10; ++i) {
        Tick();
        EXPECT_TRUE(watch.LiveViewAllowed()) << i;
    }
    Tick();
    EXPECT_FALSE(watch.LiveViewAllowed());
    EXPECT_EQ(pings, 12);
}

TEST_F(LinkWatchTest, QualityIs100PercentForEveryTickAnd89ForEverySecond) {
    Tick();
    for (int i = 0; i < 4; ++i) {
        Reply();
        Tick();
    }
    EXPECT_EQ(watch.StatusText(), "Verbunden mit 127.0.0.1 (100%)");
    EXPECT_EQ(log.back(), "Verbunden mit 127.0.0.1");
    for (int i = 0; i < 4; ++i) {
        Tick();
        Reply();
        Tick();
    }
    EXPECT_EQ(watch.StatusText(), "Verbunden mit 127.0.0.1 (89%)");
}

TEST_F(LinkWatchTest, ReplyTellsTheClientsOrTheOldFirmware) {
    Reply({2});
    EXPECT_EQ(watch.ClientsText(), "Connected TCP-Clients: 2/3");
    Reply({});
    EXPECT_EQ(watch.ClientsText(), "Connected TCP-Clients: ALTE FIRMWARE");
    TV7300Telegram other;
    other.Command = CmdLogikOutput;
    EXPECT_FALSE(watch.onTelegram(other));
    EXPECT_EQ(watch.Countdown(), 10);
}

TEST_F(LinkWatchTest, WithoutAnAddressNothingIsSentAndThePanelSaysSo) {
    address = " ";
    Reply();
    Tick();
    EXPECT_EQ(pings, 0);
    EXPECT_EQ(watch.StatusText(), "Keine Geräteadresse eingestellt");
    EXPECT_FALSE(watch.LiveViewAllowed());
    address = "127.0.0.1";
    Tick();
    EXPECT_EQ(pings, 1);
}

TEST_F(LinkWatchTest, TickReportsAChangeOnlyWhenAShownTextChanged) {
    EXPECT_TRUE(watch.onTick(100));
    EXPECT_FALSE(watch.onTick(200));
    Reply();
    EXPECT_TRUE(watch.onTick(300));
    EXPECT_FALSE(watch.onTick(400)); // quality stays 0 % until the next reply
}

} // namespace

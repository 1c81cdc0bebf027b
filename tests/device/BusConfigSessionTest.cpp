// The bus configuration session on a virtual clock: the device list, the
// selection rules per type letter, the interpretation of bus replies, every
// button's request, the connection tick and the search over IDs 0 … 32.
#include "core/Clock.h"
#include "device/BusConfigSession.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace v7300 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TV7300Telegram busReply(Bytes payload) {
    TV7300Telegram t;
    t.Command = CmdRs485;
    t.Kind = kKindGet;
    payload.resize(18, 0);
    t.Payload = std::move(payload);
    return t;
}

TV7300Telegram findReply(std::uint8_t id, char letter, std::uint8_t major, std::uint8_t minor, std::uint8_t channels) {
    return busReply({BusFind, id, static_cast<std::uint8_t>(letter), major, minor, channels});
}

class BusConfigSessionTest : public ::testing::Test {
protected:
    void advance(std::int64_t ms) {
        for (std::int64_t done = 0; done < ms; done += 10) {
            clock.advanceMs(10);
            session.onTick(clock.monotonicMs());
        }
    }
    // Lists the module and selects it; forgets what was sent so far.
    void selectModule(char letter, std::uint8_t channels, std::uint8_t minor = 2, std::uint8_t id = 5) {
        session.onTelegram(findReply(id, letter, 0, minor, channels));
        session.Select(static_cast<int>(session.Devices().size()) - 1);
        sent.clear();
    }
    std::vector<TV7300Telegram> sentWith(std::uint8_t command) const {
        std::vector<TV7300Telegram> r;
        for (const auto& t : sent)
            if (t.Command == command) r.push_back(t);
        return r;
    }
    // Bus command, ID and the first data bytes of the only bus request sent.
    Bytes onlyRequest(std::size_t dataBytes = 1) const {
        const auto bus = sentWith(CmdRs485);
        if (bus.size() != 1) return {};
        return Bytes(bus[0].Payload.begin(), bus[0].Payload.begin() + 2 + static_cast<long>(dataBytes));
    }

    VirtualClock clock;
    test::RecordingMessagePort messages;
    std::vector<TV7300Telegram> sent;
    TBusConfigSession session{[this](const TV7300Telegram& t) { sent.push_back(t); }, clock, messages};
};

TEST_F(BusConfigSessionTest, SecondFindReplyForAListedIdAddsNoLine) {
    session.onTelegram(findReply(5, 'I', 0, 2, 8));
    session.onTelegram(findReply(5, 'O', 0, 2, 4));
    ASSERT_EQ(session.Devices().size(), 1u);
    EXPECT_EQ(session.Devices()[0].ListLine(), "[ 0x05 ] INPUT 8Fach");
}

TEST_F(BusConfigSessionTest, FourChannelOutputIsListedAndShownAsRelais) {
    session.onTelegram(busReply({0x01, 0x05, 'O', 0x00, 0x02, 0x04}));
    ASSERT_EQ(session.Devices().size(), 1u);
    EXPECT_EQ(session.Devices()[0].ListLine(), "[ 0x05 ] OUTPUT RELAIS 4Fach");
    session.Select(0);
    const auto& v = session.View();
    EXPECT_EQ(v.DeviceType, "OUTPUT DEVICE RELAIS 4Fach");
    EXPECT_EQ(v.DeviceFirmware, " 0. 2");
    EXPECT_EQ(v.Panel, TBusPanel::Output);
    EXPECT_EQ(v.PortVisible, (std::array<bool, 8>{true, true, true, true, false, false, false, false}));
    EXPECT_EQ(session.Fields().DeviceId, "5");
    EXPECT_EQ(v.PortColour(0), kBusGreen);
}

TEST_F(BusConfigSessionTest, OldFirmwareListsNoChannelsAndShowsAllPorts) {
    session.onTelegram(findReply(0x1F, 'I', 0, 1, 2));
    EXPECT_EQ(session.Devices()[0].ListLine(), "[ 0x1F ] INPUT");
    session.Select(0);
    EXPECT_EQ(session.View().DeviceType, "INPUT DEVICE");
    EXPECT_EQ(session.View().DeviceFirmware, " 0. 1 [Veraltet]");
    EXPECT_EQ(session.View().PortVisible, (std::array<bool, 8>{true, true, true, true, true, true, true, true}));
}

TEST_F(BusConfigSessionTest, SelectionRulesPerTypeLetter) {
    struct Case {
        char letter;
        std::uint8_t channels;
        const char* type;
        TBusPanel panel;
        int visiblePorts;
        int visibleTemperatures;
        bool requestsData;
    };
    const Case cases[] = {
        {'I', 2, "INPUT DEVICE 2Fach", TBusPanel::Input, 2, 0, true},
        {'I', 8, "INPUT DEVICE 8Fach", TBusPanel::Input, 8, 0, true},
        {'O', 2, "OUTPUT DEVICE 2Fach", TBusPanel::Output, 2, 0, false},
        {'O', 8, "OUTPUT DEVICE RELAIS 8Fach", TBusPanel::Output, 8, 0, false},
        {'T', 2, "TEMPERATUR DEVICE 2Fach", TBusPanel::Temperature, 0, 2, true},
        {'T', 4, "TEMPERATUR DEVICE 4Fach", TBusPanel::Temperature, 0, 4, true},
        {'P', 2, "PWM DEVICE 2Fach", TBusPanel::Pwm, 0, 0, false},
        {'A', 1, "ANALOG DEVICE 1Fach", TBusPanel::None, 0, 0, false},
        {'C', 1, "CLOCK DEVICE 1Fach", TBusPanel::None, 0, 0, false},
        {'M', 4, "MultiIO DEVICE 4Fach", TBusPanel::None, 0, 0, false},
        {'X', 2, "UNKNOWN [Type: 58] 2Fach", TBusPanel::None, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + std::to_string(c.channels));
        session.onTelegram(findReply(static_cast<std::uint8_t>(session.Devices().size() + 1), c.letter, 0, 2, c.channels));
        sent.clear();
        session.Select(static_cast<int>(session.Devices().size()) - 1);
        const auto& v = session.View();
        EXPECT_EQ(v.DeviceType, c.type);
        EXPECT_EQ(v.Panel, c.panel);
        EXPECT_EQ(v.DataEnabled, c.panel != TBusPanel::None);
        EXPECT_EQ(std::count(v.PortVisible.begin(), v.PortVisible.end(), true), c.visiblePorts);
        EXPECT_EQ(std::count(v.TemperatureVisible.begin(), v.TemperatureVisible.end(), true), c.visibleTemperatures);
        EXPECT_EQ(sentWith(CmdRs485).size(), c.requestsData ? 1u : 0u);
    }
}

TEST_F(BusConfigSessionTest, SelectingAnInputModuleReadsItAtOnce) {
    session.onTelegram(findReply(9, 'I', 0, 2, 8));
    sent.clear();
    session.Select(0);
    EXPECT_EQ(onlyRequest(), (Bytes{BusData, 9, 0}));
    EXPECT_EQ(sent[0].Kind, kKindGet);
    session.onTelegram(busReply({BusData, 9, 0x81}));
    EXPECT_EQ(session.View().PortColour(0), kBusGreen);
    EXPECT_EQ(session.View().PortColour(1), kBusRed);
    EXPECT_EQ(session.View().PortColour(7), kBusGreen);
}

TEST_F(BusConfigSessionTest, RawTemperaturesAreShownInHalfDegrees) {
    selectModule('T', 4);
    // Temperature 1 in payload bytes 16–17, 2 in 14–15, 3 in 12–13, 4 in 10–11.
    Bytes p(18, 0);
    p[0] = BusData;
    p[1] = 5;
    const std::uint16_t raws[4] = {0x0032, 0xFFFE, 0xFFFF, 0x7E33}; // bits 9–14 do not count
    for (std::size_t k = 0; k < 4; ++k) {
        p[16 - 2 * k] = static_cast<std::uint8_t>(raws[k] >> 8);
        p[17 - 2 * k] = static_cast<std::uint8_t>(raws[k] & 0xFF);
    }
    session.onTelegram(busReply(p));
    EXPECT_EQ(session.View().Temperature, (std::array<std::string, 4>{"25.0 °C", "-0.5 °C", "0.0 °C", "25.5 °C"}));
}

TEST_F(BusConfigSessionTest, DataRepliesOfOtherModulesAreIgnored) {
    selectModule('O', 8);
    session.onTelegram(busReply({BusData, 6, 0xFF}));
    EXPECT_EQ(session.View().PortOn, (std::array<bool, 8>{}));
    session.onTelegram(busReply({BusData, 5, 0x80}));
    EXPECT_EQ(session.View().PortColour(0), kBusRed);
}

TEST_F(BusConfigSessionTest, OutputPortsOneAndEightSendTheByte0x81) {
    selectModule('O', 8);
    session.TogglePort(1);
    session.TogglePort(8);
    session.TogglePort(3);
    session.TogglePort(3);
    session.SendOutputs();
    EXPECT_EQ(onlyRequest(), (Bytes{BusData, 5, 0x81}));
}

TEST_F(BusConfigSessionTest, PwmDutyIsSentAndReadBack) {
    selectModule('P', 2);
    session.Fields().Pwm = {200, 17};
    session.SendPwm();
    EXPECT_EQ(onlyRequest(2), (Bytes{BusData, 5, 200, 17}));
    session.onTelegram(busReply({BusData, 5, 10, 20}));
    EXPECT_EQ(session.Fields().Pwm, (std::array<int, 2>{10, 20}));
}

TEST_F(BusConfigSessionTest, PwmSettingsAreReadShownAndWritten) {
    selectModule('P', 2);
    session.onTelegram(busReply({BusPwmSettings, 5, 5, 1, 4, 0}));
    EXPECT_EQ(session.Fields().PwmSettings, TPwmSettings{}); // not shown yet: ignored
    session.ShowPwmSettings();
    EXPECT_FALSE(session.View().SpecialSettingsVisible);
    EXPECT_EQ(onlyRequest(4), (Bytes{BusPwmSettings, 5, 0xFF, 0xFF, 0xFF, 0xFF}));
    session.onTelegram(busReply({BusPwmSettings, 5, 5, 1, 4, 0}));
    EXPECT_EQ(session.Fields().PwmSettings, (TPwmSettings{{4, 2}, {false, true}})); // "60Hz", "1,2kHz" INV
    sent.clear();
    session.Fields().PwmSettings = {{1, 3}, {true, false}};
    session.SetPwmSettings();
    EXPECT_EQ(onlyRequest(4), (Bytes{BusPwmSettings, 5, 2, 0, 6, 1}));
}

TEST_F(BusConfigSessionTest, EveryModuleOperationNeedsASelection) {
    const std::vector<void (TBusConfigSession::*)()> operations = {
        &TBusConfigSession::TransferId,  &TBusConfigSession::SendOutputs,     &TBusConfigSession::FetchData,
        &TBusConfigSession::SendPwm,     &TBusConfigSession::ShowPwmSettings, &TBusConfigSession::SetPwmSettings,
    };
    for (auto op : operations) (session.*op)();
    EXPECT_EQ(messages.texts(), std::vector<std::string>(operations.size(), kBusSelectFirst));
    EXPECT_TRUE(sent.empty());
}

TEST_F(BusConfigSessionTest, TransferIdSendsTheNewIdAndForgetsTheModule) {
    selectModule('O', 4);
    session.Fields().DeviceId = "7";
    session.TransferId();
    EXPECT_EQ(onlyRequest(), (Bytes{BusSetId, 5, 7}));
    EXPECT_TRUE(session.Devices().empty());
    EXPECT_EQ(session.View().Panel, TBusPanel::None);
    EXPECT_FALSE(session.View().IdTransferEnabled);
    EXPECT_EQ(session.Fields().DeviceId, "XXX");
    EXPECT_EQ(session.View().DeviceType, "XXXXXXXX");
    EXPECT_EQ(session.View().DeviceFirmware, "XX.XX");
    session.onTelegram(busReply({BusSetId, 5, 7}));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"DeviceID geändert: 5 zu 7"}));
}

TEST_F(BusConfigSessionTest, IdFieldsOutsideZeroToThirtyTwoAreRefused) {
    for (const char* text : {"", "abc", "33", "-1", "300"}) {
        session.Fields().FindId = text;
        session.FindDevice();
    }
    selectModule('O', 4);
    session.Fields().DeviceId = "260";
    session.TransferId();
    EXPECT_EQ(messages.texts(), std::vector<std::string>(6, kBusEnterId));
    EXPECT_TRUE(sentWith(CmdRs485).empty());
    EXPECT_EQ(session.Devices().size(), 1u);
}

TEST_F(BusConfigSessionTest, FindButtonsAskTheTypedIdAndIdZero) {
    session.Fields().FindId = " 12 ";
    session.FindDevice();
    EXPECT_EQ(onlyRequest(0), (Bytes{BusFind, 12}));
    sent.clear();
    session.FindUnconfigured();
    EXPECT_EQ(onlyRequest(0), (Bytes{BusFind, 0}));
    EXPECT_EQ(session.Fields().FindId, "0");
}

TEST_F(BusConfigSessionTest, BusRepliesAreLoggedAsHexPairs) {
    session.onTelegram(busReply({0x01, 0x05, 'O', 0x00, 0x02, 0x04, 0xAB}));
    EXPECT_EQ(session.LogLines().back(), "01 05 4F00|0204|AB00|0000|0000|0000|0000|0000");
}

TEST_F(BusConfigSessionTest, ConnectionTickPingsAndWatchesTheReplies) {
    advance(1100);
    EXPECT_EQ(session.View().Connection, kBusNotConnected);
    EXPECT_EQ(session.LogLines().back(), "Keine Verbindung...");
    TV7300Telegram pong;
    pong.Command = CmdPing;
    session.onTelegram(pong);
    advance(2200);
    EXPECT_EQ(session.View().Connection, kBusConnected);
    EXPECT_EQ(std::count(session.LogLines().begin(), session.LogLines().end(), "Verbindung hergestellt"), 1);
    EXPECT_EQ(sentWith(CmdPing).size(), 3u);
    advance(9 * 1100);
    EXPECT_EQ(session.View().Connection, kBusNotConnected);
}

TEST_F(BusConfigSessionTest, AutomaticFetchRepeatsThePanelsDataButton) {
    selectModule('T', 2);
    advance(1100);
    EXPECT_TRUE(sentWith(CmdRs485).empty());
    session.Fields().AutoFetch = true;
    advance(1100);
    EXPECT_EQ(onlyRequest(), (Bytes{BusData, 5, 0}));
    selectModule('O', 2, 2, 6);
    session.TogglePort(2);
    advance(1100);
    EXPECT_EQ(onlyRequest(), (Bytes{BusData, 6, 0x40}));
}

TEST_F(BusConfigSessionTest, SearchOnAnEmptyBusAsksEveryIdThreeTimesAndEnds) {
    session.ToggleSearch();
    EXPECT_EQ(session.View().SearchCaption, kBusStopCaption);
    EXPECT_FALSE(session.View().FindEnabled);
    EXPECT_EQ(sentWith(CmdLogikState).size(), 1u);
    advance(100 * 1100);
    EXPECT_FALSE(session.Searching());
    EXPECT_EQ(session.View().SearchCaption, kBusSearchCaption);
    EXPECT_TRUE(session.View().FindEnabled && session.View().FindUnconfiguredEnabled && session.View().IdTransferEnabled);
    EXPECT_EQ(sentWith(CmdLogikState).size(), 2u);
    const auto asks = sentWith(CmdRs485);
    ASSERT_EQ(asks.size(), 99u);
    for (std::size_t i = 0; i < asks.size(); ++i) EXPECT_EQ(asks[i].Payload[1], i / 3);
    EXPECT_EQ(session.View().Progress, 32);
    EXPECT_EQ(session.View().Status, "32 / 32");
}

TEST_F(BusConfigSessionTest, SearchAsksAFoundIdNoMore) {
    session.ToggleSearch();
    advance(1100); // first ask of ID 0
    session.onTelegram(findReply(0, 'O', 0, 2, 2));
    advance(1100); // second ask of ID 0, now listed: on to ID 1
    advance(1100);
    const auto asks = sentWith(CmdRs485);
    ASSERT_EQ(asks.size(), 3u);
    EXPECT_EQ(asks[1].Payload[1], 0);
    EXPECT_EQ(asks[2].Payload[1], 1);
    session.ToggleSearch(); // stopped by the button
    EXPECT_FALSE(session.Searching());
    EXPECT_EQ(sentWith(CmdLogikState).size(), 2u);
}

TEST_F(BusConfigSessionTest, ClosingRestartsTheLogicAndStopsTheTimers) {
    session.ToggleSearch();
    sent.clear();
    session.Close();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Command, CmdRestart);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{kBusRestartMessage}));
    advance(5000);
    EXPECT_EQ(sent.size(), 1u);
}

} // namespace
} // namespace v7300

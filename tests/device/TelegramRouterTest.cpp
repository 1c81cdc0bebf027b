// The routing of telegrams and link errors to the windows and to listeners.
#include "device/TelegramRouter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace v7300;

namespace {

TV7300Telegram telegram(std::uint8_t command) {
    TV7300Telegram t;
    t.Command = command;
    return t;
}

struct Log {
    std::vector<std::string> lines;
    TTelegramRouter::TelegramHandler On(const std::string& who) {
        return
            [this, who](const TV7300Telegram& t) { lines.push_back(who + ":" + std::to_string(t.Command)); };
    }
    TTelegramRouter::ErrorHandler Error(const std::string& who) {
        return [this, who](std::uint8_t e) { lines.push_back(who + "!" + std::to_string(e)); };
    }
};

TEST(TelegramRouterTest, OnlyTheLastTakerReceivesAndThePreviousGetsThemBack) {
    TTelegramRouter router;
    Log log;
    auto main = router.Take(log.On("main"));
    router.Deliver(telegram(14));
    {
        auto transfer = router.Take(log.On("transfer"), log.Error("transfer"));
        router.Deliver(telegram(9));
        router.DeliverError(1);
    }
    router.Deliver(telegram(18));
    router.DeliverError(2); // the main window takes no link errors: dropped
    EXPECT_EQ(log.lines, (std::vector<std::string>{"main:14", "transfer:9", "transfer!1", "main:18"}));
}

TEST(TelegramRouterTest, ListenersReceiveEverythingAlongsideWhoeverTakes) {
    TTelegramRouter router;
    Log log;
    auto recorder = router.Listen(log.On("rec"), log.Error("rec"));
    router.Deliver(telegram(3)); // nobody takes them: the listener still hears
    auto main = router.Take(log.On("main"));
    router.Deliver(telegram(14));
    router.DeliverError(4);
    recorder.Release();
    router.Deliver(telegram(15));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"rec:3", "rec:14", "main:14", "rec!4", "main:15"}));
    EXPECT_EQ(router.Listeners(), 0);
}

TEST(TelegramRouterTest, ReleasingAnEarlierTakerKeepsTheLastOne) {
    TTelegramRouter router;
    Log log;
    auto first = router.Take(log.On("first"));
    auto second = router.Take(log.On("second"));
    first.Release();
    router.Deliver(telegram(1));
    second = router.Take(log.On("third")); // moving in a new one ends "second"
    router.Deliver(telegram(2));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"second:1", "third:2"}));
    EXPECT_EQ(router.Takers(), 1);
}

TEST(TelegramRouterTest, AHandlerMayEndSubscriptionsWhileATelegramIsDelivered) {
    TTelegramRouter router;
    Log log;
    TTelegramRouter::Subscription window;
    auto main = router.Take(log.On("main"));
    window = router.Take([&](const TV7300Telegram&) {
        log.lines.push_back("window closes");
        window.Release();
    });
    router.Deliver(telegram(1));
    router.Deliver(telegram(2));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"window closes", "main:2"}));
}

TEST(TelegramRouterTest, SubscriptionsMayOutliveTheRouter) {
    TTelegramRouter::Subscription kept;
    {
        TTelegramRouter router;
        kept = router.Listen([](const TV7300Telegram&) {});
        EXPECT_TRUE(kept.Active());
    }
    EXPECT_FALSE(kept.Active());
    kept.Release();
}

} // namespace

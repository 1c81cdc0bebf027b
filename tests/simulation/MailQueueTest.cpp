#include "simulation/MailQueue.h"

#include "SimTestSupport.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "simulation/SimulationRuntime.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>

namespace v7300 {
namespace {

using namespace std::chrono_literals;

// A mail server that holds every mail until it is released.
class HeldSender : public SmtpPort {
public:
    struct Shared {
        std::mutex m;
        std::condition_variable cv;
        bool released = false;
        int started = 0;
        std::vector<std::string> sent;
        bool refuse = false;
    };
    explicit HeldSender(std::shared_ptr<Shared> s) : s_(std::move(s)) {}
    void Send(const SmtpMessage& message) override {
        std::unique_lock lk(s_->m);
        ++s_->started;
        s_->cv.notify_all();
        s_->cv.wait(lk, [this] { return s_->released; });
        if (s_->refuse) throw Error("SMTP: Verbindung abgelehnt");
        s_->sent.push_back(message.Recipients.at(0));
    }

private:
    std::shared_ptr<Shared> s_;
};

class MailQueueTest : public ::testing::Test {
protected:
    std::unique_ptr<TMailQueue> MakeQueue(std::size_t capacity = TMailQueue::kCapacity) {
        return std::make_unique<TMailQueue>(std::make_unique<HeldSender>(server), [this](const std::string& l) {
            std::lock_guard lk(logMutex);
            log.push_back(l);
        }, capacity);
    }
    static SmtpMessage Mail(const std::string& to) {
        SmtpMessage m;
        m.Recipients = {to};
        return m;
    }
    bool WaitStarted(int n) {
        std::unique_lock lk(server->m);
        return server->cv.wait_for(lk, 5s, [&] { return server->started >= n; });
    }
    void Release() {
        std::lock_guard lk(server->m);
        server->released = true;
        server->cv.notify_all();
    }
    std::vector<std::string> Log() {
        std::lock_guard lk(logMutex);
        return log;
    }

    std::shared_ptr<HeldSender::Shared> server = std::make_shared<HeldSender::Shared>();
    std::mutex logMutex;
    std::vector<std::string> log;
};

// The SMTP statement used to block the worker for the server's whole timeout,
// and stopping the simulation waited for it.
TEST_F(MailQueueTest, StoppingTheSimulationNeverWaitsForTheMailServer) {
    setDecimalSeparator(',');
    auto queue = MakeQueue();
    test::RecordingMessagePort messages;
    TLogic logic{TLogicComponentLibrary{}, messages};
    logic.NewProject();
    logic.Components.Add(simtest::makeComponent("MAIL1", {"% SMTP a@example.org 127.0.0.1:25 u p Text"}));
    VirtualClock clock;
    TEffectPorts ports;
    ports.Smtp = queue.get();
    auto runtime = std::make_unique<TLogicSimulation>(logic, clock, ports);
    runtime->Simulate(true);
    ASSERT_TRUE(WaitStarted(1));
    auto stopped = std::async(std::launch::async, [&] {
        runtime->Simulation_abbrechen();
        runtime.reset(); // ends and joins the worker
    });
    const bool prompt = stopped.wait_for(5s) == std::future_status::ready;
    Release();
    stopped.wait();
    EXPECT_TRUE(prompt) << "stopping waited for the mail server";
}

TEST_F(MailQueueTest, StopDropsMailsNotStartedAndFinishesTheOneInProgress) {
    auto queue = MakeQueue();
    queue->Send(Mail("first@x"));
    ASSERT_TRUE(WaitStarted(1));
    queue->Send(Mail("second@x"));
    queue->Send(Mail("third@x"));
    queue->DropPending();
    EXPECT_EQ(queue->Pending(), 0u);
    Release();
    queue->WaitIdle();
    EXPECT_EQ(server->sent, std::vector<std::string>{"first@x"});
    EXPECT_EQ(Log(), (std::vector<std::string>{"SMTP: Mail an second@x nicht gesendet (Simulation gestoppt)",
                                               "SMTP: Mail an third@x nicht gesendet (Simulation gestoppt)",
                                               "SMTP: Mail an first@x gesendet"}));
}

TEST_F(MailQueueTest, ARefusedMailIsLoggedAndAFullQueueDropsTheNewMail) {
    server->refuse = true;
    auto queue = MakeQueue(1);
    queue->Send(Mail("a@x"));
    ASSERT_TRUE(WaitStarted(1));
    queue->Send(Mail("b@x"));
    queue->Send(Mail("c@x"));
    Release();
    queue->WaitIdle();
    EXPECT_EQ(Log(), (std::vector<std::string>{"SMTP: Mail an c@x nicht gesendet (Warteschlange voll)",
                                               "SMTP: Verbindung abgelehnt (Mail an a@x)",
                                               "SMTP: Verbindung abgelehnt (Mail an b@x)"}));
}

} // namespace
} // namespace v7300

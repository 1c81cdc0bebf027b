#pragma once
// Sends the SMTP statement's mails on a thread of their own, one after the
// other, so that neither a simulation cycle nor stopping the simulation waits
// for a mail server. Send only queues the mail. Stopping drops the mails that
// have not started, each with a log line; a mail being sent is finished.
#include "simulation/EffectPorts.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace v7300 {

class TMailQueue : public SmtpPort {
public:
    using LogFunction = std::function<void(const std::string& line)>;
    static constexpr std::size_t kCapacity = 20;

    // The log function is called on the mail thread.
    TMailQueue(std::unique_ptr<SmtpPort> sender, LogFunction log, std::size_t capacity = kCapacity);
    // Drops the mails not yet started; a mail being sent is finished in the
    // background without keeping the caller waiting.
    ~TMailQueue() override;
    TMailQueue(const TMailQueue&) = delete;
    TMailQueue& operator=(const TMailQueue&) = delete;

    // Queues the mail and returns at once. A full queue drops the mail with a log line.
    // A mail that the server refuses is logged; the simulation goes on.
    void Send(const SmtpMessage& message) override;
    // The simulation stops: every mail that has not started is dropped with a log line.
    void DropPending();
    // Mails queued and not yet started.
    std::size_t Pending() const;
    // Waits until nothing is queued or being sent (tests, and the command line's end).
    void WaitIdle() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace v7300

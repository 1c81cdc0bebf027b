#include "simulation/MailQueue.h"

#include "core/Error.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace v7300 {

namespace {

std::string recipientsOf(const SmtpMessage& m) {
    std::string to;
    for (const auto& r : m.Recipients) to += (to.empty() ? "" : ",") + r;
    return to;
}

} // namespace

// Shared with the mail thread, which may outlive the queue while it finishes a mail.
struct TMailQueue::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::deque<SmtpMessage> queue;
    bool sending = false;
    bool closed = false;
    std::size_t capacity = 0;
    std::unique_ptr<SmtpPort> sender;
    LogFunction log;

    // Called with the mutex held.
    void Log(const std::string& line) const {
        if (log) log(line);
    }

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return closed || !queue.empty(); });
            if (queue.empty()) return; // closed
            SmtpMessage message = std::move(queue.front());
            queue.pop_front();
            sending = true;
            lock.unlock();
            std::string outcome;
            try {
                sender->Send(message);
                outcome = "SMTP: Mail an " + recipientsOf(message) + " gesendet";
            } catch (const std::exception& e) {
                outcome = userMessage(e) + " (Mail an " + recipientsOf(message) + ")";
            }
            lock.lock();
            sending = false;
            Log(outcome);
            changed.notify_all();
        }
    }

    // Called with the mutex held.
    void DropAll(const char* why) {
        for (const auto& m : queue) Log("SMTP: Mail an " + recipientsOf(m) + " nicht gesendet (" + why + ")");
        queue.clear();
        changed.notify_all();
    }
};

TMailQueue::TMailQueue(std::unique_ptr<SmtpPort> sender, LogFunction log, std::size_t capacity)
    : state_(std::make_shared<State>()) {
    state_->sender = std::move(sender);
    state_->log = std::move(log);
    state_->capacity = capacity;
    // The thread keeps the state alive, so that a mail being sent when the queue
    // goes away is finished without anybody waiting for it.
    std::thread([state = state_] { state->Run(); }).detach();
}

TMailQueue::~TMailQueue() {
    std::lock_guard lock(state_->mutex);
    state_->DropAll("Programmende");
    state_->closed = true;
    state_->log = nullptr; // whoever logged may be gone by the time a mail in progress ends
    state_->changed.notify_all();
}

void TMailQueue::Send(const SmtpMessage& message) {
    std::lock_guard lock(state_->mutex);
    if (state_->queue.size() >= state_->capacity) {
        state_->Log("SMTP: Mail an " + recipientsOf(message) + " nicht gesendet (Warteschlange voll)");
        return;
    }
    state_->queue.push_back(message);
    state_->changed.notify_all();
}

void TMailQueue::DropPending() {
    std::lock_guard lock(state_->mutex);
    state_->DropAll("Simulation gestoppt");
}

std::size_t TMailQueue::Pending() const {
    std::lock_guard lock(state_->mutex);
    return state_->queue.size();
}

void TMailQueue::WaitIdle() const {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->queue.empty() && !state_->sending; });
}

} // namespace v7300

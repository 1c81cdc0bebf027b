#pragma once
// The simulation's worker: sleeps its interval on the clock port, then calls its
// callback, until it is told to terminate. A failure escaping the callback ends
// the thread silently.
#include "core/Clock.h"

#include <atomic>
#include <functional>
#include <thread>

namespace v7300 {

class TSimulateThread {
public:
    // Created suspended: set interval and callback, then Start.
    explicit TSimulateThread(Clock& clock);
    // Terminates and waits.
    ~TSimulateThread();
    TSimulateThread(const TSimulateThread&) = delete;
    TSimulateThread& operator=(const TSimulateThread&) = delete;

    void SetInterval(int ms) { interval_ = ms; }
    void SetCallback(std::function<void()> callback) { callback_ = std::move(callback); }
    void Start();
    // Asks the loop to end after the callback in progress (safe from any thread).
    void Terminate() { terminated_.store(true); }
    bool Terminated() const { return terminated_.load(); }
    // True once the loop has ended (or was never started).
    bool Finished() const { return finished_.load(); }
    // Waits for the loop to end (not from the worker itself).
    void WaitFor();

private:
    void Execute();

    Clock& clock_;
    int interval_ = 10;
    std::function<void()> callback_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{true};
    std::thread thread_;
};

} // namespace v7300

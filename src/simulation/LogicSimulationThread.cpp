#include "simulation/LogicSimulationThread.h"

namespace v7300 {

TSimulateThread::TSimulateThread(Clock& clock) : clock_(clock) {}

TSimulateThread::~TSimulateThread() {
    Terminate();
    WaitFor();
}

void TSimulateThread::Start() {
    if (thread_.joinable()) return;
    finished_.store(false);
    thread_ = std::thread([this] { Execute(); });
}

void TSimulateThread::WaitFor() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void TSimulateThread::Execute() {
    try {
        while (!terminated_.load()) {
            clock_.sleepMs(interval_);
            if (terminated_.load()) break;
            if (callback_) callback_();
        }
    } catch (...) {
        // A failure escaping the callback ends the worker silently.
    }
    finished_.store(true);
}

} // namespace v7300

#include "ui/app/ActionLog.h"

#include "core/Clock.h"

#include <cstdio>
#include <deque>

namespace v7300 {

namespace {
std::deque<std::string>& lines() {
    static std::deque<std::string> log;
    return log;
}
Clock*& logClock() {
    static Clock* clock = nullptr;
    return clock;
}
} // namespace

void LogAction(const std::string& text) {
    static SystemClock systemClock;
    Clock* clock = logClock() ? logClock() : &systemClock;
    const DateTime now = clock->localNow();
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour % 100, now.minute % 100, now.second % 100);
    auto& log = lines();
    log.push_back(std::string(time) + " >> " + text);
    while (log.size() > kActionLogLines) log.pop_front();
}

std::vector<std::string> ActionLogLines() { return {lines().begin(), lines().end()}; }

void SetActionLogClock(Clock* clock) { logClock() = clock; }

void ClearActionLog() { lines().clear(); }

} // namespace v7300

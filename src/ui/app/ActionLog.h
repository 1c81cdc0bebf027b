#pragma once
// The action log: the last 100 user actions with their local time, sent with an
// error report. One list for the whole process, used from the user-interface thread.
#include <string>
#include <vector>

namespace v7300 {

class Clock;

constexpr std::size_t kActionLogLines = 100;

// Appends "<HH:MM:SS> >> <text>" and drops the oldest lines beyond 100.
void LogAction(const std::string& text);
// The lines, oldest first.
std::vector<std::string> ActionLogLines();
// The clock the log reads its time from (the machine's clock when none is set).
void SetActionLogClock(Clock* clock);
void ClearActionLog();

} // namespace v7300

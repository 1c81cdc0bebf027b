#pragma once
// The timed actions of "simulate" and "render --simulate-seconds":
// T:toggle:INn, T:press:INn, T:value:INn=V, T:set:NAME=VALUE, applied when the
// simulated time reaches T seconds.
#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {
class TLogicSimulation;
}

namespace v7300::cli {

struct TimedAction {
    std::int64_t atMs = 0;
    std::string kind; // toggle, press, value, set
    std::string name;
    std::string value;
    int input = 0;
};

// Seconds as "12", "1.5" or "1,5"; UsageError naming the option otherwise.
std::int64_t parseSecondsOption(std::string text, const std::string& option);

TimedAction parseTimedAction(const std::string& text);

// Takes every "--at" out of args, sorted by time (stable for equal times).
std::vector<TimedAction> takeTimedActions(std::vector<std::string>& args);

void applyTimedAction(const TimedAction& action, TLogicSimulation& runtime);

} // namespace v7300::cli

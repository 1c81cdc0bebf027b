#pragma once
// Idle stretches of a simulation: cycles that change nothing may be replaced by
// one jump of the clock. A pass is a fixed function of the store, the second
// tick $BTIMER and the clock values $TIME and $DAY. The script is examined once
// at the start:
// - "followers" are the store entries that only ever receive a copy of $TIME
//   ($TIME itself included);
// - a follower may only be copied into another follower or compared with a
//   number literal; the literals give the breakpoints, the values of $TIME at
//   which a comparison can change its outcome.
// Any other use of the time (arithmetic, LCD, comparisons with variables), a
// script that writes the clock values itself, and the skipping is off.
//
// After every cycle the interpreter reports whether the cycle left everything
// as it found it (followers only compared by the stretch between breakpoints
// they lie in). Once a cycle with and one without a second tick have done so,
// with nothing written from outside in between, every further cycle does the
// same – until $TIME reaches the next breakpoint, the day ends, the zone's
// offset changes, or something from outside writes into the store.
#include "core/Clock.h"
#include "simulation/ScriptProgram.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

class TIdleSkip {
public:
    struct Symbols {
        int time = -1, btimer = -1, day = -1;
    };
    void Analyse(const std::vector<script::Statement>& program, std::size_t symbolCount, Symbols clock);

    // The script allows skipping at all.
    bool Possible() const { return possible_; }
    bool Follower(int symbol) const;
    // Followers besides $TIME: after a jump they hold a stale (but equivalent)
    // value until as many real cycles have run.
    std::int64_t SettleCycles() const { return settle_; }
    const std::vector<double>& Breakpoints() const { return breakpoints_; }
    // Both values lie in the same stretch between breakpoints.
    bool SameClass(const std::string& a, const std::string& b, char separator) const;

    // Cycle bookkeeping.
    void Reset() { verified_ = 0; }
    void Quiet(bool secondTick) { verified_ |= secondTick ? 2 : 1; }
    bool Verified() const { return verified_ == 3; }

    // The first instant (UTC ms) at which $TIME could leave the stretch of the
    // last real cycle, read at utcMs with the local time `local`: its next
    // breakpoint or the end of its day, whichever comes first.
    std::int64_t StretchEndUtcMs(const DateTime& local, std::int64_t utcMs) const;

private:
    bool possible_ = false;
    std::vector<char> follower_;
    std::int64_t settle_ = 0;
    std::vector<double> breakpoints_; // ascending
    int verified_ = 0;
};

} // namespace v7300

#include "simulation/IdleSkip.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace v7300 {

using namespace script;

void TIdleSkip::Analyse(const std::vector<Statement>& program, std::size_t symbolCount, Symbols clock) {
    possible_ = false;
    verified_ = 0;
    settle_ = 0;
    breakpoints_.clear();
    follower_.assign(symbolCount, 0);
    if (clock.time < 0 || static_cast<std::size_t>(clock.time) >= symbolCount) return;
    follower_[static_cast<std::size_t>(clock.time)] = 1;
    auto isFollower = [&](int symbol) { return symbol >= 0 && follower_[static_cast<std::size_t>(symbol)] != 0; };

    // Every target of a plain copy of a follower is a follower.
    for (bool grew = true; grew;) {
        grew = false;
        for (const Statement& s : program) {
            if (s.kind == Kind::Assign && s.assign == AssignOp::Set && isFollower(s.a.symbol) && !isFollower(s.target)) {
                follower_[static_cast<std::size_t>(s.target)] = 1;
                grew = true;
            }
        }
    }
    for (const Statement& s : program) {
        switch (s.kind) {
        case Kind::Assign:
            if (s.target == clock.time || s.target == clock.btimer || s.target == clock.day) return;
            // A follower takes copies of followers only; a follower feeds nothing else.
            if (isFollower(s.target) && (s.assign != AssignOp::Set || !isFollower(s.a.symbol))) return;
            if (!isFollower(s.target) && isFollower(s.a.symbol)) return;
            break;
        case Kind::If: {
            if (s.compare == CompareOp::In || s.compare == CompareOp::Never) break;
            const bool fa = isFollower(s.a.symbol);
            const bool fb = isFollower(s.b.symbol);
            if (fa && fb) return;
            if (fa || fb) {
                const Operand& other = fa ? s.b : s.a;
                if (other.symbol >= 0) return;
                if (!std::isfinite(other.literal)) return;
                const double f = std::floor(other.literal);
                breakpoints_.push_back(f);
                breakpoints_.push_back(f + 1);
            }
            break;
        }
        case Kind::Lcd:
            if (isFollower(s.target)) return;
            break;
        default:
            break;
        }
    }
    std::sort(breakpoints_.begin(), breakpoints_.end());
    breakpoints_.erase(std::unique(breakpoints_.begin(), breakpoints_.end()), breakpoints_.end());
    settle_ = static_cast<std::int64_t>(std::count(follower_.begin(), follower_.end(), 1)) - 1;
    possible_ = true;
}

bool TIdleSkip::Follower(int symbol) const {
    return symbol >= 0 && static_cast<std::size_t>(symbol) < follower_.size() &&
           follower_[static_cast<std::size_t>(symbol)] != 0;
}

bool TIdleSkip::SameClass(const std::string& a, const std::string& b, char separator) const {
    if (a == b) return true;
    const auto x = parseDouble(a, separator);
    const auto y = parseDouble(b, separator);
    if (!x || !y) return false;
    return std::upper_bound(breakpoints_.begin(), breakpoints_.end(), *x) ==
           std::upper_bound(breakpoints_.begin(), breakpoints_.end(), *y);
}

std::int64_t TIdleSkip::StretchEndUtcMs(const DateTime& local, std::int64_t utcMs) const {
    constexpr std::int64_t kDayMs = 86400000;
    const std::int64_t localMs = local.toEpochMs();
    const std::int64_t midnight = DateTime{local.year, local.month, local.day, 0, 0, 0, 0}.toEpochMs();
    std::int64_t end = midnight + kDayMs;
    const double now = local.hour * 10000.0 + local.minute * 100.0 + local.second;
    const auto next = std::upper_bound(breakpoints_.begin(), breakpoints_.end(), now);
    if (next != breakpoints_.end() && *next < 240000) {
        // The first time of day whose HHMMSS is at least the breakpoint.
        const auto p = static_cast<std::int64_t>(*next);
        std::int64_t h = p / 10000, m = p / 100 % 100, s = p % 100;
        if (s >= 60) s = 0, ++m;
        if (m >= 60) m = 0, ++h;
        if (h < 24) end = midnight + ((h * 60 + m) * 60 + s) * 1000;
    }
    return end - (localMs - utcMs);
}

} // namespace v7300

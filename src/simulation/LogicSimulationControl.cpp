// TSimulate: pause and single step of the worker, forced store entries, and the
// skipping of idle stretches.
#include "simulation/LogicSimulation.h"

#include "core/NumberFormat.h"

#include <algorithm>

namespace v7300 {

// ---------------------------------------------------------------- pause

void TSimulate::Pause() {
    std::lock_guard g(gateMutex_);
    paused_ = true;
    steps_ = 0;
}

void TSimulate::Resume() {
    {
        std::lock_guard g(gateMutex_);
        paused_ = false;
        steps_ = 0;
    }
    gateCv_.notify_all();
}

bool TSimulate::Paused() const {
    std::lock_guard g(gateMutex_);
    return paused_;
}

void TSimulate::StepOnce() {
    {
        std::lock_guard g(gateMutex_);
        if (!paused_) return;
        ++steps_;
    }
    gateCv_.notify_all();
}

void TSimulate::SetRunFree(std::function<bool()> runFree) {
    {
        std::lock_guard g(gateMutex_);
        runFree_ = std::move(runFree);
    }
    gateCv_.notify_all();
}

void TSimulate::WakeWorker() {
    { std::lock_guard g(gateMutex_); }
    gateCv_.notify_all();
}

// Waits while paused. False when the worker is to end instead of cycling.
bool TSimulate::PassGate(const TSimulateThread& worker) {
    std::unique_lock lk(gateMutex_);
    auto free = [this] { return runFree_ && runFree_(); };
    gateCv_.wait(lk, [&] { return worker.Terminated() || !running_.load() || !paused_ || steps_ > 0 || free(); });
    if (worker.Terminated()) return false;
    // Stopped while paused: the store stays as the user saw it last.
    if (paused_ && !running_.load()) return false;
    if (paused_ && steps_ > 0 && !free()) --steps_;
    return true;
}

// ---------------------------------------------------------------- forcing

void TSimulate::Force(const std::string& name, const std::string& value) {
    std::lock_guard lk(storeMutex_);
    const int symbol = SymbolOf(name);
    slots_[static_cast<std::size_t>(symbol)].forced = false;
    WriteSlot(symbol, value);
    slots_[static_cast<std::size_t>(symbol)].forced = true;
    externalWrites_.fetch_add(1);
}

void TSimulate::Release(const std::string& name) {
    std::lock_guard lk(storeMutex_);
    const auto it = symbols_.find(name);
    if (it == symbols_.end()) return;
    slots_[static_cast<std::size_t>(it->second)].forced = false;
    externalWrites_.fetch_add(1);
}

void TSimulate::ReleaseAll() {
    std::lock_guard lk(storeMutex_);
    for (Slot& slot : slots_) slot.forced = false;
    externalWrites_.fetch_add(1);
}

std::vector<TVariablen> TSimulate::Forced() const {
    std::lock_guard lk(storeMutex_);
    std::vector<TVariablen> out;
    for (std::size_t e = 0; e < store_.size(); ++e)
        if (slots_[static_cast<std::size_t>(entrySymbol_[e])].forced) out.push_back(store_[e]);
    return out;
}

std::vector<std::string> TSimulate::ForcedNames() const {
    std::vector<std::string> names;
    for (TVariablen& entry : Forced()) names.push_back(std::move(entry.Name));
    return names;
}

// ---------------------------------------------------------------- idle stretches

void TSimulate::SetObserved(std::vector<std::string> names) {
    std::lock_guard lk(storeMutex_);
    observed_ = std::move(names);
    UpdateObservedVolatile();
}

// Under storeMutex_.
void TSimulate::UpdateObservedVolatile() {
    bool isVolatile = false;
    for (const std::string& name : observed_) {
        const auto it = symbols_.find(name);
        if (it == symbols_.end()) continue;
        if (it->second == clockSymbols_.btimer || idle_.Follower(it->second)) isVolatile = true;
    }
    observedVolatile_ = isVolatile;
}

bool TSimulate::IdleSkipPossible() const {
    std::lock_guard lk(storeMutex_);
    return idle_.Possible();
}

void TSimulate::ClockWasSet() {
    clockSet_.store(true);
    externalWrites_.fetch_add(1);
}

void TSimulate::BeginTracking() {
    effectRan_ = false;
    {
        std::lock_guard lk(lcdMutex_);
        lcdAtStart_ = {lcdPosition_, lcdMode_, lcdText_, lcdVariable_};
    }
    std::lock_guard lk(storeMutex_);
    tracking_ = idle_.Possible();
    ++cycleStamp_;
    touched_.clear();
    storeSizeAtStart_ = store_.size();
}

// Decides whether the cycle left everything as it found it.
void TSimulate::EndTracking(std::uint64_t writesAtStart) {
    LcdState lcdNow;
    {
        std::lock_guard lk(lcdMutex_);
        lcdNow = {lcdPosition_, lcdMode_, lcdText_, lcdVariable_};
    }
    bool quiet = !effectRan_ && lcdNow == lcdAtStart_;
    const char separator = decimalSeparator();
    {
        std::lock_guard lk(storeMutex_);
        if (!tracking_) return;
        tracking_ = false;
        if (store_.size() != storeSizeAtStart_) quiet = false;
        for (const auto& [entry, before] : touched_) {
            if (!quiet) break;
            const int symbol = entrySymbol_[static_cast<std::size_t>(entry)];
            if (symbol == clockSymbols_.btimer) continue;
            const std::string& now = store_[static_cast<std::size_t>(entry)].Value;
            quiet = idle_.Follower(symbol) ? idle_.SameClass(before, now, separator) : before == now;
        }
        touched_.clear();
    }
    const std::uint64_t writesNow = externalWrites_.load();
    if (writesNow != writesAtStart || writesAtStart != verifiedWrites_) {
        // Something from outside changed the state: what was verified no longer holds.
        idle_.Reset();
        verifiedWrites_ = writesNow;
        if (writesNow != writesAtStart) return;
    }
    if (quiet) idle_.Quiet(lastSecondTick_);
    else idle_.Reset();
}

std::int64_t TSimulate::SkipIdle(std::int64_t maxCycles) {
    if (!running_.load() || stalled_.load() || !idle_.Possible() || !idle_.Verified() || observedVolatile_.load())
        return 0;
    if (externalWrites_.load() != verifiedWrites_) return 0;
    std::int64_t n = maxCycles - idle_.SettleCycles();
    if (n <= 0) return 0;
    constexpr std::int64_t period = kThreadInterval + kCycleWait;
    // The coming cycles read the clock at firstRead, firstRead + period, …; all
    // of them must lie before the end of the stretch and before the zone's next
    // offset change.
    const std::int64_t firstRead = clock_.utcNow().toEpochMs() + kThreadInterval;
    const std::int64_t end =
        std::min(idle_.StretchEndUtcMs(lastReadLocal_, lastReadUtcMs_), clock_.nextLocalJumpMs(lastReadUtcMs_));
    if (end <= firstRead) return 0;
    n = std::min(n, (end - firstRead + period - 1) / period);
    // The last replaced cycle's clock values, as that cycle would have written them.
    clock_.sleepMs(period * (n - 1) + kThreadInterval);
    if (n >= 2) previousSecond_ = RoundedSecond(clock_.utcNow().toEpochMs() - period);
    ClockStep();
    clock_.sleepMs(kCycleWait);
    cycles_.fetch_add(n);
    return n;
}

} // namespace v7300

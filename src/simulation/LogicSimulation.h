#pragma once
// The script interpreter with its variable store. Start prepares the script once
// (DIM declarations, TRUE/FALSE, statements parsed with their operands resolved
// to store slots, IF/ELSE jump targets); every cycle updates the clock variables
// and the LCD and runs one pass. The store is shared with the user-interface
// thread: every read and every write is one step under the store's mutex.
#include "core/Clock.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"
#include "simulation/IdleSkip.h"
#include "simulation/LogicSimulationThread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace v7300 {

// One store entry.
struct TVariablen {
    std::string Name;
    std::string Value;
    bool operator==(const TVariablen&) const = default;
};

// Where the pass goes on after line i of a prepared script when it skips: for an
// IF line (false condition, the ELSE rule applies) and for an ELSE line met in
// normal flow (no ELSE rule). The index after the line that brings the depth to 0,
// or the script's length. Entries of other lines are unspecified. Linear time.
std::vector<std::size_t> SkipTargets(const std::vector<std::string>& lines);

class TSimulate : public TSimulationState {
public:
    static constexpr int kThreadInterval = 10; // ms slept by the worker before each cycle
    static constexpr int kCycleWait = 100;     // ms waited at the end of each cycle
    static constexpr const char* kBanner = "  V7300-NET-IO  _/|__________/|_";

    explicit TSimulate(Clock& clock, TEffectPorts ports = {});
    ~TSimulate() override;
    TSimulate(const TSimulate&) = delete;
    TSimulate& operator=(const TSimulate&) = delete;

    // Only while no worker runs (before Start or after StopSimThread).
    void SetPorts(TEffectPorts ports);
    Clock& GetClock() { return clock_; }

    // Prepares the script and starts cycling; false, with nothing changed, when a
    // simulation is running. withWorker false: no thread, the caller drives the
    // cycles (RunCycle / Step), as the command line does on a virtual clock.
    bool Start(const std::vector<std::string>& script, bool withWorker = true);
    // Clears the running flag; the worker finishes its cycle (and at most one
    // more) and ends. Always true.
    bool Stop();
    // Ends the worker and waits for it; the running flag stays (live view).
    void StopSimThread();

    // One cycle. Returns false when cycling is over (stopped, or the pass failed).
    bool RunCycle();
    // What the worker does once: sleep the interval on the clock, then RunCycle.
    bool Step();

    // --- TSimulationState
    bool Running() const override { return running_.load(); }
    std::string GetVariable(const std::string& name) const override;

    // A pass failed: cycling has ended while the running flag stays set.
    bool Stalled() const { return stalled_.load(); }
    // The worker thread is cycling.
    bool WorkerActive() const;
    // Number of cycles run since Start.
    std::int64_t CycleCount() const { return cycles_.load(); }

    // --- the store as the drawing, the simulated inputs and the live view use it
    bool Output_Status(const std::string& component, int n) const;
    void SetOutputState(const std::string& component, int n, std::int32_t value);
    void SetObjectValue(const std::string& component, const std::string& variable, double value);
    void SetInputState(const std::string& component, int n, bool state);
    void SetInputValue(const std::string& component, int n, std::int32_t value);
    // Writes a value under a name (appends an unknown name).
    void SetVariable(const std::string& name, const std::string& value);
    // A copy of the whole store in store order.
    std::vector<TVariablen> Variables() const;

    // The prepared script (after DIM handling and the TRUE/FALSE replacement).
    std::vector<std::string> PreparedScript() const;
    // The LCD window's two lines as the last LCD step set them
    // ("V7300 - Logik" and "Quellmark" before the first one).
    std::pair<std::string, std::string> LcdLines() const;
    // The LCD text (up to 32 characters) and mode.
    std::string LcdText() const;
    int LcdMode() const;

    // Called by the worker before each cycle (the runtime's timed actions) and
    // after each cycle (the runtime's skipping of idle stretches).
    void SetBeforeCycle(std::function<void()> hook);
    void SetAfterCycle(std::function<void()> hook);

    // --- pause and single step (LogicSimulationControl.cpp). The worker stops
    // before its next cycle while paused; the store stays as it is. Start
    // begins unpaused.
    void Pause();
    void Resume();
    bool Paused() const;
    // While paused: the worker runs one more cycle.
    void StepOnce();
    // While this holds the worker runs even when paused (a jump to a later time).
    void SetRunFree(std::function<bool()> runFree);
    // The worker looks at pause and run-free again.
    void WakeWorker();

    // --- forcing: a forced entry keeps its value; the script's and all other
    // writes are ignored until it is released. Start releases everything.
    void Force(const std::string& name, const std::string& value);
    void Release(const std::string& name);
    void ReleaseAll();
    // The forced entries with their values, in store order.
    std::vector<TVariablen> Forced() const;
    std::vector<std::string> ForcedNames() const override;

    // --- idle stretches (see IdleSkip.h)
    // Entries someone reads after every cycle: when one of them follows the
    // time, nothing is skipped.
    void SetObserved(std::vector<std::string> names);
    // The script allows skipping at all (known after Start).
    bool IdleSkipPossible() const;
    // Between cycles (clock at the end of the last one): replaces up to
    // maxCycles coming cycles that cannot change anything by one jump of the
    // clock, leaving the real cycles before the bound that the time's copies
    // need to be exact again. Returns the number of cycles replaced (0 when
    // the coming cycles may change something). Only on a clock on which
    // sleeping costs no real time.
    std::int64_t SkipIdle(std::int64_t maxCycles);
    // The calendar time was set: the next second tick is computed as if the
    // clock had always been there.
    void ClockWasSet();

    struct Program; // the parsed script

private:
    struct Slot {
        std::string name;
        int entry = -1; // index into the store, -1 while the name is not in it
        bool forced = false;
    };
    int SymbolOf(const std::string& name);           // under storeMutex_
    // False when the entry is forced (nothing written).
    bool WriteSlot(int symbol, const std::string& value);
    void WriteSlotNumber(int symbol, double value);
    bool ReadSlotNumber(int symbol, double& value);
    bool ReadSlotInt(int symbol, std::int32_t& value);
    std::string ReadSlot(int symbol) const;
    void WriteName(const std::string& name, const std::string& value);

    static std::int64_t RoundedSecond(std::int64_t utcMs);
    void ClockStep();
    void LcdStep();
    void Pass();
    void StopWorker();
    bool PassGate(const TSimulateThread& worker);
    void BeginTracking();
    void EndTracking(std::uint64_t writesAtStart);
    void UpdateObservedVolatile();

    Clock& clock_;
    TEffectPorts ports_;

    // The store: entries in store order, names interned to symbols.
    mutable std::mutex storeMutex_;
    std::vector<TVariablen> store_;
    std::vector<Slot> slots_;                       // per symbol
    std::unordered_map<std::string, int> symbols_;  // name -> symbol

    std::unique_ptr<Program> program_;
    std::vector<std::string> prepared_;

    std::atomic<bool> running_{false};
    std::atomic<bool> nextCycle_{false};
    std::atomic<bool> stalled_{false};
    std::atomic<std::int64_t> cycles_{0};
    std::int64_t previousSecond_ = 0;
    std::int64_t currentSecond_ = 0;

    // LCD state: written by the pass and the LCD step on the cycling thread;
    // guarded for the readers on other threads.
    mutable std::mutex lcdMutex_;
    int lcdPosition_ = 0;
    int lcdMode_ = 0;
    std::string lcdText_;     // Windows-1252 bytes
    std::string lcdVariable_;
    std::string lcdLine1_ = "V7300 - Logik";
    std::string lcdLine2_ = "Quellmark";

    // Idle stretches: the script's examination, what the running cycle wrote
    // (entry and value before its first write), and the writes from outside.
    TIdleSkip idle_;
    TIdleSkip::Symbols clockSymbols_;
    bool tracking_ = false;
    std::uint64_t cycleStamp_ = 0;
    std::vector<std::uint64_t> entryStamp_;  // parallel to the store
    std::vector<int> entrySymbol_;           // parallel to the store
    std::vector<std::pair<int, std::string>> touched_;
    std::size_t storeSizeAtStart_ = 0;
    bool effectRan_ = false;
    struct LcdState {
        int position = 0, mode = 0;
        std::string text, variable;
        bool operator==(const LcdState&) const = default;
    } lcdAtStart_;
    std::atomic<std::uint64_t> externalWrites_{0};
    std::uint64_t verifiedWrites_ = 0;
    std::vector<std::string> observed_;
    std::atomic<bool> observedVolatile_{false};
    bool lastSecondTick_ = false;
    std::int64_t lastReadUtcMs_ = 0;
    DateTime lastReadLocal_;
    std::atomic<bool> clockSet_{false};

    // Pause gate of the worker.
    mutable std::mutex gateMutex_;
    std::condition_variable gateCv_;
    bool paused_ = false;
    int steps_ = 0;
    std::function<bool()> runFree_;

    std::function<void()> beforeCycle_;
    std::function<void()> afterCycle_;
    mutable std::mutex lifecycleMutex_; // Start / Stop / StopSimThread
    std::unique_ptr<TSimulateThread> worker_;
};

} // namespace v7300

#pragma once
// The script interpreter with its variable store. Start prepares the script once
// (DIM declarations, TRUE/FALSE, statements parsed with their operands resolved
// to store slots, IF/ELSE jump targets); every cycle updates the clock variables
// and the LCD and runs one pass. The store is shared with the user-interface
// thread: every read and every write is one step under the store's mutex.
#include "core/Clock.h"
#include "model/Logic.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicSimulationThread.h"

#include <atomic>
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

    // Called by the worker before each cycle (the runtime's timed actions).
    void SetBeforeCycle(std::function<void()> hook);

    struct Program; // the parsed script

private:
    struct Slot;
    int SymbolOf(const std::string& name);           // under storeMutex_
    void WriteSlot(int symbol, const std::string& value);
    void WriteSlotNumber(int symbol, double value);
    bool ReadSlotNumber(int symbol, double& value);
    bool ReadSlotInt(int symbol, std::int32_t& value);
    std::string ReadSlot(int symbol) const;
    void WriteName(const std::string& name, const std::string& value);

    void ClockStep();
    void LcdStep();
    void Pass();
    void StopWorker();

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

    std::function<void()> beforeCycle_;
    mutable std::mutex lifecycleMutex_; // Start / Stop / StopSimThread
    std::unique_ptr<TSimulateThread> worker_;
};

} // namespace v7300

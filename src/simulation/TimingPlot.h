#pragma once
// The data of a timing plot: chosen store entries followed against simulated
// time. Only changes are kept (a value holds until the next change), at most
// kMaxChanges of them (or as many as given); the oldest go first, so a long run
// keeps its latest part. Traces may be added and removed while a run is
// recorded; a trace added later has no value before its first sample.
#include "core/TimeZone.h"
#include "simulation/LogicSimulation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace v7300 {

struct TPlotChange {
    std::int64_t t = 0; // simulated ms since the plot's start
    std::size_t trace = 0;
    std::string value;
};

class TTimingPlot {
public:
    static constexpr std::size_t kMaxChanges = 500000;

    // startUtcMs: the simulated instant of t = 0; local times in the zone.
    TTimingPlot(std::vector<std::string> names, std::int64_t startUtcMs, TTimeZone zone = {},
                std::size_t maxChanges = kMaxChanges);

    // The store entries read by Sample.
    const std::vector<std::string>& Names() const { return names_; }
    // What the lanes and the CSV header show (the entry's name unless a label was given).
    const std::vector<std::string>& Labels() const { return labels_; }
    // A further trace from now on; returns its index. An empty label shows the name.
    std::size_t AddTrace(std::string name, std::string label = {});
    // Removes a trace with its changes; later traces move up by one.
    void RemoveTrace(std::size_t trace);
    // Reads every entry and keeps those that changed since the last sample.
    void Sample(std::int64_t t, const TSimulationState& store);
    // Keeps the value of one trace at t when it differs from its last one.
    void Record(std::int64_t t, std::size_t trace, const std::string& value);

    const std::vector<TPlotChange>& Changes() const { return changes_; }
    // The last sample time (0 before the first).
    std::int64_t End() const { return end_; }
    // Changes were dropped to stay within kMaxChanges.
    bool Truncated() const { return truncated_; }
    // A trace is drawn as a 0/1 level when all its values are "0" or "1".
    bool Digital(std::size_t trace) const;
    // The value of the trace at time t ("" before its first sample).
    std::string ValueAt(std::size_t trace, std::int64_t t) const;
    // The local time of the plot time t.
    DateTime LocalAt(std::int64_t t) const;

    // One row per sample time with a change, every entry's value at that time:
    // "Zeit [s];Datum/Uhrzeit;<labels…>", fields separated by ';', times with the
    // decimal separator.
    std::string Csv(char decimalSeparator) const;

private:
    std::vector<std::string> names_;
    std::vector<std::string> labels_;
    std::vector<std::string> last_;
    std::vector<char> seen_;
    std::int64_t startUtcMs_;
    TTimeZone zone_;
    std::size_t maxChanges_;
    std::vector<TPlotChange> changes_;
    std::int64_t end_ = 0;
    bool truncated_ = false;
};

} // namespace v7300

#include "simulation/TimingPlot.h"

#include <algorithm>
#include <cstdio>

namespace v7300 {

TTimingPlot::TTimingPlot(std::vector<std::string> names, std::int64_t startUtcMs, TTimeZone zone,
                         std::size_t maxChanges)
    : names_(std::move(names)), labels_(names_), last_(names_.size()), seen_(names_.size(), 0), startUtcMs_(startUtcMs),
      zone_(std::move(zone)), maxChanges_(std::max<std::size_t>(10, maxChanges)) {}

std::size_t TTimingPlot::AddTrace(std::string name, std::string label) {
    labels_.push_back(label.empty() ? name : std::move(label));
    names_.push_back(std::move(name));
    last_.emplace_back();
    seen_.push_back(0);
    return names_.size() - 1;
}

void TTimingPlot::RemoveTrace(std::size_t trace) {
    if (trace >= names_.size()) return;
    const auto at = static_cast<long>(trace);
    names_.erase(names_.begin() + at);
    labels_.erase(labels_.begin() + at);
    last_.erase(last_.begin() + at);
    seen_.erase(seen_.begin() + at);
    std::erase_if(changes_, [trace](const TPlotChange& c) { return c.trace == trace; });
    for (TPlotChange& c : changes_)
        if (c.trace > trace) --c.trace;
}

void TTimingPlot::Sample(std::int64_t t, const TSimulationState& store) {
    for (std::size_t i = 0; i < names_.size(); ++i) Record(t, i, store.GetVariable(names_[i]));
    end_ = std::max(end_, t);
}

void TTimingPlot::Record(std::int64_t t, std::size_t trace, const std::string& value) {
    if (trace >= names_.size()) return;
    end_ = std::max(end_, t);
    if (seen_[trace] && last_[trace] == value) return;
    seen_[trace] = 1;
    last_[trace] = value;
    if (changes_.size() >= maxChanges_) {
        // Drop the oldest tenth; the first value of each trace after the cut
        // stands in for what came before.
        changes_.erase(changes_.begin(), changes_.begin() + static_cast<long>(maxChanges_ / 10));
        truncated_ = true;
    }
    changes_.push_back({t, trace, value});
}

bool TTimingPlot::Digital(std::size_t trace) const {
    bool any = false;
    for (const TPlotChange& c : changes_) {
        if (c.trace != trace) continue;
        if (c.value != "0" && c.value != "1") return false;
        any = true;
    }
    return any;
}

std::string TTimingPlot::ValueAt(std::size_t trace, std::int64_t t) const {
    std::string value;
    for (const TPlotChange& c : changes_) {
        if (c.t > t) break;
        if (c.trace == trace) value = c.value;
    }
    return value;
}

DateTime TTimingPlot::LocalAt(std::int64_t t) const {
    const std::int64_t utc = startUtcMs_ + t;
    const std::int64_t seconds = utc / 1000 - (utc % 1000 < 0 ? 1 : 0);
    return DateTime::fromEpochMs(utc + std::int64_t{zone_.OffsetAt(seconds)} * 1000);
}

namespace {

std::string csvField(const std::string& s) {
    if (s.find_first_of(";\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

} // namespace

std::string TTimingPlot::Csv(char separator) const {
    std::string out = "Zeit [s];Datum/Uhrzeit";
    for (const auto& n : labels_) out += ";" + csvField(n);
    out += "\r\n";
    std::vector<std::string> row(names_.size());
    for (std::size_t i = 0; i < changes_.size();) {
        const std::int64_t t = changes_[i].t;
        for (; i < changes_.size() && changes_[i].t == t; ++i) row[changes_[i].trace] = changes_[i].value;
        const DateTime l = LocalAt(t);
        char head[96];
        std::snprintf(head, sizeof head, "%lld%c%03lld;%04d-%02d-%02d %02d:%02d:%02d%c%03d",
                      static_cast<long long>(t / 1000), separator, static_cast<long long>(t % 1000), l.year % 10000,
                      l.month, l.day, l.hour, l.minute, l.second, separator, l.millisecond);
        out += head;
        for (const auto& v : row) out += ";" + csvField(v);
        out += "\r\n";
    }
    return out;
}

} // namespace v7300

#include "simulation/LiveReplay.h"

#include "core/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace v7300 {
namespace {

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The number n of "A<n>" or "VALUE<n>"; 0 when the variable is not of that form.
int numberAfter(const std::string& variable, const char* prefix) {
    if (!beginsWith(variable, prefix)) return 0;
    const auto n = parseInt32(variable.substr(std::char_traits<char>::length(prefix)));
    return n && *n >= 1 && *n <= 8 ? *n : 0;
}

std::int32_t toStoreInt(double v) {
    return static_cast<std::int32_t>(std::clamp(std::llround(v), -2147483648LL, 2147483647LL));
}

bool sameNumber(const std::string& storeText, double device) {
    std::string text = storeText;
    std::replace(text.begin(), text.end(), ',', '.');
    const auto v = parseDouble(text, '.');
    return v && std::fabs(*v - device) <= 1e-9 * std::max(1.0, std::fabs(device));
}

} // namespace

TLiveReplay::TLiveReplay(const TLogic& logic, TLogicSimulation& runtime, Clock& clock, TLiveRecording recording)
    : runtime_(runtime), clock_(clock), recording_(std::move(recording)), start_(clock.monotonicMs()) {
    for (int i = 0; i < logic.Components.Count(); ++i) {
        const TLogicComponent& c = logic.Components.Items(i);
        Role role = Role::Compared;
        if (c.TypeName == "IN") role = Role::Input;
        else if (beginsWith(c.TypeName, "BUS-IN")) role = Role::BusInput;
        else if (beginsWith(c.TypeName, "BUS-TEMP")) role = Role::BusTemperature;
        roles_[c.Name] = role;
    }
}

std::int64_t TLiveReplay::ElapsedMs() { return clock_.monotonicMs() - start_; }

bool TLiveReplay::Step() {
    // The next pass runs after the worker's short sleep: what arrived before
    // it goes into that pass, and is compared with the state the last one left.
    const std::int64_t passAt = ElapsedMs() + TSimulate::kThreadInterval;
    while (next_ < recording_.Samples.size() && recording_.Samples[next_].Ms < passAt) use(recording_.Samples[next_++]);
    if (next_ >= recording_.Samples.size()) return false;
    return runtime_.RunCycles(1) == 1;
}

void TLiveReplay::Run() {
    while (Step()) {
    }
}

void TLiveReplay::use(const TLiveSample& sample) {
    const auto role = roles_.find(sample.Component);
    if (role == roles_.end()) return; // not in this diagram
    if (role->second == Role::Compared) compare(sample);
    else feed(role->second, sample);
}

void TLiveReplay::feed(Role role, const TLiveSample& s) {
    TSimulate& sim = runtime_.Simulator();
    if (role == Role::BusTemperature) {
        // Output n of the module is its temperature in tenths; VALUEn the degrees.
        if (const int n = numberAfter(s.Variable, "VALUE")) sim.SetInputValue(s.Component, n, toStoreInt(s.Value * 10));
        return;
    }
    const int n = numberAfter(s.Variable, "A");
    if (n == 1 || (n > 1 && role == Role::BusInput)) sim.SetInputValue(s.Component, n, toStoreInt(s.Value));
}

void TLiveReplay::compare(const TLiveSample& s) {
    const bool output = numberAfter(s.Variable, "A") > 0;
    const std::string name = "$" + s.Component + (output ? "__" : "_") + s.Variable;
    const std::string simulated = runtime_.Simulator().GetVariable(name);
    Watch& w = watches_[s.Component + "." + s.Variable];
    if (sameNumber(simulated, s.Value)) {
        w.run = 0;
        return;
    }
    if (++w.run == 1) w.first = {s.Ms, s.Component, s.Variable, formatGeneral(s.Value, decimalSeparator()), simulated};
    if (w.run == kConfirmingSamples) {
        ++differences_;
        if (OnDifference) OnDifference(w.first);
    }
}

} // namespace v7300

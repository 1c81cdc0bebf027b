#include "simulation/LogicTestRunner.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "simulation/SimulationRuntime.h"

#include <cstdio>
#include <cstdlib>

namespace v7300 {

namespace {

using Kind = TTestStep::Kind;

// Keeps the process's decimal separator for the test and restores it after.
class SeparatorScope {
public:
    explicit SeparatorScope(char c) : old_(decimalSeparator()) { setDecimalSeparator(c); }
    ~SeparatorScope() { setDecimalSeparator(old_); }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    char old_;
};

std::string trimEnd(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The instant of a test time; a syntax error at the line when it does not exist.
std::int64_t instantOf(const TTestTime& t, const TTimeZone& zone, int line) {
    const std::int64_t local = t.Local.toEpochMs() / 1000;
    if (t.OffsetSeconds) return (local - *t.OffsetSeconds) * 1000;
    const auto instants = zone.LocalToUtc(local);
    if (instants.empty()) {
        char text[40];
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.Local.year % 10000, t.Local.month,
                      t.Local.day, t.Local.hour, t.Local.minute, t.Local.second);
        throw TLogicTestSyntaxError(line, std::string("den Zeitpunkt ") + text + " gibt es in " + zone.Name() +
                                              " nicht (Zeitumstellung)");
    }
    return instants.front() * 1000;
}

// Every component the test names exists, and switched inputs are switches or buttons.
void checkAgainstDiagram(const TLogicTestFile& test, const TLogic& logic) {
    auto need = [&](const std::string& name, int line) -> const TLogicComponent& {
        const TLogicComponent* c = logic.FindComponent(name);
        if (c == nullptr) throw TLogicTestSyntaxError(line, "unbekannter Baustein " + name);
        return *c;
    };
    for (const TTestStep& s : test.Steps) {
        for (const TTestRef* r : {&s.Condition.Ref, &s.Target})
            if (!r->Component.empty()) need(r->Component, s.Line);
        if (s.Input.empty()) continue;
        const TLogicComponent& c = need(s.Input, s.Line);
        if (s.Type != Kind::Schalte) continue;
        const TLogicComponentDefine* type = c.Variables.FindByName("TYPE");
        const auto kind = type ? parseInt32(trimBlanks(type->GetValue())) : std::nullopt;
        if (!kind || (*kind != 0 && *kind != 10))
            throw TLogicTestSyntaxError(s.Line, s.Input + " ist kein Schalter oder Taster (setze " + s.Input + " = WERT)");
    }
}

class Run {
public:
    Run(const TLogicTestFile& test, TLogic& logic, const TTimeZone& zone, TEffectPorts ports, bool skipIdle,
        std::int64_t startUtc)
        : test_(test), zone_(zone), clock_(zone, startUtc), runtime_(logic, clock_, ports), skip_(skipIdle) {}

    TLogicTestOutcome Go() {
        runtime_.Simulate(false);
        if (!runtime_.Simulating()) throw Error("Die Simulation kann nicht gestartet werden.");
        std::vector<std::string> observed;
        for (const TTestStep& s : test_.Steps)
            if (!s.Condition.Ref.Store.empty()) observed.push_back(s.Condition.Ref.Store);
        runtime_.Simulator().SetObserved(observed);
        start_ = clock_.monotonicMs();
        TLogicTestOutcome out;
        for (const TTestStep& s : test_.Steps) {
            ++out.Steps;
            if (!Do(s)) {
                out.FailLine = s.Line;
                out.FailText = s.Text + " — ist " + failValue_ + " bei t=" + FormatTestTime(zone_, clock_.utcMs());
                break;
            }
        }
        out.Passed = out.FailLine == 0;
        out.SimulatedMs = clock_.monotonicMs() - start_;
        runtime_.Simulation_abbrechen();
        return out;
    }

private:
    std::string Actual(const TTestRef& r) const {
        if (!r.Lcd) return runtime_.Simulator().GetVariable(r.Store);
        const auto lines = runtime_.Simulator().LcdLines();
        return trimEnd(r.LcdLine == 1 ? lines.first : lines.second);
    }

    bool Holds(const TTestCondition& c) {
        const std::string actual = Actual(c.Ref);
        failValue_ = c.Ref.Lcd ? "\"" + actual + "\"" : actual;
        const char sep = decimalSeparator();
        const auto a = c.Ref.Lcd ? std::nullopt : parseDouble(actual, sep);
        const auto e = c.Ref.Lcd ? std::nullopt : parseDouble(c.Value, sep);
        if (a && e) {
            switch (c.Op) {
            case TTestOp::Eq: return *a == *e;
            case TTestOp::Ne: return *a != *e;
            case TTestOp::Lt: return *a < *e;
            case TTestOp::Gt: return *a > *e;
            case TTestOp::Le: return *a <= *e;
            case TTestOp::Ge: return *a >= *e;
            }
        }
        const std::string expected = c.Ref.Lcd ? trimEnd(c.Value) : c.Value;
        if (c.Op == TTestOp::Eq) return actual == expected;
        if (c.Op == TTestOp::Ne) return actual != expected;
        return false; // order needs numbers
    }

    // Runs the cycles until the monotonic time; `check` after every step of the
    // clock ends the run early when it returns true. False when the simulation
    // stood still.
    template <typename Check>
    bool RunUntil(std::int64_t until, Check check) {
        while (clock_.monotonicMs() < until) {
            const std::int64_t covered = runtime_.Advance(until, skip_);
            if (runtime_.Simulator().Stalled() || covered == 0) {
                failValue_ = "Simulation stehen geblieben";
                return false;
            }
            if (check()) return true;
        }
        return true;
    }

    bool Do(const TTestStep& s) {
        TSimulate& sim = runtime_.Simulator();
        switch (s.Type) {
        case Kind::Nach:
            return RunUntil(clock_.monotonicMs() + s.DurationMs, [] { return false; });
        case Kind::BisZeit: {
            const std::int64_t target = instantOf(s.At, zone_, s.Line);
            if (target < clock_.utcMs()) {
                failValue_ = "schon vorbei";
                return false;
            }
            return RunUntil(clock_.monotonicMs() + (target - clock_.utcMs()), [] { return false; });
        }
        case Kind::BisBedingung: {
            if (Holds(s.Condition)) return true;
            bool reached = false;
            if (!RunUntil(clock_.monotonicMs() + s.DurationMs, [&] { return reached = Holds(s.Condition); })) return false;
            return reached;
        }
        case Kind::Erwarte: {
            if (!Holds(s.Condition)) return false;
            bool broken = false;
            if (!RunUntil(clock_.monotonicMs() + s.DurationMs, [&] { return broken = !Holds(s.Condition); })) return false;
            return !broken;
        }
        case Kind::Druecke:
            runtime_.Press(s.Input);
            return true;
        case Kind::Schalte:
            runtime_.UpdateOutputStates(); // what the diagram shows at this moment
            runtime_.Toogle_input(std::atoi(s.Input.c_str() + 2));
            return true;
        case Kind::Setze:
            if (!s.Input.empty()) sim.SetInputValue(s.Input, 1, toInt32(s.Value));
            else sim.SetVariable(s.Target.Store, s.Value);
            return true;
        }
        return true;
    }

    const TLogicTestFile& test_;
    const TTimeZone& zone_;
    ZonedVirtualClock clock_;
    TLogicSimulation runtime_;
    bool skip_;
    std::int64_t start_ = 0;
    std::string failValue_;
};

} // namespace

std::string FormatTestTime(const TTimeZone& zone, std::int64_t utcMs) {
    const std::int64_t seconds = utcMs / 1000 - (utcMs % 1000 < 0 ? 1 : 0);
    const int offset = zone.OffsetAt(seconds);
    const DateTime l = DateTime::fromEpochMs(utcMs + std::int64_t{offset} * 1000);
    const int a = offset < 0 ? -offset : offset;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", l.year % 10000, l.month, l.day,
                  l.hour, l.minute, l.second, l.millisecond, offset < 0 ? '-' : '+', a / 3600, a / 60 % 60);
    return buf;
}

TLogicTestOutcome RunLogicTest(const TLogicTestFile& test, TLogic& logic, const TTimeZone& zone, TEffectPorts ports,
                               bool skipIdle) {
    checkAgainstDiagram(test, logic);
    for (const TTestStep& s : test.Steps)
        if (s.Type == Kind::BisZeit) instantOf(s.At, zone, s.Line);
    const std::int64_t startUtc = instantOf(test.Start, zone, test.StartLine);
    SeparatorScope separator(test.DecimalSeparator);
    Run run(test, logic, zone, ports, skipIdle, startUtc);
    return run.Go();
}

} // namespace v7300

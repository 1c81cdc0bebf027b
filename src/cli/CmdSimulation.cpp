// v7300 script PROJECT
// v7300 run-script FILE [--cycles N] [--set NAME=VALUE]... [--time T] [--decimal-separator C] [--effects]
// v7300 simulate PROJECT [--seconds S | --cycles N] [--time T] [--decimal-separator C]
//                [--at T:ACTION]... [--watch NAME[,NAME...]] [--effects]
#include "cli/Commands.h"
#include "cli/PlotOutput.h"
#include "cli/TimedActions.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "core/TextCodec.h"
#include "project/ProjectFile.h"
#include "simulation/EffectPorts.h"
#include "simulation/LogicSimulation.h"
#include "simulation/ScriptGenerator.h"
#include "simulation/SimulationRuntime.h"
#include "simulation/SmtpSender.h"
#include "simulation/TimingPlot.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>

namespace v7300::cli {
namespace {

// ------------------------------------------------------------ options shared by run-script and simulate

DateTime parseStartTime(const std::string& text) {
    DateTime t;
    char tail = 0;
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &tail) != 6)
        throw UsageError("--time erwartet YYYY-MM-DDTHH:MM:SS: " + text);
    // The date must exist: a round trip through the calendar keeps it.
    const DateTime back = DateTime::fromEpochMs(t.toEpochMs());
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59 || t.second > 59 || !(back == t))
        throw UsageError("--time: ungültige Zeit " + text);
    return t;
}

struct CommonOptions {
    DateTime start{2026, 1, 5, 12, 0, 0, 0};
    bool effects = false;
};

CommonOptions takeCommonOptions(std::vector<std::string>& args) {
    CommonOptions o;
    std::string value;
    if (takeOption(args, "--time", value)) o.start = parseStartTime(value);
    if (takeOption(args, "--decimal-separator", value)) {
        if (value.size() != 1 || isBlank(value[0]) || std::isdigit(static_cast<unsigned char>(value[0])))
            throw UsageError("--decimal-separator erwartet ein Zeichen");
        setDecimalSeparator(value[0]);
    }
    o.effects = takeFlag(args, "--effects");
    return o;
}

int takeCount(std::vector<std::string>& args, const std::string& name, int fallback) {
    std::string value;
    if (!takeOption(args, name, value)) return fallback;
    const auto n = parseInt32(value);
    if (!n || *n < 0) throw UsageError(name + " erwartet eine Zahl >= 0: " + value);
    return *n;
}

std::pair<std::string, std::string> splitAssignment(const std::string& text, const std::string& what) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError(what + " erwartet NAME=WERT: " + text);
    return {text.substr(0, eq), text.substr(eq + 1)};
}

// ------------------------------------------------------------ effects: reported, and carried out with --effects

class CliEffects : public ExecPort, public PlayPort, public SmtpPort, public SimulationUiPort {
public:
    CliEffects(std::ostream& err, bool carryOut) : err_(err), carryOut_(carryOut) {}

    void Open(const ExecRequest& r) override {
        err_ << "EXEC: " << r.Path << (r.Parameters.empty() ? "" : " " + r.Parameters) << "\n";
        if (carryOut_) exec_.Open(r);
    }
    void Play(const std::string& fileName) override {
        err_ << "PLAY: " << fileName << "\n";
        if (carryOut_) play_.Play(fileName);
    }
    void Send(const SmtpMessage& m) override {
        std::string to;
        for (const auto& r : m.Recipients) to += (to.empty() ? "" : ",") + r;
        err_ << "SMTP: " << to << " über " << m.Host << ":" << m.Port << ":" << m.Body << "\n";
        if (carryOut_) smtp_.Send(m);
    }
    void ShowSliderWindow(const std::string& component) override {
        err_ << "Hinweis: " << component << " ist ein analoger Eingang (value:" << component << "=WERT)\n";
    }
    TEffectPorts Ports() {
        TEffectPorts p;
        p.Exec = this;
        p.Play = this;
        p.Smtp = this;
        p.Ui = this;
        return p;
    }

private:
    std::ostream& err_;
    bool carryOut_;
    PosixExecPort exec_;
    PosixPlayPort play_;
    CurlSmtpSender smtp_;
};

void printStoreAndLcd(const TSimulate& sim, std::ostream& out) {
    for (const auto& v : sim.Variables()) out << v.Name << "=" << v.Value << "\n";
    const auto lines = sim.LcdLines();
    out << "LCD1=" << lines.first << "\n" << "LCD2=" << lines.second << "\n";
}

void openProject(TLogic& logic, const std::string& path) {
    logic.NewProject();
    if (!OpenProjectFile(logic, path)) throw Error("Das Projekt " + path + " kann nicht geöffnet werden.");
}

constexpr std::int64_t kCyclePeriod = TSimulate::kThreadInterval + TSimulate::kCycleWait;

std::string secondsText(std::int64_t ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return buf;
}

} // namespace

int cmdScript(Context& ctx) {
    rejectUnknownOptions(ctx.args, "script");
    if (ctx.args.size() != 1) throw UsageError("script erwartet genau eine Projektdatei");
    TLogic logic(ctx.libraryDir, ctx.messages);
    openProject(logic, ctx.args.front());
    for (const auto& line : create_script(logic)) ctx.out << line << "\n";
    return 0;
}

int cmdRunScript(Context& ctx) {
    auto& args = ctx.args;
    const CommonOptions common = takeCommonOptions(args);
    const int cycles = takeCount(args, "--cycles", 1);
    const auto sets = takeOptions(args, "--set");
    rejectUnknownOptions(args, "run-script");
    if (args.size() != 1) throw UsageError("run-script erwartet genau eine Skriptdatei");
    std::vector<std::pair<std::string, std::string>> assignments;
    for (const auto& s : sets) assignments.push_back(splitAssignment(s, "--set"));

    const std::vector<std::string> script = splitLines(textFileToUtf8(readFileBytes(args.front())));

    VirtualClock clock(common.start);
    CliEffects effects(ctx.err, common.effects);
    TSimulate sim(clock, effects.Ports());
    sim.Start(script, false);
    for (const auto& [name, value] : assignments) sim.SetVariable(name, value);
    int ran = 0;
    for (int i = 0; i < cycles; ++i) {
        const auto before = sim.CycleCount();
        const bool more = sim.Step();
        if (sim.CycleCount() != before) ++ran;
        if (!more) break;
    }
    if (sim.Stalled())
        ctx.err << "Hinweis: Die Simulation ist im Zyklus " << ran + 1 << " stehen geblieben.\n";
    printStoreAndLcd(sim, ctx.out);
    return 0;
}

int cmdSimulate(Context& ctx) {
    auto& args = ctx.args;
    if (std::string replay; takeOption(args, "--replay", replay)) return cmdSimulateReplay(ctx, replay);
    const CommonOptions common = takeCommonOptions(args);
    std::string value;
    std::int64_t limitMs = -1;
    if (takeOption(args, "--seconds", value)) limitMs = parseSecondsOption(value, "--seconds");
    const bool haveCycles = std::find(args.begin(), args.end(), "--cycles") != args.end() ||
                            std::any_of(args.begin(), args.end(), [](const std::string& a) { return a.rfind("--cycles=", 0) == 0; });
    if (haveCycles && limitMs >= 0) throw UsageError("--seconds und --cycles schließen einander aus");
    const int cycles = takeCount(args, "--cycles", 1);
    const std::vector<TimedAction> actions = takeTimedActions(args);
    std::vector<std::string> watched;
    for (const auto& w : takeOptions(args, "--watch")) {
        std::size_t b = 0;
        for (;;) {
            const auto comma = w.find(',', b);
            const std::string name = w.substr(b, comma == std::string::npos ? std::string::npos : comma - b);
            if (!name.empty()) watched.push_back(name);
            if (comma == std::string::npos) break;
            b = comma + 1;
        }
    }
    const bool everyCycle = takeFlag(args, "--every-cycle");
    std::string plotFile;
    if (takeOption(args, "--plot", plotFile)) {
        plotFormatOf(plotFile);
        if (watched.empty()) throw UsageError("--plot braucht --watch");
    }
    rejectUnknownOptions(args, "simulate");
    if (args.size() != 1) throw UsageError("simulate erwartet genau eine Projektdatei");

    TLogic logic(ctx.libraryDir, ctx.messages);
    openProject(logic, args.front());
    VirtualClock clock(common.start);
    CliEffects effects(ctx.err, common.effects);
    TLogicSimulation runtime(logic, clock, effects.Ports());
    runtime.Simulate(false);
    if (!runtime.Simulating()) throw Error("Die Simulation kann nicht gestartet werden.");
    TSimulate& sim = runtime.Simulator();
    sim.SetObserved(watched);
    TTimingPlot plot(watched, common.start.toEpochMs());

    std::vector<std::string> last;
    for (const auto& w : watched) last.push_back(sim.GetVariable(w));
    const std::int64_t start = clock.monotonicMs();
    std::size_t nextAction = 0;
    std::int64_t done = 0;
    for (;;) {
        const std::int64_t elapsed = clock.monotonicMs() - start;
        if (limitMs >= 0 ? elapsed >= limitMs : done >= cycles) break;
        while (nextAction < actions.size() && actions[nextAction].atMs <= elapsed) applyTimedAction(actions[nextAction++], runtime);
        // The next stop: the end of the run or the next action.
        std::int64_t until = limitMs >= 0 ? start + limitMs : clock.monotonicMs() + (cycles - done) * kCyclePeriod;
        if (nextAction < actions.size()) until = std::min(until, start + actions[nextAction].atMs);
        const std::int64_t covered = runtime.Advance(until, !everyCycle);
        done += covered;
        const std::int64_t now = clock.monotonicMs() - start;
        for (std::size_t i = 0; i < watched.size(); ++i) {
            std::string v = sim.GetVariable(watched[i]);
            if (v != last[i]) {
                ctx.out << "t=" << secondsText(now) << " " << watched[i] << "=" << v << "\n";
                last[i] = std::move(v);
            }
        }
        if (!plotFile.empty()) plot.Sample(now, sim);
        if (sim.Stalled()) {
            ctx.err << "Hinweis: Die Simulation ist bei t=" << secondsText(now) << " stehen geblieben.\n";
            break;
        }
        if (covered == 0) break;
    }
    if (!plotFile.empty()) writePlot(plotFile, plot, ctx.err);
    if (watched.empty()) {
        printStoreAndLcd(sim, ctx.out);
    } else {
        for (const auto& w : watched) ctx.out << w << "=" << sim.GetVariable(w) << "\n";
    }
    runtime.Simulation_abbrechen();
    return 0;
}

} // namespace v7300::cli

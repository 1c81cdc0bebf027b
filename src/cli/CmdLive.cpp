// v7300 live PROJECT --device ADDRESS [--port P] [--seconds S] [--watch NAME[,NAME...]] [--record FILE]:
//   the editor's live view on the real clock.
// v7300 simulate PROJECT --replay FILE [--watch NAME[,NAME...]]:
//   a recorded live view replayed in the simulation.
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "cli/InterruptWatch.h"
#include "cli/TimedActions.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "device/LiveView.h"
#include "device/UnitV7300EEPROMData.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"
#include "simulation/LiveRecording.h"
#include "simulation/LiveReplay.h"
#include "simulation/SimulationRuntime.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <sstream>

namespace v7300::cli {
namespace {

std::vector<std::string> watchNames(std::vector<std::string>& args) {
    std::vector<std::string> names;
    for (const auto& list : takeOptions(args, "--watch")) {
        std::stringstream in(list);
        for (std::string name; std::getline(in, name, ',');)
            if (!name.empty()) names.push_back(name);
    }
    return names;
}

void openProject(TLogic& logic, const std::string& path) {
    logic.NewProject();
    if (!OpenProjectFile(logic, path)) throw Error("Das Projekt " + path + " kann nicht geöffnet werden.");
}

// "12.345": seconds with three decimals and a point, as `simulate --watch` prints them.
std::string secondsText(std::int64_t ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return buf;
}

// Follows store entries: `t=<s> NAME=WERT` on every change, `NAME=WERT` at the end.
class WatchPrinter {
public:
    WatchPrinter(std::vector<std::string> names, const TSimulate& store, std::ostream& out)
        : names_(std::move(names)), store_(store), out_(out) {
        for (const auto& n : names_) last_.push_back(store_.GetVariable(n));
    }
    bool empty() const { return names_.empty(); }
    void check(std::int64_t ms) {
        for (std::size_t i = 0; i < names_.size(); ++i) {
            std::string v = store_.GetVariable(names_[i]);
            if (v == last_[i]) continue;
            out_ << "t=" << secondsText(ms) << " " << names_[i] << "=" << v << "\n";
            out_.flush();
            last_[i] = std::move(v);
        }
    }
    void finish() {
        for (const auto& n : names_) out_ << n << "=" << store_.GetVariable(n) << "\n";
    }

private:
    std::vector<std::string> names_;
    std::vector<std::string> last_;
    const TSimulate& store_;
    std::ostream& out_;
};

// The live view's message ("Livemode verbindung verloren!") as a plain line on stderr.
class PlainMessagePort : public MessagePort {
public:
    explicit PlainMessagePort(std::ostream& err) : err_(err) {}
    MsgButton show(const Message& m) override {
        err_ << m.text << "\n";
        err_.flush();
        return m.defaultButton;
    }

private:
    std::ostream& err_;
};

struct LiveOptions : DeviceOptions {
    std::int64_t limitMs = -1; // until interrupted
    std::vector<std::string> watched;
    std::string record;
};

LiveOptions liveOptions(std::vector<std::string>& args) {
    LiveOptions o;
    static_cast<DeviceOptions&>(o) = deviceOptions(args, "live");
    std::string text;
    if (takeOption(args, "--seconds", text)) o.limitMs = parseSecondsOption(text, "--seconds");
    o.watched = watchNames(args);
    takeOption(args, "--record", o.record);
    for (const auto& a : args)
        if (a.rfind("--", 0) == 0) throw UsageError("live: unbekannte Option " + a);
    if (args.size() != 1) throw UsageError("live erwartet genau eine Projektdatei");
    o.project = args.front();
    return o;
}

class LiveRun {
public:
    static constexpr int kLinkPings = 10; // the link watch's ten device ticks
    static constexpr std::int64_t kStatusMs = 1000;

    LiveRun(Context& ctx, const LiveOptions& options, TLogic& logic)
        : ctx_(ctx), options_(options), logic_(logic), netio_(linkPorts(options.port)), runtime_(logic, clock_),
          sink_(runtime_.Simulator()), messages_(ctx.err),
          session_([this](const TV7300Telegram& t) { netio_.Link().Send(t); }, sink_, messages_) {
        netio_.SetAddress(options.device);
    }

    int run() {
        if (!linkAnswers()) {
            ctx_.err << "Keine Verbindung zu " << options_.device << "\n";
            return 1;
        }
        // As the editor starts it: the simulation without its worker, fed by the controller.
        runtime_.Simulate(false);
        runtime_.StopSimThread();
        if (!runtime_.Simulating()) throw Error("Die Simulation kann nicht gestartet werden.");
        const std::int32_t checksum = GetCrc(logic_);
        start_ = clock_.monotonicMs();
        if (!options_.record.empty())
            recorder_.emplace(options_.record, TLiveRecordingHeader{checksum, clock_.localNow(), options_.project},
                              start_);
        WatchPrinter watch(options_.watched, runtime_.Simulator(), ctx_.out);
        std::optional<TLiveStop> stopped;
        session_.OnStopped = [&stopped](TLiveStop reason) { stopped = reason; };
        session_.OnValue = [this](const TLiveValue& v) {
            if (recorder_) recorder_->Add({clock_.monotonicMs() - start_, v.Component, v.Variable, v.Value});
        };
        netio_.SetTelegramHandler([&](const TV7300Telegram& t) {
            session_.onTelegram(t);
            watch.check(clock_.monotonicMs() - start_);
        });
        session_.Start(componentNames(), checksum, start_);
        loop(watch.empty());
        session_.Stop();
        runtime_.Simulation_abbrechen();
        netio_.SetTelegramHandler({});
        if (recorder_) recorder_->Close();
        if (stopped == TLiveStop::ChecksumMismatch) {
            ctx_.err << session_.StatusEx() << "\n";
            return 1;
        }
        if (stopped) return 1; // the lost link: its message is on stderr
        watch.finish();
        return 0;
    }

private:
    bool linkAnswers() {
        int replies = 0;
        netio_.SetTelegramHandler([&replies](const TV7300Telegram& t) {
            if (t.Command == CmdPing) ++replies;
        });
        for (int i = 0; i < kLinkPings && replies == 0; ++i) {
            netio_.Ping();
            const std::int64_t until = clock_.monotonicMs() + TLiveView::kDeviceTimerMs;
            while (replies == 0 && clock_.monotonicMs() < until) waitForLink(netio_.Link(), clock_, until);
        }
        netio_.SetTelegramHandler({});
        return replies > 0;
    }

    std::vector<std::string> componentNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < logic_.Components.Count(); ++i) names.push_back(logic_.Components.Items(i).Name);
        return names;
    }

    // Runs the session until its end, the end of the given seconds, or Ctrl+C.
    void loop(bool showStatus) {
        InterruptWatch interrupt;
        const std::int64_t end = options_.limitMs < 0 ? -1 : start_ + options_.limitMs;
        std::int64_t nextStatus = start_ + kStatusMs;
        while (session_.Running()) {
            const std::int64_t now = clock_.monotonicMs();
            if (end >= 0 && now >= end) return;
            session_.onTick(now);
            if (recorder_) recorder_->Tick(now);
            if (showStatus && now >= nextStatus) {
                ctx_.err << session_.HardwareStatus() << "\n";
                ctx_.err.flush();
                nextStatus = std::max(nextStatus + kStatusMs, now + 1);
            }
            if (!session_.Running()) return;
            std::int64_t deadline = session_.NextDeadline();
            if (showStatus) deadline = std::min(deadline, nextStatus);
            if (end >= 0) deadline = std::min(deadline, end);
            if (waitForLink(netio_.Link(), clock_, deadline, interrupt.Descriptor())) return;
        }
    }

    Context& ctx_;
    const LiveOptions& options_;
    TLogic& logic_;
    SystemClock clock_;
    TV7300NETIO netio_;
    TLogicSimulation runtime_;
    TLiveStoreSink<TSimulate> sink_;
    PlainMessagePort messages_;
    TLiveView session_;
    std::optional<TLiveRecorder> recorder_;
    std::int64_t start_ = 0;
};

} // namespace

int cmdLive(Context& ctx) {
    const LiveOptions options = liveOptions(ctx.args);
    TLogic logic(ctx.libraryDir, ctx.messages);
    openProject(logic, options.project);
    LiveRun run(ctx, options, logic);
    return run.run();
}

int cmdSimulateReplay(Context& ctx, const std::string& file) {
    auto& args = ctx.args;
    const std::vector<std::string> watched = watchNames(args);
    for (const auto& a : args)
        if (a.rfind("--", 0) == 0) throw UsageError("simulate --replay: unbekannte Option " + a);
    if (args.size() != 1) throw UsageError("simulate erwartet genau eine Projektdatei");
    TLogic logic(ctx.libraryDir, ctx.messages);
    openProject(logic, args.front());
    TLiveRecording recording = ReadLiveRecording(file);
    const std::int32_t checksum = GetCrc(logic);
    if (recording.Header.Checksum != checksum)
        throw Error("Die Aufzeichnung gehört zu einem anderen Projekt (Prüfsumme " +
                    std::to_string(recording.Header.Checksum) + ", Projekt " + std::to_string(checksum) + ").");

    VirtualClock clock(recording.Header.Start);
    TLogicSimulation runtime(logic, clock);
    runtime.Simulate(false);
    if (!runtime.Simulating()) throw Error("Die Simulation kann nicht gestartet werden.");
    WatchPrinter watch(watched, runtime.Simulator(), ctx.out);
    TLiveReplay replay(logic, runtime, clock, std::move(recording));
    replay.OnDifference = [&ctx](const TReplayDifference& d) {
        ctx.out << "t=" << secondsText(d.Ms) << " " << d.Component << "." << d.Variable << ": Gerät " << d.Device
                << " Simulation " << d.Simulation << "\n";
    };
    while (replay.Step()) watch.check(replay.ElapsedMs());
    if (runtime.Simulator().Stalled())
        ctx.err << "Hinweis: Die Simulation ist bei t=" << secondsText(replay.ElapsedMs()) << " stehen geblieben.\n";
    watch.finish();
    ctx.out << replay.Differences() << " Abweichungen\n";
    runtime.Simulation_abbrechen();
    return replay.Differences() == 0 ? 0 : 1;
}

} // namespace v7300::cli

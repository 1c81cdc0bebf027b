// v7300 bus scan|set-id|read|write|pwm|pwm-settings ... --device ADDRESS [--port P]:
// the bus configuration window's session on the real clock, talking to the
// modules on the controller's V²BUS. `bus print` lives in CmdBusPrint.cpp.
#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"
#include "device/BusConfigSession.h"

#include <algorithm>
#include <arpa/inet.h>
#include <functional>
#include <optional>
#include <ostream>
#include <poll.h>
#include <sstream>

namespace v7300::cli {

int cmdBusPrint(Context& ctx);

namespace {

// A module that does not answer within a second is asked three times in it.
constexpr std::int64_t kAnswerMs = 1000;
constexpr int kTries = 3;

int numberArgument(const std::string& text, int low, int high, const std::string& what) {
    const auto v = parseInt32(text);
    if (!v || *v < low || *v > high)
        throw UsageError(what + " erwartet eine Zahl von " + std::to_string(low) + " bis " + std::to_string(high) +
                         ", nicht '" + text + "'");
    return *v;
}

std::uint8_t busIdArgument(const std::string& text) {
    return static_cast<std::uint8_t>(numberArgument(text, 0, kMaxBusId, "Die Bus-ID"));
}

// "1,8" -> 0x81; "-" -> 0.
std::uint8_t portsArgument(const std::string& text) {
    if (text == "-") return 0;
    std::array<bool, 8> on{};
    std::stringstream in(text);
    for (std::string port; std::getline(in, port, ',');)
        on[static_cast<std::size_t>(numberArgument(trimBlanks(port), 1, 8, "PORTS") - 1)] = true;
    return PortBits(on);
}

int frequencyArgument(const std::string& text, const std::string& option) {
    const std::string comma = replaceAll(text, ".", ",");
    for (std::size_t i = 0; i < kPwmFrequencies.size(); ++i)
        if (comma == kPwmFrequencies[i].Text) return static_cast<int>(i);
    throw UsageError(option + " erwartet 62kHz, 7,8kHz, 1,2kHz, 240Hz oder 60Hz, nicht '" + text + "'");
}

// Messages of the session, kept for the command to print where they belong.
class KeptMessages : public MessagePort {
public:
    MsgButton show(const Message& message) override {
        texts.push_back(message.text);
        return message.defaultButton;
    }
    std::vector<std::string> texts;
};

class BusRun {
public:
    BusRun(Context& ctx, const std::string& device, std::uint16_t port)
        : ctx_(ctx), netio_(linkPorts(port)),
          session_([this](const TV7300Telegram& t) { netio_.Link().Send(t); }, clock_, messages_) {
        netio_.SetAddress(device);
        netio_.SetTelegramHandler([this](const TV7300Telegram& t) { session_.onTelegram(t); });
        session_.OnBusReply = [this](const TBusReply& r) { replies_.push_back(r); };
    }

    int scan(std::int64_t intervalMs) {
        session_.SetSearchInterval(intervalMs);
        session_.ToggleSearch();
        while (session_.Searching()) {
            session_.onTick(clock_.monotonicMs());
            waitUntil(session_.NextDeadline());
        }
        // A late answer to the last ask still counts.
        waitUntil(clock_.monotonicMs() + std::min<std::int64_t>(intervalMs, kAnswerMs));
        session_.Close();
        for (const auto& text : messages_.texts) ctx_.err << text << "\n";
        std::vector<TRS485Device> found = session_.Devices();
        std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.BusId < b.BusId; });
        for (const auto& d : found) ctx_.out << d.ListLine() << "\n";
        return 0;
    }

    int setId(std::uint8_t oldId, std::uint8_t newId) {
        if (!ask(BusSetId, oldId, {newId})) return noAnswer(oldId);
        for (const auto& text : messages_.texts) ctx_.out << text << "\n";
        return 0;
    }

    int read(std::uint8_t id, bool force) {
        if (!ask(BusFind, id, {})) return noAnswer(id);
        const auto& devices = session_.Devices();
        const auto it = std::find_if(devices.begin(), devices.end(), [id](const auto& d) { return d.BusId == id; });
        session_.Select(static_cast<int>(it - devices.begin()));
        const TBusPanel panel = session_.View().Panel;
        if (panel == TBusPanel::None) {
            ctx_.err << "ID " << int{id} << ": " << session_.View().DeviceType << " liefert keine Daten\n";
            return 1;
        }
        // Output and PWM modules have no request that only reads: their data request writes
        // the ports or duty values it carries, so a read sends 0 and switches everything off.
        if ((panel == TBusPanel::Output || panel == TBusPanel::Pwm) && !force) {
            ctx_.err << "Fehler: ID " << int{id} << " ist ein " << session_.View().DeviceType
                     << ": Lesen sendet 0 und schaltet alle Ausgänge aus (mit --force trotzdem lesen)\n";
            return 1;
        }
        // Input and temperature modules were asked on selection; the others now.
        const bool asked = SelectionFor(*it).RequestData;
        if (!ask(BusData, id, {0}, asked)) return noAnswer(id);
        printData(panel);
        return 0;
    }

    int data(std::uint8_t id, std::vector<std::uint8_t> bytes) {
        return ask(BusData, id, std::move(bytes)) ? 0 : noAnswer(id);
    }

    int readPwmSettings(std::uint8_t id, TPwmSettingsReply& settings) {
        if (!ask(BusPwmSettings, id, PwmSettingsReadBytes())) return noAnswer(id);
        settings = DecodePwmSettings(lastReply_);
        return 0;
    }

    int writePwmSettings(std::uint8_t id, const TPwmSettings& settings) {
        return ask(BusPwmSettings, id, PwmSettingsBytes(settings)) ? 0 : noAnswer(id);
    }

private:
    static TLinkPorts linkPorts(std::uint16_t devicePort) {
        TLinkPorts p;
        p.DevicePort = devicePort;
        return p;
    }

    void waitUntil(std::int64_t deadline) {
        for (std::int64_t left = deadline - clock_.monotonicMs(); left > 0; left = deadline - clock_.monotonicMs()) {
            pollfd fds[2] = {{netio_.Link().Descriptor(), POLLIN, 0}, {netio_.Link().BroadcastDescriptor(), POLLIN, 0}};
            if (::poll(fds, 2, static_cast<int>(std::min<std::int64_t>(left, 1000))) > 0) netio_.Link().ReadPending();
        }
    }

    // Sends the request up to three times within a second until the module
    // answers it; `sentOnce` when the first request has gone out already.
    bool ask(std::uint8_t command, std::uint8_t id, const std::vector<std::uint8_t>& bytes, bool sentOnce = false) {
        replies_.clear();
        const std::int64_t start = clock_.monotonicMs();
        for (int attempt = 0; attempt < kTries; ++attempt) {
            if (attempt > 0 || !sentOnce) session_.Request(command, id, bytes);
            const std::int64_t until = start + kAnswerMs * (attempt + 1) / kTries;
            while (clock_.monotonicMs() < until) {
                waitUntil(std::min(until, clock_.monotonicMs() + 20));
                for (const auto& r : replies_) {
                    if (r.BusCommand == command && r.BusId == id) {
                        lastReply_ = r;
                        return true;
                    }
                }
            }
        }
        return false;
    }

    int noAnswer(std::uint8_t id) {
        ctx_.err << "Keine Antwort von ID " << int{id} << "\n";
        return 1;
    }

    void printData(TBusPanel panel) {
        const TBusConfigView& v = session_.View();
        switch (panel) {
        case TBusPanel::Input:
        case TBusPanel::Output: {
            ctx_.out << "Eingänge: ";
            for (std::size_t k = 0; k < 8; ++k)
                if (v.PortVisible[k]) ctx_.out << (v.PortOn[k] ? '1' : '0');
            ctx_.out << "\n";
            break;
        }
        case TBusPanel::Temperature:
            for (std::size_t k = 0; k < 4; ++k)
                if (v.TemperatureVisible[k]) ctx_.out << "Temperatur " << k + 1 << ": " << v.Temperature[k] << "\n";
            break;
        case TBusPanel::Pwm:
            ctx_.out << "PWM1: " << session_.Fields().Pwm[0] << "\nPWM2: " << session_.Fields().Pwm[1] << "\n";
            break;
        case TBusPanel::None: break;
        }
    }

    Context& ctx_;
    SystemClock clock_;
    KeptMessages messages_;
    TV7300NETIO netio_;
    TBusConfigSession session_;
    std::vector<TBusReply> replies_;
    TBusReply lastReply_;
};

struct LinkOptions {
    std::string device;
    std::uint16_t port = 4000;
};

LinkOptions linkOptions(std::vector<std::string>& args) {
    LinkOptions o;
    if (!takeOption(args, "--device", o.device)) throw UsageError("bus: --device ADDRESS fehlt");
    in_addr a{};
    if (::inet_pton(AF_INET, o.device.c_str(), &a) != 1)
        throw UsageError("--device erwartet eine Adresse A.B.C.D, nicht '" + o.device + "'");
    std::string text;
    if (takeOption(args, "--port", text)) o.port = static_cast<std::uint16_t>(numberArgument(text, 1, 65535, "--port"));
    return o;
}

// The positional arguments of a subcommand, exactly `count` of them.
void expectArguments(const std::vector<std::string>& args, std::size_t count, const std::string& usage) {
    for (const auto& a : args)
        if (a.size() > 1 && a.rfind("--", 0) == 0) throw UsageError("bus: unbekannte Option " + a);
    if (args.size() != count) throw UsageError("Aufruf: v7300 bus " + usage);
}

struct PwmOptions {
    std::array<std::optional<int>, 2> frequency;
    std::array<std::optional<bool>, 2> inverted;
    bool any() const { return frequency[0] || frequency[1] || inverted[0] || inverted[1]; }
    bool all() const { return frequency[0] && frequency[1] && inverted[0] && inverted[1]; }
};

PwmOptions pwmOptions(std::vector<std::string>& args) {
    PwmOptions o;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const std::string n = std::to_string(ch + 1);
        std::string text;
        if (takeOption(args, "--freq" + n, text)) o.frequency[ch] = frequencyArgument(text, "--freq" + n);
        if (takeOption(args, "--inv" + n, text)) o.inverted[ch] = numberArgument(text, 0, 1, "--inv" + n) == 1;
    }
    return o;
}

int pwmSettings(BusRun& run, std::uint8_t id, const PwmOptions& o, std::ostream& out) {
    TPwmSettingsReply current;
    if (!o.all()) {
        if (const int status = run.readPwmSettings(id, current); status != 0) return status;
    }
    if (!o.any()) {
        for (std::size_t ch = 0; ch < 2; ++ch) {
            const int index = PwmFrequencyIndex(static_cast<int>(ch), current.Code[ch]);
            out << "Frequenz " << ch + 1 << ": "
                << (index >= 0 ? std::string(kPwmFrequencies[static_cast<std::size_t>(index)].Text)
                               : "? (Code " + std::to_string(current.Code[ch]) + ")")
                << (current.Inverted[ch] ? " INV" : "") << "\n";
        }
        return 0;
    }
    // Options not given keep the module's present setting.
    TPwmSettings settings;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const int index = PwmFrequencyIndex(static_cast<int>(ch), current.Code[ch]);
        settings.FrequencyIndex[ch] = o.frequency[ch].value_or(std::max(index, 0));
        settings.Inverted[ch] = o.inverted[ch].value_or(current.Inverted[ch]);
    }
    return run.writePwmSettings(id, settings);
}

} // namespace

int cmdBus(Context& ctx) {
    auto& args = ctx.args;
    if (args.empty()) throw UsageError("bus: Unterbefehl fehlt (scan, set-id, read, write, pwm, pwm-settings, print)");
    const std::string sub = args.front();
    args.erase(args.begin());
    if (sub == "print") return cmdBusPrint(ctx);

    const LinkOptions link = linkOptions(args);
    if (sub == "scan") {
        std::string text;
        std::int64_t interval = TBusConfigSession::kTickMs;
        if (takeOption(args, "--interval", text)) interval = numberArgument(text, 20, 10000, "--interval");
        expectArguments(args, 0, "scan --device ADDRESS [--port P] [--interval MS]");
        return BusRun(ctx, link.device, link.port).scan(interval);
    }
    if (sub == "set-id") {
        expectArguments(args, 2, "set-id OLD NEW --device ADDRESS [--port P]");
        const std::uint8_t oldId = busIdArgument(args[0]), newId = busIdArgument(args[1]);
        return BusRun(ctx, link.device, link.port).setId(oldId, newId);
    }
    if (sub == "read") {
        const bool force = takeFlag(args, "--force");
        expectArguments(args, 1, "read ID --device ADDRESS [--port P] [--force]");
        return BusRun(ctx, link.device, link.port).read(busIdArgument(args[0]), force);
    }
    if (sub == "write") {
        expectArguments(args, 2, "write ID PORTS --device ADDRESS [--port P]");
        const std::uint8_t id = busIdArgument(args[0]);
        return BusRun(ctx, link.device, link.port).data(id, {portsArgument(args[1])});
    }
    if (sub == "pwm") {
        expectArguments(args, 3, "pwm ID D1 D2 --device ADDRESS [--port P]");
        const std::uint8_t id = busIdArgument(args[0]);
        const auto d1 = static_cast<std::uint8_t>(numberArgument(args[1], 0, 255, "D1"));
        const auto d2 = static_cast<std::uint8_t>(numberArgument(args[2], 0, 255, "D2"));
        return BusRun(ctx, link.device, link.port).data(id, {d1, d2});
    }
    if (sub == "pwm-settings") {
        const PwmOptions options = pwmOptions(args);
        expectArguments(args, 1, "pwm-settings ID [--freq1 F --inv1 0|1 --freq2 F --inv2 0|1] --device ADDRESS");
        BusRun run(ctx, link.device, link.port);
        return pwmSettings(run, busIdArgument(args[0]), options, ctx.out);
    }
    throw UsageError("bus: unbekannter Unterbefehl " + sub);
}

} // namespace v7300::cli

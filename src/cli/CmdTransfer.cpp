// v7300 upload PROJECT --device ADDRESS [...]: the transfer window's session on the real clock.
// v7300 verify PROJECT --device ADDRESS [--port P]: the controller's EEPROM read back and compared.
#include "cli/Commands.h"
#include "cli/DeviceLink.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"
#include "device/DeviceConfig.h"
#include "device/EepromReadback.h"
#include "device/ImageCompare.h"
#include "device/LogicCompiler.h"
#include "device/TransferSession.h"
#include "model/Logic.h"
#include "project/ProjectFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <arpa/inet.h>
#include <cerrno>
#include <functional>
#include <iostream>
#include <optional>
#include <poll.h>
#include <unistd.h>

namespace v7300::cli {
namespace {

struct CompiledProject {
    TV7300_EEPROM_Data image;
    std::int32_t checksum = 0;
    std::vector<TProjectObject> objects; // by device object number
};

// Opens and compiles the project; failures are printed as `compile` prints them.
std::optional<CompiledProject> compileProject(Context& ctx, const std::string& path) {
    TLogic logic(ctx.libraryDir, ctx.messages);
    logic.NewProject();
    if (!OpenProjectFile(logic, path)) return std::nullopt;
    if (logic.Components.CountWithoutTXT() >= kMaxDeviceObjects) {
        ctx.messages.showError("Zu viele Logikbausteine. Die Logik kann nicht übertragen werden!");
        return std::nullopt;
    }
    CompiledProject project;
    try {
        CreateNETIOData(logic, project.image);
    } catch (const Error& e) {
        ctx.err << replaceAll(e.what(), "\r\n", "\n") << "\n";
        return std::nullopt;
    }
    project.checksum = GetCrc(logic);
    for (int i = 0; i < logic.Components.Count(); ++i) {
        const TLogicComponent& c = logic.Components.Items(i);
        if (c.TypeName != "TXT") project.objects.push_back({c.Name, c.TypeName});
    }
    return project;
}

// --- options

std::string projectArgument(std::vector<std::string>& args, const char* command) {
    rejectUnknownOptions(args, command);
    if (args.size() != 1) throw UsageError(std::string(command) + " erwartet genau eine Projektdatei");
    return args.front();
}

std::optional<std::string> addressOption(std::vector<std::string>& args, const std::string& name) {
    std::string text;
    if (!takeOption(args, name, text)) return std::nullopt;
    if (!isIpv4(text)) throw UsageError(name + " erwartet eine Adresse A.B.C.D, nicht '" + text + "'");
    return text;
}

std::optional<std::int32_t> numberOption(std::vector<std::string>& args, const std::string& name, std::int32_t low,
                                         std::int32_t high) {
    std::string text;
    if (!takeOption(args, name, text)) return std::nullopt;
    const auto v = parseInt32(text);
    if (!v || *v < low || *v > high)
        throw UsageError(name + " erwartet eine Zahl von " + std::to_string(low) + " bis " + std::to_string(high));
    return *v;
}

std::optional<std::array<std::string, 6>> macOption(std::vector<std::string>& args) {
    std::string text;
    if (!takeOption(args, "--mac", text)) return std::nullopt;
    std::array<std::string, 6> mac;
    const auto bad = [&] { return UsageError("--mac erwartet XX:XX:XX:XX:XX:XX, nicht '" + text + "'"); };
    if (text.size() != 17) throw bad();
    for (std::size_t i = 0; i < 6; ++i) {
        mac[i] = upperAscii(text.substr(3 * i, 2));
        if (i < 5 && text[3 * i + 2] != ':') throw bad();
        for (char c : mac[i])
            if (!std::isxdigit(static_cast<unsigned char>(c))) throw bad();
    }
    return mac;
}

struct UploadOptions : DeviceOptions {
    std::optional<std::string> ip, mask, gateway, dns, password;
    std::optional<std::array<std::string, 6>> mac;
    std::optional<std::int32_t> webPort, telnetPort;
    int timeZone = -1;
    bool setClock = false;
    std::int64_t timeoutMs = 10000;
};

UploadOptions uploadOptions(std::vector<std::string>& args) {
    UploadOptions o;
    static_cast<DeviceOptions&>(o) = deviceOptions(args, "upload");
    o.ip = addressOption(args, "--ip");
    o.mask = addressOption(args, "--mask");
    o.gateway = addressOption(args, "--gateway");
    o.dns = addressOption(args, "--dns");
    o.mac = macOption(args);
    o.webPort = numberOption(args, "--web-port", 1, 65535);
    o.telnetPort = numberOption(args, "--telnet-port", 1, 65535);
    std::string text;
    if (takeOption(args, "--tz", text)) {
        o.timeZone = TimeZoneIndex(text);
        if (o.timeZone < 0) throw UsageError("--tz erwartet ±HH von -12 bis +12, nicht '" + text + "'");
    }
    if (takeOption(args, "--password", text)) {
        // The controller shows at most 8 printable characters without blanks.
        const bool printable = std::all_of(text.begin(), text.end(), [](char c) { return c >= 33 && c <= 126; });
        if (text.size() > 8 || !printable)
            throw UsageError("--password erwartet höchstens 8 Zeichen ohne Leerzeichen und Umlaute");
        o.password = text;
    }
    o.setClock = takeFlag(args, "--set-clock");
    o.timeoutMs = 1000LL * numberOption(args, "--timeout", 1, 3600).value_or(10);
    o.project = projectArgument(args, "upload");
    return o;
}

void applyOverrides(const UploadOptions& o, TDeviceSettings& s) {
    if (o.ip) s.NewIp = *o.ip;
    if (o.mask) s.Mask = *o.mask;
    if (o.gateway) s.Gateway = *o.gateway;
    if (o.dns) s.Dns = *o.dns;
    if (o.mac) s.Mac = *o.mac;
    if (o.webPort) s.WebPort = std::to_string(*o.webPort);
    if (o.telnetPort) s.TelnetPort = std::to_string(*o.telnetPort);
    if (o.timeZone >= 0) s.TimeZone = o.timeZone;
    if (o.password) s.Password = *o.password;
}

// The transfer progress on stderr, redrawn in place; only on a terminal.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
    void show(int position, int max) {
        if (!terminal_ || max <= 0 || position == shown_) return;
        shown_ = position;
        const int filled = static_cast<int>(40LL * position / max);
        err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(40 - filled), '.') << "] " << position << "/" << max << " Bytes";
        err_.flush();
    }
    void clear() {
        if (!terminal_ || shown_ < 0) return;
        err_ << "\r" << std::string(64, ' ') << "\r";
        err_.flush();
        shown_ = -1;
    }

private:
    std::ostream& err_;
    bool terminal_;
    int shown_ = -1;
};

class UploadRun {
public:
    UploadRun(Context& ctx, const UploadOptions& options, CompiledProject project)
        : ctx_(ctx), options_(options), netio_(linkPorts(options.port)),
          progress_(ctx.err, &ctx.err == &std::cerr && ::isatty(STDERR_FILENO)),
          session_(std::move(project.image), project.checksum, options.device, sendFunction(), clock_, ctx.messages) {
        session_.OnLog = [this](const std::string& line) {
            progress_.clear();
            ctx_.out << line << "\n";
            ctx_.out.flush();
        };
        netio_.SetTelegramHandler([this](const TV7300Telegram& t) {
            if (t.Command == CmdClock) lastClockReply_ = clock_.monotonicMs();
            session_.onTelegram(t);
            if (session_.Phase() == TTransferPhase::Transferring)
                progress_.show(session_.View().ProgressPosition, session_.View().ProgressMax);
        });
        netio_.SetErrorHandler([this](std::uint8_t code) { session_.onLinkError(code); });
    }

    int run() {
        if (!until([this] { return session_.ConfigurationRead(); }, options_.timeoutMs))
            return fail(session_.DeviceSeen() ? "Keine Antwort" : kStatusNoConnection);
        // The firmware is asked for with every ping; a controller that never
        // reports it is not held up (the window does not wait for it either).
        until([this] { return session_.Firmware().has_value(); }, 3 * TTransferSession::kPingIntervalMs);
        if (session_.Firmware() && session_.Firmware()->Text() != kCurrentFirmware)
            return fail(session_.View().FirmwareLine);
        if (!session_.View().TransferEnabled) return fail(kStatusNoConnection);
        applyOverrides(options_, session_.Settings());
        if (options_.setClock && session_.Settings().TimeZone < 0)
            return fail("Keine Zeitzone: der V7300-NET-IO hat keine, bitte --tz angeben");
        if (!session_.StartTransfer()) return 1; // the message is on stderr
        until([this] { return session_.Phase() == TTransferPhase::Done || session_.Phase() == TTransferPhase::Aborted; },
              -1);
        progress_.clear();
        if (session_.Phase() == TTransferPhase::Aborted) return fail(kNoAcknowledgement);
        return options_.setClock ? setClock() : 0;
    }

private:
    TTransferSession::SendFn sendFunction() {
        return [this](const std::string& address, const TV7300Telegram& t) {
            netio_.SetAddress(address);
            netio_.Link().Send(t);
        };
    }
    int fail(const std::string& message) {
        ctx_.err << message << "\n";
        return 1;
    }
    // Runs the session until `done` or for at most `ms` (-1: no limit).
    bool until(const std::function<bool()>& done, std::int64_t ms) {
        const std::int64_t end = ms < 0 ? -1 : clock_.monotonicMs() + ms;
        while (!done()) {
            const std::int64_t now = clock_.monotonicMs();
            if (end >= 0 && now >= end) return false;
            session_.onTick(now);
            if (done()) break;
            waitForLink(netio_.Link(), clock_, end < 0 ? session_.NextDeadline() : std::min(end, session_.NextDeadline()));
        }
        return true;
    }
    // After the restart: the device is seen again, its clock is set, and its
    // clock line is shown once a reply came that cannot be older than the setting.
    int setClock() {
        // A controller given a new address answers there after the restart.
        if (options_.ip) session_.Address() = *options_.ip;
        if (!until([this] { return session_.ConfigurationRead() && session_.View().ClockEnabled; }, options_.timeoutMs))
            return fail(kStatusNoConnection);
        session_.SetDeviceClock();
        const std::int64_t settled = clock_.monotonicMs() + 600;
        if (!until([&] { return lastClockReply_ >= settled; }, 3000)) return fail("Keine Antwort");
        ctx_.out << session_.View().ClockLine << "\n";
        return 0;
    }

    Context& ctx_;
    const UploadOptions& options_;
    SystemClock clock_;
    TV7300NETIO netio_;
    ProgressLine progress_;
    TTransferSession session_;
    std::int64_t lastClockReply_ = -1;
};

} // namespace

int cmdUpload(Context& ctx) {
    const UploadOptions options = uploadOptions(ctx.args);
    auto project = compileProject(ctx, options.project);
    if (!project) return 1;
    UploadRun run(ctx, options, std::move(*project));
    return run.run();
}

int cmdVerify(Context& ctx) {
    DeviceOptions options = deviceOptions(ctx.args, "verify");
    options.project = projectArgument(ctx.args, "verify");
    const auto project = compileProject(ctx, options.project);
    if (!project) return 1;

    TV7300NETIO netio(linkPorts(options.port));
    netio.SetAddress(options.device);
    SystemClock clock;
    TEepromReadback reader([&netio](const TV7300Telegram& t) { netio.Link().Send(t); }, HoldsCompleteImage,
                           static_cast<std::size_t>(project->image.GetSize()));
    netio.SetTelegramHandler([&](const TV7300Telegram& t) { reader.onTelegram(t, clock.monotonicMs()); });
    reader.Start(clock.monotonicMs());
    while (reader.State() == TEepromReadback::TState::Reading) {
        waitForLink(netio.Link(), clock, reader.NextDeadline());
        reader.onTick(clock.monotonicMs());
    }
    if (reader.State() == TEepromReadback::TState::Failed) {
        ctx.err << "Keine Antwort\n";
        return 1;
    }
    const TImageComparison result = CompareDeviceImage(project->objects, project->image, project->checksum, reader.Bytes());
    for (const auto& line : result.Differences) ctx.out << line << "\n";
    if (!result.Configuration.empty()) ctx.out << "Konfiguration: " << result.Configuration << "\n";
    if (result.Differences.empty())
        ctx.out << "gleich\n";
    else
        ctx.out << result.Differences.size() << " Unterschiede\n";
    return result.Differences.empty() ? 0 : 1;
}

} // namespace v7300::cli

// v7300 ping ADDRESS [--count N] [--port P]
// v7300 emulate [options]: a virtual controller on UDP until SIGINT or SIGTERM.
#include "cli/Commands.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "device/UnitV7300NETIO.h"
#include "device/VirtualController.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <unistd.h>

namespace v7300::cli {
namespace {

int intOption(std::vector<std::string>& args, const std::string& name, int fallback, int low, int high) {
    std::string text;
    if (!takeOption(args, name, text)) return fallback;
    const auto v = parseInt32(text);
    if (!v || *v < low || *v > high)
        throw UsageError(name + " erwartet eine Zahl von " + std::to_string(low) + " bis " + std::to_string(high));
    return *v;
}

// Waits up to ms for the link's sockets and lets it read.
void pumpLink(THardwareV7300NETIO& link, SystemClock& clock, std::int64_t ms) {
    const std::int64_t end = clock.monotonicMs() + ms;
    for (std::int64_t left = ms; left > 0; left = end - clock.monotonicMs()) {
        pollfd fds[2] = {{link.Descriptor(), POLLIN, 0}, {link.BroadcastDescriptor(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left));
        if (ready > 0) link.ReadPending();
        if (ready < 0 && errno != EINTR) break;
    }
}

// The self-pipe that turns SIGINT and SIGTERM into a readable descriptor.
int gStopPipe[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const char byte = 1;
    if (gStopPipe[1] >= 0) (void)!::write(gStopPipe[1], &byte, 1);
}

// The address in its usual dotted form; bad usage when it is no IPv4 address.
std::string canonicalIpv4(const std::string& text) {
    in_addr parsed{};
    char canonical[INET_ADDRSTRLEN];
    if (::inet_pton(AF_INET, text.c_str(), &parsed) != 1 ||
        ::inet_ntop(AF_INET, &parsed, canonical, sizeof canonical) == nullptr)
        throw UsageError("Die Adresse '" + text + "' ist keine IPv4-Adresse.");
    return canonical;
}

// Installs the stop handlers for SIGINT and SIGTERM with the self-pipe; the
// previous handlers come back and the pipe is closed however the loop ends.
class StopSignals {
public:
    StopSignals() {
        if (::pipe2(gStopPipe, O_CLOEXEC | O_NONBLOCK) != 0) throw Error("pipe() fehlgeschlagen");
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        if (::sigaction(SIGINT, &action, &oldInt_) != 0) {
            ClosePipe();
            throw Error("sigaction() fehlgeschlagen");
        }
        if (::sigaction(SIGTERM, &action, &oldTerm_) != 0) {
            (void)::sigaction(SIGINT, &oldInt_, nullptr);
            ClosePipe();
            throw Error("sigaction() fehlgeschlagen");
        }
    }
    ~StopSignals() {
        // Putting back what was installed before cannot fail.
        (void)::sigaction(SIGINT, &oldInt_, nullptr);
        (void)::sigaction(SIGTERM, &oldTerm_, nullptr);
        ClosePipe();
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    int Descriptor() const { return gStopPipe[0]; }

private:
    static void ClosePipe() {
        ::close(gStopPipe[0]);
        ::close(gStopPipe[1]);
        gStopPipe[0] = gStopPipe[1] = -1;
    }
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

TFirmwareVersion parseFirmware(const std::string& text) {
    TFirmwareVersion v;
    unsigned a = 0, b = 0, c = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u%c", &a, &b, &c, &tail) != 3 || a > 255 || b > 255 || c > 255)
        throw UsageError("--firmware erwartet X.Y.Z, z. B. 02.02.02");
    v.Major = static_cast<std::uint8_t>(a);
    v.Minor = static_cast<std::uint8_t>(b);
    v.Build = static_cast<std::uint8_t>(c);
    return v;
}

} // namespace

int cmdPing(Context& ctx) {
    const int count = intOption(ctx.args, "--count", 4, 1, 100000);
    const int port = intOption(ctx.args, "--port", 4000, 1, 65535);
    rejectUnknownOptions(ctx.args, "ping");
    if (ctx.args.size() != 1) throw UsageError("ping erwartet genau eine Adresse");
    const std::string address = canonicalIpv4(ctx.args.front());
    TLinkPorts ports;
    ports.DevicePort = static_cast<std::uint16_t>(port);
    TV7300NETIO netio(ports);
    netio.SetAddress(address);
    // Only replies of the pinged controller count; after a broadcast any controller may answer.
    const bool anySender = address == "255.255.255.255";
    int received = 0;
    netio.SetTelegramHandler([&](const TV7300Telegram& t) {
        if (t.Command != CmdPing || (!anySender && t.PeerAddress != address)) return;
        ++received;
        const auto clients = DecodePingClients(t);
        ctx.out << "reply from " << t.PeerAddress << ": clients "
                << (clients ? std::to_string(*clients) : std::string("ALTE FIRMWARE")) << "\n";
        ctx.out.flush();
    });
    SystemClock clock;
    for (int i = 0; i < count; ++i) {
        netio.Ping();
        // 100 ms between pings; after the last one a little longer for late replies.
        pumpLink(netio.Link(), clock, i + 1 < count ? 100 : 500);
    }
    ctx.out << received << "/" << count << "\n";
    return received > 0 ? 0 : 1;
}

int cmdEmulate(Context& ctx) {
    TVirtualControllerOptions options;
    std::string text;
    if (takeOption(ctx.args, "--address", text)) options.Address = text;
    options.Port = static_cast<std::uint16_t>(intOption(ctx.args, "--port", 4000, 1, 65535));
    takeOption(ctx.args, "--eeprom", options.EepromFile);
    const bool verbose = takeFlag(ctx.args, "--verbose");
    options.TcpClients = static_cast<std::uint8_t>(intOption(ctx.args, "--clients", 0, 0, 255));
    options.ExpansionStage = static_cast<std::uint8_t>(intOption(ctx.args, "--stage", 7, 0, 255));
    options.CycleMs = intOption(ctx.args, "--cycle", 10, 1, 10000);
    if (takeOption(ctx.args, "--firmware", text)) options.Firmware = parseFirmware(text);
    options.DropAck = static_cast<std::uint32_t>(intOption(ctx.args, "--drop-ack", 0, 0, 1000000));
    try {
        for (const auto& spec : takeOptions(ctx.args, "--bus")) options.Bus.push_back(ParseBusModule(spec));
    } catch (const Error& e) {
        throw UsageError(e.what());
    }
    const auto inputs = takeOptions(ctx.args, "--input");
    rejectUnknownOptions(ctx.args, "emulate");
    if (!ctx.args.empty()) throw UsageError("emulate: unbekanntes Argument " + ctx.args.front());

    SystemClock clock;
    auto log = [&ctx, verbose](const std::string& line) {
        if (!verbose) return;
        ctx.out << line << "\n";
        ctx.out.flush();
    };
    TVirtualController controller(options, clock, log);
    for (const auto& input : inputs) {
        const auto eq = input.find('=');
        if (eq == std::string::npos) throw UsageError("--input erwartet N=WERT");
        try {
            controller.Command("input " + input.substr(0, eq) + " " + input.substr(eq + 1));
        } catch (const Error& e) {
            throw UsageError(std::string("--input: ") + e.what());
        }
    }
    ctx.out << "V7300-NET-IO-Emulator auf " << options.Address << ":" << controller.Port() << ", Firmware "
            << options.Firmware.Text() << (controller.LogicRunning() ? ", Logik läuft" : "")
            << ". Eingaben: input N WERT, bus ID BITS, show. Ende mit Strg+C.\n";
    ctx.out.flush();

    const StopSignals stopSignals;

    bool stdinOpen = true;
    std::string pending;
    bool stop = false;
    while (!stop) {
        pollfd fds[3] = {{stopSignals.Descriptor(), POLLIN, 0}, {controller.Descriptor(), POLLIN, 0},
                         {stdinOpen ? STDIN_FILENO : -1, POLLIN, 0}};
        const int ready = ::poll(fds, 3, static_cast<int>(controller.MsUntilNextCycle()));
        if (ready < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) stop = true;
        if (fds[1].revents & POLLIN) controller.ReadPending();
        if (stdinOpen && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[512];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n <= 0) {
                stdinOpen = false; // end of input: keep running until a signal
            } else {
                pending.append(buf, static_cast<std::size_t>(n));
                for (auto nl = pending.find('\n'); nl != std::string::npos; nl = pending.find('\n')) {
                    std::string line = trimBlanks(pending.substr(0, nl));
                    pending.erase(0, nl + 1);
                    if (line == "ende") {
                        stop = true;
                        break;
                    }
                    try {
                        const std::string answer = controller.Command(line);
                        if (!answer.empty()) ctx.out << answer << "\n";
                    } catch (const Error& e) {
                        ctx.err << "Fehler: " << e.what() << "\n";
                    }
                    ctx.out.flush();
                }
            }
        }
        controller.Tick();
    }
    ctx.out << "Emulator beendet.\n";
    return 0;
}

} // namespace v7300::cli

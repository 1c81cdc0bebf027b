// v7300 ports: the serial ports that can be opened now.
// v7300 flash --list | flash ENTRY --port DEVICE [--dry-run]: firmware with avrdude,
// as the window "Atmel Beschreiben" does it.
#include "cli/Commands.h"
#include "cli/InterruptWatch.h"
#include "core/Clock.h"
#include "core/NumberFormat.h"
#include "device/CPDrv.h"
#include "device/FirmwareFlash.h"
#include "device/FirmwareList.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <ostream>
#include <poll.h>
#include <unistd.h>

namespace v7300::cli {
namespace {

// Plain messages of the flashing run ("Falshvorgang beendet!") belong to its output.
class StdoutMessagePort : public MessagePort {
public:
    explicit StdoutMessagePort(std::ostream& out) : out_(out) {}
    MsgButton show(const Message& m) override {
        out_ << (m.caption.empty() ? "" : m.caption + ": ") << m.text << "\n";
        out_.flush();
        return m.defaultButton;
    }

private:
    std::ostream& out_;
};

int entryIndex(const std::string& text) {
    if (const auto n = parseInt32(text); n && *n >= 1 && *n <= static_cast<int>(kFirmwareEntries.size()))
        return *n - 1;
    const int byCaption = FindFirmwareEntry(text);
    if (byCaption < 0)
        throw UsageError("Unbekannte Firmware " + text + " (Nummer 1 bis 12 oder Name, siehe flash --list)");
    return byCaption;
}

// Runs the machine until avrdude has ended; 130 when interrupted.
int runFlash(TFirmwareFlash& flash) {
    // avrdude runs in a group of its own, so Ctrl+C reaches only this program, which then ends the run.
    InterruptWatch interrupt;
    SystemClock clock;
    flash.Transfer();
    while (flash.Running()) {
        pollfd fds[2] = {{flash.Descriptor(), POLLIN, 0}, {interrupt.Descriptor(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR) break;
        if (fds[1].revents & POLLIN) {
            flash.Close();
            return 130;
        }
        if (fds[0].revents != 0) flash.OnReadable();
        flash.OnTick(clock.monotonicMs());
    }
    return flash.ExitStatus().value_or(TFirmwareFlash::kNotStarted);
}

} // namespace

int cmdPorts(Context& ctx) {
    rejectUnknownOptions(ctx.args, "ports");
    if (!ctx.args.empty()) throw UsageError("ports erwartet keine Argumente");
    for (const auto& port : AvailableSerialPorts(SerialDeviceFolder())) ctx.out << port << "\n";
    return 0;
}

int cmdFlash(Context& ctx) {
    if (takeFlag(ctx.args, "--list")) {
        rejectUnknownOptions(ctx.args, "flash");
        if (!ctx.args.empty()) throw UsageError("flash --list erwartet keine weiteren Argumente");
        for (std::size_t i = 0; i < kFirmwareEntries.size(); ++i)
            ctx.out << i + 1 << " " << FirmwareCaption(kFirmwareEntries[i]) << "\n";
        return 0;
    }
    std::string port;
    if (!takeOption(ctx.args, "--port", port)) throw UsageError("flash braucht --port DEVICE");
    const bool dryRun = takeFlag(ctx.args, "--dry-run");
    rejectUnknownOptions(ctx.args, "flash");
    if (ctx.args.size() != 1) throw UsageError("flash erwartet genau eine Firmware (Nummer oder Name)");
    const int entry = entryIndex(ctx.args.front());
    ctx.out << FirmwareCommandLine(kFirmwareEntries[static_cast<std::size_t>(entry)], port) << "\n";
    ctx.out.flush();
    if (dryRun) return 0;

    StdoutMessagePort messages(ctx.out);
    const char* path = std::getenv("PATH");
    TFirmwareFlash flash({executableDir() + "/tools/isp", path ? path : "", &messages, nullptr});
    flash.OnOutput = [&ctx](const std::string& bytes) {
        ctx.out << bytes;
        ctx.out.flush();
    };
    flash.OnNote = [&ctx](const std::string& line) { ctx.err << line << "\n"; };
    flash.SetPorts({port});
    flash.SelectPort(0);
    flash.SelectEntry(entry);
    return runFlash(flash);
}

} // namespace v7300::cli

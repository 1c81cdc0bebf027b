#include "cli/Cli.h"

#include "cli/Commands.h"
#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <unistd.h>

namespace v7300::cli {
namespace {

// One line per subcommand; later capabilities add theirs here.
const std::array kCommands = {
    Command{"library", "library list | library check [DIR] | library sign FILE.obj...", cmdLibrary},
    Command{"dump", "dump PROJECT.v7k", cmdDump},
    Command{"pack", "pack XMLFILE -o PROJECT.v7k", cmdPack},
    Command{"convert", "convert INPUT -o OUTPUT.v7k", cmdConvert},
    Command{"info", "info PROJECT", cmdInfo},
    Command{"script", "script PROJECT", cmdScript},
    Command{"set", "set PROJECT NAME.VARIABLE=WERT [NAME.VARIABLE=WERT...] [-o FILE]", cmdSet},
    Command{"pages", "pages PROJECT", cmdPages},
    Command{"run-script", "run-script FILE [--cycles N] [--set NAME=WERT]... [--time YYYY-MM-DDTHH:MM:SS] [--decimal-separator C] [--effects]", cmdRunScript},
    Command{"simulate", "simulate PROJECT [--seconds S | --cycles N] [--time ...] [--decimal-separator C] [--at T:AKTION]... [--watch NAME[,NAME...]] [--plot DATEI.png|.csv] [--every-cycle] [--effects]", cmdSimulate},
    Command{"test", "test DATEI... [--junit DATEI] [--every-cycle]", cmdTest},
    Command{"ping", "ping ADDRESS [--count N] [--port P]", cmdPing},
    Command{"emulate", "emulate [--address A] [--port P] [--eeprom FILE] [--verbose] [--input N=WERT]... [--bus ID:BUCHSTABE:MAJOR.MINOR:KANÄLE]... [--clients N] [--firmware X.Y.Z] [--stage N] [--cycle MS] [--drop-ack N]", cmdEmulate},
    Command{"compile", "compile PROJECT [-o DATEI]", cmdCompile},
    Command{"checksum", "checksum PROJECT", cmdChecksum},
    Command{"upload", "upload PROJECT --device ADDRESS [--port P] [--ip A.B.C.D] [--mask A.B.C.D] [--gateway A.B.C.D] [--dns A.B.C.D] [--mac XX:XX:XX:XX:XX:XX] [--web-port N] [--telnet-port N] [--tz ±HH] [--password TEXT] [--set-clock] [--timeout S]", cmdUpload},
    Command{"verify", "verify PROJECT --device ADDRESS [--port P]", cmdVerify},
    Command{"live", "live PROJECT --device ADDRESS [--port P] [--seconds S] [--watch NAME[,NAME...]] [--record DATEI];  simulate PROJECT --replay DATEI [--watch NAME[,NAME...]]", cmdLive},
    Command{"bus", "bus scan [--interval MS] | set-id OLD NEW | read ID | write ID PORTS | pwm ID D1 D2 | pwm-settings ID [--freq1 F --inv1 0|1 --freq2 F --inv2 0|1]  --device ADDRESS [--port P];  bus print PROJECT -o DATEI.pdf", cmdBus},
    Command{"render", "render PROJECT -o DATEI.png|.jpg|.bmp [--simulate-seconds S] [--at T:AKTION]...", cmdRender},
    Command{"ports", "ports", cmdPorts},
    Command{"flash", "flash --list | flash ENTRY --port DEVICE [--dry-run]", cmdFlash},
};

void printHelp(std::ostream& out) {
    out << "Aufruf: v7300 [--library DIR] <Befehl> [Argumente]\n\nBefehle:\n";
    for (const auto& c : kCommands) out << "  " << c.synopsis << "\n";
    out << "\nExit-Status: 0 Erfolg, 1 Fehler, 2 falscher Aufruf.\n";
}

} // namespace

MsgButton StderrMessagePort::show(const Message& message) {
    ++count_;
    const std::string text = replaceAll(message.text, "\r\n", "\n");
    if (message.caption.empty())
        err_ << text << "\n";
    else
        err_ << message.caption << ": " << text << "\n";
    err_.flush();
    return message.defaultButton;
}

std::string executableDir() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<std::size_t>(n));
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool takeOption(std::vector<std::string>& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size()) throw UsageError("Option " + name + " braucht einen Wert");
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
        if (args[i].rfind(name + "=", 0) == 0) {
            value = args[i].substr(name.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

std::vector<std::string> takeOptions(std::vector<std::string>& args, const std::string& name) {
    std::vector<std::string> values;
    std::string v;
    while (takeOption(args, name, v)) values.push_back(v);
    return values;
}

bool isHelpFlag(const std::string& arg) { return arg == "--help" || arg == "-h"; }

void rejectUnknownOptions(const std::vector<std::string>& args, const std::string& command) {
    for (const auto& a : args)
        if (a.size() > 1 && a[0] == '-') throw UsageError(command + ": unbekannte Option " + a);
}

bool takeFlag(std::vector<std::string>& args, const std::string& name) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

int run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args(argv.begin() + (argv.empty() ? 0 : 1), argv.end());
    StderrMessagePort messages(err);
    try {
        std::string libraryDir = executableDir() + "/objekts";
        // Global options stand before the subcommand.
        while (!args.empty() && args.front().size() > 1 && args.front()[0] == '-') {
            if (isHelpFlag(args.front())) {
                printHelp(out);
                return 0;
            }
            if (args.front() == "--library") {
                if (args.size() < 2) throw UsageError("Option --library braucht einen Wert");
                libraryDir = args[1];
                args.erase(args.begin(), args.begin() + 2);
            } else if (args.front().rfind("--library=", 0) == 0) {
                libraryDir = args.front().substr(10);
                args.erase(args.begin());
            } else {
                throw UsageError("Unbekannte Option " + args.front());
            }
        }
        if (args.empty()) throw UsageError("Kein Befehl angegeben");
        const std::string name = args.front();
        args.erase(args.begin());
        // A --library after the subcommand is accepted as well.
        std::string lib;
        if (takeOption(args, "--library", lib)) libraryDir = lib;
        for (const auto& c : kCommands) {
            if (name == c.name) {
                if (std::any_of(args.begin(), args.end(), isHelpFlag)) {
                    out << "Aufruf: v7300 " << c.synopsis << "\n";
                    return 0;
                }
                Context ctx{args, libraryDir, out, err, messages};
                return c.run(ctx);
            }
        }
        throw UsageError("Unbekannter Befehl " + name);
    } catch (const UsageError& e) {
        err << "v7300: " << e.what() << "\n" << "Hilfe: v7300 --help\n";
        return 2;
    } catch (const std::exception& e) {
        err << "Fehler: " << userMessage(e) << "\n";
        return 1;
    }
}

} // namespace v7300::cli

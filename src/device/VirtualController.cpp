#include "device/VirtualController.h"

#include "core/Error.h"
#include "core/FileIO.h"
#include "core/NumberFormat.h"
#include "device/RS485Device.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace v7300 {
namespace {

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        s += buf;
    }
    return s;
}

std::string describe(const TV7300Telegram& t) {
    std::string s = CommandName(t.Command) + " (" + std::to_string(t.Command) + ") kind " + std::to_string(t.Kind);
    if (!t.Payload.empty()) s += " [" + hexBytes(t.Payload) + "]";
    return s;
}

bool fileExists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

std::uint8_t byteOf(const std::string& text, int low, int high, const char* what) {
    const auto v = parseInt32(trimBlanks(text));
    if (!v || *v < low || *v > high)
        throw Error(std::string("Ungültige Angabe für ") + what + ": '" + text + "'");
    return static_cast<std::uint8_t>(*v);
}

// A decimal number or a hexadecimal one with "0x" (port bits, raw words).
std::optional<std::int32_t> parseNumberWord(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::int32_t v = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data() + 2, end, v, 16);
        if (ec != std::errc() || ptr != end) return std::nullopt;
        return v;
    }
    return parseInt32(text);
}

} // namespace

TEmulatedBusModule ParseBusModule(const std::string& text) {
    // ID:LETTER:MAJOR.MINOR:CHANNELS
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    const std::string usage = "Bus-Modul '" + text + "': erwartet ID:BUCHSTABE:MAJOR.MINOR:KANÄLE (z. B. 5:O:0.2:4)";
    if (parts.size() != 4 || parts[1].size() != 1) throw Error(usage);
    const auto dot = parts[2].find('.');
    if (dot == std::string::npos) throw Error(usage);
    TEmulatedBusModule m;
    m.Id = byteOf(parts[0], 0, 32, "die Bus-ID");
    m.Letter = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
    if (std::string("ACIMOPT").find(m.Letter) == std::string::npos) throw Error(usage);
    m.Major = byteOf(parts[2].substr(0, dot), 0, 255, "die Version");
    m.Minor = byteOf(parts[2].substr(dot + 1), 0, 255, "die Version");
    m.Channels = byteOf(parts[3], 0, 255, "die Kanalzahl");
    return m;
}

std::uint16_t RawBusTemperature(std::int16_t tenths) {
    // Half-degree steps, rounded to the nearest half degree.
    const int halves = tenths >= 0 ? (tenths + 2) / 5 : -((-tenths + 2) / 5);
    if (halves >= 0) return static_cast<std::uint16_t>(halves & 0x1FF);
    return static_cast<std::uint16_t>(0xFE00 | (~(-halves) & 0x1FF));
}

TVirtualController::TVirtualController(TVirtualControllerOptions options, Clock& clock, LogFn log)
    : options_(std::move(options)), clock_(clock), log_(std::move(log)) {
    loadEeprom();
    bindSocket();
    deviceClock_.Start(clock_.localNow(), clock_.monotonicMs());
    runner_.Bus.ReadInputs = [this](std::uint8_t id) {
        const auto* m = module(id);
        return m ? m->PortBits : std::uint8_t{0};
    };
    runner_.Bus.ReadTenths = [this](std::uint8_t id, int channel) {
        const auto* m = module(id);
        return m && channel < 4 ? m->TenthsDegrees[static_cast<std::size_t>(channel)] : std::int16_t{0};
    };
    runner_.Bus.WriteOutputs = [this](std::uint8_t id, std::uint8_t bits) {
        if (auto* m = module(id)) m->PortBits = bits;
    };
    runner_.Bus.WritePwm = [this](std::uint8_t id, int channel, std::uint8_t duty) {
        if (auto* m = module(id)) m->Duty[static_cast<std::size_t>(channel & 1)] = duty;
    };
    Restart();
}

TVirtualController::~TVirtualController() = default;

TVirtualController::OwnedFd::~OwnedFd() {
    if (fd >= 0) ::close(fd);
}

// The EEPROM file holds at most the EEPROM's bytes; a larger file (or a device
// that never ends) is refused after reading one byte more than fits.
void TVirtualController::loadEeprom() {
    eeprom_.assign(options_.EepromSize, 0xFF);
    const std::string& path = options_.EepromFile;
    if (path.empty() || !fileExists(path)) return;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) throw Error("Die Datei " + path + " kann nicht gelesen werden.");
    std::vector<std::uint8_t> bytes(eeprom_.size() + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) throw Error("Die Datei " + path + " kann nicht gelesen werden.");
    if (got > eeprom_.size())
        throw Error("Die EEPROM-Datei " + path + " ist größer als das EEPROM (" + std::to_string(eeprom_.size()) +
                    " Bytes).");
    std::copy_n(bytes.begin(), got, eeprom_.begin());
}

void TVirtualController::bindSocket() {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(options_.Port);
    if (options_.Address.empty() || ::inet_pton(AF_INET, options_.Address.c_str(), &addr.sin_addr) != 1)
        throw Error("Die Adresse '" + options_.Address + "' ist keine IPv4-Adresse.");
    socket_.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket_.fd < 0) throw Error(std::string("UDP-Socket kann nicht angelegt werden: ") + std::strerror(errno));
    const std::string where = options_.Address + ":" + std::to_string(options_.Port);
    if (::bind(socket_.fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        if (err == EADDRINUSE)
            throw Error("UDP-Port " + where +
                        " ist schon belegt. Das Logik-Programm belegt beim Start den ersten freien Port ab 4000 "
                        "auf allen Adressen: den Emulator zuerst starten und danach das Programm, oder das "
                        "Programm (bzw. den anderen Emulator) beenden. Mit --port lässt sich ein anderer Port "
                        "wählen.");
        throw Error("UDP-Port " + where + " kann nicht gebunden werden: " + std::strerror(err));
    }
    if (options_.Port == 0) {
        // Port 0: the system chose a free one; ask which.
        socklen_t len = sizeof addr;
        if (::getsockname(socket_.fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            throw Error("UDP-Port " + where + " kann nicht gebunden werden: " + std::strerror(errno));
        options_.Port = ntohs(addr.sin_port);
    }
}

TEmulatedBusModule* TVirtualController::module(std::uint8_t id) {
    for (auto& m : options_.Bus)
        if (m.Id == id) return &m;
    return nullptr;
}

void TVirtualController::Restart() {
    running_ = false;
    imageProblem_.clear();
    checksum_ = static_cast<std::uint16_t>((eeprom_[26] << 8) | eeprom_[27]);
    try {
        runner_.Load(ReadDeviceImage(eeprom_));
        running_ = true;
        log("Logik gestartet: " + std::to_string(runner_.Image().Objects.size()) + " Objekte");
    } catch (const Error& e) {
        runner_.Clear();
        imageProblem_ = e.what();
        log("Logik nicht gestartet: " + imageProblem_);
    }
    nextCycleMs_ = clock_.monotonicMs();
}

void TVirtualController::saveEeprom() {
    if (options_.EepromFile.empty()) return;
    try {
        writeFileAtomic(options_.EepromFile, std::string(eeprom_.begin(), eeprom_.end()));
    } catch (const Error& e) {
        log(e.what());
    }
}

void TVirtualController::Tick() {
    const std::int64_t now = clock_.monotonicMs();
    if (now < nextCycleMs_) return;
    nextCycleMs_ = now + std::max(1, options_.CycleMs);
    runCycle();
}

// The seconds pulse follows the controller's own oscillator, so setting the
// clock back does not hold the timers.
void TVirtualController::runCycle() {
    if (!running_) return;
    const std::int64_t now = clock_.monotonicMs();
    runner_.RunCycle(now / 1000, deviceClock_.Now(now));
}

std::int64_t TVirtualController::MsUntilNextCycle() {
    return std::max<std::int64_t>(0, nextCycleMs_ - clock_.monotonicMs());
}

TV7300Telegram TVirtualController::errorReport(std::uint8_t command, std::uint8_t kind, std::uint8_t d1,
                                               std::uint8_t d2) {
    TV7300Telegram t;
    t.Command = CmdError;
    t.Kind = kKindSet;
    t.Payload = {command, kind, d1, d2};
    return t;
}

std::vector<std::vector<std::uint8_t>> TVirtualController::HandleDatagram(const std::uint8_t* data, std::size_t size) {
    std::vector<std::vector<std::uint8_t>> replies;
    TV7300Telegram request;
    const std::uint8_t problem = ParseDatagram(data, size, "", request);
    const std::uint8_t command = size > 10 ? data[10] : 0;
    if (problem != 0) {
        log("<- fehlerhaft (" + LinkErrorText(problem) + "): " + hexBytes(std::vector<std::uint8_t>(data, data + size)));
        TV7300Telegram report;
        const std::size_t n = size > 11 ? data[11] : 0;
        switch (problem) {
        case LinkErrorNoStx: report = errorReport(command, DeviceErrorNoStx); break;
        case LinkErrorLength: {
            // The payload bytes that did arrive, against the count the frame announces.
            const std::size_t received = std::min(size > 12 ? size - 12 : 0, n);
            report = errorReport(command, DeviceErrorLength, static_cast<std::uint8_t>(received),
                                 static_cast<std::uint8_t>(n));
            break;
        }
        case LinkErrorNoEtx: report = errorReport(command, DeviceErrorNoEtx, data[12 + n]); break;
        default: {
            TV7300Telegram copy;
            copy.Kind = data[9];
            copy.Command = command;
            copy.Payload.assign(data + 12, data + 12 + n);
            report = errorReport(command, DeviceErrorChecksum, TelegramCrc(copy), data[13 + n]);
            break;
        }
        }
        log("-> " + describe(report));
        replies.push_back(BuildDatagram(report));
        return replies;
    }
    log("<- " + describe(request));
    bool reply = false;
    const TV7300Telegram answerTelegram = answer(request, reply);
    if (reply) {
        log("-> " + describe(answerTelegram));
        replies.push_back(BuildDatagram(answerTelegram));
    }
    return replies;
}

TV7300Telegram TVirtualController::answer(const TV7300Telegram& request, bool& reply) {
    const auto& p = request.Payload;
    TV7300Telegram r;
    r.Command = request.Command;
    r.Kind = request.Kind;
    reply = true;
    auto needs = [&](std::size_t count) {
        if (p.size() >= count) return true;
        r = errorReport(request.Command, DeviceErrorLength, static_cast<std::uint8_t>(p.size()),
                        static_cast<std::uint8_t>(count));
        return false;
    };
    switch (request.Command) {
    case CmdPing: r.Payload = {options_.TcpClients}; break;
    case CmdFirmwareVersion: r.Payload = {options_.Firmware.Major, options_.Firmware.Minor, options_.Firmware.Build}; break;
    case CmdExpansionStage: r.Payload = {options_.ExpansionStage}; break;
    case CmdClock: {
        if (request.Kind == kKindSet) {
            if (!needs(7)) break;
            TDeviceClock set;
            set.Hour = p[0];
            set.Minute = p[1];
            set.Second = p[2];
            set.Weekday = p[3];
            set.DayOfYear = static_cast<std::uint16_t>((p[4] << 8) | p[5]);
            set.OffsetHours = std::min<int>(p[6], 24) - 12;
            deviceClock_.Set(set, clock_.monotonicMs());
        }
        const TDeviceClock now = DeviceClock();
        r.Payload = {now.Hour, now.Minute, now.Second, now.Weekday, static_cast<std::uint8_t>(now.DayOfYear >> 8),
                     static_cast<std::uint8_t>(now.DayOfYear & 0xFF), static_cast<std::uint8_t>(now.OffsetHours & 0xFF)};
        break;
    }
    case CmdReadEeprom: {
        if (!needs(3)) break;
        const std::size_t address = static_cast<std::size_t>((p[0] << 8) | p[1]);
        std::size_t count = std::min<std::size_t>(p[2], 253);
        if (address >= eeprom_.size()) count = 0;
        else count = std::min(count, eeprom_.size() - address);
        r.Payload = {p[0], p[1]};
        r.Payload.insert(r.Payload.end(), eeprom_.begin() + static_cast<long>(address),
                         eeprom_.begin() + static_cast<long>(address + count));
        break;
    }
    case CmdWriteEeprom: {
        if (!needs(2)) break;
        const std::size_t address = static_cast<std::size_t>((p[0] << 8) | p[1]);
        const std::size_t count = p.size() - 2;
        if (dropWrite(address)) {
            reply = false;
            break;
        }
        if (address + count > eeprom_.size()) {
            // Byte 2: the payload bytes received; byte 3: the bytes to be written.
            r = errorReport(request.Command, DeviceErrorLength, static_cast<std::uint8_t>(p.size()),
                            static_cast<std::uint8_t>(count));
            break;
        }
        std::copy(p.begin() + 2, p.end(), eeprom_.begin() + static_cast<long>(address));
        saveEeprom();
        r.Payload = {p[0], p[1]};
        break;
    }
    case CmdLogikState:
        // Logic processing stops until the next restart; no reply.
        running_ = false;
        blockWrites_ = 0;
        droppedBlocks_.clear();
        reply = false;
        log("Logik angehalten");
        break;
    case CmdRestart:
        saveEeprom();
        Restart();
        reply = false;
        break;
    case CmdLogikOutput: {
        if (!needs(1)) break;
        const std::uint8_t object = p[0];
        const auto words = running_ ? runner_.LiveWords(object) : std::array<std::uint16_t, 8>{};
        const auto cycle = static_cast<std::uint16_t>(options_.CycleMs);
        r.Payload = {object, static_cast<std::uint8_t>(checksum_ >> 8), static_cast<std::uint8_t>(checksum_ & 0xFF),
                     static_cast<std::uint8_t>(cycle >> 8), static_cast<std::uint8_t>(cycle & 0xFF)};
        for (auto w : words) {
            r.Payload.push_back(static_cast<std::uint8_t>(w >> 8));
            r.Payload.push_back(static_cast<std::uint8_t>(w & 0xFF));
        }
        break;
    }
    case CmdRs485: return busAnswer(request, reply);
    default: r = errorReport(request.Command, DeviceErrorNotKnown); break;
    }
    return r;
}

TV7300Telegram TVirtualController::busAnswer(const TV7300Telegram& request, bool& reply) {
    const auto& p = request.Payload;
    if (p.size() < 2) {
        reply = true;
        return errorReport(request.Command, DeviceErrorLength, static_cast<std::uint8_t>(p.size()), 18);
    }
    std::array<std::uint8_t, 16> d{};
    for (std::size_t i = 2; i < p.size() && i < 18; ++i) d[i - 2] = p[i];
    TEmulatedBusModule* m = module(p[1]);
    reply = m != nullptr; // no module with that ID: nothing answers on the bus
    TV7300Telegram r;
    r.Command = CmdRs485;
    r.Kind = request.Kind;
    r.Payload.assign(18, 0);
    r.Payload[0] = p[0];
    r.Payload[1] = p[1];
    if (!m) return r;
    switch (p[0]) {
    case 1:
        r.Payload[2] = static_cast<std::uint8_t>(m->Letter);
        r.Payload[3] = m->Major;
        r.Payload[4] = m->Minor;
        r.Payload[5] = m->Channels;
        break;
    case 2:
        switch (m->Letter) {
        case 'O': m->PortBits = d[0]; r.Payload[2] = m->PortBits; break;
        case 'I': r.Payload[2] = m->PortBits; break;
        case 'P':
            m->Duty = {d[0], d[1]};
            r.Payload[2] = m->Duty[0];
            r.Payload[3] = m->Duty[1];
            break;
        case 'T':
            for (std::size_t k = 0; k < 4; ++k) {
                const std::uint16_t raw = m->RawTemperature[k].value_or(RawBusTemperature(m->TenthsDegrees[k]));
                const std::size_t at = 16 - 2 * k; // temperature 1 in bytes 16–17 … 4 in 10–11
                r.Payload[at] = static_cast<std::uint8_t>(raw >> 8);
                r.Payload[at + 1] = static_cast<std::uint8_t>(raw & 0xFF);
            }
            break;
        default: r.Payload[2] = m->PortBits; break;
        }
        break;
    case 3:
        r.Payload[2] = d[0];
        m->Id = d[0];
        break;
    case 5: {
        const bool read = d[0] == 0xFF && d[1] == 0xFF && d[2] == 0xFF && d[3] == 0xFF;
        if (!read) m->PwmSettings = {d[0], d[1], d[2], d[3]};
        for (std::size_t k = 0; k < 4; ++k) r.Payload[2 + k] = m->PwmSettings[k];
        break;
    }
    default: reply = false; break; // modules ignore commands they do not know
    }
    return r;
}

bool TVirtualController::dropWrite(std::size_t address) {
    if (options_.DropAck == 0) return false;
    const auto again = std::find(droppedBlocks_.begin(), droppedBlocks_.end(), address);
    if (again != droppedBlocks_.end()) {
        droppedBlocks_.erase(again); // the resend is stored and acknowledged
        return false;
    }
    if (++blockWrites_ % options_.DropAck != 0) return false;
    if (droppedBlocks_.size() < 1024) droppedBlocks_.push_back(address);
    log("Block " + std::to_string(address) + " verworfen (--drop-ack)");
    return true;
}

int TVirtualController::ReadPending() {
    int count = 0;
    for (;;) {
        std::uint8_t buffer[kReceiveBufferSize];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t got =
            ::recvfrom(socket_.fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
        if (got < 0) {
            if (errno == EINTR || errno == ECONNREFUSED) continue;
            break;
        }
        ++count;
        for (const auto& reply : HandleDatagram(buffer, static_cast<std::size_t>(got)))
            (void)::sendto(socket_.fd, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&from), len);
    }
    return count;
}

std::string TVirtualController::busCommandLine(std::istream& in) {
    // bus ID BITS | bus ID T1 [T2 T3 T4] | bus ID raw R1 [R2 R3 R4]
    std::string target, value;
    in >> target;
    const auto id = parseInt32(target);
    TEmulatedBusModule* m = id && *id >= 0 && *id <= 255 ? module(static_cast<std::uint8_t>(*id)) : nullptr;
    if (!m) throw Error("Kein Bus-Modul mit der ID " + target);
    bool raw = false;
    std::vector<std::int32_t> values;
    while (in >> value) {
        if (values.empty() && !raw && value == "raw") {
            raw = true;
            continue;
        }
        const auto v = parseNumberWord(value);
        if (!v) throw Error("Zahl erwartet: " + value);
        values.push_back(*v);
    }
    if (values.empty()) throw Error("Aufruf: bus ID BITS | bus ID T1 [T2 T3 T4] | bus ID raw R1 [R2 R3 R4]");
    if (raw && m->Letter != 'T') throw Error("raw gilt nur für Temperatur-Module");
    if (m->Letter == 'T') {
        for (std::size_t k = 0; k < values.size() && k < 4; ++k) {
            if (raw) {
                const auto word = static_cast<std::uint16_t>(values[k] & 0xFFFF);
                m->RawTemperature[k] = word;
                m->TenthsDegrees[k] = static_cast<std::int16_t>(
                    5 * RawTemperatureHalves(static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF)));
            } else {
                m->RawTemperature[k].reset();
                m->TenthsDegrees[k] = static_cast<std::int16_t>(std::clamp(values[k], -32768, 32767));
            }
        }
    } else {
        m->PortBits = static_cast<std::uint8_t>(values[0]);
    }
    return "Bus-Modul " + target + " gesetzt";
}

std::string TVirtualController::Command(const std::string& line) {
    std::istringstream in(line);
    std::string word, target, value;
    in >> word;
    if (word.empty()) return "";
    if (word == "input") {
        in >> target >> value;
        const auto v = parseInt32(value);
        if (target.empty() || !v) throw Error("Aufruf: input N WERT | input @OBJEKT WERT");
        if (target[0] == '@') {
            const auto object = parseInt32(target.substr(1));
            if (!object || *object < 1 || *object > 255) throw Error("Objektnummer 1 … 255 erwartet: " + target);
            SetSoftwareInput(static_cast<std::uint8_t>(*object), *v);
            runCycle();
            return "Software-Eingang von Objekt " + std::to_string(*object) + " = " + std::to_string(*v);
        }
        const auto n = parseInt32(target);
        if (!n || *n < 1 || *n > 8) throw Error("Eingang 1 … 8 erwartet: " + target);
        SetInput(*n, *v);
        runCycle();
        return "Eingang " + std::to_string(*n) + " = " + std::to_string(*v);
    }
    if (word == "bus") {
        const std::string answer = busCommandLine(in);
        runCycle();
        return answer;
    }
    if (word == "show") {
        std::string s = running_ ? "Logik läuft" : "Logik steht";
        if (!imageProblem_.empty()) s += " (" + imageProblem_ + ")";
        s += "; Ausgänge:";
        for (int i = 1; i <= 8; ++i) s += " " + std::to_string(runner_.DeviceOutput(i));
        s += "; Anzeige: '" + runner_.Display()[0] + "' '" + runner_.Display()[1] + "'";
        return s;
    }
    throw Error("Unbekannter Befehl '" + word + "' (input, bus, show)");
}

} // namespace v7300

#include "simulation/LogicSimulation.h"
#include "simulation/ScriptProgram.h"

#include "core/Error.h"
#include "core/NumberFormat.h"
#include "core/StringUtil.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace v7300 {

namespace {

using namespace script;

// A pass that fails ends the cycling.
struct PassFailure {};

bool startsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// A missing token reads as empty.
const std::string& tokenAt(const std::vector<std::string>& tokens, std::size_t i) {
    static const std::string empty;
    return i < tokens.size() ? tokens[i] : empty;
}

// Numbers in the general format; integers of up to 15 digits without the detour.
std::string formatNumber(double v, char separator) {
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        char buf[24];
        const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<std::int64_t>(v));
        return std::string(buf, r.ptr);
    }
    return formatGeneral(v, separator);
}

bool parseAssignOp(const std::string& t, AssignOp& op) {
    if (t == "=") op = AssignOp::Set;
    else if (t == "!=") op = AssignOp::Not;
    else if (t == "+=") op = AssignOp::Add;
    else if (t == "-=") op = AssignOp::Sub;
    else if (t == "*=") op = AssignOp::Mul;
    else if (t == "/=") op = AssignOp::Div;
    else return false;
    return true;
}

CompareOp parseCompareOp(const std::string& t) {
    if (t == "==") return CompareOp::Eq;
    if (t == "!=") return CompareOp::Ne;
    if (t == "<=") return CompareOp::Le;
    if (t == ">=") return CompareOp::Ge;
    if (t == "<") return CompareOp::Lt;
    if (t == ">") return CompareOp::Gt;
    if (t == "IN") return CompareOp::In;
    return CompareOp::Never;
}

// The program path of an EXEC command: the first prefix (ending at a blank outside
// double quotes, quotes removed) that names an existing file; else the whole command.
ExecRequest resolveExec(const std::string& command) {
    ExecRequest r;
    bool quoted = false;
    auto unquote = [](const std::string& s) {
        std::string out;
        for (char c : s)
            if (c != '"') out += c;
        return out;
    };
    for (std::size_t i = 0; i <= command.size(); ++i) {
        if (i < command.size()) {
            if (command[i] == '"') quoted = !quoted;
            if (command[i] != ' ' || quoted) continue;
        }
        const std::string candidate = unquote(command.substr(0, i));
        std::error_code ec;
        if (!candidate.empty() && std::filesystem::is_regular_file(candidate, ec)) {
            r.Path = candidate;
            r.Parameters = trimBlanks(std::string_view(command).substr(i));
            break;
        }
    }
    if (r.Path.empty()) r.Path = trimBlanks(unquote(command));
    r.WorkingDir = std::filesystem::path(r.Path).parent_path().string();
    return r;
}

} // namespace

// Skipping from line i ends at the first later line where the nesting level (the
// running count of IF lines minus ENDIF lines) falls below line i's level, or,
// for an IF, at an earlier exact "ELSE" on line i's own level. One sweep from the
// end, remembering the nearest line of each level, finds every target.
std::vector<std::size_t> SkipTargets(const std::vector<std::string>& lines) {
    const std::size_t n = lines.size();
    std::vector<std::int64_t> level(n);
    std::int64_t depth = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (lines[i] == "ENDIF") --depth;
        if (startsWith(lines[i], "IF")) ++depth;
        level[i] = depth;
    }
    // Levels lie within -n … n; slot(level - 1) stays at 0 or above.
    const auto slot = [n](std::int64_t l) { return static_cast<std::size_t>(l + static_cast<std::int64_t>(n) + 1); };
    std::vector<std::size_t> nearest(2 * n + 3, n);
    std::vector<std::size_t> nearestElse(2 * n + 3, n);
    std::vector<std::size_t> targets(n, n);
    for (std::size_t i = n; i-- > 0;) {
        const bool isElse = startsWith(lines[i], "ELSE");
        const bool isIf = !isElse && startsWith(lines[i], "IF");
        if (isElse || isIf) {
            std::size_t end = nearest[slot(level[i] - 1)];
            if (isIf) end = std::min(end, nearestElse[slot(level[i])]);
            targets[i] = end < n ? end + 1 : n;
        }
        nearest[slot(level[i])] = i;
        if (lines[i] == "ELSE") nearestElse[slot(level[i])] = i;
    }
    return targets;
}

// Numeric view of a store entry, kept beside it.
struct NumberCache {
    double value = 0;
    char separator = 0; // 0: not known
    bool valid = false;
};

struct TSimulate::Program {
    std::vector<Statement> statements;
    std::vector<NumberCache> cache; // parallel to the store
    int btimer = -1, time = -1, day = -1;  // the clock variables' symbols
};

TSimulate::TSimulate(Clock& clock, TEffectPorts ports)
    : clock_(clock), ports_(std::move(ports)), program_(std::make_unique<Program>()) {}

TSimulate::~TSimulate() { StopWorker(); }

void TSimulate::SetPorts(TEffectPorts ports) {
    std::lock_guard lk(lifecycleMutex_);
    ports_ = std::move(ports);
}

void TSimulate::SetBeforeCycle(std::function<void()> hook) {
    std::lock_guard lk(lifecycleMutex_);
    beforeCycle_ = std::move(hook);
}

void TSimulate::SetAfterCycle(std::function<void()> hook) {
    std::lock_guard lk(lifecycleMutex_);
    afterCycle_ = std::move(hook);
}

// ---------------------------------------------------------------- store

int TSimulate::SymbolOf(const std::string& name) {
    const auto it = symbols_.find(name);
    if (it != symbols_.end()) return it->second;
    const int symbol = static_cast<int>(slots_.size());
    slots_.push_back(Slot{name, -1});
    symbols_.emplace(name, symbol);
    return symbol;
}

bool TSimulate::WriteSlot(int symbol, const std::string& value) {
    Slot& slot = slots_[static_cast<std::size_t>(symbol)];
    if (slot.forced) return false;
    if (slot.entry < 0) {
        slot.entry = static_cast<int>(store_.size());
        store_.push_back(TVariablen{slot.name, value});
        program_->cache.push_back(NumberCache{});
        entryStamp_.push_back(cycleStamp_);
        entrySymbol_.push_back(symbol);
        return true;
    }
    const auto entry = static_cast<std::size_t>(slot.entry);
    if (tracking_ && entryStamp_[entry] != cycleStamp_) {
        entryStamp_[entry] = cycleStamp_;
        touched_.emplace_back(slot.entry, store_[entry].Value);
    }
    store_[entry].Value = value;
    program_->cache[entry] = NumberCache{};
    return true;
}

void TSimulate::WriteName(const std::string& name, const std::string& value) {
    std::lock_guard lk(storeMutex_);
    WriteSlot(SymbolOf(name), value);
    externalWrites_.fetch_add(1);
}

void TSimulate::WriteSlotNumber(int symbol, double value) {
    const char sep = decimalSeparator();
    const std::string text = formatNumber(value, sep);
    const bool exact = value == std::trunc(value) && std::fabs(value) < 1e15;
    std::lock_guard lk(storeMutex_);
    if (WriteSlot(symbol, text) && exact) {
        const int entry = slots_[static_cast<std::size_t>(symbol)].entry;
        program_->cache[static_cast<std::size_t>(entry)] = NumberCache{value == 0 ? 0.0 : value, sep, true};
    }
}

bool TSimulate::ReadSlotNumber(int symbol, double& value) {
    const char sep = decimalSeparator();
    std::lock_guard lk(storeMutex_);
    const int entry = slots_[static_cast<std::size_t>(symbol)].entry;
    if (entry < 0) {
        value = 0;
        return true;
    }
    NumberCache& c = program_->cache[static_cast<std::size_t>(entry)];
    if (c.separator != sep) {
        const auto parsed = parseDouble(store_[static_cast<std::size_t>(entry)].Value, sep);
        c.separator = sep;
        c.valid = parsed.has_value();
        c.value = parsed.value_or(0);
    }
    value = c.value;
    return c.valid;
}

bool TSimulate::ReadSlotInt(int symbol, std::int32_t& value) {
    std::lock_guard lk(storeMutex_);
    const int entry = slots_[static_cast<std::size_t>(symbol)].entry;
    if (entry < 0) {
        value = 0;
        return true;
    }
    const auto parsed = parseInt32(store_[static_cast<std::size_t>(entry)].Value);
    value = parsed.value_or(0);
    return parsed.has_value();
}

std::string TSimulate::ReadSlot(int symbol) const {
    std::lock_guard lk(storeMutex_);
    const int entry = slots_[static_cast<std::size_t>(symbol)].entry;
    return entry < 0 ? std::string("0") : store_[static_cast<std::size_t>(entry)].Value;
}

std::string TSimulate::GetVariable(const std::string& name) const {
    std::lock_guard lk(storeMutex_);
    const auto it = symbols_.find(name);
    if (it == symbols_.end()) return "0";
    const int entry = slots_[static_cast<std::size_t>(it->second)].entry;
    return entry < 0 ? std::string("0") : store_[static_cast<std::size_t>(entry)].Value;
}

void TSimulate::SetVariable(const std::string& name, const std::string& value) { WriteName(name, value); }

std::vector<TVariablen> TSimulate::Variables() const {
    std::lock_guard lk(storeMutex_);
    return store_;
}

bool TSimulate::Output_Status(const std::string& component, int n) const {
    const std::string v = GetVariable("$" + component + "__A" + std::to_string(n));
    return v != "0" && v != "nil";
}

void TSimulate::SetOutputState(const std::string& component, int n, std::int32_t value) {
    WriteName("$" + component + "__A" + std::to_string(n), std::to_string(value));
}

void TSimulate::SetObjectValue(const std::string& component, const std::string& variable, double value) {
    WriteName("$" + component + "_" + variable, formatGeneral(value, decimalSeparator()));
}

void TSimulate::SetInputState(const std::string& component, int n, bool state) {
    WriteName("$" + component + "__E" + std::to_string(n), state ? "1" : "0");
}

void TSimulate::SetInputValue(const std::string& component, int n, std::int32_t value) {
    WriteName("$" + component + "__E" + std::to_string(n), std::to_string(value));
}

std::vector<std::string> TSimulate::PreparedScript() const {
    std::lock_guard lk(lifecycleMutex_);
    return prepared_;
}

// ---------------------------------------------------------------- lifecycle

void TSimulate::StopWorker() {
    std::unique_ptr<TSimulateThread> old = std::move(worker_);
    if (old) {
        old->Terminate();
        { std::lock_guard g(gateMutex_); }
        gateCv_.notify_all();
        old->WaitFor();
    }
}

bool TSimulate::WorkerActive() const {
    std::lock_guard lk(lifecycleMutex_);
    return worker_ && !worker_->Finished();
}

bool TSimulate::Start(const std::vector<std::string>& script, bool withWorker) {
    std::lock_guard lk(lifecycleMutex_);
    if (running_.load()) return false;
    // The worker of the previous run finishes before anything is reset, so two
    // workers never cycle this interpreter side by side.
    StopWorker();

    // The prepared script: every FALSE becomes 0, then every TRUE 1.
    std::vector<std::string> prepared;
    prepared.reserve(script.size());
    for (const std::string& line : script) prepared.push_back(replaceAll(replaceAll(line, "FALSE", "0"), "TRUE", "1"));

    auto program = std::make_unique<Program>();
    const char sep = decimalSeparator();
    {
        std::lock_guard slk(storeMutex_);
        store_.clear();
        slots_.clear();
        symbols_.clear();
        entryStamp_.clear();
        entrySymbol_.clear();
        touched_.clear();
        program_ = std::move(program);

        // DIM declarations, walked from the last line, each name written as "0".
        for (auto it = script.rbegin(); it != script.rend(); ++it) {
            const std::string line = trimBlanks(*it);
            if (!startsWith(line, "DIM")) continue;
            const std::string rest = line.size() > 4 ? line.substr(4, 100) : std::string();
            const auto blank = rest.find(' ');
            const std::string name = blank == std::string::npos ? rest : rest.substr(blank + 1, 100);
            WriteSlot(SymbolOf(name), "0");
        }

        auto operand = [&](const std::string& token) {
            Operand o;
            if (!token.empty() && token[0] == '$')
                o.symbol = SymbolOf(token);
            else
                o.literal = parseDouble(token, sep).value_or(0); // not a number: 0
            return o;
        };

        program_->btimer = SymbolOf("$BTIMER");
        program_->time = SymbolOf("$TIME");
        program_->day = SymbolOf("$DAY");
        std::vector<Statement>& out = program_->statements;
        out.reserve(prepared.size());
        const std::vector<std::size_t> skipTo = SkipTargets(prepared);
        for (std::size_t i = 0; i < prepared.size(); ++i) {
            const std::string& line = prepared[i];
            Statement s;
            if (line == "LOOP") {
                s.kind = Kind::Loop;
            } else if (startsWith(line, "EXEC")) {
                s.kind = Kind::Exec;
                s.tokens = splitAtBlanks(line);
            } else if (startsWith(line, "SMTP")) {
                s.kind = Kind::Smtp;
                s.line = line;
            } else if (startsWith(line, "PLAY")) {
                s.kind = Kind::Play;
                s.line = line.size() > 5 ? line.substr(5, 500) : std::string();
            } else if (startsWith(line, "LCD")) {
                s.kind = Kind::Lcd;
                s.tokens = splitAtBlanks(line);
                s.target = SymbolOf(tokenAt(s.tokens, 1));
            } else if (startsWith(line, "ELSE")) {
                s.kind = Kind::Else;
                s.jump = skipTo[i];
            } else if (startsWith(line, "IF")) {
                const auto tokens = splitAtBlanks(line);
                s.kind = Kind::If;
                s.a = operand(tokenAt(tokens, 1));
                s.compare = parseCompareOp(tokenAt(tokens, 2));
                s.b = operand(tokenAt(tokens, 3));
                s.jump = skipTo[i];
            } else {
                const auto tokens = splitAtBlanks(line);
                AssignOp op{};
                if (tokens.size() >= 2 && !tokens[0].empty() && tokens[0][0] == '$' && parseAssignOp(tokens[1], op)) {
                    s.kind = Kind::Assign;
                    s.assign = op;
                    s.target = SymbolOf(tokens[0]);
                    s.a = operand(tokenAt(tokens, 2));
                }
            }
            out.push_back(std::move(s));
        }
        clockSymbols_ = {program_->time, program_->btimer, program_->day};
        idle_.Analyse(out, slots_.size(), clockSymbols_);
        verifiedWrites_ = externalWrites_.load();
        UpdateObservedVolatile();
    }
    prepared_ = std::move(prepared);
    {
        std::lock_guard g(gateMutex_);
        paused_ = false;
        steps_ = 0;
    }

    {
        std::lock_guard llk(lcdMutex_);
        lcdMode_ = 0;
    }
    stalled_.store(false);
    cycles_.store(0);
    nextCycle_.store(true);
    running_.store(true);
    if (withWorker) {
        worker_ = std::make_unique<TSimulateThread>(clock_);
        TSimulateThread* w = worker_.get();
        w->SetInterval(kThreadInterval);
        w->SetCallback([this, w, before = beforeCycle_, after = afterCycle_] {
            if (!PassGate(*w)) {
                w->Terminate(); // stopped while paused: no further cycle
                return;
            }
            if (before) before();
            if (!RunCycle()) {
                w->Terminate();
                return;
            }
            if (after) after();
        });
        w->Start();
    }
    return true;
}

bool TSimulate::Stop() {
    running_.store(false);
    { std::lock_guard g(gateMutex_); }
    gateCv_.notify_all();
    return true;
}

void TSimulate::StopSimThread() {
    std::lock_guard lk(lifecycleMutex_);
    StopWorker();
}

// ---------------------------------------------------------------- cycles

bool TSimulate::Step() {
    clock_.sleepMs(kThreadInterval);
    return RunCycle();
}

bool TSimulate::RunCycle() {
    if (!nextCycle_.exchange(false)) return running_.load() && !stalled_.load();
    const std::uint64_t writesAtStart = externalWrites_.load();
    BeginTracking();
    try {
        ClockStep();
        LcdStep();
        Pass();
    } catch (...) {
        // Cycling ends silently; the running flag stays set.
        {
            std::lock_guard lk(storeMutex_);
            tracking_ = false;
        }
        stalled_.store(true);
        return false;
    }
    EndTracking(writesAtStart);
    clock_.sleepMs(kCycleWait);
    cycles_.fetch_add(1);
    if (running_.load()) {
        nextCycle_.store(true);
        return true;
    }
    return false;
}

std::int64_t TSimulate::RoundedSecond(std::int64_t utcMs) {
    return static_cast<std::int64_t>(std::floor((static_cast<double>(utcMs) + 500.0) / 1000.0));
}

void TSimulate::ClockStep() {
    const std::int64_t ms = clock_.utcNow().toEpochMs();
    currentSecond_ = RoundedSecond(ms);
    if (clockSet_.exchange(false)) previousSecond_ = RoundedSecond(ms - kThreadInterval - kCycleWait);
    const bool advanced = previousSecond_ < currentSecond_;
    previousSecond_ = currentSecond_;
    const DateTime local = clock_.localNow();
    lastSecondTick_ = advanced;
    lastReadUtcMs_ = ms;
    lastReadLocal_ = local;
    char time[16];
    std::snprintf(time, sizeof time, "%02d%02d%02d", local.hour % 100, local.minute % 100, local.second % 100);
    const std::string day = std::to_string(local.dayOfWeek());
    std::lock_guard lk(storeMutex_);
    WriteSlot(program_->btimer, advanced ? "1" : "0");
    WriteSlot(program_->time, time);
    WriteSlot(program_->day, day);
}

namespace {

std::string first(const std::string& s, int p) {
    if (p <= 0) return {};
    return s.substr(0, std::min(s.size(), static_cast<std::size_t>(p)));
}

std::string restFrom(const std::string& s, int k) {
    if (k < 1) k = 1;
    if (static_cast<std::size_t>(k) > s.size()) return {};
    return s.substr(static_cast<std::size_t>(k) - 1, 32);
}

std::string padLeft(std::string s, std::size_t width) {
    if (s.size() < width) s.insert(0, width - s.size(), ' ');
    return s;
}

} // namespace

void TSimulate::LcdStep() {
    std::string variable;
    {
        std::lock_guard lk(lcdMutex_);
        variable = lcdVariable_;
    }
    const auto v = parseInt32(GetVariable(variable));
    if (!v) return; // the LCD keeps its lines this cycle
    std::string line1;
    std::string line2;
    {
        std::lock_guard lk(lcdMutex_);
        const int p = lcdPosition_;
        const std::string& t = lcdText_;
        switch (lcdMode_) {
        case 0:
            lcdText_ = kBanner;
            break;
        case 2:
            lcdText_ = first(t, p) + padLeft(std::to_string(*v), 6) + restFrom(t, p + 7);
            break;
        case 3: {
            const std::int64_t a = std::llabs(static_cast<std::int64_t>(*v));
            std::string piece = (*v < 0 ? "-" : "") + std::to_string(a / 10) + decimalSeparator() +
                                std::to_string(a % 10);
            lcdText_ = first(t, p) + padLeft(piece, 5) + restFrom(t, p + 6);
            break;
        }
        case 4:
            lcdText_ = first(t, p) + (*v != 0 ? " AN" : "AUS") + restFrom(t, p + 4);
            break;
        case 5:
            lcdText_ = first(t, p) + (*v != 0 ? "      OFFEN" : "GESCHLOSSEN") + restFrom(t, p + 12);
            break;
        case 6:
            lcdText_ = first(t, p) + (*v != 0 ? "  JA" : "NEIN") + restFrom(t, p + 5);
            break;
        default:
            break;
        }
        lcdLine1_ = cp1252ToUtf8(lcdText_.substr(0, std::min<std::size_t>(16, lcdText_.size())));
        lcdLine2_ = cp1252ToUtf8(lcdText_.size() > 16 ? lcdText_.substr(16, 16) : std::string());
        line1 = lcdLine1_;
        line2 = lcdLine2_;
    }
    if (ports_.Lcd) ports_.Lcd->SetLines(line1, line2);
}

std::pair<std::string, std::string> TSimulate::LcdLines() const {
    std::lock_guard lk(lcdMutex_);
    return {lcdLine1_, lcdLine2_};
}

std::string TSimulate::LcdText() const {
    std::lock_guard lk(lcdMutex_);
    return cp1252ToUtf8(lcdText_);
}

int TSimulate::LcdMode() const {
    std::lock_guard lk(lcdMutex_);
    return lcdMode_;
}

void TSimulate::Pass() {
    const std::vector<Statement>& program = program_->statements;
    auto value = [this](const Operand& o) {
        if (o.symbol < 0) return o.literal;
        double v = 0;
        if (!ReadSlotNumber(o.symbol, v)) throw PassFailure{};
        return v;
    };
    std::size_t i = 0;
    const std::size_t n = program.size();
    while (i < n) {
        const Statement& s = program[i];
        switch (s.kind) {
        case Kind::Nop:
            ++i;
            break;
        case Kind::Loop:
            return;
        case Kind::Assign: {
            const double x = value(s.a);
            double result = 0;
            switch (s.assign) {
            case AssignOp::Set:
                result = x;
                break;
            case AssignOp::Not:
                result = x == 0 ? 1 : 0;
                break;
            case AssignOp::Add: {
                std::int32_t current = 0;
                if (!ReadSlotInt(s.target, current)) throw PassFailure{};
                result = static_cast<double>(current) + x;
                break;
            }
            case AssignOp::Sub:
            case AssignOp::Mul:
            case AssignOp::Div: {
                double current = 0;
                if (!ReadSlotNumber(s.target, current)) throw PassFailure{};
                if (s.assign == AssignOp::Sub) result = current - x;
                else if (s.assign == AssignOp::Mul) result = current * x;
                else result = x == 0 ? 0 : current / x;
                break;
            }
            }
            WriteSlotNumber(s.target, result);
            ++i;
            break;
        }
        case Kind::If: {
            bool holds = false;
            if (s.compare == CompareOp::In) {
                holds = true;
            } else if (s.compare != CompareOp::Never) {
                const double a = value(s.a);
                const double b = value(s.b);
                switch (s.compare) {
                case CompareOp::Eq: holds = a == b; break;
                case CompareOp::Ne: holds = a != b; break;
                case CompareOp::Le: holds = a <= b; break;
                case CompareOp::Ge: holds = a >= b; break;
                case CompareOp::Lt: holds = a < b; break;
                case CompareOp::Gt: holds = a > b; break;
                default: break;
                }
            }
            i = holds ? i + 1 : s.jump;
            break;
        }
        case Kind::Else:
            i = s.jump;
            break;
        case Kind::Lcd: {
            effectRan_ = true;
            if (ports_.Lcd) ports_.Lcd->Show();
            const auto pos = parseInt32(tokenAt(s.tokens, 2));
            const auto mode = parseInt32(tokenAt(s.tokens, 3));
            std::string text;
            for (std::size_t k = 4; k < s.tokens.size(); ++k) text += s.tokens[k] + " ";
            std::lock_guard lk(lcdMutex_);
            lcdVariable_ = tokenAt(s.tokens, 1);
            if (!pos) throw PassFailure{};
            lcdPosition_ = *pos;
            if (!mode) throw PassFailure{};
            lcdMode_ = *mode;
            lcdText_ = utf8ToCp1252(text);
            ++i;
            break;
        }
        case Kind::Exec: {
            effectRan_ = true;
            if (ports_.Exec) {
                std::string command;
                for (std::size_t k = 1; k < s.tokens.size(); ++k) command += s.tokens[k] + " ";
                ports_.Exec->Open(resolveExec(command));
            }
            ++i;
            break;
        }
        case Kind::Play:
            effectRan_ = true;
            if (ports_.Play) ports_.Play->Play(s.line);
            ++i;
            break;
        case Kind::Smtp: {
            effectRan_ = true;
            const auto tokens = splitAtBlanks(replaceAll(s.line, "  ", " "));
            const std::string& server = tokenAt(tokens, 2);
            const auto colon = server.find(':');
            if (colon == std::string::npos) throw PassFailure{};
            const auto port = parseInt32(server.substr(colon + 1, 6));
            if (!port) throw PassFailure{};
            if (ports_.Smtp) {
                SmtpMessage m;
                m.Host = server.substr(0, colon);
                m.Port = *port;
                m.User = tokenAt(tokens, 3);
                m.Password = tokenAt(tokens, 4);
                m.Sender = ports_.SmtpSender;
                const std::string& to = tokenAt(tokens, 1);
                for (std::size_t b = 0;;) {
                    const auto comma = to.find(',', b);
                    const std::string r = to.substr(b, comma == std::string::npos ? std::string::npos : comma - b);
                    if (!r.empty()) m.Recipients.push_back(r);
                    if (comma == std::string::npos) break;
                    b = comma + 1;
                }
                m.Subject = "V7300-Logik Message";
                for (std::size_t k = 5; k < tokens.size(); ++k) m.Body += " " + tokens[k];
                ports_.Smtp->Send(m); // a refused mail ends the cycling
            }
            ++i;
            break;
        }
        }
    }
}

} // namespace v7300

#include "device/ImageRunner.h"

#include "core/NumberFormat.h"
#include "core/TextCodec.h"
#include "device/LogicCompiler.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace v7300 {
namespace {

std::uint16_t asWord(std::int32_t v) { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFF); }

// Writes `text` (Windows-1252) into `bytes` at `column`, cutting at the end.
void overwrite(std::string& bytes, std::size_t column, const std::string& text) {
    for (std::size_t i = 0; i < text.size() && column + i < bytes.size(); ++i) bytes[column + i] = text[i];
}

// A display line as 16 Windows-1252 characters.
std::string lineBytes(const std::string& utf8) {
    std::string bytes = utf8ToCp1252(utf8);
    bytes.resize(16, ' ');
    return bytes;
}

std::string padTo(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

} // namespace

void TImageRunner::Load(const TDeviceImage& image) {
    image_ = image;
    states_.assign(image_.Objects.size(), State{});
    index_.fill(0);
    for (std::size_t i = 0; i < image_.Objects.size(); ++i) {
        auto& slot = index_[image_.Objects[i].Number];
        if (slot == 0) slot = static_cast<int>(i) + 1; // the first record of a number wins
    }
    deviceOutputs_.fill(0);
    lcdShown_ = 0;
    cycles_ = 0;
}

void TImageRunner::Clear() { Load(TDeviceImage{}); }

void TImageRunner::SetHardwareInput(int input, std::int32_t value) {
    if (input >= 1 && input <= 8) hardwareInputs_[static_cast<std::size_t>(input)] = value;
}

std::int32_t TImageRunner::HardwareInput(int input) const {
    return input >= 1 && input <= 8 ? hardwareInputs_[static_cast<std::size_t>(input)] : 0;
}

void TImageRunner::SetSoftwareInput(std::uint8_t object, std::int32_t value) { softwareInputs_[object] = value; }

std::int32_t TImageRunner::Output(std::uint8_t object, int output) const {
    const int at = index_[object];
    if (at == 0 || output < 0 || output >= kOutputs) return 0;
    return states_[static_cast<std::size_t>(at - 1)].out[static_cast<std::size_t>(output)];
}

std::int32_t TImageRunner::DeviceOutput(int id) const {
    return id >= 1 && id <= 8 ? deviceOutputs_[static_cast<std::size_t>(id)] : 0;
}

std::int32_t TImageRunner::input(const TImageObject& object, std::size_t i) const {
    // References carry no input index: the wired inputs fill the first places.
    if (i >= object.Inputs.size()) return 0;
    return Output(object.Inputs[i].Object, object.Inputs[i].Output);
}

bool TImageRunner::risingEdge(State& s, std::size_t slot, std::int32_t level) {
    const std::int32_t l = level != 0 ? 1 : 0;
    const bool rising = l > s.prev[slot];
    s.prev[slot] = l;
    return rising;
}

void TImageRunner::RunCycle(std::int64_t second, const DateTime& local) {
    TDeviceClock clock;
    clock.Hour = static_cast<std::uint8_t>(local.hour);
    clock.Minute = static_cast<std::uint8_t>(local.minute);
    clock.Second = static_cast<std::uint8_t>(local.second);
    clock.Weekday = static_cast<std::uint8_t>((local.dayOfWeek() + 5) % 7); // Monday = 0
    RunCycle(second, clock);
}

void TImageRunner::RunCycle(std::int64_t second, const TDeviceClock& clock) {
    const bool secondPulse = previousSecond_ < second;
    previousSecond_ = second;
    for (std::size_t i = 0; i < image_.Objects.size(); ++i) runObject(i, secondPulse, clock);
    refreshLcd();
    ++cycles_;
}

void TImageRunner::refreshLcd() {
    if (lcdShown_ == 0) return;
    const TImageObject& object = image_.Objects[lcdShown_ - 1];
    const auto& p = object.Params;
    const std::int32_t value = input(object, 1);
    std::string text = lineBytes(p.LcdLine1) + lineBytes(p.LcdLine2);
    std::string field;
    switch (p.LcdType) {
    case 0: text = "  V7300-NET-IO  _/|__________/|_"; break;
    case 2: field = padTo(std::to_string(value), 6); break;
    case 3: {
        const std::int64_t a = std::llabs(static_cast<std::int64_t>(value));
        field = padTo((value < 0 ? "-" : "") + std::to_string(a / 10) + decimalSeparator() + std::to_string(a % 10), 5);
        break;
    }
    case 4: field = value != 0 ? " AN" : "AUS"; break;
    case 5: field = value != 0 ? "      OFFEN" : "GESCHLOSSEN"; break;
    case 6: field = value != 0 ? "  JA" : "NEIN"; break;
    default: break; // 1: the text only
    }
    // The field goes into the 32 characters of both lines: it may run on into line 2.
    overwrite(text, p.LcdPos, field);
    display_ = {cp1252ToUtf8(text.substr(0, 16)), cp1252ToUtf8(text.substr(16, 16))};
}

void TImageRunner::runObject(std::size_t at, bool secondPulse, const TDeviceClock& clock) {
    const TImageObject& object = image_.Objects[at];
    State& s = states_[at];
    const auto& p = object.Params;
    auto& out = s.out;
    const auto n = object.Inputs.size();
    auto e = [&](std::size_t i) { return input(object, i); };
    switch (object.TypeCode) {
    case kCodeNUM: out[0] = p.Value; break;
    case kCodeAND:
    case kCodeNAND:
    case kCodeOR:
    case kCodeNOR:
    case kCodeXOR: {
        const std::size_t wired = std::min<std::size_t>(n, object.TypeCode == kCodeXOR ? 2 : 4);
        std::size_t high = 0;
        for (std::size_t i = 0; i < wired; ++i) high += e(i) != 0 ? 1 : 0;
        const bool all = wired > 0 && high == wired;
        switch (object.TypeCode) {
        case kCodeAND: out[0] = all ? 1 : 0; break;
        case kCodeNAND: out[0] = all ? 0 : 1; break;
        case kCodeOR: out[0] = high > 0 ? 1 : 0; break;
        case kCodeNOR: out[0] = high > 0 ? 0 : 1; break;
        default: out[0] = high == 1 ? 1 : 0; break;
        }
        break;
    }
    case kCodeINV: out[0] = e(0) != 0 ? 0 : 1; break;
    case kCodeBI:
        if (risingEdge(s, 0, e(0))) out[0] = out[0] != 0 ? 0 : 1;
        break;
    case kCodeTAKT: out[0] = secondPulse ? 1 : 0; break;
    case kCodeFF:
        if (e(0) != 0) out[0] = 1;
        if (e(1) != 0) out[0] = 0;
        break;
    case kCodeTIMER:
        if (secondPulse && s.counter > 0) --s.counter;
        if (risingEdge(s, 0, e(0))) s.counter = p.Seconds;
        if (e(1) != 0) s.counter = 0;
        out[0] = s.counter > 0 ? 1 : 0;
        break;
    case kCodeCOUNT:
        if (risingEdge(s, 0, e(0)) && s.counter < p.Count) ++s.counter;
        if (e(1) != 0) s.counter = 0;
        out[0] = s.counter >= p.Count ? 1 : 0;
        break;
    case kCodeOUT:
        out[0] = e(0);
        if (p.OutId >= 1 && p.OutId <= 8) deviceOutputs_[p.OutId] = out[0];
        break;
    case kCodeWEEKTIMER: {
        // Bit 0 Monday … bit 6 Sunday; a clock without a valid weekday switches on no day.
        const int todayBit = clock.Weekday;
        const int yesterdayBit = (todayBit + 6) % 7;
        const bool known = todayBit <= 6;
        const bool today = known && ((p.DayMask >> todayBit) & 1);
        const bool yesterday = known && ((p.DayMask >> yesterdayBit) & 1);
        const std::int32_t now = clock.Hour * 10000 + clock.Minute * 100 + clock.Second;
        const std::int32_t on = p.OnTime[0] * 10000 + p.OnTime[1] * 100 + p.OnTime[2];
        const std::int32_t off = p.OffTime[0] * 10000 + p.OffTime[1] * 100 + p.OffTime[2];
        std::int32_t q = 0;
        if (on < off && today && now >= on && now < off) q = 1;
        if (on > off) {
            if (today && now >= on) q = 1;
            if (yesterday && now < off) q = 1;
        }
        out[0] = q;
        break;
    }
    case kCodeBOOL: {
        unsigned combination = 0;
        for (std::size_t i = 0; i < 4; ++i)
            if (e(i) != 0) combination |= 1u << i;
        out[0] = (p.BoolMask >> combination) & 1;
        break;
    }
    case kCodeIN:
        out[0] = p.Hid == 0 ? softwareInputs_[object.Number] : HardwareInput(p.Hid);
        break;
    case kCodeSCHWELLE:
        s.value = e(0);
        if (s.value >= p.ThresholdUp) out[0] = 1;
        if (s.value <= p.ThresholdDown) out[0] = 0;
        break;
    case kCodeLCD: {
        const bool level = e(0) != 0;
        const bool rising = level && !s.lastLevel;
        s.lastLevel = level;
        if (rising) lcdShown_ = at + 1; // written at the end of the cycle, with the value then

        break;
    }
    case kCodeBUSOUT: {
        std::uint8_t bits = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            out[i] = e(i);
            if (out[i] != 0) bits = static_cast<std::uint8_t>(bits | (0x80 >> i));
        }
        if (Bus.WriteOutputs) Bus.WriteOutputs(p.BusId, bits);
        break;
    }
    case kCodeBUSIN: {
        const std::uint8_t bits = Bus.ReadInputs ? Bus.ReadInputs(p.BusId) : 0;
        for (std::size_t i = 0; i < 8; ++i) out[i] = (bits & (0x80 >> i)) ? 1 : 0;
        break;
    }
    case kCodeBUSTEMP:
        for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = Bus.ReadTenths ? Bus.ReadTenths(p.BusId, i) : 0;
        break;
    case kCodeBUSPWM:
        for (std::size_t i = 0; i < 2; ++i) {
            out[i] = e(i);
            if (Bus.WritePwm)
                Bus.WritePwm(p.BusId, static_cast<int>(i), static_cast<std::uint8_t>(std::clamp(out[i], 0, 255)));
        }
        break;
    case kCodeCALC: {
        const std::int64_t a = e(0), b = e(1);
        std::int64_t q = 0;
        switch (p.CalcType) {
        case 0: q = a + b; break;
        case 1: q = a - b; break;
        case 2: q = a * b; break;
        case 3:
            // Truncated towards zero, magnitude at most 65535; division by zero gives 0.
            if (b != 0) q = std::clamp<std::int64_t>(a / b, -65535, 65535);
            break;
        default: break;
        }
        out[0] = static_cast<std::int32_t>(std::clamp<std::int64_t>(q, INT32_MIN, INT32_MAX));
        break;
    }
    case kCodeROLLO: {
        if (secondPulse && s.counter > 0) --s.counter;
        std::array<bool, 5> level{};
        std::array<bool, 5> rise{};
        for (std::size_t i = 0; i < 5; ++i) {
            level[i] = e(i) != 0;
            rise[i] = risingEdge(s, i, e(i));
        }
        const std::int32_t time = p.RolloTime;
        auto run = [&](std::int32_t dir) {
            s.direction = dir;
            s.counter = dir == 0 ? 0 : time;
        };
        if (rise[0]) run(s.direction == 0 ? 1 : 0);
        if (rise[1]) run(s.direction == 0 ? 2 : 0);
        if (rise[3]) run(s.direction == 2 ? 0 : 1);
        if (rise[4]) run(s.direction == 1 ? 0 : 2);
        const bool up = level[0] || level[3];
        const bool down = level[1] || level[4];
        if (up && down) run(0);
        if (level[2]) run(0);
        if (s.counter <= 0) run(0);
        out[0] = s.direction == 1 ? 1 : 0;
        out[1] = s.direction == 2 ? 1 : 0;
        break;
    }
    case kCodeVALUE: {
        if (risingEdge(s, 0, e(0))) s.value += p.Inc;
        if (risingEdge(s, 1, e(1))) s.value -= p.Inc;
        const std::int32_t set = e(2);
        if (set != s.setMemory) s.value = set;
        s.setMemory = set;
        if (s.value > p.Max) s.value = p.Max;
        if (s.value < p.Min) s.value = p.Min;
        out[0] = s.value;
        break;
    }
    case kCodeRELAY: out[0] = e(2) != 0 ? e(1) : e(0); break;
    case kCodeASWITCH:
        for (std::size_t i = 0; i < 4; ++i)
            if (risingEdge(s, i, e(i))) s.value = p.Wert[i];
        out[0] = s.value;
        break;
    default: break; // unknown codes compute nothing
    }
}

std::array<std::uint16_t, 8> TImageRunner::LiveWords(std::uint8_t object) const {
    std::array<std::uint16_t, 8> w{};
    const int at = index_[object];
    if (at == 0) return w;
    const TImageObject& o = image_.Objects[static_cast<std::size_t>(at - 1)];
    const State& s = states_[static_cast<std::size_t>(at - 1)];
    for (std::size_t i = 0; i < 8; ++i) w[i] = asWord(s.out[i]);
    switch (o.TypeCode) {
    case kCodeTIMER:
        w[2] = asWord(s.counter);
        w[3] = asWord(o.Params.Seconds);
        break;
    case kCodeCOUNT:
        w[2] = asWord(s.counter);
        w[4] = asWord(o.Params.Count);
        break;
    case kCodeROLLO:
        w[3] = asWord(s.direction);
        w[4] = asWord(s.counter);
        break;
    case kCodeSCHWELLE:
        w[1] = asWord(s.value);
        w[2] = asWord(o.Params.ThresholdUp);
        w[3] = asWord(o.Params.ThresholdDown);
        break;
    case kCodeVALUE:
        w[5] = asWord(o.Params.Max);
        w[6] = asWord(o.Params.Min);
        break;
    default: break;
    }
    return w;
}

} // namespace v7300

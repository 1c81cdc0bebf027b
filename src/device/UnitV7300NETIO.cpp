#include "device/UnitV7300NETIO.h"

#include "core/Error.h"

#include <algorithm>
#include <cstdio>

namespace v7300 {
namespace {

TV7300Telegram make(std::uint8_t command, std::uint8_t kind, std::vector<std::uint8_t> payload = {}) {
    TV7300Telegram t;
    t.Command = command;
    t.Kind = kind;
    t.Payload = std::move(payload);
    return t;
}

std::uint8_t hi(std::uint32_t v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); }
std::uint8_t lo(std::uint32_t v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint16_t word(const std::vector<std::uint8_t>& p, std::size_t at) {
    return static_cast<std::uint16_t>((p[at] << 8) | p[at + 1]);
}

} // namespace

std::string CommandName(std::uint8_t code) {
    switch (code) {
    case CmdBootMode: return "BOOT_MODE";
    case CmdSerialNumber: return "SERIAL_NUMBER";
    case CmdFirmwareVersion: return "FIRMWARE_VERSION";
    case CmdUserData: return "USER_DATA";
    case CmdStartUpdate: return "START_UPDATE";
    case CmdUpdateData: return "UPDATE_DATA";
    case CmdEndUpdate: return "END_UPDATE";
    case CmdStartProgram: return "START_PROGRAM";
    case CmdWriteEeprom: return "WRITE_EEPROM";
    case CmdLogikState: return "LOGIK_STATE";
    case CmdDebugLevel: return "DEBUG_LEVEL";
    case CmdReadEeprom: return "READ_EEPROM";
    case CmdDebug: return "DEBUG";
    case CmdPing: return "PING";
    case CmdRestart: return "RESTART";
    case CmdDataPin: return "DATA_PIN";
    case CmdClock: return "CLOCK";
    case CmdLogikOutput: return "LOGIK_OUTPUT";
    case CmdLogikLiveView: return "LOGIK_LIVE_VIEW";
    case CmdExpansionStage: return "EXPANSION_STAGE";
    case CmdRs485: return "RS485";
    case CmdError: return "ERROR";
    default: return "Unknown";
    }
}

TV7300Telegram MakePing() { return make(CmdPing, kKindPing); }
TV7300Telegram MakeRequestFirmwareVersion() { return make(CmdFirmwareVersion, kKindGet); }
TV7300Telegram MakeRequestClock() { return make(CmdClock, kKindGet); }

TV7300Telegram MakeSetClock(int offsetHours, const DateTime& time) {
    offsetHours = std::clamp(offsetHours, -12, 12);
    const int sundayFirst = time.dayOfWeek(); // 1 = Sunday … 7 = Saturday
    const int isoWeekday = sundayFirst == 1 ? 7 : sundayFirst - 1;
    const DateTime newYear{time.year, 1, 1, 0, 0, 0, 0};
    const std::int64_t dayOfYear = (time.toEpochMs() - newYear.toEpochMs()) / 86400000 + 1;
    return make(CmdClock, kKindSet,
                {static_cast<std::uint8_t>(time.hour), static_cast<std::uint8_t>(time.minute),
                 static_cast<std::uint8_t>(time.second), static_cast<std::uint8_t>(isoWeekday - 1),
                 hi(static_cast<std::uint32_t>(dayOfYear)), lo(static_cast<std::uint32_t>(dayOfYear)),
                 static_cast<std::uint8_t>(offsetHours + 12)});
}

TV7300Telegram MakeReadEeprom(std::uint16_t address, std::uint8_t count) {
    return make(CmdReadEeprom, kKindGet, {hi(address), lo(address), count});
}

TV7300Telegram MakeWriteEepromBlock(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> payload{hi(address), lo(address)};
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    if (payload.size() > 255) throw Error("EEPROM-Block zu lang");
    return make(CmdWriteEeprom, kKindSet, std::move(payload));
}

TV7300Telegram MakeSetLogicState() { return make(CmdLogikState, kKindSet, {0x00}); }
TV7300Telegram MakeRestart() { return make(CmdRestart, kKindSet); }
TV7300Telegram MakeRequestLiveData(std::uint8_t objectNumber) {
    return make(CmdLogikOutput, kKindGet, {objectNumber});
}
TV7300Telegram MakeRequestExpansionStage() { return make(CmdExpansionStage, kKindGet); }

TV7300Telegram MakeBusCommand(std::uint8_t busCommand, std::uint8_t busId, std::uint8_t kind,
                              const std::vector<std::uint8_t>& data) {
    if (data.size() > 16) throw Error("Bus-Befehl: höchstens 16 Datenbytes");
    std::vector<std::uint8_t> payload{busCommand, busId};
    payload.insert(payload.end(), data.begin(), data.end());
    payload.resize(18, 0x00);
    return make(CmdRs485, kind, std::move(payload));
}

// --- replies

std::optional<std::uint8_t> DecodePingClients(const TV7300Telegram& reply) {
    if (reply.Payload.empty()) return std::nullopt;
    return reply.Payload[0];
}

std::string TFirmwareVersion::Text() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u.%02u.%02u", Major, Minor, Build);
    return buf;
}

std::optional<TFirmwareVersion> DecodeFirmwareVersion(const TV7300Telegram& reply) {
    if (reply.Payload.size() < 3) return std::nullopt;
    return TFirmwareVersion{reply.Payload[0], reply.Payload[1], reply.Payload[2]};
}

std::string TDeviceClock::WeekdayText() const {
    static const char* const names[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    return Weekday <= 6 ? names[Weekday] : "??";
}

int DecodeOffsetByte(std::uint8_t value) { return value >= 50 ? value - 256 : value; }

std::optional<TDeviceClock> DecodeClock(const TV7300Telegram& reply) {
    const auto& p = reply.Payload;
    if (p.size() < 7) return std::nullopt;
    TDeviceClock c;
    c.Hour = p[0];
    c.Minute = p[1];
    c.Second = p[2];
    c.Weekday = p[3];
    c.DayOfYear = word(p, 4);
    c.OffsetHours = DecodeOffsetByte(p[6]);
    return c;
}

std::optional<TExpansionStage> DecodeExpansionStage(const TV7300Telegram& reply) {
    if (reply.Payload.empty()) return std::nullopt;
    const std::uint8_t b = reply.Payload[0];
    return TExpansionStage{(b & 1) != 0, (b & 2) != 0, (b & 4) != 0};
}

std::string DeviceErrorKindText(std::uint8_t kind) {
    switch (kind) {
    case DeviceErrorChecksum: return "CRC FAIL";
    case DeviceErrorNoEtx: return "NO ETX";
    case DeviceErrorNoStx: return "NO STX";
    case DeviceErrorLength: return "LENGTH";
    case DeviceErrorTimeout: return "TIMEOUT";
    default: return "Not Known";
    }
}

std::string TErrorReport::Text() const {
    std::string s = CommandName(FailedCommand) + ": " + DeviceErrorKindText(Kind);
    switch (Kind) {
    case DeviceErrorChecksum:
    case DeviceErrorLength:
        s += " (" + std::to_string(Detail1) + "/" + std::to_string(Detail2) + ")";
        break;
    case DeviceErrorNoEtx: s += " (" + std::to_string(Detail1) + ")"; break;
    default: break;
    }
    return s;
}

std::optional<TErrorReport> DecodeErrorReport(const TV7300Telegram& reply) {
    const auto& p = reply.Payload;
    if (reply.Command != CmdError || p.size() < 2) return std::nullopt;
    TErrorReport r;
    r.FailedCommand = p[0];
    r.Kind = p[1];
    r.Detail1 = p.size() > 2 ? p[2] : 0;
    r.Detail2 = p.size() > 3 ? p[3] : 0;
    return r;
}

std::optional<TEepromRead> DecodeEepromRead(const TV7300Telegram& reply) {
    if (reply.Payload.size() < 2) return std::nullopt;
    TEepromRead r;
    r.Address = word(reply.Payload, 0);
    r.Bytes.assign(reply.Payload.begin() + 2, reply.Payload.end());
    return r;
}

std::optional<TLiveData> DecodeLiveData(const TV7300Telegram& reply) {
    const auto& p = reply.Payload;
    if (p.size() < 5) return std::nullopt;
    TLiveData d;
    d.ObjectNumber = p[0];
    d.Checksum = word(p, 1);
    d.CycleTimeMs = static_cast<std::int16_t>(word(p, 3));
    for (std::size_t at = 5; at + 1 < p.size() && d.Words.size() < 8; at += 2) d.Words.push_back(word(p, at));
    return d;
}

std::optional<TBusReply> DecodeBusReply(const TV7300Telegram& reply) {
    const auto& p = reply.Payload;
    if (p.size() < 2) return std::nullopt;
    TBusReply r;
    r.BusCommand = p[0];
    r.BusId = p[1];
    for (std::size_t i = 2; i < p.size() && i < 18; ++i) r.Data[i - 2] = p[i];
    return r;
}

// --- the gateway

TV7300NETIO::TV7300NETIO(TLinkPorts ports) : link_(std::make_unique<THardwareV7300NETIO>(ports)) {}

void TV7300NETIO::Ping() { link_->Send(MakePing()); }
void TV7300NETIO::RequestFirmwareVersion() { link_->Send(MakeRequestFirmwareVersion()); }
void TV7300NETIO::RequestClock() { link_->Send(MakeRequestClock()); }
void TV7300NETIO::SetClock(int offsetHours, const DateTime& time) { link_->Send(MakeSetClock(offsetHours, time)); }
void TV7300NETIO::ReadEeprom(std::uint16_t address, std::uint8_t count) {
    link_->Send(MakeReadEeprom(address, count));
}
void TV7300NETIO::WriteEepromBlock(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
    link_->Send(MakeWriteEepromBlock(address, bytes));
}
void TV7300NETIO::SetLogicState() { link_->Send(MakeSetLogicState()); }
void TV7300NETIO::Restart() { link_->Send(MakeRestart()); }
void TV7300NETIO::RequestLiveData(std::uint8_t objectNumber) { link_->Send(MakeRequestLiveData(objectNumber)); }
void TV7300NETIO::RequestExpansionStage() { link_->Send(MakeRequestExpansionStage()); }
void TV7300NETIO::SendBusCommand(std::uint8_t busCommand, std::uint8_t busId, std::uint8_t kind,
                                 const std::vector<std::uint8_t>& data) {
    link_->Send(MakeBusCommand(busCommand, busId, kind, data));
}

} // namespace v7300

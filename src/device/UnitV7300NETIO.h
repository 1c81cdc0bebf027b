#pragma once
// The program's gateway to the controller: one operation per request, the
// command names, and typed readers of the replies. Requests are fire-and-forget;
// replies arrive later through the one installed telegram handler.
#include "core/Clock.h"
#include "device/UnitHardwareV7300NETIO.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace v7300 {

// Command codes.
enum TV7300Command : std::uint8_t {
    CmdBootMode = 1,
    CmdSerialNumber = 2,
    CmdFirmwareVersion = 3,
    CmdUserData = 4,
    CmdStartUpdate = 5,
    CmdUpdateData = 6,
    CmdEndUpdate = 7,
    CmdStartProgram = 8,
    CmdWriteEeprom = 9,
    CmdLogikState = 10,
    CmdDebugLevel = 11,
    CmdReadEeprom = 12,
    CmdDebug = 13,
    CmdPing = 14,
    CmdRestart = 15,
    CmdDataPin = 16,
    CmdClock = 17,
    CmdLogikOutput = 18,
    CmdLogikLiveView = 19,
    CmdExpansionStage = 21,
    CmdRs485 = 161,
    CmdError = 255,
};

// Request kinds.
inline constexpr std::uint8_t kKindSet = 1;
inline constexpr std::uint8_t kKindGet = 2;
inline constexpr std::uint8_t kKindPing = 4;

// "PING", "READ_EEPROM" …; "Unknown" for any other code.
std::string CommandName(std::uint8_t code);

// --- the request telegrams (payloads high byte first)
TV7300Telegram MakePing();
TV7300Telegram MakeRequestFirmwareVersion();
TV7300Telegram MakeRequestClock();
// offsetHours −12 … +12 (clamped); date and time as the device shall show them.
TV7300Telegram MakeSetClock(int offsetHours, const DateTime& time);
TV7300Telegram MakeReadEeprom(std::uint16_t address, std::uint8_t count);
TV7300Telegram MakeWriteEepromBlock(std::uint16_t address, const std::vector<std::uint8_t>& bytes);
TV7300Telegram MakeSetLogicState();
TV7300Telegram MakeRestart();
TV7300Telegram MakeRequestLiveData(std::uint8_t objectNumber);
TV7300Telegram MakeRequestExpansionStage();
// data of at most 16 bytes (Error otherwise); the payload is padded to 18 bytes.
TV7300Telegram MakeBusCommand(std::uint8_t busCommand, std::uint8_t busId, std::uint8_t kind,
                              const std::vector<std::uint8_t>& data);

// --- typed replies; each reader returns nothing when the payload is too short
// (or, for the error report, when the telegram is no error report).

// Ping reply: the number of TCP clients, nothing for an empty payload (old firmware).
std::optional<std::uint8_t> DecodePingClients(const TV7300Telegram& reply);

struct TFirmwareVersion {
    std::uint8_t Major = 0, Minor = 0, Build = 0;
    std::string Text() const; // "02.02.02"
    bool operator==(const TFirmwareVersion&) const = default;
};
std::optional<TFirmwareVersion> DecodeFirmwareVersion(const TV7300Telegram& reply);

struct TDeviceClock {
    std::uint8_t Hour = 0, Minute = 0, Second = 0;
    std::uint8_t Weekday = 0;     // 0 = Monday … 6 = Sunday
    std::uint16_t DayOfYear = 1;  // 1 = 1 January
    int OffsetHours = 0;          // signed
    std::string WeekdayText() const; // "Mo" … "So", "??" above 6
    bool operator==(const TDeviceClock&) const = default;
};
std::optional<TDeviceClock> DecodeClock(const TV7300Telegram& reply);
// The offset byte of a clock reply as hours: 50 and more are negative (value − 256).
int DecodeOffsetByte(std::uint8_t value);

struct TExpansionStage {
    bool Display = false;  // bit 0: display (I2C)
    bool Clock = false;    // bit 1: real-time clock
    bool Eeprom = false;   // bit 2: EEPROM
    bool operator==(const TExpansionStage&) const = default;
};
std::optional<TExpansionStage> DecodeExpansionStage(const TV7300Telegram& reply);

// Error report (code 255).
enum TDeviceErrorKind : std::uint8_t {
    DeviceErrorChecksum = 1, // details: device's CRC, program's CRC
    DeviceErrorNoEtx = 2,    // detail 1: the byte found
    DeviceErrorNoStx = 3,
    DeviceErrorLength = 4,   // details: device's count, program's count
    DeviceErrorTimeout = 5,
    DeviceErrorNotKnown = 6,
};
struct TErrorReport {
    std::uint8_t FailedCommand = 0;
    std::uint8_t Kind = 0;
    std::uint8_t Detail1 = 0, Detail2 = 0;
    // A readable line: command name, kind and its details.
    std::string Text() const;
    bool operator==(const TErrorReport&) const = default;
};
std::optional<TErrorReport> DecodeErrorReport(const TV7300Telegram& reply);
// Text of an error kind ("CRC FAIL", "NO ETX", "NO STX", "LENGTH", "TIMEOUT", "Not Known").
std::string DeviceErrorKindText(std::uint8_t kind);

struct TEepromRead {
    std::uint16_t Address = 0;
    std::vector<std::uint8_t> Bytes;
    bool operator==(const TEepromRead&) const = default;
};
std::optional<TEepromRead> DecodeEepromRead(const TV7300Telegram& reply);

// Live data of one object (code 18): object number, checksum the device holds,
// its cycle time and up to eight value words (as many as the payload holds).
struct TLiveData {
    std::uint8_t ObjectNumber = 0;
    std::uint16_t Checksum = 0;
    std::int16_t CycleTimeMs = 0;
    std::vector<std::uint16_t> Words; // words at payload bytes 5–6, 7–8, …
    std::int16_t Signed(std::size_t i) const { return i < Words.size() ? static_cast<std::int16_t>(Words[i]) : 0; }
    std::uint16_t Unsigned(std::size_t i) const { return i < Words.size() ? Words[i] : 0; }
};
// Needs at least the five header bytes.
std::optional<TLiveData> DecodeLiveData(const TV7300Telegram& reply);

// Bus reply (code 161): bus command, bus id and the 16 data bytes (missing ones 0).
struct TBusReply {
    std::uint8_t BusCommand = 0;
    std::uint8_t BusId = 0;
    std::array<std::uint8_t, 16> Data{};
};
std::optional<TBusReply> DecodeBusReply(const TV7300Telegram& reply);

class TV7300NETIO {
public:
    // Creates the link (Error when no port is free); device address "192.168.0.91".
    explicit TV7300NETIO(TLinkPorts ports = {});

    void Ping();
    void RequestFirmwareVersion();
    void RequestClock();
    void SetClock(int offsetHours, const DateTime& time);
    void ReadEeprom(std::uint16_t address, std::uint8_t count);
    void WriteEepromBlock(std::uint16_t address, const std::vector<std::uint8_t>& bytes);
    void SetLogicState();
    void Restart();
    void RequestLiveData(std::uint8_t objectNumber);
    void RequestExpansionStage();
    void SendBusCommand(std::uint8_t busCommand, std::uint8_t busId, std::uint8_t kind,
                        const std::vector<std::uint8_t>& data);

    std::string GetAddress() const { return link_->GetDeviceAddress(); }
    void SetAddress(const std::string& address) { link_->SetDeviceAddress(address); }

    // Exactly one handler of each kind: installing replaces the previous one;
    // an empty handler drops the events.
    void SetTelegramHandler(THardwareV7300NETIO::TelegramHandler handler) { link_->OnTelegram = std::move(handler); }
    void SetErrorHandler(THardwareV7300NETIO::LinkErrorHandler handler) { link_->OnLinkError = std::move(handler); }

    THardwareV7300NETIO& Link() { return *link_; }
    const THardwareV7300NETIO& Link() const { return *link_; }

private:
    std::unique_ptr<THardwareV7300NETIO> link_;
};

} // namespace v7300

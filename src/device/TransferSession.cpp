#include "device/TransferSession.h"

#include "core/Error.h"
#include "core/TextCodec.h"

#include <algorithm>
#include <cstdio>

namespace v7300 {
namespace {

std::string hex2(std::uint8_t value) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", value);
    return buf;
}

// Text bytes of the device for a log line: control characters are not passed
// on to the log (or to the terminal of the command line).
std::string printable(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) text.push_back(b < 0x20 || b == 0x7F ? '.' : static_cast<char>(b));
    return cp1252ToUtf8(text);
}

std::string errorDetail(const TErrorReport& r) {
    switch (r.Kind) {
    case DeviceErrorChecksum: return "CRC ( V7300-NET-IO: 0x" + hex2(r.Detail1) + " PC: 0x" + hex2(r.Detail2) + ")";
    case DeviceErrorNoEtx: return "ETX Fehlerhaft (" + hex2(r.Detail1) + ")";
    case DeviceErrorNoStx: return "STX Fehlerhaft";
    case DeviceErrorLength:
        return "LENGTH ( V7300-NET-IO: " + std::to_string(r.Detail1) + " PC: " + std::to_string(r.Detail2) + ")";
    case DeviceErrorTimeout: return "TIMEOUT";
    case DeviceErrorNotKnown: return "Not Known";
    default: return "";
    }
}

} // namespace

std::string TransferLogLine(const DateTime& time, const std::string& message) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d", time.hour % 100, time.minute % 100, time.second % 100,
                  time.millisecond % 1000);
    return std::string(stamp) + " >> " + message;
}

TTransferSession::TTransferSession(TV7300_EEPROM_Data image, std::int32_t programChecksum, std::string address,
                                   SendFn send, Clock& clock, MessagePort& messages, TDeviceSearch* search)
    : image_(std::move(image)), checksum_(programChecksum), address_(std::move(address)), send_(std::move(send)),
      clock_(clock), messages_(messages), search_(search ? search : &ownSearch_) {
    const std::int64_t now = clock_.monotonicMs();
    nextPing_ = now + kPingIntervalMs;
    nextCheck_ = now + kCheckIntervalMs;
}

// ------------------------------------------------------------------ helpers

void TTransferSession::log(const std::string& message) {
    const std::string line = TransferLogLine(clock_.localNow(), message);
    log_.push_back(line);
    if (log_.size() > kMaxLogLines) {
        log_.pop_front();
        ++logDropped_;
    }
    if (OnLog) OnLog(line);
}

void TTransferSession::send(const TV7300Telegram& telegram) { send_(address_, telegram); }

void TTransferSession::setButtons(bool enabled) {
    view_.TransferEnabled = enabled;
    view_.ClockEnabled = enabled;
}

bool TTransferSession::transferRunning() const {
    return phase_ == TTransferPhase::Transferring || phase_ == TTransferPhase::Pausing;
}

// ------------------------------------------------------------------ timers

void TTransferSession::onTick(std::int64_t now) {
    const auto due = [now](std::int64_t& next, std::int64_t interval) {
        if (now < next) return false;
        next += interval;
        if (next <= now) next = now + interval; // a late host gets one run, not a burst
        return true;
    };
    if (due(nextPing_, kPingIntervalMs)) pingCycle();
    if (due(nextCheck_, kCheckIntervalMs)) connectionCheck();

    if (phase_ == TTransferPhase::Transferring) {
        if (now - lastAckAt_ >= kGiveUpMs) {
            giveUp();
        } else if (blockDeadline_ && now >= *blockDeadline_) {
            // The block or its acknowledgement was lost: step back one block and send again.
            position_ = std::max(0, position_ - kBlockSize);
            sendBlock();
        }
    }
    if (phase_ == TTransferPhase::Pausing && pauseUntil_ && now >= *pauseUntil_) {
        pauseUntil_.reset();
        RestartDevice();
        // The PC's ARP cache is left alone: an ordinary user cannot clear it here.
        log("ARP-Cache des PCs wird nicht geleert; nach einer Adressänderung kann die Verbindung einige "
            "Sekunden brauchen.");
        log("Update komplete.");
        phase_ = TTransferPhase::Done;
    }
    if (search_->onTick(now)) view_.SearchReady = true;
    view_.Busy = search_->Busy();
}

std::int64_t TTransferSession::NextDeadline() const {
    std::int64_t next = std::min(nextPing_, nextCheck_);
    if (phase_ == TTransferPhase::Transferring) {
        next = std::min(next, lastAckAt_ + kGiveUpMs);
        if (blockDeadline_) next = std::min(next, *blockDeadline_);
    }
    if (pauseUntil_) next = std::min(next, *pauseUntil_);
    if (const auto d = search_->Deadline()) next = std::min(next, *d);
    return next;
}

void TTransferSession::pingCycle() {
    // A failure in these requests is ignored: the next cycle tries again.
    try {
        send(MakePing());
        send(MakeRequestClock());
        send(MakeRequestFirmwareVersion());
        send(MakeRequestLiveData(0));
        send(MakeRequestExpansionStage());
    } catch (const Error&) {
    }
}

void TTransferSession::connectionCheck() {
    if (pingReplies_ < 1) {
        view_.Status = kStatusNoConnection;
        setButtons(false);
    } else {
        // Besides on a new connection, the configuration is asked for again
        // until it has arrived: after a restart that the checks did not notice,
        // and after a lost reply.
        if (view_.Status != kStatusConnected || configPending_) ReadConfiguration();
        view_.Status = kStatusConnected;
    }
    pingReplies_ = 0;
}

// ------------------------------------------------------------------ commands

void TTransferSession::ReadConfiguration() {
    send(MakeRequestClock());
    log("Lese Konfiguration...");
    send(MakeReadEeprom(0, kConfigReadCount));
}

void TTransferSession::RestartDevice() {
    log("Neustart.");
    send(MakeRestart());
    pingReplies_ = 0;
    configPending_ = true;
}

bool TTransferSession::StartTransfer() {
    if (!view_.TransferEnabled || transferRunning()) return false;
    setButtons(false);
    if (settings_.WebPort == settings_.TelnetPort) {
        messages_.showPlain(kPortsIdentical);
        return false;
    }
    try {
        WriteConfigBlock(settings_, checksum_, image_);
    } catch (const Error& e) {
        messages_.showError(e.what());
        return false;
    }
    log("Deaktiviere Debug Mode!");
    position_ = 0;
    send(MakeSetLogicState());
    phase_ = TTransferPhase::Transferring;
    lastAckAt_ = clock_.monotonicMs();
    sendBlock();
    return true;
}

bool TTransferSession::SetDeviceClock() {
    if (!view_.ClockEnabled) return false;
    send(MakeSetClock(settings_.TimeZone - 12, clock_.localNow()));
    return true;
}

void TTransferSession::SearchDevices() {
    search_->Start(clock_.monotonicMs(), send_);
    view_.Busy = search_->Busy();
}

void TTransferSession::FinishSearch(const std::optional<std::string>& chosen) {
    view_.SearchReady = false;
    if (chosen) address_ = *chosen;
}

// ------------------------------------------------------------------ transfer

void TTransferSession::sendBlock() {
    blockDeadline_.reset();
    const std::int32_t start = position_;
    std::vector<std::uint8_t> block(kBlockSize, 0xFF);
    for (auto& byte : block)
        if (position_ < image_.GetSize()) byte = image_.ReadByteAt(position_++);
    log("Sende Daten: " + std::to_string(position_) + "/" + std::to_string(image_.GetSize()));
    send(MakeWriteEepromBlock(static_cast<std::uint16_t>(start), block));
    blockDeadline_ = clock_.monotonicMs() + kBlockTimeoutMs;
}

void TTransferSession::onAcknowledge() {
    // An acknowledgement outside a transfer (a late one after the last block)
    // must not start writing the image again.
    if (phase_ != TTransferPhase::Transferring) return;
    lastAckAt_ = clock_.monotonicMs();
    log("Schreibe " + std::to_string(position_) + " / " + std::to_string(image_.GetSize()));
    if (position_ < image_.GetSize()) {
        view_.ProgressMax = image_.GetSize();
        view_.ProgressPosition = position_;
        sendBlock();
    } else {
        finishTransfer();
    }
}

void TTransferSession::finishTransfer() {
    position_ = 0;
    send(MakeSetLogicState());
    view_.ProgressMax = image_.GetSize();
    view_.ProgressPosition = image_.GetSize();
    log("Deaktiviere Debug Mode");
    blockDeadline_.reset();
    // The restart follows after a second, on the timer: nothing waits here.
    phase_ = TTransferPhase::Pausing;
    pauseUntil_ = clock_.monotonicMs() + kRestartPauseMs;
}

void TTransferSession::giveUp() {
    phase_ = TTransferPhase::Aborted;
    position_ = 0;
    blockDeadline_.reset();
    view_.Status = kNoAcknowledgement;
    log(kNoAcknowledgement);
    setButtons(!firmwareOutdated_);
}

// ------------------------------------------------------------------ replies

void TTransferSession::onTelegram(const TV7300Telegram& t) {
    const auto& p = t.Payload;
    switch (t.Command) {
    case CmdBootMode: log("Device ist nun im Bootloader Modus!"); break;
    case CmdSerialNumber:
        if (p.size() >= 4) log(hex2(p[0]) + hex2(p[1]) + "-" + hex2(p[2]) + hex2(p[3]));
        break;
    case CmdFirmwareVersion: onFirmware(t); break;
    case CmdUserData: log(printable(p)); break;
    case CmdStartUpdate:
    case CmdUpdateData:
        if (p.size() >= 2) {
            blockSize_ = static_cast<std::uint16_t>(p[0] * 256 + p[1]);
            log("Blocksize: " + std::to_string(blockSize_));
        }
        break;
    case CmdWriteEeprom: onAcknowledge(); break;
    case CmdReadEeprom: onConfiguration(t); break;
    case CmdPing:
        ++pingReplies_;
        deviceSeen_ = true;
        search_->Add(t.PeerAddress);
        break;
    case CmdClock: onClock(t); break;
    case CmdLogikOutput:
        if (p.size() >= 5) view_.CycleTime = std::to_string(p[3] * 256 + p[4]) + " ms";
        break;
    case CmdExpansionStage: onExpansionStage(t); break;
    case CmdError: onDeviceError(t); break;
    default: break;
    }
}

void TTransferSession::onLinkError(std::uint8_t code) { log("PC-Error: " + LinkErrorText(code)); }

void TTransferSession::onConfiguration(const TV7300Telegram& t) {
    const auto read = DecodeEepromRead(t);
    if (!read) return;
    configPending_ = false;
    // Neither a running transfer nor an outdated firmware gets its buttons back here.
    if (!transferRunning() && !firmwareOutdated_) setButtons(true);
    log("Konfiguration gelesen");
    if (ReadConfigBlock(read->Address, read->Bytes, settings_) == TConfigReadResult::Filled)
        view_.LogicCrc = LogicCrcText(read->Bytes);
}

void TTransferSession::onFirmware(const TV7300Telegram& t) {
    const auto version = DecodeFirmwareVersion(t);
    if (!version) return;
    firmware_ = version;
    const std::string text = version->Text();
    firmwareOutdated_ = text != kCurrentFirmware;
    if (firmwareOutdated_) {
        view_.FirmwareLine = "Firmware: " + text + " (Veraltet!!!!)";
        view_.FirmwareColour = kColourRed;
        setButtons(false);
    } else {
        view_.FirmwareLine = "Firmware: " + text + " (Aktuell)";
        view_.FirmwareColour = kColourGreen;
    }
}

void TTransferSession::onClock(const TV7300Telegram& t) {
    const auto& p = t.Payload;
    if (p.size() < 7) return;
    static const char* const days[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So", "??"};
    const std::string zone = p[6] < 50 ? "GMT +" + std::to_string(p[6]) : "GMT " + std::to_string(p[6] - 256);
    char text[96];
    std::snprintf(text, sizeof text, "%s %.2d:%.2d:%.2d  Tag %.3d  %s", days[std::min<int>(p[3], 7)], p[0], p[1], p[2],
                  p[4] * 256 + p[5], zone.c_str());
    view_.ClockLine = std::string("NET-IO-Uhrzeit: ") + text;
}

void TTransferSession::onExpansionStage(const TV7300Telegram& t) {
    const auto stage = DecodeExpansionStage(t);
    if (!stage) return;
    const bool found[3] = {stage->Display, stage->Clock, stage->Eeprom};
    for (std::size_t i = 0; i < view_.Panels.size(); ++i) {
        auto& panel = view_.Panels[i];
        panel.Colour = found[i] ? kColourLightGreen : kColourLightRed;
        panel.Lowered = found[i];
        panel.Hint = panel.Caption + (found[i] ? " gefunden" : " nicht verfügbar");
    }
}

void TTransferSession::onDeviceError(const TV7300Telegram& t) {
    const auto report = DecodeErrorReport(t);
    if (!report) return;
    log("NET-IO-Error: [" + CommandName(report->FailedCommand) + "] " + errorDetail(*report));
}

} // namespace v7300

#include "device/EepromReadback.h"

#include <algorithm>

namespace v7300 {

TEepromReadback::TEepromReadback(SendFn send, EnoughFn enough, std::size_t atLeast)
    : send_(std::move(send)), enough_(std::move(enough)), atLeast_(std::min(atLeast, kMaxBytes)) {}

void TEepromReadback::Start(std::int64_t now) {
    bytes_.clear();
    state_ = TState::Reading;
    tries_ = 0;
    request(now);
}

void TEepromReadback::request(std::int64_t now) {
    ++tries_;
    asked_ = static_cast<std::uint8_t>(std::min<std::size_t>(kBlockBytes, kMaxBytes - bytes_.size()));
    send_(MakeReadEeprom(static_cast<std::uint16_t>(bytes_.size()), asked_));
    deadline_ = now + kReplyTimeoutMs;
}

void TEepromReadback::onTelegram(const TV7300Telegram& telegram, std::int64_t now) {
    if (state_ != TState::Reading) return;
    if (telegram.Command == CmdError) {
        // The controller refuses to read here: its EEPROM ends before this address.
        const auto report = DecodeErrorReport(telegram);
        if (report && report->FailedCommand == CmdReadEeprom) finish();
        return;
    }
    if (telegram.Command != CmdReadEeprom) return;
    const auto read = DecodeEepromRead(telegram);
    // A reply to an earlier, repeated request carries another address.
    if (!read || read->Address != bytes_.size()) return;
    const std::size_t got = std::min<std::size_t>(read->Bytes.size(), asked_);
    bytes_.insert(bytes_.end(), read->Bytes.begin(), read->Bytes.begin() + static_cast<long>(got));
    tries_ = 0;
    const bool eepromEnds = got < asked_ || bytes_.size() >= kMaxBytes;
    if (eepromEnds || (bytes_.size() >= atLeast_ && enough_(bytes_))) {
        finish();
        return;
    }
    request(now);
}

void TEepromReadback::onTick(std::int64_t now) {
    if (state_ != TState::Reading || now < deadline_) return;
    if (tries_ >= kTries) {
        state_ = TState::Failed;
        return;
    }
    request(now);
}

void TEepromReadback::finish() { state_ = TState::Done; }

} // namespace v7300

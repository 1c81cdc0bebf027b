#pragma once
// Reads the controller's EEPROM back from address 0 in ReadEeprom blocks until
// the bytes read are enough for the caller, the EEPROM ends, or the controller
// stops answering. A lost request or reply is asked for again after a short
// wait, a few times, before the read fails.
//
// Plain state machine: the host feeds replies and ticks (monotonic ms).
#include "device/UnitV7300NETIO.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace v7300 {

class TEepromReadback {
public:
    using SendFn = std::function<void(const TV7300Telegram&)>;
    // Asked after every block: are these bytes (from address 0) enough?
    using EnoughFn = std::function<bool(const std::vector<std::uint8_t>&)>;

    static constexpr std::uint8_t kBlockBytes = 64;
    static constexpr std::int64_t kReplyTimeoutMs = 500;
    static constexpr int kTries = 5;
    static constexpr std::size_t kMaxBytes = 8192;

    enum class TState { Reading, Done, Failed };

    // `atLeast` bytes are read before `enough` is first asked.
    TEepromReadback(SendFn send, EnoughFn enough, std::size_t atLeast);

    void Start(std::int64_t now);
    void onTelegram(const TV7300Telegram& telegram, std::int64_t now);
    void onTick(std::int64_t now);
    std::int64_t NextDeadline() const { return deadline_; }

    TState State() const { return state_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    void request(std::int64_t now);
    void finish();

    SendFn send_;
    EnoughFn enough_;
    std::size_t atLeast_;
    std::vector<std::uint8_t> bytes_;
    TState state_ = TState::Reading;
    std::uint8_t asked_ = 0;
    int tries_ = 0;
    std::int64_t deadline_ = 0;
};

} // namespace v7300

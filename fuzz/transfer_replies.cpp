// What a controller (or any host on the network) may answer during a transfer:
// a stream of datagrams, each fed to the transfer session and, as EEPROM
// bytes, to the read-back comparison. Input: datagrams separated by their
// length byte (first byte n, then n bytes).
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/ImageCompare.h"
#include "device/TransferSession.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    VirtualClock clock;
    SilentMessagePort messages;
    TV7300_EEPROM_Data image;
    for (int i = 0; i < 100; ++i) image.AppendByte(0xFF);
    std::size_t sent = 0;
    TTransferSession session(image, 0x1234, "127.0.0.1",
                             [&](const std::string&, const TV7300Telegram&) { ++sent; }, clock, messages);
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = data[at++];
        const std::size_t take = n < size - at ? n : size - at;
        TV7300Telegram t;
        if (ParseDatagram(data + at, take, "127.0.0.1", t) == 0) session.onTelegram(t);
        else if (take > 0) session.onLinkError(data[at]);
        if (take > 1 && data[at] == 0x42) session.StartTransfer();
        clock.advanceMs(1 + (take > 0 ? data[at + take - 1] * 20 : 0));
        session.onTick(clock.monotonicMs());
        at += take;
    }
    // The same bytes as an EEPROM read back.
    const std::vector<std::uint8_t> eeprom(data, data + size);
    CompareDeviceImage({{"AND1", "AND"}}, image, 0x1234, eeprom);
    if (session.LogLines().size() > TTransferSession::kMaxLogLines) __builtin_trap();
    return 0;
}

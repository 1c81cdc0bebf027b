// What a controller (or any host on the network) may answer while the bus
// configuration is open: a stream of datagrams fed to the bus session, with
// the user's commands in between. Input: datagrams separated by their length
// byte (first byte n, then n bytes); the first byte of each picks a command.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/BusConfigSession.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    VirtualClock clock;
    SilentMessagePort messages;
    std::size_t sent = 0;
    TBusConfigSession session([&](const TV7300Telegram&) { ++sent; }, clock, messages);
    session.Fields().AutoFetch = true;
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = data[at++];
        const std::size_t take = n < size - at ? n : size - at;
        TV7300Telegram t;
        if (ParseDatagram(data + at, take, "127.0.0.1", t) == 0) session.onTelegram(t);
        if (take > 1) {
            const std::uint8_t pick = data[at];
            const std::uint8_t arg = data[at + 1];
            switch (pick % 8) {
            case 0: session.Select(arg % 40 - 4); break;
            case 1: session.TogglePort(arg % 10); break;
            case 2: session.ShowPwmSettings(); break;
            case 3: session.Fields().DeviceId = std::to_string(arg); session.TransferId(); break;
            case 4: session.ToggleSearch(); break;
            case 5: session.Fields().Pwm = {arg * 3 - 200, arg}; session.SendPwm(); break;
            case 6: session.ClearList(); break;
            default: break;
            }
        }
        clock.advanceMs(1 + (take > 0 ? data[at + take - 1] * 20 : 0));
        session.onTick(clock.monotonicMs());
        at += take;
    }
    if (session.LogLines().size() > TBusConfigSession::kMaxLogLines) __builtin_trap();
    if (session.Devices().size() > 256) __builtin_trap();
    return 0;
}

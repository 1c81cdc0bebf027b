// Datagram reception: the link's checks and the virtual controller's answer to
// any bytes that arrive on its port.
#include "core/Clock.h"
#include "device/UnitHardwareV7300NETIO.h"
#include "device/VirtualController.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    if (size > kReceiveBufferSize) size = kReceiveBufferSize; // the socket cuts longer datagrams
    TV7300Telegram telegram;
    if (ParseDatagram(data, size, "127.0.0.1", telegram) == 0) {
        // A valid telegram frames back to the same bytes up to the CRC.
        const auto again = BuildDatagram(telegram);
        for (std::size_t i = 9; i + 1 < again.size(); ++i)
            if (again[i] != data[i]) __builtin_trap();
    }
    static VirtualClock clock;
    static std::unique_ptr<TVirtualController> controller = [] {
        TVirtualControllerOptions options;
        options.Port = 0;
        options.Bus = {ParseBusModule("1:O:0.2:4"), ParseBusModule("2:T:0.2:2"), ParseBusModule("3:P:0.2:2")};
        return std::make_unique<TVirtualController>(options, clock);
    }();
    for (const auto& reply : controller->HandleDatagram(data, size)) {
        TV7300Telegram answer;
        if (ParseDatagram(reply.data(), reply.size(), "", answer) != 0) __builtin_trap();
    }
    clock.advanceMs(10);
    controller->Tick();
    return 0;
}

// The transfer of a 2 KB image to the virtual controller on 127.0.0.1: from the
// transfer command to the last acknowledgement (the one-second pause before
// the restart is not part of it). Target: under 100 ms.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/TransferSession.h"
#include "device/VirtualController.h"

#include <benchmark/benchmark.h>

#include <poll.h>

namespace {

using namespace v7300;

TV7300Telegram answer(std::uint8_t command, std::vector<std::uint8_t> payload) {
    TV7300Telegram t;
    t.Command = command;
    t.Payload = std::move(payload);
    t.PeerAddress = "127.0.0.1";
    return t;
}

void BM_Transfer2KB(benchmark::State& state) {
    SystemClock clock;
    TVirtualControllerOptions options;
    options.Port = 0;
    TVirtualController controller(options, clock);
    TLinkPorts ports;
    ports.DevicePort = controller.Port();
    TV7300NETIO netio(ports);
    netio.SetAddress("127.0.0.1");
    SilentMessagePort messages;
    TV7300_EEPROM_Data image;
    for (int i = 0; i < 2048; ++i) image.AppendByte(static_cast<std::uint8_t>(i < 49 ? 0xFF : i));

    for (auto _ : state) {
        TTransferSession session(image, 0x1234, "127.0.0.1",
                                 [&](const std::string&, const TV7300Telegram& t) { netio.Link().Send(t); }, clock,
                                 messages);
        netio.SetTelegramHandler([&](const TV7300Telegram& t) { session.onTelegram(t); });
        // A device that has answered and reported an empty configuration: the buttons are enabled.
        session.onTelegram(answer(CmdPing, {0}));
        session.onTelegram(answer(CmdReadEeprom, std::vector<std::uint8_t>(47, 0xFF)));
        if (!session.StartTransfer()) state.SkipWithError("transfer refused");
        while (session.Phase() == TTransferPhase::Transferring) {
            pollfd fds[2] = {{controller.Descriptor(), POLLIN, 0}, {netio.Link().Descriptor(), POLLIN, 0}};
            if (::poll(fds, 2, 100) > 0) {
                controller.ReadPending();
                netio.Link().ReadPending();
            }
            session.onTick(clock.monotonicMs());
        }
        if (session.Phase() != TTransferPhase::Pausing) state.SkipWithError("transfer did not finish");
    }
    state.SetBytesProcessed(state.iterations() * image.GetSize());
}
BENCHMARK(BM_Transfer2KB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// What a controller (or any host on the network) may answer during a live
// view: a stream of datagrams fed to the live-view session between ticks of a
// virtual clock. Input: datagrams separated by their length byte (first byte
// n, then n bytes); the last byte of each chooses how far the clock moves.
#include "core/Clock.h"
#include "core/MessagePort.h"
#include "device/LiveView.h"

#include <cstddef>
#include <cstdint>

namespace {

class CountingSink : public v7300::TLiveValueSink {
public:
    void SetOutputState(const std::string&, int n, std::int32_t) override { writes += n >= 1 && n <= 8 ? 1 : 1000; }
    void SetObjectValue(const std::string&, const std::string&, double) override { ++writes; }
    std::size_t writes = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace v7300;
    SilentMessagePort messages;
    CountingSink sink;
    std::size_t sent = 0;
    TLiveView live([&](const TV7300Telegram&) { ++sent; }, sink, messages);
    std::int64_t now = 0;
    live.Start({"TXT1", "TIMER1", "BUS-TEMP-II1", "BUS-IN-VIII1", "VALUE1", "SCHWELLE1", "COUNT1", "ROLLO1", "ASWITCH1"},
               0x4321, now);
    for (std::size_t at = 0; at < size;) {
        const std::size_t n = data[at++];
        const std::size_t take = n < size - at ? n : size - at;
        TV7300Telegram t;
        if (ParseDatagram(data + at, take, "127.0.0.1", t) == 0) live.onTelegram(t);
        now += take > 0 ? data[at + take - 1] : 1;
        live.onTick(now);
        if (!live.Running()) live.Start({"TIMER1", "TXT1", "AND1"}, 0x4321, now);
        at += take;
    }
    // Outputs 1 … 8 only; at most nine values a reply.
    if (sink.writes >= 1000 || live.LiveInterval() < TLiveView::kMinIntervalMs ||
        live.LiveInterval() > TLiveView::kMaxIntervalMs || live.RateHistory().size() > TLiveView::kRateHistory)
        __builtin_trap();
    return 0;
}

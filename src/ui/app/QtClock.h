#pragma once
// The editor's clock: the machine's calendar time through QDateTime and a
// monotonic counter through QElapsedTimer.
#include "core/Clock.h"

#include <QElapsedTimer>

namespace v7300 {

class TQtClock : public Clock {
public:
    TQtClock();
    DateTime utcNow() override;
    DateTime localNow() override;
    std::int64_t monotonicMs() override;
    void sleepMs(std::int64_t ms) override;

private:
    QElapsedTimer elapsed_;
};

} // namespace v7300

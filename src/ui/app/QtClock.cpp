#include "ui/app/QtClock.h"

#include <QDateTime>
#include <QThread>

namespace v7300 {

namespace {
DateTime fromQt(const QDateTime& t) {
    const QDate d = t.date();
    const QTime c = t.time();
    return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second(), c.msec()};
}
} // namespace

TQtClock::TQtClock() { elapsed_.start(); }

DateTime TQtClock::utcNow() { return fromQt(QDateTime::currentDateTimeUtc()); }
DateTime TQtClock::localNow() { return fromQt(QDateTime::currentDateTime()); }
std::int64_t TQtClock::monotonicMs() { return elapsed_.elapsed(); }
void TQtClock::sleepMs(std::int64_t ms) {
    if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace v7300

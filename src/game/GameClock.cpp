#include "game/GameClock.h"

namespace stakko {

namespace {

qint64 Now() {
    return QDeadlineTimer::current(Qt::PreciseTimer).deadline();
}

} // namespace

TGameClock::TGameClock(QObject* parent) : QObject(parent) {
    FTimer.setTimerType(Qt::PreciseTimer); // one row per second, not "about"
    connect(&FTimer, &QTimer::timeout, this, &TGameClock::Tick);
}

void TGameClock::setInterval(int ms) {
    FInterval = qMax(1, ms);
    if (FRunning)
        start();
}

void TGameClock::start() {
    FRunning = true;
    FNextTick = Now() + FInterval;
    if (FHeld)
        FTimer.stop();
    else
        FTimer.start(FInterval);
}

void TGameClock::stop() {
    FRunning = false;
    FTimer.stop();
}

qint64 TGameClock::NextTickFrom(qint64 now) const {
    if (FNextTick >= now)
        return FNextTick;
    const qint64 missed = (now - FNextTick) / FInterval + 1;
    return FNextTick + missed * FInterval;
}

int TGameClock::remainingTime() const {
    if (!FRunning)
        return -1;
    if (FTimer.isActive())
        return FTimer.remainingTime();
    const qint64 now = Now();
    return int(NextTickFrom(now) - now);
}

void TGameClock::Hold(bool held) {
    if (held == FHeld)
        return;
    FHeld = held;
    if (!FRunning)
        return;
    if (held) {
        FTimer.stop();
        return;
    }
    // The first tick after the hold comes when the rhythm has it; then the
    // timer goes back to the full interval (in Tick).
    const qint64 now = Now();
    FNextTick = NextTickFrom(now);
    FTimer.start(int(FNextTick - now));
}

void TGameClock::Tick() {
    FNextTick = NextTickFrom(qMax(Now(), FNextTick + 1));
    if (FTimer.interval() != FInterval)
        FTimer.start(FInterval);
    emit timeout();
}

} // namespace stakko

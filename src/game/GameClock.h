#pragma once
// The game clock: a repeating timer (one tick a second) that can be held
// while nothing may happen, so that the program is not woken at all. Held,
// it still counts as running; let go, it ticks on in its old rhythm, as if
// it had ticked meanwhile (ticks that would have done nothing):
//
//   TGameClock clock;
//   clock.setInterval(1000);
//   clock.start();       // ticks 1 s from now, then every second
//   clock.Hold(true);    // the window went inactive: no wake-ups
//   clock.Hold(false);   // active again: the next tick keeps the rhythm

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

namespace stakko {

class TGameClock : public QObject {
    Q_OBJECT
public:
    explicit TGameClock(QObject* parent = nullptr);

    [[nodiscard]] int interval() const { return FInterval; }
    // A running clock starts afresh with the new interval.
    void setInterval(int ms);
    // Starts (or starts again): the first tick one interval from now.
    void start();
    void stop();
    // Running, held or not.
    [[nodiscard]] bool isActive() const { return FRunning; }
    // Milliseconds to the next tick of the rhythm; -1 when not running.
    [[nodiscard]] int remainingTime() const;

    void Hold(bool held);
    [[nodiscard]] bool Held() const { return FHeld; }
    // Whether the clock will wake the program (running and not held).
    [[nodiscard]] bool Ticking() const { return FTimer.isActive(); }

signals:
    void timeout();

private:
    void Tick();
    // The next tick of the rhythm that is not in the past.
    [[nodiscard]] qint64 NextTickFrom(qint64 now) const;

    QTimer FTimer;
    int FInterval = 1000;
    bool FRunning = false;
    bool FHeld = false;
    // When the next tick is due, in QDeadlineTimer's clock (ms).
    qint64 FNextTick = 0;
};

} // namespace stakko

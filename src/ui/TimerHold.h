#pragma once
// Holds the program's timers while it waits for something in a loop of its
// own, such as a sound that has to end before a message appears: the loop
// still paints and delivers posted events, but no QTimer of the program
// fires inside it, so that no game logic runs in the middle of a message
// box. Qt's own basic timers (the audio output feeds itself with one) keep
// running, and so does the timer that bounds the wait.
//
//   QEventLoop loop;
//   QTimer deadline;   // connected to loop.quit and started
//   const qz::TTimerHold hold(&deadline);
//   loop.exec();       // the deadline fires, the game's clock does not
//
// A held tick is not lost for good: a repeating timer ticks on in its
// rhythm after the hold (the ticks meanwhile are dropped, as those of a
// program that was busy), a single-shot one fires at its next turn.

#include <QObject>

namespace qz {

class TTimerHold : public QObject {
public:
    // Holds every QTimer of the application's thread but `keep`.
    explicit TTimerHold(const QObject* keep = nullptr);
    ~TTimerHold() override;
    TTimerHold(const TTimerHold&) = delete;
    TTimerHold& operator=(const TTimerHold&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QObject* FKeep;
};

} // namespace qz

// The game clock: held, it counts as running but does not wake the
// program; let go, it keeps the rhythm it had instead of beginning a fresh
// interval, and after that first tick it ticks at the full interval again.
#include "game/GameClock.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace stakko;

TEST(GameClock, HeldItRunsWithoutWakingAndLetGoItKeepsItsRhythm) {
    TGameClock clock;
    clock.setInterval(1000);
    EXPECT_FALSE(clock.isActive());
    EXPECT_EQ(clock.remainingTime(), -1);

    clock.start();
    QTest::qSleep(60);
    clock.Hold(true);
    EXPECT_TRUE(clock.isActive());
    EXPECT_FALSE(clock.Ticking());
    const int held = clock.remainingTime();
    EXPECT_GE(held, 0);
    EXPECT_LT(held, 990) << "the time already run counts";

    clock.Hold(false);
    EXPECT_TRUE(clock.Ticking());
    EXPECT_LE(clock.remainingTime(), held) << "not a fresh second";

    // Stopped while held, it stays stopped when let go; started while
    // held, it begins ticking only when let go.
    clock.Hold(true);
    clock.stop();
    clock.Hold(false);
    EXPECT_FALSE(clock.isActive());
    EXPECT_FALSE(clock.Ticking());
    clock.Hold(true);
    clock.start();
    EXPECT_TRUE(clock.isActive());
    EXPECT_FALSE(clock.Ticking());
    clock.Hold(false);
    EXPECT_TRUE(clock.Ticking());
}

TEST(GameClock, AfterAHoldTheTicksComeAtTheFullIntervalAgain) {
    TGameClock clock;
    clock.setInterval(300);
    QList<int> remainingAtTick;
    QObject::connect(&clock, &TGameClock::timeout,
                     [&] { remainingAtTick.append(clock.remainingTime()); });
    clock.start();
    QTest::qSleep(200);
    clock.Hold(true);
    clock.Hold(false); // about 100 ms to the next tick
    QSignalSpy ticks(&clock, &TGameClock::timeout);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 2; }, 5000)) << "no ticks";
    ASSERT_GE(remainingAtTick.size(), 2);
    // Right after a tick the next one is a full interval away.
    EXPECT_GT(remainingAtTick[0], 150);
    EXPECT_GT(remainingAtTick[1], 150);

    // A held clock misses its ticks; no tick is made up when let go.
    clock.Hold(true);
    const int before = int(ticks.count());
    QTest::qWait(700);
    EXPECT_EQ(ticks.count(), before);
    clock.Hold(false);
    EXPECT_LE(clock.remainingTime(), 300);
}

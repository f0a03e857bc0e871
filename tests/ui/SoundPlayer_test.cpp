// The player over Qt Multimedia and the message boxes' recordings.
#include "ui/SoundPlayer.h"

#include "common/RecordingChecks.h"
#include "ui/TimerHold.h"

#include <algorithm>

#include <QBasicTimer>
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSoundEffect>
#include <QTest>
#include <QTimer>

using qz::QtSoundPlayer;
using namespace std::chrono_literals;

namespace {

// No sound server for this process, whatever the machine offers: the tests
// stay silent and see the player as a machine without an audio device.
[[maybe_unused]] const bool NoSoundServer = qputenv("PULSE_SERVER", "unix:/nonexistent/native");

const RecordingRow MessageRecordings[] = {
    {"hinweis", 1, 22050, 0.5},
    {"warnung", 1, 22050, 0.6},
    {"fehler", 1, 22050, 0.6},
};

class MessageRecording : public ::testing::TestWithParam<RecordingRow> {};

TEST_P(MessageRecording, IsPleasantPcmOfItsFormatAndLength) {
    ExpectPleasantRecording(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sounds, MessageRecording, ::testing::ValuesIn(MessageRecordings),
                         RowName());

QList<QSoundEffect*> Effects() {
    return QCoreApplication::instance()->findChildren<QSoundEffect*>();
}

// Each test starts as a fresh process does: without the process's voice,
// whatever an earlier test played.
class QtSoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        delete QCoreApplication::instance()->findChild<QObject*>(QStringLiteral("qz.sound.voice"),
                                                                 Qt::FindDirectChildrenOnly);
        ASSERT_TRUE(Effects().isEmpty());
    }

    // Qt reads a recording in a thread of its own; a process that ends while
    // it reads leaves that reader's objects behind, which LeakSanitizer rightly
    // reports. The effect's status alone does not tell: without an audio
    // device it can settle while the reader still works. So each test ends
    // once its recordings are read and the reader thread itself has ended.
    void TearDown() override {
        const bool settled = QTest::qWaitFor(
            [] {
                const auto effects = Effects();
                return !ReaderThreadRuns() &&
                       std::none_of(effects.begin(), effects.end(), [](const QSoundEffect* e) {
                           return e->status() == QSoundEffect::Loading;
                       });
            },
            5000);
        EXPECT_TRUE(settled) << "a recording was still being read after 5 s";
    }

    // Qt names the reader thread after its object, cut to the 15 characters
    // the kernel keeps; until it has named itself, a new thread carries the
    // program's name.
    static bool ReaderThreadRuns() {
        const QByteArray program = ThreadName(QStringLiteral("/proc/self"));
        const QString self = QString::number(QCoreApplication::applicationPid());
        QDirIterator tasks(QStringLiteral("/proc/self/task"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (tasks.hasNext()) {
            const QString task = tasks.next();
            if (tasks.fileName() == self)
                continue;
            const QByteArray name = ThreadName(task);
            if (name == "QSampleCache::L" || name == program)
                return true;
        }
        return false;
    }

    static QByteArray ThreadName(const QString& task) {
        QFile comm(task + QStringLiteral("/comm"));
        return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
    }
};

TEST(QtSoundPlayer, LengthComesFromTheWaveHeaderAndNamesIgnoreCase) {
    EXPECT_EQ(QtSoundPlayer::ResourcePath(QStringLiteral("Hinweis")),
              QStringLiteral(":/sounds/hinweis.wav"));
    EXPECT_EQ(QtSoundPlayer::Length(QStringLiteral("hinweis")), 500ms);
    EXPECT_EQ(QtSoundPlayer::Length(QStringLiteral("FEHLER")), 600ms);
    EXPECT_EQ(QtSoundPlayer::Length(QStringLiteral("nothere")), 0ms);
}

TEST_F(QtSoundPlayerTest, AMissingRecordingIsNotHeardAndOpensNoAudio) {
    QtSoundPlayer player;
    player.Play(QStringLiteral("nothere"));
    player.PlayToEnd(QStringLiteral("nothere"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(Effects().isEmpty());
}

TEST_F(QtSoundPlayerTest, AllPlayersShareOneVoiceOpenedInTheEventLoopAndTheLastSoundWins) {
    QtSoundPlayer game;
    QtSoundPlayer dialogs;
    game.Play(QStringLiteral("hinweis"));
    dialogs.Play(QStringLiteral("warnung"));
    EXPECT_TRUE(Effects().isEmpty()) << "the audio opens only once the event loop runs";
    ASSERT_TRUE(QTest::qWaitFor([] { return !Effects().isEmpty(); }, 5000))
        << "the audio never opened";
    ASSERT_EQ(Effects().size(), 1);
    EXPECT_EQ(Effects()[0]->source().toString(), QStringLiteral("qrc:/sounds/warnung.wav"));

    game.Play(QStringLiteral("fehler"));
    ASSERT_EQ(Effects().size(), 1);
    EXPECT_EQ(Effects()[0]->source().toString(), QStringLiteral("qrc:/sounds/fehler.wav"));
}

TEST_F(QtSoundPlayerTest, PlayToEndReturnsWhereNoDeviceEverReportsTheEnd) {
    QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    player.PlayToEnd(QStringLiteral("warnung"));
    // A hang guard, not a speed goal: the recording and the allowance for
    // a late report take 2.6 s at most.
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(Effects().size(), 1) << "played at once, without waiting for the event loop";
    EXPECT_EQ(Effects()[0]->source().toString(), QStringLiteral("qrc:/sounds/warnung.wav"));
}

// Counts the ticks of a basic timer, as Qt's audio output feeds itself.
class BasicTicker : public QObject {
public:
    BasicTicker() { FTimer.start(1, this); }
    int ticks = 0;

protected:
    void timerEvent(QTimerEvent*) override { ++ticks; }

private:
    QBasicTimer FTimer;
};

// While a sound is waited for: the program's timers wait, the audio's
// own timers, posted events and the bound of the wait go on.
TEST(TimerHold, HoldsTheProgramsTimersWhileTheWaitGoesOn) {
    int clockTicks = 0, singleShots = 0;
    QTimer clock; // the game's fall clock
    QObject::connect(&clock, &QTimer::timeout, [&] { ++clockTicks; });
    clock.start(1);
    QTimer once;
    once.setSingleShot(true);
    QObject::connect(&once, &QTimer::timeout, [&] { ++singleShots; });
    once.start(5);
    BasicTicker audio;
    bool posted = false;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(150);
    // Not a QTimer object: a hang guard the hold cannot catch.
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    QMetaObject::invokeMethod(
        &loop, [&] { posted = true; }, Qt::QueuedConnection);
    QElapsedTimer waited;
    waited.start();
    {
        const qz::TTimerHold hold(&deadline);
        loop.exec();
    }
    EXPECT_LT(waited.elapsed(), 5000) << "the kept timer did not end the wait";
    EXPECT_EQ(clockTicks, 0);
    EXPECT_EQ(singleShots, 0);
    EXPECT_GT(audio.ticks, 0);
    EXPECT_TRUE(posted);

    // Let go, the held timers go on: the clock ticks, the single shot fires once.
    EXPECT_TRUE(QTest::qWaitFor([&] { return clockTicks > 0 && singleShots == 1; }, 5000));
}

} // namespace

#include "ui/SoundPlayer.h"

#include "ui/TimerHold.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QtEndian>

#include <utility>

namespace qz {

namespace {

using std::chrono::milliseconds;

// How long the audio may wait for the first frame of a window that does
// not come (a window shown minimised, say), and how often it looks.
constexpr milliseconds FirstFrameWait{2000};
constexpr milliseconds FirstFrameLook{15};
// What PlayToEnd allows beyond a recording's length for the output to
// report its end: through PulseAudio the end comes about 1.2 s late.
constexpr milliseconds EndReportMargin{2000};

// The one voice of the process: a single sound effect, made on first use
// and owned by the application object. Opening the audio output can take
// a while (a sound server may have to be started), so a sound asked for
// while a shown window still waits for its first frame is kept until that
// frame is painted; a later sound asked for meanwhile replaces it.
class Voice : public QObject {
public:
    // Null without an application object: then nothing plays.
    static Voice* Get() {
        if (!TheVoice && QCoreApplication::instance()) {
            TheVoice = new Voice(QCoreApplication::instance());
            // Gone while the application object still stands: as one of its
            // children it would die after the instance is cleared, and Qt
            // Multimedia, still reading a recording then, can hang the exit.
            static const bool releaseAtExit = (qAddPostRoutine(&Release), true);
            Q_UNUSED(releaseAtExit);
        }
        return TheVoice;
    }

    // Starts the recording at `path` (a resource path) once the audio may
    // open, or at once when `now` is set.
    void Start(const QString& path, bool now) {
        if (!FEffect && !now) {
            FPending = path;
            if (!FOpenTimer.isActive()) {
                FOpenDeadline.setRemainingTime(FirstFrameWait);
                FOpenTimer.start(0);
            }
            return;
        }
        Open();
        FPending.clear();
        StartNow(path);
    }

    QSoundEffect* Effect() const { return FEffect; }

private:
    explicit Voice(QObject* parent) : QObject(parent) {
        // Named, so that a test can find it and start again without it.
        setObjectName(QStringLiteral("qz.sound.voice"));
        FOpenTimer.setSingleShot(true);
        connect(&FOpenTimer, &QTimer::timeout, this, &Voice::OpenWhenFramesShown);
    }

    void OpenWhenFramesShown() {
        if (AWindowAwaitsItsFirstFrame() && !FOpenDeadline.hasExpired()) {
            FOpenTimer.start(FirstFrameLook);
            return;
        }
        Open();
        if (!FPending.isEmpty())
            StartNow(std::exchange(FPending, QString()));
    }

    static bool AWindowAwaitsItsFirstFrame() {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return false;
        for (const QWindow* w : QGuiApplication::topLevelWindows())
            if (w->isVisible() && !w->isExposed())
                return true;
        return false;
    }

    void Open() {
        FOpenTimer.stop();
        if (!FEffect)
            FEffect = new QSoundEffect(this);
    }

    void StartNow(const QString& path) {
        // Stop first, always: without an audio device an effect may go on
        // reporting that it plays and then ignore the next play().
        FEffect->stop();
        FEffect->setSource(QUrl(QStringLiteral("qrc") + path));
        if (QMediaDevices::defaultAudioOutput().isNull())
            return; // no device: nothing to hear, nothing to wait for
        FEffect->play();
    }

    static void Release() { delete TheVoice.data(); }

    static inline QPointer<Voice> TheVoice;

    QSoundEffect* FEffect = nullptr;
    QString FPending;
    QTimer FOpenTimer;
    QDeadlineTimer FOpenDeadline;
};

} // namespace

QString QtSoundPlayer::ResourcePath(const QString& name) {
    return QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
}

std::chrono::milliseconds QtSoundPlayer::Length(const QString& name) {
    QFile file(ResourcePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return milliseconds(0);
    const QByteArray wave = file.readAll();
    if (wave.size() < 12 || !wave.startsWith("RIFF") || wave.mid(8, 4) != "WAVE")
        return milliseconds(0);
    // Walk the chunks: "fmt " gives the bytes per second, "data" the size.
    quint32 bytesPerSecond = 0;
    for (qsizetype at = 12; at + 8 <= wave.size();) {
        const QByteArray id = wave.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(wave.constData() + at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= wave.size() &&
            qFromLittleEndian<quint16>(wave.constData() + body) == 1)
            bytesPerSecond = qFromLittleEndian<quint32>(wave.constData() + body + 8);
        if (id == "data" && bytesPerSecond > 0)
            return milliseconds(qint64(size) * 1000 / bytesPerSecond);
        at = body + qsizetype(size) + qsizetype(size % 2);
    }
    return milliseconds(0);
}

void QtSoundPlayer::Play(const QString& name) {
    const QString path = ResourcePath(name);
    if (!QFile::exists(path))
        return; // no recording: nothing to hear, and no audio opened for it
    if (Voice* voice = Voice::Get())
        voice->Start(path, false);
}

void QtSoundPlayer::PlayToEnd(const QString& name) {
    const QString path = ResourcePath(name);
    Voice* voice = Voice::Get();
    if (!voice || !QFile::exists(path))
        return;
    voice->Start(path, true);
    QPointer<QSoundEffect> effect = voice->Effect();
    if (!effect->isPlaying())
        return;
    QEventLoop loop;
    const auto endIfStopped = [&loop, effect] {
        if (!effect || !effect->isPlaying() || effect->status() == QSoundEffect::Error)
            loop.quit();
    };
    QObject::connect(effect, &QSoundEffect::playingChanged, &loop, endIfStopped);
    QObject::connect(effect, &QSoundEffect::statusChanged, &loop, endIfStopped);
    QObject::connect(effect, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(Length(name) + EndReportMargin);
    // The audio output needs the loop; the caller's timers (the game's
    // clock) must not run inside the message that waits for the sound.
    const TTimerHold hold(&deadline);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace qz

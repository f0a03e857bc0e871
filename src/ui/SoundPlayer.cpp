#include "ui/SoundPlayer.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace qz {

QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

QString QtSoundPlayer::ResourcePath(const QString& name) {
    return QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
}

void QtSoundPlayer::Play(const QString& name) {
    const QString path = ResourcePath(name);
    if (!QFile::exists(path))
        return; // no recording: nothing to hear
    // One effect object for all sounds, so the next sound cuts off the last.
    // It is made on first use: a program without recordings never opens the
    // audio device.
    if (!FEffect)
        FEffect = std::make_unique<QSoundEffect>();
    FEffect->stop();
    FEffect->setSource(QUrl(QStringLiteral("qrc") + path));
    FEffect->play();
}

void QtSoundPlayer::PlayToEnd(const QString& name) {
    Play(name);
    if (!FEffect || !QFile::exists(ResourcePath(name)))
        return;
    // Wait for the effect to stop, but never for ever: without an audio
    // device an effect may report that it plays indefinitely.
    QEventLoop loop;
    QObject::connect(FEffect.get(), &QSoundEffect::playingChanged, &loop, [&loop, this] {
        if (!FEffect->isPlaying())
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace qz

#include "game/SoundPlayer.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

namespace stakko {

const std::array<QString, 8> SoundNames = {QStringLiteral("space"),    QStringLiteral("ding"),
                                           QStringLiteral("xylophon"), QStringLiteral("nice"),
                                           QStringLiteral("klingel1"), QStringLiteral("loser"),
                                           QStringLiteral("gefahr"),   QStringLiteral("gewonn1")};

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

} // namespace stakko

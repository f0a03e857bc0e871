#pragma once
// The game's sound effects: eight named recordings, played asynchronously
// through a player that tests can replace. A recording that is missing or
// cannot be played is simply not heard.

#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

class QSoundEffect;

namespace stakko {

// Sound numbers used by the game.
enum : quint8 {
    SoundStart = 0,
    SoundOneRow = 1,
    SoundLost = 5,
    SoundDanger = 6,
    SoundRecord = 7,
};

// Recording names by sound number, in lower case.
extern const std::array<QString, 8> SoundNames;

class SoundPlayer {
public:
    SoundPlayer() = default;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;
    virtual ~SoundPlayer() = default;
    // Starts the recording `name` and returns at once; a sound still
    // playing is cut off.
    virtual void Play(const QString& name) = 0;
};

// Plays the WAV resource ":/sounds/<name>.wav" with Qt Multimedia.
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void Play(const QString& name) override;

    [[nodiscard]] static QString ResourcePath(const QString& name);

private:
    std::unique_ptr<QSoundEffect> FEffect;
};

} // namespace stakko

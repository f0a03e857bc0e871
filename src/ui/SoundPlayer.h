#pragma once
// Plays the WAV recordings embedded in the program as Qt resources
// (":/sounds/<name>.wav"), through a player that tests can replace. Used by
// the game for its effects and by the message boxes for their sounds. A
// recording that is missing or cannot be played is simply not heard.

#include <QString>

#include <memory>

class QSoundEffect;

namespace qz {

class SoundPlayer {
public:
    SoundPlayer() = default;
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;
    virtual ~SoundPlayer() = default;
    // Starts the recording `name` and returns at once; a sound still
    // playing is cut off.
    virtual void Play(const QString& name) = 0;
    // Plays the recording `name` to its end before returning.
    virtual void PlayToEnd(const QString& name) = 0;
};

// Plays the WAV resource ":/sounds/<name>.wav" with Qt Multimedia.
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void Play(const QString& name) override;
    void PlayToEnd(const QString& name) override;

    [[nodiscard]] static QString ResourcePath(const QString& name);

private:
    std::unique_ptr<QSoundEffect> FEffect;
};

} // namespace qz

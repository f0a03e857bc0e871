#pragma once
// Plays the WAV recordings embedded in the program as Qt resources
// (":/sounds/<name>.wav"), through a player that tests can replace. Used by
// the game for its effects and by the message boxes for their sounds
// ("$name text" plays `name` and shows the text at once, "$!name text"
// plays it to its end first):
//
//   qz::QtSoundPlayer player;
//   player.Play(QStringLiteral("hinweis"));      // returns at once
//   player.PlayToEnd(QStringLiteral("fehler"));  // returns when it has ended
//
// A recording that is missing or cannot be played is simply not heard, and
// nothing ever waits for a sound without a bound.

#include <QString>

#include <chrono>

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

// Plays the WAV resource ":/sounds/<name>.wav" with Qt Multimedia, straight
// from the program's memory. All players of the process share one voice,
// as the platform's own sound call does: whichever player starts a sound
// cuts off the one before, so of several sounds in one game step the last
// is heard.
//
// Nothing touches the audio system before the first frame of the program's
// windows is on the screen: a sound asked for earlier (the start sound)
// begins a moment later. Without any audio device the sound is dropped.
class QtSoundPlayer : public SoundPlayer {
public:
    // Starts the recording in the background.
    void Play(const QString& name) override;
    // Waits for the end while the program goes on painting (user input
    // waits, and the program's timers are held: ui/TimerHold.h), but
    // never longer than the recording's length and two seconds: an audio
    // output reports the end late, and one without a working device
    // behind it may never report it.
    void PlayToEnd(const QString& name) override;

    //   ResourcePath("Ding") == ":/sounds/ding.wav"
    [[nodiscard]] static QString ResourcePath(const QString& name);
    // The playing time of the recording after its WAVE header; zero when
    // it is missing or not a PCM WAVE file.
    [[nodiscard]] static std::chrono::milliseconds Length(const QString& name);
};

} // namespace qz

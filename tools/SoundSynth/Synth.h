#pragma once
// A small additive synthesiser: notes made of partials (sine waves at
// multiples of the note's frequency), each shaped by an envelope, mixed
// into a track that is then mastered to 8-bit samples.
//
//   Track t(22050, 1, 0.5);
//   t.Add({.start = 0, .length = 0.2, .frequency = Midi(84)}, chime, ring);
//   std::vector<std::uint8_t> samples = t.Master({});

#include <cstdint>
#include <vector>

namespace synth {

struct Partial {
    double ratio = 1;     // frequency as a multiple of the note's
    double amplitude = 1; // relative to the other partials
    double decay = 0;     // extra exponential fall per second: metal and wood lose highs first
    double lag = 0;       // seconds the partial needs to speak: brass brightens as it sounds
};

struct Timbre {
    std::vector<Partial> partials;
    double vibratoHz = 0;
    double vibratoDepth = 0; // fraction of the frequency
    double vibratoDelay = 0; // seconds of plain tone; the vibrato then grows in as long again
    double detuneCents = 0;  // two voices this far apart make a pad sound wide; 0 is one voice
};

// Raised-cosine attack and release keep every note free of clicks.
struct Envelope {
    double attack = 0.01;  // seconds to full level
    double decay = 0.1;    // time constant of the fall towards the sustain level
    double sustain = 1;    // level held while the note is held
    double release = 0.05; // seconds from the end of the note to silence
};

struct Note {
    double start = 0;  // seconds into the track
    double length = 0; // seconds the note is held; its release follows
    double frequency = 440;
    double level = 1;
    double pan = 0;   // -1 left to +1 right, on stereo tracks
    double glide = 0; // semitones the pitch moves while the note is held
};

struct Mastering {
    double fadeIn = 0.008; // seconds at the start
    double fadeOut = 0.06; // seconds before the silent tail
    // Seconds of silence at the end: the audio output may swallow the last
    // 100 to 130 ms of a sample, so nothing of the sound may sit there.
    double tail = 0.16;
    double loudness = 0.17; // RMS of the loudest 200 ms, fraction of full scale
    double peak = 0.7;      // highest peak allowed, fraction of full scale
};

// Frequency of a MIDI key: 69 is A4 at 440 Hz, 60 is middle C.
[[nodiscard]] double Midi(double key);

class Track {
public:
    Track(int rate, int channels, double seconds);

    void Add(const Note& note, const Timbre& timbre, const Envelope& envelope);
    // A feedback echo: every `delay` seconds the sound comes back, each
    // time `feedback` as loud; `mix` is the level of the echoes. On stereo
    // tracks the echoes alternate between the sides.
    void Echo(double delay, double feedback, double mix);
    // Fades, sets the loudness, keeps peaks in bounds and quantises to
    // unsigned 8-bit samples (128 is silence), interleaved by channel.
    // Triangular dither, from a fixed seed so that every build writes
    // the same bytes, goes only where there is sound: silence stays 128.
    [[nodiscard]] std::vector<std::uint8_t> Master(const Mastering& mastering) const;

    [[nodiscard]] int Rate() const { return FRate; }
    [[nodiscard]] int Channels() const { return FChannels; }
    [[nodiscard]] std::size_t Frames() const { return FFrames; }

private:
    int FRate;
    int FChannels;
    std::size_t FFrames;
    std::vector<double> FSamples; // interleaved
};

} // namespace synth

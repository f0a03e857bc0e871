#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

namespace {

constexpr double Pi = std::numbers::pi;

// 0 to 1 along half a cosine: a rise without a corner at either end.
double SmoothStep(double x) {
    return x <= 0 ? 0 : x >= 1 ? 1 : 0.5 - 0.5 * std::cos(Pi * x);
}

double LevelWhileHeld(const Envelope& e, double t) {
    if (t < e.attack)
        return SmoothStep(t / e.attack);
    return e.sustain + (1 - e.sustain) * std::exp(-(t - e.attack) / e.decay);
}

double EnvelopeAt(const Envelope& e, double t, double length) {
    if (t < length)
        return LevelWhileHeld(e, t);
    return LevelWhileHeld(e, length) * (1 - SmoothStep((t - length) / e.release));
}

// A small deterministic generator for the dither.
class XorShift {
public:
    double Next() {
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return double(FState) / 4294967296.0;
    }

private:
    std::uint32_t FState = 0x5EED1234u;
};

} // namespace

double Midi(double key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12);
}

Track::Track(int rate, int channels, double seconds)
    : FRate(rate), FChannels(channels), FFrames(std::size_t(std::lround(seconds * rate))),
      FSamples(FFrames * std::size_t(channels), 0.0) {}

void Track::Add(const Note& note, const Timbre& timbre, const Envelope& envelope) {
    const double total = note.length + envelope.release;
    const auto first = std::size_t(std::max(0.0, std::round(note.start * FRate)));
    const std::size_t last =
        std::min(FFrames, std::size_t(std::lround((note.start + total) * FRate)));
    if (first >= last)
        return;

    // Equal-power panning; a mono track takes the note as it is.
    const double angle = (std::clamp(note.pan, -1.0, 1.0) + 1) * Pi / 4;
    const double gains[2] = {FChannels == 1 ? 1.0 : std::cos(angle) * std::numbers::sqrt2,
                             std::sin(angle) * std::numbers::sqrt2};

    const double highest =
        note.frequency * std::pow(2.0, std::max(0.0, note.glide) / 12) * (1 + timbre.vibratoDepth);
    const double detune[2] = {-timbre.detuneCents / 2, timbre.detuneCents / 2};
    const int voices = timbre.detuneCents != 0 ? 2 : 1;

    for (const Partial& p : timbre.partials) {
        // Partials at or above the Nyquist frequency would fold back as
        // noise; leave them out (and the last few hundred hertz below it).
        if (p.ratio * highest * std::pow(2.0, std::abs(timbre.detuneCents) / 2400) >= 0.45 * FRate)
            continue;
        for (int v = 0; v < voices; ++v) {
            const double voiceRatio = p.ratio * std::pow(2.0, detune[v] / 1200);
            double phase = 0;
            for (std::size_t i = first; i < last; ++i) {
                const double t = double(i - first) / FRate;
                double f = note.frequency * voiceRatio;
                if (note.glide != 0 && note.length > 0)
                    f *= std::pow(2.0, note.glide * std::min(t, note.length) / note.length / 12);
                if (timbre.vibratoDepth > 0 && t > timbre.vibratoDelay) {
                    const double grown =
                        timbre.vibratoDelay > 0
                            ? std::min(1.0, (t - timbre.vibratoDelay) / timbre.vibratoDelay)
                            : 1.0;
                    f *= 1 + timbre.vibratoDepth * grown *
                                 std::sin(2 * Pi * timbre.vibratoHz * (t - timbre.vibratoDelay));
                }
                double amplitude = note.level * p.amplitude / voices *
                                   EnvelopeAt(envelope, t, note.length) * std::exp(-p.decay * t);
                if (p.lag > 0)
                    amplitude *= 1 - std::exp(-t / p.lag);
                const double value = amplitude * std::sin(phase);
                phase = std::fmod(phase + 2 * Pi * f / FRate, 2 * Pi);
                for (int c = 0; c < FChannels; ++c)
                    FSamples[i * std::size_t(FChannels) + std::size_t(c)] += value * gains[c];
            }
        }
    }
}

void Track::Echo(double delay, double feedback, double mix) {
    const auto lag = std::size_t(std::lround(delay * FRate));
    if (lag == 0 || lag >= FFrames)
        return;
    const auto channels = std::size_t(FChannels);
    // The echo line runs through the input once per repeat; on stereo
    // tracks each repeat crosses to the other side.
    std::vector<double> line(FSamples.size(), 0.0);
    for (std::size_t i = lag; i < FFrames; ++i) {
        for (std::size_t c = 0; c < channels; ++c) {
            const std::size_t from = (i - lag) * channels + (channels - 1 - c);
            line[i * channels + c] = FSamples[from] + feedback * line[from];
        }
    }
    for (std::size_t k = 0; k < FSamples.size(); ++k)
        FSamples[k] += mix * line[k];
}

std::vector<std::uint8_t> Track::Master(const Mastering& m) const {
    std::vector<double> x = FSamples;
    const auto channels = std::size_t(FChannels);
    const auto frames = FFrames;
    const auto tailStart = frames - std::min(frames, std::size_t(std::lround(m.tail * FRate)));
    const double fadeInFrames = m.fadeIn * FRate;
    const double fadeOutFrames = m.fadeOut * FRate;
    for (std::size_t i = 0; i < frames; ++i) {
        double gain = SmoothStep(double(i) / fadeInFrames);
        if (i >= tailStart)
            gain = 0;
        else
            gain *= SmoothStep(double(tailStart - i) / fadeOutFrames);
        for (std::size_t c = 0; c < channels; ++c)
            x[i * channels + c] *= gain;
    }

    // Loudness as the ear takes it from a short sound: the RMS of the
    // loudest 200 ms, measured every 50 ms.
    const auto window = std::size_t(0.2 * FRate);
    const auto hop = std::size_t(0.05 * FRate);
    double loudest = 0;
    for (std::size_t from = 0; from < frames; from += hop) {
        const std::size_t to = std::min(frames, from + window);
        double energy = 0;
        for (std::size_t k = from * channels; k < to * channels; ++k)
            energy += x[k] * x[k];
        loudest = std::max(loudest, std::sqrt(energy / double((to - from) * channels)));
    }
    double peak = 0;
    for (double v : x)
        peak = std::max(peak, std::abs(v));
    double gain = loudest > 0 ? m.loudness / loudest : 0;
    if (peak * gain > m.peak)
        gain = m.peak / peak;

    std::vector<std::uint8_t> out(x.size(), 128);
    XorShift random;
    for (std::size_t k = 0; k < x.size(); ++k) {
        if (x[k] == 0)
            continue;
        const double dither = random.Next() - random.Next(); // triangular, +-1 step
        const long step = std::clamp(std::lround(x[k] * gain * 127 + dither), -127L, 127L);
        out[k] = std::uint8_t(128 + step);
    }
    return out;
}

} // namespace synth

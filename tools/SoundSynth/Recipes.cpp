#include "Recipes.h"

#include <cmath>

namespace synth {

namespace {

// --- Instruments -----------------------------------------------------------

// A struck metal tube: nearly harmonic, the upper partials die first.
Timbre Chime() {
    return {.partials = {{1, 1, 0, 0},
                         {2, 0.35, 3, 0},
                         {3, 0.15, 6, 0},
                         {4.2, 0.08, 10, 0},
                         {5.4, 0.05, 14, 0}}};
}

// A small bell: the inharmonic partials of a bell give the ring.
Timbre Bell() {
    return {.partials = {{1, 1, 0, 0}, {2.76, 0.3, 5, 0}, {5.4, 0.12, 10, 0}, {8.93, 0.05, 18, 0}}};
}

// A wooden bar struck with a hard mallet: a bright knock and a quick fall.
Timbre Mallet() {
    return {.partials = {{1, 1, 0, 0}, {4, 0.3, 18, 0}, {9.9, 0.06, 40, 0}}};
}

// Brass: many harmonics that speak one after the other, a late vibrato.
Timbre Brass(int harmonics = 10, double vibrato = 0.004) {
    Timbre t{.partials = {}, .vibratoHz = 5.5, .vibratoDepth = vibrato, .vibratoDelay = 0.18};
    for (int n = 1; n <= harmonics; ++n)
        t.partials.push_back({double(n), 1 / std::pow(n, 1.3), 0, 0.004 * n});
    return t;
}

// A soft pad: few harmonics, two detuned voices, a slow breath of vibrato.
Timbre Pad() {
    return {.partials = {{1, 1, 0, 0}, {2, 0.35, 0, 0}, {3, 0.15, 0, 0}, {4, 0.06, 0, 0}},
            .vibratoHz = 0.4,
            .vibratoDepth = 0.002,
            .vibratoDelay = 0.5,
            .detuneCents = 7};
}

// A signal tone: odd harmonics, like a soft square wave.
Timbre Beep(double brightness = 1) {
    return {.partials = {{1, 1, 0, 0},
                         {3, 0.3 * brightness, 0, 0},
                         {5, 0.12 * brightness, 0, 0},
                         {7, 0.05 * brightness, 0, 0}}};
}

Envelope Ring(double decay, double release = 0.06) {
    return {.attack = 0.004, .decay = decay, .sustain = 0, .release = release};
}
Envelope Blown(double release = 0.08) {
    return {.attack = 0.03, .decay = 0.15, .sustain = 0.8, .release = release};
}
Envelope Switched() {
    return {.attack = 0.008, .decay = 0.05, .sustain = 0.9, .release = 0.025};
}

struct Voice {
    Track& track;
    Timbre timbre;
    Envelope envelope;
    void operator()(double key, double start, double length, double level = 1, double pan = 0,
                    double glide = 0) const {
        track.Add({.start = start,
                   .length = length,
                   .frequency = Midi(key),
                   .level = level,
                   .pan = pan,
                   .glide = glide},
                  timbre, envelope);
    }
};

// --- The game's sounds -------------------------------------------------------

// The start: a calm tune of slow chords under a bell melody, in an echoing room.
void Space(Track& t) {
    const Voice pad{t, Pad(), {.attack = 1.0, .decay = 1.0, .sustain = 0.85, .release = 1.1}};
    const double chords[][4] = {
        {48, 55, 64, 71}, {45, 52, 60, 67}, {41, 53, 57, 64}, {43, 50, 59, 62}};
    for (int i = 0; i < 4; ++i)
        for (double key : chords[i])
            pad(key, 0.05 + 2.3 * i, 2.5, 0.3);
    pad(48, 9.25, 0.5, 0.3);
    pad(55, 9.25, 0.5, 0.3);
    pad(64, 9.25, 0.5, 0.3);

    const Voice bell{t, Chime(), Ring(0.7, 0.25)};
    const double melody[][2] = {{76, 0.3}, {79, 0.9}, {81, 1.5}, {79, 2.1}, {76, 2.9}, {74, 3.5},
                                {72, 4.1}, {74, 4.7}, {76, 5.5}, {79, 6.1}, {84, 6.7}, {83, 7.3},
                                {79, 8.1}, {81, 8.6}, {79, 9.1}, {72, 9.6}};
    for (const auto& [key, start] : melody)
        bell(key, start, key == 72 && start > 9 ? 0.7 : 0.5, 0.55);
    t.Echo(0.33, 0.35, 0.4);
}

// One row: a single chime.
void Ding(Track& t) {
    const Voice chime{t, Chime(), Ring(0.11)};
    chime(84, 0, 0.24, 1);
    chime(91, 0.004, 0.2, 0.2);
}

// Two rows: a quick rising run on a xylophone.
void Xylophon(Track& t) {
    const Voice bar{t, Mallet(), Ring(0.09, 0.04)};
    const double run[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; ++i)
        bar(run[i], 0.07 * i, i == 4 ? 0.16 : 0.1, i == 4 ? 1.0 : 0.8);
}

// Three rows: a bright little "ta-da" of bells.
void Nice(Track& t) {
    const Voice bell{t, Chime(), Ring(0.15)};
    bell(79, 0, 0.06, 0.8);
    for (double key : {84, 88, 91})
        bell(key, 0.08, 0.2, 0.7);
}

// Four rows: a short brass fanfare, and bells ringing over its last chord.
void Klingel1(Track& t) {
    const Voice horn{t, Brass(), Blown()};
    horn(67, 0.00, 0.1, 0.9, -0.2);
    horn(67, 0.13, 0.1, 0.9, -0.2);
    horn(67, 0.26, 0.1, 0.9, -0.2);
    horn(72, 0.40, 0.42, 1.0, -0.2);
    horn(67, 0.90, 0.11, 0.8, -0.2);
    horn(72, 1.05, 0.11, 0.9, -0.2);
    horn(76, 1.20, 0.11, 0.9, -0.2);
    horn(79, 1.35, 1.4, 1.0, -0.2);
    const Voice low{t, Brass(8), Blown(0.12)};
    for (double key : {60, 64, 67})
        low(key, 1.35, 1.4, 0.45, 0.35);

    const Voice bell{t, Bell(), Ring(0.25, 0.08)};
    for (int i = 0; i < 14; ++i)
        bell(i % 2 ? 91 : 96, 1.4 + 0.09 * i, 0.08, 0.45 - 0.015 * i, i % 2 ? 0.6 : -0.6);
    const Voice chime{t, Chime(), Ring(0.6, 0.2)};
    for (double key : {84, 91, 96})
        chime(key, 2.8, 1.1, 0.5, key == 91 ? 0.5 : -0.3);
}

// The game is lost: a muted trombone sighing down, wah wah wah waaah.
// Its harmonics open late, which makes each note a "wah".
void Loser(Track& t) {
    Timbre muted = Brass(8, 0.0);
    for (Partial& p : muted.partials)
        p.lag = 0.012 * p.ratio;
    const Envelope sigh{.attack = 0.04, .decay = 0.2, .sustain = 0.8, .release = 0.07};
    const Voice horn{t, muted, sigh};
    horn(58, 0.00, 0.2, 1.0, 0, -0.2);
    horn(57, 0.30, 0.2, 1.0, 0, -0.2);
    horn(56, 0.60, 0.2, 1.0, 0, -0.2);
    muted.vibratoDepth = 0.015;
    muted.vibratoDelay = 0.12;
    const Voice last{t, muted, {.attack = 0.04, .decay = 0.3, .sustain = 0.75, .release = 0.12}};
    last(55, 0.90, 0.5, 1.0, 0, -0.6);
}

// Danger: an alarm of alternating high tones, each sliding up a little.
void Gefahr(Track& t) {
    const Voice siren{t, Beep(), Switched()};
    for (int i = 0; i < 6; ++i)
        siren(i % 2 ? 76 : 81, 0.2 * i, 0.12, 1.0, 0, 1.0);
}

// A new record: a longer fanfare with a second voice, a drum roll and a
// full closing chord with bells.
void Gewonn1(Track& t) {
    const Voice horn{t, Brass(), Blown()};
    const Voice second{t, Brass(8), Blown()};
    // The call.
    for (int i = 0; i < 3; ++i)
        horn(67, 0.13 * i, 0.1, 0.9, -0.25);
    horn(72, 0.40, 0.5, 1.0, -0.25);
    second(64, 0.40, 0.5, 0.5, 0.3);
    // Up the scale, answered a third below.
    const double up[][2] = {{76, 1.05}, {74, 1.25}, {76, 1.45}, {77, 1.65}, {79, 1.85}};
    for (const auto& [key, start] : up) {
        horn(key, start, 0.15, 0.9, -0.25);
        second(key - 4, start, 0.15, 0.45, 0.3);
    }
    horn(79, 2.05, 0.5, 1.0, -0.25);
    second(76, 2.05, 0.5, 0.5, 0.3);
    // And down to the end.
    const double down[][2] = {{81, 2.75}, {79, 2.95}, {77, 3.15}, {76, 3.35}, {74, 3.55}};
    for (const auto& [key, start] : down) {
        horn(key, start, 0.15, 0.9, -0.25);
        second(key - 3, start, 0.15, 0.45, 0.3);
    }
    // The drum roll leads into the closing chord.
    const Voice drum{
        t, {.partials = {{1, 1, 0, 0}, {1.5, 0.5, 8, 0}, {2.3, 0.25, 14, 0}}}, Ring(0.12, 0.05)};
    for (int i = 0; i < 10; ++i)
        drum(38, 3.75 + 0.05 * i, 0.05, 0.25 + 0.05 * i);
    drum(36, 4.25, 0.6, 1.0);
    for (double key : {72, 76, 79, 84})
        horn(key, 4.25, 1.55, 0.75, key < 78 ? -0.35 : 0.35);
    second(48, 4.25, 1.55, 0.5);
    const Voice bell{t, Bell(), Ring(0.3, 0.1)};
    for (int i = 0; i < 8; ++i)
        bell(i % 2 ? 96 : 100, 4.35 + 0.16 * i, 0.12, 0.3, i % 2 ? 0.7 : -0.7);
}

// --- The message boxes' sounds ------------------------------------------

// A notice: two soft chimes going up.
void Hinweis(Track& t) {
    const Voice chime{t, Chime(), Ring(0.14)};
    chime(76, 0, 0.08, 0.8);
    chime(81, 0.1, 0.16, 1.0);
}

// A warning: two calls of the same tone, asking for attention.
void Warnung(Track& t) {
    const Voice call{t, Beep(0.6), Switched()};
    call(79, 0.0, 0.12, 1.0);
    call(79, 0.2, 0.16, 1.0);
}

// An error: two low, buzzing tones going down.
void Fehler(Track& t) {
    const Voice buzz{t, Beep(1.4), Switched()};
    buzz(57, 0.0, 0.13, 1.0);
    buzz(52, 0.18, 0.2, 1.0);
}

} // namespace

const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes = {
        {"space", {1, 22050}, 11.3, Space},      {"ding", {1, 22050}, 0.5, Ding},
        {"xylophon", {1, 22050}, 0.7, Xylophon}, {"nice", {1, 11025}, 0.5, Nice},
        {"klingel1", {2, 22050}, 4.5, Klingel1}, {"loser", {1, 22050}, 1.8, Loser},
        {"gefahr", {1, 11025}, 1.5, Gefahr},     {"gewonn1", {2, 22050}, 6.6, Gewonn1},
        {"hinweis", {1, 22050}, 0.5, Hinweis},   {"warnung", {1, 22050}, 0.6, Warnung},
        {"fehler", {1, 22050}, 0.6, Fehler},
    };
    return recipes;
}

const Recipe* FindRecipe(const std::string& name) {
    for (const Recipe& r : Recipes())
        if (r.name == name)
            return &r;
    return nullptr;
}

std::vector<std::uint8_t> Render(const Recipe& recipe) {
    Track track(recipe.format.rate, recipe.format.channels, recipe.seconds);
    recipe.compose(track);
    return EncodeWave(recipe.format, track.Master({}));
}

} // namespace synth

#pragma once
// The game's eight sound effects by number, and the names of their
// recordings (the WAV resources ":/sounds/<name>.wav").

#include <QString>
#include <QtGlobal>

#include <array>

namespace stakko {

// Sound numbers used by the game; 1 to 4 are the rows removed at once.
enum : quint8 {
    SoundStart = 0,
    SoundOneRow = 1,
    SoundLost = 5,
    SoundDanger = 6,
    SoundRecord = 7,
};

// Recording names by sound number, in lower case.
extern const std::array<QString, 8> SoundNames;

} // namespace stakko

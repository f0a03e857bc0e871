#pragma once
// The glyphs of the game's buttons, drawn by the program itself: no look-up
// in the desktop's icon themes (which costs several milliseconds before
// the first frame), and sharp at every screen scale, since each size is
// drawn at the screen's own pixels when it is asked for. A disabled button
// shows its glyph in greys, as a two-state glyph does.
//
//   button->setIcon(ButtonGlyph(TGlyph::Help));

#include <QIcon>

namespace stakko {

enum class TGlyph {
    Info,    // a white "i" on a blue disc
    NewGame, // a green arrow turning back to its start
    Help,    // a white "?" on a blue disc
    End,     // a white cross on a red disc
    Ok,      // a green tick
};

[[nodiscard]] QIcon ButtonGlyph(TGlyph glyph);

} // namespace stakko

#pragma once
// Fixed facts about the game that several places show.

#include <QString>

namespace stakko {

// The application title, also the main window's caption.
[[nodiscard]] QString ApplicationTitle();

} // namespace stakko

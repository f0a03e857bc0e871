#pragma once
// Fixed facts about the game that several places show.

#include <QIcon>
#include <QString>

namespace stakko {

// The application title, also the main window's caption.
[[nodiscard]] QString ApplicationTitle();

// The name of the installed desktop entry without ".desktop"; a desktop
// matches the running window to its entry and icon by it.
[[nodiscard]] QString DesktopFileName();

// The application icon in every size built from its SVG, for the title
// bar, the task switcher and the About box.
[[nodiscard]] QIcon ApplicationIcon();

} // namespace stakko

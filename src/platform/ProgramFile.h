#pragma once
// Where the running program file lives, asked of the operating system.

#include <QString>

namespace qz::platform {

// Absolute path of the running executable, e.g. "/usr/games/stakko".
// Read from /proc/self/exe, so it is known before any QCoreApplication exists.
[[nodiscard]] QString RunningProgramFile();

// A name that opens the very file the process runs from: "/proc/self/exe",
// which the kernel ties to the running image itself, so that it still
// opens that image after the path was given to another file (an upgrade
// while the program runs) or deleted. Where /proc is missing, the path.
[[nodiscard]] QString RunningProgramImage();

} // namespace qz::platform

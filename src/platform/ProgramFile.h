#pragma once
// Where the running program file lives, asked of the operating system.

#include <QString>

namespace qz::platform {

// Absolute path of the running executable, e.g. "/usr/games/stakko".
// Read from /proc/self/exe, so it is known before any QCoreApplication exists.
[[nodiscard]] QString RunningProgramFile();

} // namespace qz::platform

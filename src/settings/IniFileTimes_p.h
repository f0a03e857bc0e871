#pragma once
// Private to the INI file object: the times its reading and saving share.

#include "text/DateTime.h"

#include <chrono>

namespace qz {

// Ten seconds as a fraction of a day.
inline constexpr TDateTime kTenSeconds = 1.0 / 8640;
// How long the end waits for the disk, and a fresh read for a save under way.
inline constexpr std::chrono::seconds kEndPatience(5);

} // namespace qz

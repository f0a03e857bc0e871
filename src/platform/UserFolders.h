#pragma once
// The user's folders as the desktop names them (XDG base directories),
// standing in for the roaming and the local application-data folder.

#include <QString>

namespace qz::platform {

// The folder kept between machines: the XDG config folder ("~/.config").
// Empty when the system names none.
[[nodiscard]] QString RoamingAppDataFolder();

// The folder kept on this machine only: the XDG data folder
// ("~/.local/share"). Empty when the system names none.
[[nodiscard]] QString LocalAppDataFolder();

} // namespace qz::platform

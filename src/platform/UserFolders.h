#pragma once
// The folders as the desktop names them (XDG base and user directories),
// standing in for the Windows folders of the same purpose: the roaming and
// the local application-data folder, the documents, the all-users data,
// the common documents and the temporary folder. None ends with "/".

#include <QString>

namespace qz::platform {

// The user's home folder: $HOME when it names a folder by its absolute
// path, else the home the password database gives the user. Empty when
// neither names a folder.
[[nodiscard]] QString HomeFolder();
// The same decision over given values, for tests.
//   HomeFolderOf("", "/home/anna") == "/home/anna"
[[nodiscard]] QString HomeFolderOf(const QString& homeVariable, const QString& passwordHome);

// An XDG base folder: the variable's value when it is an absolute path (the
// XDG rules say a relative one is to be ignored), else `fallback` below the
// home folder; empty when there is no home folder either.
//   XdgBaseFolder("tmp/cfg", "/home/anna", ".config") == "/home/anna/.config"
[[nodiscard]] QString XdgBaseFolder(const QString& variable, const QString& home,
                                    const QString& fallback);

// The folder kept between machines: the XDG config folder ("~/.config").
// Empty when the system names none.
[[nodiscard]] QString RoamingAppDataFolder();

// The folder kept on this machine only: the XDG data folder
// ("~/.local/share"). Empty when the system names none.
[[nodiscard]] QString LocalAppDataFolder();

// The user's documents ("~/Documents"). Empty when the system names none.
[[nodiscard]] QString DocumentsFolder();

// The first data folder that all users share ("/usr/local/share"): the
// system-wide XDG data folders stand in for the all-users application
// data. Empty when the system names none.
[[nodiscard]] QString SharedDataFolder();

// The folder the desktop offers for files shared with others ("~/Public"),
// the nearest thing to the common documents. Empty when none is named.
[[nodiscard]] QString PublicShareFolder();

// The temporary folder ($TMPDIR or "/tmp").
[[nodiscard]] QString TempFolder();

} // namespace qz::platform

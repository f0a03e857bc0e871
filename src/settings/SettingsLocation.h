#pragma once
// Where the per-user settings file lives, and the creation of the one
// settings object of the process. The file is named after the program and
// kept in the vendor folder "Vomb" of the user's configuration folder
// (~/.config/Vomb/stakko.ini); a copy left in the user's data folder
// (~/.local/share/Vomb/stakko.ini) by an older placement is taken over.
//
//   qz::GetUserSettings(); // in main, before the first window exists

#include <QString>
#include <QtGlobal>

#include <memory>

namespace qz {

class TUserSettings;
class TUserSettingsFile;

// Creates the process-wide settings object on the first call, from
// "Vomb/" and the program's base name, and returns it. Throws EQZError
// when there is no configuration folder or a found file cannot be taken
// over or read.
TUserSettings* GetUserSettings();
// The name GetUserSettings opens: "Vomb/" and the program's base name.
[[nodiscard]] QString UserSettingsName();

// A new settings object for `name` (a path relative to the configuration
// folder, without ".ini"), taking over the data-folder copy when the file
// itself is missing.
[[nodiscard]] std::unique_ptr<TUserSettingsFile> OpenUserSettings(const QString& name);

// The user's configuration folder with a separator, followed by `name`.
//   GetAppDataPath("Vomb/stakko") == "/home/anna/.config/Vomb/stakko"
[[nodiscard]] QString GetAppDataPath(const QString& name);
// The same for a given folder; an empty folder means there is none and
// throws "can't obtain AppDataFolder".
[[nodiscard]] QString AppDataPathIn(const QString& folder, const QString& name);

// Copies the data-folder file that corresponds to `path` (a file under the
// configuration folder) to `path`, creating its folders; never overwrites,
// leaves the old copy in place, and does nothing for a path outside the
// configuration folder or when there is no old copy (only a regular file
// counts). Throws EQZError with a German message naming both files when
// the copy fails.
void MigrateFromLocalAppData(const QString& path);
// The same between given folders.
void MigrateFromLocalAppData(const QString& path, const QString& roamingFolder,
                             const QString& localFolder);

} // namespace qz

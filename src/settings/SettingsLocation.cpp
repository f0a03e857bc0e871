#include "settings/SettingsLocation.h"

#include "platform/UserFolders.h"
#include "settings/QZINI.h"
#include "settings/QZ_UsrSettings.h"
#include "text/EQZError.h"
#include "text/QZ_cmn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qz {

namespace {

QString WithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace

TUserSettings* GetUserSettings() {
    if (!UserSettings())
        SetUserSettings(OpenUserSettings(QStringLiteral("Vomb/") + ExeBaseName()));
    return UserSettings();
}

std::unique_ptr<TUserSettingsFile> OpenUserSettings(const QString& name) {
    const QString path = GetAppDataPath(name) + QStringLiteral(".ini");
    if (!QFileInfo::exists(path))
        MigrateFromLocalAppData(path);
    return std::make_unique<TUserSettingsFile>(path);
}

QString GetAppDataPath(const QString& name) {
    return AppDataPathIn(platform::RoamingAppDataFolder(), name);
}

QString AppDataPathIn(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        throw EQZError(QStringLiteral("can't obtain AppDataFolder"));
    return WithSeparator(folder) + name;
}

void MigrateFromLocalAppData(const QString& path) {
    MigrateFromLocalAppData(path, platform::RoamingAppDataFolder(), platform::LocalAppDataFolder());
}

// The old placement kept the file at the same place below the local
// folder as it now has below the roaming one; a file anywhere else (a
// path given by hand, a redirected folder) has no older copy.
void MigrateFromLocalAppData(const QString& path, const QString& roamingFolder,
                             const QString& localFolder) {
    if (roamingFolder.isEmpty() || localFolder.isEmpty())
        return;
    const QString roaming = WithSeparator(roamingFolder);
    if (!path.startsWith(roaming))
        return;
    const QString localPath = WithSeparator(localFolder) + path.mid(roaming.size());
    if (localPath == path || !QFileInfo(localPath).isFile())
        return;

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile local(localPath);
    // QFile::copy never replaces an existing file.
    if (!local.copy(path))
        throw EQZError(local.errorString());
}

} // namespace qz

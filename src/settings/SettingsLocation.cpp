#include "settings/SettingsLocation.h"

#include "platform/AtomicFileWrite.h"
#include "platform/UserFolders.h"
#include "settings/IniFile.h"
#include "settings/QZINI.h"
#include "settings/QZ_UsrSettings.h"
#include "text/EQZError.h"
#include "text/QZ_Files.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace qz {

namespace {

QString WithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString CopyFailureText(const platform::TWriteResult& r) {
    switch (r.Status) {
    case platform::TWriteStatus::Exists:
        return QCoreApplication::translate("qz::SettingsLocation", "dort ist schon eine Datei");
    case platform::TWriteStatus::NotRegular:
        return QCoreApplication::translate("qz::SettingsLocation",
                                           "dort ist keine gewöhnliche Datei");
    default:
        return platform::SystemErrorText(r.Error);
    }
}

} // namespace

QString UserSettingsName() {
    return QStringLiteral("Vomb/") + ExeBaseName();
}

TUserSettings* GetUserSettings() {
    if (!UserSettings())
        SetUserSettings(OpenUserSettings(UserSettingsName()));
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

    const QByteArray bytes = ReadFileBytes(localPath, MaxIniFileSize);
    // Written in one step and never over an existing file, so that a kill
    // during the copy leaves no half file that would be taken for the real one.
    const platform::TWriteResult r =
        platform::WriteFileAtomically(path, bytes, platform::TWriteMode::CreateOnly);
    if (r.Status == platform::TWriteStatus::Failed && qstrcmp(r.Step, "mkdir") == 0)
        throw EQZError(QCoreApplication::translate(
                           "qz::SettingsLocation",
                           "Der Ordner \"%1\" für die Datei \"%2\" kann nicht angelegt "
                           "werden.")
                           .arg(QFileInfo(path).absolutePath(), QFileInfo(path).fileName()));
    if (r.Status != platform::TWriteStatus::Written)
        throw EQZError(QCoreApplication::translate(
                           "qz::SettingsLocation",
                           "Die Datei \"%1\" kann nicht nach \"%2\" übernommen werden: "
                           "%3.")
                           .arg(localPath, path, CopyFailureText(r)));
}

} // namespace qz

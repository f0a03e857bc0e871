#include "system/SystemFolders.h"

#include "platform/Registry.h"
#include "platform/UserFolders.h"
#include "system/QZ_Win_cmn.h"
#include "text/MsgBox.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace qz {

namespace {

TSystemFolders& Folders() {
    static TSystemFolders folders;
    return folders;
}

QString WithSeparator(QString dir, QChar separator) {
    if (!dir.isEmpty() && !dir.endsWith(separator))
        dir += separator;
    return dir;
}

// A folder that must be there: created with its parents when missing.
QString Ensured(const QString& dir, const TFolderAccess& access) {
    if (!access.DirectoryExists(dir))
        access.CreateDirectories(dir);
    return dir;
}

bool Exists(const QString& dir, const TFolderAccess& access) {
    return !dir.isEmpty() && access.DirectoryExists(dir);
}

// The parent of the documents folder, with its trailing "\": "C:\Users\Ann\"
// for "C:\Users\Ann\Documents"; a drive ("D:" or "D:\") stands for itself.
QString ProfileFolderOf(QString personal, QChar separator) {
    if (personal.endsWith(QLatin1Char(':')))
        return personal + separator;
    if (personal.endsWith(QLatin1Char(':') + QString(separator)))
        return personal;
    if (personal.endsWith(separator))
        personal.chop(1);
    const qsizetype cut = qMax(personal.lastIndexOf(separator), personal.lastIndexOf(':'));
    return personal.left(cut + 1);
}

// Looks folders up and makes none: "creating" answers whether the folder
// is there already.
TFolderAccess LookUpOnlyFolderAccess() {
    const auto exists = [](const QString& dir) { return QFileInfo(dir).isDir(); };
    return {exists, exists, [](const QString& dir) { return IsDirectoryWritable(dir); }};
}

} // namespace

QString CheckedWindowsDir(const std::optional<QString>& answer) {
    if (!answer)
        return {};
    QString path = *answer;
    RemoveTrailingBackslash(path);
    if (path.size() >= 4 && path[1] == QLatin1Char(':') && path[2] == QLatin1Char('\\'))
        return path + QLatin1Char('\\');
    MsgBox()->ErrInfo(QCoreApplication::translate("qz::SystemFolders",
                                                  "Windows-Pfad fehlerhaft oder unvollständig"));
    return {};
}

QString DriveRootOf(const QString& windowsDir) {
    // Without a Windows folder (its request failed) there is no drive
    // letter to take; the system drive is then the usual one.
    const QChar drive = windowsDir.isEmpty() ? QLatin1Char('C') : windowsDir[0];
    return QString(drive) + QStringLiteral(":\\");
}

QString MyFilesDirFor(const QString& documents, const QString& fallbackRoot,
                      const TFolderAccess& access) {
    if (!documents.isEmpty())
        return documents;
    return Ensured(fallbackRoot + QStringLiteral("MyFiles"), access);
}

QString CommonFilesDirFor(const QString& commonAppData, const QString& commonDocuments,
                          QChar separator, const QString& fallbackRoot,
                          const TFolderAccess& access) {
    if (Exists(commonAppData, access))
        return commonAppData;
    // Without common documents there is no folder to put "VombCmn" in; a
    // bare "VombCmn\" would name a folder wherever the program was started.
    if (!commonDocuments.isEmpty()) {
        const QString shared =
            WithSeparator(commonDocuments, separator) + QStringLiteral("VombCmn") + separator;
        if (access.DirectoryExists(shared))
            return shared;
    }
    return Ensured(fallbackRoot + QStringLiteral("CommonFiles"), access);
}

QString CommonDocumentsDirFor(const QString& commonDocuments, const QString& fallbackRoot,
                              const TFolderAccess& access) {
    if (Exists(commonDocuments, access))
        return commonDocuments;
    return Ensured(fallbackRoot + QStringLiteral("CommonDocuments"), access);
}

QString TempDirFor(const TTempDirFacts& facts, const TFolderAccess& access) {
    QString temp = facts.SystemTemp.left(255);
    if (PosIgnoreCase(QStringLiteral("Windows\\"), temp) > 0) {
        temp = facts.RegistryTmp;
        const QString profileVariable = QStringLiteral("%userprofile%\\");
        const int at = PosIgnoreCase(profileVariable, temp);
        if (at > 0) {
            // Without a documents folder there is no profile to put in;
            // what is left would be a folder relative to wherever the
            // program was started.
            const QString profile = facts.PersonalFolder.isEmpty()
                                        ? QString()
                                        : ProfileFolderOf(facts.PersonalFolder, facts.Separator);
            if (profile.isEmpty())
                temp.clear();
            else
                temp.replace(at - 1, profileVariable.size(), profile);
            if (!temp.isEmpty() && !(access.CreateDirectories(temp) && access.IsWritable(temp)))
                temp.clear();
        }
    }
    if (temp.isEmpty() || temp.size() > 254)
        return {};
    return WithSeparator(temp, facts.Separator);
}

void StartUpSystemInformation() {
    const QChar slash = QLatin1Char('/');
    const TFolderAccess access = LookUpOnlyFolderAccess();
    const QString fallbackRoot = WithSeparator(platform::LocalAppDataFolder(), slash);
    const QString publicShare = platform::PublicShareFolder();

    TSystemFolders folders;
    folders.WindowsDir = QStringLiteral("/");
    folders.SystemDir = QStringLiteral("/usr/lib/");
    folders.MyFilesDir =
        WithSeparator(MyFilesDirFor(platform::DocumentsFolder(), fallbackRoot, access), slash);
    folders.CommonFilesDir = WithSeparator(
        CommonFilesDirFor(platform::SharedDataFolder(), publicShare, slash, fallbackRoot, access),
        slash);
    folders.CommonDocumentsDir =
        WithSeparator(CommonDocumentsDirFor(publicShare, fallbackRoot, access), slash);
    folders.TempDir = TempDirFor(
        {platform::TempFolder(),
         platform::ReadRegistryString(platform::HKEY_CURRENT_USER, QStringLiteral("Environment"),
                                      QStringLiteral("TMP"), QString()),
         platform::ReadRegistryString(
             platform::HKEY_CURRENT_USER,
             QStringLiteral(
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"),
             QStringLiteral("Personal"), QString()),
         slash},
        access);
    Folders() = folders;
    (void)GetWinVersionCode();
}

const TSystemFolders& SystemFolders() {
    return Folders();
}

} // namespace qz

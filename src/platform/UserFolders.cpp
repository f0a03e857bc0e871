#include "platform/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace qz::platform {

namespace {

bool IsAbsoluteFolder(const QString& path) {
    return path.startsWith(QLatin1Char('/')) && QFileInfo(path).isDir();
}

// The password database's home for the effective user; empty when it has
// no entry (a container user without one, say).
QString PasswordHome() {
    const struct passwd* entry = ::getpwuid(::geteuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

} // namespace

// Without this, an unset HOME makes Qt look below "/" (and, as root,
// create "/.config").
QString HomeFolderOf(const QString& homeVariable, const QString& passwordHome) {
    if (IsAbsoluteFolder(homeVariable))
        return QDir::cleanPath(homeVariable);
    if (IsAbsoluteFolder(passwordHome))
        return QDir::cleanPath(passwordHome);
    return {};
}

QString HomeFolder() {
    return HomeFolderOf(QFile::decodeName(qgetenv("HOME")), PasswordHome());
}

// A relative value would put the folder below wherever the program was
// started from: one settings file per start folder.
QString XdgBaseFolder(const QString& variable, const QString& home, const QString& fallback) {
    if (variable.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(variable);
    if (home.isEmpty())
        return {};
    return home + QLatin1Char('/') + fallback;
}

QString RoamingAppDataFolder() {
    return XdgBaseFolder(QFile::decodeName(qgetenv("XDG_CONFIG_HOME")), HomeFolder(),
                         QStringLiteral(".config"));
}

QString LocalAppDataFolder() {
    return XdgBaseFolder(QFile::decodeName(qgetenv("XDG_DATA_HOME")), HomeFolder(),
                         QStringLiteral(".local/share"));
}

QString DocumentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString SharedDataFolder() {
    // The first location is the user's own data folder; the rest are shared.
    const QStringList all = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& folder : all)
        if (folder != own)
            return folder;
    return {};
}

QString PublicShareFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::PublicShareLocation);
}

QString TempFolder() {
    return QDir::tempPath();
}

} // namespace qz::platform

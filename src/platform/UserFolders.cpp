#include "platform/UserFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace qz::platform {

QString RoamingAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString LocalAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
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

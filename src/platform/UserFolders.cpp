#include "platform/UserFolders.h"

#include <QStandardPaths>

namespace qz::platform {

QString RoamingAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString LocalAppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace qz::platform

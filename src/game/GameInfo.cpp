#include "game/GameInfo.h"

namespace stakko {

QString ApplicationTitle() {
    return QStringLiteral("Stakko");
}

QString DesktopFileName() {
    return QStringLiteral("org.example.stakko");
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace stakko

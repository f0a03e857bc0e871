#include "game/GameInfo.h"

#include "game/PngPicture.h"

namespace stakko {

QString ApplicationTitle() {
    return QStringLiteral("Stakko");
}

QString DesktopFileName() {
    return QStringLiteral("org.example.stakko");
}

// Each size is read by the PNG reader alone (PngPicture).
QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(PngPicture(QStringLiteral(":/appicon/%1.png").arg(size)));
    return icon;
}

} // namespace stakko

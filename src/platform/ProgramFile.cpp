#include "platform/ProgramFile.h"

#include <QFile>
#include <QFileInfo>

namespace qz::platform {

QString RunningProgramFile() {
    // symLinkTarget resolves the kernel's link to the real file; an empty
    // answer (no /proc) falls back to the name the program was started as.
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!target.isEmpty())
        return target;
    return QFileInfo(QStringLiteral("stakko")).absoluteFilePath();
}

} // namespace qz::platform

#include "platform/ProgramFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno> // program_invocation_name

namespace qz::platform {

QString RunningProgramFile() {
    // symLinkTarget resolves the kernel's link to the real file; an empty
    // answer (no /proc) falls back to the name the process was started as.
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (!target.isEmpty())
        return target;
    return QFileInfo(QFile::decodeName(program_invocation_name)).absoluteFilePath();
}

QString RunningProgramImage() {
    const QString self = QStringLiteral("/proc/self/exe");
    if (QFileInfo::exists(self))
        return self;
    return RunningProgramFile();
}

} // namespace qz::platform

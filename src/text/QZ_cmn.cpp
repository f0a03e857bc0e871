#include "text/QZ_cmn.h"

#include "platform/ProgramFile.h"

namespace qz {

namespace {

const TProgramPaths& RunningProgramPaths() {
    static const TProgramPaths paths = ProgramPathsFor(platform::RunningProgramFile());
    return paths;
}

} // namespace

TProgramPaths ProgramPathsFor(const QString& programFile) {
    const qsizetype slash = programFile.lastIndexOf(u'/');
    const QString dir = programFile.left(slash + 1);
    const QString fileName = programFile.mid(slash + 1);

    // The extension is what follows the last dot; a leading dot alone
    // (a hidden file) is part of the name, not an extension.
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString baseName = dot > 0 ? fileName.left(dot) : fileName;

    QString lowered = fileName.toLower();
    if (!lowered.isEmpty() && lowered[0] >= u'a' && lowered[0] <= u'z')
        lowered[0] = QChar(lowered[0].unicode() - u'a' + u'A');

    return TProgramPaths{dir, baseName, dir + lowered};
}

QString IntToStrGrouped(qint64 v) {
    // Work on the non-positive value so that the most negative number,
    // which has no positive counterpart, is formatted like any other.
    const bool positive = v > 0;
    if (positive)
        v = -v;
    QString text = QString::number(v);

    // Positions are 1-based here: insert before position i, counting the
    // leading "-" as position 1, while i leaves room for a first group.
    qsizetype i = text.size() - 2;
    for (qsizetype n = text.size() / 3; n > 0; --n) {
        if (i > 2)
            text.insert(i - 1, u'.');
        i -= 3;
    }
    if (positive)
        text.remove(0, 1);
    return text;
}

const QString& ExeDir() {
    return RunningProgramPaths().ExeDir;
}
const QString& ExeBaseName() {
    return RunningProgramPaths().ExeBaseName;
}
const QString& ExeFullPath() {
    return RunningProgramPaths().ExeFullPath;
}

} // namespace qz

#pragma once
// Opening files for reading, with the messages for every way it can fail.
// Private to the text layer; the public face is ReadFileBytes,
// CanOpenForReading and HasUtf8Bom (QZ_Files.h).

#include <QString>
#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QFile;
QT_END_NAMESPACE

namespace qz::detail {

// Opens `file` on the regular file `fileName` under the shared lock that
// keeps writers out, and checks that it holds at most `maxBytes`. Throws
// EQZError with a German message that names the file otherwise; nothing
// is read and nothing waits.
void OpenForReadingOrThrow(QFile& file, const QString& fileName, qint64 maxBytes);

} // namespace qz::detail

#include "text/BlockReading_p.h"

#include "platform/FileAccess.h"
#include "text/EQZError.h"

#include <QCoreApplication>
#include <QFileDevice>

namespace qz::detail {

QString DeviceName(const QIODevice& fs) {
    if (const auto* file = qobject_cast<const QFileDevice*>(&fs))
        return file->fileName();
    return QCoreApplication::translate("qz::BlockReading", "(Speicher)");
}

QString ReadErrorMessage(const QString& name, const QString& errorText) {
    return QCoreApplication::translate("qz::BlockReading",
                                       "Fehler beim Lesen der Datei \"%1\" (%2).")
        .arg(name, errorText);
}

void ThrowReadError(const QIODevice& fs, const QString& name) {
    throw EQZError(ReadErrorMessage(name, fs.errorString()));
}

void SeekOrThrow(QIODevice& fs, qint64 pos, const QString& name) {
    if (!fs.seek(pos))
        ThrowReadError(fs, name);
}

qint64 ReadFully(QIODevice& fs, char* into, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const qint64 got = fs.read(into + done, count - done);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

qint64 ReadFullyOrThrow(QIODevice& fs, char* into, qint64 count, const QString& name) {
    const qint64 done = ReadFully(fs, into, count);
    if (done < 0)
        ThrowReadError(fs, name);
    return done;
}

QByteArray ReadRest(QIODevice& fs, qint64 offset, const QString& name) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    SeekOrThrow(fs, offset, name);
    QByteArray bytes(count, Qt::Uninitialized);
    platform::AdviseHugePages(bytes.data(), count);
    // A file that shrank while it was read gives what is there.
    bytes.truncate(ReadFullyOrThrow(fs, bytes.data(), count, name));
    return bytes;
}

} // namespace qz::detail

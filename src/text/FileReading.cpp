// Whole files as bytes: only regular files, opened without ever waiting on
// a pipe or a device, under the shared lock, and within a size bound.
#include "text/FileReading_p.h"

#include "platform/FileAccess.h"
#include "text/BlockReading_p.h"
#include "text/EQZError.h"
#include "text/QZ_Files.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>

namespace qz {

namespace {

using platform::TOpenOutcome;

QString OpenFailureMessage(TOpenOutcome outcome, const QString& fileName,
                           const QString& errorText) {
    const auto notRegular = [&](const QString& what) {
        return QStringLiteral("\"%1\" ist keine gewöhnliche Datei, sondern %2, und wird nicht "
                              "gelesen.")
            .arg(fileName, what);
    };
    switch (outcome) {
    case TOpenOutcome::Missing:
        return QCoreApplication::translate("qz::FileReading", "Die Datei \"%1\" gibt es nicht.")
            .arg(fileName);
    case TOpenOutcome::Folder:
        return QStringLiteral("\"%1\" ist ein Ordner und keine Datei.").arg(fileName);
    case TOpenOutcome::Fifo:
        return notRegular(QCoreApplication::translate("qz::FileReading", "eine Pipe"));
    case TOpenOutcome::Device:
        return notRegular(QCoreApplication::translate("qz::FileReading", "ein Gerät"));
    case TOpenOutcome::Socket:
        return notRegular(QCoreApplication::translate("qz::FileReading", "ein Socket"));
    case TOpenOutcome::OtherKind:
        return QStringLiteral("\"%1\" ist keine gewöhnliche Datei und wird nicht gelesen.")
            .arg(fileName);
    case TOpenOutcome::NoPermission:
        return QCoreApplication::translate(
                   "qz::FileReading",
                   "Die Datei \"%1\" darf nicht gelesen werden (keine Berechtigung).")
            .arg(fileName);
    // Another program holds an exclusive lock: all that is known is that
    // it uses the file, not what it does with it.
    case TOpenOutcome::Locked:
        return QCoreApplication::translate(
                   "qz::FileReading",
                   "Die Datei \"%1\" kann nicht zum Lesen geöffnet werden, sie wird "
                   "von einem anderen Programm benutzt.")
            .arg(fileName);
    case TOpenOutcome::Failed:
    case TOpenOutcome::Opened:
        break;
    }
    return QCoreApplication::translate(
               "qz::FileReading", "Die Datei \"%1\" kann nicht zum Lesen geöffnet werden (%2).")
        .arg(fileName, errorText);
}

void ThrowIfTooLarge(const QString& fileName, qint64 size, qint64 maxBytes) {
    if (size > maxBytes)
        throw EQZError(QCoreApplication::translate(
                           "qz::FileReading",
                           "Die Datei \"%1\" ist mit %2 Bytes zu groß zum Lesen (höchstens %3 "
                           "Bytes).")
                           .arg(fileName, IntToStrGrouped(size), IntToStrGrouped(maxBytes)));
}

} // namespace

namespace detail {

void OpenForReadingOrThrow(QFile& file, const QString& fileName, qint64 maxBytes) {
    QString errorText;
    const TOpenOutcome outcome = platform::OpenRegularFileForReading(file, fileName, &errorText);
    if (outcome != TOpenOutcome::Opened)
        throw EQZError(OpenFailureMessage(outcome, fileName, errorText));
    ThrowIfTooLarge(fileName, file.size(), maxBytes);
}

} // namespace detail

// The descriptor itself rather than a QFile over it: a program's first
// QFile costs more than reading a settings-sized file, and a settings file
// is what a program reads first.
QByteArray ReadFileBytes(const QString& fileName, qint64 maxBytes) {
    platform::TOpenedFile opened;
    QString errorText;
    const TOpenOutcome outcome = platform::OpenRegularFile(fileName, opened, &errorText);
    if (outcome != TOpenOutcome::Opened)
        throw EQZError(OpenFailureMessage(outcome, fileName, errorText));
    const auto close = qScopeGuard([fd = opened.Fd] { platform::CloseFile(fd); });
    ThrowIfTooLarge(fileName, opened.Size, maxBytes);
    QByteArray bytes(opened.Size, Qt::Uninitialized);
    platform::AdviseHugePages(bytes.data(), opened.Size);
    // A file that shrank while it was read gives what is there; one that
    // grew, what it held when it was opened.
    const qint64 got = platform::ReadAll(opened.Fd, bytes.data(), opened.Size);
    if (got < 0)
        throw EQZError(detail::ReadErrorMessage(fileName, qt_error_string(errno)));
    bytes.truncate(got);
    return bytes;
}

bool CanOpenForReading(QFile& file) {
    return platform::OpenRegularFileForReading(file, file.fileName()) ==
           platform::TOpenOutcome::Opened;
}

bool HasUtf8Bom(const QString& fileName) {
    QFile file(fileName);
    if (!CanOpenForReading(file))
        return false;
    char head[3] = {};
    const qint64 done = detail::ReadFullyOrThrow(file, head, 3, fileName);
    return done == 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0;
}

} // namespace qz

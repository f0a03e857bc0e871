#include "platform/FileAccess.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz::platform {

namespace {

TOpenOutcome OutcomeOfType(mode_t mode) {
    if (S_ISREG(mode))
        return TOpenOutcome::Opened;
    if (S_ISDIR(mode))
        return TOpenOutcome::Folder;
    if (S_ISFIFO(mode))
        return TOpenOutcome::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return TOpenOutcome::Device;
    if (S_ISSOCK(mode))
        return TOpenOutcome::Socket;
    return TOpenOutcome::OtherKind;
}

TOpenOutcome OutcomeOfError(int error, QString* errorText) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return TOpenOutcome::Missing;
    case EACCES:
    case EPERM:
        return TOpenOutcome::NoPermission;
    default:
        if (errorText)
            *errorText = qt_error_string(error);
        return TOpenOutcome::Failed;
    }
}

} // namespace

TOpenOutcome OpenRegularFile(const QString& path, TOpenedFile& opened, QString* errorText) {
    opened = {};
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    // The type first: opening a device may do something, and opening a
    // FIFO waits for a writer.
    if (::stat(native.constData(), &info) != 0)
        return OutcomeOfError(errno, errorText);
    if (!S_ISREG(info.st_mode))
        return OutcomeOfType(info.st_mode);

    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return OutcomeOfError(errno, errorText);
    TOpenOutcome outcome = TOpenOutcome::Opened;
    if (::fstat(fd, &info) != 0)
        outcome = OutcomeOfError(errno, errorText);
    else if (!S_ISREG(info.st_mode)) // something else took the file's place
        outcome = OutcomeOfType(info.st_mode);
    else if (!LockSharedForReading(fd))
        outcome = TOpenOutcome::Locked;
    if (outcome != TOpenOutcome::Opened) {
        ::close(fd);
        return outcome;
    }
    // Reading a regular file never waits anyway; without the flag the
    // descriptor behaves like any other.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    opened = {fd, qint64(info.st_size)};
    return TOpenOutcome::Opened;
}

TOpenOutcome OpenRegularFileForReading(QFile& file, const QString& path, QString* errorText) {
    TOpenedFile opened;
    const TOpenOutcome outcome = OpenRegularFile(path, opened, errorText);
    if (outcome != TOpenOutcome::Opened)
        return outcome;
    if (!file.open(opened.Fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (errorText)
            *errorText = file.errorString();
        ::close(opened.Fd);
        return TOpenOutcome::Failed;
    }
    return TOpenOutcome::Opened;
}

void CloseFile(int fd) noexcept {
    ::close(fd);
}

qint64 ReadAll(int fd, char* into, qint64 count) noexcept {
    qint64 done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, into + done, size_t(count - done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

bool LockSharedForReading(int fd) noexcept {
    return ::flock(fd, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

void AdviseHugePages(void* data, qint64 size) noexcept {
#if defined(MADV_HUGEPAGE)
    constexpr quintptr HugePage = 2 * 1024 * 1024;
    if (size < 2 * qint64(HugePage))
        return;
    const quintptr begin = (quintptr(data) + HugePage - 1) & ~(HugePage - 1);
    const quintptr end = (quintptr(data) + quintptr(size)) & ~(HugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

} // namespace qz::platform

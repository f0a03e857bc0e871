#include "platform/AtomicFileWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace qz::platform {

namespace {

constexpr int MaxLinks = 40; // what the kernel follows before ELOOP
constexpr char TemporaryInfix[] = ".saving-";
constexpr int UniqueChars = 6; // mkstemp's XXXXXX

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

TWriteResult Failure(const QString& target, const char* step, int error = errno) {
    return {TWriteStatus::Failed, target, error, step};
}

// Writes all of `size` bytes, going on after interruptions and short writes.
bool WriteAll(int fd, const char* at, qint64 size) {
    qint64 left = size;
    while (left > 0) {
        const ssize_t done = ::write(fd, at, size_t(left));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += done;
        left -= done;
    }
    return true;
}

mode_t NewFileMode() {
    // umask can only be read by setting it; the old value goes back at once.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::atomic<TDataSyncFunction>& DataSyncSlot() {
    static std::atomic<TDataSyncFunction> sync{&::fdatasync};
    return sync;
}

TDataSyncFunction DataSync() {
    return DataSyncSlot().load();
}

bool IsOlder(const struct stat& a, const struct stat& b) {
    if (a.st_mtim.tv_sec != b.st_mtim.tv_sec)
        return a.st_mtim.tv_sec < b.st_mtim.tv_sec;
    return a.st_mtim.tv_nsec < b.st_mtim.tv_nsec;
}

// A temporary in the making carries an open-file-description lock for as
// long as its writer lives. Unlike flock, this kind of lock does not meet
// the shared flock that readers take on the file, so it may stay on after
// the rename until the descriptor closes.
bool MarkInUse(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool InUse(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_GETLK, &lock) != 0 || lock.l_type != F_UNLCK;
}

// A writer marks its temporary right after making it, before the first
// byte: an empty temporary younger than this may be one between the two.
constexpr time_t FreshSeconds = 2;

} // namespace

QString FollowLinks(const QString& path) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int depth = 0; depth <= MaxLinks; ++depth) {
        struct stat st {};
        if (::lstat(Native(current).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(Native(current).constData(), buffer, sizeof buffer);
        if (n < 0 || n == ssize_t(sizeof buffer))
            return current;
        const QString target = QFile::decodeName(QByteArray(buffer, n));
        // A relative target is relative to the folder that holds the link;
        // ".." is not folded away, since the folders on the way may be links.
        current = target.startsWith(QLatin1Char('/'))
                      ? target
                      : QFileInfo(current).path() + QLatin1Char('/') + target;
    }
    return {};
}

int MakeFolders(const QString& folder) {
    const QByteArray native = Native(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    const QString parent = QFileInfo(folder).path();
    if (parent != folder)
        if (const int error = MakeFolders(parent); error != 0)
            return error;
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    return 0;
}

QString TemporaryNamePattern(const QString& target) {
    return target + QLatin1String(TemporaryInfix) + QString(UniqueChars, QLatin1Char('X'));
}

TWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes, TWriteMode mode) {
    TPreparedFile prepared;
    const TWriteResult r = PrepareFile(path, mode, prepared);
    if (r.Status != TWriteStatus::Written)
        return r;
    prepared.Write(bytes.constData(), bytes.size());
    return prepared.Commit();
}

TWriteResult PrepareFile(const QString& path, TWriteMode mode, TPreparedFile& prepared) {
    prepared = TPreparedFile();
    const QString target = FollowLinks(path);
    if (target.isEmpty())
        return Failure(path, "readlink", ELOOP);
    const QByteArray native = Native(target);

    struct stat old {};
    const bool exists = ::stat(native.constData(), &old) == 0;
    const int statError = exists ? 0 : errno;
    // The folders on the way are made for a name of our own, never behind
    // a link, whose target is the user's business.
    const bool makeFolders = (statError == ENOENT || statError == ENOTDIR) &&
                             target == QFileInfo(path).absoluteFilePath();
    if (!exists && statError != ENOENT && !makeFolders)
        return Failure(target, "stat", statError);
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return {TWriteStatus::NotRegular, target, 0, "stat"};
        if (mode == TWriteMode::CreateOnly)
            return {TWriteStatus::Exists, target, EEXIST, "stat"};
        if (::access(native.constData(), W_OK) != 0)
            return {TWriteStatus::ReadOnly, target, errno, "access"};
    } else if (makeFolders) {
        if (const int error = MakeFolders(QFileInfo(target).absolutePath()); error != 0)
            return Failure(target, "mkdir", error);
    }

    QByteArray temporary = Native(TemporaryNamePattern(target));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return Failure(target, "open");
    // Without the mark a start-up of another instance would take the file
    // for the leftover of a killed save; where the file system has no such
    // locks, leftovers go by their age alone.
    (void)MarkInUse(fd);
    prepared.FFd = fd;
    prepared.FTemporary = temporary;
    prepared.FNative = native;
    prepared.FTarget = target;
    prepared.FMode = mode;
    prepared.FReplaces = exists;
    prepared.FOldMode = old.st_mode & 07777;
    prepared.FOldOwner = old.st_uid;
    prepared.FOldGroup = old.st_gid;
    return {TWriteStatus::Written, target, 0, ""};
}

TPreparedFile::TPreparedFile(TPreparedFile&& other) noexcept {
    *this = std::move(other);
}

TPreparedFile& TPreparedFile::operator=(TPreparedFile&& other) noexcept {
    if (this != &other) {
        Abandon();
        FFd = std::exchange(other.FFd, -1);
        FTemporary = std::move(other.FTemporary);
        FNative = std::move(other.FNative);
        FTarget = std::move(other.FTarget);
        FMode = other.FMode;
        FReplaces = other.FReplaces;
        FOldMode = other.FOldMode;
        FOldOwner = other.FOldOwner;
        FOldGroup = other.FOldGroup;
        FWriteError = other.FWriteError;
        FFinished = other.FFinished;
    }
    return *this;
}

TPreparedFile::~TPreparedFile() {
    Abandon();
}

void TPreparedFile::Abandon() {
    if (FFd < 0)
        return;
    ::close(FFd);
    ::unlink(FTemporary.constData());
    FFd = -1;
}

TWriteResult TPreparedFile::GiveUp(const char* step, int error) {
    Abandon();
    return Failure(FTarget, step, error);
}

void TPreparedFile::Write(const char* data, qsizetype size) {
    if (FFd < 0 || FWriteError != 0 || FFinished)
        return;
    if (!WriteAll(FFd, data, size))
        FWriteError = errno != 0 ? errno : EIO;
}

TWriteResult TPreparedFile::Finish() {
    if (FFd < 0)
        return Failure(FTarget, "write", EBADF);
    if (FFinished)
        return {TWriteStatus::Written, FTarget, 0, ""};
    if (FWriteError != 0)
        return GiveUp("write", FWriteError);
    // The new file looks like the old one: its permissions and, where we
    // may give it away (as root), its owner.
    if (::fchmod(FFd, FReplaces ? mode_t(FOldMode) : NewFileMode()) != 0)
        return GiveUp("fchmod", errno);
    if (FReplaces && (FOldOwner != ::geteuid() || FOldGroup != ::getegid()))
        (void)::fchown(FFd, FOldOwner, FOldGroup);
    FFinished = true;
    return {TWriteStatus::Written, FTarget, 0, ""};
}

TWriteResult TPreparedFile::Commit() {
    if (const TWriteResult finished = Finish(); finished.Status != TWriteStatus::Written)
        return finished;
    const int fd = FFd;
    FFd = -1;
    // The data reaches the disk before the name does: after a power loss
    // the name holds the old whole file or the new one. (Should the rename
    // itself be lost, the old file is still whole.)
    if (DataSync()(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(FTemporary.constData());
        return Failure(FTarget, "fdatasync", error);
    }
    // The descriptor, and with it the in-use mark, stays open until the
    // name is taken. Its close cannot lose data any more: fdatasync has
    // written it. (Don't retry close in case of EINTR: the descriptor is
    // gone either way.)
    if (FMode == TWriteMode::CreateOnly) {
        // link() fails with EEXIST instead of replacing what appeared meanwhile.
        const int linked = ::link(FTemporary.constData(), FNative.constData());
        const int error = errno;
        ::unlink(FTemporary.constData());
        ::close(fd);
        if (linked != 0)
            return error == EEXIST ? TWriteResult{TWriteStatus::Exists, FTarget, EEXIST, "link"}
                                   : Failure(FTarget, "link", error);
    } else if (::rename(FTemporary.constData(), FNative.constData()) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(FTemporary.constData());
        return Failure(FTarget, "rename", error);
    } else {
        ::close(fd);
    }
    return {TWriteStatus::Written, FTarget, 0, ""};
}

void SetDataSyncFunction(TDataSyncFunction sync) {
    DataSyncSlot().store(sync ? sync : &::fdatasync);
}

QStringList RemoveStaleTemporaries(const QString& path) {
    QStringList removed;
    const QString target = FollowLinks(path);
    if (target.isEmpty())
        return removed;
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QLatin1String(TemporaryInfix);
    const QDir folder = info.dir();
    struct stat file {};
    const bool targetExists = ::stat(Native(target).constData(), &file) == 0;
    const time_t now = ::time(nullptr);
    // Compared as text, not as a name filter: a file's name may hold "*",
    // "?" or "[", and the filters are case-blind, which would reach the
    // temporaries of another file. (A filter also costs the start a
    // regular-expression engine.)
    QDirIterator names(folder.path(), QDir::Files | QDir::Hidden | QDir::System);
    while (names.hasNext()) {
        names.next();
        const QString name = names.fileName();
        if (name.size() != prefix.size() + UniqueChars || !name.startsWith(prefix))
            continue;
        const QString candidate = folder.filePath(name);
        const QByteArray native = Native(candidate);
        const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        const bool stale = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                           st.st_uid == ::geteuid() && !InUse(fd) &&
                           (st.st_size > 0 || now - st.st_mtim.tv_sec >= FreshSeconds ||
                            (targetExists && IsOlder(st, file)));
        ::close(fd);
        if (stale && ::unlink(native.constData()) == 0)
            removed.append(candidate);
    }
    return removed;
}

QString SystemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return QCoreApplication::translate("qz::platform", "keine Berechtigung");
    case ENOENT:
        return QCoreApplication::translate("qz::platform", "nicht vorhanden");
    case ENOTDIR:
        return QCoreApplication::translate("qz::platform", "ein Teil des Pfades ist kein Ordner");
    case EISDIR:
        return QCoreApplication::translate("qz::platform", "ist ein Ordner");
    case EEXIST:
        return QCoreApplication::translate("qz::platform", "ist schon vorhanden");
    case ENOSPC:
    case EDQUOT:
        return QCoreApplication::translate("qz::platform", "kein Platz mehr auf dem Datenträger");
    case EROFS:
        return QCoreApplication::translate("qz::platform", "der Datenträger ist schreibgeschützt");
    case ELOOP:
        return QCoreApplication::translate("qz::platform", "zu viele symbolische Verknüpfungen");
    case ENAMETOOLONG:
        return QCoreApplication::translate("qz::platform", "der Name ist zu lang");
    case EIO:
        return QCoreApplication::translate("qz::platform", "Ein-/Ausgabefehler");
    default:
        return QCoreApplication::translate("qz::platform", "Systemfehler %1").arg(error);
    }
}

} // namespace qz::platform

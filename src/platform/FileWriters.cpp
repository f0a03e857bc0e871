#include "platform/FileWriters.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qz::platform {

namespace {

qint64 Nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

TFileStamp FileStampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true,
            quint64(st.st_dev),
            quint64(st.st_ino),
            qint64(st.st_size),
            Nanoseconds(st.st_mtim),
            Nanoseconds(st.st_ctim),
            S_ISDIR(st.st_mode)};
}

bool LocalModificationTime(const QString& path, QDate& date, QTime& time) {
    return LocalModificationTime(FileStampOf(path), date, time);
}

bool LocalModificationTime(const TFileStamp& stamp, QDate& date, QTime& time) {
    if (!stamp.Exists || stamp.Folder)
        return false;
    // Whole seconds rounded down, so that the rest is never negative
    // (a time before 1970).
    qint64 whole = stamp.ModifiedNs / 1000000000;
    if (stamp.ModifiedNs % 1000000000 < 0)
        --whole;
    const qint64 rest = stamp.ModifiedNs - whole * 1000000000;
    const time_t seconds = time_t(whole);
    tm local{};
    if (!::localtime_r(&seconds, &local))
        return false;
    date = QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    time = QTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(rest / 1000000));
    return date.isValid() && time.isValid();
}

// The folder, not the file, carries the lock: every save puts a new file
// under the name, so a lock on the old one would not meet the next writer.
TFolderLock::TFolderLock(const QString& path, std::chrono::milliseconds patience) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR)) {
            // A file system without locks counts as locked: there is
            // nothing better to be had.
            FFd = fd;
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd);
}

TFolderLock::TFolderLock(TFolderLock&& other) noexcept : FFd(other.FFd) {
    other.FFd = -1;
}

TFolderLock& TFolderLock::operator=(TFolderLock&& other) noexcept {
    if (this != &other) {
        Release();
        FFd = other.FFd;
        other.FFd = -1;
    }
    return *this;
}

TFolderLock::~TFolderLock() {
    Release();
}

void TFolderLock::Release() {
    if (FFd >= 0)
        ::close(FFd); // closing the last descriptor drops the lock
    FFd = -1;
}

} // namespace qz::platform

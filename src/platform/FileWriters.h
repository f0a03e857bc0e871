#pragma once
// What lets several processes write one file in turn: a lock that every
// writer of a folder's files takes for the time it reads, merges and
// replaces one of them, and a stamp that tells whether a file changed
// since it was last seen.
//
//   TFolderLock lock(path); // waits a few seconds at most
//   if (FileStampOf(path) != seen) { /* read it again */ }

#include <QDate>
#include <QString>
#include <QTime>
#include <QtGlobal>

#include <chrono>

namespace qz::platform {

// What identifies one state of a file without reading it: the inode (a
// save that renames a temporary gives a new one), size, last change of
// the data and of the inode (a copy over it, a `touch -r`). Only a write
// in place that keeps the size, within one tick of the file system's
// clock, goes unseen; our own saves always make a new inode.
struct TFileStamp {
    bool Exists = false;
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = 0;
    qint64 ModifiedNs = 0;
    qint64 ChangedNs = 0;
    bool Folder = false;

    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

// The stamp of the file `path` leads to (links followed); Exists is false
// when there is none.
[[nodiscard]] TFileStamp FileStampOf(const QString& path);

// When the data of the file `path` leads to last changed, as the local
// calendar date and time of day (to the millisecond) of the C library's
// time zone, which is the system's; false for no file, or a folder. Qt's
// local time would say the same, but its first use costs a fresh process
// more than loading a settings file.
[[nodiscard]] bool LocalModificationTime(const QString& path, QDate& date, QTime& time);
// The same for a stamp already taken.
[[nodiscard]] bool LocalModificationTime(const TFileStamp& stamp, QDate& date, QTime& time);

// An exclusive advisory lock (flock) on the folder that holds `path`,
// held until destruction. Every writer of the settings files takes it, so
// that reading the file again, merging and replacing it happen for one
// process at a time. Waiting is bounded: a lock that stays taken longer
// (a hung process) is given up on, and the writer goes on without it.
class TFolderLock {
public:
    TFolderLock() = default; // holds nothing
    explicit TFolderLock(const QString& path,
                         std::chrono::milliseconds patience = std::chrono::seconds(3));
    TFolderLock(TFolderLock&& other) noexcept;
    TFolderLock& operator=(TFolderLock&& other) noexcept;
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;
    ~TFolderLock();

    // False when the folder could not be opened or the wait ran out.
    [[nodiscard]] bool Held() const { return FFd >= 0; }
    void Release();

private:
    int FFd = -1;
};

} // namespace qz::platform

#pragma once
// Writing a whole file so that nobody ever sees half of it: the bytes go to
// a temporary file beside the target, which then takes the target's name in
// one rename. A crash, a kill or a full disk leaves the old whole file or
// the new whole file, and at worst a temporary file that
// RemoveStaleTemporaries clears away later.
//
// Symbolic links are followed to the file they lead to, which is replaced
// and the link kept; a name that leads to anything but a regular file (a
// device, a FIFO, a folder) is never replaced.
//
//   WriteFileAtomically(QDir::homePath() + "/.config/Vomb/stakko.ini", bytes).Status
//       == TWriteStatus::Written

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qz::platform {

enum class TWriteStatus {
    Written,    // the file now holds the bytes
    NotRegular, // the name leads to something other than a regular file; left alone
    ReadOnly,   // the file exists and may not be written; left alone
    Exists,     // TWriteMode::CreateOnly found a file; left alone
    Failed,     // a system call failed (Error, Step; "mkdir" for a folder on the
                // way that could not be made); the old file is as it was
};

enum class TWriteMode {
    Replace,    // create the file or replace its content
    CreateOnly, // create the file; an existing one is never touched
};

struct TWriteResult {
    TWriteStatus Status = TWriteStatus::Failed;
    QString Target;        // the file the name leads to, links followed
    int Error = 0;         // errno of the call that failed
    const char* Step = ""; // which call failed: "open", "write", "rename", ...
};

[[nodiscard]] TWriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes,
                                               TWriteMode mode = TWriteMode::Replace);

// A new content for a file, written piece by piece to its temporary file
// as it is made, so that the whole file never has to be in memory at once:
//
//   TPreparedFile file;
//   if (PrepareFile(path, TWriteMode::Replace, file).Status == TWriteStatus::Written) {
//       file.Write("a=1\r\n", 5);
//       const TWriteResult r = file.Commit();
//   }
//
// Destroying an uncommitted file removes the temporary; the old file stays
// as it was.
class TPreparedFile {
public:
    TPreparedFile() = default;
    TPreparedFile(TPreparedFile&& other) noexcept;
    TPreparedFile& operator=(TPreparedFile&& other) noexcept;
    TPreparedFile(const TPreparedFile&) = delete;
    TPreparedFile& operator=(const TPreparedFile&) = delete;
    ~TPreparedFile();

    // Appends to the content. The first failure is kept for Finish; the
    // pieces after it are dropped.
    void Write(const char* data, qsizetype size);
    // The content is complete: a failed write is reported (and the file
    // given up), else the permissions (and, as root, the owner) of the old
    // file are given to the new one. Written means Commit may follow.
    [[nodiscard]] TWriteResult Finish();
    // Finishes when that was not done, then fdatasync and the rename (or,
    // for TWriteMode::CreateOnly, the link) to the target; once only. May
    // run on another thread: it is what waits for a slow disk.
    [[nodiscard]] TWriteResult Commit();

private:
    friend TWriteResult PrepareFile(const QString&, TWriteMode, TPreparedFile&);
    void Abandon();
    TWriteResult GiveUp(const char* step, int error);

    int FFd = -1;
    QByteArray FTemporary;
    QByteArray FNative;
    QString FTarget;
    TWriteMode FMode = TWriteMode::Replace;
    bool FReplaces = false; // an old file is there, whose permissions the new one takes
    unsigned FOldMode = 0;
    unsigned FOldOwner = 0;
    unsigned FOldGroup = 0;
    int FWriteError = 0; // errno of the first failed write
    bool FFinished = false;
};

// Opens the temporary file for a new content of the file `path` leads to,
// after the checks (links followed; anything but a regular file, a file
// that may not be written, or for CreateOnly any file, is left alone). The
// missing folders on the way to a name that is no link are made
// (MakeFolders). Written gives the open file in `prepared`; any other
// status leaves nothing behind.
[[nodiscard]] TWriteResult PrepareFile(const QString& path, TWriteMode mode,
                                       TPreparedFile& prepared);

// What makes the data of a file durable (fdatasync unless replaced): a
// seam for tests that need a slow or failing disk; null restores fdatasync.
using TDataSyncFunction = int (*)(int fd);
void SetDataSyncFunction(TDataSyncFunction sync);

// Makes `folder` and the folders on its way that are missing, each for
// this user only (0700, as the XDG rules ask); returns 0, or the errno of
// the step that failed. Every folder the settings need is made here.
[[nodiscard]] int MakeFolders(const QString& folder);

// Where `path` leads once every symbolic link is followed (made absolute);
// `path` itself when it is no link. Empty after 40 links (a loop).
//   FollowLinks("/home/p/.config/Vomb/stakko.ini") == "/home/p/dotfiles/stakko.ini"
[[nodiscard]] QString FollowLinks(const QString& path);

// The temporary files killed WriteFileAtomically calls left beside the file
// `path` leads to are removed; returns their names. A temporary whose
// writer still runs is marked in use and stays, whatever its age. Only
// regular files of this user that carry the temporary name of the writer
// are ever touched.
QStringList RemoveStaleTemporaries(const QString& path);

// The name the writer gives its temporary files for `target`, with the
// six characters that make each one unique as "XXXXXX".
//   TemporaryNamePattern("/x/stakko.ini") == "/x/stakko.ini.saving-XXXXXX"
[[nodiscard]] QString TemporaryNamePattern(const QString& target);

// The cause of a failed system call in German, for messages to the user.
//   SystemErrorText(ENOSPC) == "kein Platz mehr auf dem Datenträger"
[[nodiscard]] QString SystemErrorText(int error);

} // namespace qz::platform

#pragma once
// The operating-system calls behind file reading: opening only regular
// files, a shared lock that stands in for denying writers while a file is
// read, and a memory hint for large text buffers.

#include <QString>
#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QFile;
QT_END_NAMESPACE

namespace qz::platform {

// Takes a shared advisory lock (flock) on the open file descriptor without
// waiting. False only when another process holds an exclusive lock; file
// systems without lock support count as success. The lock goes with the
// descriptor when the file is closed.
[[nodiscard]] bool LockSharedForReading(int fd) noexcept;

// What opening a file for reading found.
enum class TOpenOutcome {
    Opened,  // a regular file, open and under the shared lock
    Missing, // no such file (or a part of the path is no folder)
    Folder,
    Fifo,         // a named pipe
    Device,       // a character or block device
    Socket,       // a Unix domain socket
    OtherKind,    // any other thing that is not a regular file
    NoPermission, // reading it, or looking into a folder on the way, is not allowed
    Locked,       // another program holds an exclusive lock (see LockSharedForReading)
    Failed,       // anything else; the error text says what
};

// Opens `file` read-only on the regular file at `path` (links followed)
// and takes the shared lock of LockSharedForReading. Anything else is
// refused without blocking and, but for a race, without being opened at
// all: the type is checked before the open, and again on the descriptor,
// which is opened non-blocking in case a FIFO took the file's place. The
// QFile works on that descriptor, so its fileName() is empty; it closes
// the descriptor when it is closed. For Failed, `errorText` (when given)
// receives the system's error text.
[[nodiscard]] TOpenOutcome OpenRegularFileForReading(QFile& file, const QString& path,
                                                     QString* errorText = nullptr);

// A regular file opened by OpenRegularFile: its descriptor, which the
// caller closes, and its size when it was opened.
struct TOpenedFile {
    int Fd = -1;
    qint64 Size = 0;
};

// The same open without a QFile, for a whole file read at once: a
// program's first QFile costs more than reading a settings-sized file.
[[nodiscard]] TOpenOutcome OpenRegularFile(const QString& path, TOpenedFile& opened,
                                           QString* errorText = nullptr);

// Reads until `count` bytes are in or the file ends, going on after
// interruptions; the bytes read, or -1 with errno set.
[[nodiscard]] qint64 ReadAll(int fd, char* into, qint64 count) noexcept;
void CloseFile(int fd) noexcept;

// Asks for huge pages on the 2 MiB-aligned middle of a large buffer that is
// about to be written from start to end, sparing one page fault per 4 KiB.
// Only a hint: nothing changes if the system declines.
void AdviseHugePages(void* data, qint64 size) noexcept;

} // namespace qz::platform

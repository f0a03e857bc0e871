#pragma once
// The operating-system calls behind file reading: a shared lock that stands
// in for denying writers while a file is read, and a memory hint for large
// text buffers.

#include <QtGlobal>

namespace qz::platform {

// Takes a shared advisory lock (flock) on the open file descriptor without
// waiting. False only when another process holds an exclusive lock; file
// systems without lock support count as success. The lock goes with the
// descriptor when the file is closed.
[[nodiscard]] bool LockSharedForReading(int fd) noexcept;

// Asks for huge pages on the 2 MiB-aligned middle of a large buffer that is
// about to be written from start to end, sparing one page fault per 4 KiB.
// Only a hint: nothing changes if the system declines.
void AdviseHugePages(void* data, qint64 size) noexcept;

} // namespace qz::platform

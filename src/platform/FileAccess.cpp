#include "platform/FileAccess.h"

#include <cerrno>
#include <sys/file.h>
#include <sys/mman.h>

namespace qz::platform {

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

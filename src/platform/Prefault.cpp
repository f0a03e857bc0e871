// Faulting in ahead with MADV_POPULATE_WRITE (Linux 5.14), which maps
// every page writable and leaves what is in it alone.
#include "platform/Prefault.h"

#include <algorithm>
#include <sys/mman.h>
#include <system_error>

namespace qz::platform {

namespace {

constexpr quintptr PageSize = 4096;
// Small enough that a stop is seen soon, large enough to cover whole huge
// pages.
constexpr qint64 Step = 4 * 1024 * 1024;

// Faults in the whole pages of [begin, end); false when the system cannot.
bool FaultIn(char* begin, char* end) noexcept {
#if defined(MADV_POPULATE_WRITE)
    const quintptr from = (quintptr(begin) + PageSize - 1) & ~(PageSize - 1);
    const quintptr to = quintptr(end) & ~(PageSize - 1);
    return to <= from ||
           ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) == 0;
#else
    Q_UNUSED(begin);
    Q_UNUSED(end);
    return false;
#endif
}

} // namespace

TPrefault::TPrefault(char* data, qint64 size) : FData(data), FSize(std::max<qint64>(0, size)) {
    if (FSize < MinimumSize)
        return;
    try {
        FThread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread to be had: the owner's writes fault the pages in.
    }
}

TPrefault::~TPrefault() {
    FStop = true;
    if (FThread.joinable())
        FThread.join();
}

void TPrefault::Needed(qint64 bytes) noexcept {
    FNeeded = std::clamp<qint64>(bytes, 0, FSize);
}

void TPrefault::Wait() {
    if (FThread.joinable())
        FThread.join();
}

void TPrefault::Run() noexcept {
    qint64 low = 0;
    qint64 high = FSize;
    // Upwards while the used size is unknown: the start is always used.
    while (!FStop && low < high && FNeeded < 0) {
        const qint64 next = std::min(low + Step, high);
        if (!FaultIn(FData + low, FData + next))
            return;
        low = next;
    }
    if (const qint64 needed = FNeeded; needed >= 0)
        high = std::min(high, needed);
    // Then downwards from the end of what is used, towards the owner.
    while (!FStop && high > low) {
        const qint64 next = std::max(high - Step, low);
        if (!FaultIn(FData + next, FData + high))
            return;
        high = next;
    }
}

} // namespace qz::platform

// Faulting in ahead, checked with the kernel's own record of which pages
// are in memory.
#include "platform/Prefault.h"

#include "common/TestHelpers.h"

#include <sys/mman.h>
#include <unistd.h>

#include <vector>

using qz::platform::TPrefault;

namespace {

// A fresh anonymous mapping: no page is in memory until it is written.
class TFreshMemory {
public:
    explicit TFreshMemory(qint64 size) : FSize(size) {
        void* at = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        FData = at == MAP_FAILED ? nullptr : static_cast<char*>(at);
    }
    ~TFreshMemory() {
        if (FData)
            ::munmap(FData, size_t(FSize));
    }
    TFreshMemory(const TFreshMemory&) = delete;
    TFreshMemory& operator=(const TFreshMemory&) = delete;

    [[nodiscard]] char* Data() const { return FData; }
    // Pages of [from, to) that are in memory.
    [[nodiscard]] qint64 ResidentPages(qint64 from, qint64 to) const {
        const qint64 page = ::sysconf(_SC_PAGESIZE);
        std::vector<unsigned char> flags(size_t((to - from) / page));
        if (::mincore(FData + from, size_t(to - from), flags.data()) != 0)
            return -1;
        qint64 n = 0;
        for (unsigned char f : flags)
            n += f & 1;
        return n;
    }

private:
    qint64 FSize;
    char* FData = nullptr;
};

bool KernelFaultsInAhead() {
#if defined(MADV_POPULATE_WRITE)
    TFreshMemory probe(::sysconf(_SC_PAGESIZE));
    return probe.Data() &&
           ::madvise(probe.Data(), size_t(::sysconf(_SC_PAGESIZE)), MADV_POPULATE_WRITE) == 0;
#else
    return false;
#endif
}

// While the owner writes the start of the buffer, the other thread faults
// in what is needed and leaves the owner's bytes as they were written.
TEST(Prefault, FaultsInWhatIsNeededAndKeepsWhatTheOwnerWrites) {
    if (!KernelFaultsInAhead())
        GTEST_SKIP() << "this kernel cannot fault pages in ahead";
    constexpr qint64 MiB = 1024 * 1024;
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    struct Case {
        const char* name;
        qint64 size;
        qint64 needed;
        qint64 written;          // by the owner, from the start, while it runs
        qint64 expectedResident; // pages of the first `needed` bytes
    } const cases[] = {
        {"all of a large buffer", 32 * MiB, 32 * MiB, 0, 32 * MiB / page},
        {"the owner writes the start meanwhile", 32 * MiB, 24 * MiB, 6 * MiB, 24 * MiB / page},
        {"too small to be worth a thread", TPrefault::MinimumSize - MiB, 4 * MiB, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFreshMemory memory(c.size);
        ASSERT_NE(memory.Data(), nullptr);
        ASSERT_EQ(memory.ResidentPages(0, c.size), 0);
        {
            TPrefault prefault(memory.Data(), c.size);
            for (qint64 at = 0; at < c.written; ++at)
                memory.Data()[at] = char('a' + at % 23);
            prefault.Needed(c.needed);
            prefault.Wait();
        }
        EXPECT_EQ(memory.ResidentPages(0, c.needed), c.expectedResident);
        qint64 changed = 0;
        for (qint64 at = 0; at < c.written; ++at)
            changed += memory.Data()[at] != char('a' + at % 23);
        EXPECT_EQ(changed, 0);
    }
}

} // namespace

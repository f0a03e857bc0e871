#pragma once
// The kernels of the UTF-8 check by name, so that tests, the fuzz target
// and the benchmarks can run each one the processor has: IsUtf8Content
// (QZ_Files.h) only ever runs the best of them.

#include <QtGlobal>

namespace qz::detail {

enum class TUtf8Kernel {
    Portable, // one sequence at a time; the reference, and any processor
    Ssse3,    // 16 bytes per step
    Avx2,     // 32 bytes per step
};

inline constexpr TUtf8Kernel AllUtf8Kernels[] = {TUtf8Kernel::Portable, TUtf8Kernel::Ssse3,
                                                 TUtf8Kernel::Avx2};

// Whether this processor can run `kernel`.
[[nodiscard]] bool Utf8KernelAvailable(TUtf8Kernel kernel) noexcept;

// The kernel IsUtf8Content runs: the widest one available.
[[nodiscard]] TUtf8Kernel BestUtf8Kernel() noexcept;

// "portable", "ssse3", "avx2": for test and benchmark names.
[[nodiscard]] const char* Utf8KernelName(TUtf8Kernel kernel) noexcept;

// IsUtf8Content through `kernel`, fed `blockSize` (> 0) bytes at a time, so
// that sequences are cut where the reads of a stream would cut them.
// A kernel this processor lacks is replaced by the portable one.
//   IsUtf8ContentWith(TUtf8Kernel::Portable, "\xC3\xA4", 2, 1) == true
[[nodiscard]] bool IsUtf8ContentWith(TUtf8Kernel kernel, const char* data, qint64 size,
                                     qint64 blockSize) noexcept;

} // namespace qz::detail

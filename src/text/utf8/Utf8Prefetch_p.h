#pragma once
// Fetching the bytes ahead of the vector UTF-8 loops (the checks and the
// decoder). Private to the text layer; x86 only.

#include <QtGlobal>

#if defined(__x86_64__)

#include <xmmintrin.h>

namespace qz::detail {

// How far ahead the bytes are fetched into the cache: half of a 4 KiB page.
// The processor's own prefetching left the loops waiting for their bytes
// on the virtual machines they were measured on; this halved the check of
// 64 MiB and took a sixth off the decoding of German prose.
inline constexpr int PrefetchAhead = 2048;

// Asks for the cache lines of the `bytes` that lie PrefetchAhead beyond
// `p`. A hint: a line past the end of the buffer never faults.
inline void FetchAhead(const quint8* p, int bytes) noexcept {
    for (int line = 0; line < bytes; line += 64)
        _mm_prefetch(reinterpret_cast<const char*>(p) + PrefetchAhead + line, _MM_HINT_T0);
}

} // namespace qz::detail

#endif

#pragma once
// Bytes to UTF-16 code units: sixteen ASCII bytes at a time, the step
// every decoder of the text layer takes through plain text, and
// single-byte text through a 256-entry table. Private to the text layer.

#include <QtGlobal>

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz::detail {

#if defined(__SSE2__)
// Widens the 16 bytes of `v` into out[0..16): the one place where bytes
// become code units sixteen at a time.
inline void StoreWidened(__m128i v, char16_t* out) noexcept {
    const __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
}
#endif

// One code unit per byte through `table`, which must map 00..7F to
// themselves: 16-byte blocks of ASCII skip it, a block with any other byte
// goes through it whole.
inline void WidenSingleBytes(const quint8* in, qsizetype n, char16_t* out,
                             const char16_t* table) noexcept {
    qsizetype i = 0;
#if defined(__SSE2__)
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (_mm_movemask_epi8(v) == 0) {
            StoreWidened(v, out + i);
            continue;
        }
        for (int k = 0; k < 16; ++k)
            out[i + k] = table[in[i + k]];
    }
#endif
    for (; i < n; ++i)
        out[i] = table[in[i]];
}

// ISO 8859-1: every byte is the character of the same value.
inline constexpr std::array<char16_t, 256> Latin1Table = [] {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = char16_t(b);
    return table;
}();

} // namespace qz::detail

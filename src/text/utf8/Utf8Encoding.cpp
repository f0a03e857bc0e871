// UTF-16 to UTF-8. Settings files are mostly ASCII, so runs of ASCII go
// eight (SSE2) or four units at a time; everything else one code point at
// a time.
#include "text/utf8/Utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz::detail {

quint8* EncodeUtf8(const char16_t* in, qsizetype n, quint8* out) noexcept {
    qsizetype i = 0;
#if defined(__SSE2__)
    // A unit is ASCII when none of its bits 7 to 15 is set; packing then
    // narrows each to its low byte.
    const __m128i high = _mm_set1_epi16(qint16(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= n) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, high), zero);
        if (_mm_movemask_epi8(ascii) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
        out += 8;
        i += 8;
    }
#endif
    while (i < n) {
        if (i + 4 <= n) {
            quint64 four;
            std::memcpy(&four, in + i, sizeof four);
            if ((four & 0xFF80FF80FF80FF80ULL) == 0) {
                out[0] = quint8(in[i]);
                out[1] = quint8(in[i + 1]);
                out[2] = quint8(in[i + 2]);
                out[3] = quint8(in[i + 3]);
                out += 4;
                i += 4;
                continue;
            }
        }
        char32_t u = in[i++];
        if (u < 0x80) {
            *out++ = quint8(u);
        } else if (u < 0x800) {
            *out++ = quint8(0xC0 | (u >> 6));
            *out++ = quint8(0x80 | (u & 0x3F));
        } else if (!QChar::isSurrogate(u) ||
                   !(QChar::isHighSurrogate(u) && i < n && QChar::isLowSurrogate(in[i]))) {
            if (QChar::isSurrogate(u))
                u = 0xFFFD;
            *out++ = quint8(0xE0 | (u >> 12));
            *out++ = quint8(0x80 | ((u >> 6) & 0x3F));
            *out++ = quint8(0x80 | (u & 0x3F));
        } else {
            u = QChar::surrogateToUcs4(char16_t(u), in[i++]);
            *out++ = quint8(0xF0 | (u >> 18));
            *out++ = quint8(0x80 | ((u >> 12) & 0x3F));
            *out++ = quint8(0x80 | ((u >> 6) & 0x3F));
            *out++ = quint8(0x80 | (u & 0x3F));
        }
    }
    return out;
}

} // namespace qz::detail

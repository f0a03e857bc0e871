#include "text/utf8/Utf8VectorValidator_p.h"

#include "text/utf8/Utf8LookupTables_p.h"
#include "text/utf8/Utf8Prefetch_p.h"

#if defined(__x86_64__)

#include <cstring>

namespace qz::detail {

namespace {

__m128i Load(const void* p) noexcept {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

using namespace utf8lookup;

// clang-format off
alignas(16) constexpr quint8 LastLeads[16] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    LastLeadLimit3, LastLeadLimit2, LastLeadLimit1};
// clang-format on

__attribute__((target("ssse3"))) __m128i Classify(__m128i input, __m128i prev) noexcept {
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i prev1 = _mm_alignr_epi8(input, prev, 15);
    const __m128i firstHigh =
        _mm_shuffle_epi8(Load(FirstHigh), _mm_and_si128(_mm_srli_epi16(prev1, 4), nibble));
    const __m128i firstLow = _mm_shuffle_epi8(Load(FirstLow), _mm_and_si128(prev1, nibble));
    const __m128i secondHigh =
        _mm_shuffle_epi8(Load(SecondHigh), _mm_and_si128(_mm_srli_epi16(input, 4), nibble));
    const __m128i special = _mm_and_si128(_mm_and_si128(firstHigh, firstLow), secondHigh);

    // Third and fourth bytes must be continuations (and only there may
    // two continuations meet): the byte two back is E0..FF, or the byte
    // three back F0..FF.
    const __m128i prev2 = _mm_alignr_epi8(input, prev, 14);
    const __m128i prev3 = _mm_alignr_epi8(input, prev, 13);
    const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(ThirdByteBias));
    const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(FourthByteBias));
    const __m128i mustContinue =
        _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
    return _mm_xor_si128(mustContinue, special);
}

// Adds one block to the state. A free function of this file, not a
// member: the compiler may then inline it into the loops below.
__attribute__((target("ssse3"))) inline void Block(__m128i& prev, __m128i& prevIncomplete,
                                                   __m128i& error, __m128i input) noexcept {
    if (_mm_movemask_epi8(input) == 0) {
        error = _mm_or_si128(error, prevIncomplete);
        prevIncomplete = _mm_setzero_si128();
    } else {
        error = _mm_or_si128(error, Classify(input, prev));
        prevIncomplete = _mm_subs_epu8(input, Load(LastLeads));
    }
    prev = input;
}

} // namespace

bool TVectorUtf8Validator::Available() noexcept {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    return ssse3;
}

__attribute__((target("ssse3"))) void TVectorUtf8Validator::Blocks(const quint8* p,
                                                                   qint64 n) noexcept {
    // The state in locals, so that it stays in registers through the loop.
    __m128i prev = FPrev;
    __m128i prevIncomplete = FPrevIncomplete;
    __m128i error = FError;
    qint64 i = 0;
    for (; n - i >= 64; i += 64) {
        FetchAhead(p + i, 64);
        const __m128i a = Load(p + i);
        const __m128i b = Load(p + i + 16);
        const __m128i c = Load(p + i + 32);
        const __m128i d = Load(p + i + 48);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) {
            error = _mm_or_si128(error, prevIncomplete);
            prevIncomplete = _mm_setzero_si128();
            prev = d;
            continue;
        }
        Block(prev, prevIncomplete, error, a);
        Block(prev, prevIncomplete, error, b);
        Block(prev, prevIncomplete, error, c);
        Block(prev, prevIncomplete, error, d);
    }
    for (; i < n; i += 16)
        Block(prev, prevIncomplete, error, Load(p + i));
    FPrev = prev;
    FPrevIncomplete = prevIncomplete;
    FError = error;
}

__attribute__((target("ssse3"))) void TVectorUtf8Validator::Finish(const quint8* tail,
                                                                   int n) noexcept {
    if (n > 0) {
        // 00 bytes behind the tail are ASCII: they complete nothing.
        alignas(16) quint8 padded[16] = {};
        std::memcpy(padded, tail, size_t(n));
        Block(FPrev, FPrevIncomplete, FError, Load(padded));
    }
    FError = _mm_or_si128(FError, FPrevIncomplete);
}

bool TVectorUtf8Validator::Failed() const noexcept {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(FError, _mm_setzero_si128())) != 0xFFFF;
}

} // namespace qz::detail

#endif

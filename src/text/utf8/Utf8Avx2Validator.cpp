#include "text/utf8/Utf8Avx2Validator_p.h"

#include "text/utf8/Utf8LookupTables_p.h"
#include "text/utf8/Utf8Prefetch_p.h"

#if defined(__x86_64__)

#include <cstring>

// Every function below runs AVX2 code; the attribute keeps the rest of the
// build on the baseline instruction set.
#define QZ_AVX2 __attribute__((target("avx2")))

namespace qz::detail {

namespace {

using namespace utf8lookup;

// clang-format off
alignas(32) constexpr quint8 LastLeads[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    LastLeadLimit3, LastLeadLimit2, LastLeadLimit1};
// clang-format on

QZ_AVX2 inline __m256i Load(const void* p) noexcept {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// A 16-entry table in both lanes, as the in-lane byte shuffle wants it.
QZ_AVX2 inline __m256i Table(const TNibbleTable& table) noexcept {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
}

QZ_AVX2 inline bool IsAscii(__m256i v) noexcept {
    return _mm256_movemask_epi8(v) == 0;
}

// The non-zero bytes mark the faults of `input`, with `prev` the 32 bytes
// before it.
QZ_AVX2 inline __m256i Classify(__m256i input, __m256i prev) noexcept {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    // The high half of prev and the low half of input: the byte shifts work
    // per 128-bit lane, and this is what comes before each lane.
    const __m256i before = _mm256_permute2x128_si256(prev, input, 0x21);
    const __m256i prev1 = _mm256_alignr_epi8(input, before, 15);
    const __m256i firstHigh = _mm256_shuffle_epi8(
        Table(FirstHigh), _mm256_and_si256(_mm256_srli_epi16(prev1, 4), nibble));
    const __m256i firstLow = _mm256_shuffle_epi8(Table(FirstLow), _mm256_and_si256(prev1, nibble));
    const __m256i secondHigh = _mm256_shuffle_epi8(
        Table(SecondHigh), _mm256_and_si256(_mm256_srli_epi16(input, 4), nibble));
    const __m256i special = _mm256_and_si256(_mm256_and_si256(firstHigh, firstLow), secondHigh);

    const __m256i prev2 = _mm256_alignr_epi8(input, before, 14);
    const __m256i prev3 = _mm256_alignr_epi8(input, before, 13);
    const __m256i third = _mm256_subs_epu8(prev2, _mm256_set1_epi8(ThirdByteBias));
    const __m256i fourth = _mm256_subs_epu8(prev3, _mm256_set1_epi8(FourthByteBias));
    const __m256i mustContinue =
        _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
    return _mm256_xor_si256(mustContinue, special);
}

// A lead byte among the last three of `input` whose sequence runs past it.
QZ_AVX2 inline __m256i Incomplete(__m256i input) noexcept {
    return _mm256_subs_epu8(input, Load(LastLeads));
}

} // namespace

bool TAvx2Utf8Validator::Available() noexcept {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

QZ_AVX2 void TAvx2Utf8Validator::Blocks(const quint8* p, qint64 n) noexcept {
    // The state in locals, so that it stays in registers through the loop.
    __m256i prev = FPrev;
    __m256i prevIncomplete = FPrevIncomplete;
    __m256i error = FError;
    qint64 i = 0;
    // Four vectors a round: one test covers a run of ASCII, and text with
    // any non-ASCII in it is classified whole, without a branch on each
    // vector that mixed text would mispredict.
    for (; n - i >= 4 * Step; i += 4 * Step) {
        FetchAhead(p + i, 4 * Step);
        const __m256i a = Load(p + i);
        const __m256i b = Load(p + i + Step);
        const __m256i c = Load(p + i + 2 * Step);
        const __m256i d = Load(p + i + 3 * Step);
        if (IsAscii(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d)))) {
            // Only a sequence cut at the end of the last vector can fail
            // here; ASCII before a vector classifies as zeros would.
            error = _mm256_or_si256(error, prevIncomplete);
            prevIncomplete = _mm256_setzero_si256();
            prev = d;
            continue;
        }
        const __m256i ea = Classify(a, prev);
        const __m256i eb = Classify(b, a);
        const __m256i ec = Classify(c, b);
        const __m256i ed = Classify(d, c);
        error = _mm256_or_si256(error,
                                _mm256_or_si256(_mm256_or_si256(ea, eb), _mm256_or_si256(ec, ed)));
        prevIncomplete = Incomplete(d);
        prev = d;
    }
    for (; i < n; i += Step) {
        const __m256i input = Load(p + i);
        error = _mm256_or_si256(error, Classify(input, prev));
        prevIncomplete = Incomplete(input);
        prev = input;
    }
    FPrev = prev;
    FPrevIncomplete = prevIncomplete;
    FError = error;
}

QZ_AVX2 void TAvx2Utf8Validator::Finish(const quint8* tail, int n) noexcept {
    if (n > 0) {
        // 00 bytes behind the tail are ASCII: they complete nothing.
        alignas(32) quint8 padded[Step] = {};
        std::memcpy(padded, tail, size_t(n));
        Blocks(padded, Step);
    }
    FError = _mm256_or_si256(FError, FPrevIncomplete);
}

QZ_AVX2 bool TAvx2Utf8Validator::Failed() const noexcept {
    return !_mm256_testz_si256(FError, FError);
}

} // namespace qz::detail

#undef QZ_AVX2

#endif

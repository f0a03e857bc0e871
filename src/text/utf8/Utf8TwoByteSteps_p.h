#pragma once
// The decoder's vector steps for blocks of ASCII and two-byte sequences,
// the blocks of Latin-script prose (umlauts, accents): 16 bytes on SSSE3,
// 32 on AVX2, 64 on AVX-512 (with VBMI2's compress), each chosen at run
// time where the processor has it. Private to the UTF-8 folder.

#include "text/Widening_p.h"

#include <QtGlobal>

#if defined(__x86_64__)
#include <immintrin.h>

#include <array>

namespace qz::detail {

// For each pattern of dropped positions among eight (bit i: position i is
// dropped), the shuffle that moves the code units of the other positions,
// two bytes each, to the front, and how many there are.
struct TUnitCompaction {
    alignas(16) std::array<std::array<quint8, 16>, 256> Shuffle;
    std::array<quint8, 256> Kept;
};

inline constexpr TUnitCompaction UnitCompaction = [] {
    TUnitCompaction table{};
    for (int dropped = 0; dropped < 256; ++dropped) {
        int kept = 0;
        for (int position = 0; position < 8; ++position) {
            if (dropped & (1 << position))
                continue;
            table.Shuffle[dropped][2 * kept] = quint8(2 * position);
            table.Shuffle[dropped][2 * kept + 1] = quint8(2 * position + 1);
            ++kept;
        }
        for (int unused = 2 * kept; unused < 16; ++unused)
            table.Shuffle[dropped][unused] = 0x80; // zero
        table.Kept[dropped] = quint8(kept);
    }
    return table;
}();

inline const __m128i* CompactingShuffle(unsigned dropped) noexcept {
    return reinterpret_cast<const __m128i*>(UnitCompaction.Shuffle[dropped].data());
}

struct TTwoByteBlock {
    bool Taken; // false: the block is not for this step, nothing is written
    int Units;
    unsigned Carry; // 1: the block ends in a lead, whose unit is written
};

// A step takes a block of Width bytes at p when it holds only ASCII and
// two-byte sequences (C2..DF, then 80..BF). A lead in the last byte is
// taken with the continuation that begins the next block: its unit is
// written, and Carry tells the next step (or the caller) that the next
// byte must be a continuation. `carry` is the Carry of the block before
// (0 at the first). Anything else - longer sequences, faulty bytes - is
// left to the scalar decoder. Writing, the units go to out[0..Width)
// (those past Units are scratch), reading the byte past the block too.
//
// The unit at each position: an ASCII byte as it is, at a lead its five
// bits above the six of the next byte (maddubs adds the low byte & 7F and
// 64 times the lead's bits, which are zero off the leads); the units at
// the continuations are then dropped by the shuffles of UnitCompaction.
//
// AllAscii checks a chunk of Blocks blocks (128 bytes but on SSSE3) and,
// writing, widens it to out[0..Blocks * Width).

// Signed compares: continuations 80..BF are below -64; leads C2..DF are
// -128..-99 once BE is added, which puts every other byte above them.
inline constexpr char ContinuationBelow = -64;
inline constexpr char LeadBias = char(0xBE);
inline constexpr char LeadBelow = -98;

// Every continuation right behind a lead (or at the start, behind the
// carried one), and every lead right before a continuation, but for a
// lead in the last byte (the shift drops it).
template <class TMask>
constexpr bool OnlyTwoByteSequences(TMask nonAscii, TMask leads, TMask continuations,
                                    unsigned carry) noexcept {
    return (leads | continuations) == nonAscii && continuations == TMask((leads << 1) | carry);
}

struct TSsse3TwoByteSteps {
    static constexpr int Width = 16;
    static constexpr int Blocks = 4;

    template <bool Write>
    __attribute__((target("ssse3"))) static bool AllAscii(const quint8* p, char16_t* out) noexcept {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0)
            return false;
        if constexpr (Write) {
            StoreWidened(a, out);
            StoreWidened(b, out + 16);
            StoreWidened(c, out + 32);
            StoreWidened(d, out + 48);
        }
        return true;
    }

    template <bool Write>
    __attribute__((target("ssse3"))) static TTwoByteBlock Block(const quint8* p, unsigned carry,
                                                                char16_t* out) noexcept {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i continuation = _mm_cmplt_epi8(v, _mm_set1_epi8(ContinuationBelow));
        const __m128i lead =
            _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(LeadBias)), _mm_set1_epi8(LeadBelow));
        const auto leads = quint16(_mm_movemask_epi8(lead));
        const auto continuations = quint16(_mm_movemask_epi8(continuation));
        if (!OnlyTwoByteSequences(quint16(_mm_movemask_epi8(v)), leads, continuations, carry))
            return {false, 0, 0};
        const unsigned low = continuations & 0xFF;
        const unsigned high = continuations >> 8;
        const int keptLow = UnitCompaction.Kept[low];
        if constexpr (Write) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
            const __m128i lowBytes =
                _mm_and_si128(_mm_or_si128(_mm_and_si128(lead, next), _mm_andnot_si128(lead, v)),
                              _mm_set1_epi8(0x7F));
            const __m128i leadBits = _mm_and_si128(_mm_and_si128(v, lead), _mm_set1_epi8(0x1F));
            const __m128i weights = _mm_set1_epi16(0x4001); // low * 1, lead bits * 64
            const __m128i unitsLow =
                _mm_maddubs_epi16(_mm_unpacklo_epi8(lowBytes, leadBits), weights);
            const __m128i unitsHigh =
                _mm_maddubs_epi16(_mm_unpackhi_epi8(lowBytes, leadBits), weights);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                             _mm_shuffle_epi8(unitsLow, _mm_load_si128(CompactingShuffle(low))));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + keptLow),
                             _mm_shuffle_epi8(unitsHigh, _mm_load_si128(CompactingShuffle(high))));
        }
        return {true, keptLow + UnitCompaction.Kept[high], unsigned(leads >> 15)};
    }
};

struct TAvx2TwoByteSteps {
    static constexpr int Width = 32;
    static constexpr int Blocks = 4;

    template <bool Write>
    __attribute__((target("avx2"))) static bool AllAscii(const quint8* p, char16_t* out) noexcept {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 64));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 96));
        if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(a, b), _mm256_or_si256(c, d))) !=
            0)
            return false;
        if constexpr (Write) {
            for (int at = 0; at < Blocks * Width; at += 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + at),
                                    _mm256_cvtepu8_epi16(bytes));
            }
        }
        return true;
    }

    template <bool Write>
    __attribute__((target("avx2"))) static TTwoByteBlock Block(const quint8* p, unsigned carry,
                                                               char16_t* out) noexcept {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i continuation = _mm256_cmpgt_epi8(_mm256_set1_epi8(ContinuationBelow), v);
        const __m256i lead = _mm256_cmpgt_epi8(_mm256_set1_epi8(LeadBelow),
                                               _mm256_add_epi8(v, _mm256_set1_epi8(LeadBias)));
        const auto leads = quint32(_mm256_movemask_epi8(lead));
        const auto continuations = quint32(_mm256_movemask_epi8(continuation));
        if (!OnlyTwoByteSequences(quint32(_mm256_movemask_epi8(v)), leads, continuations, carry))
            return {false, 0, 0};
        // Units of positions 0..7 and 16..23 in one vector, 8..15 and
        // 24..31 in the other (the unpacks work within 128-bit lanes).
        const unsigned dropped0 = continuations & 0xFF;
        const unsigned dropped1 = (continuations >> 8) & 0xFF;
        const unsigned dropped2 = (continuations >> 16) & 0xFF;
        const unsigned dropped3 = continuations >> 24;
        const int kept0 = UnitCompaction.Kept[dropped0];
        const int kept01 = kept0 + UnitCompaction.Kept[dropped1];
        const int kept012 = kept01 + UnitCompaction.Kept[dropped2];
        if constexpr (Write) {
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
            const __m256i lowBytes =
                _mm256_and_si256(_mm256_blendv_epi8(v, next, lead), _mm256_set1_epi8(0x7F));
            const __m256i leadBits =
                _mm256_and_si256(_mm256_and_si256(v, lead), _mm256_set1_epi8(0x1F));
            const __m256i weights = _mm256_set1_epi16(0x4001); // low * 1, lead bits * 64
            const __m256i units0and2 =
                _mm256_maddubs_epi16(_mm256_unpacklo_epi8(lowBytes, leadBits), weights);
            const __m256i units1and3 =
                _mm256_maddubs_epi16(_mm256_unpackhi_epi8(lowBytes, leadBits), weights);
            const __m256i packed0and2 =
                _mm256_shuffle_epi8(units0and2, _mm256_loadu2_m128i(CompactingShuffle(dropped2),
                                                                    CompactingShuffle(dropped0)));
            const __m256i packed1and3 =
                _mm256_shuffle_epi8(units1and3, _mm256_loadu2_m128i(CompactingShuffle(dropped3),
                                                                    CompactingShuffle(dropped1)));
            const auto store = [](char16_t* at, __m128i units) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(at), units);
            };
            store(out, _mm256_castsi256_si128(packed0and2));
            store(out + kept0, _mm256_castsi256_si128(packed1and3));
            store(out + kept01, _mm256_extracti128_si256(packed0and2, 1));
            store(out + kept012, _mm256_extracti128_si256(packed1and3, 1));
        }
        return {true, kept012 + UnitCompaction.Kept[dropped3], leads >> 31};
    }
};

// AVX-512 BW, VBMI (byte permutes) and VBMI2 (compress); the attribute
// keeps the rest of the build on the baseline instruction set.
#define QZ_AVX512_STEPS                                                                            \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vbmi,avx512vbmi2,popcnt")))

// Byte permutes that put the low byte and the lead bits of each position
// side by side, for positions 0..31 and 32..63.
struct TByteInterleave {
    alignas(64) std::array<quint8, 64> Positions[2];
};

inline constexpr TByteInterleave ByteInterleave = [] {
    TByteInterleave table{};
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < 32; ++i) {
            table.Positions[half][2 * i] = quint8(32 * half + i);          // low byte
            table.Positions[half][2 * i + 1] = quint8(64 + 32 * half + i); // lead bits
        }
    }
    return table;
}();

// The steps of the other kernels with masks for the classes of bytes, and
// compress in place of the shuffle tables.
struct TAvx512TwoByteSteps {
    static constexpr int Width = 64;
    static constexpr int Blocks = 2;

    template <bool Write>
    QZ_AVX512_STEPS static bool AllAscii(const quint8* p, char16_t* out) noexcept {
        const __m512i a = _mm512_loadu_si512(p);
        const __m512i b = _mm512_loadu_si512(p + 64);
        if (_mm512_movepi8_mask(_mm512_or_si512(a, b)) != 0)
            return false;
        if constexpr (Write) {
            for (int at = 0; at < Blocks * Width; at += 32) {
                const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at));
                _mm512_storeu_si512(out + at, _mm512_cvtepu8_epi16(bytes));
            }
        }
        return true;
    }

    template <bool Write>
    QZ_AVX512_STEPS static TTwoByteBlock Block(const quint8* p, unsigned carry,
                                               char16_t* out) noexcept {
        const __m512i v = _mm512_loadu_si512(p);
        const quint64 continuations =
            _mm512_cmplt_epi8_mask(v, _mm512_set1_epi8(ContinuationBelow));
        const quint64 leads = _mm512_cmplt_epi8_mask(_mm512_add_epi8(v, _mm512_set1_epi8(LeadBias)),
                                                     _mm512_set1_epi8(LeadBelow));
        if (!OnlyTwoByteSequences(quint64(_mm512_movepi8_mask(v)), leads, continuations, carry))
            return {false, 0, 0};
        const quint64 kept = ~continuations;
        const int keptLow = int(_mm_popcnt_u32(unsigned(kept)));
        if constexpr (Write) {
            const __m512i next = _mm512_loadu_si512(p + 1);
            const __m512i lowBytes =
                _mm512_and_si512(_mm512_mask_blend_epi8(leads, v, next), _mm512_set1_epi8(0x7F));
            const __m512i leadBits =
                _mm512_and_si512(_mm512_maskz_mov_epi8(leads, v), _mm512_set1_epi8(0x1F));
            const __m512i weights = _mm512_set1_epi16(0x4001); // low * 1, lead bits * 64
            // (No lambda here: it would not have the function's target.)
            const __m512i units0 = _mm512_maddubs_epi16(
                _mm512_permutex2var_epi8(
                    lowBytes, _mm512_load_si512(ByteInterleave.Positions[0].data()), leadBits),
                weights);
            const __m512i units1 = _mm512_maddubs_epi16(
                _mm512_permutex2var_epi8(
                    lowBytes, _mm512_load_si512(ByteInterleave.Positions[1].data()), leadBits),
                weights);
            _mm512_storeu_si512(out, _mm512_maskz_compress_epi16(__mmask32(kept), units0));
            _mm512_storeu_si512(out + keptLow,
                                _mm512_maskz_compress_epi16(__mmask32(kept >> 32), units1));
        }
        return {true, keptLow + int(_mm_popcnt_u32(unsigned(kept >> 32))), unsigned(leads >> 63)};
    }
};

} // namespace qz::detail
#endif

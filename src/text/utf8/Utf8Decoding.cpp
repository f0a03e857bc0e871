#include "text/utf8/Utf8.h"
#include "text/utf8/Utf8Lead_p.h"
#include "text/utf8/Utf8Prefetch_p.h"
#include "text/utf8/Utf8TwoByteSteps_p.h"

#include "text/Widening_p.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace qz::detail {

namespace {

constexpr bool IsContinuation(quint8 b) noexcept {
    return (b & 0xC0) == 0x80;
}

// Where the processor has no vector two-byte step.
struct TNoTwoByteSteps {};

// One body for decoding and for counting, so that both take exactly the
// same sequences. Bounded: `room` may be less than the bytes, so the vector
// steps must keep their scratch inside it. TSteps: TNoTwoByteSteps, or the
// vector steps for blocks of ASCII and two-byte sequences.
template <bool Write, bool Bounded, class TSteps>
TUtf8Prefix WellFormedPrefix(const quint8* in, qsizetype n, char16_t* out,
                             qsizetype room) noexcept {
    const quint8* p = in;
    const quint8* const end = in + n;
    // Written units when writing, counted ones otherwise.
    char16_t* o = out;
    qsizetype counted = 0;
    const auto units = [&] { return Write ? qsizetype(o - out) : counted; };
    const auto put = [&](char16_t unit) {
        if constexpr (Write)
            *o++ = unit;
        else
            ++counted;
    };
    const auto advance = [&](qsizetype units) {
        if constexpr (Write)
            o += units;
        else
            counted += units;
    };
    // A vector step writes at most one unit per byte it reads, and the
    // units never outnumber the bytes taken: its scratch stays below
    // out + n, and inside `room` when bounded.
    while (p < end) {
#if defined(__x86_64__)
        if constexpr (!std::is_same_v<TSteps, TNoTwoByteSteps>) {
            // Chunks of a few blocks: the branch between ASCII and the
            // two-byte step is then taken per chunk, where prose with an
            // umlaut every few dozen bytes would mispredict it per block,
            // and the steps go a fixed width, so that no step waits for the
            // one before. A step reads one byte past its block.
            constexpr int Width = TSteps::Width;
            constexpr int Blocks = TSteps::Blocks;
            constexpr int Chunk = Blocks * Width;
            while (end - p > Chunk && (!Bounded || room - units() >= Chunk)) {
                FetchAhead(p, Chunk);
                if (TSteps::template AllAscii<Write>(p, o)) {
                    p += Chunk;
                    advance(Chunk);
                    continue;
                }
                unsigned carry = 0;
                int blocks = 0;
                for (; blocks < Blocks; ++blocks) {
                    const TTwoByteBlock block = TSteps::template Block<Write>(p, carry, o);
                    if (!block.Taken)
                        break;
                    p += Width;
                    advance(block.Units);
                    carry = block.Carry;
                }
                // A lead that ends the chunk, its unit written: its
                // continuation is taken here, or the lead goes back to the
                // scalar decoder below.
                if (carry != 0 && blocks == Blocks && IsContinuation(*p)) {
                    ++p;
                    carry = 0;
                }
                if (carry != 0) {
                    --p;
                    advance(-1);
                    break;
                }
                if (blocks < Blocks)
                    break; // to the sequence that stopped the step
            }
        }
#endif
        // Text is mostly ASCII: its runs go 16 bytes at a time. The block
        // where a run ends is written whole; the units behind the run are
        // overwritten by what follows.
#if defined(__SSE2__)
        while (end - p >= 16 && (!Bounded || room - units() >= 16)) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            if constexpr (Write)
                StoreWidened(v, o);
            if (const int mask = _mm_movemask_epi8(v)) {
                const int ascii = __builtin_ctz(unsigned(mask));
                p += ascii;
                advance(ascii);
                break;
            }
            p += 16;
            advance(16);
        }
#else
        while (end - p >= 8 && (!Bounded || room - units() >= 8)) {
            quint64 block;
            std::memcpy(&block, p, 8);
            if (block & 0x8080808080808080ULL)
                break;
            for (int k = 0; k < 8; ++k)
                put(p[k]);
            p += 8;
        }
#endif
        if (p == end)
            break;

        const quint8 lead = *p;
        if (lead < 0x80) {
            put(lead);
            ++p;
            continue;
        }
        // Utf8Lead is asked inside each branch, where the compiler knows the
        // lead's range and folds it to that branch's second-byte range.
        if (lead < 0xC2) {
            break; // a continuation byte, or overlong C0/C1
        } else if (lead < 0xE0) {
            if (end - p < 2 || !IsContinuation(p[1]))
                break;
            put(char16_t(((lead & 0x1F) << 6) | (p[1] & 0x3F)));
            p += 2;
        } else if (lead < 0xF0) {
            const TUtf8Lead sequence = Utf8Lead(lead);
            if (end - p < 3 || p[1] < sequence.Lo || p[1] > sequence.Hi || !IsContinuation(p[2]))
                break;
            put(char16_t(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F)));
            p += 3;
        } else if (lead < 0xF5) {
            const TUtf8Lead sequence = Utf8Lead(lead);
            if (end - p < 4 || p[1] < sequence.Lo || p[1] > sequence.Hi || !IsContinuation(p[2]) ||
                !IsContinuation(p[3]))
                break;
            const char32_t cp = (char32_t(lead & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
                                (char32_t(p[2] & 0x3F) << 6) | char32_t(p[3] & 0x3F);
            put(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            put(char16_t(0xDC00 + (cp & 0x3FF)));
            p += 4;
        } else {
            break;
        }
    }
    return {p - in, units()};
}

#if defined(__x86_64__)
// The whole loop built for each vector kernel, so that its steps are
// inlined.
template <bool Write, bool Bounded>
__attribute__((target("ssse3"), flatten)) TUtf8Prefix
Ssse3Prefix(const quint8* in, qsizetype n, char16_t* out, qsizetype room) noexcept {
    return WellFormedPrefix<Write, Bounded, TSsse3TwoByteSteps>(in, n, out, room);
}

template <bool Write, bool Bounded>
__attribute__((target("avx2"), flatten)) TUtf8Prefix
Avx2Prefix(const quint8* in, qsizetype n, char16_t* out, qsizetype room) noexcept {
    return WellFormedPrefix<Write, Bounded, TAvx2TwoByteSteps>(in, n, out, room);
}

template <bool Write, bool Bounded>
QZ_AVX512_STEPS __attribute__((flatten)) TUtf8Prefix
Avx512Prefix(const quint8* in, qsizetype n, char16_t* out, qsizetype room) noexcept {
    return WellFormedPrefix<Write, Bounded, TAvx512TwoByteSteps>(in, n, out, room);
}
#endif

// `kernel` must be one the processor has.
template <bool Write, bool Bounded>
TUtf8Prefix KernelPrefix(TUtf8Kernel kernel, const quint8* in, qsizetype n, char16_t* out,
                         qsizetype room) noexcept {
    switch (kernel) {
#if defined(__x86_64__)
    case TUtf8Kernel::Ssse3:
        return Ssse3Prefix<Write, Bounded>(in, n, out, room);
    case TUtf8Kernel::Avx2:
        return Avx2Prefix<Write, Bounded>(in, n, out, room);
    case TUtf8Kernel::Avx512:
        return Avx512Prefix<Write, Bounded>(in, n, out, room);
#endif
    default:
        return WellFormedPrefix<Write, Bounded, TNoTwoByteSteps>(in, n, out, room);
    }
}

TUtf8Prefix Prefix(TUtf8Kernel kernel, const quint8* in, qsizetype n, char16_t* out,
                   qsizetype room) noexcept {
    if (!out)
        return KernelPrefix<false, false>(kernel, in, n, nullptr, 0);
    // UTF-8 never takes more code units than bytes: room for one unit per
    // byte needs no bounding.
    if (room >= n)
        return KernelPrefix<true, false>(kernel, in, n, out, room);
    return KernelPrefix<true, true>(kernel, in, n, out, room);
}

// The decoders run the kernel the check runs: the widest available.
TUtf8Kernel DecodingKernel() noexcept {
    return BestUtf8Kernel();
}

} // namespace

TUtf8Prefix DecodeWellFormedUtf8(const quint8* in, qsizetype n, char16_t* out,
                                 qsizetype room) noexcept {
    return Prefix(DecodingKernel(), in, n, out, room);
}

TUtf8Prefix DecodeWellFormedUtf8With(TUtf8Kernel kernel, const quint8* in, qsizetype n,
                                     char16_t* out, qsizetype room) noexcept {
    return Prefix(Utf8KernelAvailable(kernel) ? kernel : TUtf8Kernel::Portable, in, n, out, room);
}

qsizetype DecodeUtf8Strict(const quint8* in, qsizetype n, char16_t* out, qsizetype room) noexcept {
    const TUtf8Prefix prefix = DecodeWellFormedUtf8(in, n, out, room);
    return prefix.Bytes == n ? prefix.Units : -1;
}

// The well-formed stretches are decoded here; each faulty stretch up to the
// next ASCII byte (where every sequence ends) goes to Qt's decoder, whose
// replacement rules the result then follows.
QChar* DecodeUtf8Lenient(QByteArrayView bytes, QChar* out) {
    QStringDecoder faults(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                    QStringDecoder::Flag::ConvertInitialBom);
    const auto* in = reinterpret_cast<const quint8*>(bytes.data());
    const qsizetype n = bytes.size();
    const TUtf8Kernel kernel = DecodingKernel();
    qsizetype i = 0;
    while (i < n) {
        // Units so far never outnumber the bytes so far, so the room left
        // is at least the bytes left.
        const TUtf8Prefix prefix = KernelPrefix<true, false>(
            kernel, in + i, n - i, reinterpret_cast<char16_t*>(out), n - i);
        i += prefix.Bytes;
        out += prefix.Units;
        if (i == n)
            break;
        qsizetype end = i + 1;
        while (end < n && in[end] >= 0x80)
            ++end;
        out = faults.appendToBuffer(out, bytes.sliced(i, end - i));
        i = end;
    }
    return out;
}

qsizetype CutSequenceLength(QByteArrayView bytes) noexcept {
    const qsizetype n = bytes.size();
    for (qsizetype k = 1; k <= std::min(MaxHeldBack, n); ++k) {
        const quint8 b = quint8(bytes[n - k]);
        if (IsContinuation(b))
            continue;
        if (b < 0x80)
            return 0;
        // Also the bytes that begin no sequence (C0, C1, F5..FF): Qt's
        // decoder may take them together with what follows.
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        return length > k ? k : 0;
    }
    return 0;
}

} // namespace qz::detail

#pragma once
// UTF-8 in the text layer, behind this one header: the encoder from UTF-16
// (TUTF8Encoding's and so every save's), the decoders from UTF-8
// to UTF-16 (one kernel decodes the well-formed prefix of its input; the
// strict decoder of the UTF-8 encodings and the lenient one of the file
// loader are both built on it), and the check whether bytes are UTF-8
// (IsUtf8Content in QZ_Files.h). The kernels of the check and of the
// decoder are named here so that tests, the fuzz target and the benchmarks
// can run each one the processor has. Everything else in this folder is
// private to it.
//
//   qz::detail::DecodeUtf8Strict(in, n, out, room) == -1 // malformed
//   qz::detail::IsUtf8ContentWith(TUtf8Kernel::Portable, "\xC3\xA4", 2, 1) == true

#include <QByteArrayView>
#include <QChar>
#include <QtGlobal>

namespace qz::detail {

// --- encoding

// The UTF-8 of in[0..n) at `out`; returns the end of what was written.
// Nothing is written past the encoded bytes, so room for them suffices;
// they are at most 3 * n (a surrogate pair, two units, takes four). A
// surrogate without its partner becomes U+FFFD.
[[nodiscard]] quint8* EncodeUtf8(const char16_t* in, qsizetype n, quint8* out) noexcept;

// --- decoding

struct TUtf8Prefix {
    qsizetype Bytes; // input taken: whole, well-formed sequences only
    qsizetype Units; // UTF-16 code units they give
};

// Decodes the well-formed UTF-8 (RFC 3629) at the start of in[0..n) and
// stops before the first byte that does not begin a complete, well-formed
// sequence. `out` (room for `room` code units, at least the units of the
// prefix) may be null to count only. Units past the prefix may be written
// as scratch, always inside `room`.
[[nodiscard]] TUtf8Prefix DecodeWellFormedUtf8(const quint8* in, qsizetype n, char16_t* out,
                                               qsizetype room) noexcept;

// Strict UTF-8: the code units of the whole input, or -1 when any of it is
// malformed (also a sequence cut off at the end). `out` as above.
[[nodiscard]] qsizetype DecodeUtf8Strict(const quint8* in, qsizetype n, char16_t* out,
                                         qsizetype room) noexcept;

// Lenient UTF-8 into `out` (room for one code unit per byte); returns the
// end of what was written. Malformed bytes become U+FFFD exactly as Qt's
// decoder replaces them; a byte-order mark is text (U+FEFF) like any other
// character, where QString::fromUtf8 would drop a leading one.
[[nodiscard]] QChar* DecodeUtf8Lenient(QByteArrayView bytes, QChar* out);

// The most bytes of a UTF-8 sequence that a block end can cut off.
inline constexpr qsizetype MaxHeldBack = 3;

// How many bytes at the end of `bytes` begin a sequence that needs more
// bytes than are there (0 when the last sequence is complete, or when the
// end holds only ASCII or continuation bytes). A block decoder holds them
// back for the next block, so that blockwise decoding equals a one-piece
// decoding.
[[nodiscard]] qsizetype CutSequenceLength(QByteArrayView bytes) noexcept;

// --- the kernels of the check and the decoder

enum class TUtf8Kernel {
    Portable, // one sequence at a time; the reference, and any processor
    Ssse3,    // 16 bytes per step
    Avx2,     // 32 bytes per step
    Avx512,   // the decoder 64 bytes per step (BW, VBMI, VBMI2); the check runs AVX2's
};

inline constexpr TUtf8Kernel AllUtf8Kernels[] = {TUtf8Kernel::Portable, TUtf8Kernel::Ssse3,
                                                 TUtf8Kernel::Avx2, TUtf8Kernel::Avx512};

// Whether this processor can run `kernel`.
[[nodiscard]] bool Utf8KernelAvailable(TUtf8Kernel kernel) noexcept;

// The kernel IsUtf8Content runs: the widest one available.
[[nodiscard]] TUtf8Kernel BestUtf8Kernel() noexcept;

// "portable", "ssse3", "avx2", "avx512": for test and benchmark names.
[[nodiscard]] const char* Utf8KernelName(TUtf8Kernel kernel) noexcept;

// IsUtf8Content through `kernel`, fed `blockSize` (> 0) bytes at a time, so
// that sequences are cut where the reads of a stream would cut them.
// A kernel this processor lacks is replaced by the portable one.
//   IsUtf8ContentWith(TUtf8Kernel::Portable, "\xC3\xA4", 2, 1) == true
[[nodiscard]] bool IsUtf8ContentWith(TUtf8Kernel kernel, const char* data, qint64 size,
                                     qint64 blockSize) noexcept;

// DecodeWellFormedUtf8 through `kernel`: Portable decodes every sequence
// but ASCII runs on its own, the vector kernels also take blocks of ASCII
// and two-byte sequences at once. A kernel this processor lacks is
// replaced by the portable one.
[[nodiscard]] TUtf8Prefix DecodeWellFormedUtf8With(TUtf8Kernel kernel, const quint8* in,
                                                   qsizetype n, char16_t* out,
                                                   qsizetype room) noexcept;

} // namespace qz::detail

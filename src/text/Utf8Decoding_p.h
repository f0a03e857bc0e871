#pragma once
// UTF-8 to UTF-16. One kernel decodes the well-formed prefix of its input;
// the strict decoder of the UTF-8 encodings and the lenient one of the
// file loader are both built on it. Private to the text layer.

#include <QByteArrayView>
#include <QChar>
#include <QtGlobal>

namespace qz::detail {

// What a lead byte starts: the sequence's length (0: it starts none; 1:
// ASCII) and the range its second byte must lie in, which rules out
// overlong forms, surrogates and code points above U+10FFFF. The third and
// fourth bytes are any continuation byte (80..BF).
struct TUtf8Lead {
    int Length;
    quint8 Lo;
    quint8 Hi;
};

constexpr TUtf8Lead Utf8Lead(quint8 lead) noexcept {
    if (lead < 0x80)
        return {1, 0, 0};
    if (lead < 0xC2) // a continuation byte, or overlong C0/C1
        return {0, 0, 0};
    if (lead < 0xE0)
        return {2, 0x80, 0xBF};
    if (lead < 0xF0)
        return {3, quint8(lead == 0xE0 ? 0xA0 : 0x80), quint8(lead == 0xED ? 0x9F : 0xBF)};
    if (lead < 0xF5)
        return {4, quint8(lead == 0xF0 ? 0x90 : 0x80), quint8(lead == 0xF4 ? 0x8F : 0xBF)};
    return {0, 0, 0};
}

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

} // namespace qz::detail

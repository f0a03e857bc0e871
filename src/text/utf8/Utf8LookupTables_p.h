#pragma once
// The tables of the vector UTF-8 checks (SSSE3 and AVX2), so that both
// classify byte pairs by the same bits. Private to the text layer.

#include <QtGlobal>

namespace qz::detail::utf8lookup {

// Error bits of a (first byte, second byte) pair.
inline constexpr char TooShort = 1 << 0;       // lead, then no continuation
inline constexpr char TooLong = 1 << 1;        // ASCII, then a continuation
inline constexpr char Overlong3 = 1 << 2;      // E0 80..9F
inline constexpr char TooLarge = 1 << 3;       // F4 90..BF, F5..FF 90..BF
inline constexpr char Surrogate = 1 << 4;      // ED A0..BF
inline constexpr char Overlong2 = 1 << 5;      // C0, C1 with a continuation
inline constexpr char Large1000 = 1 << 6;      // F5..FF 80..8F
inline constexpr char Overlong4 = 1 << 6;      // F0 80..8F
inline constexpr char TwoConts = char(1 << 7); // continuation, continuation
inline constexpr char Carry = TooShort | TooLong | TwoConts;
inline constexpr char LargeLow = Carry | TooLarge | Large1000;
inline constexpr char Cont = TooLong | Overlong2 | TwoConts;

// Each 16-entry table is looked up by one nibble; the AVX2 check reads
// every table into both of its 128-bit lanes.
using TNibbleTable = char[16];

// The tables read best as rows of 16; clang-format would put one entry a line.
// clang-format off

// By the high nibble of the first byte.
alignas(16) inline constexpr TNibbleTable FirstHigh = {
    TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong,
    TwoConts, TwoConts, TwoConts, TwoConts,
    TooShort | Overlong2, TooShort, TooShort | Overlong3 | Surrogate,
    TooShort | TooLarge | Large1000 | Overlong4};

// By the low nibble of the first byte.
alignas(16) inline constexpr TNibbleTable FirstLow = {
    Carry | Overlong3 | Overlong2 | Overlong4, Carry | Overlong2, Carry, Carry,
    Carry | TooLarge, LargeLow, LargeLow, LargeLow,
    LargeLow, LargeLow, LargeLow, LargeLow,
    LargeLow, LargeLow | Surrogate, LargeLow, LargeLow};

// By the high nibble of the second byte.
alignas(16) inline constexpr TNibbleTable SecondHigh = {
    TooShort, TooShort, TooShort, TooShort, TooShort, TooShort, TooShort, TooShort,
    Cont | Overlong3 | Large1000 | Overlong4, Cont | Overlong3 | TooLarge,
    Cont | Surrogate | TooLarge, Cont | Surrogate | TooLarge,
    TooShort, TooShort, TooShort, TooShort};

// clang-format on

// Subtracted (with saturation) from the last three bytes of a block: what
// stays positive is a lead byte whose sequence needs more bytes than the
// block has left. Every byte before them loses 0xFF and so becomes 0.
inline constexpr quint8 LastLeadLimit3 = 0xF0 - 1; // three bytes from the end
inline constexpr quint8 LastLeadLimit2 = 0xE0 - 1;
inline constexpr quint8 LastLeadLimit1 = 0xC0 - 1;

// Third and fourth bytes of a sequence: a byte two back at E0 or above, or
// three back at F0 or above, keeps its top bit after these subtractions.
inline constexpr char ThirdByteBias = char(0xE0 - 0x80);
inline constexpr char FourthByteBias = char(0xF0 - 0x80);

} // namespace qz::detail::utf8lookup

#pragma once
// The one table of UTF-8's lead bytes that the decoder and the portable
// check share. Private to the UTF-8 folder.

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

} // namespace qz::detail

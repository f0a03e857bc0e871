#pragma once
// The vector UTF-8 check (SSSE3, 16 bytes per step), chosen at run time
// where the processor has it. Private to the text layer.

#include <QtGlobal>

#if defined(__x86_64__)
#include <immintrin.h>

namespace qz::detail {

// Classifies every pair of neighbouring bytes through three 16-entry
// tables - the high and low nibble of the first byte, the high nibble of
// the second - whose AND is non-zero exactly for the pairs that cannot
// occur in UTF-8. A third or fourth byte of a sequence is the one place
// where two continuation bytes may follow each other; that is checked from
// the bytes two and three places back. Blocks carry the last bytes of the
// previous one, so sequences may span blocks.
// The method is the "lookup" algorithm of Keiser and Lemire, "Validating
// UTF-8 In Less Than One Instruction Per Byte" (Software: Practice and
// Experience, 2021).
class TVectorUtf8Validator {
public:
    static constexpr int Step = 16; // bytes per vector

    [[nodiscard]] static bool Available() noexcept;

    // Checks n bytes; `n` is a multiple of Step.
    void Blocks(const quint8* p, qint64 n) noexcept;

    // Checks the last `n` < Step bytes, then whether the text ends inside a
    // sequence.
    void Finish(const quint8* tail, int n) noexcept;

    [[nodiscard]] bool Failed() const noexcept;

private:
    __m128i FPrev = _mm_setzero_si128();
    __m128i FPrevIncomplete = _mm_setzero_si128();
    __m128i FError = _mm_setzero_si128();
};

} // namespace qz::detail
#endif

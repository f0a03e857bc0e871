#pragma once
// The vector UTF-8 check on AVX2, 32 bytes per step, chosen at run time
// where the processor has it. Private to the text layer.

#include <QtGlobal>

#if defined(__x86_64__)
#include <immintrin.h>

namespace qz::detail {

// The pair classification of the SSSE3 check (TVectorUtf8Validator, with
// the same tables) on 32-byte vectors; the bytes one to three places back
// cross the middle of the vector and come from the previous one at the
// start. Runs of 128 ASCII bytes take one test and no classification.
// The method is the "lookup" algorithm of Keiser and Lemire, "Validating
// UTF-8 In Less Than One Instruction Per Byte" (Software: Practice and
// Experience, 2021).
// Every member but Available needs AVX2: call them only where it holds.
class TAvx2Utf8Validator {
public:
    static constexpr int Step = 32; // bytes per vector

    [[nodiscard]] static bool Available() noexcept;

    // Checks n bytes; `n` is a multiple of Step.
    void Blocks(const quint8* p, qint64 n) noexcept;

    // Checks the last `n` < Step bytes, then whether the text ends inside a
    // sequence.
    void Finish(const quint8* tail, int n) noexcept;

    [[nodiscard]] bool Failed() const noexcept;

private:
    // Zeroed as memory, without a 256-bit instruction: the object may be
    // made where AVX2 is not switched on.
    __m256i FPrev{};
    __m256i FPrevIncomplete{};
    __m256i FError{};
};

} // namespace qz::detail
#endif

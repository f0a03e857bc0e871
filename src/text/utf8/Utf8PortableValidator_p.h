#pragma once
// The portable UTF-8 check, one sequence at a time, for processors that
// lack the vector check. Private to the text layer.

#include <QtGlobal>

namespace qz::detail {

// Strict RFC 3629 check that can be fed block by block: a sequence cut at
// the end of one block is finished at the start of the next.
class TPortableUtf8Validator {
public:
    // False as soon as the bytes so far cannot begin well-formed UTF-8.
    bool Feed(const quint8* p, qint64 n) noexcept;

    // Well-formed, complete and at least one character long.
    [[nodiscard]] bool Complete() const noexcept { return FOk && FPending == 0 && FAny; }

private:
    // Defined here so that it is inlined into Feed.
    bool FinishCutSequence(const quint8* p, qint64 n, qint64& i) noexcept {
        while (FPending > 0 && i < n) {
            const quint8 c = p[i++];
            if (c < FLo || c > FHi)
                return false;
            FLo = 0x80;
            FHi = 0xBF;
            --FPending;
        }
        return true;
    }

    int FPending = 0;  // continuation bytes still expected
    quint8 FLo = 0x80; // range allowed for the next continuation byte
    quint8 FHi = 0xBF;
    bool FOk = true;
    bool FAny = false;
};

} // namespace qz::detail

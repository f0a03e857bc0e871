#include "text/utf8/Utf8PortableValidator_p.h"

#include "text/utf8/Utf8.h"
#include "text/utf8/Utf8Lead_p.h"

#include <cstring>

namespace qz::detail {

bool TPortableUtf8Validator::Feed(const quint8* p, qint64 n) noexcept {
    if (!FOk)
        return false;
    if (n > 0)
        FAny = true;
    qint64 i = 0;
    if (!FinishCutSequence(p, n, i))
        return FOk = false;
    while (i < n) {
        // Plain text is mostly ASCII: test 16 bytes per step.
        while (n - i >= 16) {
            quint64 a;
            quint64 b;
            std::memcpy(&a, p + i, 8);
            std::memcpy(&b, p + i + 8, 8);
            if ((a | b) & 0x8080808080808080ULL)
                break;
            i += 16;
        }
        while (i < n && p[i] < 0x80)
            ++i;
        if (i == n)
            break;

        const TUtf8Lead sequence = Utf8Lead(p[i]);
        if (sequence.Length == 0)
            return FOk = false;
        if (n - i >= sequence.Length) {
            const quint8 second = p[i + 1];
            if (second < sequence.Lo || second > sequence.Hi)
                return FOk = false;
            if (sequence.Length >= 3 && (p[i + 2] & 0xC0) != 0x80)
                return FOk = false;
            if (sequence.Length == 4 && (p[i + 3] & 0xC0) != 0x80)
                return FOk = false;
            i += sequence.Length;
        } else {
            ++i;
            FPending = sequence.Length - 1;
            FLo = sequence.Lo;
            FHi = sequence.Hi;
            if (!FinishCutSequence(p, n, i))
                return FOk = false;
        }
    }
    return true;
}

} // namespace qz::detail

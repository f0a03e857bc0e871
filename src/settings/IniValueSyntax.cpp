// The text forms of the typed values: strict integers, doubles as the hex
// digits of their bit pattern, and points. The lenient number scanning, hex
// digits and hex forms are the common helpers of the text layer.
#include "settings/IniDocument.h"

#include "text/QZ_cmn.h"

#include <bit>
#include <limits>
#include <type_traits>

namespace qz {

namespace {

// Optional leading spaces, an optional sign, then decimal digits or "$",
// "x" or "0x" and hexadecimal digits, up to the very end. Decimal values
// must lie in T's range; hexadecimal ones must fit its width and are taken
// as the bit pattern. The common ParseInteger cannot serve: it wraps around
// and stops at the first stray character, where this syntax refuses.
template <typename T>
bool ParseStrict(QStringView t, T& out) {
    using U = std::make_unsigned_t<T>;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (i < n && t[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        negative = t[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (t[i] == u'$' || t[i] == u'x' || t[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    U value = 0;
    if (hex) {
        int significant = 0;
        for (; i < n; ++i) {
            const int d = HexDigitValue(t[i]);
            if (d < 0)
                return false;
            if (significant == 0 && d == 0)
                continue; // leading zeros do not count against the width
            if (++significant > int(sizeof(T) * 2))
                return false;
            value = U(value << 4) | U(d);
        }
    } else {
        const U limit =
            negative ? U(std::numeric_limits<T>::max()) + 1 : U(std::numeric_limits<T>::max());
        for (; i < n; ++i) {
            const char16_t c = t[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            const U d = c - u'0';
            if (value > (limit - d) / 10)
                return false;
            value = value * 10 + d;
        }
    }
    out = T(negative ? U(U(0) - value) : value);
    return true;
}

} // namespace

bool TIniStream::ParseStrictInt32(QStringView text, qint32& value) {
    return ParseStrict(text, value);
}

bool TIniStream::ParseStrictInt64(QStringView text, qint64& value) {
    return ParseStrict(text, value);
}

// Leading "$" signs are skipped; a "-" or any other character before the
// first digit gives 0.0. Digits beyond the sixteenth push the first ones out.
double TIniStream::HexTextToDouble(QStringView text) {
    // The common hex parser follows exactly these rules in base 16.
    return HexToDouble(text.toString());
}

QString TIniStream::DoubleToHexText(double value) {
    return Int64ToHex16(std::bit_cast<qint64>(value));
}

// "10,20" is (10, 20); a comma must follow X directly, so "10, 20" is (10, 0).
QPoint TIniStream::TextToPoint(QStringView text) {
    const QString s = text.toString();
    int pos = 1;
    const int x = ParseInteger(s, pos, 10);
    if (pos >= 1 && pos <= s.size() && s[pos - 1] == u',')
        ++pos;
    const int y = ParseInteger(s, pos, 10);
    return QPoint(x, y);
}

} // namespace qz

#pragma once
// Private to the INI document: how section names and keys are ordered and
// matched. The comparisons are inline because loading and reading call them
// for every header and every key; building a collation is not.

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <algorithm>
#include <memory>
#include <mutex>

namespace qz {

// Names and keys compare in one locale's collation. In the C/POSIX locale
// that is plain code-unit order, with case folded when case is ignored (as
// QCollator does there too), which keeps "_Stakko" before "Score" as the
// Windows collation does. Two names the collation cannot tell apart are one
// section, so a sorted list never holds a tie.
class TIniCollation {
public:
    // The collation of the locale the seam (SetIniCollationLocale) gives
    // now. One object per locale, built on first use and kept for the life
    // of the process, so that sections and lists may hold on to it.
    [[nodiscard]] static const TIniCollation& Current();

    explicit TIniCollation(const QLocale& locale);
    TIniCollation(const TIniCollation&) = delete;
    TIniCollation& operator=(const TIniCollation&) = delete;

    [[nodiscard]] const QLocale& Locale() const { return FLocale; }
    // Whether this is the C locale's plain code-unit order (case folded as
    // ASCII when ignored), which needs no ICU.
    [[nodiscard]] bool Plain() const { return FPlain; }

    [[nodiscard]] int Compare(QStringView a, QStringView b, bool caseSensitive) const {
        if (!FPlain)
            return (caseSensitive ? Icu().Sensitive : Icu().Insensitive).compare(a, b);
        if (caseSensitive)
            return a.compare(b, Qt::CaseSensitive);
        // Qt folds case character by character through its tables; names are
        // nearly always ASCII, where folding is an addition. The first
        // character beyond ASCII hands the whole comparison to Qt.
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = a[i].unicode();
            const char16_t y = b[i].unicode();
            if (x >= 0x80 || y >= 0x80)
                return a.compare(b, Qt::CaseInsensitive);
            const char16_t fx = FoldAscii(x);
            const char16_t fy = FoldAscii(y);
            if (fx != fy)
                return fx < fy ? -1 : 1;
        }
        return CompareLengths(a, b);
    }

    // Whether keys that are printable ASCII may be matched by ASCII case
    // folding, and so also told apart by a hash of their folded form.
    [[nodiscard]] bool AsciiKeysFold() const { return FPlain || Icu().AsciiFolds; }

    // Printable ASCII, and if so a 16-bit hash (FNV-1a) of the folded key.
    static bool AsciiKeyHash(QStringView key, quint16& hash) {
        constexpr quint32 kOffsetBasis = 2166136261u;
        constexpr quint32 kPrime = 16777619u;
        quint32 h = kOffsetBasis;
        for (const QChar c : key) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u > 0x7E)
                return false;
            h = (h ^ FoldAscii(u)) * kPrime;
        }
        hash = quint16(h ^ (h >> 16));
        return true;
    }

    // Keys are read far more often than they are sorted. For printable ASCII
    // a locale's collation usually agrees with ASCII case folding; a probe
    // when the collation is built decides whether that shortcut may be taken
    // (not, for instance, in Turkish, where I and i are different letters).
    [[nodiscard]] bool SameKey(QStringView a, bool aAscii, QStringView b, bool bAscii) const {
        if (AsciiKeysFold() && aAscii && bAscii)
            return a.size() == b.size() && CompareFoldedAscii(a, b) == 0;
        if (FPlain)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        return Icu().Insensitive.compare(a, b) == 0;
    }

private:
    // The locale's ICU collators. Opening them maps ICU's data and costs
    // about 1 MiB, which a program in the C locale never needs; so they
    // are made on the first comparison that asks for them.
    struct TIcu {
        explicit TIcu(const QLocale& locale);
        QCollator Insensitive;
        QCollator Sensitive;
        bool AsciiFolds = false;
    };

    [[nodiscard]] const TIcu& Icu() const {
        std::call_once(FIcuMade, [this] { FIcu = std::make_unique<const TIcu>(FLocale); });
        return *FIcu;
    }

    static int CompareFoldedAscii(QStringView a, QStringView b) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = FoldAscii(a[i].unicode());
            const char16_t y = FoldAscii(b[i].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return CompareLengths(a, b);
    }

    static int CompareLengths(QStringView a, QStringView b) {
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }

    static constexpr char16_t FoldAscii(char16_t c) {
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }

    QLocale FLocale;
    bool FPlain;
    mutable std::once_flag FIcuMade;
    mutable std::unique_ptr<const TIcu> FIcu;
};

} // namespace qz

#include "text/QZ_cmn.h"

#include "platform/ProgramFile.h"

#include <bit>

namespace qz {

namespace {

const TProgramPaths& RunningProgramPaths() {
    static const TProgramPaths paths = ProgramPathsFor(platform::RunningProgramFile());
    return paths;
}

} // namespace

TProgramPaths ProgramPathsFor(const QString& programFile) {
    const qsizetype slash = programFile.lastIndexOf(u'/');
    const QString dir = programFile.left(slash + 1);
    const QString fileName = programFile.mid(slash + 1);

    // The extension is what follows the last dot; a leading dot alone
    // (a hidden file) is part of the name, not an extension.
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString baseName = dot > 0 ? fileName.left(dot) : fileName;

    QString lowered = fileName.toLower();
    if (!lowered.isEmpty() && lowered[0] >= u'a' && lowered[0] <= u'z')
        lowered[0] = QChar(lowered[0].unicode() - u'a' + u'A');

    return TProgramPaths{dir, baseName, dir + lowered};
}

QString IntToStrGrouped(qint64 v) {
    // Work on the non-positive value so that the most negative number,
    // which has no positive counterpart, is formatted like any other.
    const bool positive = v > 0;
    if (positive)
        v = -v;
    QString text = QString::number(v);

    // Positions are 1-based here: insert before position i, counting the
    // leading "-" as position 1, while i leaves room for a first group.
    qsizetype i = text.size() - 2;
    for (qsizetype n = text.size() / 3; n > 0; --n) {
        if (i > 2)
            text.insert(i - 1, u'.');
        i -= 3;
    }
    if (positive)
        text.remove(0, 1);
    return text;
}

bool TextIsTrue(const QString& s) {
    return QString::compare(s, QStringLiteral("0"), Qt::CaseSensitive) > 0;
}

QString BoolToDigit(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

int HexDigitValue(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

namespace {

// One parser for both widths; U is the unsigned type so that overflow
// wraps around instead of being undefined.
template <typename U>
U ParseUnsigned(const QString& s, int& pos, int base) {
    const qsizetype length = s.size();
    qsizetype i = pos < 1 ? 1 : pos; // 1-based
    pos = 1;
    bool negative = false;

    while (i <= length) {
        const QChar ch = s[i - 1];
        if (HexDigitValue(ch) >= 0)
            break;
        if (ch == u'$') {
            if (negative)
                return 0;
            base = 16;
        } else if (ch == u'-') {
            if (base != 10)
                return 0;
            negative = !negative;
        } else {
            pos = int(i);
            return 0;
        }
        ++i;
    }

    U value = 0;
    while (i <= length) {
        const int digit = HexDigitValue(s[i - 1]);
        if (digit < 0 || digit >= base)
            break;
        value = value * U(base) + U(digit);
        ++i;
    }
    pos = int(i);
    return negative ? U(0) - value : value;
}

} // namespace

qint32 ParseInteger(const QString& s, int& pos, int base) {
    return qint32(ParseUnsigned<quint32>(s, pos, base));
}

qint64 ParseInt64(const QString& s, int& pos, int base) {
    return qint64(ParseUnsigned<quint64>(s, pos, base));
}

qint32 TakeLeadingInteger(QString& s) {
    int pos = 1;
    const qint32 value = ParseInteger(s, pos, 10);
    s.remove(0, pos - 1);
    return value;
}

QString Int64ToHex16(qint64 v) {
    return QStringLiteral("%1").arg(quint64(v), 16, 16, QChar(u'0')).toUpper();
}

double HexToDouble(const QString& s) {
    int pos = 1;
    return std::bit_cast<double>(ParseInt64(s, pos, 16));
}

void TrimLeadingSpaces(QString& s) {
    qsizetype n = 0;
    while (n < s.size() && s[n] == u' ')
        ++n;
    s.remove(0, n);
}

void TrimTrailingSpaces(QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == u' ')
        --n;
    s.truncate(n);
}

void TrimSpaces(QString& s) {
    TrimTrailingSpaces(s);
    TrimLeadingSpaces(s);
}

const QString& ExeDir() {
    return RunningProgramPaths().ExeDir;
}
const QString& ExeBaseName() {
    return RunningProgramPaths().ExeBaseName;
}
const QString& ExeFullPath() {
    return RunningProgramPaths().ExeFullPath;
}

} // namespace qz

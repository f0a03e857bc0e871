#include "text/QZ_cmn.h"

#include "platform/ProgramFile.h"
#include "text/DateTime.h"
#include "text/EQZError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <bit>
#include <climits>

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

void DeleteLastChar(QString& s) {
    s.chop(1);
}

QString DropLastChar(const QString& s) {
    return s.size() < 2 ? QString() : s.left(s.size() - 1);
}

QString CutAtQuestionMark(const QString& s) {
    const qsizetype at = s.indexOf(u'?');
    return at < 0 ? s : s.left(at);
}

void TruncateAtNul(QString& s) {
    const qsizetype at = s.indexOf(QChar(u'\0'));
    if (at >= 0)
        s.truncate(at);
}

void skipTo(QChar ch, const QChar*& p) {
    if (!p)
        throw EQZError(QStringLiteral("skipTo with Nil-Pointer"));
    while (*p != ch && !p->isNull())
        ++p;
}

QChar FirstCharOrSpace(const QString& s) {
    return s.isEmpty() ? QChar(u' ') : s.front();
}

QChar FirstCharOrNul(const QString& s) {
    return s.isEmpty() ? QChar(u'\0') : s.front();
}

QChar LastCharOrSpace(const QString& s) {
    return s.isEmpty() ? QChar(u' ') : s.back();
}

int PosCharFrom(QChar ch, const QString& s, int start) {
    if (start < 1)
        return 0;
    const qsizetype at = s.indexOf(ch, start - 1);
    return at < 0 ? 0 : int(at + 1);
}

int PosCharFromOrEnd(QChar ch, const QString& s, int start) {
    const int at = PosCharFrom(ch, s, start);
    return at == 0 ? int(s.size() + 1) : at;
}

namespace {

// Per code unit, as the platform's character upper-casing does: no
// expansions such as "ß" -> "SS", so positions stay aligned.
QString UpperPerChar(const QString& s) {
    QString upper(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        upper[i] = s[i].toUpper();
    return upper;
}

} // namespace

int PosIgnoreCase(const QString& sub, const QString& s) {
    if (sub.isEmpty() || s.isEmpty())
        return 0;
    return int(UpperPerChar(s).indexOf(UpperPerChar(sub)) + 1);
}

int LastPosWithin(const QString& sub, const QString& s, int count) {
    if (sub.isEmpty())
        return -1;
    const qsizetype last = qMin<qsizetype>(count, s.size());
    if (last < 1)
        return -1;
    const qsizetype at = s.lastIndexOf(sub, last - 1);
    return at < 0 ? -1 : int(at + 1);
}

int LastPos(const QString& sub, const QString& s) {
    return LastPosWithin(sub, s, int(qMin<qsizetype>(s.size(), INT_MAX)));
}

bool EndsWithText(const QString& suffix, const QString& s) {
    return s.endsWith(suffix, Qt::CaseSensitive);
}

bool EndsWithTextIgnoreCase(const QString& suffix, const QString& s) {
    if (suffix.isEmpty() || suffix.size() > s.size())
        return false;
    return UpperPerChar(s.right(suffix.size())) == UpperPerChar(suffix);
}

int MinInt(int a, int b) {
    return a < b ? a : b;
}

void AddTrailingBackslash(QString& s) {
    if (!s.isEmpty() && !s.endsWith(u':') && !s.endsWith(u'\\'))
        s.append(u'\\');
}

void RemoveTrailingBackslash(QString& s) {
    if (s.endsWith(u'\\'))
        s.chop(1);
}

bool IsDirectoryWritable(const QString& dir) {
    QString path = dir;
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path.append(u'/');
    path.append(QStringLiteral("$~test~$.$$$"));

    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    probe.close();
    probe.remove();
    return true;
}

bool DirectoryExistsByFind(const QString& path) {
    QString target = path;
    RemoveTrailingBackslash(target);
    if (target.isEmpty())
        return false;

    const qsizetype slash = target.lastIndexOf(u'/');
    const QString name = target.mid(slash + 1);
    if (!name.contains(u'*') && !name.contains(u'?'))
        return QFileInfo(target).isDir();

    // A pattern: walk the folder's entries as the search would.
    const QString folder = slash < 0 ? QStringLiteral(".") : target.left(slash + 1);
    const QDir dir(folder, name, QDir::NoSort,
                   QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QFileInfoList matches = dir.entryInfoList();
    for (const QFileInfo& match : matches) {
        if (match.isDir())
            return true;
    }
    return false;
}

const QChar* NextCommandLineToken(const QChar* p, QString& token) {
    token.clear();
    if (!p)
        return nullptr;
    constexpr qsizetype kMaxToken = 4096;
    const auto isBlank = [](QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; };

    while (isBlank(*p) || (*p == u'"' && p[1] == u'"'))
        p += isBlank(*p) ? 1 : 2;

    while (p->unicode() > 32 && token.size() < kMaxToken) {
        if (*p != u'"') {
            token.append(*p++);
            continue;
        }
        ++p; // opening quote
        while (!p->isNull() && token.size() < kMaxToken) {
            if (*p == u'"') {
                if (p[1] == u'"') {
                    token.append(u'"');
                    p += 2;
                    continue;
                }
                ++p; // closing quote
                break;
            }
            token.append(*p++);
        }
    }
    return p;
}

QString VersionToDateText(const QString& version, bool dateOnly) {
    // Positions are 1-based; -1 means "none", which reads the text from its
    // start and makes the part between the two dots start at the beginning.
    const int a = LastPos(QStringLiteral("."), version);
    QString revisionText = version.mid(qMax(a, 0));
    const qint32 revision = TakeLeadingInteger(revisionText);

    const int c = LastPosWithin(QStringLiteral("."), version, a - 1);
    const qsizetype from = qMax(c, 0);      // 0-based index of position c + 1
    const qsizetype to = a < 0 ? 0 : a - 1; // 0-based index of position a
    QString buildText = to > from ? version.mid(from, to - from) : QString();
    const qint32 build = TakeLeadingInteger(buildText);

    const TDateTime value = (double(build) + 36526.0) + double(revision) * 2.0 / 86400.0;
    if (!(value > 41688.0))
        return {};
    return FormatTDateTime(
        dateOnly ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("dd.MM.yyyy hh:mm:ss"), value);
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

#include "settings/IniDocument.h"

#include "text/EQZError.h"
#include "text/QZ_Unicode.h"
#include "text/QZ_cmn.h"
#include "text/TEncoding.h"

#include <QCollator>
#include <QIODevice>
#include <QLocale>

#include <algorithm>
#include <bit>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace qz {

namespace {

// Names and keys compare in the user locale's collation, taken once per
// process. In the C/POSIX locale that is plain code-unit order, with case
// folded when case is ignored (as QCollator does there too), which keeps
// "_Stakko" before "Score" as the Windows collation does. Two names the
// collation cannot tell apart are one section, so the sorted list never
// holds a tie.
class TIniCollation {
public:
    static const TIniCollation& Instance() {
        static const TIniCollation collation;
        return collation;
    }

    [[nodiscard]] int Compare(QStringView a, QStringView b, bool caseSensitive) const {
        if (!FPlain)
            return (caseSensitive ? FSensitive : FInsensitive).compare(a, b);
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
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }

    // Whether keys that are printable ASCII may be matched by ASCII case
    // folding, and so also told apart by a hash of their folded form.
    [[nodiscard]] bool AsciiKeysFold() const { return FPlain || FAsciiFolds; }

    // Printable ASCII, and if so a 16-bit hash of the folded key.
    static bool AsciiKeyHash(QStringView key, quint16& hash) {
        quint32 h = 2166136261u;
        for (const QChar c : key) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u > 0x7E)
                return false;
            h = (h ^ FoldAscii(u)) * 16777619u;
        }
        hash = quint16(h ^ (h >> 16));
        return true;
    }

    // Keys are read far more often than they are sorted. For printable ASCII
    // a locale's collation usually agrees with ASCII case folding; a probe
    // at start decides whether that shortcut may be taken (not, for
    // instance, in Turkish, where I and i are different letters).
    [[nodiscard]] bool SameKey(QStringView a, bool aAscii, QStringView b, bool bAscii) const {
        if ((FPlain || FAsciiFolds) && aAscii && bAscii)
            return a.size() == b.size() && CompareFoldedAscii(a, b) == 0;
        if (FPlain)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        return FInsensitive.compare(a, b) == 0;
    }

    static int CompareFoldedAscii(QStringView a, QStringView b) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = FoldAscii(a[i].unicode());
            const char16_t y = FoldAscii(b[i].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }

    static char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

private:
    TIniCollation()
        : FPlain(QLocale::system().language() == QLocale::C), FInsensitive(QLocale::system()),
          FSensitive(QLocale::system()) {
        FInsensitive.setCaseSensitivity(Qt::CaseInsensitive);
        FSensitive.setCaseSensitivity(Qt::CaseSensitive);
        FAsciiFolds = !FPlain && ProbeAsciiFolding();
    }

    // Every printable ASCII character must weigh something, case pairs must
    // be equal and all other pairs different.
    [[nodiscard]] bool ProbeAsciiFolding() const {
        for (char16_t c = 0x20; c <= 0x7E; ++c) {
            const QChar qc(c);
            if (FInsensitive.compare(QStringView(&qc, 1), QStringView()) == 0)
                return false;
            for (char16_t d = c + 1; d <= 0x7E; ++d) {
                const QChar qd(d);
                const bool sameLetter = QChar::toLower(c) == QChar::toLower(d);
                if ((FInsensitive.compare(QStringView(&qc, 1), QStringView(&qd, 1)) == 0) !=
                    sameLetter)
                    return false;
            }
        }
        return true;
    }

    bool FPlain;
    QCollator FInsensitive;
    QCollator FSensitive;
    bool FAsciiFolds = false;
};

const QChar kApostrophe = u'\'';

// Removes U+0020 only; tabs stay part of the key.
QStringView TrimSpaces(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

// Optional leading spaces, an optional sign, then decimal digits or "$",
// "x" or "0x" and hexadecimal digits, up to the very end. Decimal values
// must lie in T's range; hexadecimal ones must fit its width and are taken
// as the bit pattern.
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

QString KeyEqualsValue(QStringView key, QStringView value) {
    QString line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(u'=').append(value);
    return line;
}

} // namespace

// ---------------------------------------------------------------- lines

void ForEachLine(QStringView text, const std::function<void(QStringView)>& line) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    const QChar* d = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        line(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        line(text.sliced(start));
}

qint32 DecodeBytesLineByLine(const QByteArray& bytes, TEncoding* encoding, QStringList& list) {
    if (bytes.isEmpty())
        return -1;
    TEncoding* ansi = TEncoding::Default();
    if (!encoding)
        encoding = ansi;
    const QByteArray preamble = encoding->GetPreamble();
    qsizetype pos = bytes.startsWith(preamble) ? preamble.size() : 0;
    // UTF-16 ends its lines with two-byte CR and LF units.
    const quint32 cp = encoding->GetCodePage();
    const int unit = (cp == 1200 || cp == 1201) ? 2 : 1;
    const bool bigEndian = cp == 1201;
    auto codeAt = [&](qsizetype i) -> int {
        if (unit == 1)
            return uchar(bytes[i]);
        const uchar lo = uchar(bytes[bigEndian ? i + 1 : i]);
        const uchar hi = uchar(bytes[bigEndian ? i : i + 1]);
        return hi << 8 | lo;
    };

    qint32 lineNr = 0;
    qint32 lastFailed = -1;
    auto takeLine = [&](qsizetype from, qsizetype to) {
        ++lineNr;
        const QByteArray raw = bytes.sliced(from, to - from);
        QString text;
        bool failed = false;
        if (!raw.isEmpty()) {
            try {
                text = encoding->GetString(raw);
                failed = text.isEmpty();
            } catch (const EQZError&) {
                failed = true;
            }
        }
        if (failed) {
            lastFailed = lineNr;
            text = ansi->GetString(raw);
        }
        list.append(text);
    };

    qsizetype start = pos;
    const qsizetype end = bytes.size() - (bytes.size() - pos) % unit;
    while (pos < end) {
        const int c = codeAt(pos);
        if (c == 0x0D || c == 0x0A) {
            takeLine(start, pos);
            pos += unit;
            if (c == 0x0D && pos < end && codeAt(pos) == 0x0A)
                pos += unit;
            start = pos;
        } else {
            pos += unit;
        }
    }
    // Bytes after the last line break are a line too: nothing is dropped.
    if (start < bytes.size())
        takeLine(start, bytes.size());
    return lastFailed;
}

QByteArray EncodeIniLines(const QStringList& lines, TEncoding* encoding) {
    if (!encoding)
        encoding = TEncoding::Default();
    qsizetype chars = 0;
    for (const QString& l : lines)
        chars += l.size() + 2;
    QString text;
    text.reserve(chars);
    for (const QString& l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return encoding->GetPreamble() + encoding->GetBytes(text);
}

// ---------------------------------------------------------------- TIniSection

std::unique_ptr<TIniSection> TIniSection::Clone() const {
    auto copy = std::make_unique<TIniSection>();
    for (int i = 0; i < Count(); ++i)
        copy->AddEntry(KeyAt(i), ValueAt(i));
    return copy;
}

QStringView TIniSection::KeyAt(int i) const {
    if (i < 0 || i >= Count())
        return {};
    const TEntry& e = FEntries[size_t(i)];
    return QStringView(FText).sliced(e.keyPos, e.keyLen);
}

QStringView TIniSection::ValueAt(int i) const {
    if (i < 0 || i >= Count())
        return {};
    const TEntry& e = FEntries[size_t(i)];
    return QStringView(FText).sliced(e.valPos, e.valLen);
}

QString TIniSection::getValues(int i) const {
    return ValueAt(i).toString();
}

QString TIniSection::getString(const QString& key) const {
    return ValueAt(IndexOfKey(key)).toString();
}

// An empty key never matches: plain lines are not keyed entries, and a
// write with an empty key must not overwrite a comment.
int TIniSection::IndexOfKey(QStringView key) const {
    if (key.isEmpty())
        return -1;
    const TIniCollation& collation = TIniCollation::Instance();
    quint16 hash = 0;
    const bool keyAscii = TIniCollation::AsciiKeyHash(key, hash);
    // Two ASCII keys with different hashes cannot match: skip them unread.
    const bool filter = keyAscii && collation.AsciiKeysFold();
    for (int i = 0; i < Count(); ++i) {
        const TEntry& e = FEntries[size_t(i)];
        if (e.keyLen == 0 || (filter && e.asciiKey && e.keyHash != hash))
            continue;
        if (collation.SameKey(QStringView(FText).sliced(e.keyPos, e.keyLen), e.asciiKey, key,
                              keyAscii))
            return i;
    }
    return -1;
}

bool TIniSection::isEmpty() const {
    return std::none_of(FEntries.begin(), FEntries.end(),
                        [](const TEntry& e) { return e.valLen > 0; });
}

void TIniSection::SortKeys() {
    const TIniCollation& collation = TIniCollation::Instance();
    const QStringView text(FText);
    std::stable_sort(FEntries.begin(), FEntries.end(), [&](const TEntry& a, const TEntry& b) {
        return collation.Compare(text.sliced(a.keyPos, a.keyLen), text.sliced(b.keyPos, b.keyLen),
                                 false) < 0;
    });
}

void TIniSection::DelDupLines() {
    SortKeys();
    for (int i = Count() - 1; i >= 1; --i) {
        if (KeyAt(i) == KeyAt(i - 1) && ValueAt(i) == ValueAt(i - 1)) {
            NoteDead(FEntries[size_t(i)].keyLen + FEntries[size_t(i)].valLen);
            FEntries.erase(FEntries.begin() + i);
        }
    }
}

void TIniSection::GetSectionLines(QStringList& list, bool withCommentLines) const {
    for (int i = 0; i < Count(); ++i) {
        const QStringView key = KeyAt(i);
        const QStringView value = ValueAt(i);
        if (!key.isEmpty())
            list.append(KeyEqualsValue(key, value));
        else if (withCommentLines || !value.startsWith(u';'))
            list.append(value.toString());
    }
}

void TIniSection::SetSectionLines(const QStringList& list, bool withCommentLines) {
    Clear();
    for (const QString& line : list)
        if (withCommentLines || !line.startsWith(u';'))
            AddEntry({}, line);
}

void TIniSection::SetKWSectionLines(const QStringList& list) {
    Clear();
    for (const QString& line : list)
        AddLine(line);
}

bool TIniSection::setKeyVal(const QString& key, const QString& value) {
    const int i = IndexOfKey(key);
    if (i < 0) {
        if (value.isEmpty() || key.isEmpty())
            return false;
        AddEntry(key, value);
        return true;
    }
    if (ValueAt(i) == value)
        return false;
    TEntry& e = FEntries[size_t(i)];
    if (value.isEmpty()) {
        NoteDead(e.keyLen + e.valLen);
        FEntries.erase(FEntries.begin() + i);
        return true;
    }
    const qint32 oldLen = e.valLen;
    const qint32 pos = Append(value);
    TEntry& moved = FEntries[size_t(i)];
    moved.valPos = pos;
    moved.valLen = qint32(value.size());
    NoteDead(oldLen);
    return true;
}

QString TIniSection::GetSectionText() const {
    QString text;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            text += u'\r';
        const QStringView key = KeyAt(i);
        if (!key.isEmpty()) {
            text += key;
            text += u'=';
        }
        text += ValueAt(i);
    }
    return text;
}

// A plain line beginning with "[" would come back as a header and carry the
// keys after it into a section of its own, one beginning with "=" would
// lose that "=": both are written behind an "=", which reading takes off.
// A key beginning with "[" or ";" (read from a line indented by spaces)
// keeps its indentation by one space, which reading trims again.
void TIniSection::SaveLines(QStringList& li) const {
    for (int i = 0; i < Count(); ++i) {
        const QStringView key = KeyAt(i);
        const QStringView value = ValueAt(i);
        if (value.isEmpty())
            continue;
        if (!key.isEmpty())
            li.append(key.front() == u'[' || key.front() == u';' ? u' ' + KeyEqualsValue(key, value)
                                                                 : KeyEqualsValue(key, value));
        else if (value.front() == u'[' || value.front() == u'=')
            li.append(u'=' + value.toString());
        else
            li.append(value.toString());
    }
}

// A ";" line or one without "=" is a plain line; "key=" stores nothing;
// otherwise the key loses its surrounding spaces and the value stays as it
// is, unless it is wrapped in apostrophes, which are taken off.
void TIniSection::AddLine(QStringView line) {
    if (line.isEmpty())
        return;
    const qsizetype eq = line.front() == u';' ? -1 : line.indexOf(u'=');
    if (eq < 0) {
        AddEntry({}, line);
        return;
    }
    if (eq == line.size() - 1)
        return;
    qsizetype valFrom = eq + 1;
    qsizetype valLen = line.size() - valFrom;
    if (valLen >= 2 && line[valFrom] == kApostrophe && line.back() == kApostrophe) {
        ++valFrom;
        valLen -= 2;
    }
    const QStringView key = TrimSpaces(line.first(eq));
    // One copy of the whole line; key and value point into it.
    const qint32 base = Append(line);
    TEntry e;
    e.keyPos = base + qint32(key.data() - line.data());
    e.keyLen = qint32(key.size());
    e.asciiKey = TIniCollation::AsciiKeyHash(key, e.keyHash);
    e.valPos = base + qint32(valFrom);
    e.valLen = qint32(valLen);
    FEntries.push_back(e);
}

void TIniSection::AddEntry(QStringView key, QStringView value) {
    TEntry e;
    e.keyPos = Append(key);
    e.keyLen = qint32(key.size());
    e.asciiKey = TIniCollation::AsciiKeyHash(key, e.keyHash);
    e.valPos = Append(value);
    e.valLen = qint32(value.size());
    FEntries.push_back(e);
}

void TIniSection::Clear() {
    FEntries.clear();
    FText.clear();
    FDead = 0;
}

void TIniSection::Squeeze() {
    FText.squeeze();
    FEntries.shrink_to_fit();
}

qint32 TIniSection::Append(QStringView text) {
    if (FText.size() + text.size() > std::numeric_limits<qint32>::max())
        throw std::length_error("INI section too large");
    const qint32 pos = qint32(FText.size());
    FText.append(text);
    return pos;
}

// Rewritten values leave their old text behind; once that is most of the
// buffer, the live text is copied into a fresh one.
void TIniSection::NoteDead(qint32 chars) {
    FDead += chars;
    if (FDead < 1024 || FDead < FText.size() / 2)
        return;
    QString fresh;
    fresh.reserve(FText.size() - FDead);
    for (TEntry& e : FEntries) {
        const qint32 keyPos = qint32(fresh.size());
        fresh.append(QStringView(FText).sliced(e.keyPos, e.keyLen));
        const qint32 valPos = qint32(fresh.size());
        fresh.append(QStringView(FText).sliced(e.valPos, e.valLen));
        e.keyPos = keyPos;
        e.valPos = valPos;
    }
    FText = std::move(fresh);
    FDead = 0;
}

// ---------------------------------------------------------------- TIniSectionList

TIniSection* TIniSectionList::getSections(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[size_t(index)].section.get();
}

const QString& TIniSectionList::Names(int index) const {
    static const QString none;
    if (index < 0 || index >= Count())
        return none;
    return FItems[size_t(index)].name;
}

int TIniSectionList::Compare(QStringView a, QStringView b) const {
    return TIniCollation::Instance().Compare(a, b, FCaseSensitive);
}

int TIniSectionList::LowerBound(QStringView name) const {
    const auto it = std::lower_bound(
        FItems.begin(), FItems.end(), name,
        [this](const TItem& item, QStringView n) { return Compare(item.name, n) < 0; });
    return int(it - FItems.begin());
}

int TIniSectionList::IndexOf(const QString& name) const {
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)].name, name) == 0)
        return i;
    return -1;
}

bool TIniSectionList::Add(const QString& name, std::unique_ptr<TIniSection>& section) {
    if (!section)
        return false;
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)].name, name) == 0)
        return false;
    FItems.insert(FItems.begin() + i, TItem{name, std::move(section)});
    return true;
}

void TIniSectionList::Delete(int index) {
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

std::unique_ptr<TIniSection> TIniSectionList::Extract(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    auto section = std::move(FItems[size_t(index)].section);
    FItems.erase(FItems.begin() + index);
    return section;
}

void TIniSectionList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    std::stable_sort(FItems.begin(), FItems.end(), [this](const TItem& a, const TItem& b) {
        return Compare(a.name, b.name) < 0;
    });
}

// ---------------------------------------------------------------- TIniStream

TIniStream::TIniStream() = default;

TIniStream::~TIniStream() = default;

// Only a name that went byte for character can be mended: one holding a
// character no single byte stands for (such as a repaired "€") is left as
// it is, so that repairing never loses characters and a name read back
// from a saved file stays the same.
QString TIniStream::RepairSectionName(const QString& name) {
    const bool needsRepair = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() >= 0x80 && c.unicode() <= 0x9F;
    });
    if (!needsRepair)
        return name;
    const QByteArray bytes = NarrowToAnsi(name);
    for (qsizetype i = 0; i < name.size(); ++i)
        if (bytes[i] == '?' && name[i] != u'?')
            return name;
    return DecodeWindows1252(bytes);
}

// A name that was filed under its repaired form is found by either form.
int TIniStream::SectionIndex(const QString& name) const {
    const int i = FSections.IndexOf(name);
    if (i >= 0)
        return i;
    const QString repaired = RepairSectionName(name);
    return repaired != name ? FSections.IndexOf(repaired) : -1;
}

TIniSection* TIniStream::FindSection(const QString& name) const {
    return FSections.getSections(SectionIndex(name));
}

TIniSection* TIniStream::getSectionByName(const QString& name) const {
    return FindSection(name);
}

QString TIniStream::getSectionNames(int index) const {
    return FSections.Names(index);
}

void TIniStream::SectionFound(const QString& /*name*/) {}

TIniSection* TIniStream::GetOrAddSection(const QString& name) {
    if (TIniSection* found = FindSection(name)) {
        SectionFound(name);
        return found;
    }
    auto section = std::make_unique<TIniSection>();
    TIniSection* result = section.get();
    const QString repaired = RepairSectionName(name);
    if (!FSections.Add(repaired, section))
        return FSections.getSections(FSections.IndexOf(repaired));
    return result;
}

void TIniStream::AddSection(const QString& nm, std::unique_ptr<TIniSection>& aSection) {
    if (!aSection)
        return;
    if (aSection->Count() == 0)
        aSection->AddEntry(u"?", u"?");
    if (FSections.Add(nm, aSection))
        FModified = true;
}

void TIniStream::Clear() {
    FSections.Clear();
}

void TIniStream::ClearSection(const QString& sectionName) {
    const int i = SectionIndex(sectionName);
    if (i < 0)
        return;
    FSections.Delete(i);
    FModified = true;
}

void TIniStream::DelDupLines() {
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->DelDupLines();
}

void TIniStream::SortKeywords() {
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->SortKeys();
}

// Renaming files the section anew under its new name, so the list stays
// sorted. A name held by another section is refused rather than merged.
bool TIniStream::RenameSection(int index, const QString& newName) {
    if (index < 0 || index >= Count())
        return false;
    const int other = FSections.IndexOf(newName);
    if (other >= 0 && other != index)
        return false;
    if (FSections.Names(index) == newName)
        return true;
    auto section = FSections.Extract(index);
    FSections.Add(newName, section);
    FModified = true;
    return true;
}

QString TIniStream::GetText(const QString& ALineBreak) const {
    QString text;
    for (int i = 0; i < Count(); ++i) {
        text += u'[' + FSections.Names(i) + u']' + ALineBreak;
        const QString body = FSections.getSections(i)->GetSectionText();
        ForEachLine(body, [&](QStringView line) {
            text += line;
            text += ALineBreak;
        });
        text += ALineBreak;
    }
    return text;
}

bool TIniStream::isEmpty() const {
    for (int i = 0; i < Count(); ++i)
        if (!FSections.getSections(i)->isEmpty())
            return false;
    return true;
}

void TIniStream::ParseLine(QStringView line, TIniSection*& current, bool fromString) {
    if (line.isEmpty())
        return;
    const QChar first = line.front();
    if (first == u';' && !fromString && line == u";$C") {
        FSections.SetCaseSensitive(true);
        return;
    }
    if (first == u'[') {
        QStringView name = line.sliced(1);
        if (fromString) {
            const qsizetype close = name.indexOf(u']');
            if (close >= 0)
                name = name.first(close);
        } else if (name.endsWith(u']')) {
            name.chop(1);
        }
        current = GetOrAddSection(name.toString());
        return;
    }
    if (!current)
        current = GetOrAddSection(QString());
    current->AddLine(line);
}

void TIniStream::ParseText(QStringView text, bool fromString) {
    TIniSection* current = nullptr;
    ForEachLine(text, [&](QStringView line) { ParseLine(line, current, fromString); });
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->Squeeze();
}

void TIniStream::LoadFromList(const QStringList& li) {
    TIniSection* current = nullptr;
    for (const QString& line : li)
        ParseLine(line, current, false);
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->Squeeze();
}

// Text that does not decode as its byte-order mark says is taken line by
// line; the handler, when set, hears of the last line that failed.
void TIniStream::LoadFromStream(QIODevice& st) {
    Clear();
    const QByteArray bytes = st.readAll();
    TEncoding* encoding = TEncoding::Default();
    for (TEncoding* candidate :
         {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode()}) {
        if (bytes.startsWith(candidate->GetPreamble())) {
            encoding = candidate;
            break;
        }
    }
    FEncoding = encoding;
    const qsizetype skip = encoding->GetPreamble().size();
    try {
        ParseText(encoding->GetString(bytes.sliced(skip)), false);
    } catch (const EQZError&) {
        Clear();
        QStringList lines;
        const qint32 failed = DecodeBytesLineByLine(bytes, encoding, lines);
        LoadFromList(lines);
        if (failed > 0 && FOnEncodingError)
            FOnEncodingError(this, failed);
    }
}

void TIniStream::SaveToList(QStringList& li) const {
    if (CaseSensitive())
        li.append(QStringLiteral(";$C"));
    for (int i = 0; i < Count(); ++i) {
        const TIniSection* section = FSections.getSections(i);
        if (section->Count() == 0)
            continue;
        const QString& name = FSections.Names(i);
        if (!name.isEmpty())
            li.append(u'[' + name + u']');
        section->SaveLines(li);
        li.append(QString());
    }
}

// Throws EQZError when the device takes fewer bytes than it was given.
void TIniStream::SaveToStream(QIODevice& st, TEncoding* aEncoding) const {
    QStringList lines;
    SaveToList(lines);
    const QByteArray bytes = EncodeIniLines(lines, aEncoding);
    if (st.write(bytes) != bytes.size())
        throw EQZError(
            QStringLiteral("INI-Daten konnten nicht geschrieben werden: %1").arg(st.errorString()));
}

QString TIniStream::ReadString(const QString& section, const QString& key, const QString& def) {
    const TIniSection* s = FindSection(section);
    if (!s)
        return def;
    const QStringView value = s->ValueAt(s->IndexOfKey(key));
    return value.isEmpty() ? def : value.toString();
}

bool TIniStream::ReadBool(const QString& section, const QString& key, bool def) {
    const QString text = ReadString(section, key, QString());
    return text.isEmpty() ? def : TextIsTrue(text);
}

// Text that is not an integer gives 0 here, not the default.
qint32 TIniStream::ReadInteger(const QString& section, const QString& key, qint32 def) {
    const QString text = ReadString(section, key, QString());
    if (text.isEmpty())
        return def;
    qint32 value = 0;
    return ParseStrictInt32(text, value) ? value : 0;
}

qint64 TIniStream::ReadInt64(const QString& section, const QString& key, qint64 def) {
    const QString text = ReadString(section, key, QString());
    qint64 value = 0;
    return !text.isEmpty() && ParseStrictInt64(text, value) ? value : def;
}

double TIniStream::ReadDouble(const QString& section, const QString& key, double def) {
    const QString text = ReadString(section, key, QString());
    return text.isEmpty() ? def : HexTextToDouble(text);
}

double TIniStream::ReadFloat(const QString& Section, const QString& Name, double Default) {
    const QString text = ReadString(Section, Name, QString());
    if (text.isEmpty())
        return Default;
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    return ok ? value : Default;
}

QPoint TIniStream::ReadPoint(const QString& section, const QString& key, const QString& def) {
    const QString text = ReadString(section, key, QString());
    return TextToPoint(text.isEmpty() ? def : text);
}

void TIniStream::WriteString(const QString& section, const QString& key, const QString& value) {
    if (key.isEmpty())
        return;
    if (ReadString(section, key, QString()) == value)
        return;
    if (GetOrAddSection(section)->setKeyVal(key, value))
        FModified = true;
}

void TIniStream::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, BoolToDigit(value));
}

void TIniStream::WriteInteger(const QString& section, const QString& key, qint32 value) {
    WriteString(section, key, QString::number(value));
}

void TIniStream::WriteDouble(const QString& section, const QString& key, double value) {
    WriteString(section, key, DoubleToHexText(value));
}

void TIniStream::ReadSectionLines(const QString& section, QStringList& list,
                                  bool withCommentLines) {
    list.clear();
    if (const TIniSection* s = FindSection(section))
        s->GetSectionLines(list, withCommentLines);
}

void TIniStream::ReadSectionLineNames(const QString& section, QStringList& list) {
    ReadSectionLines(section, list, false);
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        const qsizetype eq = list[i].indexOf(u'=');
        if (eq < 0)
            list.removeAt(i);
        else
            list[i].truncate(eq);
    }
}

void TIniStream::ReadSectionNames(QStringList& list) const {
    list.clear();
    for (int i = 0; i < Count(); ++i)
        list.append(FSections.Names(i));
}

void TIniStream::WriteSectionLines(const QString& section, const QStringList& list,
                                   bool withCommentLines) {
    GetOrAddSection(section)->SetSectionLines(list, withCommentLines);
    FModified = true;
}

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

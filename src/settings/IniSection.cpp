// One section of an INI document: its entries, how a file line becomes an
// entry, and the lines a section gives back.
#include "settings/IniCollation_p.h"
#include "settings/IniDocument.h"
#include "settings/IniSavedText_p.h"

#include "text/EQZError.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace qz {

namespace {

constexpr QChar kApostrophe = u'\'';

// Removes U+0020 only; tabs stay part of the key. (The text layer's
// TrimSpaces follows the same rule but works on a QString in place; the key
// here is a view into the line, which must not be copied for every line.)
QStringView TrimSpaces(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

QString KeyEqualsValue(QStringView key, QStringView value) {
    QString line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(u'=').append(value);
    return line;
}

} // namespace

TIniSection::TIniSection() : FCollation(&TIniCollation::Current()) {}

TIniSection::TIniSection(const TIniCollation& collation) : FCollation(&collation) {}

void TIniSection::SwapContent(TIniSection& other) noexcept {
    FText.swap(other.FText);
    FEntries.swap(other.FEntries);
    std::swap(FDead, other.FDead);
}

// The copy compares its keys as this section does, whatever the locale now.
std::unique_ptr<TIniSection> TIniSection::Clone() const {
    auto copy = std::make_unique<TIniSection>(*FCollation);
    for (int i = 0; i < Count(); ++i)
        copy->AddEntry(KeyAt(i), ValueAt(i));
    return copy;
}

QStringView TIniSection::KeyAt(int i) const {
    if (i < 0 || i >= Count())
        return {};
    const TEntry& e = FEntries[size_t(i)];
    return QStringView(FText).sliced(e.KeyPos, e.KeyLen);
}

QStringView TIniSection::ValueAt(int i) const {
    if (i < 0 || i >= Count())
        return {};
    const TEntry& e = FEntries[size_t(i)];
    return QStringView(FText).sliced(e.ValPos, e.ValLen);
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
    const TIniCollation& collation = *FCollation;
    quint16 hash = 0;
    const bool keyAscii = TIniCollation::AsciiKeyHash(key, hash);
    // Two ASCII keys with different hashes cannot match: skip them unread.
    const bool filter = keyAscii && collation.AsciiKeysFold();
    for (int i = 0; i < Count(); ++i) {
        const TEntry& e = FEntries[size_t(i)];
        if (e.KeyLen == 0 || (filter && e.AsciiKey && e.KeyHash != hash))
            continue;
        if (collation.SameKey(QStringView(FText).sliced(e.KeyPos, e.KeyLen), e.AsciiKey, key,
                              keyAscii))
            return i;
    }
    return -1;
}

bool TIniSection::isEmpty() const {
    return std::none_of(FEntries.begin(), FEntries.end(),
                        [](const TEntry& e) { return e.ValLen > 0; });
}

void TIniSection::SortKeys() {
    const TIniCollation& collation = *FCollation;
    const QStringView text(FText);
    std::stable_sort(FEntries.begin(), FEntries.end(), [&](const TEntry& a, const TEntry& b) {
        return collation.Compare(text.sliced(a.KeyPos, a.KeyLen), text.sliced(b.KeyPos, b.KeyLen),
                                 false) < 0;
    });
}

void TIniSection::DelDupLines() {
    SortKeys();
    for (int i = Count() - 1; i >= 1; --i) {
        if (KeyAt(i) == KeyAt(i - 1) && ValueAt(i) == ValueAt(i - 1)) {
            NoteDead(FEntries[size_t(i)].KeyLen + FEntries[size_t(i)].ValLen);
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
        NoteDead(e.KeyLen + e.ValLen);
        FEntries.erase(FEntries.begin() + i);
        return true;
    }
    const qint32 oldLen = e.ValLen;
    const qint32 pos = Append(value);
    TEntry& moved = FEntries[size_t(i)];
    moved.ValPos = pos;
    moved.ValLen = qint32(value.size());
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

// The rules of what a saved line looks like live with the saving itself.
void TIniSection::SaveLines(QStringList& li) const {
    TSavedLineList lines(li);
    VisitSavedLines(*this, lines);
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
    e.KeyPos = base + qint32(key.data() - line.data());
    e.KeyLen = qint32(key.size());
    e.AsciiKey = TIniCollation::AsciiKeyHash(key, e.KeyHash);
    e.ValPos = base + qint32(valFrom);
    e.ValLen = qint32(valLen);
    FEntries.push_back(e);
}

void TIniSection::AddEntry(QStringView key, QStringView value) {
    TEntry e;
    e.KeyPos = Append(key);
    e.KeyLen = qint32(key.size());
    e.AsciiKey = TIniCollation::AsciiKeyHash(key, e.KeyHash);
    e.ValPos = Append(value);
    e.ValLen = qint32(value.size());
    FEntries.push_back(e);
}

void TIniSection::Clear() {
    FEntries.clear();
    FText.clear();
    FDead = 0;
}

// More than a section can hold is not reserved: Append says what is wrong.
void TIniSection::Reserve(qsizetype chars, qsizetype entries) {
    if (FText.size() + chars > std::numeric_limits<qint32>::max())
        return;
    FText.reserve(FText.size() + chars);
    FEntries.reserve(FEntries.size() + size_t(entries));
}

void TIniSection::Squeeze() {
    FText.squeeze();
    FEntries.shrink_to_fit();
}

qint32 TIniSection::Append(QStringView text) {
    if (FText.size() + text.size() > std::numeric_limits<qint32>::max())
        throw EQZError(QStringLiteral("INI section too large"));
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
        fresh.append(QStringView(FText).sliced(e.KeyPos, e.KeyLen));
        const qint32 valPos = qint32(fresh.size());
        fresh.append(QStringView(FText).sliced(e.ValPos, e.ValLen));
        e.KeyPos = keyPos;
        e.ValPos = valPos;
    }
    FText = std::move(fresh);
    FDead = 0;
}

} // namespace qz

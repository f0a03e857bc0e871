// The document: its sections by name, parsing lines into them, the text
// and stream forms, and the typed reads and writes. Sections, the section
// list, the collation, the value syntaxes and the line handling live in
// files of their own (IniSection.cpp, IniSectionList.cpp, IniCollation.cpp,
// IniValueSyntax.cpp, IniLines.cpp, IniSavedText_p.h, IniSaveEncoding.cpp).
#include "settings/IniDocument.h"
#include "settings/IniLines_p.h"
#include "settings/IniSaveEncoding_p.h"
#include "settings/IniSavedText_p.h"
#include "settings/IniSectionCollector_p.h"

#include "text/EQZError.h"
#include "text/QZ_Unicode.h"
#include "text/QZ_cmn.h"
#include "text/TEncoding.h"

#include <QIODevice>
#include <QLocale>

#include <algorithm>
#include <utility>

namespace qz {

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

// SectionIndex's lookups, by the list's hash of names where it can.
TIniSection* TIniStream::FindSection(const QString& name) {
    // The sections are this document's, which is not const here.
    return const_cast<TIniSection*>(std::as_const(*this).FindSection(name));
}

const TIniSection* TIniStream::FindSection(const QString& name) const {
    if (const TIniSection* found = FSections.Find(name))
        return found;
    const QString repaired = RepairSectionName(name);
    return repaired != name ? FSections.Find(repaired) : nullptr;
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
    const QString repaired = RepairSectionName(name);
    if (TIniSection* added = FSections.AddNew(repaired))
        return added;
    return FSections.getSections(FSections.IndexOf(repaired));
}

void TIniStream::AddSection(const QString& nm, std::unique_ptr<TIniSection>& aSection) {
    if (!aSection)
        return;
    if (aSection->Count() == 0)
        aSection->AddEntry(u"?", u"?");
    if (FSections.Add(nm, aSection)) {
        FModified = true;
        FChanges.NoteWhole();
    }
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
    FChanges.NoteClear(sectionName);
}

void TIniStream::DelDupLines() {
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->DelDupLines();
    FChanges.NoteWhole();
}

void TIniStream::SortKeywords() {
    for (int i = 0; i < Count(); ++i)
        FSections.getSections(i)->SortKeys();
    FChanges.NoteWhole();
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
    FSections.Rename(index, newName);
    FModified = true;
    FChanges.NoteWhole();
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

void TIniStream::ParseLine(QStringView line, TIniSection*& current, bool fromString,
                           TIniSectionCollector& sections) {
    if (line.isEmpty())
        return;
    const QChar first = line.front();
    if (first == u';' && !fromString && line == u";$C") {
        // The pending names are to be found in the old order.
        if (TIniSection* last = sections.File())
            current = last;
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
        current = sections.Open(name.toString());
        return;
    }
    if (!current)
        current = sections.Open(QString());
    sections.AddLine(current, line);
}

void TIniStream::ParseText(QStringView text, bool fromString) {
    TIniSection* current = nullptr;
    TIniSectionCollector sections(*this);
    ForEachLineOf(text, [&](QStringView line) { ParseLine(line, current, fromString, sections); });
    (void)sections.File();
}

void TIniStream::LoadFromList(const QStringList& li) {
    TIniSection* current = nullptr;
    TIniSectionCollector sections(*this);
    for (const QString& line : li)
        ParseLine(line, current, false, sections);
    (void)sections.File();
}

// Text that does not decode as its byte-order mark says is taken line by
// line; the handler, when set, hears of the last line that failed.
void TIniStream::LoadFromStream(QIODevice& st) {
    Clear();
    const QByteArray bytes = st.readAll();
    TEncoding* encoding = EncodingByPreamble(bytes);
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
    TSavedLineList lines(li);
    VisitSavedText(*this, lines);
}

namespace {

// Throws EQZError when the device takes fewer bytes than it was given.
class TDeviceOutput : public TByteOutput {
public:
    explicit TDeviceOutput(QIODevice& device) : FDevice(device) {}
    void Write(const char* data, qsizetype size) override {
        if (FDevice.write(data, size) != size)
            throw EQZError(QStringLiteral("INI-Daten konnten nicht geschrieben werden: %1")
                               .arg(FDevice.errorString()));
    }

private:
    QIODevice& FDevice;
};

} // namespace

void TIniStream::SaveToStream(QIODevice& st, TEncoding* aEncoding) const {
    TDeviceOutput out(st);
    EncodeSavedText(*this, aEncoding, out);
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
    if (GetOrAddSection(section)->setKeyVal(key, value)) {
        FModified = true;
        FChanges.NoteValue(section, key, value);
    }
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
    FChanges.NoteLines(section, list, withCommentLines);
}

// The same steps as the writes that were noted, without their reads (which
// a file object would answer with its upkeep) and without noting them again.
void TIniStream::ApplyChanges(const TIniChangeLog& changes) {
    for (const TIniChangeLog::TChange& c : changes.Changes()) {
        switch (c.Kind) {
        case TIniChangeLog::TChange::SetValue:
            if (GetOrAddSection(c.Section)->setKeyVal(c.Key, c.Value))
                FModified = true;
            break;
        case TIniChangeLog::TChange::ClearSection:
            if (const int i = SectionIndex(c.Section); i >= 0) {
                FSections.Delete(i);
                FModified = true;
            }
            break;
        case TIniChangeLog::TChange::SetLines:
            GetOrAddSection(c.Section)->SetSectionLines(c.Lines, c.WithComments);
            FModified = true;
            break;
        }
    }
}

void TIniStream::SwapContent(TIniStream& other) noexcept {
    std::swap(FSections, other.FSections);
}

} // namespace qz

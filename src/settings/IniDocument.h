#pragma once
// The INI document held in memory: a sorted list of named sections, each an
// ordered list of `key=value` entries and plain lines (comments and text
// without "="). The document parses INI lines, answers typed reads, applies
// writes and tracks whether it was changed; it knows nothing of files (TIni
// in IniFile.h adds those). Include "settings/QZINI.h" rather than this file.
//
//   qz::TIniStream doc;
//   doc.LoadFromList({"[Score]", "Highest=1520"});
//   doc.ReadInteger("score", "highest", 0) == 1520

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QLocale;

namespace qz {

class TEncoding;
class TIniCollation;
class TIniSectionCollector;
class TIniSectionStore;
class TIniStream;
struct TIniSectionSlot;

// Called with the document and the 1-based number of a line whose bytes
// could not be decoded; loading goes on after it returns.
using TEncodingErrorHandler = std::function<void(TIniStream* Sender, qint32 lineNr)>;

// Where the collation of section names and keys takes its locale from:
// QLocale::system() unless another source is put in (tests run the
// collation under chosen locales so). A section or section list asks when
// it is made and keeps that collation, so no order changes under it.
//   qz::SetIniCollationLocale([] { return QLocale(QLocale::Turkish); });
using TIniLocaleSource = std::function<QLocale()>;
// An empty source restores QLocale::system().
void SetIniCollationLocale(TIniLocaleSource source);

// One section: entries in the order they were added (never sorted on its
// own). A plain line has an empty key and the whole line as its value.
//
// All text of a section lives in one buffer and an entry is four offsets
// into it: a document of 100,000 lines then costs two allocations per
// section instead of three per line, and about a third of the memory.
class TIniSection {
public:
    TIniSection();
    // A section that compares its keys in `collation` (a list makes its
    // sections so, without asking for the locale again).
    explicit TIniSection(const TIniCollation& collation);
    TIniSection(const TIniSection&) = delete;
    TIniSection& operator=(const TIniSection&) = delete;

    [[nodiscard]] std::unique_ptr<TIniSection> Clone() const;

    // Number of entries, keyed or plain.
    [[nodiscard]] int Count() const { return static_cast<int>(FEntries.size()); }
    [[nodiscard]] QStringView KeyAt(int i) const;
    [[nodiscard]] QStringView ValueAt(int i) const;
    // Value at position i, or empty when there is no such entry.
    [[nodiscard]] QString getValues(int i) const;
    [[nodiscard]] QString Values(int i) const { return getValues(i); }
    // Value of the first entry whose key matches (case ignored), or empty.
    [[nodiscard]] QString getString(const QString& key) const;
    [[nodiscard]] QString getValue(const QString& key) const { return getString(key); }
    [[nodiscard]] QString Value(const QString& key) const { return getString(key); }
    // Index of the first entry whose key matches, or -1.
    [[nodiscard]] int IndexOfKey(QStringView key) const;

    // True when no entry holds a non-empty value (comments count as values).
    [[nodiscard]] bool isEmpty() const;

    // Sorts by key, then drops an entry equal in key and value to the one
    // before it. Equal keys keep their order, so the result is repeatable.
    void DelDupLines();
    // Sorts by key; entries with equal keys keep their order.
    void SortKeys();

    // Appends `key=value` lines (also `key=` for empty values) and plain
    // lines; plain lines starting with ";" only when withCommentLines.
    void GetSectionLines(QStringList& list, bool withCommentLines) const;
    // Replaces the content by the lines of `list`, each stored as a plain line.
    void SetSectionLines(const QStringList& list, bool withCommentLines);
    // Replaces the content by the lines of `list`, each parsed like a file line.
    void SetKWSectionLines(const QStringList& list);
    // Sets the value of the first matching key; an empty value removes the
    // entry. Returns true when something changed.
    bool setKeyVal(const QString& key, const QString& value);
    // Entries joined by a carriage return: `key=value` or the plain line.
    [[nodiscard]] QString GetSectionText() const;
    // Appends the lines this section contributes to a saved file.
    void SaveLines(QStringList& li) const;
    // Calls visit(key, value) for every entry in order: what saving walks,
    // without the bounds checks and calls of KeyAt and ValueAt per entry.
    template <typename Visit>
    void ForEachEntry(Visit visit) const {
        const QChar* text = FText.constData();
        for (const TEntry& e : FEntries)
            visit(QStringView(text + e.KeyPos, e.KeyLen), QStringView(text + e.ValPos, e.ValLen));
    }

    // Parses one file line into an entry at the end (see IniSection.cpp).
    void AddLine(QStringView line);
    // Appends an entry as it is, without parsing.
    void AddEntry(QStringView key, QStringView value);
    void Clear();
    // Makes room for `entries` more entries of `chars` characters in all.
    void Reserve(qsizetype chars, qsizetype entries);
    // Gives back buffer space that growing left unused.
    void Squeeze();

private:
    friend class TIniSectionList; // hands a section's content over when it leaves the list

    // Exchanges the entries and text with `other`; collations stay.
    void SwapContent(TIniSection& other) noexcept;

    struct TEntry {
        qint32 KeyPos = 0;
        qint32 KeyLen = 0;
        qint32 ValPos = 0;
        qint32 ValLen = 0;
        quint16 KeyHash = 0;  // of the case-folded key, when AsciiKey
        bool AsciiKey = true; // printable ASCII only: the fast key comparison applies
    };

    qint32 Append(QStringView text);
    void NoteDead(qint32 chars);

    const TIniCollation* FCollation;
    QString FText; // every key and value of the section, back to back
    std::vector<TEntry> FEntries;
    qint32 FDead = 0; // characters of FText no entry refers to any more
};

// The sections of a document, always sorted by name in the user locale's
// collation: case ignored, or case-sensitive after ";$C". Owns its sections.
//
// The sections live in blocks of the list's store, in the order they were
// made, and the list orders pointers to them: a loaded document is not one
// allocation per section and per bookkeeping node, and loading, lookups and
// freeing walk memory in the order it was filled.
class TIniSectionList {
public:
    TIniSectionList();
    ~TIniSectionList();
    TIniSectionList(const TIniSectionList&) = delete;
    TIniSectionList& operator=(const TIniSectionList&) = delete;
    // A list moved from may only be destroyed or assigned to.
    TIniSectionList(TIniSectionList&&) noexcept;
    TIniSectionList& operator=(TIniSectionList&&) noexcept;

    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    // The section at `index`, or null.
    [[nodiscard]] TIniSection* getSections(int index);
    [[nodiscard]] const TIniSection* getSections(int index) const;
    [[nodiscard]] TIniSection* Sections(int index) { return getSections(index); }
    [[nodiscard]] const TIniSection* Sections(int index) const { return getSections(index); }
    [[nodiscard]] const QString& Names(int index) const;
    // Position of the section matching `name`, or -1.
    [[nodiscard]] int IndexOf(const QString& name) const;
    // The section matching `name`, or null: the one at IndexOf(name).
    [[nodiscard]] TIniSection* Find(const QString& name);
    [[nodiscard]] const TIniSection* Find(const QString& name) const;

    // Inserts at the sorted place and takes the section over. When the name
    // is already present nothing changes and `section` stays the caller's;
    // returns whether it was added.
    bool Add(const QString& name, std::unique_ptr<TIniSection>& section);
    // Files a new empty section under `name`; null when the name is present.
    TIniSection* AddNew(const QString& name);
    // Files the section at `index` under `newName` at its sorted place; the
    // section stays where it is in memory. False when another section has
    // that name or there is no such index.
    bool Rename(int index, const QString& newName);
    void Delete(int index);
    void Clear();
    // Takes a section out without destroying it: one handed in by Add
    // comes back as it was, one the list made leaves as a new object with
    // the same content.
    [[nodiscard]] std::unique_ptr<TIniSection> Extract(int index);

    [[nodiscard]] bool CaseSensitive() const { return FCaseSensitive; }
    // Re-sorts. Names that become equal when case stops counting stay two
    // sections side by side; lookups find the first of them.
    void SetCaseSensitive(bool value);

    // <0, 0, >0 as `a` sorts before, with or after `b` in this list's order.
    [[nodiscard]] int Compare(QStringView a, QStringView b) const;

private:
    friend class TIniSectionCollector; // files many new sections in one pass

    // First position whose name does not sort before `name`.
    [[nodiscard]] int LowerBound(QStringView name) const;
    // Whether two neighbours compare equal (only after case stops counting).
    [[nodiscard]] bool HasTies() const;
    // Puts a slot of the store at its sorted place.
    void Insert(TIniSectionSlot* slot);
    // Takes the slot at `index` out of the order and the hash.
    TIniSectionSlot* Unlist(int index);

    const TIniCollation* FCollation;
    // The sections and their names, and a hash of the names: programs ask
    // for a section by the very name it has, and such a lookup is answered
    // without a collation's comparisons (ICU's cost most of a read in a
    // German locale). An identical name is the only match there is unless
    // names tie, and then the search decides.
    std::unique_ptr<TIniSectionStore> FStore;
    std::vector<TIniSectionSlot*> FItems; // in the list's order
    bool FCaseSensitive = false;
    bool FTied = false;
};

// What a document changed since it was last in step with its file, in a
// form that can be applied again to another copy of that file: values
// written or erased, sections cleared or given new lines. A change it
// cannot express (sorting, renaming, adding a whole section), or more
// changes than it keeps, make it "whole": the document as it stands is
// then the only faithful form of the change.
class TIniChangeLog {
public:
    struct TChange {
        enum TKind : quint8 { SetValue, ClearSection, SetLines };
        TKind Kind = SetValue;
        QString Section;
        QString Key;       // SetValue
        QString Value;     // SetValue; empty erases the key
        QStringList Lines; // SetLines
        bool WithComments = false;
    };
    // Beyond this many changes the log gives up and becomes whole: a
    // program writing that much rewrites its file anyway.
    static constexpr int MaxChanges = 4096;

    void NoteValue(const QString& section, const QString& key, const QString& value);
    void NoteClear(const QString& section);
    void NoteLines(const QString& section, const QStringList& lines, bool withComments);
    void NoteWhole();
    // Starts afresh: the document and its file are in step.
    void Forget();
    // Puts `earlier` (changes that did not reach the file) before these.
    void Prepend(const TIniChangeLog& earlier);

    [[nodiscard]] bool Whole() const { return FWhole; }
    [[nodiscard]] bool isEmpty() const { return FChanges.empty() && !FWhole; }
    [[nodiscard]] const std::vector<TChange>& Changes() const { return FChanges; }

private:
    void Add(TChange change);

    std::vector<TChange> FChanges;
    bool FWhole = false;
};

// The document.
class TIniStream {
public:
    TIniStream();
    TIniStream(const TIniStream&) = delete;
    TIniStream& operator=(const TIniStream&) = delete;
    virtual ~TIniStream();

    // --- properties
    [[nodiscard]] TIniSection* Sections(int index) { return getsections(index); }
    [[nodiscard]] const TIniSection* Sections(int index) const { return getsections(index); }
    [[nodiscard]] TIniSection* SectionByName(const QString& name) { return getSectionByName(name); }
    [[nodiscard]] const TIniSection* SectionByName(const QString& name) const {
        return getSectionByName(name);
    }
    [[nodiscard]] QString SectionNames(int index) const { return getSectionNames(index); }
    [[nodiscard]] bool CaseSensitive() const { return FSections.CaseSensitive(); }
    void SetCaseSensitive(bool value) {
        if (value != FSections.CaseSensitive())
            FChanges.NoteWhole();
        FSections.SetCaseSensitive(value);
    }
    [[nodiscard]] int Count() const { return FSections.Count(); }
    // The encoding last read or to be written, or null. Through a const
    // document it can be looked at (code page, preamble), not used to convert.
    [[nodiscard]] TEncoding* Encoding() { return FEncoding; }
    [[nodiscard]] const TEncoding* Encoding() const { return FEncoding; }
    void SetEncoding(TEncoding* value) { FEncoding = value; }
    [[nodiscard]] bool Modified() const { return FModified; }
    // The changes since the document was last in step with its file.
    [[nodiscard]] const TIniChangeLog& Changes() const { return FChanges; }
    // Applies `changes` to this document as they were applied to another
    // one; sets Modified when something changed.
    void ApplyChanges(const TIniChangeLog& changes);
    // Exchanges the content (sections, their order and case rule) with
    // `other`; encodings, handlers and change logs stay.
    void SwapContent(TIniStream& other) noexcept;
    [[nodiscard]] TIniSectionList& SectionList() { return FSections; }
    [[nodiscard]] const TIniSectionList& SectionList() const { return FSections; }
    [[nodiscard]] const TEncodingErrorHandler& OnEncodingError() const { return FOnEncodingError; }
    void SetOnEncodingError(TEncodingErrorHandler handler) {
        FOnEncodingError = std::move(handler);
    }

    [[nodiscard]] TIniSection* getsections(int index) { return FSections.getSections(index); }
    [[nodiscard]] const TIniSection* getsections(int index) const {
        return FSections.getSections(index);
    }
    [[nodiscard]] TIniSection* getSectionByName(const QString& name) { return FindSection(name); }
    [[nodiscard]] const TIniSection* getSectionByName(const QString& name) const {
        return FindSection(name);
    }
    [[nodiscard]] QString getSectionNames(int index) const;

    // --- overridable access (TIni puts its file upkeep in front)
    virtual void SectionFound(const QString& name);
    virtual void ReadSectionLines(const QString& section, QStringList& list, bool withCommentLines);
    [[nodiscard]] virtual QString ReadString(const QString& section, const QString& key,
                                             const QString& def);

    // --- structure
    // Takes `aSection` over under `nm` (no name repair) and sets Modified; a
    // section without entries first gets the entry "?=?". When `nm` exists
    // already nothing changes and `aSection` stays the caller's.
    void AddSection(const QString& nm, std::unique_ptr<TIniSection>& aSection);
    void Clear();
    void ClearSection(const QString& sectionName);
    void DelDupLines();
    void SortKeywords();
    // Gives the existing section of that name or files a new empty one under
    // its repaired name. Never sets Modified.
    TIniSection* GetOrAddSection(const QString& name);
    // Re-files the section at `index` under `newName`, keeping the list
    // sorted. Refused (returns false) when another section has that name.
    bool RenameSection(int index, const QString& newName);
    // Mends a name decoded byte for character although it was written in
    // Windows-1252: "Gr\u0096n" comes back as "Gr–n".
    [[nodiscard]] static QString RepairSectionName(const QString& name);

    // --- text
    [[nodiscard]] QString GetText(const QString& ALineBreak) const;
    [[nodiscard]] bool isEmpty() const;
    void LoadFromList(const QStringList& li);
    void LoadFromStream(QIODevice& st);
    void SaveToList(QStringList& li) const;
    void SaveToStream(QIODevice& st, TEncoding* aEncoding) const;

    // --- typed reads; missing or empty values give the default
    [[nodiscard]] bool ReadBool(const QString& section, const QString& key, bool def);
    [[nodiscard]] qint32 ReadInteger(const QString& section, const QString& key, qint32 def);
    [[nodiscard]] qint64 ReadInt64(const QString& section, const QString& key, qint64 def);
    [[nodiscard]] double ReadDouble(const QString& section, const QString& key, double def);
    [[nodiscard]] double ReadFloat(const QString& Section, const QString& Name, double Default);
    [[nodiscard]] QPoint ReadPoint(const QString& section, const QString& key, const QString& def);

    // --- writes; writing "" removes the key
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteBool(const QString& section, const QString& key, bool value);
    void WriteInteger(const QString& section, const QString& key, qint32 value);
    void WriteDouble(const QString& section, const QString& key, double value);

    // --- section lines
    void ReadSectionLineNames(const QString& section, QStringList& list);
    void ReadSectionNames(QStringList& list) const;
    void WriteSectionLines(const QString& section, const QStringList& list, bool withCommentLines);

    // --- the text syntaxes of the typed values, usable on their own
    // The strict integer syntax; false for anything else.
    [[nodiscard]] static bool ParseStrictInt32(QStringView text, qint32& value);
    [[nodiscard]] static bool ParseStrictInt64(QStringView text, qint64& value);
    // The bit pattern in hexadecimal: "3FF0000000000000" is 1.0.
    [[nodiscard]] static double HexTextToDouble(QStringView text);
    [[nodiscard]] static QString DoubleToHexText(double value);
    [[nodiscard]] static QPoint TextToPoint(QStringView text);

protected:
    // Parses one line as from a file, or, with fromString, as ReadFromString
    // wants it (a header name ends at the first "]", ";$C" is a comment).
    // New sections go to `sections`, which files them into the list.
    void ParseLine(QStringView line, TIniSection*& current, bool fromString,
                   TIniSectionCollector& sections);
    // Splits `text` at CR, LF and CR LF and parses every line.
    void ParseText(QStringView text, bool fromString);
    [[nodiscard]] TIniSection* FindSection(const QString& name);
    [[nodiscard]] const TIniSection* FindSection(const QString& name) const;
    [[nodiscard]] int SectionIndex(const QString& name) const;

    TIniSectionList FSections;
    TIniChangeLog FChanges;
    TEncoding* FEncoding = nullptr;
    TEncodingErrorHandler FOnEncodingError;
    bool FModified = false;
};

// Decodes `bytes` one line at a time: carriage returns, line feeds and CR LF
// pairs end lines. A line that `encoding` cannot decode is taken in the
// system ANSI code page instead. Returns the number of the last such line,
// or -1 when every line decoded. A leading byte-order mark of `encoding` is
// skipped.
[[nodiscard]] qint32 DecodeBytesLineByLine(const QByteArray& bytes, TEncoding* encoding,
                                           QStringList& list);

// The bytes of a saved file: the byte-order mark of `encoding` (the system
// ANSI code page when null), then every line followed by CR LF.
[[nodiscard]] QByteArray EncodeIniLines(const QStringList& lines, TEncoding* encoding);

// Calls `line` for every line of `text`; CR, LF and CR LF end lines, and a
// final line break does not start another line.
void ForEachLine(QStringView text, const std::function<void(QStringView)>& line);

} // namespace qz

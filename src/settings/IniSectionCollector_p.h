#pragma once
// Private to the INI document: filing the sections of a text as it is
// parsed, many in a row.

#include "settings/IniDocument.h"

#include <QString>

#include <vector>

namespace qz {

// Looking every header up as it comes, in a tree or a sorted list, walks
// memory in the order of the names while it was filled in the order of
// the file: on a shuffled file of a million sections nearly every step
// missed the cache. The collector gives every header a section of its own
// as it comes (its lines follow at the next header) and files them all at
// once: it sorts small keys of the names, finds the names that are one
// section in the list's collation, and folds the later ones into the
// first, in the order of the file. What is found, and what is new, is exactly what
// adding each section at once would give, name repair included.
class TIniSectionCollector {
public:
    explicit TIniSectionCollector(TIniStream& document);
    // Files what is still pending: an exception in the middle of a text
    // leaves the document with the sections read so far, as before.
    ~TIniSectionCollector();
    TIniSectionCollector(const TIniSectionCollector&) = delete;
    TIniSectionCollector& operator=(const TIniSectionCollector&) = delete;

    // A header line: the section the lines up to the next header go to.
    TIniSection* Open(QString name);
    // A line for `section`, the last one Open gave or any other. The lines
    // of an opened section are kept as they are (they must stay valid
    // until the next Open or File) and added in one go, into text
    // allocated once at its size.
    void AddLine(TIniSection* section, QStringView line);
    // Files every pending section into the list; done before the list's
    // order changes (";$C") and when the text ends. Returns the section
    // the last header opened since the last call went into, or null.
    TIniSection* File();

private:
    // A header as it came, and the slot holding its lines under the
    // repaired name, which is the name a new section is filed under.
    struct TOpened {
        QString Name;
        TIniSectionSlot* Slot;
        bool Repaired; // the slot's name differs from Name
    };

    // The first 16 characters of a name, one byte each (case folded when
    // the list ignores case), big-endian, so that comparing the integers
    // orders them as the collation does when every one is ASCII.
    struct TKey {
        quint64 Head[2];
        quint32 Ref;   // index into FOpened * 2, + 1 for the repaired name
        quint8 Length; // the name's length, 17 for anything longer
        bool Exact;    // the plain collation, and Head holds ASCII only
    };

    [[nodiscard]] TKey KeyOf(QStringView name, quint32 ref) const;
    [[nodiscard]] const QString& NameOf(const TKey& key) const;
    [[nodiscard]] int CompareKeys(const TKey& a, const TKey& b) const;
    // Every name's class: names that compare equal share one, and classes
    // are numbered in the list's order.
    void Classify(std::vector<quint32>& classOf, quint32& classes);
    // The existing section a header goes into, or null for a new one.
    [[nodiscard]] TIniSection* Target(const TOpened& opened, quint32 rawClass, quint32 repClass,
                                      const std::vector<TIniSectionSlot*>& filed, bool listed);
    // Puts the new sections, in their order, among the listed ones.
    void Merge(std::vector<TIniSectionSlot*>& fresh);
    void SqueezeReopened();
    // Adds the lines kept for the section opened last.
    void Close();

    TIniStream& FDocument;
    TIniSectionList& FList;
    const TIniCollation* FSectionCollation = nullptr; // asked for at the first header
    std::vector<TOpened> FOpened;
    std::vector<TKey> FKeys;
    // A listed section the last File handed back, which lines may have
    // grown since; squeezed when the next header comes.
    TIniSection* FReopened = nullptr;
    TIniSection* FOpen = nullptr;    // the section opened last, until it is closed
    std::vector<QStringView> FLines; // its lines
    qsizetype FLineChars = 0;
};

} // namespace qz

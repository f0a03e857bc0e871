// Filing the sections of a text being parsed, all at once.
#include "settings/IniSectionCollector_p.h"

#include "settings/IniCollation_p.h"
#include "settings/IniSectionStore_p.h"

#include <algorithm>
#include <utility>

namespace qz {

TIniSectionCollector::TIniSectionCollector(TIniStream& document)
    : FDocument(document), FList(document.SectionList()) {}

TIniSectionCollector::~TIniSectionCollector() {
    try {
        (void)File();
    } catch (...) {
        // Only while unwinding from an earlier failure can something be
        // pending here (the parse files at its end); the slots stay in the
        // list's store, which frees them with the list.
    }
}

void TIniSectionCollector::SqueezeReopened() {
    if (FReopened)
        FReopened->Squeeze();
    FReopened = nullptr;
}

void TIniSectionCollector::AddLine(TIniSection* section, QStringView line) {
    if (section != FOpen) {
        section->AddLine(line);
        return;
    }
    FLines.push_back(line);
    FLineChars += line.size();
}

// Nothing stays pending when a line fails (a section grown too large): the
// section keeps the lines before it and is filed with the others.
void TIniSectionCollector::Close() {
    if (!FOpen)
        return;
    TIniSection* section = std::exchange(FOpen, nullptr);
    const qsizetype chars = std::exchange(FLineChars, 0);
    struct TForget {
        std::vector<QStringView>& Lines;
        ~TForget() { Lines.clear(); }
    } forget{FLines};
    section->Reserve(chars, qsizetype(FLines.size()));
    for (QStringView line : FLines)
        section->AddLine(line);
}

// Room for the keys is made first: a header is either pending with its
// keys or not at all. (A slot made before a failure stays unlisted in the
// store until the list is cleared.)
TIniSection* TIniSectionCollector::Open(QString name) {
    Close();
    SqueezeReopened();
    if (!FSectionCollation)
        FSectionCollation = &TIniCollation::Current();
    QString repaired = TIniStream::RepairSectionName(name);
    const bool differs = repaired.constData() != name.constData() && repaired != name;
    if (FKeys.capacity() - FKeys.size() < 2)
        FKeys.reserve(FKeys.size() * 2 + 2);
    const auto ref = quint32(FOpened.size() * 2);
    const TKey key = KeyOf(name, ref);
    const TKey repairedKey = differs ? KeyOf(repaired, ref + 1) : key;
    const size_t hash = TIniSectionStore::HashOf(repaired);
    TIniSectionSlot* slot = FList.FStore->Make(std::move(repaired), hash, *FSectionCollation);
    FOpened.push_back(TOpened{std::move(name), slot, differs});
    FKeys.push_back(key);
    if (differs)
        FKeys.push_back(repairedKey);
    FOpen = slot->Section;
    return FOpen;
}

TIniSectionCollector::TKey TIniSectionCollector::KeyOf(QStringView name, quint32 ref) const {
    TKey key{{0, 0}, ref, quint8(std::min<qsizetype>(name.size(), 17)), FList.FCollation->Plain()};
    const bool fold = !FList.CaseSensitive();
    const qsizetype n = std::min<qsizetype>(name.size(), 16);
    for (qsizetype i = 0; i < n && key.Exact; ++i) {
        char16_t c = name[i].unicode();
        if (c >= 0x80) {
            key.Exact = false;
            break;
        }
        if (fold && c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
        key.Head[i / 8] |= quint64(c) << (56 - 8 * (i % 8));
    }
    return key;
}

const QString& TIniSectionCollector::NameOf(const TKey& key) const {
    const TOpened& opened = FOpened[key.Ref / 2];
    return key.Ref % 2 ? opened.Slot->Name : opened.Name;
}

// Two heads of ASCII decide wherever they differ; equal heads of names no
// longer than a head differ only in length. Anything else is the
// collation's to say.
int TIniSectionCollector::CompareKeys(const TKey& a, const TKey& b) const {
    if (a.Exact && b.Exact) {
        for (int i = 0; i < 2; ++i)
            if (a.Head[i] != b.Head[i])
                return a.Head[i] < b.Head[i] ? -1 : 1;
        if (a.Length <= 16 && b.Length <= 16)
            return a.Length == b.Length ? 0 : (a.Length < b.Length ? -1 : 1);
    }
    return FList.Compare(NameOf(a), NameOf(b));
}

// A saved file lists its sections in order: one pass of comparisons shows
// that and draws the classes' borders, so such a file is not sorted again
// (in a locale collated by ICU each comparison is costly).
void TIniSectionCollector::Classify(std::vector<quint32>& classOf, quint32& classes) {
    std::vector<bool> border(FKeys.size(), false); // a class begins here
    bool sorted = true;
    for (size_t i = 1; i < FKeys.size() && sorted; ++i) {
        const int order = CompareKeys(FKeys[i - 1], FKeys[i]);
        border[i] = order < 0;
        sorted = order <= 0;
    }
    if (!sorted) {
        std::sort(FKeys.begin(), FKeys.end(),
                  [this](const TKey& a, const TKey& b) { return CompareKeys(a, b) < 0; });
        for (size_t i = 1; i < FKeys.size(); ++i)
            border[i] = CompareKeys(FKeys[i - 1], FKeys[i]) != 0;
    }
    classOf.assign(FOpened.size() * 2, 0);
    classes = 0;
    for (size_t i = 0; i < FKeys.size(); ++i) {
        if (border[i])
            ++classes;
        classOf[FKeys[i].Ref] = classes;
    }
    if (!FKeys.empty())
        ++classes;
}

// The lookups of adding one section at a time: the list, then the sections
// filed before this one, by the name as written and then by its repair.
TIniSection* TIniSectionCollector::Target(const TOpened& opened, quint32 rawClass, quint32 repClass,
                                          const std::vector<TIniSectionSlot*>& filed, bool listed) {
    if (listed)
        if (TIniSection* found = FList.Find(opened.Name))
            return found;
    if (filed[rawClass])
        return filed[rawClass]->Section;
    if (!opened.Repaired)
        return nullptr;
    if (listed)
        if (TIniSection* found = FList.Find(opened.Slot->Name))
            return found;
    return filed[repClass] ? filed[repClass]->Section : nullptr;
}

// Whatever happens, nothing stays pending: a failure half-way (memory)
// must not let the destructor file sections again that were folded or
// freed already. Sections not filed then stay unlisted in the store.
TIniSection* TIniSectionCollector::File() {
    Close();
    SqueezeReopened();
    if (FOpened.empty())
        return nullptr;
    struct TForget {
        TIniSectionCollector& Collector;
        ~TForget() {
            Collector.FOpened.clear();
            Collector.FKeys.clear();
        }
    } forget{*this};
    std::vector<quint32> classOf;
    quint32 classes = 0;
    Classify(classOf, classes);
    FKeys = {};

    const bool listed = FList.Count() > 0;
    std::vector<TIniSectionSlot*> filed(classes, nullptr);
    std::vector<TIniSection*> grown;       // sections that took in another's lines
    std::vector<TIniSectionSlot*> created; // new sections, in the file's order
    created.reserve(FOpened.size());
    TIniSection* last = nullptr;
    for (size_t i = 0; i < FOpened.size(); ++i) {
        const TOpened& opened = FOpened[i];
        const quint32 rawClass = classOf[i * 2];
        const quint32 repClass = opened.Repaired ? classOf[i * 2 + 1] : rawClass;
        TIniSection* target = Target(opened, rawClass, repClass, filed, listed);
        if (!target) {
            opened.Slot->Section->Squeeze();
            filed[repClass] = opened.Slot;
            created.push_back(opened.Slot);
            last = opened.Slot->Section;
            continue;
        }
        FDocument.SectionFound(opened.Name);
        opened.Slot->Section->ForEachEntry(
            [target](QStringView key, QStringView value) { target->AddEntry(key, value); });
        FList.FStore->Free(opened.Slot);
        grown.push_back(target);
        last = target;
    }
    for (TIniSection* section : grown)
        section->Squeeze();
    // Hashed in the order the slots lie in memory, not in the names' order.
    FList.FStore->ReserveIndex(size_t(FList.Count()) + created.size());
    for (TIniSectionSlot* slot : created)
        FList.FStore->Index(slot);
    created = {};

    std::vector<TIniSectionSlot*> fresh;
    for (TIniSectionSlot* slot : filed)
        if (slot)
            fresh.push_back(slot);
    Merge(fresh);
    FReopened = last;
    return last;
}

// A new name goes before the first listed name that does not sort before
// it, where an insertion at its lower bound would have put it. No new name
// equals a listed one: it would have been found.
void TIniSectionCollector::Merge(std::vector<TIniSectionSlot*>& fresh) {
    std::vector<TIniSectionSlot*>& items = FList.FItems;
    if (items.empty()) {
        items.swap(fresh);
        return;
    }
    std::vector<TIniSectionSlot*> merged;
    merged.reserve(items.size() + fresh.size());
    auto old = items.begin();
    for (TIniSectionSlot* slot : fresh) {
        while (old != items.end() && FList.Compare((*old)->Name, slot->Name) < 0)
            merged.push_back(*old++);
        merged.push_back(slot);
    }
    merged.insert(merged.end(), old, items.end());
    items.swap(merged);
}

} // namespace qz

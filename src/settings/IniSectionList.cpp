// The sorted list of a document's sections, and the collector that files
// many new ones into it at once.
#include "settings/IniCollation_p.h"
#include "settings/IniDocument.h"
#include "settings/IniSectionCollector_p.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace qz {

TIniSectionList::TIniSectionList() : FCollation(&TIniCollation::Current()) {}

TIniSection* TIniSectionList::getSections(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[size_t(index)].Section.get();
}

const TIniSection* TIniSectionList::getSections(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[size_t(index)].Section.get();
}

const QString& TIniSectionList::Names(int index) const {
    static const QString none;
    if (index < 0 || index >= Count())
        return none;
    return FItems[size_t(index)].Name;
}

int TIniSectionList::Compare(QStringView a, QStringView b) const {
    return FCollation->Compare(a, b, FCaseSensitive);
}

int TIniSectionList::LowerBound(QStringView name) const {
    const auto it = std::lower_bound(
        FItems.begin(), FItems.end(), name,
        [this](const TItem& item, QStringView n) { return Compare(item.Name, n) < 0; });
    return int(it - FItems.begin());
}

int TIniSectionList::IndexOf(const QString& name) const {
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)].Name, name) == 0)
        return i;
    return -1;
}

const TIniSection* TIniSectionList::Find(const QString& name) const {
    if (!FTied)
        if (const auto it = FByExactName.constFind(name); it != FByExactName.constEnd())
            return it.value();
    const int i = IndexOf(name);
    return i < 0 ? nullptr : FItems[size_t(i)].Section.get();
}

TIniSection* TIniSectionList::Find(const QString& name) {
    return const_cast<TIniSection*>(std::as_const(*this).Find(name));
}

bool TIniSectionList::Add(const QString& name, std::unique_ptr<TIniSection>& section) {
    if (!section)
        return false;
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)].Name, name) == 0)
        return false;
    FByExactName.insert(name, section.get());
    FItems.insert(FItems.begin() + i, TItem{name, std::move(section)});
    return true;
}

void TIniSectionList::Clear() {
    FItems.clear();
    FByExactName.clear();
    FTied = false;
}

// Two names are never identical (they would compare equal), so the name
// leaves the hash with its section.
void TIniSectionList::Delete(int index) {
    (void)Extract(index);
}

std::unique_ptr<TIniSection> TIniSectionList::Extract(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    auto section = std::move(FItems[size_t(index)].Section);
    FByExactName.remove(FItems[size_t(index)].Name);
    FItems.erase(FItems.begin() + index);
    return section;
}

void TIniSectionList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    std::stable_sort(FItems.begin(), FItems.end(), [this](const TItem& a, const TItem& b) {
        return Compare(a.Name, b.Name) < 0;
    });
    FTied = HasTies();
}

bool TIniSectionList::HasTies() const {
    return std::adjacent_find(FItems.begin(), FItems.end(), [this](const TItem& a, const TItem& b) {
               return Compare(a.Name, b.Name) == 0;
           }) != FItems.end();
}

TIniSectionCollector::TIniSectionCollector(TIniSectionList& list)
    : FList(list), FPending(TBefore{&list}), FPlace(FPending.end()) {}

TIniSectionCollector::~TIniSectionCollector() {
    try {
        Merge();
    } catch (...) {
        // Only while unwinding from an earlier failure can something be
        // pending here (the parse merges at its end); what did not fit is
        // dropped rather than throwing from a destructor.
    }
}

TIniSection* TIniSectionCollector::Find(const QString& name) {
    // The pending names match none in the list (Add is only asked for a
    // name Find did not find), so the first match of the list is the one
    // its lookup would give, ties of a case-blind list included.
    if (TIniSection* listed = FList.Find(name))
        return listed;
    // A saved file lists its sections in order: each new name then sorts
    // after all pending ones, which one comparison shows. Otherwise the
    // place found is kept for Add, so a new name costs one descent.
    FPlace = FPending.end();
    if (FPending.empty())
        return nullptr;
    const auto& [lastName, lastSection] = *FPending.rbegin();
    const int order = FList.Compare(lastName, name);
    if (order <= 0)
        return order == 0 ? lastSection.get() : nullptr;
    FPlace = FPending.lower_bound(name);
    if (FPlace != FPending.end() && FList.Compare(FPlace->first, name) == 0)
        return FPlace->second.get();
    return nullptr;
}

// The place the last Find left is where `name` goes when it was asked for
// last, as Add's callers do; a hint that is not the place costs a descent,
// never a wrong place.
TIniSection* TIniSectionCollector::Add(const QString& name) {
    const auto it = FPending.emplace_hint(FPlace, name, nullptr);
    if (!it->second)
        it->second = std::make_unique<TIniSection>();
    FPlace = FPending.end();
    return it->second.get();
}

// A new name goes before the first listed name that does not sort before
// it, where an insertion at its lower bound would have put it.
void TIniSectionCollector::Merge() {
    if (FPending.empty())
        return;
    std::vector<TIniSectionList::TItem>& items = FList.FItems;
    std::vector<TIniSectionList::TItem> merged;
    merged.reserve(items.size() + FPending.size());
    auto old = items.begin();
    for (auto& [name, section] : FPending) {
        while (old != items.end() && FList.Compare(old->Name, name) < 0)
            merged.push_back(std::move(*old++));
        FList.FByExactName.insert(name, section.get());
        merged.push_back(TIniSectionList::TItem{name, std::move(section)});
    }
    std::move(old, items.end(), std::back_inserter(merged));
    items = std::move(merged);
    FPending.clear();
    FPlace = FPending.end();
}

} // namespace qz

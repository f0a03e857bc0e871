// The sorted list of a document's sections.
#include "settings/IniCollation_p.h"
#include "settings/IniDocument.h"

#include <algorithm>

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

bool TIniSectionList::Add(const QString& name, std::unique_ptr<TIniSection>& section) {
    if (!section)
        return false;
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)].Name, name) == 0)
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
    auto section = std::move(FItems[size_t(index)].Section);
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
}

} // namespace qz

// The sorted list of a document's sections.
#include "settings/IniCollation_p.h"
#include "settings/IniDocument.h"
#include "settings/IniSectionStore_p.h"

#include <algorithm>
#include <utility>

namespace qz {

TIniSectionList::TIniSectionList()
    : FCollation(&TIniCollation::Current()), FStore(std::make_unique<TIniSectionStore>()) {}

TIniSectionList::~TIniSectionList() = default;
TIniSectionList::TIniSectionList(TIniSectionList&&) noexcept = default;
TIniSectionList& TIniSectionList::operator=(TIniSectionList&&) noexcept = default;

TIniSection* TIniSectionList::getSections(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[size_t(index)]->Section;
}

const TIniSection* TIniSectionList::getSections(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return FItems[size_t(index)]->Section;
}

const QString& TIniSectionList::Names(int index) const {
    static const QString none;
    if (index < 0 || index >= Count())
        return none;
    return FItems[size_t(index)]->Name;
}

int TIniSectionList::Compare(QStringView a, QStringView b) const {
    return FCollation->Compare(a, b, FCaseSensitive);
}

int TIniSectionList::LowerBound(QStringView name) const {
    const auto it = std::lower_bound(
        FItems.begin(), FItems.end(), name,
        [this](const TIniSectionSlot* slot, QStringView n) { return Compare(slot->Name, n) < 0; });
    return int(it - FItems.begin());
}

int TIniSectionList::IndexOf(const QString& name) const {
    const int i = LowerBound(name);
    if (i < Count() && Compare(FItems[size_t(i)]->Name, name) == 0)
        return i;
    return -1;
}

const TIniSection* TIniSectionList::Find(const QString& name) const {
    if (!FTied)
        if (const TIniSectionSlot* slot = FStore->FindExact(name, TIniSectionStore::HashOf(name)))
            return slot->Section;
    const int i = IndexOf(name);
    // The very name found by the search would mean the hash lost it.
    Q_ASSERT(FTied || i < 0 || FItems[size_t(i)]->Name != name);
    return i < 0 ? nullptr : FItems[size_t(i)]->Section;
}

TIniSection* TIniSectionList::Find(const QString& name) {
    return const_cast<TIniSection*>(std::as_const(*this).Find(name));
}

void TIniSectionList::Insert(TIniSectionSlot* slot) {
    FItems.insert(FItems.begin() + LowerBound(slot->Name), slot);
    FStore->Index(slot);
}

bool TIniSectionList::Add(const QString& name, std::unique_ptr<TIniSection>& section) {
    if (!section || IndexOf(name) >= 0)
        return false;
    TIniSectionSlot* slot = FStore->Make(name, TIniSectionStore::HashOf(name), *FCollation);
    slot->Apart = std::move(section);
    slot->Section = slot->Apart.get();
    Insert(slot);
    return true;
}

// A section made here compares its keys in the locale of the moment, as
// one made on its own does.
TIniSection* TIniSectionList::AddNew(const QString& name) {
    if (IndexOf(name) >= 0)
        return nullptr;
    TIniSectionSlot* slot =
        FStore->Make(name, TIniSectionStore::HashOf(name), TIniCollation::Current());
    Insert(slot);
    return slot->Section;
}

// A new name never equals another one, so it brings no tie; a list with
// ties keeps searching for every lookup, which is right whether or not the
// tie is gone (as after a Delete).
bool TIniSectionList::Rename(int index, const QString& newName) {
    if (index < 0 || index >= Count())
        return false;
    const int other = IndexOf(newName);
    if (other >= 0 && other != index)
        return false;
    TIniSectionSlot* slot = Unlist(index);
    slot->Name = newName;
    slot->Hash = TIniSectionStore::HashOf(newName);
    Insert(slot);
    return true;
}

TIniSectionSlot* TIniSectionList::Unlist(int index) {
    TIniSectionSlot* slot = FItems[size_t(index)];
    FStore->Unindex(slot);
    FItems.erase(FItems.begin() + index);
    return slot;
}

void TIniSectionList::Clear() {
    FItems.clear();
    FStore->Clear();
    FTied = false;
}

void TIniSectionList::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    FStore->Free(Unlist(index));
}

// A section of the list's own leaves in a new object with its content.
std::unique_ptr<TIniSection> TIniSectionList::Extract(int index) {
    if (index < 0 || index >= Count())
        return nullptr;
    TIniSectionSlot* slot = Unlist(index);
    std::unique_ptr<TIniSection> section = std::move(slot->Apart);
    if (!section) {
        section = std::make_unique<TIniSection>(*slot->Collation);
        section->SwapContent(slot->Own);
    }
    FStore->Free(slot);
    return section;
}

void TIniSectionList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const TIniSectionSlot* a, const TIniSectionSlot* b) {
                         return Compare(a->Name, b->Name) < 0;
                     });
    FTied = HasTies();
}

bool TIniSectionList::HasTies() const {
    return std::adjacent_find(FItems.begin(), FItems.end(),
                              [this](const TIniSectionSlot* a, const TIniSectionSlot* b) {
                                  return Compare(a->Name, b->Name) == 0;
                              }) != FItems.end();
}

} // namespace qz

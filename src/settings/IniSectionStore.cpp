// Where a list's sections live, and the hash of their names.
#include "settings/IniSectionStore_p.h"

#include <QHashFunctions>

#include <algorithm>
#include <new>

namespace qz {

namespace {

constexpr size_t kFirstBlock = 16;
constexpr size_t kLargestBlock = 8192;

} // namespace

TIniSectionStore::~TIniSectionStore() {
    Clear();
}

size_t TIniSectionStore::HashOf(QStringView name) {
    return qHash(name, 0);
}

TIniSectionSlot* TIniSectionStore::Make(QString name, size_t hash, const TIniCollation& collation) {
    if (!FFree.empty()) {
        TIniSectionSlot* slot = FFree.back();
        FFree.pop_back();
        slot->~TIniSectionSlot();
        return new (slot) TIniSectionSlot(std::move(name), hash, collation);
    }
    if (FBlocks.empty() || FBlocks.back().Used == FBlocks.back().Capacity) {
        const size_t capacity =
            FBlocks.empty() ? kFirstBlock : std::min(FBlocks.back().Capacity * 2, kLargestBlock);
        TBlock block;
        block.Bytes.reset(new std::byte[capacity * sizeof(TIniSectionSlot)]);
        block.Capacity = capacity;
        FBlocks.push_back(std::move(block));
    }
    TBlock& block = FBlocks.back();
    TIniSectionSlot* slot =
        new (block.At(block.Used)) TIniSectionSlot(std::move(name), hash, collation);
    ++block.Used;
    return slot;
}

// A freed slot holds an empty section until it is given out again, so every
// slot of a block is a live object and Clear needs no record of holes.
void TIniSectionStore::Free(TIniSectionSlot* slot) {
    const TIniCollation& collation = *slot->Collation;
    slot->~TIniSectionSlot();
    new (slot) TIniSectionSlot(QString(), 0, collation);
    FFree.push_back(slot);
}

void TIniSectionStore::Clear() {
    for (TBlock& block : FBlocks)
        for (size_t i = 0; i < block.Used; ++i)
            block.At(i)->~TIniSectionSlot();
    FBlocks.clear();
    FFree.clear();
    FBuckets.clear();
    FIndexed = 0;
}

TIniSectionSlot* TIniSectionStore::FindExact(QStringView name, size_t hash) const {
    if (FBuckets.empty())
        return nullptr;
    const size_t mask = FBuckets.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const TBucket& b = FBuckets[i];
        if (!b.Slot)
            return nullptr;
        if (b.Hash == hash && b.Slot->Name == name)
            return b.Slot;
    }
}

void TIniSectionStore::ReserveIndex(size_t count) {
    size_t buckets = std::max<size_t>(FBuckets.size(), 16);
    while (buckets < count * 2)
        buckets *= 2;
    if (buckets != FBuckets.size())
        Rehash(buckets);
}

void TIniSectionStore::Index(TIniSectionSlot* slot) {
    ReserveIndex(FIndexed + 1);
    Place(slot, slot->Hash);
    ++FIndexed;
}

void TIniSectionStore::Place(TIniSectionSlot* slot, size_t hash) {
    const size_t mask = FBuckets.size() - 1;
    size_t i = hash & mask;
    while (FBuckets[i].Slot)
        i = (i + 1) & mask;
    FBuckets[i] = TBucket{slot, hash};
}

// Linear probing without tombstones: the entries after the hole that would
// have landed at or before it move up, so every probe still ends at the
// first empty bucket.
void TIniSectionStore::Unindex(const TIniSectionSlot* slot) {
    if (FBuckets.empty())
        return;
    const size_t mask = FBuckets.size() - 1;
    size_t hole = slot->Hash & mask;
    while (FBuckets[hole].Slot != slot) {
        if (!FBuckets[hole].Slot)
            return;
        hole = (hole + 1) & mask;
    }
    FBuckets[hole] = TBucket{};
    --FIndexed;
    for (size_t i = (hole + 1) & mask; FBuckets[i].Slot; i = (i + 1) & mask) {
        const size_t home = FBuckets[i].Hash & mask;
        // Whether `home` lies cyclically in (hole, i]: then the entry stays.
        const bool stays = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
        if (!stays) {
            FBuckets[hole] = FBuckets[i];
            FBuckets[i] = TBucket{};
            hole = i;
        }
    }
}

void TIniSectionStore::Rehash(size_t buckets) {
    std::vector<TBucket> old(buckets);
    old.swap(FBuckets);
    for (const TBucket& b : old)
        if (b.Slot)
            Place(b.Slot, b.Hash);
}

} // namespace qz

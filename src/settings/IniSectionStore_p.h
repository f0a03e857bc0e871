#pragma once
// Private to the INI document: where the sections of a list live, and the
// hash of their names.

#include "settings/IniDocument.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <memory>
#include <vector>

namespace qz {

// One section of a list with the name it is filed under. A section made by
// the list is the slot's own; one handed in by a caller stays the object it
// was, so pointers to it stay good.
struct TIniSectionSlot {
    TIniSectionSlot(QString name, size_t hash, const TIniCollation& collation)
        : Name(std::move(name)), Hash(hash), Collation(&collation), Own(collation) {}

    QString Name;
    size_t Hash;                        // of Name, as TIniSectionStore::HashOf gives it
    const TIniCollation* Collation;     // Own's
    TIniSection* Section = &Own;        // the section this slot holds
    std::unique_ptr<TIniSection> Apart; // a section handed in, which Section points to
    TIniSection Own;
};

// The slots of one list, made in blocks and handed out in the order they
// were asked for, so the sections of a file lie in memory in the file's
// order; a freed slot is given out again. Beside them, an open-addressing
// hash from exact names to slots, whose probes compare stored hashes and
// read a slot only when the hash matches.
class TIniSectionStore {
public:
    TIniSectionStore() = default;
    ~TIniSectionStore();
    TIniSectionStore(const TIniSectionStore&) = delete;
    TIniSectionStore& operator=(const TIniSectionStore&) = delete;

    [[nodiscard]] static size_t HashOf(QStringView name);

    // A slot with an empty section of `collation`, not yet in the hash.
    TIniSectionSlot* Make(QString name, size_t hash, const TIniCollation& collation);
    // Destroys the slot's section and keeps the slot for the next Make; the
    // slot must not be in the hash.
    void Free(TIniSectionSlot* slot);
    // Destroys every slot, in the order they were made.
    void Clear();

    // The slot named exactly `name`, or null.
    [[nodiscard]] TIniSectionSlot* FindExact(QStringView name, size_t hash) const;
    // Names in the hash are unique: a list never holds two identical names.
    void Index(TIniSectionSlot* slot);
    void Unindex(const TIniSectionSlot* slot);
    // Makes room for `count` names in all, so that adding them never rehashes.
    void ReserveIndex(size_t count);

private:
    struct TBucket {
        TIniSectionSlot* Slot = nullptr;
        size_t Hash = 0;
    };

    // The slot storage: blocks that double in size up to a bound.
    struct TBlock {
        std::unique_ptr<std::byte[]> Bytes;
        size_t Capacity = 0;
        size_t Used = 0;
        [[nodiscard]] TIniSectionSlot* At(size_t i) const {
            return reinterpret_cast<TIniSectionSlot*>(Bytes.get()) + i;
        }
    };

    void Rehash(size_t buckets);
    void Place(TIniSectionSlot* slot, size_t hash);

    std::vector<TBlock> FBlocks;
    std::vector<TIniSectionSlot*> FFree;
    std::vector<TBucket> FBuckets; // a power of two, at most half full
    size_t FIndexed = 0;
};

} // namespace qz

#pragma once
// Private to the INI document: filing the sections of a text as it is
// parsed, many in a row.

#include "settings/IniDocument.h"

#include <map>
#include <memory>

namespace qz {

// Inserting every new section into the sorted list at once would move all
// sections behind it, so a text of n sections took about n * n / 4 moves
// (a million sections: minutes). The collector files new sections in a tree
// of the list's order and merges them into the list in one pass at the
// end. Lookups see list and tree as one, so what is found, and what is new,
// is exactly what adding each section at once would give.
class TIniSectionCollector {
public:
    explicit TIniSectionCollector(TIniSectionList& list);
    // Merges what is still pending: an exception in the middle of a text
    // leaves the document with the sections read so far, as before.
    ~TIniSectionCollector();
    TIniSectionCollector(const TIniSectionCollector&) = delete;
    TIniSectionCollector& operator=(const TIniSectionCollector&) = delete;

    // The section whose name matches `name` in the list's order, or null.
    [[nodiscard]] TIniSection* Find(const QString& name);
    // Files a new empty section under `name`, which Find did not find (a
    // name pending already gives its section back).
    TIniSection* Add(const QString& name);
    // Moves every pending section into the list; done before the list's
    // order changes (";$C") and when the text ends.
    void Merge();

private:
    struct TBefore {
        const TIniSectionList* List;
        bool operator()(const QString& a, const QString& b) const {
            return List->Compare(a, b) < 0;
        }
    };

    using TPending = std::map<QString, std::unique_ptr<TIniSection>, TBefore>;

    TIniSectionList& FList;
    TPending FPending;
    // Where the name Find last looked for goes among the pending ones.
    TPending::iterator FPlace;
};

} // namespace qz

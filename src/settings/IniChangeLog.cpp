// The record of a document's changes since it was last in step with its
// file, which a save applies again on top of what another process wrote.
#include "settings/IniDocument.h"

namespace qz {

void TIniChangeLog::NoteValue(const QString& section, const QString& key, const QString& value) {
    Add({TChange::SetValue, section, key, value, {}, false});
}

void TIniChangeLog::NoteClear(const QString& section) {
    Add({TChange::ClearSection, section, {}, {}, {}, false});
}

void TIniChangeLog::NoteLines(const QString& section, const QStringList& lines, bool withComments) {
    Add({TChange::SetLines, section, {}, {}, lines, withComments});
}

void TIniChangeLog::NoteWhole() {
    FWhole = true;
    FChanges = {};
}

void TIniChangeLog::Forget() {
    FWhole = false;
    FChanges = {};
}

void TIniChangeLog::Prepend(const TIniChangeLog& earlier) {
    if (earlier.FWhole) {
        NoteWhole();
        return;
    }
    if (FWhole)
        return;
    if (earlier.FChanges.size() + FChanges.size() > size_t(MaxChanges)) {
        NoteWhole();
        return;
    }
    FChanges.insert(FChanges.begin(), earlier.FChanges.begin(), earlier.FChanges.end());
}

void TIniChangeLog::Add(TChange change) {
    if (FWhole)
        return;
    if (FChanges.size() >= size_t(MaxChanges)) {
        NoteWhole();
        return;
    }
    FChanges.push_back(std::move(change));
}

} // namespace qz

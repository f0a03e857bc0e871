#pragma once
// How the game keeps what the player must not lose in its settings file:
// the record, which never goes down even with two games running, and the
// saving itself, whose durable part runs off the GUI thread and whose
// failure the player is told of in German, once per run of failures.

namespace qz {
class TUserSettings;
}

namespace stakko {

class TScoreObj;

// Lets a file-backed settings object save in the background and tell the
// player of a failed save through qz::MsgBox(). Other settings objects
// (tests' fakes) are left as they are.
void PrepareSettingsSaving(qz::TUserSettings* settings);

// Writes everything pending and waits a few seconds at most for the disk;
// a failure is told even when one was told before (the record, the end).
// With `aboutRecord` the message says that the record was not stored.
bool SaveSettingsNow(qz::TUserSettings* settings, bool aboutRecord = false);

// Takes in a record another game stored meanwhile when it is higher than
// the one `score` knows; returns true when it did (the caller shows it).
bool TakeStoredRecord(qz::TUserSettings& settings, TScoreObj& score);

// Stores the name and points of `score` as the record, unless the file
// holds a higher record by now: that one stays, and `score` takes it
// over. Returns true when this record was stored on the disk.
bool StoreRecord(qz::TUserSettings& settings, TScoreObj& score);

} // namespace stakko

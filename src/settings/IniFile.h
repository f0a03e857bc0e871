#pragma once
// TIni binds an INI document to a file: it loads the file when created,
// falls back to decoding line by line when the whole text does not decode,
// and keeps memory and disk in step. Pending changes are written by Save,
// before a read once the file's recorded time is more than ten seconds old,
// by Maintain and when the object is destroyed. Include "settings/QZINI.h".
//
// The file is trusted as little as a user's home folder deserves: only a
// regular file is read (a link only when it leads to one), never more than
// MaxIniFileSize, and saving never replaces anything but a regular file. A
// file the object could not read faithfully (decoded line by line, with
// characters it could not interpret, or not inflatable) keeps its bytes in
// a copy beside it before the first save goes over it (DamagedCopyName); at
// most five such copies are kept, the oldest giving way to a new one.
//
// Several programs may keep the same file open (the game started twice).
// Each object remembers what it changed since it last read or wrote the
// file (Changes()); when a save finds the file changed on disk since then,
// it reads the file again and applies only its own changes on top, so
// everything else there stays: the other program's values, comments, the
// order of lines, keys given twice and sections nobody here knows. When
// both changed the same key, the later save wins, as QSettings and KConfig
// have it. Writers take one lock (platform::TFolderLock) from the reading
// to the rename, so two saves never interleave. A file that did not change
// is written as before, without being read.
//
// A save that fails keeps its changes pending (Modified stays true): the
// next save tries again, and so does the end. Each failure is logged to
// "qz.settings" with its cause; the handler (SetOnSaveFailure) hears
// once per run of failures, until a save succeeds again.
//
//   qz::TIni ini("/home/p/.config/Vomb/stakko.ini", qz::TEncoding::UTF8(), {}, {});
//   ini.WriteInteger("Score", "Highest", 1520);
//   ini.Save(); // EF BB BF "[Score]" CR LF "Highest=1520" CR LF CR LF

#include "platform/AtomicFileWrite.h"
#include "platform/FileWriters.h"
#include "settings/IniDocument.h"
#include "text/DateTime.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace qz {

// Gives the name to write to instead when the folder of `fn` is protected.
using TVirtualizeFunction = std::function<QString(const QString& fn)>;
// The current local time; replaceable so tests can move the clock.
using TClock = std::function<TDateTime()>;

class TByteOutput;
class TIniBackgroundSave;

// Why a save did not reach the disk, as the user can act on it.
enum class TSaveFailureCause {
    DiskFull,   // ENOSPC, EDQUOT
    ReadOnly,   // a read-only file system, or a read-only or immutable file or folder
    NotAllowed, // EACCES, EPERM where the file and folder are writable as such
    Unfinished, // the disk did not finish the write before the program ended
    Other,      // anything else: a node that is no regular file, an I/O error
};

struct TSaveFailure {
    QString FileName;
    TSaveFailureCause Cause = TSaveFailureCause::Other;
    QString Detail; // the cause in German, for Other
};

// "Die Einstellungen konnten nicht in der Datei <name> gespeichert werden:
// kein Platz mehr auf dem Datenträger." and what happens to them now.
[[nodiscard]] QString SaveFailureMessage(const TSaveFailure& failure);
// The cause alone, in German: "kein Platz mehr auf dem Datenträger".
[[nodiscard]] QString SaveFailureCauseText(const TSaveFailure& failure);

using TSaveFailureHandler = std::function<void(const TSaveFailure& failure)>;

// The last-write time of a file as local time; 0 when there is no such file.
[[nodiscard]] TDateTime FileTimeOf(const QString& name);

// A file's time as local time, kept as the file's stamp until it is first
// asked for: the C library's first conversion to local time reads the
// system's time zone, which costs a fresh process more than loading a small
// settings file, and many programs never ask.
class TIniFileTime {
public:
    TIniFileTime& operator=(TDateTime time) {
        FTime = time;
        FStamp.reset();
        return *this;
    }
    void TakeFrom(const platform::TFileStamp& stamp) { FStamp = stamp; }
    [[nodiscard]] TDateTime Get() const;

private:
    mutable TDateTime FTime = 0;
    mutable std::optional<platform::TFileStamp> FStamp;
};

// The largest file an INI file object reads (with ReadFileBytes): far
// beyond any real settings file, small enough that reading it cannot
// exhaust memory.
inline constexpr qint64 MaxIniFileSize = qint64(64) * 1024 * 1024;

class TIni : public TIniStream {
public:
    explicit TIni(const QString& fn);
    TIni(const QString& fn, TEncoding* aEncoding, TEncodingErrorHandler aEncodingErrorHandler,
         TVirtualizeFunction aVirtualizeFuntion);
    // Writes pending changes; errors are swallowed, as a destructor must.
    ~TIni() override;

    // Reading a file that cannot be read at all throws EQZError; text that
    // does not decode is still loaded, line by line, and reported.
    void LoadFromFile(const QString& fn);
    void ReadFromFile();
    // Loads from text, as if from a file last written long ago.
    void ReadFromString(const QString& source);
    // Saves pending changes, or reloads a file changed by someone else;
    // returns true when it reloaded.
    bool Maintain();
    virtual void Save();
    // Write errors are absorbed (logged, told to the failure handler); the
    // changes stay pending until a save of the object's own file succeeds.
    virtual void SaveToFile(const QString& fileName, TEncoding* aEncoding);
    // Saves pending changes and waits, at most `patience`, until they are on
    // the disk; false when they are not (still pending, or still being
    // written when the patience ran out).
    bool Flush(std::chrono::milliseconds patience = std::chrono::seconds(5));
    // Takes in what another program saved to the file since this object
    // last read or wrote it; this object's pending changes stay on top and
    // pending. Returns true when it read the file again.
    bool Refresh();
    virtual void SaveFailed();
    // SaveToFile to another name (a backup) that leaves the pending changes
    // pending for the object's own file.
    void SaveCopy(const QString& fileName, TEncoding* aEncoding);
    // Takes a new file name; the content is written there at the next save.
    void ChangeFileName(const QString& newFileName);

    void ReadSectionLines(const QString& section, QStringList& list,
                          bool withCommentLines) override;
    [[nodiscard]] QString ReadString(const QString& section, const QString& key,
                                     const QString& def) override;

    // Narrow text in the system ANSI code page.
    [[nodiscard]] qint32 AnsiReadInteger(const QByteArray& section, const QByteArray& key,
                                         qint32 def);
    [[nodiscard]] QByteArray AnsiReadString(const QByteArray& section, const QByteArray& key,
                                            const QByteArray& def);

    // Shows LoadErrorMessage through the application's message box.
    static void DefaultOnEncodingError(TIniStream* Sender, qint32 lineNr);
    // Loads silently.
    static void IgnoreOnErrorEncoding(TIniStream* Sender, qint32 lineNr);
    // "Die Datei <name> enthält in Zeile <n> ein nicht interpretierbares Zeichen."
    [[nodiscard]] static QString EncodingErrorMessage(const QString& fileName, qint32 lineNr);
    // What DefaultOnEncodingError shows about the last load: the line message,
    // or the cause when the file could not be inflated, followed by where
    // its original content will be kept.
    [[nodiscard]] QString LoadErrorMessage(qint32 lineNr) const;
    // Where the bytes of a file the last load could not read faithfully are
    // kept before it is first overwritten (stakko.ini.damaged); empty when
    // the load was faithful or the copy has been written.
    [[nodiscard]] const QString& DamagedCopyName() const { return FDamage.CopyName; }

    // Removes what killed saves of `fileName` left behind (see
    // platform::RemoveStaleTemporaries); call it at start-up.
    static void RemoveStaleSaveFiles(const QString& fileName);

    // Decodes the file `fn` line by line (see DecodeBytesLineByLine); throws
    // EQZError when the file cannot be read.
    [[nodiscard]] static qint32 DecodeLinesSeparately(const QString& fn, TEncoding* encoding,
                                                      QStringList& list);

    [[nodiscard]] bool AutoMaintain() const { return FAutoMaintain; }
    void SetAutoMaintain(bool value) { FAutoMaintain = value; }
    [[nodiscard]] const QString& FileName() const { return FFileName; }
    // The file's time as seen at the last load or save (0: no file, -1.0:
    // loaded from text).
    [[nodiscard]] TDateTime FileTime() const { return FFileTime.Get(); }
    // The file the last LoadFromFile read (what an encoding error is about).
    [[nodiscard]] const QString& LoadedFileName() const { return FLoadedFileName; }
    void SetClock(TClock clock) { FClock = std::move(clock); }

    // Lets the durable part of saving the own file (fdatasync, rename) run on
    // a thread of its own; the calling thread needs an event loop to hear
    // of its end. A save asked for meanwhile follows once it ends.
    void SetSaveInBackground(bool value);
    [[nodiscard]] bool SaveInBackground() const { return FBackgroundContext != nullptr; }
    // True while a background save has not finished.
    [[nodiscard]] bool Saving() const;
    void SetOnSaveFailure(TSaveFailureHandler handler) { FOnSaveFailure = std::move(handler); }
    // The handler hears of the next failure even within a run of failures
    // it was already told of (a record that could not be stored, the end).
    void ReportNextSaveFailure() { FFailureReported = false; }
    // The failure of the last save of the own file; FileName is empty when
    // that save succeeded.
    [[nodiscard]] const TSaveFailure& LastSaveFailure() const { return FLastFailure; }

protected:
    // Encodes a file's content into `out`, as it is written.
    using TSavedContent = std::function<void(TByteOutput& out)>;

    void WriteListToFile(const QStringList& list, const QString& fileName, TEncoding* encoding);
    // Replaces the file with what `content` writes, or with null content
    // deletes it; false (with the cause logged) when that did not happen.
    [[nodiscard]] bool WriteOrDelete(const QString& fileName, const TSavedContent* content);
    // As WriteOrDelete, with the cause of a failure for the user.
    [[nodiscard]] bool WriteOrDelete(const QString& fileName, const TSavedContent* content,
                                     TSaveFailure& failure);

    QString FFileName;
    TIniFileTime FFileTime;
    bool FAutoMaintain = false;
    bool FVirtualizeWriteprotectedFolders = false;
    bool FTryAgain = false;
    TVirtualizeFunction FVirtualFolder;

private:
    // What a load could not read faithfully.
    struct TDamage {
        QString FileName;         // the file the bytes came from
        QByteArray Bytes;         // its content as read
        QString CopyName;         // where the bytes go before the file is overwritten
        QString Cause;            // why it could not be read; empty: a character on a line
        QDateTime ReplacesCopyOf; // valid: the oldest copy, of this time, gives way
    };

    void NoteDamage(const QString& fn, const QByteArray& bytes, const QString& cause);
    [[nodiscard]] bool WriteContentToFile(const QString& fileName, const TSavedContent& content);
    [[nodiscard]] bool SaveTo(const QString& fileName);
    [[nodiscard]] bool SaveOwnFileInBackground(platform::TFolderLock&& lock);
    [[nodiscard]] bool MergeWithDisk();
    void SaveSucceeded();
    void SaveFailedWith(const TSaveFailure& failure);
    // Applies the end of a background save, once it is done.
    void CollectBackgroundSave();
    [[nodiscard]] bool WaitForBackgroundSave(std::chrono::milliseconds patience);
    [[nodiscard]] bool KeepDamagedCopy(const QString& fileName);
    [[nodiscard]] bool WriteListToSubstitute(const QString& fileName);
    [[nodiscard]] TDateTime Now() const;

    TDamage FDamage;
    QString FLoadedFileName;
    TClock FClock;
    bool FWritingSubstitute = false;
    platform::TFileStamp FStamp; // of the own file when last read or written
    TSaveFailure FFailure;       // of the write under way
    TSaveFailure FLastFailure;
    TSaveFailureHandler FOnSaveFailure;
    bool FFailureReported = false;
    TDateTime FRetryAt = 0; // no save by the ten-second rule before, after a failure
    std::unique_ptr<QObject> FBackgroundContext;
    std::unique_ptr<TIniBackgroundSave> FBackground;
    TIniChangeLog FChangesInFlight; // what the background save writes
    bool FSaveWanted = false;       // a save was asked for while one was under way
};

} // namespace qz

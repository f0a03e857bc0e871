// Saving an INI file object: the plain save and the one whose durable half
// runs in the background, the merge with a file another program changed
// meanwhile, deleting an emptied file, the substitute folder, and what a
// failed save tells the user.
#include "settings/IniFile.h"

#include "platform/AtomicFileWrite.h"
#include "platform/FileWriters.h"
#include "settings/DamagedCopy_p.h"
#include "settings/IniBackgroundSave_p.h"
#include "settings/IniFileTimes_p.h"
#include "settings/IniSaveEncoding_p.h"
#include "settings/SettingsLog.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <cerrno>
#include <unistd.h>

namespace qz {

namespace {

// Why a file write did not happen, for the log.
QString WriteFailureText(const platform::TWriteResult& r) {
    switch (r.Status) {
    case platform::TWriteStatus::Written:
        return QStringLiteral("written");
    case platform::TWriteStatus::NotRegular:
        return QStringLiteral("%1 is not a regular file, left alone").arg(r.Target);
    case platform::TWriteStatus::ReadOnly:
        return QStringLiteral("%1 is read-only").arg(r.Target);
    case platform::TWriteStatus::Exists:
        return QStringLiteral("%1 exists").arg(r.Target);
    case platform::TWriteStatus::Failed:
        break;
    }
    return QStringLiteral("%1 failed for %2: %3")
        .arg(QLatin1String(r.Step), r.Target, qt_error_string(r.Error));
}

bool Writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// What the user can do about a failed write: free space, make the file or
// folder writable, or ask for the right to write.
TSaveFailure FailureOf(const QString& fileName, const platform::TWriteResult& r) {
    const QString target = r.Target.isEmpty() ? fileName : r.Target;
    if (r.Status == platform::TWriteStatus::Failed && qstrcmp(r.Step, "mkdir") == 0)
        return {fileName, TSaveFailureCause::Other,
                QCoreApplication::translate("qz::TIni", "der Ordner %1 kann nicht angelegt werden")
                    .arg(QFileInfo(target).absolutePath())};
    switch (r.Status) {
    case platform::TWriteStatus::Written:
        return {};
    case platform::TWriteStatus::ReadOnly:
        return {fileName, TSaveFailureCause::ReadOnly, {}};
    case platform::TWriteStatus::NotRegular:
        return {
            fileName, TSaveFailureCause::Other,
            QCoreApplication::translate("qz::TIni", "%1 ist keine gewöhnliche Datei").arg(target)};
    case platform::TWriteStatus::Exists:
    case platform::TWriteStatus::Failed:
        break;
    }
    switch (r.Error) {
    case ENOSPC:
    case EDQUOT:
        return {fileName, TSaveFailureCause::DiskFull, {}};
    case EROFS:
        return {fileName, TSaveFailureCause::ReadOnly, {}};
    case EACCES:
    case EPERM: {
        // A folder or file that may not be written as such (a mode without
        // "w", the immutable flag) is read-only; otherwise it is the right
        // that is missing.
        const QFileInfo info(target);
        const bool fileWritable = !info.exists() || Writable(target);
        return {fileName,
                Writable(info.absolutePath()) && fileWritable ? TSaveFailureCause::NotAllowed
                                                              : TSaveFailureCause::ReadOnly,
                {}};
    }
    default:
        return {fileName, TSaveFailureCause::Other, platform::SystemErrorText(r.Error)};
    }
}

} // namespace

QString SaveFailureCauseText(const TSaveFailure& failure) {
    switch (failure.Cause) {
    case TSaveFailureCause::DiskFull:
        return QCoreApplication::translate("qz::TIni", "kein Platz mehr auf dem Datenträger");
    case TSaveFailureCause::ReadOnly:
        return QCoreApplication::translate("qz::TIni",
                                           "die Datei oder ihr Ordner ist schreibgeschützt");
    case TSaveFailureCause::NotAllowed:
        return QCoreApplication::translate("qz::TIni", "keine Berechtigung");
    case TSaveFailureCause::Unfinished:
        return QCoreApplication::translate(
            "qz::TIni", "der Datenträger hat das Schreiben nicht rechtzeitig beendet");
    case TSaveFailureCause::Other:
        break;
    }
    return failure.Detail;
}

QString SaveFailureMessage(const TSaveFailure& failure) {
    const QString what = QCoreApplication::translate(
                             "qz::TIni", "Die Einstellungen konnten nicht in der Datei \r%1\r "
                                         "gespeichert werden: %2.")
                             .arg(failure.FileName, SaveFailureCauseText(failure));
    if (failure.Cause == TSaveFailureCause::Unfinished)
        return what + QCoreApplication::translate(
                          "qz::TIni", "\rDie letzten Änderungen sind möglicherweise verloren.");
    return what + QCoreApplication::translate(
                      "qz::TIni", "\rSie bleiben vorgemerkt und werden beim nächsten Speichern "
                                  "und beim Beenden erneut geschrieben.");
}

void TIni::Save() {
    if (Modified())
        SaveToFile(FFileName, FEncoding);
}

// An empty document deletes the file and never creates one. A save of the
// own file that finds it changed on disk merges first (see the header).
void TIni::SaveToFile(const QString& fileName, TEncoding* aEncoding) {
    if (fileName.isEmpty())
        return;
    if (aEncoding)
        FEncoding = aEncoding;
    const bool own = fileName == FFileName;
    if (own && FBackground) {
        if (!FBackground->Done()) {
            FSaveWanted = true; // follows when the save under way ends
            return;
        }
        CollectBackgroundSave();
    }
    // Without the lock (no folder yet, a hung writer) the save goes on: it
    // was never taken before either.
    platform::TFolderLock lock(fileName);
    if (own && !FChanges.Whole() && platform::FileStampOf(fileName) != FStamp)
        (void)MergeWithDisk();
    if (own && FBackgroundContext && !FVirtualFolder && !isEmpty() &&
        SaveOwnFileInBackground(std::move(lock)))
        return;
    const bool saved = SaveTo(fileName);
    if (own) {
        if (saved)
            SaveSucceeded();
        else
            SaveFailedWith(FFailure);
    } else if (saved) {
        FModified = false;
    }
    FFileTime = FileTimeOf(FFileName);
}

bool TIni::SaveTo(const QString& fileName) {
    FFailure = {};
    if (!isEmpty()) {
        // The bytes are made while they are written, straight from the sections.
        TEncoding* encoding = FEncoding;
        return WriteContentToFile(fileName, [this, encoding](TByteOutput& out) {
            EncodeSavedText(*this, encoding, out);
        });
    }
    // An empty document leaves no file behind.
    if (!QFileInfo::exists(fileName) || WriteOrDelete(fileName, nullptr, FFailure))
        return true;
    SaveFailed();
    return false;
}

// The file on disk, read again under the writers' lock, takes this object's
// own changes; its content then becomes this object's. A file that cannot
// be read now is not merged with: the document is written as it stands.
bool TIni::MergeWithDisk() {
    const platform::TFileStamp stamp = platform::FileStampOf(FFileName);
    TIni disk(QString(), FEncoding, &TIni::IgnoreOnErrorEncoding, {});
    if (stamp.Exists) {
        try {
            disk.LoadFromFile(FFileName);
        } catch (const EQZError& e) {
            qCWarning(lcSettings).noquote()
                << FFileName << "changed on disk but cannot be read again:" << e.message();
            return false;
        }
    }
    disk.ApplyChanges(FChanges);
    SwapContent(disk);
    // What could not be read faithfully is kept before it is overwritten.
    if (!disk.FDamage.FileName.isEmpty())
        FDamage = disk.FDamage;
    disk.FModified = false;
    FStamp = stamp;
    FFileTime = FileTimeOf(FFileName);
    qCInfo(lcSettings).noquote() << FFileName << "changed on disk; merged"
                                 << FChanges.Changes().size() << "own changes into it";
    return true;
}

bool TIni::Refresh() {
    if (FFileName.isEmpty() || FChanges.Whole())
        return false;
    if (FBackground && !WaitForBackgroundSave(kEndPatience))
        return false;
    if (platform::FileStampOf(FFileName) == FStamp)
        return false;
    const platform::TFolderLock lock(FFileName);
    const bool pending = FModified;
    const bool merged = MergeWithDisk();
    FModified = pending;
    return merged;
}

void TIni::SaveSucceeded() {
    FModified = false;
    FChanges.Forget();
    FStamp = platform::FileStampOf(FFileName);
    FLastFailure = {};
    FFailureReported = false;
    FRetryAt = 0;
}

// The changes stay pending; the ten-second rule waits ten seconds before it
// tries again, so that reads do not each start a doomed write.
void TIni::SaveFailedWith(const TSaveFailure& failure) {
    FModified = true;
    FLastFailure = failure;
    FRetryAt = Now() + kTenSeconds;
    if (FFailureReported || !FOnSaveFailure)
        return;
    FFailureReported = true;
    FOnSaveFailure(failure);
}

// The lock stays the caller's unless the save gets under way: then the
// thread holds it until the rename is done.
bool TIni::SaveOwnFileInBackground(platform::TFolderLock&& lock) {
    FFailure = {};
    if (!KeepDamagedCopy(FFileName))
        return false; // the plain save says why
    platform::TPreparedFile prepared;
    platform::TWriteResult r =
        platform::PrepareFile(FFileName, platform::TWriteMode::Replace, prepared);
    if (r.Status == platform::TWriteStatus::Written) {
        TPreparedFileOutput out(prepared);
        EncodeSavedText(*this, FEncoding, out);
        r = prepared.Finish();
    }
    if (r.Status != platform::TWriteStatus::Written) {
        qCWarning(lcSettings).noquote() << FFileName << "not saved:" << WriteFailureText(r);
        SaveFailed();
        SaveFailedWith(FailureOf(FFileName, r));
        FFileTime = FileTimeOf(FFileName);
        return true;
    }
    FChangesInFlight = FChanges;
    FChanges.Forget();
    FModified = false;
    FBackground = std::make_unique<TIniBackgroundSave>(std::move(prepared), std::move(lock),
                                                       FBackgroundContext.get(), [this] {
                                                           if (!FBackground || !FBackground->Done())
                                                               return;
                                                           CollectBackgroundSave();
                                                           if (std::exchange(FSaveWanted, false))
                                                               Save();
                                                       });
    return true;
}

// Changes made while the save was under way stay pending on top of it;
// those it carried come back when it failed.
void TIni::CollectBackgroundSave() {
    if (!FBackground)
        return;
    const TIniBackgroundSave::TOutcome outcome = FBackground->Outcome();
    FBackground.reset();
    if (outcome.Result.Status == platform::TWriteStatus::Written) {
        FStamp = outcome.Stamp;
        FLastFailure = {};
        FFailureReported = false;
        FRetryAt = 0;
    } else {
        qCWarning(lcSettings).noquote()
            << FFileName << "not saved:" << WriteFailureText(outcome.Result);
        FChanges.Prepend(FChangesInFlight);
        SaveFailedWith(FailureOf(FFileName, outcome.Result));
    }
    FChangesInFlight.Forget();
    FFileTime = FileTimeOf(FFileName);
}

bool TIni::WaitForBackgroundSave(std::chrono::milliseconds patience) {
    if (!FBackground)
        return true;
    if (!FBackground->WaitFor(patience))
        return false;
    CollectBackgroundSave();
    return true;
}

bool TIni::Flush(std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    const auto left = [&deadline] {
        return std::max(std::chrono::milliseconds(0),
                        std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()));
    };
    if (!WaitForBackgroundSave(left()))
        return false;
    FSaveWanted = false;
    Save();
    if (!WaitForBackgroundSave(left()))
        return false;
    return !Modified();
}

bool TIni::Saving() const {
    return FBackground && !FBackground->Done();
}

void TIni::SetSaveInBackground(bool value) {
    if (value == SaveInBackground())
        return;
    if (value) {
        FBackgroundContext = std::make_unique<QObject>();
        return;
    }
    (void)WaitForBackgroundSave(kEndPatience);
    if (FBackground)
        FBackground->Abandon();
    FBackground.reset();
    FBackgroundContext.reset();
}

void TIni::WriteListToFile(const QStringList& list, const QString& fileName, TEncoding* encoding) {
    (void)WriteContentToFile(
        fileName, [&list, encoding](TByteOutput& out) { EncodeSavedLines(list, encoding, out); });
}

// The new content goes to a temporary file beside the old one, which then
// takes the old name in one rename: a crash, a kill or a full disk leaves
// either the old whole file or the new whole file, never a torn one. A
// file the user made read-only is left alone, and so is anything that is
// not a regular file.
bool TIni::WriteContentToFile(const QString& fileName, const TSavedContent& content) {
    if (WriteOrDelete(fileName, &content, FFailure)) {
        FTryAgain = false;
        return true;
    }
    SaveFailed();
    return FTryAgain && WriteListToSubstitute(fileName);
}

bool TIni::WriteOrDelete(const QString& fileName, const TSavedContent* content) {
    TSaveFailure ignored;
    return WriteOrDelete(fileName, content, ignored);
}

bool TIni::WriteOrDelete(const QString& fileName, const TSavedContent* content,
                         TSaveFailure& failure) {
    if (!KeepDamagedCopy(fileName)) {
        failure = {fileName, TSaveFailureCause::Other,
                   QCoreApplication::translate(
                       "qz::TIni", "die Kopie ihres bisherigen Inhalts kann nicht geschrieben "
                                   "werden")};
        return false;
    }
    if (!content) {
        const QFileInfo info(fileName);
        if (!info.isSymLink() && info.isFile()) {
            QFile file(fileName);
            if (file.remove())
                return true;
            qCWarning(lcSettings).noquote() << fileName << "not deleted:" << file.errorString();
            failure = {fileName, TSaveFailureCause::Other, file.errorString()};
            return false;
        }
    }
    // A link stays, however empty its file becomes: it is the user's.
    platform::TPreparedFile file;
    platform::TWriteResult r = platform::PrepareFile(fileName, platform::TWriteMode::Replace, file);
    if (r.Status == platform::TWriteStatus::Written) {
        if (content) {
            TPreparedFileOutput out(file);
            (*content)(out);
        }
        r = file.Commit();
    }
    if (r.Status == platform::TWriteStatus::Written)
        return true;
    qCWarning(lcSettings).noquote() << fileName << "not saved:" << WriteFailureText(r);
    failure = FailureOf(fileName, r);
    return false;
}

// Nothing goes over a file whose bytes could not be read faithfully before
// those bytes are safe beside it; when they cannot be kept, the file stays.
bool TIni::KeepDamagedCopy(const QString& fileName) {
    if (FDamage.FileName.isEmpty() || FDamage.FileName != fileName)
        return true;
    const QString kept = KeepDamagedBytes(fileName, FDamage.Bytes,
                                          {FDamage.CopyName, FDamage.ReplacesCopyOf, false});
    if (kept.isEmpty()) {
        qCWarning(lcSettings).noquote()
            << fileName << "left as it is: its copy" << FDamage.CopyName << "cannot be written";
        return false;
    }
    if (kept != FDamage.CopyName)
        qCWarning(lcSettings).noquote() << FDamage.CopyName << "was taken meanwhile; the bytes of"
                                        << fileName << "are kept in" << kept;
    FDamage = {};
    return true;
}

// The substitute is written once; its own failure is not passed on again,
// and the failure told is that of the file itself.
bool TIni::WriteListToSubstitute(const QString& fileName) {
    FTryAgain = false;
    if (FWritingSubstitute || !FVirtualFolder)
        return false;
    const QString substitute = FVirtualFolder(fileName);
    if (substitute.isEmpty())
        return false;
    FWritingSubstitute = true;
    const auto done = qScopeGuard([this] { FWritingSubstitute = false; });
    qCInfo(lcSettings).noquote() << fileName << "goes to its substitute" << substitute;
    const TSaveFailure original = FFailure;
    if (SaveTo(substitute))
        return true;
    FFailure = original;
    return false;
}

void TIni::SaveCopy(const QString& fileName, TEncoding* aEncoding) {
    const bool pending = FModified;
    SaveToFile(fileName, aEncoding);
    FModified = pending;
}

void TIni::SaveFailed() {
    FTryAgain = FVirtualizeWriteprotectedFolders;
}

} // namespace qz

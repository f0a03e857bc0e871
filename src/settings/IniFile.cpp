#include "settings/IniFile.h"

#include "platform/AtomicFileWrite.h"
#include "platform/FileWriters.h"
#include "settings/DamagedCopy_p.h"
#include "settings/IniBackgroundSave_p.h"
#include "settings/IniSaveEncoding_p.h"
#include "settings/SettingsLog.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "text/QZ_Files.h"
#include "text/TEncoding.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace qz {

namespace {

// Ten seconds as a fraction of a day.
constexpr TDateTime kTenSeconds = 1.0 / 8640;
// How long the end waits for the disk, and a fresh read for a save under way.
constexpr std::chrono::seconds kEndPatience(5);

constexpr char16_t kReplacement = 0xFFFD;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// A control character no text file holds: what a single-byte reading makes
// of binary data or of a file the disk filled with zeros.
bool IsBinaryControl(QChar c) {
    return c.unicode() < 0x20 && c != u'\t' && c != u'\r' && c != u'\n' && c != u'\f' &&
           c.unicode() != 0x1A; // old editors end a text with Ctrl+Z
}

// The 1-based number of the line that holds text position `pos`.
qint32 LineOf(QStringView text, qsizetype pos) {
    qint32 line = 1;
    for (qsizetype i = 0; i < pos; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

// How often U+FFFD stands in `text`: Qt's search for one character is
// vectorised, its count is not.
qsizetype CountReplacements(QStringView text) {
    qsizetype n = 0;
    for (qsizetype i = text.indexOf(QChar(kReplacement)); i >= 0;
         i = text.indexOf(QChar(kReplacement), i + 1))
        ++n;
    return n;
}

// How often the bytes spell U+FFFD in UTF-8 (EF BF BD).
qsizetype CountUtf8Replacements(QByteArrayView bytes) {
    qsizetype n = 0;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (end - at >= 3) {
        const auto* lead = static_cast<const char*>(std::memchr(at, '\xEF', size_t(end - at - 2)));
        if (!lead)
            break;
        if (lead[1] == '\xBF' && lead[2] == '\xBD') {
            ++n;
            at = lead + 3;
        } else {
            at = lead + 1;
        }
    }
    return n;
}

// The position of the last character below U+0020 that no text file holds,
// or -1; line breaks are the only such characters most texts have, so the
// loop rarely looks further than its first comparison.
qsizetype LastBinaryControl(QStringView text, qsizetype after) {
    const char16_t* d = text.utf16();
    for (qsizetype i = text.size() - 1; i > after; --i)
        if (d[i] < 0x20 && IsBinaryControl(QChar(d[i])))
            return i;
    return -1;
}

// The line of the last character that stands for something the reading
// could not interpret, or 0 when `text` is what `bytes` hold: a U+FFFD
// beyond those the file spells out, or, in a file without any marker (read
// byte for character), a control character of binary data. Every load runs
// this; a text without U+FFFD (nearly all) costs one vectorised search.
qint32 LastUninterpretableLine(const QString& text, const QByteArray& bytes, TEncodingType kind) {
    qsizetype last = -1;
    if (text.contains(QChar(kReplacement)) &&
        CountReplacements(text) > CountUtf8Replacements(bytes))
        last = text.lastIndexOf(QChar(kReplacement));
    if (kind == et_none || kind == et_ANSI)
        last = std::max(last, LastBinaryControl(text, last));
    return last < 0 ? 0 : LineOf(text, last);
}

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

TDateTime FileTimeOf(const QString& name) {
    const QFileInfo info(name);
    if (!info.exists() || info.isDir())
        return 0;
    return ToDateTime(info.lastModified());
}

TIni::TIni(const QString& fn) : TIni(fn, nullptr, {}, {}) {}

TIni::TIni(const QString& fn, TEncoding* aEncoding, TEncodingErrorHandler aEncodingErrorHandler,
           TVirtualizeFunction aVirtualizeFuntion)
    : FFileName(fn), FVirtualFolder(std::move(aVirtualizeFuntion)) {
    FEncoding = aEncoding;
    FOnEncodingError =
        aEncodingErrorHandler ? std::move(aEncodingErrorHandler) : &TIni::DefaultOnEncodingError;
    FVirtualizeWriteprotectedFolders = bool(FVirtualFolder);
    if (fn.isEmpty())
        return;
    if (QFileInfo::exists(fn)) {
        ReadFromFile();
    } else if (FVirtualizeWriteprotectedFolders) {
        const QString substitute = FVirtualFolder(fn);
        if (!substitute.isEmpty() && QFileInfo::exists(substitute)) {
            FFileName = substitute;
            ReadFromFile();
        }
    }
}

// The end waits for the disk, but not for ever: what a hung disk has not
// written after a few seconds is said to be possibly lost, and the thread
// is left to finish if it still can.
TIni::~TIni() {
    try {
        if ((Modified() || FBackground) && !Flush(kEndPatience) && FBackground) {
            qCWarning(lcSettings).noquote()
                << FFileName << "not on the disk after" << kEndPatience.count() << "s at the end";
            FLastFailure = {FFileName, TSaveFailureCause::Unfinished, {}};
            if (FOnSaveFailure)
                FOnSaveFailure(FLastFailure);
        }
    } catch (const std::exception& e) {
        // Nothing may leave a destructor; the next run still has the old file.
        qCWarning(lcSettings).noquote() << FFileName << "not saved at the end:" << e.what();
    } catch (...) {
        qCWarning(lcSettings).noquote() << FFileName << "not saved at the end";
    }
    if (FBackground && !FBackground->Done())
        FBackground->Abandon();
}

TDateTime TIni::Now() const {
    return FClock ? FClock() : ToDateTime(QDateTime::currentDateTime());
}

// A file without any marker is read as Windows-1252, unless the object
// writes UTF-8 and the bytes are UTF-8: what Linux editors write has no
// marker, and Windows-1252 text that is also valid multi-byte UTF-8 does
// not occur in practice. When the whole text cannot be decoded, every line
// of the same bytes is decoded on its own and the handler hears of the last
// line that failed; a handler that throws does so only after the document
// holds everything that could be read.
void TIni::LoadFromFile(const QString& fn) {
    if (fn.isEmpty())
        return;
    FLoadedFileName = fn;
    FFileTime = FileTimeOf(fn);
    // The stamp comes before the bytes: a change in between is merged later
    // rather than missed.
    if (fn == FFileName) {
        FStamp = platform::FileStampOf(fn);
        FChanges.Forget();
    } else {
        FChanges.NoteWhole();
    }
    Clear();
    if (FDamage.FileName == fn)
        FDamage = {};
    const QByteArray bytes = ReadFileBytes(fn, MaxIniFileSize);
    if (!FEncoding && bytes.startsWith(kUtf8Bom))
        FEncoding = TEncoding::UTF8();
    const bool writesUtf8 = FEncoding && FEncoding->GetCodePage() == 65001;

    TEncodingType kind = et_none;
    QString text;
    QString loaderError;
    try {
        LoadTextBytes(bytes, fn, &kind, text,
                      writesUtf8 ? AnsiDeciderExOf(DefaultDecider())
                                 : AnsiDeciderOf(DefaultDecider()));
    } catch (const EQZError& e) {
        loaderError = e.message();
    }

    qint32 badLine = 0;
    if (loaderError.isEmpty()) {
        ParseText(text, false);
        badLine = LastUninterpretableLine(text, bytes, kind);
        if (badLine > 0)
            NoteDamage(fn, bytes, QString());
    } else {
        QStringList lines;
        badLine = qMax(0, DecodeBytesLineByLine(bytes, FEncoding, lines));
        LoadFromList(lines);
        // An undecodable line says what went wrong, unless the file is
        // compressed: then the loader's cause does (it cannot be inflated).
        const bool compressed = kind == et_UTF8_zip || kind == et_UTF8C_zip || kind == et_ANSI_zip;
        NoteDamage(fn, bytes, compressed || badLine == 0 ? loaderError : QString());
        qCWarning(lcSettings).noquote() << fn << "read line by line:" << loaderError;
    }
    if (fn != FFileName)
        FModified = true;
    if (FDamage.FileName == fn && FOnEncodingError)
        FOnEncodingError(this, badLine);
}

void TIni::NoteDamage(const QString& fn, const QByteArray& bytes, const QString& cause) {
    // The message must name the file, also where the cause does not.
    const QString named = cause.isEmpty() || cause.contains(fn)
                              ? cause
                              : QCoreApplication::translate(
                                    "qz::TIni", "Die Datei \r%1\r kann nicht gelesen werden: %2")
                                    .arg(fn, cause);
    const TDamagedCopyPlace place = ChooseDamagedCopy(fn, bytes);
    FDamage = {fn, bytes, place.Name, named, place.Replaces};
    qCWarning(lcSettings).noquote() << fn << "not read faithfully; its bytes go to"
                                    << FDamage.CopyName << "before it is overwritten";
}

qint32 TIni::DecodeLinesSeparately(const QString& fn, TEncoding* encoding, QStringList& list) {
    return DecodeBytesLineByLine(ReadFileBytes(fn, MaxIniFileSize), encoding, list);
}

void TIni::ReadFromFile() {
    if (!FFileName.isEmpty())
        LoadFromFile(FFileName);
}

void TIni::ReadFromString(const QString& source) {
    FFileTime = -1.0;
    Clear();
    ParseText(source, true);
    FChanges.NoteWhole();
}

bool TIni::Maintain() {
    if (Saving())
        return false;
    if (Modified()) {
        Save();
        return false;
    }
    const TDateTime onDisk = FileTimeOf(FFileName);
    if (onDisk != 0 && onDisk != FFileTime) {
        ReadFromFile();
        return true;
    }
    return false;
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

void TIni::ChangeFileName(const QString& newFileName) {
    FFileName = newFileName;
    FModified = true;
    FChanges.NoteWhole();
}

void TIni::ReadSectionLines(const QString& section, QStringList& list, bool withCommentLines) {
    if (FAutoMaintain)
        Maintain();
    TIniStream::ReadSectionLines(section, list, withCommentLines);
}

// Every typed read and every write passes here: a change older than ten
// seconds is written before anything else happens.
QString TIni::ReadString(const QString& section, const QString& key, const QString& def) {
    if (FAutoMaintain)
        Maintain();
    if (Modified() && FFileTime < Now() - kTenSeconds && (FRetryAt == 0 || Now() >= FRetryAt))
        Save();
    return TIniStream::ReadString(section, key, def);
}

qint32 TIni::AnsiReadInteger(const QByteArray& section, const QByteArray& key, qint32 def) {
    TEncoding* ansi = TEncoding::Default();
    return ReadInteger(ansi->GetString(section), ansi->GetString(key), def);
}

QByteArray TIni::AnsiReadString(const QByteArray& section, const QByteArray& key,
                                const QByteArray& def) {
    TEncoding* ansi = TEncoding::Default();
    return ansi->GetBytes(
        ReadString(ansi->GetString(section), ansi->GetString(key), ansi->GetString(def)));
}

QString TIni::EncodingErrorMessage(const QString& fileName, qint32 lineNr) {
    return QCoreApplication::translate(
               "qz::TIni", "Die Datei \r%1\r enthält in Zeile %2 ein nicht interpretierbares "
                           "Zeichen.")
        .arg(fileName, QString::number(lineNr));
}

QString TIni::LoadErrorMessage(qint32 lineNr) const {
    QString message =
        FDamage.Cause.isEmpty() ? EncodingErrorMessage(FLoadedFileName, lineNr) : FDamage.Cause;
    if (!FDamage.CopyName.isEmpty())
        message +=
            QCoreApplication::translate(
                "qz::TIni", "\rDer bisherige Inhalt wird vor dem nächsten Speichern als\r%1\r"
                            "aufbewahrt.")
                .arg(FDamage.CopyName);
    if (FDamage.ReplacesCopyOf.isValid())
        message += QCoreApplication::translate(
                       "qz::TIni", "\rDafür wird die älteste aufbewahrte Kopie vom %1 ersetzt.")
                       .arg(FDamage.ReplacesCopyOf.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    return message;
}

void TIni::DefaultOnEncodingError(TIniStream* Sender, qint32 lineNr) {
    const auto* ini = dynamic_cast<const TIni*>(Sender);
    (void)MsgBox()->Info(ini ? ini->LoadErrorMessage(lineNr)
                             : EncodingErrorMessage(QString(), lineNr));
}

void TIni::RemoveStaleSaveFiles(const QString& fileName) {
    for (const QString& name : platform::RemoveStaleTemporaries(fileName))
        qCInfo(lcSettings).noquote() << "removed" << name << "left by a save that did not finish";
}

void TIni::IgnoreOnErrorEncoding(TIniStream* /*Sender*/, qint32 /*lineNr*/) {}

} // namespace qz

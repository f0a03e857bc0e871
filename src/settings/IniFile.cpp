#include "settings/IniFile.h"

#include "platform/AtomicFileWrite.h"
#include "platform/FileWriters.h"
#include "settings/DamagedCopy_p.h"
#include "settings/IniBackgroundSave_p.h"
#include "settings/IniFileTimes_p.h"
#include "settings/SettingsLog.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "text/QZ_Files.h"
#include "text/TEncoding.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace qz {

namespace {

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

} // namespace

namespace {

TDateTime FileTimeOf(const platform::TFileStamp& stamp) {
    QDate date;
    QTime time;
    return platform::LocalModificationTime(stamp, date, time) ? ToDateTime(date, time) : 0;
}

} // namespace

TDateTime FileTimeOf(const QString& name) {
    return FileTimeOf(platform::FileStampOf(name));
}

TDateTime TIniFileTime::Get() const {
    if (FStamp) {
        FTime = FileTimeOf(*FStamp);
        FStamp.reset();
    }
    return FTime;
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
    if (platform::FileStampOf(fn).Exists) {
        ReadFromFile();
    } else if (FVirtualizeWriteprotectedFolders) {
        const QString substitute = FVirtualFolder(fn);
        if (!substitute.isEmpty() && platform::FileStampOf(substitute).Exists) {
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
    // The stamp comes before the bytes: a change in between is merged later
    // rather than missed.
    const platform::TFileStamp stamp = platform::FileStampOf(fn);
    FFileTime.TakeFrom(stamp);
    if (fn == FFileName) {
        FStamp = stamp;
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
    if (onDisk != 0 && onDisk != FFileTime.Get()) {
        ReadFromFile();
        return true;
    }
    return false;
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
    if (Modified() && FFileTime.Get() < Now() - kTenSeconds && (FRetryAt == 0 || Now() >= FRetryAt))
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

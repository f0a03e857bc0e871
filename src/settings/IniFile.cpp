#include "settings/IniFile.h"

#include "platform/AtomicFileWrite.h"
#include "settings/IniSaveEncoding_p.h"
#include "settings/SettingsLog.h"
#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "text/QZ_Files.h"
#include "text/TEncoding.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cstring>

namespace qz {

namespace {

// Ten seconds as a fraction of a day.
constexpr TDateTime kTenSeconds = 1.0 / 8640;

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

// A copy that does not replace an older copy of other bytes:
// "stakko.ini.damaged", then "stakko.ini.damaged-2" and so on; a copy
// holding the same bytes is taken again.
QString DamagedCopyNameFor(const QString& fn, const QByteArray& bytes) {
    const QString base = fn + QStringLiteral(".damaged");
    for (int n = 1; n < 100; ++n) {
        const QString name = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        const QFileInfo info(name);
        if (!info.exists() && !info.isSymLink())
            return name;
        if (info.isFile() && info.size() == bytes.size()) {
            QFile old(name);
            if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
                return name;
        }
    }
    return base + QStringLiteral("-100");
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

} // namespace

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

TIni::~TIni() {
    try {
        if (Modified())
            Save();
    } catch (const std::exception& e) {
        // Nothing may leave a destructor; the next run still has the old file.
        qCWarning(lcSettings).noquote() << FFileName << "not saved at the end:" << e.what();
    } catch (...) {
        qCWarning(lcSettings).noquote() << FFileName << "not saved at the end";
    }
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
    const QString named =
        cause.isEmpty() || cause.contains(fn)
            ? cause
            : QStringLiteral("Die Datei \r%1\r kann nicht gelesen werden: %2").arg(fn, cause);
    FDamage = {fn, bytes, DamagedCopyNameFor(fn, bytes), named};
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
}

bool TIni::Maintain() {
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

// An empty document deletes the file and never creates one.
void TIni::SaveToFile(const QString& fileName, TEncoding* aEncoding) {
    if (fileName.isEmpty())
        return;
    const bool empty = isEmpty();
    if (aEncoding)
        FEncoding = aEncoding;
    // The bytes are made while they are written, straight from the sections.
    TEncoding* encoding = FEncoding;
    const platform::TContentSource content = [this, encoding](const platform::TContentWriter& w) {
        EncodeSavedText(*this, encoding, w);
    };
    const QFileInfo info(fileName);
    if (info.exists()) {
        if (empty) {
            if (!WriteOrDelete(fileName, nullptr))
                SaveFailed();
        } else {
            WriteContentToFile(fileName, content);
        }
    } else if (!empty) {
        WriteContentToFile(fileName, content);
    }
    FModified = false;
    FFileTime = FileTimeOf(FFileName);
}

void TIni::WriteListToFile(const QStringList& list, const QString& fileName, TEncoding* encoding) {
    WriteContentToFile(fileName, [&list, encoding](const platform::TContentWriter& w) {
        EncodeSavedLines(list, encoding, w);
    });
}

// The new content goes to a temporary file beside the old one, which then
// takes the old name in one rename: a crash, a kill or a full disk leaves
// either the old whole file or the new whole file, never a torn one. A
// file the user made read-only is left alone, and so is anything that is
// not a regular file.
void TIni::WriteContentToFile(const QString& fileName, const platform::TContentSource& content) {
    if (WriteOrDelete(fileName, &content))
        FTryAgain = false;
    else
        SaveFailed();
    if (FTryAgain)
        WriteListToSubstitute(fileName);
}

bool TIni::WriteOrDelete(const QString& fileName, const platform::TContentSource* content) {
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath())) {
        qCWarning(lcSettings).noquote() << fileName << "not saved: its folder cannot be made";
        return false;
    }
    if (!KeepDamagedCopy(fileName))
        return false;
    if (!content && !info.isSymLink() && info.isFile()) {
        QFile file(fileName);
        if (file.remove())
            return true;
        qCWarning(lcSettings).noquote() << fileName << "not deleted:" << file.errorString();
        return false;
    }
    // A link stays, however empty its file becomes: it is the user's.
    const platform::TWriteResult r = content
                                         ? platform::WriteFileAtomically(fileName, *content)
                                         : platform::WriteFileAtomically(fileName, QByteArray());
    if (r.Status == platform::TWriteStatus::Written)
        return true;
    qCWarning(lcSettings).noquote() << fileName << "not saved:" << WriteFailureText(r);
    return false;
}

// Nothing goes over a file whose bytes could not be read faithfully before
// those bytes are safe beside it; when they cannot be kept, the file stays.
bool TIni::KeepDamagedCopy(const QString& fileName) {
    if (FDamage.FileName.isEmpty() || FDamage.FileName != fileName)
        return true;
    const QFileInfo copy(FDamage.CopyName);
    const bool kept =
        copy.exists() || platform::WriteFileAtomically(FDamage.CopyName, FDamage.Bytes).Status ==
                             platform::TWriteStatus::Written;
    if (!kept) {
        qCWarning(lcSettings).noquote()
            << fileName << "left as it is: its copy" << FDamage.CopyName << "cannot be written";
        return false;
    }
    FDamage = {};
    return true;
}

// The substitute is written once; its own failure is not passed on again.
void TIni::WriteListToSubstitute(const QString& fileName) {
    FTryAgain = false;
    if (FWritingSubstitute || !FVirtualFolder)
        return;
    const QString substitute = FVirtualFolder(fileName);
    if (substitute.isEmpty())
        return;
    FWritingSubstitute = true;
    const auto done = qScopeGuard([this] { FWritingSubstitute = false; });
    qCInfo(lcSettings).noquote() << fileName << "goes to its substitute" << substitute;
    SaveToFile(substitute, FEncoding);
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
    if (Modified() && FFileTime < Now() - kTenSeconds)
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
    return QStringLiteral("Die Datei \r%1\r enthält in Zeile %2 ein nicht interpretierbares "
                          "Zeichen.")
        .arg(fileName, QString::number(lineNr));
}

QString TIni::LoadErrorMessage(qint32 lineNr) const {
    QString message =
        FDamage.Cause.isEmpty() ? EncodingErrorMessage(FLoadedFileName, lineNr) : FDamage.Cause;
    if (!FDamage.CopyName.isEmpty())
        message += QStringLiteral("\rDer bisherige Inhalt wird vor dem nächsten Speichern als\r%1\r"
                                  "aufbewahrt.")
                       .arg(FDamage.CopyName);
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

#include "settings/IniFile.h"

#include "text/EQZError.h"
#include "text/MsgBox.h"
#include "text/QZ_Files.h"
#include "text/TEncoding.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qz {

namespace {

// Ten seconds as a fraction of a day.
constexpr TDateTime kTenSeconds = 1.0 / 8640;

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
    } catch (...) {
        // Nothing may leave a destructor; the next run still has the old file.
    }
}

TDateTime TIni::Now() const {
    return FClock ? FClock() : ToDateTime(QDateTime::currentDateTime());
}

// A file without any marker is read as Windows-1252. When the whole text
// cannot be decoded, every line is decoded on its own and the handler hears
// of the last line that failed; a handler that throws does so only after
// the document holds everything that could be read.
void TIni::LoadFromFile(const QString& fn) {
    if (fn.isEmpty())
        return;
    FLoadedFileName = fn;
    FFileTime = FileTimeOf(fn);
    Clear();
    TEncoding* fallback = FEncoding;
    if (!FEncoding && HasUtf8Bom(fn)) {
        FEncoding = TEncoding::UTF8();
        fallback = FEncoding;
    }
    qint32 failedLine = -1;
    try {
        QString text;
        LoadTextFile(fn, nullptr, text, AnsiDeciderOf(DefaultDecider()));
        ParseText(text, false);
    } catch (const EQZError&) {
        Clear();
        QStringList lines;
        failedLine = DecodeLinesSeparately(fn, fallback, lines);
        LoadFromList(lines);
    }
    if (fn != FFileName)
        FModified = true;
    if (failedLine > 0 && FOnEncodingError)
        FOnEncodingError(this, failedLine);
}

qint32 TIni::DecodeLinesSeparately(const QString& fn, TEncoding* encoding, QStringList& list) {
    QFile file(fn);
    if (!file.open(QIODevice::ReadOnly))
        throw EQZError(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQZError(file.errorString());
    return DecodeBytesLineByLine(bytes, encoding, list);
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
    QStringList lines;
    SaveToList(lines);
    const bool empty = isEmpty();
    if (aEncoding)
        FEncoding = aEncoding;
    if (QFileInfo::exists(fileName)) {
        if (empty)
            QFile::remove(fileName);
        else
            WriteListToFile(lines, fileName, FEncoding);
    } else if (!empty) {
        WriteListToFile(lines, fileName, FEncoding);
    }
    FModified = false;
    FFileTime = FileTimeOf(FFileName);
}

// The new content goes to a temporary file beside the old one, which then
// takes the old name in one rename: a crash, a kill or a full disk leaves
// either the old whole file or the new whole file, never a torn one. A
// file the user made read-only is left alone.
void TIni::WriteListToFile(const QStringList& list, const QString& fileName, TEncoding* encoding) {
    try {
        const QFileInfo info(fileName);
        if (!QDir().mkpath(info.absolutePath()))
            throw EQZError(
                QStringLiteral("Ordner %1 kann nicht angelegt werden").arg(info.absolutePath()));
        if (info.exists() && !info.isWritable())
            throw EQZError(QStringLiteral("%1 ist schreibgeschützt").arg(fileName));
        const QByteArray bytes = EncodeIniLines(list, encoding);
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw EQZError(file.errorString());
        FTryAgain = false;
    } catch (const std::exception&) {
        SaveFailed();
    }
    if (FTryAgain)
        WriteListToSubstitute(fileName);
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
    QDir().mkpath(QFileInfo(substitute).absolutePath());
    try {
        SaveToFile(substitute, FEncoding);
    } catch (...) {
        FWritingSubstitute = false;
        throw;
    }
    FWritingSubstitute = false;
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

void TIni::DefaultOnEncodingError(TIniStream* Sender, qint32 lineNr) {
    const auto* ini = dynamic_cast<const TIni*>(Sender);
    (void)MsgBox()->Info(EncodingErrorMessage(ini ? ini->LoadedFileName() : QString(), lineNr));
}

void TIni::IgnoreOnErrorEncoding(TIniStream* /*Sender*/, qint32 /*lineNr*/) {}

} // namespace qz

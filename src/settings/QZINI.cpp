#include "settings/QZINI.h"

#include "platform/AtomicFileWrite.h"

#include "settings/SettingsLog.h"
#include "text/TEncoding.h"

#include <QFileInfo>

namespace qz {

namespace {

constexpr char16_t kCrSubstitute = 0xFFF1;
constexpr char16_t kLfSubstitute = 0xFFF2;

} // namespace

QString EncodeLineBreaks(const QString& s) {
    QString r = s;
    r.replace(u'\r', QChar(kCrSubstitute));
    r.replace(u'\n', QChar(kLfSubstitute));
    return r;
}

QString DecodeLineBreaks(const QString& s) {
    QString r = s;
    r.replace(QChar(kCrSubstitute), u'\r');
    r.replace(QChar(kLfSubstitute), u'\n');
    return r;
}

TUserSettingsFile::TUserSettingsFile(const QString& progName) {
    // The folder is there from the start, so that writers can lock it.
    const QString folder = QFileInfo(progName).absolutePath();
    if (const int error = platform::MakeFolders(folder); error != 0)
        qCWarning(lcSettings).noquote()
            << "the settings folder" << folder << "cannot be made:" << qt_error_string(error);
    TIni::RemoveStaleSaveFiles(progName);
    FIni = std::make_unique<TIni>(progName, TEncoding::UTF8(), TEncodingErrorHandler(),
                                  TVirtualizeFunction());
}

TUserSettingsFile::~TUserSettingsFile() = default;

void TUserSettingsFile::ClearSection(const QString& sect) {
    FIni->ClearSection(sect);
}

bool TUserSettingsFile::readBool(const QString& sect, const QString& key, bool def) {
    return FIni->ReadBool(sect, key, def);
}

double TUserSettingsFile::readDouble(const QString& sect, const QString& key, double def) {
    return FIni->ReadDouble(sect, key, def);
}

qint32 TUserSettingsFile::readInteger(const QString& sect, const QString& key, qint32 def) {
    return FIni->ReadInteger(sect, key, def);
}

void TUserSettingsFile::readList(const QString& sect, QStringList& list) {
    FIni->ReadSectionLines(sect, list, true);
}

QString TUserSettingsFile::readString(const QString& sect, const QString& key, const QString& def) {
    return DecodeLineBreaks(FIni->ReadString(sect, key, def));
}

void TUserSettingsFile::Save() {
    FIni->Save();
}

bool TUserSettingsFile::Flush() {
    return FIni->Flush();
}

void TUserSettingsFile::Refresh() {
    (void)FIni->Refresh();
}

// A backup is no save of the file itself: what was pending before it
// still goes to the file.
void TUserSettingsFile::SaveBackup() {
    FIni->SaveCopy(BackupFileName(FIni->FileName()), FIni->Encoding());
}

// Only the file name's extension is replaced, never a dot in a folder name.
QString TUserSettingsFile::BackupFileName(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString stem = dot > slash ? fileName.left(dot) : fileName;
    return stem + QStringLiteral("_bkup.ini");
}

void TUserSettingsFile::writeBool(const QString& sect, const QString& key, bool value) {
    FIni->WriteBool(sect, key, value);
}

void TUserSettingsFile::writeDouble(const QString& sect, const QString& key, double value) {
    FIni->WriteDouble(sect, key, value);
}

void TUserSettingsFile::writeInteger(const QString& sect, const QString& key, qint32 value) {
    FIni->WriteInteger(sect, key, value);
}

void TUserSettingsFile::writeList(const QString& sect, const QStringList& list) {
    FIni->WriteSectionLines(sect, list, true);
}

void TUserSettingsFile::writeString(const QString& sect, const QString& key, const QString& value) {
    const qsizetype nul = value.indexOf(QChar(0));
    FIni->WriteString(sect, key, EncodeLineBreaks(nul < 0 ? value : value.left(nul)));
}

} // namespace qz

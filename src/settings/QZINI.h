#pragma once
// Settings storage in INI files. Three layers, each usable on its own:
//  - TIniStream, TIniSectionList, TIniSection (IniDocument.h): the document
//    in memory, its line format and its typed reads and writes;
//  - TIni (IniFile.h): the document bound to a file, loaded with encoding
//    detection and written back atomically;
//  - TUserSettingsFile (here): the program's settings interface
//    (QZ_UsrSettings.h) over a TIni in UTF-8.
//
//   qz::TUserSettingsFile settings(QDir::homePath() + "/.config/Vomb/stakko.ini");
//   settings.writeBool("_Stakko", "withSound", false);

#include "settings/IniDocument.h"
#include "settings/IniFile.h"
#include "settings/QZ_UsrSettings.h"

namespace qz {

// Line breaks in stored strings: CR <-> U+FFF1, LF <-> U+FFF2.
[[nodiscard]] QString EncodeLineBreaks(const QString& s);
[[nodiscard]] QString DecodeLineBreaks(const QString& s);

class TUserSettingsFile : public TUserSettings {
public:
    // `progName` is the full path of the settings file; its folder is
    // created at once, the file only when there is something to write.
    explicit TUserSettingsFile(const QString& progName);
    // Writes pending changes, ignoring errors.
    ~TUserSettingsFile() override;

    void ClearSection(const QString& sect) override;
    [[nodiscard]] bool readBool(const QString& sect, const QString& key, bool def) override;
    [[nodiscard]] double readDouble(const QString& sect, const QString& key, double def) override;
    [[nodiscard]] qint32 readInteger(const QString& sect, const QString& key, qint32 def) override;
    void readList(const QString& sect, QStringList& list) override;
    [[nodiscard]] QString readString(const QString& sect, const QString& key,
                                     const QString& def) override;
    void Save() override;
    bool Flush() override;
    void Refresh() override;
    // Writes a copy beside the file (game.ini gives game_bkup.ini); pending
    // changes stay pending for the file itself.
    void SaveBackup() override;
    void writeBool(const QString& sect, const QString& key, bool value) override;
    void writeDouble(const QString& sect, const QString& key, double value) override;
    void writeInteger(const QString& sect, const QString& key, qint32 value) override;
    void writeList(const QString& sect, const QStringList& list) override;
    // The value is cut at its first NUL and its line breaks are substituted.
    void writeString(const QString& sect, const QString& key, const QString& value) override;

    [[nodiscard]] const QString& FileName() const { return FIni->FileName(); }
    [[nodiscard]] TIni& Ini() { return *FIni; }
    [[nodiscard]] const TIni& Ini() const { return *FIni; }
    // The name SaveBackup writes to.
    [[nodiscard]] static QString BackupFileName(const QString& fileName);

private:
    std::unique_ptr<TIni> FIni;
};

} // namespace qz

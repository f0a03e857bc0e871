#pragma once
// The program keeps its preferences and its record through this one
// abstract interface: typed reads that fall back to the caller's default,
// typed writes, whole-section lists and explicit saving. The file-backed
// implementation and the process-wide instance live beside it.

#include <QString>
#include <QStringList>

#include <memory>

namespace qz {

class TUserSettings {
public:
    TUserSettings() = default;
    TUserSettings(const TUserSettings&) = delete;
    TUserSettings& operator=(const TUserSettings&) = delete;
    virtual ~TUserSettings() = default;

    // The base has no behaviour: every operation is pure.
    virtual void ClearSection(const QString& sect) = 0;
    [[nodiscard]] virtual bool readBool(const QString& sect, const QString& key, bool def) = 0;
    [[nodiscard]] virtual double readDouble(const QString& sect, const QString& key,
                                            double def) = 0;
    [[nodiscard]] virtual qint32 readInteger(const QString& sect, const QString& key,
                                             qint32 def) = 0;
    virtual void readList(const QString& sect, QStringList& list) = 0;
    [[nodiscard]] virtual QString readString(const QString& sect, const QString& key,
                                             const QString& def) = 0;
    // Starts writing pending changes; a slow disk may finish later.
    virtual void Save() = 0;
    // Writes pending changes and waits (a few seconds at most) until they
    // are on the disk; false when they are not.
    virtual bool Flush() = 0;
    // Takes in what another running program stored meanwhile; this
    // program's own pending changes stay on top.
    virtual void Refresh() = 0;
    virtual void SaveBackup() = 0;
    virtual void writeBool(const QString& sect, const QString& key, bool value) = 0;
    virtual void writeDouble(const QString& sect, const QString& key, double value) = 0;
    virtual void writeInteger(const QString& sect, const QString& key, qint32 value) = 0;
    virtual void writeList(const QString& sect, const QStringList& list) = 0;
    virtual void writeString(const QString& sect, const QString& key, const QString& value) = 0;
};

// The one process-wide settings object; null until one is installed.
// Start-up installs the file-backed object, tests install fakes.
[[nodiscard]] TUserSettings* UserSettings();

// Installs `settings` as the process-wide object and destroys the previous
// one, which writes its pending changes.
void SetUserSettings(std::unique_ptr<TUserSettings> settings);

// Destroys the process-wide object at shutdown, after the main loop, so
// that pending changes reach the disk.
void FreeUserSettings();

} // namespace qz

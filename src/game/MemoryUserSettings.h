#pragma once
// Preferences kept in memory for the length of one run. The program uses
// this until the settings file takes its place: every read answers the
// caller's default unless the same run wrote the value before.

#include "settings/QZ_UsrSettings.h"

#include <QHash>
#include <QPair>

namespace stakko {

class TMemoryUserSettings : public qz::TUserSettings {
public:
    void ClearSection(const QString& sect) override;
    [[nodiscard]] bool readBool(const QString& sect, const QString& key, bool def) override;
    [[nodiscard]] double readDouble(const QString& sect, const QString& key, double def) override;
    [[nodiscard]] qint32 readInteger(const QString& sect, const QString& key, qint32 def) override;
    void readList(const QString& sect, QStringList& list) override;
    [[nodiscard]] QString readString(const QString& sect, const QString& key,
                                     const QString& def) override;
    void Save() override {}       // nothing to save: the values live in memory
    void SaveBackup() override {} // nor to back up
    void writeBool(const QString& sect, const QString& key, bool value) override;
    void writeDouble(const QString& sect, const QString& key, double value) override;
    void writeInteger(const QString& sect, const QString& key, qint32 value) override;
    void writeList(const QString& sect, const QStringList& list) override;
    void writeString(const QString& sect, const QString& key, const QString& value) override;

private:
    using Key = QPair<QString, QString>; // section and key, both in lower case
    [[nodiscard]] static Key keyOf(const QString& sect, const QString& key);
    [[nodiscard]] const QString* find(const QString& sect, const QString& key) const;

    QHash<Key, QString> FValues;
    QHash<QString, QStringList> FLists;
};

} // namespace stakko

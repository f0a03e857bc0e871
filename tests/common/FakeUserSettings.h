#pragma once
// In-memory TUserSettings for tests: keeps values as text, the way the
// settings file would, and counts writes so tests can see what was stored.

#include "settings/QZ_UsrSettings.h"

#include <QMap>
#include <QPair>

class FakeUserSettings : public qz::TUserSettings {
public:
    QMap<QPair<QString, QString>, QString> values; // (section, key) -> stored text
    QMap<QString, QStringList> lists;
    int writeCount = 0;
    int saveCount = 0;
    int refreshCount = 0;
    // What another program stores in the file meanwhile; Refresh takes it in.
    QMap<QPair<QString, QString>, QString> elsewhere;

    void ClearSection(const QString& sect) override {
        for (auto it = values.begin(); it != values.end();)
            it = it.key().first == sect.toLower() ? values.erase(it) : std::next(it);
        lists.remove(sect);
    }
    bool readBool(const QString& sect, const QString& key, bool def) override {
        const QString v = text(sect, key);
        return v.isEmpty() ? def : v > QStringLiteral("0");
    }
    double readDouble(const QString& sect, const QString& key, double def) override {
        bool ok = false;
        const double d = text(sect, key).toDouble(&ok);
        return ok ? d : def;
    }
    qint32 readInteger(const QString& sect, const QString& key, qint32 def) override {
        const QString v = text(sect, key);
        return v.isEmpty() ? def : v.toInt();
    }
    void readList(const QString& sect, QStringList& list) override { list = lists.value(sect); }
    QString readString(const QString& sect, const QString& key, const QString& def) override {
        const QString v = text(sect, key);
        return v.isEmpty() ? def : v;
    }
    void Save() override { ++saveCount; }
    bool Flush() override {
        ++saveCount;
        return true;
    }
    void Refresh() override {
        ++refreshCount;
        for (auto it = elsewhere.cbegin(); it != elsewhere.cend(); ++it)
            values[it.key()] = it.value();
        elsewhere.clear();
    }
    void SaveBackup() override {}
    void writeBool(const QString& sect, const QString& key, bool value) override {
        write(sect, key, value ? QStringLiteral("1") : QStringLiteral("0"));
    }
    void writeDouble(const QString& sect, const QString& key, double value) override {
        write(sect, key, QString::number(value, 'g', 17));
    }
    void writeInteger(const QString& sect, const QString& key, qint32 value) override {
        write(sect, key, QString::number(value));
    }
    void writeList(const QString& sect, const QStringList& list) override {
        ++writeCount;
        lists[sect] = list;
    }
    void writeString(const QString& sect, const QString& key, const QString& value) override {
        write(sect, key, value);
    }

    // Keys match case-insensitively, as in the settings file.
    [[nodiscard]] QString text(const QString& sect, const QString& key) const {
        return values.value({sect.toLower(), key.toLower()});
    }

private:
    void write(const QString& sect, const QString& key, const QString& value) {
        ++writeCount;
        if (value.isEmpty())
            values.remove({sect.toLower(), key.toLower()});
        else
            values[{sect.toLower(), key.toLower()}] = value;
    }
};

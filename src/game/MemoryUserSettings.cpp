#include "game/MemoryUserSettings.h"

#include <cstring>

namespace stakko {

// Sections and keys ignore case, as they do in the settings file.
TMemoryUserSettings::Key TMemoryUserSettings::keyOf(const QString& sect, const QString& key) {
    return {sect.toLower(), key.toLower()};
}

const QString* TMemoryUserSettings::find(const QString& sect, const QString& key) const {
    const auto it = FValues.constFind(keyOf(sect, key));
    return it == FValues.constEnd() ? nullptr : &it.value();
}

void TMemoryUserSettings::ClearSection(const QString& sect) {
    const QString lower = sect.toLower();
    FValues.removeIf([&](const auto& entry) { return entry.key().first == lower; });
    FLists.remove(lower);
}

bool TMemoryUserSettings::readBool(const QString& sect, const QString& key, bool def) {
    const QString* v = find(sect, key);
    return v ? *v == QLatin1String("1") : def;
}

double TMemoryUserSettings::readDouble(const QString& sect, const QString& key, double def) {
    const QString* v = find(sect, key);
    if (!v)
        return def;
    bool ok = false;
    const quint64 bits = v->toULongLong(&ok, 16);
    if (!ok)
        return def;
    double d = 0;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

qint32 TMemoryUserSettings::readInteger(const QString& sect, const QString& key, qint32 def) {
    const QString* v = find(sect, key);
    return v ? v->toInt() : def;
}

void TMemoryUserSettings::readList(const QString& sect, QStringList& list) {
    list = FLists.value(sect.toLower());
}

QString TMemoryUserSettings::readString(const QString& sect, const QString& key,
                                        const QString& def) {
    const QString* v = find(sect, key);
    return v ? *v : def;
}

void TMemoryUserSettings::writeBool(const QString& sect, const QString& key, bool value) {
    FValues.insert(keyOf(sect, key), value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemoryUserSettings::writeDouble(const QString& sect, const QString& key, double value) {
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    FValues.insert(keyOf(sect, key), QStringLiteral("%1").arg(bits, 16, 16, QLatin1Char('0')));
}

void TMemoryUserSettings::writeInteger(const QString& sect, const QString& key, qint32 value) {
    FValues.insert(keyOf(sect, key), QString::number(value));
}

void TMemoryUserSettings::writeList(const QString& sect, const QStringList& list) {
    FLists.insert(sect.toLower(), list);
}

void TMemoryUserSettings::writeString(const QString& sect, const QString& key,
                                      const QString& value) {
    FValues.insert(keyOf(sect, key), value);
}

} // namespace stakko

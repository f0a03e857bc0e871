#include "system/VersionInfo.h"

#include "platform/ProgramFile.h"
#include "platform/ProgramSections.h"
#include "text/QZ_cmn.h"

#include <QDateTime>
#include <QTimeZone>

namespace qz {

namespace {

constexpr QByteArrayView RecordMarker("QZVERSIONRECORD");
const QString FixedInfoPath = QStringLiteral("\\");
const QString GermanBlock = QStringLiteral("StringFileInfo\\040704E4\\");
const QString EnglishBlock = QStringLiteral("StringFileInfo\\040904E4\\");

} // namespace

TVersionRecord TVersionRecord::FromBytes(const QByteArray& bytes) {
    TVersionRecord record;
    const QByteArrayView all(bytes);
    if (!all.startsWith(RecordMarker) || all.size() <= RecordMarker.size() ||
        all[RecordMarker.size()] != '\0')
        return record;
    qsizetype pos = RecordMarker.size() + 1;
    // The next text up to its 0; none when the record is cut short.
    auto next = [&](QByteArrayView& text) {
        const qsizetype end = all.indexOf('\0', pos);
        if (end < 0)
            return false;
        text = all.sliced(pos, end - pos);
        pos = end + 1;
        return true;
    };
    // A record cut short, without its closing empty path, is no record.
    QHash<QString, QString> values;
    QByteArrayView path, value;
    bool closed = false;
    while (!closed && next(path)) {
        closed = path.isEmpty();
        if (!closed && !next(value))
            break;
        if (!closed)
            values.insert(QString::fromUtf8(path), QString::fromUtf8(value));
    }
    if (closed)
        record.FValues = std::move(values);
    return record;
}

std::optional<std::array<quint16, 4>> TVersionRecord::FixedFileVersion() const {
    const auto text = Query(FixedInfoPath);
    if (!text)
        return std::nullopt;
    const QStringList parts = text->split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<quint16, 4> version{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint part = parts[i].toUInt(&ok);
        if (!ok || part > 0xFFFF)
            return std::nullopt;
        version[size_t(i)] = quint16(part);
    }
    return version;
}

std::optional<QString> TVersionRecord::Query(const QString& path) const {
    const auto found = FValues.constFind(path);
    if (found == FValues.cend())
        return std::nullopt;
    return *found;
}

const QStringList& VersionValueNames() {
    static const QStringList names = {
        QStringLiteral("CompanyName"),      QStringLiteral("FileDescription"),
        QStringLiteral("FileVersion"),      QStringLiteral("InternalName"),
        QStringLiteral("LegalCopyright"),   QStringLiteral("LegalTradeMarks"),
        QStringLiteral("OriginalFileName"), QStringLiteral("ProductName"),
        QStringLiteral("ProductVersion")};
    return names;
}

void AddVersionLines(const TVersionRecord& record, QStringList& list) {
    if (record.isEmpty())
        return;
    if (const auto v = record.FixedFileVersion())
        list.append(QStringLiteral("VS_VERSION = %1.%2.%3.%4")
                        .arg((*v)[0])
                        .arg((*v)[1])
                        .arg((*v)[2])
                        .arg((*v)[3]));
    for (const QString& name : VersionValueNames()) {
        auto value = record.Query(GermanBlock + name);
        if (!value)
            value = record.Query(EnglishBlock + name);
        if (value)
            list.append(name + QStringLiteral(" = ") + *value);
    }
    // A line without "=" has no value to part from its name; it is trimmed.
    for (QString& line : list) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            line = line.trimmed();
        else
            line = line.left(eq).trimmed() + QLatin1Char('=') + line.mid(eq + 1).trimmed();
    }
}

void ReadVersionInfo(const QString& path, QStringList& list) {
    AddVersionLines(TVersionRecord::FromBytes(
                        platform::ReadProgramSection(path, QByteArray(VersionRecordSection))),
                    list);
}

QString VersionValueOf(const QStringList& list, const QString& name) {
    for (const QString& line : list) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

QString BuildDateText(const QString& fixedVersion) {
    const QString format = QStringLiteral("dd.MM.yyyy hh:mm:ss");
    const QString utc = VersionToDateText(fixedVersion, false);
    if (utc.isEmpty())
        return {};
    QDateTime time = QDateTime::fromString(utc, format);
    time.setTimeZone(QTimeZone::utc());
    return time.toLocalTime().toString(format);
}

QString GetVersionInfoValue(const QString& name) {
    QStringList list;
    // The running image, not whatever file now has its path.
    ReadVersionInfo(platform::RunningProgramImage(), list);
    return VersionValueOf(list, name);
}

} // namespace qz

#pragma once
// The version record of a program file and the lines read from it. The
// record is built into the program (cmake/WriteVersionRecord.cmake) in a
// section of its own, ".stakko_version", so that it can be read from any
// program file: the running one for the About box, another one to compare.
//
// Its bytes: the marker "QZVERSIONRECORD" and a 0, then pairs of texts,
// each ended by a 0, of a value path and its value (UTF-8), closed by an
// empty path. The path "\" holds the fixed file version, four decimal
// numbers of 16 bits joined by "."; the text values have the paths
// "StringFileInfo\<language and code page>\<name>", 040704E4 German and
// 040904E4 US English.
//
//   QStringList lines;
//   qz::ReadVersionInfo("/usr/games/stakko", lines);
//   // "VS_VERSION=1.0.9131.21600", "CompanyName=Vomb", ..., "ProductVersion=1.0.0"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qz {

// The section that holds the record in a program file.
inline constexpr char VersionRecordSection[] = ".stakko_version";

// A record, parsed from its bytes; what is not a record gives an empty one.
class TVersionRecord {
public:
    [[nodiscard]] static TVersionRecord FromBytes(const QByteArray& bytes);

    [[nodiscard]] bool isEmpty() const { return FValues.isEmpty(); }
    // The four 16-bit parts of the fixed file version, most significant
    // first; none when the record has none or it is malformed.
    [[nodiscard]] std::optional<std::array<quint16, 4>> FixedFileVersion() const;
    // The value at a path such as "StringFileInfo\040704E4\FileVersion".
    [[nodiscard]] std::optional<QString> Query(const QString& path) const;

private:
    QHash<QString, QString> FValues;
};

// The nine text values a record is asked for, in this order.
[[nodiscard]] const QStringList& VersionValueNames();

// Adds the lines of `record` to `list`: "VS_VERSION=" and the fixed file
// version, then "name=value" for each of the nine names found, the German
// block before the English one; then every line of the list is rewritten
// with its name and value trimmed. An empty record leaves the list as it is.
void AddVersionLines(const TVersionRecord& record, QStringList& list);

// The lines of the record in the program file at `path`; a file without
// one (or no program file at all) leaves the list unchanged.
void ReadVersionInfo(const QString& path, QStringList& list);

// The value of the first line named `name` (letter case ignored), or "".
[[nodiscard]] QString VersionValueOf(const QStringList& list, const QString& name);

// The build time a fixed version holds, which the build writes in UTC, as
// the local date and time "dd.mm.yyyy hh:nn:ss"; "" where
// VersionToDateText finds no build date.
//   BuildDateText("1.0.6000.21600") == "05.06.2016 14:00:00"   // in Berlin
[[nodiscard]] QString BuildDateText(const QString& fixedVersion);

// The value `name` of the running program's record, read afresh on every
// call from the running image itself, so that a program file replaced or
// deleted while the program runs does not change what it says of itself;
// "" when the record lacks it.
//   GetVersionInfoValue("FileVersion") == "1.0.0"
[[nodiscard]] QString GetVersionInfoValue(const QString& name);

} // namespace qz

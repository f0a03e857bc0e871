// The version record: read from this test program, which carries the
// program's record, and from made-up records for each rule of the lines.
#include "ui/VersionInfo.h"

#include "common/TestHelpers.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <utility>
#include <vector>

using namespace qz;

namespace {

// The bytes of a record with these (path, value) pairs.
QByteArray RecordOf(const std::vector<std::pair<QString, QString>>& values) {
    QByteArray bytes("QZVERSIONRECORD");
    bytes += '\0';
    for (const auto& [path, value] : values) {
        bytes += path.toUtf8() + '\0';
        bytes += value.toUtf8() + '\0';
    }
    return bytes + '\0';
}

const QString De = QStringLiteral("StringFileInfo\\040704E4\\");
const QString En = QStringLiteral("StringFileInfo\\040904E4\\");

QStringList NamesOf(const QStringList& lines) {
    QStringList names;
    for (const QString& line : lines)
        names << line.section(QLatin1Char('='), 0, 0);
    return names;
}

TEST(VersionRecord, TheBuiltProgramCarriesItsRecord) {
    QStringList lines;
    ReadVersionInfo(QCoreApplication::applicationFilePath(), lines);
    EXPECT_EQ(NamesOf(lines),
              QStringList({"VS_VERSION", "CompanyName", "FileDescription", "FileVersion",
                           "InternalName", "LegalCopyright", "LegalTradeMarks", "OriginalFileName",
                           "ProductName", "ProductVersion"}));
    EXPECT_EQ(VersionValueOf(lines, "FileVersion"), QStringLiteral(STAKKO_PROJECT_VERSION));
    EXPECT_EQ(VersionValueOf(lines, "CompanyName"), "Vomb");
    EXPECT_EQ(VersionValueOf(lines, "FileDescription"), "Stakko, ein Spiel mit fallenden Steinen")
        << "the German block comes first";

    // The fixed version is major.minor of the project and the build time:
    // a date after 2014 that has not come yet is no build date.
    const QString fixed = VersionValueOf(lines, "VS_VERSION");
    const QString majorMinor = QStringLiteral(STAKKO_PROJECT_VERSION).section('.', 0, 1);
    EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(majorMinor) + "\\.\\d+\\.\\d+$")
                    .match(fixed)
                    .hasMatch())
        << fixed.toStdString();
    const QDateTime built = QDateTime::fromString(VersionToDateText(fixed, false),
                                                  QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    ASSERT_TRUE(built.isValid()) << fixed.toStdString();
    EXPECT_LE(built, QDateTime::currentDateTimeUtc().toLocalTime().addSecs(2));

    EXPECT_EQ(VersionValueOf(lines, "LegalCopyright"),
              QStringLiteral("© 1996-%1 Vomb Spielwerkstatt").arg(built.date().year()));
    EXPECT_EQ(GetVersionInfoValue("fileVERSION"), QStringLiteral(STAKKO_PROJECT_VERSION))
        << "the running program's record, names in any case";
    EXPECT_EQ(GetVersionInfoValue("Copyright"), "") << "not one of the nine names";
}

TEST(VersionRecord, AFileWithoutOneLeavesTheListAsItIs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // This very program with its record's section renamed: the reader goes
    // by the section, not by the bytes of a record somewhere in the file.
    QFile self(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    QByteArray bytes = self.readAll();
    const QByteArray name = QByteArray(VersionRecordSection) + '\0';
    ASSERT_TRUE(bytes.contains(name));
    bytes.replace(name, QByteArray(".stakko_xersion") + '\0');
    const QString renamed = dir.filePath("renamed");
    QFile out(renamed);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    const QString text = dir.filePath("text.txt");
    QFile plain(text);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("FileVersion = 9.9\n");
    plain.close();

    for (const QString& path : {renamed, text, dir.filePath("missing")}) {
        QStringList lines = {" kept  =  as is "};
        ReadVersionInfo(path, lines);
        EXPECT_EQ(lines, QStringList({" kept  =  as is "})) << path.toStdString();
    }
}

struct RecordRow : NamedRow {
    QByteArray record;
    QStringList before;
    QStringList expected;
};

class VersionLineRows : public ::testing::TestWithParam<RecordRow> {};

TEST_P(VersionLineRows, LinesOfARecord) {
    QStringList lines = GetParam().before;
    AddVersionLines(TVersionRecord::FromBytes(GetParam().record), lines);
    EXPECT_EQ(lines, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, VersionLineRows,
    ::testing::Values(
        // The About box then shows no build date: both versions agree.
        RecordRow{{"fixed_and_file_version_2000"},
                  RecordOf({{"\\", "2.0.0.0"}, {De + "FileVersion", "2.0.0.0"}}),
                  {},
                  {"VS_VERSION=2.0.0.0", "FileVersion=2.0.0.0"}},
        RecordRow{{"german_before_english"},
                  RecordOf({{En + "ProductName", "Stacker"},
                            {De + "ProductName", "Stakko"},
                            {En + "LegalTradeMarks", "TM"}}),
                  {},
                  {"LegalTradeMarks=TM", "ProductName=Stakko"}},
        RecordRow{{"names_outside_the_nine_unread"},
                  RecordOf({{De + "Comments", "hi"},
                            {De + "Copyright", "(c)"},
                            {De + "CompanyName", "Vomb"}}),
                  {},
                  {"CompanyName=Vomb"}},
        RecordRow{{"lines_trimmed_also_those_before"},
                  RecordOf({{De + "FileVersion", "  1.0  "}, {De + "InternalName", "a = b"}}),
                  {" x = y ", "bare "},
                  {"x=y", "bare", "FileVersion=1.0", "InternalName=a = b"}},
        RecordRow{{"malformed_fixed_version_left_out"},
                  RecordOf({{"\\", "1.2.70000.0"}, {De + "FileVersion", "1.2"}}),
                  {},
                  {"FileVersion=1.2"}},
        RecordRow{{"cut_short"},
                  RecordOf({{De + "FileVersion", "1.2"}}).chopped(1),
                  {"a = b"},
                  {"a = b"}},
        RecordRow{{"no_marker"}, RecordOf({{De + "FileVersion", "1.2"}}).mid(1), {}, {}}),
    RowName());

} // namespace

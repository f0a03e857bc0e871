// The version record: read from this test program, which carries the
// program's record, and from made-up records for each rule of the lines.
#include "system/VersionInfo.h"

#include "common/TestHelpers.h"
#include "text/QZ_cmn.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>
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
    const QDateTime built =
        QDateTime::fromString(BuildDateText(fixed), QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    ASSERT_TRUE(built.isValid()) << fixed.toStdString();
    EXPECT_LE(built, QDateTime::currentDateTime().addSecs(2));

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

struct BuildDateRow : NamedRow {
    const char* zone; // TZ, in the POSIX form that needs no time zone files
    QString fixed;
    QString shown;
};

class BuildDateRows : public ::testing::TestWithParam<BuildDateRow> {
protected:
    void SetUp() override { Set(GetParam().zone); }
    void TearDown() override { Set(FSaved.isNull() ? nullptr : FSaved.constData()); }

private:
    static void Set(const char* zone) {
        zone ? qputenv("TZ", zone) : qunsetenv("TZ");
        tzset();
    }
    QByteArray FSaved = qgetenv("TZ");
};

TEST_P(BuildDateRows, TheBuildTimeInLocalTime) {
    EXPECT_EQ(BuildDateText(GetParam().fixed), GetParam().shown);
}

const char* const Berlin = "CET-1CEST,M3.5.0,M10.5.0/3";
const char* const NewYork = "EST5EDT,M3.2.0,M11.1.0";

// 6000 days after 1 January 2000 is 5 June 2016; 21600 steps are 12:00 UTC.
INSTANTIATE_TEST_SUITE_P(
    Zones, BuildDateRows,
    ::testing::Values(
        BuildDateRow{{"utc"}, "UTC0", "1.0.6000.21600", "05.06.2016 12:00:00"},
        BuildDateRow{{"berlin_summer"}, Berlin, "1.0.6000.21600", "05.06.2016 14:00:00"},
        BuildDateRow{{"berlin_winter"}, Berlin, "1.0.6200.0", "22.12.2016 01:00:00"},
        BuildDateRow{{"new_york_the_day_before"}, NewYork, "1.0.6000.3600", "04.06.2016 22:00:00"},
        BuildDateRow{{"before_build_dates"}, Berlin, "1.0.5000.21600", ""},
        BuildDateRow{{"no_build_date"}, Berlin, "2.0.0.0", ""}),
    RowName());

// The bytes of a program with every digit of its record's fixed version
// and German "FileVersion" changed: another build of the same program.
QByteArray AnotherBuild(QByteArray program) {
    const qsizetype record = program.indexOf(QByteArray("QZVERSIONRECORD") + '\0' + "\\" + '\0');
    const QByteArray fileVersion = (De + "FileVersion").toUtf8() + '\0';
    const qsizetype named = program.indexOf(fileVersion, record);
    if (record < 0 || named < 0)
        return {};
    for (qsizetype at : {record + 18, named + fileVersion.size()})
        for (; program[at] != '\0'; ++at)
            if (program[at] >= '0' && program[at] <= '9')
                program[at] = char('0' + (program[at] - '0' + 1) % 10);
    return program;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct ProgramFileChange : NamedRow {
    // Done to the program file at `path` (whose bytes are `program`) while
    // the program runs.
    std::function<void(const QString& path, const QByteArray& program)> change;
};

class RunningRecordTest : public ::testing::TestWithParam<ProgramFileChange> {};

// The printer shares this test's record: the same build of the program.
TEST_P(RunningRecordTest, IsReadFromTheRunningImage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile printer(QStringLiteral(STAKKO_VERSION_PRINTER));
    ASSERT_TRUE(printer.open(QIODevice::ReadOnly));
    const QByteArray program = printer.readAll();
    const QString path = dir.filePath("stakko");
    ASSERT_TRUE(WriteFile(path, program));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    QProcess running;
    running.start(path, {});
    ASSERT_TRUE(running.waitForStarted(10000));
    ASSERT_TRUE(running.waitForReadyRead(10000));
    ASSERT_EQ(running.readLine().trimmed(), "ready");
    GetParam().change(path, program);
    running.write("go\n");
    running.closeWriteChannel();
    ASSERT_TRUE(running.waitForFinished(10000));
    EXPECT_EQ(running.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(running.readAllStandardOutput()),
              GetVersionInfoValue("FileVersion") + '\n' + GetVersionInfoValue("VS_VERSION") + '\n');
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFile, RunningRecordTest,
    ::testing::Values(
        ProgramFileChange{{"unchanged"}, [](const QString&, const QByteArray&) {}},
        // As a package upgrade does it: the new file is renamed over the old.
        ProgramFileChange{
            {"replaced_by_another_build"},
            [](const QString& path, const QByteArray& program) {
                const QByteArray other = AnotherBuild(program);
                ASSERT_FALSE(other.isEmpty()) << "no record to change";
                ASSERT_TRUE(WriteFile(path + ".new", other));
                QStringList lines;
                ReadVersionInfo(path + ".new", lines);
                ASSERT_NE(VersionValueOf(lines, "FileVersion"), GetVersionInfoValue("FileVersion"));
                ASSERT_NE(VersionValueOf(lines, "VS_VERSION"), GetVersionInfoValue("VS_VERSION"));
                ASSERT_EQ(std::rename(qPrintable(path + ".new"), qPrintable(path)), 0);
            }},
        ProgramFileChange{{"replaced_by_a_file_without_record"},
                          [](const QString& path, const QByteArray&) {
                              ASSERT_TRUE(WriteFile(path + ".new", "#!/bin/sh\n"));
                              ASSERT_EQ(std::rename(qPrintable(path + ".new"), qPrintable(path)),
                                        0);
                          }},
        ProgramFileChange{
            {"deleted"},
            [](const QString& path, const QByteArray&) { ASSERT_TRUE(QFile::remove(path)); }}),
    RowName());

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

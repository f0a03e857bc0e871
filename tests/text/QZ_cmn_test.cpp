#include "text/QZ_cmn.h"

#include "common/TestHelpers.h"

#include <QFileInfo>

namespace {

TEST(ProgramPaths, SplitsFolderNameAndExtension) {
    const auto p = qz::ProgramPathsFor(QStringLiteral("/opt/Games/Stakko.BIN"));
    EXPECT_EQ(p.ExeDir, QStringLiteral("/opt/Games/"));
    EXPECT_EQ(p.ExeBaseName, QStringLiteral("Stakko"));
    // The file name is lowered, then only its first ASCII letter raised again.
    EXPECT_EQ(p.ExeFullPath, QStringLiteral("/opt/Games/Stakko.bin"));
}

TEST(ProgramPaths, NameWithoutExtensionOrWithLeadingDigitOrUmlaut) {
    const auto plain = qz::ProgramPathsFor(QStringLiteral("/usr/bin/stakko"));
    EXPECT_EQ(plain.ExeBaseName, QStringLiteral("stakko"));
    EXPECT_EQ(plain.ExeFullPath, QStringLiteral("/usr/bin/Stakko"));

    const auto digit = qz::ProgramPathsFor(QStringLiteral("/x/9Lives.Exe"));
    EXPECT_EQ(digit.ExeFullPath, QStringLiteral("/x/9lives.exe"));

    // Only a to z are raised; an umlaut stays lower case.
    const auto umlaut = qz::ProgramPathsFor(QStringLiteral("/x/Ärger.exe"));
    EXPECT_EQ(umlaut.ExeBaseName, QStringLiteral("Ärger"));
    EXPECT_EQ(umlaut.ExeFullPath, QStringLiteral("/x/ärger.exe"));

    const auto hidden = qz::ProgramPathsFor(QStringLiteral("/x/.hidden"));
    EXPECT_EQ(hidden.ExeBaseName, QStringLiteral(".hidden"));
}

TEST(ProgramPaths, RunningProgramIsThisTestBinary) {
    EXPECT_TRUE(qz::ExeDir().endsWith(u'/'));
    EXPECT_EQ(qz::ExeBaseName(), QStringLiteral("test_text_cmn"));
    EXPECT_TRUE(QFileInfo(qz::ExeDir() + qz::ExeBaseName()).isExecutable());
}

} // namespace

namespace {

struct GroupedRow {
    const char* name;
    qint64 value;
    const char* text;
};

class IntToStrGroupedTest : public ::testing::TestWithParam<GroupedRow> {};

TEST_P(IntToStrGroupedTest, GroupsWithPoints) {
    EXPECT_EQ(qz::IntToStrGrouped(GetParam().value), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IntToStrGroupedTest,
    ::testing::Values(
        GroupedRow{"zero", 0, "0"}, GroupedRow{"nine99", 999, "999"},
        GroupedRow{"thousand", 1000, "1.000"}, GroupedRow{"million", 1000000, "1.000.000"},
        GroupedRow{"seven", 1234567, "1.234.567"}, GroupedRow{"minus999", -999, "-999"},
        GroupedRow{"minus1000", -1000, "-1.000"}, GroupedRow{"minusSeven", -1234567, "-1.234.567"},
        GroupedRow{"max", INT64_MAX, "9.223.372.036.854.775.807"},
        GroupedRow{"min", INT64_MIN, "-9.223.372.036.854.775.808"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

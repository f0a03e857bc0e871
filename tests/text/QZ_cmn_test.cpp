#include "text/QZ_cmn.h"

#include "common/TestHelpers.h"

#include <QFileInfo>

#include <bit>

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

namespace {

// ---------------------------------------------------------------------------
// Number parsing

struct ParseRow {
    const char* name;
    const char* text;
    int startPos;
    int base;
    qint64 value;
    int endPos;
};

class ParseIntegerTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseIntegerTest, ValueAndPosition) {
    const ParseRow& row = GetParam();
    int pos = row.startPos;
    EXPECT_EQ(qz::ParseInteger(QString::fromUtf8(row.text), pos, row.base), qint32(row.value));
    EXPECT_EQ(pos, row.endPos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseIntegerTest,
    ::testing::Values(
        ParseRow{"dollarHex", "$1F", 1, 10, 31, 4}, ParseRow{"negative", "-12", 1, 10, -12, 4},
        ParseRow{"doubleMinus", "--5", 1, 10, 5, 4},
        ParseRow{"minusThenDollar", "-$1F", 1, 10, 0, 1},
        ParseRow{"dollarThenMinus", "$-1", 1, 10, 0, 1},
        ParseRow{"stopsAtLetter", "12ab", 1, 10, 12, 3},
        ParseRow{"hexLetterFirstInBase10", "ab12", 1, 10, 0, 1},
        ParseRow{"otherCharFirst", "x12", 1, 10, 0, 1},
        ParseRow{"otherCharAfterSign", "-+3", 1, 10, 0, 2},
        ParseRow{"leadingSpace", " 5", 1, 10, 0, 1}, ParseRow{"base16", "ff", 1, 16, 255, 3},
        ParseRow{"minusInBase16", "-ff", 1, 16, 0, 1},
        ParseRow{"fromMiddle", "a 12;", 3, 10, 12, 5}, ParseRow{"empty", "", 1, 10, 0, 1},
        ParseRow{"dollarAlone", "$", 1, 10, 0, 2}, ParseRow{"minusAlone", "-", 1, 10, 0, 2},
        ParseRow{"startBeyondEnd", "12", 5, 10, 0, 5},
        ParseRow{"startZeroCountsAsOne", "12", 0, 10, 12, 3},
        ParseRow{"maxInt", "2147483647", 1, 10, 2147483647, 11},
        ParseRow{"wrapsToMin", "2147483648", 1, 10, INT32_MIN, 11},
        ParseRow{"minInt", "-2147483648", 1, 10, INT32_MIN, 12},
        ParseRow{"wrapsToMinusOne", "4294967295", 1, 10, -1, 11},
        ParseRow{"wrapsToZero", "$100000000", 1, 10, 0, 11}, ParseRow{"base2", "1012", 1, 2, 5, 4}),
    [](const auto& info) { return std::string(info.param.name); });

class ParseInt64Test : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseInt64Test, ValueAndPosition) {
    const ParseRow& row = GetParam();
    int pos = row.startPos;
    EXPECT_EQ(qz::ParseInt64(QString::fromUtf8(row.text), pos, row.base), row.value);
    EXPECT_EQ(pos, row.endPos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseInt64Test,
    ::testing::Values(ParseRow{"beyond32Bits", "4294967296", 1, 10, 4294967296LL, 11},
                      ParseRow{"allOnes", "FFFFFFFFFFFFFFFF", 1, 16, -1, 17},
                      ParseRow{"oneBits", "3FF0000000000000", 1, 16, 0x3FF0000000000000LL, 17},
                      ParseRow{"wrapsToMin", "9223372036854775808", 1, 10, INT64_MIN, 20},
                      ParseRow{"minusDollar", "-$1", 1, 10, 0, 1},
                      ParseRow{"tooLongWraps", "$10000000000000000", 1, 10, 0, 19}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TakeLeadingInteger, DeletesWhatItConsumed) {
    QString s = QStringLiteral("12ab");
    EXPECT_EQ(qz::TakeLeadingInteger(s), 12);
    EXPECT_EQ(s, QStringLiteral("ab"));

    s = QStringLiteral("-$1F");
    EXPECT_EQ(qz::TakeLeadingInteger(s), 0);
    EXPECT_EQ(s, QStringLiteral("-$1F"));

    s = QStringLiteral("100");
    EXPECT_EQ(qz::TakeLeadingInteger(s), 100);
    EXPECT_EQ(s, QString());

    s = QStringLiteral("x5");
    EXPECT_EQ(qz::TakeLeadingInteger(s), 0);
    EXPECT_EQ(s, QStringLiteral("x5"));
}

TEST(HexNumbers, Int64ToHex16AndHexToDoubleRoundTrip) {
    EXPECT_EQ(qz::Int64ToHex16(0), QStringLiteral("0000000000000000"));
    EXPECT_EQ(qz::Int64ToHex16(-1), QStringLiteral("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(qz::Int64ToHex16(INT64_MIN), QStringLiteral("8000000000000000"));
    EXPECT_EQ(qz::Int64ToHex16(0xABCDEF), QStringLiteral("0000000000ABCDEF"));
    EXPECT_EQ(qz::HexToDouble(QStringLiteral("3FF0000000000000")), 1.0);
    EXPECT_EQ(qz::Int64ToHex16(std::bit_cast<qint64>(1.0)), QStringLiteral("3FF0000000000000"));
    EXPECT_EQ(qz::HexToDouble(QStringLiteral("c000000000000000")), -2.0);
    EXPECT_EQ(qz::HexToDouble(QString()), 0.0);
    for (double d : {0.1, -123.456e300, 5e-324, 1.0 / 3.0})
        EXPECT_EQ(qz::HexToDouble(qz::Int64ToHex16(std::bit_cast<qint64>(d))), d);
}

struct TruthRow {
    const char* name;
    const char* text;
    bool value;
};

class TextIsTrueTest : public ::testing::TestWithParam<TruthRow> {};

TEST_P(TextIsTrueTest, GreaterThanZeroInCodeUnitOrder) {
    EXPECT_EQ(qz::TextIsTrue(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextIsTrueTest,
    ::testing::Values(TruthRow{"one", "1", true}, TruthRow{"zeroZero", "00", true},
                      TruthRow{"x", "x", true}, TruthRow{"False", "False", true},
                      TruthRow{"empty", "", false}, TruthRow{"zero", "0", false},
                      TruthRow{"minusOne", "-1", false}, TruthRow{"space", " ", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SmallConversions, BoolToDigitAndHexDigitValue) {
    EXPECT_EQ(qz::BoolToDigit(true), QStringLiteral("1"));
    EXPECT_EQ(qz::BoolToDigit(false), QStringLiteral("0"));
    const char* digits = "0123456789ABCDEF";
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(qz::HexDigitValue(QChar(digits[i])), i);
        EXPECT_EQ(qz::HexDigitValue(QChar(digits[i]).toLower()), i);
    }
    for (char16_t c : {u'g', u'G', u'/', u':', u'@', u'$', u'\0', u'\uFF10'})
        EXPECT_EQ(qz::HexDigitValue(QChar(c)), -1) << int(c);
}

TEST(StringObject, HoldsItsText) {
    const qz::TStringObject holder(QStringLiteral("Wert"));
    EXPECT_EQ(holder.FString, QStringLiteral("Wert"));
}

// ---------------------------------------------------------------------------
// Trimming

TEST(Trim, OnlySpacesCount) {
    QString s = QStringLiteral("  a b \t ");
    qz::TrimLeadingSpaces(s);
    EXPECT_EQ(s, QStringLiteral("a b \t "));
    qz::TrimTrailingSpaces(s);
    EXPECT_EQ(s, QStringLiteral("a b \t"));

    s = QStringLiteral("\t x  ");
    qz::TrimSpaces(s);
    EXPECT_EQ(s, QStringLiteral("\t x"));

    s = QStringLiteral("    ");
    qz::TrimLeadingSpaces(s);
    EXPECT_EQ(s, QString());
    s = QStringLiteral("   ");
    qz::TrimTrailingSpaces(s);
    EXPECT_EQ(s, QString());
    s = QString();
    qz::TrimSpaces(s);
    EXPECT_EQ(s, QString());
}

} // namespace

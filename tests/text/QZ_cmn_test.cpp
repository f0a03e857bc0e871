#include "text/EQZError.h"
#include "text/QZ_cmn.h"

#include "common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <bit>
#include <climits>
#include <unistd.h>

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

struct GroupedRow : NamedRow {
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
    RowName());

} // namespace

namespace {

// ---------------------------------------------------------------------------
// Number parsing

struct ParseRow : NamedRow {
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
    RowName());

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
    RowName());

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

struct TruthRow : NamedRow {
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
    RowName());

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

namespace {

// ---------------------------------------------------------------------------
// Character access and searching

TEST(CharAccess, FirstAndLastWithTheirStandIns) {
    EXPECT_EQ(qz::FirstCharOrSpace(QString()), QChar(u' '));
    EXPECT_EQ(qz::FirstCharOrSpace(QStringLiteral("xy")), QChar(u'x'));
    EXPECT_EQ(qz::FirstCharOrNul(QString()), QChar(u'\0'));
    EXPECT_EQ(qz::FirstCharOrNul(QStringLiteral("xy")), QChar(u'x'));
    EXPECT_EQ(qz::LastCharOrSpace(QString()), QChar(u' '));
    EXPECT_EQ(qz::LastCharOrSpace(QStringLiteral("xy")), QChar(u'y'));
}

struct PosCharRow : NamedRow {
    char16_t ch;
    const char* text;
    int start;
    int pos;
    int posOrEnd;
};

class PosCharFromTest : public ::testing::TestWithParam<PosCharRow> {};

TEST_P(PosCharFromTest, FindsAtOrAfterStart) {
    const auto& row = GetParam();
    const QString s = QString::fromUtf8(row.text);
    EXPECT_EQ(qz::PosCharFrom(QChar(row.ch), s, row.start), row.pos);
    EXPECT_EQ(qz::PosCharFromOrEnd(QChar(row.ch), s, row.start), row.posOrEnd);
}

INSTANTIATE_TEST_SUITE_P(Rows, PosCharFromTest,
                         ::testing::Values(PosCharRow{"fromStart", u'a', "banana", 1, 2, 2},
                                           PosCharRow{"atStart", u'a', "banana", 4, 4, 4},
                                           PosCharRow{"afterStart", u'a', "banana", 5, 6, 6},
                                           PosCharRow{"noneLeft", u'b', "banana", 2, 0, 7},
                                           PosCharRow{"startZero", u'b', "banana", 0, 0, 7},
                                           PosCharRow{"startNegative", u'b', "banana", -3, 0, 7},
                                           PosCharRow{"startBeyond", u'a', "banana", 9, 0, 7},
                                           PosCharRow{"empty", u'a', "", 1, 0, 1}),
                         RowName());

struct SearchRow : NamedRow {
    const char* sub;
    const char* text;
    int count;
    int result;
};

class LastPosWithinTest : public ::testing::TestWithParam<SearchRow> {};

TEST_P(LastPosWithinTest, LargestStartNotAfterCount) {
    const auto& row = GetParam();
    EXPECT_EQ(qz::LastPosWithin(QString::fromUtf8(row.sub), QString::fromUtf8(row.text), row.count),
              row.result);
}

INSTANTIATE_TEST_SUITE_P(Rows, LastPosWithinTest,
                         ::testing::Values(SearchRow{"versionLastDot", ".", "1.0.5432.100", 12, 9},
                                           SearchRow{"beforeLastDot", ".", "1.0.5432.100", 8, 4},
                                           SearchRow{"countOnTheDot", ".", "1.0.5432.100", 9, 9},
                                           SearchRow{"countLoweredToLength", ".", "a.b", 99, 2},
                                           SearchRow{"mayReachPastCount", "bc", "abcd", 2, 2},
                                           SearchRow{"none", "x", "abc", 3, -1},
                                           SearchRow{"emptySub", "", "abc", 3, -1},
                                           SearchRow{"countZero", "a", "abc", 0, -1},
                                           SearchRow{"countNegative", "a", "abc", -2, -1},
                                           SearchRow{"caseSensitive", "A", "abc", 3, -1}),
                         RowName());

TEST(Search, LastPosAndPosIgnoreCase) {
    EXPECT_EQ(qz::LastPos(QStringLiteral("."), QStringLiteral("1.0.5432.100")), 9);
    EXPECT_EQ(qz::LastPos(QStringLiteral("."), QStringLiteral("100")), -1);
    EXPECT_EQ(qz::LastPos(QStringLiteral("ab"), QStringLiteral("abab")), 3);

    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("INI"), QStringLiteral("x.ini")), 3);
    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("äRG"), QStringLiteral("Der Ärger")), 5);
    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("q"), QStringLiteral("abc")), 0);
    EXPECT_EQ(qz::PosIgnoreCase(QString(), QStringLiteral("abc")), 0);
    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("a"), QString()), 0);
    // Character by character: "ß" has no single upper-case character.
    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("SS"), QStringLiteral("Straße")), 0);
    EXPECT_EQ(qz::PosIgnoreCase(QStringLiteral("ße"), QStringLiteral("STRAßE")), 5);
}

TEST(Search, EndsWithTextAndIgnoringCase) {
    EXPECT_TRUE(qz::EndsWithText(QString(), QStringLiteral("abc")));
    EXPECT_FALSE(qz::EndsWithTextIgnoreCase(QString(), QStringLiteral("abc")));
    EXPECT_TRUE(qz::EndsWithText(QStringLiteral(".ini"), QStringLiteral("a.ini")));
    EXPECT_FALSE(qz::EndsWithText(QStringLiteral(".INI"), QStringLiteral("a.ini")));
    EXPECT_TRUE(qz::EndsWithTextIgnoreCase(QStringLiteral(".INI"), QStringLiteral("a.ini")));
    EXPECT_TRUE(qz::EndsWithTextIgnoreCase(QStringLiteral("Ö"), QStringLiteral("xö")));
    EXPECT_FALSE(qz::EndsWithTextIgnoreCase(QStringLiteral("xa.ini"), QStringLiteral("a.ini")));
    EXPECT_FALSE(qz::EndsWithText(QStringLiteral("xa.ini"), QStringLiteral("a.ini")));
    EXPECT_EQ(qz::MinInt(3, -4), -4);
    EXPECT_EQ(qz::MinInt(INT_MIN, INT_MAX), INT_MIN);
}

// ---------------------------------------------------------------------------
// Cutting

TEST(Cutting, LastCharQuestionMarkAndNul) {
    QString s = QStringLiteral("ab");
    qz::DeleteLastChar(s);
    EXPECT_EQ(s, QStringLiteral("a"));
    qz::DeleteLastChar(s);
    qz::DeleteLastChar(s);
    EXPECT_EQ(s, QString());

    EXPECT_EQ(qz::DropLastChar(QStringLiteral("abc")), QStringLiteral("ab"));
    EXPECT_EQ(qz::DropLastChar(QStringLiteral("a")), QString());
    EXPECT_EQ(qz::DropLastChar(QString()), QString());

    EXPECT_EQ(qz::CutAtQuestionMark(QStringLiteral("a.ini?x?y")), QStringLiteral("a.ini"));
    EXPECT_EQ(qz::CutAtQuestionMark(QStringLiteral("?x")), QString());
    EXPECT_EQ(qz::CutAtQuestionMark(QStringLiteral("plain")), QStringLiteral("plain"));

    s = QString::fromUtf16(u"ab\0cd\0", 6);
    qz::TruncateAtNul(s);
    EXPECT_EQ(s, QStringLiteral("ab"));
    s = QStringLiteral("abc");
    qz::TruncateAtNul(s);
    EXPECT_EQ(s, QStringLiteral("abc"));
}

TEST(SkipTo, StopsAtTheCharacterOrNulAndRefusesNull) {
    const QString text = QStringLiteral("key=value");
    const QChar* p = text.constData();
    qz::skipTo(QChar(u'='), p);
    EXPECT_EQ(p, text.constData() + 3);
    qz::skipTo(QChar(u'='), p); // already there
    EXPECT_EQ(p, text.constData() + 3);
    qz::skipTo(QChar(u'#'), p);
    EXPECT_EQ(p, text.constData() + text.size());
    EXPECT_TRUE(p->isNull());

    const QChar* null = nullptr;
    EXPECT_THROW_MSG(qz::skipTo(QChar(u'='), null), qz::EQZError,
                     QStringLiteral("skipTo with Nil-Pointer"));
}

// ---------------------------------------------------------------------------
// Paths

TEST(Backslash, AddAndRemove) {
    const std::pair<const char*, const char*> added[] = {
        {"", ""}, {"C:", "C:"}, {"C:\\", "C:\\"}, {"C:\\Temp", "C:\\Temp\\"}, {"a/b", "a/b\\"}};
    for (const auto& [in, out] : added) {
        QString s = QString::fromUtf8(in);
        qz::AddTrailingBackslash(s);
        EXPECT_EQ(s, QString::fromUtf8(out)) << in;
    }
    QString s = QStringLiteral("C:\\Temp\\\\");
    qz::RemoveTrailingBackslash(s);
    EXPECT_EQ(s, QStringLiteral("C:\\Temp\\"));
    qz::RemoveTrailingBackslash(s);
    EXPECT_EQ(s, QStringLiteral("C:\\Temp"));
    qz::RemoveTrailingBackslash(s);
    EXPECT_EQ(s, QStringLiteral("C:\\Temp"));
    s.clear();
    qz::RemoveTrailingBackslash(s);
    EXPECT_EQ(s, QString());
}

TEST(IsDirectoryWritable, CreatesAndRemovesItsProbe) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString probe = tmp.path() + QStringLiteral("/$~test~$.$$$");
    EXPECT_TRUE(qz::IsDirectoryWritable(tmp.path()));
    EXPECT_TRUE(qz::IsDirectoryWritable(tmp.path() + u'/'));
    EXPECT_FALSE(QFileInfo::exists(probe));
    EXPECT_FALSE(qz::IsDirectoryWritable(tmp.path() + QStringLiteral("/missing")));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

TEST(IsDirectoryWritable, ReadOnlyFolderIsNot) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    ASSERT_TRUE(QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(qz::IsDirectoryWritable(tmp.path()));
    QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(DirectoryExistsByFind, FoldersFilesPatternsAndLinks) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.path();
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("subdir")));
    QFile file(root + QStringLiteral("/file.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/subdir"), root + QStringLiteral("/link")));

    EXPECT_TRUE(qz::DirectoryExistsByFind(root));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/subdir")));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/subdir\\")));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/subdir/")));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/link")));
    EXPECT_FALSE(qz::DirectoryExistsByFind(root + QStringLiteral("/file.txt")));
    EXPECT_FALSE(qz::DirectoryExistsByFind(root + QStringLiteral("/missing")));
    EXPECT_FALSE(qz::DirectoryExistsByFind(QString()));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/sub*")));
    EXPECT_TRUE(qz::DirectoryExistsByFind(root + QStringLiteral("/*")));
    EXPECT_FALSE(qz::DirectoryExistsByFind(root + QStringLiteral("/*.txt")));
    EXPECT_FALSE(qz::DirectoryExistsByFind(root + QStringLiteral("/nothing?")));
}

// ---------------------------------------------------------------------------
// Command line

QStringList AllTokens(const QString& line) {
    QStringList tokens;
    const QChar* p = line.constData();
    QString token;
    for (int guard = 0; guard < 100; ++guard) {
        p = qz::NextCommandLineToken(p, token);
        if (token.isEmpty() && p->isNull())
            break;
        tokens << token;
    }
    return tokens;
}

struct TokenRow : NamedRow {
    const char* line;
    QStringList tokens;
};

class NextCommandLineTokenTest : public ::testing::TestWithParam<TokenRow> {};

TEST_P(NextCommandLineTokenTest, SplitsLikeTheShell) {
    EXPECT_EQ(AllTokens(QString::fromUtf8(GetParam().line)), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NextCommandLineTokenTest,
    ::testing::Values(TokenRow{"quotedRunThenEmptyPair", " \"a b\"c \"\" d", {"a bc", "d"}},
                      TokenRow{"plainWords", "stakko  -x\tfile", {"stakko", "-x", "file"}},
                      TokenRow{"doubledQuoteInRun", "\"say \"\"hi\"\"\" x", {"say \"hi\"", "x"}},
                      TokenRow{"emptyPairInsideToken", "ab\"\"cd", {"abcd"}},
                      TokenRow{"unterminatedQuote", "\"open run", {"open run"}},
                      TokenRow{"controlCharsAreBlanks",
                               "\x01\x1f"
                               "a\x02"
                               "b",
                               {"a", "b"}},
                      TokenRow{"onlyBlanks", "   ", {}}, TokenRow{"empty", "", {}}),
    RowName());

TEST(NextCommandLineToken, ReturnsPointerBehindTokenCapsAt4096AndAcceptsNull) {
    const QString line = QStringLiteral("ab cd");
    QString token;
    const QChar* next = qz::NextCommandLineToken(line.constData(), token);
    EXPECT_EQ(token, QStringLiteral("ab"));
    EXPECT_EQ(next, line.constData() + 2);

    const QString longLine = QString(5000, u'x') + QStringLiteral(" y");
    next = qz::NextCommandLineToken(longLine.constData(), token);
    EXPECT_EQ(token, QString(4096, u'x'));
    EXPECT_EQ(next, longLine.constData() + 4096);
    next = qz::NextCommandLineToken(next, token);
    EXPECT_EQ(token, QString(904, u'x'));
    next = qz::NextCommandLineToken(next, token);
    EXPECT_EQ(token, QStringLiteral("y"));

    const QString quoted = u'"' + QString(4100, u' ') + u'"';
    next = qz::NextCommandLineToken(quoted.constData(), token);
    EXPECT_EQ(token, QString(4096, u' '));
    EXPECT_EQ(next, quoted.constData() + 4097);

    token = QStringLiteral("old");
    EXPECT_EQ(qz::NextCommandLineToken(nullptr, token), nullptr);
    EXPECT_EQ(token, QString());
}

// ---------------------------------------------------------------------------
// Version dates

struct VersionRow : NamedRow {
    const char* version;
    bool dateOnly;
    const char* text;
};

class VersionToDateTextTest : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionToDateTextTest, BuildDaysAndRevisionSteps) {
    EXPECT_EQ(qz::VersionToDateText(QString::fromUtf8(GetParam().version), GetParam().dateOnly),
              QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionToDateTextTest,
    ::testing::Values(VersionRow{"firstDatedBuild", "1.0.5163.0", true, "19.02.2014"},
                      VersionRow{"lastUndatedBuild", "1.0.5162.0", true, ""},
                      VersionRow{"build5162LateRevisionIsDated", "1.0.5162.43199", false,
                                 "18.02.2014 23:59:58"},
                      VersionRow{"withTime", "1.0.5163.0", false, "19.02.2014 00:00:00"},
                      VersionRow{"revisionSteps", "1.0.5432.100", false, "15.11.2014 00:03:20"},
                      VersionRow{"lastStep", "1.0.5163.43199", false, "19.02.2014 23:59:58"},
                      VersionRow{"revisionPastMidnight", "1.0.5163.43200", true, "20.02.2014"},
                      VersionRow{"twoParts", "5163.0", true, "19.02.2014"},
                      VersionRow{"threePartsReadsMinorAsBuild", "1.5163.0", true, "19.02.2014"},
                      VersionRow{"noDot", "5163", true, ""}, VersionRow{"empty", "", true, ""},
                      VersionRow{"garbage", "a.b.c.d", true, ""},
                      VersionRow{"trailingText", "1.0.6000.7 beta", true, "05.06.2016"}),
    RowName());

} // namespace

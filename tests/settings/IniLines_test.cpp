// INI text as lines: where lines end, and decoding bytes one line at a time.
#include "settings/QZINI.h"

#include "common/TestHelpers.h"
#include "text/TEncoding.h"

#include <functional>

namespace {

struct SplitRow : NamedRow {
    QString text;
    QStringList lines;
};

class ForEachLineTest : public ::testing::TestWithParam<SplitRow> {};

TEST_P(ForEachLineTest, EndsLinesAtCrLfOrBoth) {
    QStringList lines;
    qz::ForEachLine(GetParam().text, [&](QStringView line) { lines << line.toString(); });
    EXPECT_EQ(lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Breaks, ForEachLineTest,
                         ::testing::Values(SplitRow{{"crLf"}, "a\r\nb", {"a", "b"}},
                                           SplitRow{{"lfThenCrIsTwo"}, "a\n\rb", {"a", "", "b"}},
                                           SplitRow{{"twoCr"}, "a\r\rb", {"a", "", "b"}},
                                           SplitRow{{"finalBreakEndsOnly"}, "a\r\n", {"a"}},
                                           SplitRow{{"leadingEmptyLines"}, "\n\na", {"", "", "a"}},
                                           SplitRow{{"loneCr"}, "\r", {""}},
                                           SplitRow{{"empty"}, "", {}}),
                         RowName());

struct DecodeRow : NamedRow {
    QByteArray bytes;
    std::function<qz::TEncoding*()> encoding;
    QStringList lines;
    qint32 lastFailed;
};

class DecodeLinesTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeLinesTest, DecodesEachLineOnItsOwn) {
    const DecodeRow& row = GetParam();
    QStringList lines;
    EXPECT_EQ(qz::DecodeBytesLineByLine(row.bytes, row.encoding(), lines), row.lastFailed);
    EXPECT_EQ(lines, row.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, DecodeLinesTest,
    ::testing::Values(
        DecodeRow{{"utf8MarkSkipped"},
                  "\xEF\xBB\xBF"
                  "a\r\nb",
                  qz::TEncoding::UTF8,
                  {"a", "b"},
                  -1},
        DecodeRow{
            {"badLineInAnsi"}, "ok\n\xE4\n", qz::TEncoding::UTF8, {"ok", QStringLiteral("ä")}, 2},
        DecodeRow{
            {"noEncodingIsAnsi"}, "\xE4\r\n", [] { return nullptr; }, {QStringLiteral("ä")}, -1},
        DecodeRow{{"utf16BigEndian"},
                  Bytes({0xFE, 0xFF, 0, 'a', 0, 0x0D, 0, 0x0A, 0, 'b'}),
                  qz::TEncoding::BigEndianUnicode,
                  {"a", "b"},
                  -1},
        // A byte left over after the last whole unit is not lost.
        DecodeRow{{"utf16OddByteKept"},
                  Bytes({0xFF, 0xFE, 'a', 0, 0x0A, 0, 'b'}),
                  qz::TEncoding::Unicode,
                  {"a", "b"},
                  2},
        DecodeRow{{"empty"}, QByteArray(), qz::TEncoding::UTF8, {}, -1}),
    RowName());

TEST(IniLines, SavedBytesEndEveryLineWithCrLf) {
    EXPECT_EQ(qz::EncodeIniLines({"[S]", "a=1", ""}, nullptr), QByteArray("[S]\r\na=1\r\n\r\n"));
    EXPECT_EQ(qz::EncodeIniLines({QStringLiteral("ä")}, qz::TEncoding::BigEndianUnicode()),
              Bytes({0xFE, 0xFF, 0x00, 0xE4, 0x00, 0x0D, 0x00, 0x0A}));
}

} // namespace

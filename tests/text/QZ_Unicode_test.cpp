#include "text/QZ_Unicd.h"
#include "text/QZ_Unicode.h"
#include "text/TEncoding.h"

#include "common/TestHelpers.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Which rows had their objects when the table was first looked at: taken
// while the test program starts, before any test can free or fill a row,
// so that it holds in whatever order the tests run.
struct StartRows {
    bool first = false;
    bool second = false;
    int others = 0;
};

StartRows TakeStartRows() {
    const auto& rows = qz::CodePageEncodings();
    StartRows start{rows[0].Encoding && rows[0].Encoding->GetCodePage() == 1251,
                    rows[1].Encoding && rows[1].Encoding->GetCodePage() == 1252, 0};
    for (int i = 2; i < qz::CodePageEncodingRowCount; ++i)
        start.others += rows[i].Encoding ? 1 : 0;
    return start;
}

const StartRows startRows = TakeStartRows();

TEST(CodePageEncodings, SixteenRowsFirstTwoReadyOthersOnLookup) {
    const quint32 expected[16] = {1251, 1252, 1250, 1253, 1254, 1255, 1256, 1257,
                                  850,  437,  932,  949,  936,  950,  1031, 1049};
    const auto& rows = qz::CodePageEncodings();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(rows[i].CodePage, expected[i]) << "row " << i + 1;
    EXPECT_TRUE(startRows.first);
    EXPECT_TRUE(startRows.second);
    EXPECT_EQ(startRows.others, 0);

    // 1031 and 1049 stand for 1252 and 1251, with objects of their own.
    (void)qz::EncodingForCodePage(1251); // refilled, should a test have freed them
    (void)qz::EncodingForCodePage(1252);
    qz::TCodePageEncoding* german = qz::EncodingForCodePage(1031);
    ASSERT_TRUE(rows[14].Encoding);
    EXPECT_EQ(german, rows[14].Encoding.get());
    EXPECT_EQ(german->GetCodePage(), 1252u);
    EXPECT_NE(german, rows[1].Encoding.get());
    qz::TCodePageEncoding* russian = qz::EncodingForCodePage(1049);
    EXPECT_EQ(russian->GetCodePage(), 1251u);
    EXPECT_NE(russian, rows[0].Encoding.get());

    // The same object on every lookup.
    EXPECT_EQ(qz::EncodingForCodePage(1031), german);
    EXPECT_EQ(qz::EncodingForCodePage(1250)->GetCodePage(), 1250u);
    EXPECT_EQ(qz::EncodingForCodePage(949)->GetString(Bytes({0xB0, 0xA1})), QStringLiteral("가"));
}

TEST(CodePageEncodings, UnknownPagesFallBackToRowTwo) {
    for (quint16 page : {quint16(0), quint16(1200), quint16(65001), quint16(1258)}) {
        // Looked up first: after FreeCodePageEncodings the lookup refills row 2.
        qz::TCodePageEncoding* found = qz::EncodingForCodePage(page);
        EXPECT_EQ(found, qz::CodePageEncodings()[1].Encoding.get()) << page;
    }
}

TEST(CodePageEncodings, FreeEmptiesEveryRowAndLookupsRefill) {
    (void)qz::EncodingForCodePage(437);
    qz::FreeCodePageEncodings();
    for (const auto& row : qz::CodePageEncodings())
        EXPECT_FALSE(row.Encoding) << row.CodePage;
    // Still never null afterwards.
    qz::TCodePageEncoding* fallback = qz::EncodingForCodePage(7);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->GetCodePage(), 1252u);
    EXPECT_EQ(qz::DecodeWindows1252(Bytes({0x80})), QString(QChar(0x20AC)));
    qz::FreeCodePageEncodings();
    qz::FreeCodePageEncodings(); // a second call finds nothing to free
}

struct NarrowRow : NamedRow {
    QString text;
    QByteArray bytes;
};

class NarrowToAnsiTest : public ::testing::TestWithParam<NarrowRow> {};

TEST_P(NarrowToAnsiTest, OneBytePerCodeUnit) {
    EXPECT_EQ(qz::NarrowToAnsi(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NarrowToAnsiTest,
    ::testing::Values(NarrowRow{"empty", QString(), QByteArray()},
                      NarrowRow{"latin1KeepsValue", QString::fromUtf16(u"a\u00E4\u00FF\u0080\0", 5),
                                Bytes({'a', 0xE4, 0xFF, 0x80, 0})},
                      NarrowRow{"modifierApostrophe", QString(QChar(0x02BC)), Bytes({0xB7})},
                      NarrowRow{"rightQuote", QString(QChar(0x2019)), Bytes({0x92})},
                      NarrowRow{"bullet", QString(QChar(0x2022)), Bytes({0x95})},
                      NarrowRow{"enDash", QString(QChar(0x2013)), Bytes({0x96})},
                      NarrowRow{"ellipsis", QString(QChar(0x2026)), Bytes({0x85})},
                      NarrowRow{"euroIsQuestionMark", QString(QChar(0x20AC)), Bytes({'?'})},
                      NarrowRow{"emDashIsQuestionMark", QString(QChar(0x2014)), Bytes({'?'})},
                      NarrowRow{"surrogatePairGivesTwo", QString::fromUcs4(U"\U0001F600", 1),
                                Bytes({'?', '?'})}),
    RowName());

TEST(SingleByteConversions, DecodeWindows1252VersusWidenLatin1) {
    EXPECT_EQ(qz::DecodeWindows1252(QByteArray()), QString());
    EXPECT_EQ(qz::DecodeWindows1252(Bytes({0x80, 0x81, 'x', 0xE4})),
              QString::fromUtf16(u"\u20AC\u0081x\u00E4"));
    EXPECT_EQ(qz::WidenLatin1(QByteArray()), QString());
    const QString wide = qz::WidenLatin1(Bytes({0x80, 0x00, 0xFF}));
    ASSERT_EQ(wide.size(), 3);
    EXPECT_EQ(wide, QString::fromUtf16(u"\u0080\0\u00FF", 3));
}

// Made before any other static object, so torn down after all of them,
// the encoding units' ends included: the settings object may still write
// its file that late. Anything but the right text ends the process with
// a failure code, which fails the test run.
class LateUser {
public:
    ~LateUser() {
        if (!armed)
            return;
        const bool ok =
            qz::TEncoding::UTF8()->GetString(QByteArray("\xC3\xA4")) == QStringLiteral("ä") &&
            qz::TEncoding::Default()->GetString(QByteArray("\x80")) == QString(QChar(0x20AC)) &&
            qz::EncodingForCodePage(1251)->GetString(QByteArray("\xC6")) == QStringLiteral("Ж") &&
            qz::GetUTF8CEncoding()->GetString(QByteArray("\x1B")) == QStringLiteral("A") &&
            qz::AnsiWesternEncoding()->GetString(QByteArray("\x80")) == QString(QChar(0x20AC));
        if (!ok) {
            std::fputs("encodings unusable at process end\n", stderr);
            std::_Exit(3);
        }
    }
    bool armed = false;
};

__attribute__((init_priority(101))) LateUser lateUser;

TEST(EncodingLifetime, StillUsableAfterTheUnitsEndAtProcessExit) {
    lateUser.armed = true; // checked when the process ends
    // Touch each first here, after lateUser exists, as the program does.
    EXPECT_EQ(qz::TEncoding::UTF8()->GetCodePage(), 65001u);
    EXPECT_EQ(qz::TEncoding::Default()->GetCodePage(), 1252u);
    EXPECT_EQ(qz::EncodingForCodePage(1251)->GetCodePage(), 1251u);
    EXPECT_EQ(qz::GetUTF8CEncoding()->GetCodePage(), 65001u);
    EXPECT_EQ(qz::AnsiWesternEncoding()->GetCodePage(), 1252u);
}

} // namespace

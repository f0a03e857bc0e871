#include "text/EQZError.h"
#include "text/TEncoding.h"

#include "common/TestHelpers.h"

#include <QStringDecoder>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Strict UTF-8 decoding

struct Utf8Row : NamedRow {
    QByteArray bytes;
    int units; // 0 = rejected
    QString text;
};

class StrictUtf8Test : public ::testing::TestWithParam<Utf8Row> {};

TEST_P(StrictUtf8Test, CountsDecodesOrRejectsWhole) {
    const Utf8Row& row = GetParam();
    QByteArray buffer = row.bytes;
    auto* bytes = reinterpret_cast<uchar*>(buffer.data());
    auto* utf8 = qz::TEncoding::UTF8();
    EXPECT_EQ(utf8->GetCharCount(bytes, int(buffer.size())), row.units);
    if (row.units == 0) {
        EXPECT_THROW_MSG((void)utf8->GetString(row.bytes), qz::EQZError, kNoMapping);
        QChar out[16];
        EXPECT_EQ(utf8->GetChars(bytes, int(buffer.size()), out, 16), 0);
    } else {
        EXPECT_EQ(utf8->GetString(row.bytes), row.text);
        EXPECT_EQ(utf8->GetBytes(row.text), row.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StrictUtf8Test,
    ::testing::Values(
        Utf8Row{"ascii", "Hallo", 5, QStringLiteral("Hallo")},
        Utf8Row{"asciiLongerThanBlock", "0123456789abcdefXYZ", 19,
                QStringLiteral("0123456789abcdefXYZ")},
        Utf8Row{"twoByte", Bytes({0xC3, 0x84}), 1, QStringLiteral("Ä")},
        Utf8Row{"threeByte", Bytes({0xE2, 0x82, 0xAC}), 1, QString(QChar(0x20AC))},
        Utf8Row{"fourByteIsPair", Bytes({0xF0, 0x9F, 0x98, 0x80}), 2,
                QString::fromUcs4(U"\U0001F600", 1)},
        Utf8Row{"maxCodePoint", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), 2,
                QString::fromUcs4(U"\U0010FFFF", 1)},
        Utf8Row{"nulInside", QByteArray("a\0b", 3), 3, QString::fromUtf16(u"a\0b", 3)},
        Utf8Row{"truncatedTwoAtEnd", Bytes({'a', 0xC3}), 0, {}},
        Utf8Row{"truncatedThreeAtEnd", Bytes({'a', 'b', 0xE2, 0x82}), 0, {}},
        Utf8Row{"truncatedFourAtEnd", Bytes({0xF0, 0x9F, 0x98}), 0, {}},
        Utf8Row{"badAfterLongAscii", QByteArray("0123456789abcdef\x80", 17), 0, {}},
        Utf8Row{"loneContinuation", Bytes({0x80}), 0, {}},
        Utf8Row{"overlongC0", Bytes({0xC0, 0x80}), 0, {}},
        Utf8Row{"overlongC1", Bytes({0xC1, 0xBF}), 0, {}},
        Utf8Row{"overlongThree", Bytes({0xE0, 0x80, 0x80}), 0, {}},
        Utf8Row{"overlongFour", Bytes({0xF0, 0x8F, 0xBF, 0xBF}), 0, {}},
        Utf8Row{"surrogateHigh", Bytes({0xED, 0xA0, 0x80}), 0, {}},
        Utf8Row{"surrogateLow", Bytes({0xED, 0xBF, 0xBF}), 0, {}},
        Utf8Row{"aboveMax", Bytes({0xF4, 0x90, 0x80, 0x80}), 0, {}},
        Utf8Row{"leadF5", Bytes({0xF5, 0x80, 0x80, 0x80}), 0, {}},
        Utf8Row{"byteFF", Bytes({'a', 0xFF}), 0, {}},
        Utf8Row{"missingContinuation", Bytes({0xC3, 'A'}), 0, {}},
        Utf8Row{"asciiBlocksAroundUmlaut",
                QByteArray(37, 'x') + Bytes({0xC3, 0xA4}) + QByteArray(20, 'y'), 58,
                QString(37, u'x') + u'ä' + QString(20, u'y')},
        Utf8Row{"badByteInSecondBlock",
                QByteArray(17, 'x') + Bytes({0xFF}) + QByteArray(20, 'y'),
                0,
                {}},
        Utf8Row{"truncatedAfterBlocks", QByteArray(32, 'x') + Bytes({0xE2, 0x82}), 0, {}}),
    RowName());

TEST(Utf8Encoding, EmptyAndIdentity) {
    auto* utf8 = qz::TEncoding::UTF8();
    EXPECT_EQ(utf8->GetString(QByteArray()), QString());
    EXPECT_EQ(utf8->GetBytes(QString()), QByteArray());
    EXPECT_EQ(utf8->GetCodePage(), 65001u);
    EXPECT_EQ(utf8->GetPreamble(), Bytes({0xEF, 0xBB, 0xBF}));
}

TEST(Utf8Encoding, LoneSurrogatesAreWrittenAsReplacementCharacter) {
    const QString text = QString(QChar(0xD800)) + u'x' + QChar(0xDC00);
    auto* utf8 = qz::TEncoding::UTF8();
    EXPECT_EQ(utf8->GetByteCount(text.constData(), int(text.size())), 7);
    EXPECT_EQ(utf8->GetBytes(text), Bytes({0xEF, 0xBF, 0xBD, 'x', 0xEF, 0xBF, 0xBD}));
}

TEST(Utf8Encoding, TooSmallBufferReceivesNothing) {
    auto* utf8 = qz::TEncoding::UTF8();
    const QString text = QStringLiteral("Ä");
    uchar bytes[2] = {0x11, 0x22};
    EXPECT_EQ(utf8->GetBytes(text.constData(), 1, bytes, 1), 0);
    EXPECT_EQ(bytes[0], 0x11);

    uchar in[] = {0xC3, 0x84, 'a'};
    QChar out[1] = {QChar(u'z')};
    EXPECT_EQ(utf8->GetChars(in, 3, out, 1), 0);
    EXPECT_EQ(out[0], QChar(u'z'));
}

// A buffer of exactly the decoded size, behind multi-byte text that is
// longer in bytes: the 16-unit steps of the ASCII runs must stay inside it
// (AddressSanitizer sees a step past its end), and a larger buffer keeps
// what lies behind the text.
TEST(Utf8Encoding, DecodesIntoAnExactlySizedBuffer) {
    QByteArray bytes(20, 'a');
    for (int i = 0; i < 6; ++i)
        bytes += "\xE2\x82\xAC"; // euro sign: three bytes, one unit
    const QString expected = QString(20, QLatin1Char('a')) + QString(6, QChar(0x20AC));
    auto* utf8 = qz::TEncoding::UTF8();
    auto* in = reinterpret_cast<uchar*>(bytes.data());
    const int needed = utf8->GetCharCount(in, int(bytes.size()));
    ASSERT_EQ(needed, 26);
    std::vector<QChar> exact(static_cast<size_t>(needed));
    EXPECT_EQ(utf8->GetChars(in, int(bytes.size()), exact.data(), needed), needed);
    EXPECT_EQ(QString(exact.data(), needed), expected);

    std::vector<QChar> larger(size_t(needed) + 16, QChar(u'z'));
    EXPECT_EQ(utf8->GetChars(in, int(bytes.size()), larger.data(), needed + 16), needed);
    EXPECT_EQ(QString(larger.data(), needed), expected);
    EXPECT_EQ(QString(larger.data() + needed, 16), QString(16, QLatin1Char('z')));
}

// ---------------------------------------------------------------------------
// UTF-16

TEST(Utf16Encoding, LittleAndBigEndianBytesCountsAndPreambles) {
    const QString text = QString::fromUcs4(U"A\u00E4\U0001F600", 3);
    auto* le = qz::TEncoding::Unicode();
    auto* be = qz::TEncoding::BigEndianUnicode();
    EXPECT_EQ(le->GetBytes(text), Bytes({0x41, 0, 0xE4, 0, 0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_EQ(be->GetBytes(text), Bytes({0, 0x41, 0, 0xE4, 0xD8, 0x3D, 0xDE, 0x00}));
    EXPECT_EQ(le->GetString(le->GetBytes(text)), text);
    EXPECT_EQ(be->GetString(be->GetBytes(text)), text);
    EXPECT_EQ(le->GetCodePage(), 1200u);
    EXPECT_EQ(be->GetCodePage(), 1201u);
    EXPECT_EQ(le->GetPreamble(), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(be->GetPreamble(), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(le->GetByteCount(text.constData(), 3), 6);
}

TEST(Utf16Encoding, OddLastByteIsDroppedAndSingleByteFails) {
    auto* le = qz::TEncoding::Unicode();
    QByteArray three = Bytes({'a', 0, 'b'});
    EXPECT_EQ(le->GetCharCount(reinterpret_cast<uchar*>(three.data()), 3), 1);
    EXPECT_EQ(le->GetString(three), QStringLiteral("a"));
    EXPECT_THROW_MSG((void)le->GetString(Bytes({'a'})), qz::EQZError, kNoMapping);
    // Lone surrogates pass unchanged: UTF-16 keeps what it is given.
    EXPECT_EQ(le->GetString(Bytes({0x00, 0xD8})), QString(QChar(0xD800)));
}

// ---------------------------------------------------------------------------
// Code pages

struct PageRow : NamedRow {
    quint32 codePage;
    std::vector<int> undefined; // bytes the page leaves undefined
};

class SingleBytePageTest : public ::testing::TestWithParam<PageRow> {};

TEST_P(SingleBytePageTest, AllBytesRoundTrip) {
    qz::TCodePageEncoding enc(GetParam().codePage);
    ASSERT_TRUE(enc.IsSingleByte());
    EXPECT_EQ(enc.GetCodePage(), GetParam().codePage);
    EXPECT_TRUE(enc.GetPreamble().isEmpty());

    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    const QString text = enc.GetString(all);
    ASSERT_EQ(text.size(), 256);

    QByteArray expectedBack = all;
    for (int b : GetParam().undefined) {
        EXPECT_EQ(text[b], QChar(0xFFFD)) << "byte " << b;
        expectedBack[b] = '?';
    }
    for (int b = 0; b < 128; ++b)
        EXPECT_EQ(text[b].unicode(), char16_t(b)) << "ASCII byte " << b;
    EXPECT_EQ(enc.GetBytes(text), expectedBack);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SingleBytePageTest,
    ::testing::Values(PageRow{"cp1250", 1250, {0x81, 0x83, 0x88, 0x90, 0x98}},
                      PageRow{"cp1251", 1251, {0x98}}, PageRow{"cp1252", 1252, {}},
                      PageRow{"cp1253",
                              1253,
                              {0x81, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x9A, 0x9C,
                               0x9D, 0x9E, 0x9F, 0xAA, 0xD2, 0xFF}},
                      PageRow{"cp1254", 1254, {0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}},
                      PageRow{"cp1255", 1255, {0x81, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A,
                                               0x9C, 0x9D, 0x9E, 0x9F, 0xCA, 0xD9, 0xDA, 0xDB,
                                               0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF}},
                      PageRow{"cp1256", 1256, {}},
                      PageRow{
                          "cp1257",
                          1257,
                          {0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5}},
                      PageRow{"cp850", 850, {}}, PageRow{"cp437", 437, {}}),
    RowName());

TEST(CodePageEncoding, BuiltInPagesMatchWindowsIncludingTheirGaps) {
    auto* enc = qz::TEncoding::Default();
    EXPECT_EQ(enc->GetCodePage(), 1252u);
    const QString text = enc->GetString(Bytes({0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xE4}));
    EXPECT_EQ(text, QString::fromUtf16(u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E4"));
    // The built-in tables of the two pages every program makes at its start
    // agree with the system converter byte for byte, but for 1251's hole.
    struct BuiltIn {
        quint32 codePage;
        const char* converterName;
        int hole;
    };
    for (const BuiltIn page :
         {BuiltIn{1252, "windows-1252", -1}, BuiltIn{1251, "windows-1251", 0x98}}) {
        qz::TCodePageEncoding builtIn(page.codePage);
        QStringDecoder converter(page.converterName, QStringDecoder::Flag::Stateless);
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const QString expected =
                b == page.hole ? QString(QChar(0xFFFD)) : converter.decode(QByteArrayView(&c, 1));
            ASSERT_EQ(expected.size(), 1);
            EXPECT_EQ(builtIn.GetString(QByteArray(1, c)), expected)
                << page.converterName << " byte " << b;
            if (page.codePage == 1252) {
                EXPECT_EQ(qz::Windows1252Table()[b], expected[0].unicode()) << "byte " << b;
            }
        }
    }
}

TEST(CodePageEncoding, LongTextMixesAsciiRunsAndTableBytes) {
    // Runs of ASCII take a faster path; the bytes around them still go
    // through the table, at every offset within a block.
    QByteArray bytes;
    QString expected;
    for (int run = 0; run < 40; ++run) {
        bytes += QByteArray(run, 'a') + Bytes({0x80, 0xE4});
        expected += QString(run, u'a') + QChar(0x20AC) + u'ä';
    }
    EXPECT_EQ(qz::TEncoding::Default()->GetString(bytes), expected);
    qz::TCodePageEncoding cyr(1251);
    EXPECT_EQ(cyr.GetString(QByteArray(33, 'b') + Bytes({0xC6})), QString(33, u'b') + u'Ж');
}

TEST(CodePageEncoding, UnmappableCharactersBecomeQuestionMarks) {
    auto* enc = qz::TEncoding::Default();
    const QString text = QStringLiteral("a\u4E2D") + QString::fromUcs4(U"\U0001F600", 1) + u'€';
    EXPECT_EQ(enc->GetBytes(text), Bytes({'a', '?', '?', '?', 0x80}));
    qz::TCodePageEncoding cyr(1251);
    EXPECT_EQ(cyr.GetBytes(QStringLiteral("Жä")), Bytes({0xC6, '?'}));
    EXPECT_EQ(cyr.GetString(Bytes({0xC6})), QStringLiteral("Ж"));
}

struct MultiByteRow : NamedRow {
    quint32 codePage;
    QString text;
    QByteArray bytes;
};

class MultiBytePageTest : public ::testing::TestWithParam<MultiByteRow> {};

TEST_P(MultiBytePageTest, EncodesAndDecodesTheWindowsForm) {
    qz::TCodePageEncoding enc(GetParam().codePage);
    EXPECT_FALSE(enc.IsSingleByte());
    EXPECT_EQ(enc.GetBytes(GetParam().text), GetParam().bytes);
    EXPECT_EQ(enc.GetString(GetParam().bytes), GetParam().text);
    // Unmappable: "?" instead of the converter's substitution byte.
    EXPECT_EQ(enc.GetBytes(QString::fromUcs4(U"x\U0001F600y", 3)), QByteArray("x?y"));
    // A lead byte cut off at the end is not swallowed silently.
    QByteArray cut = GetParam().bytes.left(1);
    EXPECT_FALSE(enc.GetString(QByteArray("a") + cut).isEmpty());
    EXPECT_EQ(enc.GetString(QByteArray("a") + cut).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, MultiBytePageTest,
    ::testing::Values(
        MultiByteRow{"cp932", 932, QStringLiteral("日本"), Bytes({0x93, 0xFA, 0x96, 0x7B})},
        MultiByteRow{"cp936", 936, QStringLiteral("中文"), Bytes({0xD6, 0xD0, 0xCE, 0xC4})},
        MultiByteRow{"cp949", 949, QStringLiteral("가"), Bytes({0xB0, 0xA1})},
        MultiByteRow{"cp950", 950, QStringLiteral("中"), Bytes({0xA4, 0xA4})}),
    RowName());

TEST(CodePageEncoding, UnknownPageIsRefused) {
    EXPECT_THROW_MSG(qz::TCodePageEncoding(1234), qz::EQZError,
                     QStringLiteral("Codepage 1234 wird nicht unterstützt"));
    EXPECT_THROW_MSG(qz::TCodePageEncoding(65001), qz::EQZError,
                     QStringLiteral("Codepage 65001 wird nicht unterstützt"));
}

} // namespace

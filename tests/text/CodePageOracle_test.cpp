// The code pages checked against the C library's iconv, an independent
// implementation of the pages' published tables. Every difference that is
// ours by design is listed below with its reason; anything else fails.

#include "common/TestHelpers.h"
#include "text/TEncoding.h"

#include <QStringList>

#include <cerrno>
#include <iconv.h>
#include <optional>
#include <string_view>

namespace {

// One conversion through iconv; nullopt when iconv refuses the input
// (an undefined byte, a cut-off sequence, a character the page lacks).
std::optional<QByteArray> Iconv(const char* to, const char* from, const QByteArray& input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv cannot convert from " << from << " to " << to;
        return std::nullopt;
    }
    QByteArray in = input;
    QByteArray out(input.size() * 8 + 16, Qt::Uninitialized);
    char* inPtr = in.data();
    size_t inLeft = static_cast<size_t>(in.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    // Flush: the Vietnamese and Hebrew pages hold a character back in case
    // a combining mark follows.
    ok = ok && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

std::optional<QString> IconvDecode(const char* page, const QByteArray& bytes) {
    const auto utf8 = Iconv("UTF-8", page, bytes);
    return utf8 ? std::optional<QString>(QString::fromUtf8(*utf8)) : std::nullopt;
}

std::optional<QByteArray> IconvEncode(const char* page, const QString& text) {
    return Iconv(page, "UTF-8", text.toUtf8());
}

struct OraclePage : NamedRow {
    quint32 codePage;
    const char* iconvName;
};

// Where we depart from iconv on purpose: byte, what we give, and why.
struct Deviation {
    quint32 codePage;
    uchar byte;
    char16_t ours;
    const char* reason;
};

constexpr Deviation kDeviations[] = {
    {1252, 0x81, 0x0081, "Windows-1252 keeps its holes as C1 controls, as Windows does"},
    {1252, 0x8D, 0x008D, "Windows-1252 keeps its holes as C1 controls, as Windows does"},
    {1252, 0x8F, 0x008F, "Windows-1252 keeps its holes as C1 controls, as Windows does"},
    {1252, 0x90, 0x0090, "Windows-1252 keeps its holes as C1 controls, as Windows does"},
    {1252, 0x9D, 0x009D, "Windows-1252 keeps its holes as C1 controls, as Windows does"},
};

const Deviation* DeviationFor(quint32 codePage, int byte) {
    for (const auto& d : kDeviations) {
        if (d.codePage == codePage && d.byte == byte)
            return &d;
    }
    return nullptr;
}

class SingleBytePageOracle : public ::testing::TestWithParam<OraclePage> {};

TEST_P(SingleBytePageOracle, EveryByteDecodesAsIconvSaysOrToReplacement) {
    const OraclePage& page = GetParam();
    qz::TCodePageEncoding enc(page.codePage);
    ASSERT_TRUE(enc.IsSingleByte());
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        const QString ours = enc.GetString(byte);
        ASSERT_EQ(ours.size(), 1) << "byte " << b;
        const auto theirs = IconvDecode(page.iconvName, byte);
        if (const Deviation* d = DeviationFor(page.codePage, b)) {
            EXPECT_FALSE(theirs) << "listed deviation no longer needed at byte " << b;
            EXPECT_EQ(ours[0].unicode(), d->ours) << d->reason;
        } else if (!theirs) {
            EXPECT_EQ(ours[0], QChar(0xFFFD)) << "undefined byte " << b;
        } else {
            EXPECT_EQ(ours, *theirs) << "byte " << b;
        }
    }
}

TEST_P(SingleBytePageOracle, EveryCharacterOfTheUpperHalfEncodesAsIconvSays) {
    const OraclePage& page = GetParam();
    qz::TCodePageEncoding enc(page.codePage);
    for (int b = 0x80; b < 256; ++b) {
        const auto character = IconvDecode(page.iconvName, QByteArray(1, static_cast<char>(b)));
        if (!character)
            continue;
        EXPECT_EQ(enc.GetBytes(*character), IconvEncode(page.iconvName, *character).value_or("?"))
            << "character of byte " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SingleBytePageOracle,
    ::testing::Values(OraclePage{"cp1250", 1250, "CP1250"}, OraclePage{"cp1251", 1251, "CP1251"},
                      OraclePage{"cp1252", 1252, "CP1252"}, OraclePage{"cp1253", 1253, "CP1253"},
                      OraclePage{"cp1254", 1254, "CP1254"}, OraclePage{"cp1255", 1255, "CP1255"},
                      OraclePage{"cp1256", 1256, "CP1256"}, OraclePage{"cp1257", 1257, "CP1257"},
                      OraclePage{"cp1258", 1258, "CP1258"}, OraclePage{"cp874", 874, "CP874"},
                      OraclePage{"cp850", 850, "CP850"}, OraclePage{"cp437", 437, "CP437"},
                      OraclePage{"cp866", 866, "CP866"}, OraclePage{"latin1", 28591, "ISO-8859-1"}),
    RowName());

TEST(CodePageOracle, MicroSignLivesAtE6OnPage437) {
    qz::TCodePageEncoding enc(437);
    EXPECT_EQ(enc.GetString(Bytes({0xE6})), QStringLiteral("\u00B5"));
    EXPECT_EQ(enc.GetBytes(QStringLiteral("5 \u00B5m")), Bytes({'5', ' ', 0xE6, 'm'}));
}

struct DoubleBytePage : NamedRow {
    quint32 codePage;
    const char* iconvName;
    QString text;                   // real text in the page's script
    std::string_view loneUndefined; // bytes that are undefined on their own
    char lead;                      // a lead byte, to cut off
};

class DoubleBytePageOracle : public ::testing::TestWithParam<DoubleBytePage> {};

TEST_P(DoubleBytePageOracle, RealTextAgreesWithIconvBothWays) {
    const DoubleBytePage& page = GetParam();
    qz::TCodePageEncoding enc(page.codePage);
    const auto bytes = IconvEncode(page.iconvName, page.text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(enc.GetBytes(page.text), *bytes);
    EXPECT_EQ(enc.GetString(*bytes), page.text);
    EXPECT_EQ(IconvDecode(page.iconvName, *bytes).value_or(QString()), page.text);
}

TEST_P(DoubleBytePageOracle, UndefinedAndCutOffBytesGiveReplacement) {
    const DoubleBytePage& page = GetParam();
    qz::TCodePageEncoding enc(page.codePage);
    for (const char b : page.loneUndefined) {
        const QByteArray bytes = QByteArray("A") + b + "B";
        EXPECT_FALSE(IconvDecode(page.iconvName, bytes)) << "iconv defines byte " << int(uchar(b));
        EXPECT_EQ(enc.GetString(bytes), QStringLiteral("A\uFFFDB")) << "byte " << int(uchar(b));
    }
    EXPECT_EQ(enc.GetString(QByteArray("A") + page.lead), QStringLiteral("A\uFFFD"));
    // A lead byte before a control byte is cut off too; the control stays.
    EXPECT_EQ(enc.GetString(QByteArray("A") + page.lead + "\x1A" + "B"),
              QStringLiteral("A\uFFFD\u001AB"));
}

TEST_P(DoubleBytePageOracle, ControlBytesStayThemselves) {
    qz::TCodePageEncoding enc(GetParam().codePage);
    const QByteArray controls = Bytes({0x1A, 'x', 0x1C, 0x7F, 0x0A});
    EXPECT_EQ(enc.GetString(controls), QString::fromLatin1(controls));
    EXPECT_EQ(enc.GetBytes(QString::fromLatin1(controls)), controls);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DoubleBytePageOracle,
    ::testing::Values(
        DoubleBytePage{"cp932", 932, "CP932",
                       QStringLiteral("日本語の文章、ひらがなとカタカナ。ｶﾀｶﾅ ÷ 全角ＡＢＣ"),
                       "\x80\xA0\xFD\xFE\xFF", '\x81'},
        DoubleBytePage{"cp936", 936, "CP936", QStringLiteral("中文简体字：汉语拼音，欧元€"), "\xFF",
                       '\xB0'},
        DoubleBytePage{"cp949", 949, "CP949", QStringLiteral("한국어 문장입니다. 똠방각하"),
                       "\x80\xFF", '\xB0'},
        DoubleBytePage{"cp950", 950, "CP950", QStringLiteral("繁體中文：臺灣的文字。"), "\xFF",
                       '\xA4'}),
    RowName());

} // namespace

#include "text/QZ_Files.h"

#include "TextFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/QZ_Unicd.h"
#include "text/QZ_Unicode.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>
#include <zlib.h>

namespace {

using namespace textfiles;

// ---------------------------------------------------------------------------
// Deciders

TEST(DefaultDecider, AnswersByKindAndExLooksOnlyAtUnmarkedText) {
    QByteArray utf8 = QByteArray("Gr\xC3\xBC\xC3\x9F"
                                 "e");
    QBuffer stream(&utf8);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    const qz::TDefaultDecider& decider = qz::DefaultDecider();
    EXPECT_EQ(&decider, &qz::DefaultDecider());

    for (int k = qz::et_none; k <= qz::et_UTF8C_zip; ++k) {
        const auto kind = qz::TEncodingType(k);
        const quint32 expected = kind == qz::et_UTF8C ? 2 : kind == qz::et_UTF8C_zip ? 3 : 0;
        stream.seek(3);
        EXPECT_EQ(decider.AnsiDecider(stream, kind), expected) << "kind " << k;
        EXPECT_EQ(stream.pos(), 3);
        if (kind != qz::et_none) {
            EXPECT_EQ(decider.AnsiDeciderEx(stream, kind), expected) << "kind " << k;
            EXPECT_EQ(stream.pos(), 3) << "kind " << k;
        }
    }

    // Unmarked text: Ex recognises UTF-8 from the content, plain Ansi never.
    EXPECT_EQ(decider.AnsiDecider(stream, qz::et_none), 0u);
    EXPECT_EQ(decider.AnsiDeciderEx(stream, qz::et_none), 65001u);
    QByteArray ansi("Gr\xFC\xDF"
                    "e");
    QBuffer ansiStream(&ansi);
    ASSERT_TRUE(ansiStream.open(QIODevice::ReadOnly));
    EXPECT_EQ(decider.AnsiDeciderEx(ansiStream, qz::et_none), 0u);
    QBuffer empty;
    ASSERT_TRUE(empty.open(QIODevice::ReadOnly));
    EXPECT_EQ(decider.AnsiDeciderEx(empty, qz::et_none), 0u);

    // The bound forms call the same methods.
    EXPECT_EQ(qz::AnsiDeciderOf(decider)(stream, qz::et_UTF8C_zip), 3u);
    EXPECT_EQ(qz::AnsiDeciderExOf(decider)(stream, qz::et_none), 65001u);
    EXPECT_EQ(qz::AnsiDeciderOf(decider)(stream, qz::et_none), 0u);
}

TEST(DetectUtf8OrAnsi, SharedNoBomEncodingOrTheSystemCodePage) {
    QByteArray utf8("\xC3\xA4");
    QBuffer a(&utf8);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    const qz::TUtf8OrAnsi u = qz::DetectUtf8OrAnsi(a);
    EXPECT_EQ(u.Kind, qz::et_UTF8noBom);
    EXPECT_EQ(u.Encoding, qz::GetUTF8NoBomEncoding());

    QByteArray ansi("\xE4");
    QBuffer b(&ansi);
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const qz::TUtf8OrAnsi w = qz::DetectUtf8OrAnsi(b);
    EXPECT_EQ(w.Kind, qz::et_ANSI);
    EXPECT_EQ(w.Encoding, qz::TEncoding::Default());
}

// ---------------------------------------------------------------------------
// LoadTextFile over every kind

enum class Decider { None, Ansi, AnsiEx, Answer };

struct LoadRow : NamedRow {
    QByteArray file;
    Decider decider;
    quint32 answer; // for Decider::Answer
    qz::TEncodingType kind;
    QString text;  // expected text when `error` is empty
    QString error; // expected message; "%1" stands for the file's path
};

qz::TEncodingDecider MakeDecider(const LoadRow& row) {
    switch (row.decider) {
    case Decider::None:
        return {};
    case Decider::Ansi:
        return qz::AnsiDeciderOf(qz::DefaultDecider());
    case Decider::AnsiEx:
        return qz::AnsiDeciderExOf(qz::DefaultDecider());
    case Decider::Answer:
        break;
    }
    const quint32 answer = row.answer;
    return [answer](QIODevice&, qz::TEncodingType) { return answer; };
}

class LoadTextFileTable : public ::testing::TestWithParam<LoadRow> {};

// Each row is loaded from a file and from the same bytes in memory: both
// give the same kind, text and message.
TEST_P(LoadTextFileTable, KindAndTextOrError) {
    const LoadRow& row = GetParam();
    TempFiles files;
    const QString path = files.Write(row.file);
    const auto check = [&](const char* how, const auto& load) {
        SCOPED_TRACE(how);
        auto kind = qz::et_undetected;
        QString text = QStringLiteral("stale");
        if (row.error.isEmpty()) {
            load(&kind, text);
            EXPECT_EQ(text, row.text);
        } else {
            EXPECT_THROW_MSG(load(&kind, text), qz::EQZError,
                             QString(row.error).replace(QStringLiteral("%1"), path));
            EXPECT_EQ(text, QString()); // nothing half-read is left behind
        }
        EXPECT_EQ(int(kind), int(row.kind)); // stored also when decoding failed
    };
    check("file", [&](qz::TEncodingType* kind, QString& text) {
        qz::LoadTextFile(path, kind, text, MakeDecider(row));
    });
    check("bytes", [&](qz::TEncodingType* kind, QString& text) {
        qz::LoadTextBytes(row.file, path, kind, text, MakeDecider(row));
    });
}

const QString Groesse = QStringLiteral("Größe");
const QByteArray GroesseUtf8 = Groesse.toUtf8();
const QString Refused = QStringLiteral("File ist QZ-C-encoded");
const QString Corrupt =
    QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind beschädigt (incorrect header "
                   "check).");
const QString Truncated =
    QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind unvollständig.");

INSTANTIATE_TEST_SUITE_P(
    Kinds, LoadTextFileTable,
    ::testing::Values(
        LoadRow{"emptyFile", {}, Decider::AnsiEx, 0, qz::et_none, {}, {}},
        LoadRow{"utf8Bom",
                Bytes({0xEF, 0xBB, 0xBF}) + GroesseUtf8,
                Decider::None,
                0,
                qz::et_UTF8,
                Groesse,
                {}},
        LoadRow{"utf8SecondBomIsText",
                Bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF}) + "x",
                Decider::None,
                0,
                qz::et_UTF8,
                QStringLiteral("\uFEFFx"),
                {}},
        LoadRow{"utf8BomAlone", Bytes({0xEF, 0xBB, 0xBF}), Decider::None, 0, qz::et_UTF8, {}, {}},
        // Lenient: a malformed byte becomes U+FFFD instead of failing.
        LoadRow{"utf8BomMalformed",
                Bytes({0xEF, 0xBB, 0xBF, 'a', 0xFF, 'b'}),
                Decider::None,
                0,
                qz::et_UTF8,
                QStringLiteral("a\uFFFDb"),
                {}},
        LoadRow{"utf8SectionSign",
                Bytes({0xC2, 0xA7}) + "x",
                Decider::None,
                0,
                qz::et_UTF8,
                QStringLiteral("§x"),
                {}},
        LoadRow{"ansiSectionSign",
                Bytes({0xA7, 0x80, 0xE4}),
                Decider::None,
                0,
                qz::et_ANSI,
                QStringLiteral("§\u0080ä"),
                {}},
        LoadRow{"unmarkedEuro",
                Bytes({0x80}) + "a",
                Decider::None,
                0,
                qz::et_none,
                QStringLiteral("€a"),
                {}},
        LoadRow{"unmarkedUtf8UnderAnsi",
                GroesseUtf8,
                Decider::Ansi,
                0,
                qz::et_none,
                QStringLiteral("GrÃ¶ÃŸe"),
                {}},
        LoadRow{
            "unmarkedUtf8UnderAnsiEx", GroesseUtf8, Decider::AnsiEx, 0, qz::et_none, Groesse, {}},
        LoadRow{"unmarkedAnsiUnderAnsiEx",
                Bytes({'G', 'r', 0xF6, 0xDF, 'e'}),
                Decider::AnsiEx,
                0,
                qz::et_none,
                Groesse,
                {}},
        LoadRow{"utf16leAlone", Bytes({0xFF, 0xFE}), Decider::None, 0, qz::et_UTF16LE, {}, {}},
        LoadRow{"utf16leText",
                Bytes({0xFF, 0xFE, 'A', 0x00, 0xE4, 0x00}),
                Decider::None,
                0,
                qz::et_UTF16LE,
                QStringLiteral("Aä"),
                {}},
        LoadRow{"utf16leOddByte",
                Bytes({0xFF, 0xFE, 0x41}),
                Decider::None,
                0,
                qz::et_UTF16LE,
                {},
                kNoMapping},
        LoadRow{"utf16beText",
                Bytes({0xFE, 0xFF, 0x00, 'A', 0x20, 0xAC}),
                Decider::None,
                0,
                qz::et_UTF16BE,
                QStringLiteral("A€"),
                {}},
        LoadRow{"utf16beOddByte",
                Bytes({0xFE, 0xFF, 0x00}),
                Decider::None,
                0,
                qz::et_UTF16BE,
                {},
                kNoMapping},
        LoadRow{"utf8cNoDecider",
                Utf8cPreamble + XorKey(GroesseUtf8),
                Decider::None,
                0,
                qz::et_UTF8C,
                Groesse,
                {}},
        LoadRow{"utf8cAnsi",
                Utf8cPreamble + XorKey(GroesseUtf8),
                Decider::Ansi,
                0,
                qz::et_UTF8C,
                Groesse,
                {}},
        LoadRow{"utf8cRefused",
                Utf8cPreamble + XorKey(GroesseUtf8),
                Decider::Answer,
                0,
                qz::et_UTF8C,
                Refused,
                {}},
        LoadRow{"utf8cOtherAnswerRefuses",
                Utf8cPreamble + XorKey(GroesseUtf8),
                Decider::Answer,
                65001,
                qz::et_UTF8C,
                Refused,
                {}},
        LoadRow{"utf8cMalformed",
                Utf8cPreamble + XorKey(Bytes({'a', 0xFF})),
                Decider::Ansi,
                0,
                qz::et_UTF8C,
                {},
                kNoMapping},
        // The answer, not the kind, chooses inflating: a plain UTF8C file
        // inflated from byte 8 is no zlib stream.
        LoadRow{"utf8cAnsweredInflate",
                Utf8cPreamble + XorKey("abcdefghij"),
                Decider::Answer,
                3,
                qz::et_UTF8C,
                {},
                Corrupt},
        LoadRow{"utf8cZipNoDecider",
                Signature("DLQZUC") + Deflate(XorKey(GroesseUtf8)),
                Decider::None,
                0,
                qz::et_UTF8C_zip,
                Groesse,
                {}},
        LoadRow{"utf8cZipAnsi",
                Signature("DLQZUC") + Deflate(XorKey(GroesseUtf8)),
                Decider::Ansi,
                0,
                qz::et_UTF8C_zip,
                Groesse,
                {}},
        LoadRow{"utf8cZipRefused",
                Signature("DLQZUC") + Deflate(XorKey(GroesseUtf8)),
                Decider::Answer,
                0,
                qz::et_UTF8C_zip,
                Refused,
                {}},
        LoadRow{"utf8Zip",
                Signature("DLQZU8") + Deflate(GroesseUtf8),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                Groesse,
                {}},
        LoadRow{"utf8ZipBom",
                Signature("DLQZU8") + Deflate(Bytes({0xEF, 0xBB, 0xBF}) + "x"),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                QStringLiteral("x"),
                {}},
        LoadRow{"utf8ZipSecondBomIsText",
                Signature("DLQZU8") + Deflate(Bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF}) + "x"),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                QStringLiteral("\uFEFFx"),
                {}},
        LoadRow{"utf8ZipStopsAtNul",
                Signature("DLQZU8") + Deflate(QByteArray("ab\0cd", 5)),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                QStringLiteral("ab"),
                {}},
        LoadRow{"utf8ZipEmptyContent",
                Signature("DLQZU8") + Deflate({}),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                {},
                {}},
        LoadRow{"utf8ZipTrailingBytesIgnored",
                Signature("DLQZU8") + Deflate("abc") + "trailing",
                Decider::None,
                0,
                qz::et_UTF8_zip,
                QStringLiteral("abc"),
                {}},
        LoadRow{"ansiZipNoDeciderIsWindows1252",
                Signature("DLQZAZ") + Deflate(Bytes({0x80, 0xE4})),
                Decider::None,
                0,
                qz::et_ANSI_zip,
                QStringLiteral("€ä"),
                {}},
        LoadRow{"ansiZipAnsiIsByteForChar",
                Signature("DLQZAZ") + Deflate(Bytes({0x80, 0xE4})),
                Decider::Ansi,
                0,
                qz::et_ANSI_zip,
                QStringLiteral("\u0080ä"),
                {}},
        LoadRow{"ansiZipCyrillic",
                Signature("DLQZAZ") + Deflate(Bytes({0x80, 0xE4})),
                Decider::Answer,
                1251,
                qz::et_ANSI_zip,
                QStringLiteral("Ђд"),
                {}},
        // Code pages beyond 16 bits are unknown ones, not cut to 16 bits.
        LoadRow{"ansiZipCodePageBeyond16Bits",
                Signature("DLQZAZ") + Deflate(Bytes({0x80, 0xE4})),
                Decider::Answer,
                0x10000 + 1251,
                qz::et_ANSI_zip,
                QStringLiteral("€ä"),
                {}},
        LoadRow{"zipCorrupt",
                Signature("DLQZU8") + "not zlib at all",
                Decider::None,
                0,
                qz::et_UTF8_zip,
                {},
                Corrupt},
        LoadRow{"zipTruncated",
                Signature("DLQZU8") + Deflate(Ascii(5000) + GroesseUtf8).left(20),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                {},
                Truncated},
        LoadRow{"zipSignatureOnly",
                Signature("DLQZAZ"),
                Decider::None,
                0,
                qz::et_ANSI_zip,
                {},
                Truncated},
        LoadRow{"zipBadChecksum",
                Signature("DLQZU8") + Deflate("abc").chopped(1) + Bytes({0x00}),
                Decider::None,
                0,
                qz::et_UTF8_zip,
                {},
                QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind beschädigt "
                               "(incorrect data check).")}),
    RowName());

TEST(LoadTextFile, DeciderIsAskedOnlyWhereTheSignatureLeavesAChoice) {
    TempFiles files;
    // kind, size of the device the decider saw, and whether it was a QBuffer
    using Calls = std::vector<std::tuple<int, qint64, bool>>;
    Calls asked;
    const qz::TEncodingDecider recorder = [&asked](QIODevice& fs, qz::TEncodingType kind) {
        asked.emplace_back(int(kind), fs.size(), qobject_cast<QBuffer*>(&fs) != nullptr);
        return quint32(kind == qz::et_UTF8C ? 2 : 0);
    };
    // From a file the decider sees the file; from bytes, a buffer over them.
    const auto askedFor = [&](const QByteArray& bytes) {
        QString text;
        asked.clear();
        qz::LoadTextFile(files.Write(bytes), nullptr, text, recorder);
        Calls fromFile = asked;
        asked.clear();
        qz::LoadTextBytes(bytes, QStringLiteral("x"), nullptr, text, recorder);
        for (auto& call : asked) {
            EXPECT_TRUE(std::get<2>(call));
            std::get<2>(call) = false;
        }
        EXPECT_EQ(asked, fromFile);
        return fromFile;
    };
    EXPECT_EQ(askedFor({}), (Calls{{qz::et_none, 0, false}}));
    EXPECT_EQ(askedFor("abc"), (Calls{{qz::et_none, 3, false}}));
    EXPECT_EQ(askedFor(Utf8cPreamble + XorKey("a")), (Calls{{qz::et_UTF8C, 4, false}}));
    const QByteArray ansiZip = Signature("DLQZAZ") + Deflate("a");
    EXPECT_EQ(askedFor(ansiZip), (Calls{{qz::et_ANSI_zip, ansiZip.size(), false}}));
    EXPECT_EQ(askedFor(Bytes({0xA7})), Calls{});
    EXPECT_EQ(askedFor(Bytes({0xEF, 0xBB, 0xBF})), Calls{});
    EXPECT_EQ(askedFor(Bytes({0xFF, 0xFE})), Calls{});
    EXPECT_EQ(askedFor(Signature("DLQZU8") + Deflate("a")), Calls{});
}

// ---------------------------------------------------------------------------
// The pieces on their own

TEST(ReadFileHeader, FromCurrentPositionZeroFilledEmptyFails) {
    QByteArray data("abcdefghij");
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(qz::ReadFileHeader(buffer),
              (qz::TFileHeader{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}));
    buffer.seek(7);
    EXPECT_EQ(qz::ReadFileHeader(buffer), (qz::TFileHeader{'h', 'i', 'j', 0, 0, 0, 0, 0}));

    QBuffer empty;
    ASSERT_TRUE(empty.open(QIODevice::ReadOnly));
    EXPECT_THROW_MSG((void)qz::ReadFileHeader(empty), qz::EQZError, QStringLiteral("0-Byte-Datei"));
}

TEST(ReadSingleByteText, OffsetAndCodePages) {
    QByteArray data = Bytes({'x', 0x80, 0xC0});
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 1, 0), QStringLiteral("\u0080À"));
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 1, 1252), QStringLiteral("€À"));
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 1, 1251), QStringLiteral("ЂА"));
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 1, 4711), QStringLiteral("€À")); // unknown page
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 3, 1252), QString());
    EXPECT_EQ(qz::ReadSingleByteText(buffer, 9, 1252), QString());
}

// Files are read in blocks of 64 KiB; what the blocks cut must come out as
// a one-piece decoding of the whole file would give it.
TEST(ReadUtf8Text, BlockwiseEqualsOnePieceDecoding) {
    std::mt19937 random(1234);
    const QByteArray pieces[] = {"a",        "\xC3\xA4",     "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                                 "\xE2\x82", "\xF0\x9F",     "\x80",         "\xFF",
                                 "\xC0\x80", "\xED\xA0\x80", "\xEF\xBB\xBF", "\r\n"};
    QByteArray bytes;
    while (bytes.size() < 300 * 1024)
        bytes += pieces[random() % std::size(pieces)];
    // A byte-order mark at the very start is text here, and a sequence cut
    // by the end of the file is a fault.
    bytes = "\xEF\xBB\xBF" + bytes + "\xF0\x9F\x98";
    TempFiles files;
    QFile file(files.Write(bytes));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (qint64 offset : {0, 1, 2, 3}) {
        QStringDecoder onePiece(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                          QStringDecoder::Flag::ConvertInitialBom);
        const QString expected = onePiece.decode(bytes.mid(offset));
        const QString got = qz::ReadUtf8Text(file, offset);
        ASSERT_EQ(got.size(), expected.size()) << "offset " << offset;
        EXPECT_TRUE(got == expected) << "offset " << offset;
    }
    EXPECT_TRUE(qz::ReadUtf8Text(file, 0).startsWith(QChar(0xFEFF)));
    EXPECT_TRUE(qz::ReadUtf8Text(file, 0).endsWith(QChar(0xFFFD)));
}

TEST(ReadSingleByteText, BlockwiseTableEqualsTheEncodingObject) {
    QByteArray bytes;
    for (int round = 0; round < 300; ++round) // 76,800 bytes: more than one block
        for (int b = 0; b < 256; ++b)
            bytes.append(char((b + round) & 0xFF));
    TempFiles files;
    QFile file(files.Write(bytes));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(qz::ReadSingleByteText(file, 5, 1252) ==
                qz::EncodingForCodePage(1252)->GetString(bytes.mid(5)));
    EXPECT_TRUE(qz::ReadSingleByteText(file, 5, 0) == qz::WidenLatin1(bytes.mid(5)));
    EXPECT_TRUE(qz::ReadSingleByteText(file, 0, 1250) ==
                qz::EncodingForCodePage(1250)->GetString(bytes));
    EXPECT_EQ(qz::ReadSingleByteText(file, 0, 1252).size(), bytes.size());
}

// The inflated content grows in 1 MiB steps; the limit holds to the byte.
TEST(InflateAfterSignature, LargeContentAndTheSizeLimit) {
    std::mt19937 random(4711);
    QByteArray noise(3 * 1024 * 1024 + 5, Qt::Uninitialized);
    for (char& c : noise)
        c = char(random() & 0x7F); // barely compressible: several input blocks
    QByteArray file = Signature("DLQZU8") + Deflate(noise);
    QBuffer buffer(&file);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(qz::InflateAfterSignature(buffer), noise);

    const qint64 limit = 1024 * 1024;
    QByteArray exact = Signature("DLQZU8") + Deflate(QByteArray(limit, 'z'));
    QBuffer exactBuffer(&exact);
    ASSERT_TRUE(exactBuffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(qz::InflateAfterSignature(exactBuffer, limit).size(), limit);

    QByteArray over = Signature("DLQZU8") + Deflate(QByteArray(limit + 1, 'z'));
    QBuffer overBuffer(&over);
    ASSERT_TRUE(overBuffer.open(QIODevice::ReadOnly));
    EXPECT_THROW_MSG((void)qz::InflateAfterSignature(overBuffer, limit), qz::EQZError,
                     QStringLiteral("Die Datei \"(Speicher)\" ist entpackt größer als 1 MiB und "
                                    "wird nicht gelesen."));

    QByteArray cut("DLQZ");
    QBuffer cutBuffer(&cut);
    ASSERT_TRUE(cutBuffer.open(QIODevice::ReadOnly));
    EXPECT_THROW_MSG((void)qz::InflateAfterSignature(cutBuffer), qz::EQZError,
                     QStringLiteral("Die komprimierten Daten der Datei \"(Speicher)\" sind "
                                    "unvollständig."));
}

// A few kilobytes on disk that would inflate past the bound. The bound is
// the caller's; the default one is 256 MiB.
TEST(LoadTextFile, DecompressionBombIsRefused) {
    EXPECT_EQ(qz::TTextLimits{}.MaxInflatedBytes, qint64(256) * 1024 * 1024);
    EXPECT_EQ(qz::MaxInflatedSize, qint64(256) * 1024 * 1024);

    constexpr qint64 bound = 1024 * 1024;
    TempFiles files;
    const QByteArray bomb = Signature("DLQZU8") + Deflate(QByteArray(bound + 1, 'a'));
    ASSERT_LT(bomb.size(), 4 * 1024);
    const QString path = files.Write(bomb, QStringLiteral("bomb.ini"));
    const qz::TTextLimits limits{.MaxInflatedBytes = bound};
    const QString refused =
        QStringLiteral("Die Datei \"%1\" ist entpackt größer als 1 MiB und wird nicht gelesen.")
            .arg(path);

    auto kind = qz::et_none;
    QString text = QStringLiteral("stale");
    EXPECT_THROW_MSG(qz::LoadTextFile(path, &kind, text, {}, limits), qz::EQZError, refused);
    EXPECT_EQ(kind, qz::et_UTF8_zip);
    EXPECT_EQ(text, QString());
    kind = qz::et_none;
    EXPECT_THROW_MSG(qz::LoadTextBytes(bomb, path, &kind, text, {}, limits), qz::EQZError, refused);
    EXPECT_EQ(kind, qz::et_UTF8_zip);

    // One byte less fits, for every compressed kind.
    const QByteArray fits = Signature("DLQZU8") + Deflate(QByteArray(bound, 'a'));
    qz::LoadTextBytes(fits, path, &kind, text, {}, limits);
    EXPECT_EQ(text.size(), bound);
    const QByteArray ansiBomb = Signature("DLQZAZ") + Deflate(QByteArray(bound + 1, 'a'));
    EXPECT_THROW_MSG(qz::LoadTextBytes(ansiBomb, path, &kind, text, {}, limits), qz::EQZError,
                     refused);
    const QByteArray utf8cBomb = Signature("DLQZUC") + Deflate(QByteArray(bound + 1, 'a'));
    EXPECT_THROW_MSG(qz::LoadTextBytes(utf8cBomb, path, &kind, text, {}, limits), qz::EQZError,
                     refused);
}

// ---------------------------------------------------------------------------
// Compressed UTF-8 larger than the loader's decoding blocks

struct ZipBlockRow : NamedRow {
    QByteArray content;
};

class ZipBlockTest : public ::testing::TestWithParam<ZipBlockRow> {};

// The inflated bytes are decoded in 64 KiB blocks inside the text's own
// buffer: sequences and faults cut by a block end, and contents that need
// the inflater's larger rounds, come out as one decoding of the whole.
TEST_P(ZipBlockTest, DecodesAsOnePieceWould) {
    const QByteArray& content = GetParam().content;
    QString text;
    auto kind = qz::et_none;
    qz::LoadTextBytes(Signature("DLQZU8") + Deflate(content), QStringLiteral("big.txt"), &kind,
                      text, {});
    EXPECT_EQ(kind, qz::et_UTF8_zip);
    const QString expected = QString::fromUtf8(content);
    ASSERT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected);
}

QByteArray RepeatedTo(const QByteArray& piece, qsizetype size) {
    QByteArray out;
    while (out.size() < size)
        out += piece;
    return out.first(size);
}

// Seven-bit noise with an umlaut now and then: barely compressible.
QByteArray Noise(qsizetype size) {
    std::mt19937 random(815);
    QByteArray out;
    while (out.size() < size)
        out +=
            random() % 64 == 0 ? QByteArray("\xC3\xBC") : QByteArray(1, char(1 + random() % 127));
    return out;
}

// A byte that breaks the sequence at every place around the first block end.
QByteArray FaultsAroundBlockEnd() {
    QByteArray out = RepeatedTo("\xE2\x82\xAC", 3 * 65536);
    for (qsizetype at = 65536 - 4; at < 65536 + 4; at += 3)
        out[at] = '\xFF';
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ZipBlockTest,
    ::testing::Values(
        ZipBlockRow{{"threeByteCharsCutAtBlockEnds"},
                    RepeatedTo("\xE2\x82\xAC"
                               "ab"
                               "\xC3\xA4",
                               400'001)},
        ZipBlockRow{{"fourByteCharsCutAtEveryBlockEnd"},
                    RepeatedTo("\xF0\x9F\x98\x80"
                               "b",
                               300'007)},
        ZipBlockRow{{"faultsAroundTheFirstBlockEnd"}, FaultsAroundBlockEnd()},
        ZipBlockRow{{"cutSequenceAtTheVeryEnd"}, RepeatedTo("x", 65536) + "\xE2\x82"},
        // Packs far tighter than the first guess of eight to one.
        ZipBlockRow{{"umlautsPackedTightly"}, RepeatedTo("\xC3\xA4", 3 * 1024 * 1024)},
        ZipBlockRow{{"proseOfManyBlocks"}, RepeatedTo("Der Stein f\xC3\xA4llt. ", 1'000'003)},
        // Packs so loosely that the text's buffer is faulted in by another
        // thread while the stream inflates.
        ZipBlockRow{{"noiseLargeEnoughToBeFaultedInAhead"}, Noise(3 * 1024 * 1024)}),
    RowName());

// ---------------------------------------------------------------------------
// Regression files

QString DataFile(const char* name) {
    return QStringLiteral(STAKKO_TEXT_TEST_DATA "/") + QLatin1String(name);
}

TEST(LoadTextFile, StoredFiles) {
    struct Case {
        const char* file;
        qz::TEncodingType kind;
        QString text;
    };
    const QString ini = QStringLiteral("[Spiel]\r\nRekord=1234\r\nName=Jürgen Groß €\r\n");
    const std::vector<Case> cases = {
        {"utf8_bom.ini", qz::et_UTF8, ini},
        {"utf8_bom_no_final_newline.ini", qz::et_UTF8, ini.chopped(2)},
        {"utf16le_bom.ini", qz::et_UTF16LE, ini},
        {"utf16be_bom.ini", qz::et_UTF16BE, ini},
        {"windows1252.ini", qz::et_none, ini},
        {"section_sign_ansi.txt", qz::et_ANSI, QStringLiteral("§ Abschnitt ä\r\n")},
    };
    for (const Case& c : cases) {
        auto kind = qz::et_undetected;
        QString text;
        qz::LoadTextFile(DataFile(c.file), &kind, text, qz::AnsiDeciderOf(qz::DefaultDecider()));
        EXPECT_EQ(int(kind), int(c.kind)) << c.file;
        EXPECT_EQ(text, c.text) << c.file;
        EXPECT_EQ(qz::HasUtf8Bom(DataFile(c.file)), c.kind == qz::et_UTF8) << c.file;
    }
}

} // namespace

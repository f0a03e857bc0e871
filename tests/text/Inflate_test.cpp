// The whole-stream inflater against zlib's streaming one: the same content
// or the same message for every stream, read from a file and from bytes in
// memory.
#include "text/Inflate_p.h"

#include "TextFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/InflateStreaming_p.h"
#include "text/QZ_Files.h"

#include <QBuffer>
#include <QFile>

#include <functional>
#include <iterator>
#include <optional>
#include <random>

namespace {

using namespace textfiles;

constexpr qint64 MiB = 1024 * 1024;

// The content, or the message of the EQZError.
struct TOutcome {
    std::optional<QByteArray> Content;
    QString Error;
    bool operator==(const TOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TOutcome& outcome) {
    if (outcome.Content)
        return os << "content of " << outcome.Content->size() << " bytes";
    return os << "error " << outcome.Error.toStdString();
}

TOutcome Outcome(const std::function<QByteArray()>& inflate) {
    try {
        return {inflate(), {}};
    } catch (const qz::EQZError& e) {
        return {std::nullopt, e.message()};
    }
}

QByteArray Zipped(const QByteArray& stream) {
    return Signature("DLQZU8") + stream;
}

// Text that packs about 1000:1, so that the inflater's first buffer is far
// too small and has to grow several times.
QByteArray Repeated(qint64 size) {
    QByteArray content(size, 'a');
    content[size / 2] = 'b';
    return content;
}

// Words in random order: dynamic codes, matches near and far.
QByteArray Words(int count, unsigned seed) {
    static const char* const words[] = {"Stein ",  "fällt ", "Reihe ", "voll ",  "Punkte ",
                                        "zählen ", "Größe ", "Ebene ", "neu\r\n"};
    std::mt19937 random(seed);
    QByteArray text;
    for (int k = 0; k < count; ++k)
        text += words[random() % std::size(words)];
    return text;
}

const QByteArray Prose = Words(40000, 1);
const QByteArray ProseStream = Deflate(Prose);

QByteArray WithByte(QByteArray bytes, qsizetype at, quint8 value) {
    bytes[at] = char(value);
    return bytes;
}

// The messages, with %1 for the file's name.
QString Damaged(const char* why) {
    return QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind beschädigt (") +
           QLatin1String(why) + QStringLiteral(").");
}
const QString Truncated =
    QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind unvollständig.");
QString TooLarge(qint64 limitMiB) {
    return QStringLiteral("Die Datei \"%1\" ist entpackt größer als ") + QString::number(limitMiB) +
           QStringLiteral(" MiB und wird nicht gelesen.");
}

struct InflateRow : NamedRow {
    QByteArray file;
    qint64 limit;
    // The expected content, or the expected message.
    std::optional<QByteArray> content;
    QString error;
};

class InflateTable : public ::testing::TestWithParam<InflateRow> {};

TEST_P(InflateTable, SameContentOrMessageAsTheStreamingInflater) {
    const InflateRow& row = GetParam();
    TempFiles files;
    const QString path = files.Write(row.file);
    const auto expected = [&](const QString& name) {
        if (row.content)
            return TOutcome{row.content, {}};
        return TOutcome{std::nullopt, row.error.arg(name)};
    };

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(Outcome([&] { return qz::detail::InflateAfterSignature(file, row.limit, path); }),
              expected(path));
    EXPECT_EQ(Outcome([&] { return qz::detail::InflateStreaming(file, row.limit, path); }),
              expected(path));

    QByteArray bytes = row.file;
    QBuffer memory(&bytes);
    ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
    EXPECT_EQ(Outcome([&] { return qz::InflateAfterSignature(memory, row.limit); }),
              expected(QStringLiteral("(Speicher)")));
}

const QByteArray RepeatedContent = Repeated(8 * MiB);
const QByteArray RepeatedStream = Deflate(RepeatedContent);
const qint64 OddLimit = 3 * MiB + 5; // on no step of the growing buffer

INSTANTIATE_TEST_SUITE_P(
    Streams, InflateTable,
    ::testing::Values(
        InflateRow{"prose", Zipped(ProseStream), qz::MaxInflatedSize, Prose, {}},
        InflateRow{"emptyContent", Zipped(Deflate({})), qz::MaxInflatedSize, QByteArray(""), {}},
        InflateRow{"packedThousandToOne",
                   Zipped(RepeatedStream),
                   qz::MaxInflatedSize,
                   RepeatedContent,
                   {}},
        InflateRow{"exactlyTheLimit",
                   Zipped(Deflate(Repeated(OddLimit))),
                   OddLimit,
                   Repeated(OddLimit),
                   {}},
        InflateRow{"oneBytePastTheLimit", Zipped(Deflate(Repeated(OddLimit + 1))), OddLimit,
                   std::nullopt, TooLarge(OddLimit / MiB)},
        InflateRow{"limitZeroEmptyContent", Zipped(Deflate({})), 0, QByteArray(""), {}},
        InflateRow{"limitZero", Zipped(Deflate("a")), 0, std::nullopt, TooLarge(0)},
        InflateRow{"pastTheLimitThenCut", Zipped(RepeatedStream.first(RepeatedStream.size() / 2)),
                   MiB, std::nullopt, TooLarge(1)},
        InflateRow{"cutInTheMiddle", Zipped(ProseStream.first(ProseStream.size() / 2)),
                   qz::MaxInflatedSize, std::nullopt, Truncated},
        InflateRow{"cutInTheChecksum", Zipped(ProseStream.chopped(2)), qz::MaxInflatedSize,
                   std::nullopt, Truncated},
        InflateRow{"headerOnly", Zipped(ProseStream.first(2)), qz::MaxInflatedSize, std::nullopt,
                   Truncated},
        InflateRow{"notZlib", Zipped("not zlib at all"), qz::MaxInflatedSize, std::nullopt,
                   Damaged("incorrect header check")},
        InflateRow{"presetDictionary", Zipped(Bytes({0x78, 0xBB, 0, 0, 0, 1, 0x03, 0x00})),
                   qz::MaxInflatedSize, std::nullopt, Damaged("zlib-Fehler 2")},
        InflateRow{"badBlockType", Zipped(Bytes({0x78, 0x9C, 0x07, 0, 0, 0, 0})),
                   qz::MaxInflatedSize, std::nullopt, Damaged("invalid block type")},
        InflateRow{"distanceTooFarBack",
                   Zipped(Bytes({0x78, 0x9C, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01})),
                   qz::MaxInflatedSize, std::nullopt, Damaged("invalid distance too far back")},
        InflateRow{"badChecksum",
                   Zipped(WithByte(ProseStream, ProseStream.size() - 1,
                                   quint8(ProseStream.back()) ^ 0x01)),
                   qz::MaxInflatedSize, std::nullopt, Damaged("incorrect data check")},
        InflateRow{"bytesAfterTheStream",
                   Zipped(ProseStream + "trailing bytes"),
                   qz::MaxInflatedSize,
                   Prose,
                   {}},
        InflateRow{"secondStreamIsIgnored",
                   Zipped(ProseStream + Deflate("more")),
                   qz::MaxInflatedSize,
                   Prose,
                   {}}),
    RowName());

// A corrupted byte anywhere in the stream gives what zlib's inflater gives.
TEST(InflateAfterSignature, EveryFlippedByteAsTheStreamingInflater) {
    const QByteArray stream = Deflate(Words(1000, 2));
    const QString name = QStringLiteral("x.txt");
    for (qsizetype at = 0; at < stream.size(); ++at) {
        QByteArray bytes = Zipped(WithByte(stream, at, quint8(stream[at]) ^ 0x5A));
        QBuffer memory(&bytes);
        ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
        EXPECT_EQ(Outcome([&] { return qz::detail::InflateAfterSignature(memory, MiB, name); }),
                  Outcome([&] { return qz::detail::InflateStreaming(memory, MiB, name); }))
            << "byte " << at;
    }
}

// Length symbols 286 and 287 never occur in a deflate stream. zlib calls
// them damaged, libdeflate reads them as length 258; no compressor writes
// them, so the fast path is let be rather than checked after each stream.
TEST(InflateAfterSignature, ReservedLengthSymbolIsReadAsTheLongestMatch) {
    // Fixed codes: 'a', then symbol 286 with distance 1, then the end.
    QByteArray bytes = Zipped(Bytes({0x78, 0x9C, 0x4B, 0x1C, 0x03, 0x00, 0xD9, 0xA8, 0x62, 0x24}));
    QBuffer memory(&bytes);
    ASSERT_TRUE(memory.open(QIODevice::ReadOnly));
    const QString name = QStringLiteral("x.txt");
    EXPECT_EQ(Outcome([&] { return qz::detail::InflateAfterSignature(memory, MiB, name); }),
              (TOutcome{QByteArray(259, 'a'), {}}));
    EXPECT_EQ(Outcome([&] { return qz::detail::InflateStreaming(memory, MiB, name); }),
              (TOutcome{std::nullopt, Damaged("invalid literal/length code").arg(name)}));
}

} // namespace

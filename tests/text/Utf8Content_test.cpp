#include "text/QZ_Files.h"

#include "TextFileTestSupport.h"
#include "common/TestHelpers.h"

#include <QBuffer>
#include <QFile>

namespace {

using namespace textfiles;

// ---------------------------------------------------------------------------
// IsUtf8Content

struct Utf8Row : NamedRow {
    QByteArray bytes;
    bool utf8;
};

class IsUtf8ContentTable : public ::testing::TestWithParam<Utf8Row> {};

TEST_P(IsUtf8ContentTable, SameAnswerFromMemoryBufferFileAndEveryBlockCut) {
    const Utf8Row& row = GetParam();
    EXPECT_EQ(qz::IsUtf8Content(row.bytes.constData(), row.bytes.size()), row.utf8);

    QByteArray data = row.bytes;
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(qz::IsUtf8Content(buffer), row.utf8);

    TempFiles files;
    QFile file(files.Write(row.bytes));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    file.seek(file.size()); // the check starts from 0 wherever the file stands
    EXPECT_EQ(qz::IsUtf8Content(file), row.utf8);

    for (qint64 step = 1; step <= 5; ++step) {
        TrickleDevice trickle(row.bytes, step);
        EXPECT_EQ(qz::IsUtf8Content(trickle), row.utf8) << "blocks of " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IsUtf8ContentTable,
    ::testing::Values(
        Utf8Row{"empty", {}, false}, Utf8Row{"oneAscii", "a", true},
        Utf8Row{"nulIsACharacter", Bytes({0x00}), true}, Utf8Row{"longAscii", Ascii(100), true},
        Utf8Row{"umlaut", Bytes({0xC3, 0xA4}), true},
        Utf8Row{"euro", Bytes({0xE2, 0x82, 0xAC}), true},
        Utf8Row{"emoji", Bytes({0xF0, 0x9F, 0x98, 0x80}), true},
        Utf8Row{"lastCodePoint", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), true},
        Utf8Row{"aboveLastCodePoint", Bytes({0xF4, 0x90, 0x80, 0x80}), false},
        Utf8Row{"smallestThreeByte", Bytes({0xE0, 0xA0, 0x80}), true},
        Utf8Row{"overlongThreeByte", Bytes({0xE0, 0x9F, 0xBF}), false},
        Utf8Row{"smallestFourByte", Bytes({0xF0, 0x90, 0x80, 0x80}), true},
        Utf8Row{"overlongFourByte", Bytes({0xF0, 0x8F, 0xBF, 0xBF}), false},
        Utf8Row{"beforeSurrogates", Bytes({0xED, 0x9F, 0xBF}), true},
        Utf8Row{"surrogate", Bytes({0xED, 0xA0, 0x80}), false},
        Utf8Row{"overlongNulC0", Bytes({0xC0, 0x80}), false},
        Utf8Row{"overlongC1", Bytes({0xC1, 0xBF}), false},
        Utf8Row{"strayC0InText", Ascii(20) + Bytes({0xC0}) + Ascii(20), false},
        Utf8Row{"strayC1AtEnd", Ascii(40) + Bytes({0xC1}), false},
        Utf8Row{"F5", Bytes({0xF5, 0x80, 0x80, 0x80}), false},
        Utf8Row{"FEAfterText", Bytes({0xC3, 0xA4}) + Bytes({0xFE}), false},
        Utf8Row{"FFAlone", Bytes({0xFF}), false},
        Utf8Row{"strayContinuation", Ascii(3) + Bytes({0x80}), false},
        Utf8Row{"cutAtEnd", "ab" + Bytes({0xE2, 0x82}), false},
        Utf8Row{"asciiInsteadOfSecond", Bytes({0xC3, 0x28}), false},
        Utf8Row{"asciiInsteadOfThird", Bytes({0xE2, 0x82, 0x28}), false},
        Utf8Row{"asciiInsteadOfFourth", Bytes({0xF0, 0x9F, 0x98, 0x28}), false},
        // Non-ASCII right after the 16-byte steps, and a sequence straddling one.
        Utf8Row{"umlautAfterSixteen", Ascii(16) + Bytes({0xC3, 0xA4}) + Ascii(16), true},
        Utf8Row{"sequenceAcrossStep", Ascii(15) + Bytes({0xE2, 0x82, 0xAC}) + Ascii(16), true},
        Utf8Row{"badAfterLongAscii", Ascii(33) + Bytes({0xE2, 0x28, 0xAC}) + Ascii(16), false}),
    RowName());

TEST(IsUtf8Content, SequenceCutBetweenFileBlocks) {
    // The file path reads 64 KiB blocks; a three-byte sequence at the seam
    // must be joined, and a bad third byte behind the seam still found.
    TempFiles files;
    const QByteArray good = Ascii(64 * 1024 - 1) + Bytes({0xE2, 0x82, 0xAC}) + Ascii(5);
    QFile goodFile(files.Write(good, QStringLiteral("good.txt")));
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(qz::IsUtf8Content(goodFile));

    const QByteArray bad = Ascii(64 * 1024 - 1) + Bytes({0xE2, 0x82, 0x41}) + Ascii(5);
    QFile badFile(files.Write(bad, QStringLiteral("bad.txt")));
    ASSERT_TRUE(badFile.open(QIODevice::ReadOnly));
    EXPECT_FALSE(qz::IsUtf8Content(badFile));

    TrickleDevice trickle(Bytes({0xF0, 0x9F, 0x98, 0x80}), 1);
    EXPECT_TRUE(qz::IsUtf8Content(trickle));
    EXPECT_GE(trickle.reads, 4); // the bytes really came one at a time
}

} // namespace

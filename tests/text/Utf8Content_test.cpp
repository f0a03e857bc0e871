#include "text/QZ_Files.h"
#include "text/utf8/Utf8.h"

#include "TextFileTestSupport.h"
#include "common/TestHelpers.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <random>
#include <vector>

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

// ---------------------------------------------------------------------------
// Each kernel on its own

using qz::detail::TUtf8Kernel;

struct KernelRow : NamedRow {
    TUtf8Kernel kernel;
};

struct KernelCase {
    std::string name;
    QByteArray bytes;
    bool utf8;
};

// Well-formed text of exactly `n` bytes: ASCII only, or characters of
// every length so that the vector checks classify all of it.
QByteArray Filler(int n, bool multiByte) {
    static const char* const characters[] = {"a", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    QByteArray out;
    for (int k = 0; out.size() < n; ++k) {
        const QByteArray c = multiByte ? QByteArray(characters[k % 4]) : QByteArray("a");
        out += out.size() + c.size() <= n ? c : QByteArray("a");
    }
    return out;
}

struct Sequence {
    const char* name;
    QByteArray bytes;
    bool utf8;
};

const std::vector<Sequence>& Sequences() {
    static const std::vector<Sequence> sequences = {
        {"smallestTwo", Bytes({0xC2, 0x80}), true},
        {"largestTwo", Bytes({0xDF, 0xBF}), true},
        {"smallestThree", Bytes({0xE0, 0xA0, 0x80}), true},
        {"euro", Bytes({0xE2, 0x82, 0xAC}), true},
        {"beforeSurrogates", Bytes({0xED, 0x9F, 0xBF}), true},
        {"afterSurrogates", Bytes({0xEE, 0x80, 0x80}), true},
        {"smallestFour", Bytes({0xF0, 0x90, 0x80, 0x80}), true},
        {"lastCodePoint", Bytes({0xF4, 0x8F, 0xBF, 0xBF}), true},
        {"overlongTwoC0", Bytes({0xC0, 0x80}), false},
        {"overlongTwoC1", Bytes({0xC1, 0xBF}), false},
        {"overlongThree", Bytes({0xE0, 0x9F, 0xBF}), false},
        {"overlongFour", Bytes({0xF0, 0x8F, 0xBF, 0xBF}), false},
        {"firstSurrogate", Bytes({0xED, 0xA0, 0x80}), false},
        {"lastSurrogate", Bytes({0xED, 0xBF, 0xBF}), false},
        {"aboveLastCodePoint", Bytes({0xF4, 0x90, 0x80, 0x80}), false},
        {"leadF5", Bytes({0xF5, 0x80, 0x80, 0x80}), false},
        {"byteF8", Bytes({0xF8}), false},
        {"byteFF", Bytes({0xFF}), false},
        {"loneContinuation80", Bytes({0x80}), false},
        {"loneContinuationBF", Bytes({0xBF}), false},
        {"continuationAfterTwo", Bytes({0xC3, 0xA4, 0xA4}), false},
        {"continuationAfterFour", Bytes({0xF0, 0x9F, 0x98, 0x80, 0x80}), false},
        {"leadTwoAlone", Bytes({0xC3}), false},
        {"leadThreeAlone", Bytes({0xE2}), false},
        {"threeShortOfOne", Bytes({0xE2, 0x82}), false},
        {"leadFourAlone", Bytes({0xF0}), false},
        {"fourShortOfOne", Bytes({0xF0, 0x9F, 0x98}), false},
        {"asciiAsSecond", Bytes({0xC3, 0x28}), false},
        {"asciiAsThird", Bytes({0xE2, 0x82, 0x28}), false},
        {"asciiAsFourth", Bytes({0xF0, 0x9F, 0x98, 0x28}), false},
        {"leadAsSecond", Bytes({0xE2, 0xC3, 0xA4}), false},
    };
    return sequences;
}

// Cases whose answer is known: each sequence across the vector seams (16,
// 32 and 64 bytes) and the 128-byte ASCII runs, in ASCII and in text
// that is non-ASCII throughout; each well-formed sequence cut by the end.
std::vector<KernelCase> KnownCases() {
    std::vector<KernelCase> cases = {
        {"empty", {}, false},
        {"bomAlone", Bytes({0xEF, 0xBB, 0xBF}), true},
        {"bomThenText", Bytes({0xEF, 0xBB, 0xBF}) + Filler(200, true), true},
    };
    for (const bool multiByte : {false, true}) {
        const std::string text = multiByte ? "_mixed_" : "_ascii_";
        for (const int seam : {16, 32, 64, 128, 256}) {
            for (int at = seam - 4; at <= seam + 1; ++at) {
                for (const Sequence& s : Sequences()) {
                    cases.push_back({s.name + text + std::to_string(at),
                                     Filler(at, multiByte) + s.bytes + Filler(140, multiByte),
                                     s.utf8});
                }
            }
        }
        for (const int size : {16, 31, 32, 33, 63, 64, 65, 127, 128, 129, 160, 255, 256}) {
            for (const Sequence& s : Sequences()) {
                if (!s.utf8)
                    continue;
                cases.push_back({s.name + text + "endsAt" + std::to_string(size),
                                 Filler(size - int(s.bytes.size()), multiByte) + s.bytes, true});
                for (int kept = 1; kept < s.bytes.size(); ++kept) {
                    cases.push_back({s.name + text + "cutTo" + std::to_string(kept) + "at" +
                                         std::to_string(size),
                                     Filler(size - kept, multiByte) + s.bytes.left(kept), false});
                }
            }
        }
    }
    return cases;
}

// Random text of every length up to 300, well-formed or with one byte
// changed, cut or grown; the portable check gives the answer.
std::vector<KernelCase> RandomCases() {
    std::mt19937 random(20261209);
    std::vector<KernelCase> cases;
    for (int size = 0; size <= 300; ++size) {
        for (int sample = 0; sample < 12; ++sample) {
            QByteArray bytes;
            while (bytes.size() < size) {
                const QByteArray c = Sequences()[random() % 8].bytes; // the well-formed ones
                bytes += random() % 3 == 0 ? c : QByteArray(1, char('a' + random() % 26));
            }
            bytes.truncate(size);
            if (size > 0 && sample % 2 == 1)
                bytes[qsizetype(random() % size)] = char(0x80 + random() % 0x80);
            cases.push_back(
                {"random" + std::to_string(size) + "_" + std::to_string(sample), bytes,
                 qz::detail::IsUtf8ContentWith(TUtf8Kernel::Portable, bytes.constData(),
                                               bytes.size(), qMax<qint64>(1, bytes.size()))});
        }
    }
    return cases;
}

class Utf8KernelTable : public ::testing::TestWithParam<KernelRow> {};

TEST_P(Utf8KernelTable, KnownAnswersAndThePortableAnswerOnRandomText) {
    const TUtf8Kernel kernel = GetParam().kernel;
    if (!qz::detail::Utf8KernelAvailable(kernel)) {
        GTEST_SKIP() << "this processor lacks " << qz::detail::Utf8KernelName(kernel);
    }

    std::vector<KernelCase> cases = KnownCases();
    const std::vector<KernelCase> random = RandomCases();
    const auto wellFormed =
        std::count_if(random.begin(), random.end(), [](const KernelCase& c) { return c.utf8; });
    // Both answers must be common, or the random half would test little.
    ASSERT_GT(wellFormed, qsizetype(random.size()) / 4);
    ASSERT_LT(wellFormed, qsizetype(random.size()) * 3 / 4);
    cases.insert(cases.end(), random.begin(), random.end());

    for (const KernelCase& c : cases) {
        // Whole, and in blocks that cut the vector steps everywhere.
        for (const qint64 block :
             {qMax<qint64>(1, c.bytes.size()), qint64(1), qint64(13), qint64(33)}) {
            EXPECT_EQ(
                qz::detail::IsUtf8ContentWith(kernel, c.bytes.constData(), c.bytes.size(), block),
                c.utf8)
                << c.name << " in blocks of " << block;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, Utf8KernelTable,
                         ::testing::Values(KernelRow{{"portable"}, TUtf8Kernel::Portable},
                                           KernelRow{{"ssse3"}, TUtf8Kernel::Ssse3},
                                           KernelRow{{"avx2"}, TUtf8Kernel::Avx2},
                                           KernelRow{{"avx512"}, TUtf8Kernel::Avx512}),
                         RowName());

// Text made for the decoder's two-byte steps: ASCII and two-byte
// sequences, with one sequence from Sequences() (or one more two-byte
// sequence) put at every position around the boundaries of the 16-, 32-
// and 64-byte steps and of their chunks in the first 270 bytes, followed
// by text long enough for further steps or cut short so that the end
// meets them; also random text of mostly
// two-byte sequences with faults here and there.
std::vector<QByteArray> TwoByteStepInputs() {
    static const char* const fillers[] = {"a", "\xC3\xA4", "a\xC3\xB6", "ab\xC3\x9F"};
    std::vector<QByteArray> inputs;
    for (const char* const filler : fillers) {
        QByteArray text;
        while (text.size() < 300)
            text += filler;
        std::vector<QByteArray> probes = {Bytes({0xC3, 0xBC})};
        for (const Sequence& s : Sequences())
            probes.push_back(s.bytes);
        for (int at = 0; at <= 270; ++at) {
            if (at % 16 > 1 && at % 16 < 11)
                continue; // far from every step boundary

            QByteArray head = text.first(at);
            // Whole characters only before the probe (a lead cut off by
            // `at` is a fault of its own, which the probes cover).
            if (at > 0 && quint8(head.back()) >= 0xC0)
                head.chop(1);
            for (const QByteArray& probe : probes) {
                for (const int tail : {0, 1, 140})
                    inputs.push_back(head + probe + text.first(tail));
            }
        }
    }
    std::mt19937 random(20261210);
    static const char* const pieces[] = {
        "a",    "\xC3\xA4", "\xDF\xBF", "\xC2\x80", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
        "\xC3", "\x80",     "\xC0\x80", "\xFF"};
    for (int sample = 0; sample < 3000; ++sample) {
        QByteArray bytes;
        const int size = int(random() % 520);
        // One piece in `faults` is neither ASCII nor a two-byte sequence.
        const int faults = 1 + int(random() % 200);
        while (bytes.size() < size)
            bytes += pieces[random() % faults == 0 ? 4 + random() % 6 : random() % 4];
        inputs.push_back(bytes);
    }
    return inputs;
}

// Every kernel takes exactly the sequences the portable decoder takes and
// gives the units Qt gives for them, counting, decoding with room for a
// unit per byte and with no more room than the units, and writes nothing
// past that room.
TEST_P(Utf8KernelTable, DecodesWhatThePortableDecoderDecodes) {
    using qz::detail::DecodeWellFormedUtf8With;
    using qz::detail::TUtf8Prefix;
    const TUtf8Kernel kernel = GetParam().kernel;
    if (!qz::detail::Utf8KernelAvailable(kernel)) {
        GTEST_SKIP() << "this processor lacks " << qz::detail::Utf8KernelName(kernel);
    }
    constexpr char16_t Guard = u'\xFFFE';
    constexpr qsizetype GuardSize = 40;
    const std::vector<QByteArray> inputs = TwoByteStepInputs();
    int whole = 0;
    for (const QByteArray& bytes : inputs) {
        const auto* in = reinterpret_cast<const quint8*>(bytes.constData());
        const qsizetype n = bytes.size();
        const TUtf8Prefix expected =
            DecodeWellFormedUtf8With(TUtf8Kernel::Portable, in, n, nullptr, 0);
        const QString expectedText = QString::fromUtf8(bytes.first(expected.Bytes));
        ASSERT_EQ(expected.Units, expectedText.size()) << bytes.toHex().constData();
        whole += expected.Bytes == n ? 1 : 0;

        const TUtf8Prefix counted = DecodeWellFormedUtf8With(kernel, in, n, nullptr, 0);
        EXPECT_EQ(counted.Bytes, expected.Bytes) << "count " << bytes.toHex().constData();
        EXPECT_EQ(counted.Units, expected.Units) << "count " << bytes.toHex().constData();

        for (const qsizetype room : {n, expected.Units, expected.Units + 9}) {
            std::vector<char16_t> out(size_t(room + GuardSize), Guard);
            const TUtf8Prefix decoded = DecodeWellFormedUtf8With(kernel, in, n, out.data(), room);
            const std::string where =
                "room " + std::to_string(room) + " for " + bytes.toHex().toStdString();
            ASSERT_EQ(decoded.Bytes, expected.Bytes) << where;
            ASSERT_EQ(decoded.Units, expected.Units) << where;
            EXPECT_EQ(QStringView(out.data(), decoded.Units), expectedText) << where;
            EXPECT_EQ(std::count(out.begin() + room, out.end(), Guard), GuardSize) << where;
        }
    }
    // Both the whole input and a stop must be common, or half would test little.
    EXPECT_GT(whole, int(inputs.size()) / 5);
    EXPECT_LT(whole, int(inputs.size()) * 4 / 5);
}

TEST(IsUtf8Content, NullPointerWithNoBytesIsNotUtf8) {
    EXPECT_FALSE(qz::IsUtf8Content(nullptr, 0));
}

TEST(IsUtf8Content, RunsTheWidestKernelThisProcessorHas) {
    const TUtf8Kernel best = qz::detail::BestUtf8Kernel();
    EXPECT_TRUE(qz::detail::Utf8KernelAvailable(best));
    for (const TUtf8Kernel kernel : qz::detail::AllUtf8Kernels) {
        if (qz::detail::Utf8KernelAvailable(kernel)) {
            EXPECT_GE(int(best), int(kernel)) << qz::detail::Utf8KernelName(kernel);
        }
    }
}

} // namespace

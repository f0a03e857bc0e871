#include "text/QZ_Defs.h"

#include "common/TestHelpers.h"

#include <string>

namespace {

using qz::TDetectedEncoding;
using qz::TFileHeader;

struct DetectRow : NamedRow {
    TFileHeader header;
    TDetectedEncoding expected;
};

class DetectEncodingTable : public ::testing::TestWithParam<DetectRow> {};

TEST_P(DetectEncodingTable, KindAndDataOffset) {
    const DetectRow& row = GetParam();
    const TDetectedEncoding got = qz::DetectEncoding(row.header);
    EXPECT_EQ(int(got.Kind), int(row.expected.Kind));
    EXPECT_EQ(got.DataOffset, row.expected.DataOffset);
}

// Headers of files shorter than eight bytes arrive padded with 00.
INSTANTIATE_TEST_SUITE_P(
    Headers, DetectEncodingTable,
    ::testing::Values(
        DetectRow{"empty", {}, {qz::et_none, 0}},
        DetectRow{"plainAscii", {'[', 'A', ']', '\r', '\n', 'k', '=', '1'}, {qz::et_none, 0}},
        DetectRow{"utf8Bom", {0xEF, 0xBB, 0xBF, 'a'}, {qz::et_UTF8, 3}},
        DetectRow{"utf8BomAlone", {0xEF, 0xBB, 0xBF}, {qz::et_UTF8, 3}},
        DetectRow{"utf8BomCut", {0xEF, 0xBB}, {qz::et_none, 0}},
        DetectRow{"utf8SectionSign", {0xC2, 0xA7, 'x'}, {qz::et_UTF8, 0}},
        DetectRow{"ansiSectionSign", {0xA7, 0xC2, 0xA7}, {qz::et_ANSI, 0}},
        // A7 wins even before a signature that begins at byte 1.
        DetectRow{"ansiBeforeBom", {0xA7, 0xEF, 0xBB, 0xBF}, {qz::et_ANSI, 0}},
        DetectRow{"utf16be", {0xFE, 0xFF, 0x00, 'a'}, {qz::et_UTF16BE, 2}},
        DetectRow{"utf16leAlone", {0xFF, 0xFE}, {qz::et_UTF16LE, 2}},
        // FF FE 00 00 would be UTF-32 LE elsewhere; here it stays UTF-16.
        DetectRow{"utf16leThenZeros", {0xFF, 0xFE, 0x00, 0x00}, {qz::et_UTF16LE, 2}},
        DetectRow{"utf8cPreamble", {0xB5, 0xE1, 0xE5, 0x3B}, {qz::et_UTF8C, 3}},
        DetectRow{"utf8Zip", {'D', 'L', 'Q', 'Z', 'U', '8', 0x00, 0x01}, {qz::et_UTF8_zip, 8}},
        DetectRow{"utf8cZip", {'D', 'L', 'Q', 'Z', 'U', 'C', 0x00, 0x01}, {qz::et_UTF8C_zip, 8}},
        DetectRow{"ansiZip", {'D', 'L', 'Q', 'Z', 'A', 'Z', 0x00, 0x01}, {qz::et_ANSI_zip, 8}},
        // All eight bytes count for the compressed kinds.
        DetectRow{"zipWrongVersion", {'D', 'L', 'Q', 'Z', 'U', '8', 0x00, 0x02}, {qz::et_none, 0}},
        DetectRow{"zipLowerCase", {'d', 'l', 'q', 'z', 'u', '8', 0x00, 0x01}, {qz::et_none, 0}},
        DetectRow{"zipCut", {'D', 'L', 'Q', 'Z', 'U', '8'}, {qz::et_none, 0}}),
    RowName());

TEST(EncodingSignatures, Utf8cRowIsTheXoredByteOrderMark) {
    const auto& row = qz::EncodingSignatures[4];
    EXPECT_EQ(row.Kind, qz::et_UTF8C);
    EXPECT_EQ(row.Bytes[0], 0xEF ^ qz::UTF8CKey);
    EXPECT_EQ(row.Bytes[1], 0xBB ^ qz::UTF8CKey);
    EXPECT_EQ(row.Bytes[2], 0xBF ^ qz::UTF8CKey);
    // No row may shadow a later one: every signature is detected as itself.
    for (const auto& sig : qz::EncodingSignatures) {
        TFileHeader header{};
        std::copy(sig.Bytes.begin(), sig.Bytes.begin() + sig.Compared, header.begin());
        const TDetectedEncoding got = qz::DetectEncoding(header);
        EXPECT_EQ(int(got.Kind), int(sig.Kind));
        EXPECT_EQ(got.DataOffset, sig.DataOffset);
    }
}

} // namespace

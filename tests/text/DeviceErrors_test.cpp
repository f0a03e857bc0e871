// The I/O error paths of the loader's pieces, on a device that fails.
#include "text/QZ_Files.h"

#include "TextFileTestSupport.h"
#include "common/FailingDevice.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/TEncoding.h"

#include <functional>

namespace {

using namespace textfiles;

const QString ReadError = QStringLiteral("Fehler beim Lesen der Datei \"(Speicher)\" (%1).")
                              .arg(FailingDevice::ErrorText);

struct DeviceErrorRow : NamedRow {
    QByteArray content;
    qint64 goodBytes;
    bool seekFails;
    std::function<void(QIODevice&)> read;
};

class DeviceErrorTable : public ::testing::TestWithParam<DeviceErrorRow> {};

TEST_P(DeviceErrorTable, ReadErrorNamesTheDeviceAndItsError) {
    const DeviceErrorRow& row = GetParam();
    FailingDevice device(row.content, row.goodBytes, row.seekFails);
    EXPECT_THROW_MSG(row.read(device), qz::EQZError, ReadError);
}

// More than one 64 KiB block, so that a read fails after a block decoded.
const QByteArray Large = Ascii(100000);
const QByteArray Zipped = Signature("DLQZU8") + Deflate(Ascii(1000));

INSTANTIATE_TEST_SUITE_P(
    Pieces, DeviceErrorTable,
    ::testing::Values(
        DeviceErrorRow{"headerRead", Large, 0, false,
                       [](QIODevice& d) { (void)qz::ReadFileHeader(d); }},
        DeviceErrorRow{"windows1252AfterABlock", Large, 70000, false,
                       [](QIODevice& d) { (void)qz::ReadSingleByteText(d, 0, 1252); }},
        DeviceErrorRow{"otherCodePageInOnePiece", Large, 10, false,
                       [](QIODevice& d) { (void)qz::ReadSingleByteText(d, 0, 1251); }},
        DeviceErrorRow{"singleByteSeek", Large, Large.size(), true,
                       [](QIODevice& d) { (void)qz::ReadSingleByteText(d, 3, 0); }},
        DeviceErrorRow{"utf8AfterABlock", Large, 70000, false,
                       [](QIODevice& d) { (void)qz::ReadUtf8Text(d, 0); }},
        DeviceErrorRow{"utf8Seek", Large, Large.size(), true,
                       [](QIODevice& d) { (void)qz::ReadUtf8Text(d, 0); }},
        DeviceErrorRow{"utf16", Large, 100, false,
                       [](QIODevice& d) {
                           (void)qz::ReadEncodedText(d, 2, *qz::TEncoding::Unicode(), false);
                       }},
        DeviceErrorRow{"inflateSeek", Zipped, Zipped.size(), true,
                       [](QIODevice& d) { (void)qz::InflateAfterSignature(d); }},
        DeviceErrorRow{"inflateRead", Zipped, 8, false,
                       [](QIODevice& d) { (void)qz::InflateAfterSignature(d); }},
        DeviceErrorRow{"utf8ZipRead", Zipped, 12, false,
                       [](QIODevice& d) { (void)qz::ReadUtf8ZipText(d); }}),
    RowName());

// The content check never throws: what cannot be read is no UTF-8.
TEST(IsUtf8Content, UnreadableDeviceIsNotUtf8) {
    FailingDevice device(Ascii(100), 10);
    EXPECT_FALSE(qz::IsUtf8Content(device));
    EXPECT_EQ(device.FailedReads(), 1);
    FailingDevice ansi(Ascii(100), 0);
    EXPECT_EQ(qz::DetectUtf8OrAnsi(ansi).Kind, qz::et_ANSI);
}

} // namespace

#include "text/EQZError.h"
#include "text/QZ_Defs.h"
#include "text/QZ_Unicd.h"

#include "common/TestHelpers.h"

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

QByteArray Xor(QByteArray b) {
    for (auto& c : b)
        c = static_cast<char>(static_cast<uchar>(c) ^ qz::UTF8CKey);
    return b;
}

TEST(UTF8C, BytesAreUtf8XoredWithTheKeyAndDecodeBack) {
    auto* enc = qz::GetUTF8CEncoding();
    const QString text = QStringLiteral("Größe 5 €");
    const QByteArray expected = Xor(text.toUtf8());
    EXPECT_EQ(enc->GetBytes(text), expected);
    EXPECT_EQ(enc->GetBytes(QStringLiteral("A")), Bytes({0x41 ^ 0x5A}));

    // Decoding works in the caller's buffer and leaves it as it was.
    QByteArray buffer = expected;
    auto* bytes = reinterpret_cast<uchar*>(buffer.data());
    const int count = enc->GetCharCount(bytes, int(buffer.size()));
    EXPECT_EQ(count, text.size());
    EXPECT_EQ(buffer, expected);
    QString out(count, Qt::Uninitialized);
    EXPECT_EQ(enc->GetChars(bytes, int(buffer.size()), out.data(), count), count);
    EXPECT_EQ(out, text);
    EXPECT_EQ(buffer, expected);

    // GetString leaves the caller's array untouched too.
    const QByteArray shared = expected;
    EXPECT_EQ(enc->GetString(shared), text);
    EXPECT_EQ(shared, expected);
}

TEST(UTF8C, MalformedAfterXorYieldsNothing) {
    auto* enc = qz::GetUTF8CEncoding();
    // Plain UTF-8 of "Ä" read as UTF8C: C3 84 XOR 5A = 99 DE, malformed.
    QByteArray plain = QStringLiteral("Ä").toUtf8();
    EXPECT_EQ(enc->GetCharCount(reinterpret_cast<uchar*>(plain.data()), int(plain.size())), 0);
    EXPECT_EQ(plain, QStringLiteral("Ä").toUtf8());
    EXPECT_THROW_MSG((void)enc->GetString(plain), qz::EQZError, kNoMapping);
    // A sequence cut off at the end.
    EXPECT_THROW_MSG((void)enc->GetString(Xor(Bytes({'a', 0xC3}))), qz::EQZError, kNoMapping);
    EXPECT_EQ(enc->GetString(QByteArray()), QString());
}

TEST(UTF8C, DecodeEncodeCIsItsOwnInverseAndIgnoresNonPositiveCounts) {
    uchar data[] = {0x00, 0x5A, 0xFF};
    qz::TUTF8CEncoding::DecodeEncodeC(data, 3);
    EXPECT_EQ(data[0], 0x5A);
    EXPECT_EQ(data[1], 0x00);
    EXPECT_EQ(data[2], 0xA5);
    qz::TUTF8CEncoding::DecodeEncodeC(data, 0);
    qz::TUTF8CEncoding::DecodeEncodeC(data, -5);
    EXPECT_EQ(data[0], 0x5A);
    qz::TUTF8CEncoding::DecodeEncodeC(data, 3);
    EXPECT_EQ(data[0], 0x00);
    EXPECT_EQ(data[2], 0xFF);
}

TEST(UTF8C, EncodingIntoALargerBufferKeepsItsTail) {
    auto* enc = qz::GetUTF8CEncoding();
    const QString text = QStringLiteral("ab");
    uchar buffer[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(enc->GetBytes(text.constData(), 2, buffer, 4), 2);
    EXPECT_EQ(buffer[0], 'a' ^ 0x5A);
    EXPECT_EQ(buffer[1], 'b' ^ 0x5A);
    EXPECT_EQ(buffer[2], 0x33);
    EXPECT_EQ(buffer[3], 0x44);
}

struct IdentityRow : NamedRow {
    qz::TEncoding* (*get)();
    quint32 codePage;
    const char* encodingName;
    QByteArray preamble;
};

class OwnEncodingIdentityTest : public ::testing::TestWithParam<IdentityRow> {};

TEST_P(OwnEncodingIdentityTest, CodePageNameAndPreamble) {
    qz::TEncoding* enc = GetParam().get();
    EXPECT_EQ(enc->GetCodePage(), GetParam().codePage);
    EXPECT_EQ(enc->GetEncodingName(), QString::fromUtf8(GetParam().encodingName));
    EXPECT_EQ(enc->GetPreamble(), GetParam().preamble);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OwnEncodingIdentityTest,
    ::testing::Values(
        IdentityRow{"utf8c", []() -> qz::TEncoding* { return qz::GetUTF8CEncoding(); }, 65001,
                    "UTF8C", Bytes({0xB5, 0xE1, 0xE5})},
        IdentityRow{"utf8NoBom", []() -> qz::TEncoding* { return qz::GetUTF8NoBomEncoding(); },
                    65001, "UTF-8 ohne BOM", QByteArray()},
        IdentityRow{"raw16", []() -> qz::TEncoding* { return qz::GetRAW16Encoding(); }, 1200,
                    "16-Bit (wie intern)", QByteArray()},
        IdentityRow{"russian", []() -> qz::TEncoding* { return qz::AnsiRussianEncoding(); }, 1251,
                    "ANSI (Russian)", QByteArray()},
        IdentityRow{"western", []() -> qz::TEncoding* { return qz::AnsiWesternEncoding(); }, 1252,
                    "ANSI (Western)", QByteArray()}),
    RowName());

TEST(UTF8NoBom, DecodesStrictUtf8) {
    auto* enc = qz::GetUTF8NoBomEncoding();
    EXPECT_EQ(enc->GetString(QStringLiteral("Ärger").toUtf8()), QStringLiteral("Ärger"));
    EXPECT_THROW_MSG((void)enc->GetString(Bytes({0xE4})), qz::EQZError, kNoMapping);
}

TEST(AnsiInstances, DecodeTheirPages) {
    EXPECT_EQ(qz::AnsiRussianEncoding()->GetString(Bytes({0xC6, 0xE8})), QStringLiteral("Жи"));
    EXPECT_EQ(qz::AnsiWesternEncoding()->GetString(Bytes({0x80, 0xE4})), QStringLiteral("€ä"));
}

struct HookCall {
    std::string operation;
    const void* pointer = nullptr;
    qint64 count = -1;
    int calls = 0;
};
HookCall lastHookCall;

void RecordHook(const char* operation, const void* pointer, qint64 count) {
    lastHookCall.operation = operation;
    lastHookCall.pointer = pointer;
    lastHookCall.count = count;
    ++lastHookCall.calls;
}

TEST(RAW16, ConvertsNothingAndReportsToTheHookWhenSet) {
    auto* enc = qz::GetRAW16Encoding();
    const QString text = QStringLiteral("abc");
    uchar bytes[8] = {};
    QChar chars[4];

    lastHookCall = {}; // whatever an earlier test or round recorded
    qz::DiagnosticHook = nullptr;
    EXPECT_EQ(enc->GetBytes(text.constData(), 3, bytes, 8), 0);
    EXPECT_EQ(lastHookCall.calls, 0);

    qz::DiagnosticHook = &RecordHook;
    EXPECT_EQ(enc->GetBytes(text.constData(), 3, bytes, 8), 0);
    EXPECT_EQ(lastHookCall.operation, "TRAW16Encoding.GetBytes");
    EXPECT_EQ(lastHookCall.pointer, text.constData());
    EXPECT_EQ(lastHookCall.count, 3);

    EXPECT_EQ(enc->GetChars(bytes, 6, chars, 4), 0);
    EXPECT_EQ(lastHookCall.operation, "TRAW16Encoding.GetChars");
    EXPECT_EQ(lastHookCall.pointer, bytes);
    EXPECT_EQ(lastHookCall.count, 6);
    EXPECT_EQ(lastHookCall.calls, 2);
    qz::DiagnosticHook = nullptr;

    // The counts are UTF-16's; converting a whole text gives nothing.
    EXPECT_EQ(enc->GetByteCount(text.constData(), 3), 6);
    EXPECT_EQ(enc->GetCharCount(bytes, 7), 3);
    EXPECT_EQ(enc->GetBytes(text), QByteArray());
    EXPECT_THROW_MSG((void)enc->GetString(QByteArray("ab")), qz::EQZError, kNoMapping);
}

TEST(SharedEncodings, SameInstanceUntilFreedFreeTwiceIsHarmless) {
    qz::TUTF8CEncoding* first = qz::GetUTF8CEncoding();
    EXPECT_EQ(qz::GetUTF8CEncoding(), first);
    (void)qz::GetUTF8NoBomEncoding();
    (void)qz::GetRAW16Encoding();
    qz::TEncodingU::FreeEncodings();
    qz::TEncodingU::FreeEncodings(); // the slots are empty now: nothing happens
    // A fresh instance is made on the next call and works.
    EXPECT_EQ(qz::GetUTF8CEncoding()->GetString(Bytes({0x1B})), QStringLiteral("A"));
    qz::TEncodingU::FreeEncodings();
}

TEST(SharedEncodings, ThreadsRacingForASlotAllGetTheOneStoredInstance) {
    constexpr int kThreads = 8;
    for (int round = 0; round < 50; ++round) {
        qz::TEncodingU::FreeEncodings();
        std::atomic<int> ready{0};
        std::vector<const void*> seen(kThreads * 3);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                ready.fetch_add(1);
                while (ready.load() < kThreads) {
                }
                seen[t * 3] = qz::GetUTF8CEncoding();
                seen[t * 3 + 1] = qz::GetUTF8NoBomEncoding();
                seen[t * 3 + 2] = qz::GetRAW16Encoding();
            });
        }
        for (auto& th : threads)
            th.join();
        for (int t = 0; t < kThreads; ++t) {
            EXPECT_EQ(seen[t * 3], qz::GetUTF8CEncoding());
            EXPECT_EQ(seen[t * 3 + 1], qz::GetUTF8NoBomEncoding());
            EXPECT_EQ(seen[t * 3 + 2], qz::GetRAW16Encoding());
        }
    }
    // Losers freed their copies; AddressSanitizer reports any leak at exit.
    qz::TEncodingU::FreeEncodings();
}

} // namespace

#include "text/TEncoding.h"

#include "text/EQZError.h"
#include "text/Widening_p.h"
#include "text/utf8/Utf8.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <climits>
#include <cstring>
#include <string_view>

namespace qz {

namespace {

const QString& NoMappingMessage() {
    static const QString text = QStringLiteral(
        "Keine Zuordnung für Unicode-Zeichen in der Multibyte-Zielcodeseite vorhanden");
    return text;
}

int CheckedSize(qsizetype size) {
    if (size > INT_MAX)
        throw EQZError(QStringLiteral("Text zu groß für die Umwandlung (%1 Einheiten)").arg(size));
    return static_cast<int>(size);
}

// Walks UTF-16 text as code points; a lone surrogate comes out as U+FFFD.
template <typename Visit>
void ForEachCodePoint(const QChar* chars, int charCount, Visit visit) {
    for (int i = 0; i < charCount; ++i) {
        char32_t cp = chars[i].unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < charCount &&
            QChar::isLowSurrogate(chars[i + 1].unicode())) {
            cp = QChar::surrogateToUcs4(chars[i].unicode(), chars[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(cp)) {
            cp = 0xFFFD;
        }
        visit(cp);
    }
}

int Utf8Length(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

constexpr std::array<char16_t, 256> MakeWindows1252Table() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<char16_t>(b);
    constexpr char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int b = 0; b < 32; ++b)
        t[0x80 + b] = high[b];
    return t;
}

constexpr std::array<char16_t, 256> kWindows1252 = MakeWindows1252Table();

// Windows-1251 as published, 98 undefined. Built in like 1252: both pages
// are made when the program starts, and a start should open no converter.
constexpr std::array<char16_t, 256> MakeWindows1251Table() {
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 0x80; ++b)
        t[b] = static_cast<char16_t>(b);
    constexpr char16_t high[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
        0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
        0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
        0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
        0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    for (int b = 0; b < 64; ++b)
        t[0x80 + b] = high[b];
    // C0..FF: the Cyrillic capitals and small letters in alphabetical order.
    for (int b = 0; b < 64; ++b)
        t[0xC0 + b] = static_cast<char16_t>(0x0410 + b);
    return t;
}

constexpr std::array<char16_t, 256> kWindows1251 = MakeWindows1251Table();

const std::array<char16_t, 256>* BuiltInTable(quint32 codePage) {
    switch (codePage) {
    case 1251:
        return &kWindows1251;
    case 1252:
        return &kWindows1252;
    default:
        return nullptr;
    }
}

struct CodePageName {
    quint32 codePage;
    const char* converter;
    bool singleByte;
};

// Qt's converters are ICU's on Debian. "cp949"/"cp950" would open IBM
// tables there, so the Windows names are used throughout.
constexpr CodePageName kCodePageNames[] = {
    {1250, "windows-1250", true}, {1251, "windows-1251", true}, {1252, "windows-1252", true},
    {1253, "windows-1253", true}, {1254, "windows-1254", true}, {1255, "windows-1255", true},
    {1256, "windows-1256", true}, {1257, "windows-1257", true}, {1258, "windows-1258", true},
    {874, "windows-874", true},   {850, "IBM850", true},        {437, "IBM437", true},
    {866, "IBM866", true},        {28591, "ISO-8859-1", true},  {932, "windows-31j", false},
    {936, "windows-936", false},  {949, "windows-949", false},  {950, "windows-950", false},
};

// Bytes that a single-byte page's published table leaves undefined. The
// system converters follow Windows here, which hands such bytes out as C1
// controls, private-use characters or (1253's AA) a Latin-1 letter; we
// decode them to U+FFFD and never write them, as on the double-byte pages.
// Windows-1252 is the exception: its five holes keep the C1 controls of
// the same value, so that every byte of the program's ANSI page reads back
// and writes out unchanged (see kWindows1252).
struct UndefinedBytes {
    quint32 codePage;
    std::string_view bytes;
};

constexpr UndefinedBytes kUndefinedBytes[] = {
    {1250, "\x81\x83\x88\x90\x98"},
    {1251, "\x98"},
    {1253, "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF"},
    {1254, "\x81\x8D\x8E\x8F\x90\x9D\x9E"},
    {1255, "\x81\x8A\x8C\x8D\x8E\x8F\x90\x9A\x9C\x9D\x9E\x9F\xCA\xD9\xDA\xDB\xDC\xDD\xDE"
           "\xDF\xFB\xFC\xFF"},
    {1257, "\x81\x83\x88\x8A\x8C\x90\x98\x9A\x9C\x9F\xA1\xA5"},
    {1258, "\x81\x8A\x8D\x8E\x8F\x90\x9A\x9D\x9E"},
    {874, "\x81\x82\x83\x84\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x98\x99\x9A\x9B\x9C"
          "\x9D\x9E\x9F\xDB\xDC\xDD\xDE\xFC\xFD\xFE\xFF"},
};

// Bytes where the system converter departs from the page's published
// table. IBM's own table for 437 has the Greek mu at E6; the published
// table, and Windows, have the micro sign.
struct ByteMapping {
    quint32 codePage;
    uchar byte;
    char16_t character;
};

constexpr ByteMapping kPublishedMappings[] = {
    {437, 0xE6, 0x00B5},
};

// Single bytes of the double-byte pages that are neither a lead nor a
// trail byte and that the page leaves undefined, but that the converter
// hands out as a private-use character or a C1 control.
constexpr UndefinedBytes kUndefinedLoneBytes[] = {
    {936, "\xFF"},
    {949, "\x80\xFF"},
    {950, "\xFF"},
};

// Control bytes that the 932 converter turns into one another (IBM's
// display rotation of 1A, 1C and 7F). No double-byte page uses them in a
// pair, so they are always taken as themselves.
constexpr bool IsRotatedControl(uchar b) {
    return b == 0x1A || b == 0x1C || b == 0x7F;
}

std::string_view LoneUndefinedBytesOf(quint32 codePage) {
    for (const auto& row : kUndefinedLoneBytes) {
        if (row.codePage == codePage)
            return row.bytes;
    }
    return {};
}

} // namespace

// ---------------------------------------------------------------------------
// TEncoding

QByteArray TEncoding::GetBytes(const QString& text) {
    const int charCount = CheckedSize(text.size());
    const int byteCount = GetByteCount(text.constData(), charCount);
    QByteArray bytes(byteCount, Qt::Uninitialized);
    const int written =
        GetBytes(text.constData(), charCount, reinterpret_cast<uchar*>(bytes.data()), byteCount);
    bytes.truncate(written);
    return bytes;
}

QString TEncoding::GetString(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    const int byteCount = CheckedSize(bytes.size());

    QByteArray copy;
    uchar* buffer;
    if (DecodesInPlace()) {
        copy = QByteArray(bytes.constData(), bytes.size());
        buffer = reinterpret_cast<uchar*>(copy.data());
    } else {
        // Only read: these encodings never write through the pointer.
        buffer = reinterpret_cast<uchar*>(const_cast<char*>(bytes.constData()));
    }

    QString text = DecodeWhole(buffer, byteCount);
    if (text.isEmpty())
        throw EQZError(NoMappingMessage());
    return text;
}

QString TEncoding::DecodeWhole(uchar* bytes, int byteCount) {
    const int charCount = GetCharCount(bytes, byteCount);
    if (charCount <= 0)
        return {};
    QString text(charCount, Qt::Uninitialized);
    const int written = GetChars(bytes, byteCount, text.data(), charCount);
    text.truncate(qMax(written, 0));
    return text;
}

// The standard encodings are never destroyed: objects torn down at
// process end (the settings object writing its file) may still use them.
TEncoding* TEncoding::UTF8() {
    static TEncoding* const instance = new TUTF8Encoding;
    return instance;
}

TEncoding* TEncoding::Unicode() {
    static TEncoding* const instance = new TUnicodeEncoding(false);
    return instance;
}

TEncoding* TEncoding::BigEndianUnicode() {
    static TEncoding* const instance = new TUnicodeEncoding(true);
    return instance;
}

TEncoding* TEncoding::Default() {
    static TEncoding* const instance = new TCodePageEncoding(1252);
    return instance;
}

const std::array<char16_t, 256>& Windows1252Table() {
    return kWindows1252;
}

// ---------------------------------------------------------------------------
// TUTF8Encoding

int TUTF8Encoding::GetByteCount(const QChar* chars, int charCount) {
    qint64 count = 0;
    ForEachCodePoint(chars, charCount, [&](char32_t cp) { count += Utf8Length(cp); });
    return CheckedSize(count);
}

int TUTF8Encoding::GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) {
    if (charCount <= 0)
        return 0;
    // Room for the longest form needs no count first. (Qualified call: a
    // derived class's override must not run here.)
    if (qint64(byteCount) < 3 * qint64(charCount) &&
        TUTF8Encoding::GetByteCount(chars, charCount) > byteCount)
        return 0;
    const uchar* end =
        detail::EncodeUtf8(reinterpret_cast<const char16_t*>(chars), charCount, bytes);
    return static_cast<int>(end - bytes);
}

int TUTF8Encoding::GetCharCount(uchar* bytes, int byteCount) {
    if (byteCount <= 0)
        return 0;
    const qsizetype units = detail::DecodeUtf8Strict(bytes, byteCount, nullptr, 0);
    return units < 0 ? 0 : static_cast<int>(units);
}

int TUTF8Encoding::GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) {
    const int needed = TUTF8Encoding::GetCharCount(bytes, byteCount);
    if (needed == 0 || needed > charCount)
        return 0;
    // Exactly `needed` units of room, so that a larger buffer keeps its tail.
    (void)detail::DecodeUtf8Strict(bytes, byteCount, reinterpret_cast<char16_t*>(chars), needed);
    return needed;
}

QString TUTF8Encoding::DecodeWhole(uchar* bytes, int byteCount) {
    // UTF-16 never needs more code units than UTF-8 has bytes.
    QString text(byteCount, Qt::Uninitialized);
    const qsizetype units = detail::DecodeUtf8Strict(
        bytes, byteCount, reinterpret_cast<char16_t*>(text.data()), byteCount);
    if (units <= 0)
        return {};
    text.truncate(units);
    // Give back the room when much of it went unused (CJK text).
    if (units < byteCount - byteCount / 4)
        text.squeeze();
    return text;
}

QString TUTF8Encoding::GetEncodingName() const {
    return QStringLiteral("Unicode (UTF-8)");
}

QByteArray TUTF8Encoding::GetPreamble() const {
    return QByteArray("\xEF\xBB\xBF", 3);
}

// ---------------------------------------------------------------------------
// TUnicodeEncoding

int TUnicodeEncoding::GetByteCount(const QChar*, int charCount) {
    return charCount <= 0 ? 0 : CheckedSize(qint64(charCount) * 2);
}

int TUnicodeEncoding::GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) {
    if (charCount <= 0 || qint64(charCount) * 2 > byteCount)
        return 0;
    for (int i = 0; i < charCount; ++i) {
        const char16_t u = chars[i].unicode();
        const uchar lo = static_cast<uchar>(u & 0xFF);
        const uchar hi = static_cast<uchar>(u >> 8);
        bytes[2 * i] = FBigEndian ? hi : lo;
        bytes[2 * i + 1] = FBigEndian ? lo : hi;
    }
    return charCount * 2;
}

int TUnicodeEncoding::GetCharCount(uchar*, int byteCount) {
    return byteCount <= 0 ? 0 : byteCount / 2;
}

int TUnicodeEncoding::GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) {
    const int needed = TUnicodeEncoding::GetCharCount(bytes, byteCount);
    if (needed == 0 || needed > charCount)
        return 0;
    for (int i = 0; i < needed; ++i) {
        const uchar a = bytes[2 * i];
        const uchar b = bytes[2 * i + 1];
        chars[i] = QChar(FBigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a));
    }
    return needed;
}

QString TUnicodeEncoding::GetEncodingName() const {
    return FBigEndian ? QStringLiteral("Unicode (Big-Endian)") : QStringLiteral("Unicode");
}

QByteArray TUnicodeEncoding::GetPreamble() const {
    return FBigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
}

// ---------------------------------------------------------------------------
// TCodePageEncoding

struct TCodePageEncoding::SingleByteTables {
    std::array<char16_t, 256> Decode{};
    QHash<char16_t, uchar> Encode; // first byte wins where two bytes share a character
};

TCodePageEncoding::TCodePageEncoding(quint32 codePage) : FCodePage(codePage) {
    const CodePageName* entry = nullptr;
    for (const auto& row : kCodePageNames) {
        if (row.codePage == codePage)
            entry = &row;
    }
    if (!entry)
        throw EQZError(QStringLiteral("Codepage %1 wird nicht unterstützt").arg(codePage));
    FConverterName = entry->converter;
    if (!entry->singleByte) {
        if (!QStringDecoder(FConverterName.constData()).isValid())
            throw EQZError(QStringLiteral("Codepage %1 wird nicht unterstützt").arg(codePage));
        return;
    }

    FSingleByte = std::make_unique<SingleByteTables>();
    if (const auto* table = BuiltInTable(codePage)) {
        FSingleByte->Decode = *table;
    } else {
        // Built once from the converter, byte by byte, so that decoding
        // afterwards is a plain table lookup.
        QStringDecoder decoder(FConverterName.constData(), QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            throw EQZError(QStringLiteral("Codepage %1 wird nicht unterstützt").arg(codePage));
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&c, 1));
            FSingleByte->Decode[b] = s.size() == 1 ? s[0].unicode() : char16_t(0xFFFD);
        }
        // Windows keeps 00..7F as they are on every page here; the IBM
        // tables would swap 1A, 1C and 7F (their display glyph mapping).
        for (int b = 0; b < 0x80; ++b)
            FSingleByte->Decode[b] = static_cast<char16_t>(b);
        for (const auto& row : kPublishedMappings) {
            if (row.codePage == codePage)
                FSingleByte->Decode[row.byte] = row.character;
        }
        for (const auto& row : kUndefinedBytes) {
            if (row.codePage != codePage)
                continue;
            for (const char b : row.bytes)
                FSingleByte->Decode[static_cast<uchar>(b)] = 0xFFFD;
        }
    }
    for (int b = 0; b < 256; ++b) {
        const char16_t u = FSingleByte->Decode[b];
        if (u != 0xFFFD && !FSingleByte->Encode.contains(u))
            FSingleByte->Encode.insert(u, static_cast<uchar>(b));
    }
}

TCodePageEncoding::~TCodePageEncoding() = default;

QByteArray TCodePageEncoding::EncodeMultiByte(const QChar* chars, int charCount) const {
    // One code point at a time, so that a character the page cannot hold
    // becomes "?" instead of the converter's substitution byte.
    QByteArray out;
    out.reserve(qsizetype(charCount) * 2);
    QStringEncoder encoder(FConverterName.constData(), QStringEncoder::Flag::Stateless);
    ForEachCodePoint(chars, charCount, [&](char32_t cp) {
        if (cp < 0x80) {
            out.append(static_cast<char>(cp));
            return;
        }
        const auto units = QChar::fromUcs4(cp);
        encoder.resetState();
        const QByteArray piece = encoder.encode(QStringView(units));
        if (encoder.hasError() || piece.isEmpty() || cp == 0xFFFD)
            out.append('?');
        else
            out.append(piece);
    });
    return out;
}

QString TCodePageEncoding::DecodeMultiByte(const uchar* bytes, int byteCount) const {
    // The converter's faults are mended around it: the rotated control
    // bytes and the page's lone undefined bytes split the input, and the
    // pieces between them go through the converter.
    const std::string_view lone = LoneUndefinedBytesOf(FCodePage);
    QString text;
    text.reserve(byteCount);
    int start = 0;
    for (int i = 0; i <= byteCount; ++i) {
        if (i < byteCount && !IsRotatedControl(bytes[i]) &&
            lone.find(static_cast<char>(bytes[i])) == std::string_view::npos)
            continue;
        text += DecodeConverterPiece(bytes + start, i - start);
        if (i < byteCount)
            text += IsRotatedControl(bytes[i]) ? QChar(bytes[i]) : QChar(0xFFFD);
        start = i + 1;
    }
    return text;
}

QString TCodePageEncoding::DecodeConverterPiece(const uchar* bytes, int byteCount) const {
    if (byteCount == 0)
        return {};
    // The converter keeps a lead byte cut off at the end as pending state
    // and drops it. A line feed behind the input (never a trail byte)
    // forces it out as a replacement character; the line feed goes again.
    QByteArray input(reinterpret_cast<const char*>(bytes), byteCount);
    input.append('\n');
    QStringDecoder decoder(FConverterName.constData(), QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(input);
    if (text.endsWith(u'\n'))
        text.chop(1);
    // 932's converter marks what it cannot decode with 1A instead of
    // U+FFFD; the piece holds no 1A byte of its own (see IsRotatedControl).
    text.replace(QChar(0x1A), QChar(0xFFFD));
    return text;
}

int TCodePageEncoding::GetByteCount(const QChar* chars, int charCount) {
    if (charCount <= 0)
        return 0;
    if (FSingleByte)
        return charCount;
    return CheckedSize(EncodeMultiByte(chars, charCount).size());
}

int TCodePageEncoding::GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) {
    if (charCount <= 0)
        return 0;
    if (FSingleByte) {
        if (charCount > byteCount)
            return 0;
        const auto& encode = FSingleByte->Encode;
        for (int i = 0; i < charCount; ++i) {
            const char16_t u = chars[i].unicode();
            // Every page here keeps ASCII in place.
            if (u < 0x80) {
                bytes[i] = static_cast<uchar>(u);
                continue;
            }
            const auto it = encode.constFind(u);
            bytes[i] = it == encode.constEnd() ? uchar('?') : it.value();
        }
        return charCount;
    }
    const QByteArray encoded = EncodeMultiByte(chars, charCount);
    if (encoded.size() > byteCount)
        return 0;
    std::memcpy(bytes, encoded.constData(), encoded.size());
    return static_cast<int>(encoded.size());
}

int TCodePageEncoding::GetCharCount(uchar* bytes, int byteCount) {
    if (byteCount <= 0)
        return 0;
    if (FSingleByte)
        return byteCount;
    return CheckedSize(DecodeMultiByte(bytes, byteCount).size());
}

int TCodePageEncoding::GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) {
    if (byteCount <= 0)
        return 0;
    if (FSingleByte) {
        if (byteCount > charCount)
            return 0;
        // Every page here keeps ASCII in place, as the widening wants.
        detail::WidenSingleBytes(bytes, byteCount, reinterpret_cast<char16_t*>(chars),
                                 FSingleByte->Decode.data());
        return byteCount;
    }
    const QString text = DecodeMultiByte(bytes, byteCount);
    if (text.size() > charCount)
        return 0;
    std::memcpy(chars, text.constData(), text.size() * sizeof(QChar));
    return static_cast<int>(text.size());
}

QString TCodePageEncoding::GetEncodingName() const {
    return QStringLiteral("Codepage %1").arg(FCodePage);
}

} // namespace qz

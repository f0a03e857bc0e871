#pragma once
// Encoding objects: one object per encoding converts between the program's
// UTF-16 text and bytes, and names its code page and preamble (the bytes
// written before the text of a file). The standard encodings live here;
// the program's own ones (UTF8C, UTF-8 without mark, raw 16-bit) derive
// from them in QZ_Unicd, and the code-page table sits in QZ_Unicode.
//
//   QByteArray b = qz::TEncoding::UTF8()->GetBytes(QStringLiteral("Ä")); // C3 84
//   QString s = qz::TEncoding::Default()->GetString(b);                  // "Ã„"
//
// The counted operations take raw buffers and return counts; a destination
// buffer too small for the whole result receives nothing and gives 0. Byte
// buffers are not const because UTF8C decodes in the caller's buffer.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

namespace qz {

class TEncoding {
public:
    TEncoding() = default;
    virtual ~TEncoding() = default;
    TEncoding(const TEncoding&) = delete;
    TEncoding& operator=(const TEncoding&) = delete;

    // Bytes needed for charCount UTF-16 code units.
    [[nodiscard]] virtual int GetByteCount(const QChar* chars, int charCount) = 0;
    // Encodes into bytes (capacity byteCount); returns the bytes written.
    virtual int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) = 0;
    // UTF-16 code units that byteCount bytes decode to.
    [[nodiscard]] virtual int GetCharCount(uchar* bytes, int byteCount) = 0;
    // Decodes into chars (capacity charCount); returns the code units written.
    virtual int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) = 0;
    [[nodiscard]] virtual quint32 GetCodePage() const = 0;
    [[nodiscard]] virtual QString GetEncodingName() const = 0;
    [[nodiscard]] virtual QByteArray GetPreamble() const = 0;
    // Whether text may be encoded in pieces, cut anywhere but inside a
    // surrogate pair, with the same bytes as in one call; if so, the most
    // bytes one UTF-16 code unit takes, else 0. A class that converts
    // differently from the class it derives from answers for itself.
    [[nodiscard]] virtual int PieceByteBound() const { return 0; }

    // The byte form of text (without preamble).
    //   TEncoding::Unicode()->GetBytes(QStringLiteral("A")) == QByteArray("A\0", 2)
    [[nodiscard]] QByteArray GetBytes(const QString& text);

    // The text that bytes spell. Throws EQZError "Keine Zuordnung für
    // Unicode-Zeichen in der Multibyte-Zielcodeseite vorhanden" when a
    // non-empty byte array yields no characters; empty bytes give "".
    //   TEncoding::UTF8()->GetString("\xC3\x84") == "Ä"
    [[nodiscard]] QString GetString(const QByteArray& bytes);

    // The standard encodings, owned by this module and never freed.
    [[nodiscard]] static TEncoding* UTF8();             // strict, 65001, EF BB BF
    [[nodiscard]] static TEncoding* Unicode();          // UTF-16 LE, 1200, FF FE
    [[nodiscard]] static TEncoding* BigEndianUnicode(); // UTF-16 BE, 1201, FE FF
    // The system ANSI code page. Linux has none; the files this program
    // reads were written on German Windows, so it is Windows-1252.
    [[nodiscard]] static TEncoding* Default();

protected:
    // True for encodings whose decoding writes into the byte buffer it is
    // given; GetString then decodes a private copy of the caller's bytes.
    [[nodiscard]] virtual bool DecodesInPlace() const { return false; }
    // GetString's decoding of a whole non-empty buffer; "" when it yields
    // no characters. The buffer is a private copy when DecodesInPlace().
    // The default counts, then converts.
    [[nodiscard]] virtual QString DecodeWhole(uchar* bytes, int byteCount);
};

// Strict UTF-8 (RFC 3629): any malformed sequence anywhere, including one
// cut off at the end, an overlong form, a surrogate or a value above
// U+10FFFF, makes the whole input decode to no characters at all. Lone
// surrogates in the text are encoded as U+FFFD.
class TUTF8Encoding : public TEncoding {
public:
    int GetByteCount(const QChar* chars, int charCount) override;
    int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) override;
    int GetCharCount(uchar* bytes, int byteCount) override;
    int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) override;
    [[nodiscard]] quint32 GetCodePage() const override { return 65001; }
    [[nodiscard]] QString GetEncodingName() const override;
    [[nodiscard]] QByteArray GetPreamble() const override;
    [[nodiscard]] int PieceByteBound() const override { return 3; }

    using TEncoding::GetBytes;

protected:
    // One pass instead of counting first.
    [[nodiscard]] QString DecodeWhole(uchar* bytes, int byteCount) override;
};

// UTF-16, two bytes per code unit in either byte order. Code units are
// taken as they come (lone surrogates pass); an odd last byte is ignored.
class TUnicodeEncoding : public TEncoding {
public:
    explicit TUnicodeEncoding(bool bigEndian = false) : FBigEndian(bigEndian) {}

    int GetByteCount(const QChar* chars, int charCount) override;
    int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) override;
    int GetCharCount(uchar* bytes, int byteCount) override;
    int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) override;
    [[nodiscard]] quint32 GetCodePage() const override { return FBigEndian ? 1201 : 1200; }
    [[nodiscard]] QString GetEncodingName() const override;
    [[nodiscard]] QByteArray GetPreamble() const override;
    [[nodiscard]] int PieceByteBound() const override { return 2; }

    using TEncoding::GetBytes;

private:
    bool FBigEndian;
};

// A Windows code page. Single-byte pages decode through a 256-entry table;
// the double-byte Asian pages 932, 936, 949 and 950 go through Qt's
// converters. Bytes that a page's published table leaves undefined, and a
// lead byte cut off at the end, give U+FFFD on every page, with one
// exception: Windows-1252 keeps its five holes as C1 controls (see
// Windows1252Table). Characters a page cannot hold are written as "?", as
// Windows does without best fit.
// Throws EQZError "Codepage <n> wird nicht unterstützt" for other pages.
class TCodePageEncoding : public TEncoding {
public:
    explicit TCodePageEncoding(quint32 codePage);
    ~TCodePageEncoding() override;

    int GetByteCount(const QChar* chars, int charCount) override;
    int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) override;
    int GetCharCount(uchar* bytes, int byteCount) override;
    int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) override;
    [[nodiscard]] quint32 GetCodePage() const override { return FCodePage; }
    [[nodiscard]] QString GetEncodingName() const override;
    [[nodiscard]] QByteArray GetPreamble() const override { return {}; }
    // The double-byte pages convert through Qt's converters, whole.
    [[nodiscard]] int PieceByteBound() const override { return IsSingleByte() ? 1 : 0; }

    [[nodiscard]] bool IsSingleByte() const { return FSingleByte != nullptr; }

    using TEncoding::GetBytes;

private:
    struct SingleByteTables;
    [[nodiscard]] QByteArray EncodeMultiByte(const QChar* chars, int charCount) const;
    [[nodiscard]] QString DecodeMultiByte(const uchar* bytes, int byteCount) const;
    [[nodiscard]] QString DecodeConverterPiece(const uchar* bytes, int byteCount) const;

    quint32 FCodePage;
    QByteArray FConverterName; // Qt/ICU converter name
    std::unique_ptr<SingleByteTables> FSingleByte;
};

// The Windows-1252 decoding table, shared by the fast single-byte paths:
// 80..9F hold the typographic characters, 81, 8D, 8F, 90 and 9D map to the
// control characters of the same value as on Windows.
[[nodiscard]] const std::array<char16_t, 256>& Windows1252Table();

} // namespace qz

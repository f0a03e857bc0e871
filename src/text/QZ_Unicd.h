#pragma once
// The program's own encodings and the shared instances through which they
// are used:
//   - UTF8C: UTF-8 with every byte XORed with UTF8CKey (QZ_Defs.h),
//   - UTF-8 without preamble,
//   - raw 16-bit (the in-memory form; converts nothing, see below),
//   - the Russian and Western ANSI pages with their display names.
//
//   QByteArray b = qz::GetUTF8CEncoding()->GetBytes(QStringLiteral("A")); // 1B
//
// The three shared slots are filled on first use from any thread and
// released by TEncodingU::FreeEncodings (also at process end).

#include "text/TEncoding.h"

namespace qz {

class TUTF8CEncoding : public TUTF8Encoding {
public:
    int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) override;
    // Decodes by XORing the caller's buffer in place, running the UTF-8
    // operation, and XORing it back: the buffer is altered while the call
    // runs, so one buffer must not be decoded by two threads at once.
    int GetCharCount(uchar* bytes, int byteCount) override;
    int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) override;
    [[nodiscard]] QString GetEncodingName() const override;
    // EF BB BF, each byte XORed with the key, whatever else is configured.
    [[nodiscard]] QByteArray GetPreamble() const override;

    // XORs byteCount bytes with the key in place; its own inverse.
    // A byteCount of 0 or less does nothing.
    static void DecodeEncodeC(uchar* bytes, int byteCount);

    using TEncoding::GetBytes;

protected:
    [[nodiscard]] bool DecodesInPlace() const override { return true; }
    // The buffer is GetString's private copy: unscrambled, not restored.
    [[nodiscard]] QString DecodeWhole(uchar* bytes, int byteCount) override;
};

class TUTF8NoBomEncoding : public TUTF8Encoding {
public:
    [[nodiscard]] QString GetEncodingName() const override;
    [[nodiscard]] QByteArray GetPreamble() const override { return {}; }
};

// Names the in-memory 16-bit format. It converts nothing: GetBytes and
// GetChars report to DiagnosticHook (when set) and return 0; the counts
// are those of UTF-16 (two bytes per character).
class TRAW16Encoding : public TUnicodeEncoding {
public:
    int GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) override;
    int GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) override;
    [[nodiscard]] QString GetEncodingName() const override;
    [[nodiscard]] QByteArray GetPreamble() const override { return {}; }
    // Each call reports to the hook: the whole text is one call.
    [[nodiscard]] int PieceByteBound() const override { return 0; }

    using TEncoding::GetBytes;
};

class TEncodingAnsiRussian : public TCodePageEncoding {
public:
    TEncodingAnsiRussian() : TCodePageEncoding(1251) {}
    [[nodiscard]] QString GetEncodingName() const override;
};

class TEncodingAnsiWestern : public TCodePageEncoding {
public:
    TEncodingAnsiWestern() : TCodePageEncoding(1252) {}
    [[nodiscard]] QString GetEncodingName() const override;
};

// Holder of the class-level release of the shared encodings; never made.
class TEncodingU : public TEncoding {
public:
    TEncodingU() = delete;
    // For each of the three slots in order: take the instance, empty the
    // slot, free it. A second call finds the slots empty and does nothing.
    static void FreeEncodings();
};

// The shared instances, created on first call. A thread that loses the
// race to fill a slot frees its own copy and returns the winner's.
[[nodiscard]] TUTF8CEncoding* GetUTF8CEncoding();
[[nodiscard]] TUTF8NoBomEncoding* GetUTF8NoBomEncoding();
[[nodiscard]] TRAW16Encoding* GetRAW16Encoding();

// The unit's Russian (1251) and Western (1252) instances, made when the
// program starts and freed at its end.
[[nodiscard]] TEncodingAnsiRussian* AnsiRussianEncoding();
[[nodiscard]] TEncodingAnsiWestern* AnsiWesternEncoding();

} // namespace qz

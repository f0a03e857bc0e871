#pragma once
// Code-page encodings by number, and three small single-byte conversions.
//
//   qz::EncodingForCodePage(1251)->GetString("\xC0") == "А" (Cyrillic A)
//   qz::NarrowToAnsi(QStringLiteral("a…")) == "a\x85"
//
// CodePageEncodings is a fixed table of sixteen rows; rows 1 (1251) and 2
// (1252) get their objects when the program starts, the others on their
// first lookup. At process end a static owner frees every row and then
// the shared own encodings (TEncodingU::FreeEncodings);
// FreeCodePageEncodings does the same on demand. A row freed that way is
// filled again by its next lookup, so lookups never find a dangling object.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

namespace qz {

class TCodePageEncoding;

struct TCodePageEncodingRow {
    quint32 CodePage;
    std::unique_ptr<TCodePageEncoding> Encoding; // empty until created
};

inline constexpr int CodePageEncodingRowCount = 16;
using TCodePageEncodings = std::array<TCodePageEncodingRow, CodePageEncodingRowCount>;

// The table itself, for inspection; lookups go through EncodingForCodePage.
[[nodiscard]] const TCodePageEncodings& CodePageEncodings();

// The single-byte encoding object of the first row with this code page,
// created on first use; 1031 and 1049 (language identifiers) stand for
// 1252 and 1251 with objects of their own. Unknown pages give the
// Windows-1252 object of row 2. Never null. Main thread only.
//   EncodingForCodePage(1200)->GetCodePage() == 1252
[[nodiscard]] TCodePageEncoding* EncodingForCodePage(quint16 codePage);

// Frees every row's object, then the shared own encodings.
void FreeCodePageEncodings();

// One byte per UTF-16 code unit: 0000..00FF keep their value, five
// typographic characters get their Windows-1252 byte, the rest "?".
//   NarrowToAnsi(QString(QChar(0x20AC))) == "?"
[[nodiscard]] QByteArray NarrowToAnsi(const QString& text);

// The text that bytes spell in Windows-1252.
//   DecodeWindows1252("\x80") == "€"
[[nodiscard]] QString DecodeWindows1252(const QByteArray& bytes);

// Each byte becomes the character of the same value (ISO 8859-1).
//   WidenLatin1("\x80") == QString(QChar(0x80))
[[nodiscard]] QString WidenLatin1(const QByteArray& bytes);

} // namespace qz

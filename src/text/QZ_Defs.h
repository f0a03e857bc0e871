#pragma once
// Shared definitions of the text subsystem: the kinds of text encoding a
// file may be stored in, the key byte of the own UTF8C encoding, and the
// optional diagnostic callback.

#include <QtGlobal>

namespace qz {

// The encoding kinds, stored in one byte; the values are part of the file
// formats and of the decider protocol and must not be renumbered.
enum TEncodingType : quint8 {
    et_none = 0,          // no signature: unmarked text, or an empty file
    et_ANSI = 1,          // single-byte text beginning with A7 (section sign)
    et_ASCII = 2,         // 7-bit ASCII (never detected)
    et_ANSI_zip = 3,      // zlib-compressed single-byte text, "DLQZAZ" 00 01
    et_UTF8 = 4,          // UTF-8 with EF BB BF, or beginning with C2 A7
    et_UTF8noBom = 5,     // UTF-8 recognised from the content
    et_UTF16BE = 6,       // UTF-16 big-endian with FE FF
    et_UTF16LE = 7,       // UTF-16 little-endian with FF FE
    et_UTF7 = 8,          // UTF-7 (never detected)
    et_UTF8C = 9,         // own encoding UTF8C, marked by its preamble
    et_16 = 10,           // raw 16-bit in-memory format (never detected)
    et_UTF8_zip = 11,     // zlib-compressed UTF-8, "DLQZU8" 00 01
    et_undetected = 12,   // kind not determined (never detected)
    et_UTF8Paragraph = 13, // UTF-8, paragraph-sign variant (never detected)
    et_UTF8C_zip = 14,    // zlib-compressed UTF8C, "DLQZUC" 00 01
};

// UTF8C is UTF-8 with every byte XORed with this key. Files written with
// it exist, so the value is fixed for good.
inline constexpr quint8 UTF8CKey = 0x5A;

// Optional process-wide diagnostic callback: called, when set, with the
// name of the reporting operation, its first pointer argument and its
// first count. The program itself never sets it.
using TDiagnosticHook = void (*)(const char* operation, const void* pointer, qint64 count);
extern TDiagnosticHook DiagnosticHook;

} // namespace qz

#pragma once
// Shared definitions of the text subsystem: the kinds of text encoding a
// file may be stored in, the key byte of the own UTF8C encoding, and the
// optional diagnostic callback.

#include <QtGlobal>

#include <array>
#include <atomic>

namespace qz {

// The encoding kinds, stored in one byte; the values are part of the file
// formats and of the decider protocol and must not be renumbered.
enum TEncodingType : quint8 {
    et_none = 0,           // no signature: unmarked text, or an empty file
    et_ANSI = 1,           // single-byte text beginning with A7 (section sign)
    et_ASCII = 2,          // 7-bit ASCII (never detected)
    et_ANSI_zip = 3,       // zlib-compressed single-byte text, "DLQZAZ" 00 01
    et_UTF8 = 4,           // UTF-8 with EF BB BF, or beginning with C2 A7
    et_UTF8noBom = 5,      // UTF-8 recognised from the content
    et_UTF16BE = 6,        // UTF-16 big-endian with FE FF
    et_UTF16LE = 7,        // UTF-16 little-endian with FF FE
    et_UTF7 = 8,           // UTF-7 (never detected)
    et_UTF8C = 9,          // own encoding UTF8C, marked by its preamble
    et_16 = 10,            // raw 16-bit in-memory format (never detected)
    et_UTF8_zip = 11,      // zlib-compressed UTF-8, "DLQZU8" 00 01
    et_undetected = 12,    // kind not determined (never detected)
    et_UTF8Paragraph = 13, // UTF-8, paragraph-sign variant (never detected)
    et_UTF8C_zip = 14,     // zlib-compressed UTF8C, "DLQZUC" 00 01
};

// UTF8C is UTF-8 with every byte XORed with this key. Files written with
// it exist, so the value is fixed for good.
inline constexpr quint8 UTF8CKey = 0x5A;

// The first eight bytes of a file; bytes past the end of a shorter file are 00.
using TFileHeader = std::array<quint8, 8>;

// One row of the signature table: the leading bytes a file of this kind
// begins with, how many of them are compared, and where the text proper
// begins (0 when the marker is itself part of the text).
struct TEncodingSignature {
    std::array<quint8, 8> Bytes;
    int Compared;
    int DataOffset;
    TEncodingType Kind;
};

// Signatures in the order they are tried. The UTF8C row is the UTF-8
// byte-order mark XORed with UTF8CKey.
inline constexpr std::array<TEncodingSignature, 8> EncodingSignatures = {{
    {{0xEF, 0xBB, 0xBF}, 3, 3, et_UTF8},
    {{0xC2, 0xA7}, 2, 0, et_UTF8},
    {{0xFE, 0xFF}, 2, 2, et_UTF16BE},
    {{0xFF, 0xFE}, 2, 2, et_UTF16LE},
    {{0xEF ^ UTF8CKey, 0xBB ^ UTF8CKey, 0xBF ^ UTF8CKey}, 3, 3, et_UTF8C},
    {{'D', 'L', 'Q', 'Z', 'U', '8', 0x00, 0x01}, 8, 8, et_UTF8_zip},
    {{'D', 'L', 'Q', 'Z', 'U', 'C', 0x00, 0x01}, 8, 8, et_UTF8C_zip},
    {{'D', 'L', 'Q', 'Z', 'A', 'Z', 0x00, 0x01}, 8, 8, et_ANSI_zip},
}};

struct TDetectedEncoding {
    TEncodingType Kind;
    int DataOffset;
    friend bool operator==(const TDetectedEncoding&, const TDetectedEncoding&) = default;
};

// Recognises the kind of a file from its header alone; never fails.
//   DetectEncoding({0xFF, 0xFE}) == TDetectedEncoding{et_UTF16LE, 2}
[[nodiscard]] TDetectedEncoding DetectEncoding(const TFileHeader& header) noexcept;

// Optional process-wide diagnostic callback: called, when set, with the
// name of the reporting operation, its first pointer argument and its
// first count. The program itself never sets it. Atomic, so that any
// thread may set it or read it while encodings are used elsewhere.
//   qz::DiagnosticHook = &MyHook; ... qz::DiagnosticHook = nullptr;
using TDiagnosticHook = void (*)(const char* operation, const void* pointer, qint64 count);
extern std::atomic<TDiagnosticHook> DiagnosticHook;

} // namespace qz

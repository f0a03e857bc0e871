#pragma once
// Reading whole text files of every kind the library knows. LoadTextFile
// looks at the first eight bytes (DetectEncoding), asks the caller's decider
// where the signature leaves a choice, inflates the compressed kinds and
// decodes with the encoding objects of the text subsystem.
//
// The decider protocol, by the kind it is asked about:
//   et_UTF8C, et_UTF8C_zip  2: decode as UTF8C; 3: inflate, then decode as
//                           UTF8C; anything else: refuse ("File ist
//                           QZ-C-encoded" becomes the text, no error)
//   et_ANSI_zip             code page of the inflated bytes; 0: byte for
//                           character (ISO 8859-1)
//   et_none                 65001: UTF-8; anything else: Windows-1252
//
// HasUtf8Bom, CanOpenForReading and ReadFileBytes are general file helpers;
// they live here because the loader and the INI file object are their only
// users. They, and LoadTextFile, read regular files only: a FIFO, a device,
// a socket or a folder is refused at once, never waited on.
//
// Where the pieces live: the deciders in Deciders.cpp, the UTF-8 check in
// Utf8Content.cpp (with its two validators), the inflater in Inflate.cpp,
// the opening of files in FileReading.cpp, the block loop in
// BlockReading.cpp, and the loader itself in QZ_Files.cpp.

#include "text/QZ_Defs.h"

#include <QByteArray>
#include <QString>
#include <functional>

QT_BEGIN_NAMESPACE
class QFile;
class QIODevice;
QT_END_NAMESPACE

namespace qz {

class TEncoding;

// Settles what a signature alone cannot; called with the open file and the
// detected kind. An empty function counts as no decider.
using TEncodingDecider = std::function<quint32(QIODevice& fs, TEncodingType aEncoding)>;

// Decider answers with a meaning of their own.
inline constexpr quint32 DecideUtf8CPlain = 2;
inline constexpr quint32 DecideUtf8CInflate = 3;
inline constexpr quint32 DecideUtf8 = 65001;

// The standard deciders. Stateless; the shared instance is DefaultDecider().
class TDefaultDecider {
public:
    TDefaultDecider() = default;
    TDefaultDecider(const TDefaultDecider&) = delete;
    TDefaultDecider& operator=(const TDefaultDecider&) = delete;

    // Accepts both UTF8C kinds and reads unmarked text as Windows-1252.
    //   AnsiDecider(fs, et_UTF8C_zip) == 3
    [[nodiscard]] quint32 AnsiDecider(QIODevice& fs, TEncodingType aEncoding) const;

    // Like AnsiDecider, but recognises unmarked UTF-8 from the content of fs
    // (moving its position) and then answers 65001.
    [[nodiscard]] quint32 AnsiDeciderEx(QIODevice& fs, TEncodingType aEncoding) const;
};

// The one shared decider instance, alive for the whole run.
[[nodiscard]] TDefaultDecider& DefaultDecider();

// Binds a decider method of `decider` into a TEncodingDecider.
//   LoadTextFile(name, nullptr, text, AnsiDeciderOf(DefaultDecider()));
[[nodiscard]] TEncodingDecider AnsiDeciderOf(const TDefaultDecider& decider);
[[nodiscard]] TEncodingDecider AnsiDeciderExOf(const TDefaultDecider& decider);

struct TUtf8OrAnsi {
    TEncodingType Kind;  // et_UTF8noBom or et_ANSI
    TEncoding* Encoding; // shared instance, never null
};

// Unmarked text: UTF-8 without preamble when IsUtf8Content holds, otherwise
// the system's single-byte code page.
[[nodiscard]] TUtf8OrAnsi DetectUtf8OrAnsi(QIODevice& stream);

// True when the whole stream is well-formed UTF-8 (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF) and not empty. Reads a
// QBuffer's memory in place; other devices are read from position 0 in
// blocks. Leaves the position where reading stopped.
//   QBuffer b; b.setData("\xC3\xA4"); IsUtf8Content(b) == true
[[nodiscard]] bool IsUtf8Content(QIODevice& stream);

// The same check on bytes in memory.
[[nodiscard]] bool IsUtf8Content(const char* data, qint64 size) noexcept;

// The inflated size beyond which a compressed file is refused: far above
// any real text, low enough that a small crafted file cannot exhaust memory.
inline constexpr qint64 MaxInflatedSize = qint64(256) * 1024 * 1024;
// The same bound for a text file as it lies on disk: no text beyond
// 256 MiB is read, compressed or not.
inline constexpr qint64 MaxTextFileSize = MaxInflatedSize;

// The bounds of one load.
struct TTextLimits {
    qint64 MaxFileBytes = MaxTextFileSize;     // the file itself (LoadTextFile)
    qint64 MaxInflatedBytes = MaxInflatedSize; // the content of a compressed kind
};

// Reads a whole text file into `result`, detecting its kind (stored into
// `*kind` when given, also when decoding then fails). The file is read as
// ReadFileBytes reads it, within limits.MaxFileBytes, and decoded as
// LoadTextBytes decodes. Failures throw EQZError and leave `result` empty.
//   QString text; LoadTextFile("a.ini", nullptr, text, AnsiDeciderOf(DefaultDecider()));
void LoadTextFile(const QString& fileName, TEncodingType* kind, QString& result,
                  const TEncodingDecider& decider = {}, const TTextLimits& limits = {});

// LoadTextFile over bytes already read: the same detection, decider calls
// (the decider sees a QBuffer over the bytes), decoding, bounds and
// errors; `fileName` only names the file in messages.
//   LoadTextBytes(ReadFileBytes(name, 64 << 20), name, nullptr, text, decider);
void LoadTextBytes(const QByteArray& bytes, const QString& fileName, TEncodingType* kind,
                   QString& result, const TEncodingDecider& decider = {},
                   const TTextLimits& limits = {});

// The whole content of a regular file, read under the shared lock that
// keeps writers out (see CanOpenForReading). A link is followed only to a
// regular file; a FIFO, device, socket or folder is refused without
// blocking on it, and so is an endless file such as a link to /dev/zero. A
// file larger than `maxBytes` is refused before it is read. Throws EQZError
// with a German message that names the file: missing, a folder, not a
// regular file, no permission, locked by a writer, too large (with its
// size), or a read error.
//   QByteArray b = ReadFileBytes("a.ini", 64 * 1024 * 1024);
[[nodiscard]] QByteArray ReadFileBytes(const QString& fileName, qint64 maxBytes);

// The eight bytes from the current position, 00 past the end. An empty
// stream throws EQZError "0-Byte-Datei".
[[nodiscard]] TFileHeader ReadFileHeader(QIODevice& fs);

// Bytes from `offset` to the end as single-byte text: code page 0 maps each
// byte to the character of the same value, any other one decodes with
// EncodingForCodePage (unknown pages read as Windows-1252).
[[nodiscard]] QString ReadSingleByteText(QIODevice& fs, qint64 offset, quint32 codePage);

// Bytes from `offset` to the end as UTF-8; malformed sequences become
// U+FFFD instead of failing.
[[nodiscard]] QString ReadUtf8Text(QIODevice& fs, qint64 offset);

// Bytes from `offset` to the end (or the inflated content behind the
// eight-byte signature when `inflate`) decoded strictly with `encoding`.
[[nodiscard]] QString ReadEncodedText(QIODevice& fs, qint64 offset, TEncoding& encoding,
                                      bool inflate);

// Inflates the zlib stream that starts at byte 8 of `fs`. Corrupt or
// truncated data, and content larger than `maxSize`, throw EQZError naming
// the file.
[[nodiscard]] QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize = MaxInflatedSize);

// A compressed UTF-8 file: its inflated text without a leading byte-order
// mark, up to the first 00 byte.
[[nodiscard]] QString ReadUtf8ZipText(QIODevice& fs);

// True when the file can be opened and begins with EF BB BF.
[[nodiscard]] bool HasUtf8Bom(const QString& fileName);

// Opens `file` (by its name) read-only while keeping writers out, as far
// as Linux allows: a shared advisory lock (flock) stands in for denying
// writers, so opening fails while a cooperating writer holds an exclusive
// lock, and such a writer waits while we hold ours. Writers that take no
// lock are not kept out; file systems without lock support do not stop the
// reading. Only a regular file is opened, without waiting on anything. On
// success the file stays open for the caller; it is open on a descriptor,
// so its fileName() is empty from then on.
[[nodiscard]] bool CanOpenForReading(QFile& file);

namespace detail {
// The one-sequence-at-a-time check that stands in where the vector check
// cannot run, fed `blockSize` bytes at a time; for tests and fuzzing, which
// would otherwise only ever see the vector check on their machine.
[[nodiscard]] bool IsUtf8ContentPortable(const char* data, qint64 size, qint64 blockSize) noexcept;
} // namespace detail

} // namespace qz

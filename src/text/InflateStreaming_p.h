#pragma once
// zlib's streaming inflater of the compressed text-file kinds. It reads the
// device in blocks and tells exactly what is wrong with a damaged stream;
// the fast path (Inflate_p.h) hands every stream it rejects to it. Private
// to the text layer.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace qz::detail {

// Inflates the zlib stream that starts at byte 8 of `fs`, block by block.
// Corrupt or truncated data, and content larger than `maxSize`, throw
// EQZError naming the file `name`; bytes after the stream are not read.
[[nodiscard]] QByteArray InflateStreaming(QIODevice& fs, qint64 maxSize, const QString& name);

// The refusal of content larger than `maxSize`.
[[noreturn]] void ThrowInflatedTooLarge(const QString& name, qint64 maxSize);

} // namespace qz::detail

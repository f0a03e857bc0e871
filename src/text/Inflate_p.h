#pragma once
// The inflater of the compressed text-file kinds. Private to the text
// layer; the public face is InflateAfterSignature (QZ_Files.h).

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace qz::detail {

// Inflates the zlib stream that starts at byte 8 of `fs`, reading the rest
// of the device whole. Corrupt or truncated data, and content larger than
// `maxSize`, throw EQZError naming the file `name`, with the same messages
// as InflateStreaming (InflateStreaming_p.h); bytes after the stream are
// ignored.
[[nodiscard]] QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize, const QString& name);

} // namespace qz::detail

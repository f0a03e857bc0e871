#pragma once
// The inflater of the compressed text-file kinds. Private to the text
// layer; the public face is InflateAfterSignature (QZ_Files.h).

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

namespace qz::detail {

// Inflates the zlib stream that starts at byte 8 of `fs`, reading the rest
// of the device whole. Corrupt or truncated data, and content larger than
// `maxSize`, throw EQZError naming the file `name`, with the same messages
// as InflateStreaming (InflateStreaming_p.h); bytes after the stream are
// ignored.
[[nodiscard]] QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize, const QString& name);

// Memory for `room` inflated bytes: called once a round, each round with
// more room; what an earlier round wrote is not needed any more.
using TInflateTarget = std::function<char*(qint64 room)>;

// The same inflation into memory the caller provides: the inflated size,
// or nothing when the stream is bad (or too short to hold one), for which
// InflateAfterSignature then gives the exact error. Content larger than
// `maxSize` throws.
[[nodiscard]] std::optional<qint64> InflateAfterSignatureInto(QIODevice& fs, qint64 maxSize,
                                                              const QString& name,
                                                              const TInflateTarget& target);

} // namespace qz::detail

// The inflater of the compressed kinds: libdeflate over the whole stream
// at once, about four times as fast as zlib's streaming inflater, which
// stays for the exact verdict on every stream libdeflate rejects. The two
// part only on codes that no compressor writes: libdeflate reads length
// symbols 286 and 287 and distance codes 30 and 31, and headers that
// declare them, where zlib calls the stream damaged.
#include "text/Inflate_p.h"

#include "text/BlockReading_p.h"
#include "text/InflateStreaming_p.h"
#include "text/QZ_Files.h"

#include <QBuffer>

#include <algorithm>
#include <libdeflate.h>
#include <memory>
#include <optional>

namespace qz {

namespace {

constexpr qint64 SignatureSize = 8;

// The stream stores no inflated size. Text rarely packs tighter than 8:1,
// so most files fit the first buffer; pages that stay unwritten cost no
// memory. Each retry starts over in a buffer four times as large, which
// keeps the wasted work below a third of the last round.
constexpr qint64 FirstGuessRatio = 8;
constexpr qint64 SmallestGuess = 64 * 1024;
constexpr qint64 Growth = 4;
// No deflate stream inflates to more than 1032 times its size (258 bytes
// from a code of one bit, one distance code of one bit): room beyond that
// would never be used.
constexpr qint64 MostInflatedPerByte = 1032;
constexpr qint64 MostInflatedSlack = 1024;

struct TDecompressorFree {
    void operator()(libdeflate_decompressor* d) const noexcept { libdeflate_free_decompressor(d); }
};
using TDecompressor = std::unique_ptr<libdeflate_decompressor, TDecompressorFree>;

// The compressed bytes behind the signature, in one piece: a QBuffer's own
// bytes, shared rather than copied, or the rest of the device read whole.
class TCompressedStream {
public:
    TCompressedStream(QIODevice& fs, const QString& name) {
        detail::SeekOrThrow(fs, SignatureSize, name);
        if (const auto* buffer = qobject_cast<const QBuffer*>(&fs); buffer && fs.isReadable()) {
            FHeld = buffer->data();
            FBytes = QByteArrayView(FHeld).sliced(std::min(SignatureSize, FHeld.size()));
        } else {
            FHeld = detail::ReadRest(fs, SignatureSize, name);
            FBytes = FHeld;
        }
    }
    [[nodiscard]] QByteArrayView Bytes() const { return FBytes; }

private:
    QByteArray FHeld;
    QByteArrayView FBytes;
};

// The inflated size, or nothing when libdeflate rejects the stream (then
// zlib has to say why). Content beyond `maxSize` throws here. `target`
// gives the memory of each round.
std::optional<qint64> InflateWhole(QByteArrayView stream, qint64 maxSize, const QString& name,
                                   const detail::TInflateTarget& target) {
    const TDecompressor decompressor(libdeflate_alloc_decompressor());
    if (!decompressor)
        return std::nullopt;
    const qint64 mostNeeded = stream.size() * MostInflatedPerByte + MostInflatedSlack;
    const qint64 limit = std::max<qint64>(0, maxSize);
    qint64 room =
        std::min({std::max(stream.size() * FirstGuessRatio, SmallestGuess), limit, mostNeeded});
    for (;;) {
        char* out = target(room);
        size_t taken = 0;
        size_t made = 0;
        // Bytes after the stream are allowed and ignored, as zlib's
        // inflater leaves them unread.
        const libdeflate_result result =
            libdeflate_zlib_decompress_ex(decompressor.get(), stream.data(), size_t(stream.size()),
                                          out, size_t(room), &taken, &made);
        if (result == LIBDEFLATE_SUCCESS)
            return qint64(made);
        if (result != LIBDEFLATE_INSUFFICIENT_SPACE || room >= mostNeeded)
            return std::nullopt;
        if (room >= limit)
            detail::ThrowInflatedTooLarge(name, maxSize);
        room = std::min({room * Growth, limit, mostNeeded});
    }
}

} // namespace

namespace detail {

std::optional<qint64> InflateAfterSignatureInto(QIODevice& fs, qint64 maxSize, const QString& name,
                                                const TInflateTarget& target) {
    if (fs.size() <= SignatureSize)
        return std::nullopt;
    const TCompressedStream stream(fs, name);
    return InflateWhole(stream.Bytes(), maxSize, name, target);
}

QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize, const QString& name) {
    QByteArray out;
    // Each round's buffer is gone before the next, larger one is taken.
    const std::optional<qint64> made =
        InflateAfterSignatureInto(fs, maxSize, name, [&out](qint64 room) {
            out = QByteArray();
            out = QByteArray(room, Qt::Uninitialized);
            return out.data();
        });
    if (made) {
        out.truncate(qsizetype(*made));
        out.squeeze(); // gives the unwritten room back
        return out;
    }
    // zlib reads the stream once more, to name what is wrong with it.
    return InflateStreaming(fs, maxSize, name);
}

} // namespace detail

QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize) {
    return detail::InflateAfterSignature(fs, maxSize, detail::DeviceName(fs));
}

} // namespace qz

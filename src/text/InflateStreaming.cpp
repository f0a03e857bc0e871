// zlib's streaming inflater: the reference for every verdict on a damaged
// stream, and the source of its messages.
#include "text/InflateStreaming_p.h"

#include "platform/FileAccess.h"
#include "text/BlockReading_p.h"
#include "text/EQZError.h"
#include "text/QZ_Files.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace qz {

namespace {

QString ZlibMessage(const z_stream& zs, int code) {
    if (zs.msg)
        return QString::fromLatin1(zs.msg);
    return QCoreApplication::translate("qz::Inflate", "zlib-Fehler %1").arg(code);
}

[[noreturn]] void ThrowTruncated(const QString& name) {
    throw EQZError(
        QCoreApplication::translate("qz::Inflate",
                                    "Die komprimierten Daten der Datei \"%1\" sind unvollständig.")
            .arg(name));
}

// Frees the decompressor on every path out of the inflating.
class TInflater {
public:
    TInflater() { FReady = inflateInit(&FStream) == Z_OK; }
    ~TInflater() {
        if (FReady)
            inflateEnd(&FStream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    [[nodiscard]] bool Ready() const { return FReady; }
    [[nodiscard]] z_stream& Stream() { return FStream; }

private:
    z_stream FStream{};
    bool FReady = false;
};

constexpr qint64 InflateStep = 1024 * 1024;
constexpr qint64 MaxPiece = 16 * InflateStep;
constexpr qint64 InflateInputBlock = 256 * 1024;

} // namespace

namespace detail {

void ThrowInflatedTooLarge(const QString& name, qint64 maxSize) {
    throw EQZError(QCoreApplication::translate(
                       "qz::Inflate",
                       "Die Datei \"%1\" ist entpackt größer als %2 MiB und wird nicht gelesen.")
                       .arg(name)
                       .arg(maxSize / (1024 * 1024)));
}

QByteArray InflateStreaming(QIODevice& fs, qint64 maxSize, const QString& name) {
    if (fs.size() <= 8)
        ThrowTruncated(name);
    SeekOrThrow(fs, 8, name);
    TInflater inflater;
    z_stream& zs = inflater.Stream();
    if (!inflater.Ready())
        throw EQZError(QCoreApplication::translate(
                           "qz::Inflate", "Die Datei \"%1\" kann nicht entpackt werden (%2).")
                           .arg(name, ZlibMessage(zs, Z_MEM_ERROR)));

    QByteArray input(InflateInputBlock, Qt::Uninitialized);
    // The output is kept in pieces that are joined once at the end: growing
    // one array would copy what is already there again and again. Pieces
    // start at 1 MiB and double up to 16 MiB, so that small files stay
    // small and large ones fill few, huge-page backed pieces. Each call of
    // the decompressor writes at most 1 MiB.
    std::vector<QByteArray> pieces;
    qint64 filled = 0; // bytes in the last piece
    qint64 total = 0;
    int ret = Z_OK;
    while (ret != Z_STREAM_END) {
        if (zs.avail_in == 0) {
            const qint64 got = fs.read(input.data(), input.size());
            if (got < 0)
                ThrowReadError(fs, name);
            if (got == 0)
                ThrowTruncated(name);
            zs.next_in = reinterpret_cast<Bytef*>(input.data());
            zs.avail_in = uInt(got);
        }
        if (pieces.empty() || filled == pieces.back().size()) {
            const qint64 wanted =
                pieces.empty() ? InflateStep : std::min(2 * pieces.back().size(), MaxPiece);
            // One byte past the limit is room enough to see that the content
            // does not fit.
            pieces.emplace_back(std::min(wanted, maxSize + 1 - total), Qt::Uninitialized);
            platform::AdviseHugePages(pieces.back().data(), pieces.back().size());
            filled = 0;
        }
        const qint64 room = std::min(InflateStep, pieces.back().size() - filled);
        zs.next_out = reinterpret_cast<Bytef*>(pieces.back().data() + filled);
        zs.avail_out = uInt(room);
        ret = inflate(&zs, Z_NO_FLUSH);
        filled += room - zs.avail_out;
        total += room - zs.avail_out;
        if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_MEM_ERROR ||
            ret == Z_STREAM_ERROR)
            throw EQZError(QCoreApplication::translate(
                               "qz::Inflate", "Die komprimierten Daten der Datei \"%1\" sind "
                                              "beschädigt (%2).")
                               .arg(name, ZlibMessage(zs, ret)));
        if (total > maxSize)
            ThrowInflatedTooLarge(name, maxSize);
        // Z_BUF_ERROR only says that this round could not progress; the
        // loop then supplies input or room.
    }

    pieces.back().truncate(filled);
    if (pieces.size() == 1)
        return std::move(pieces.front());
    QByteArray output(total, Qt::Uninitialized);
    platform::AdviseHugePages(output.data(), total);
    char* at = output.data();
    for (QByteArray& piece : pieces) {
        std::memcpy(at, piece.constData(), size_t(piece.size()));
        at += piece.size();
        piece = QByteArray(); // give the memory back while joining
    }
    return output;
}

} // namespace detail

} // namespace qz

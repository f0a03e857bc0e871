#pragma once
// Reading from devices: the one read-until-count loop, the block loop the
// decoders run on, and the messages for what goes wrong. Every function
// that throws names the file by the `name` it is given, so that bytes in
// memory can be reported under the file they came from. Private to the
// text layer.

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <algorithm>
#include <cstring>

namespace qz::detail {

// The name a device's messages give it: a file's name, or "(Speicher)".
[[nodiscard]] QString DeviceName(const QIODevice& fs);

// "Fehler beim Lesen der Datei ..." with the system's `errorText`.
[[nodiscard]] QString ReadErrorMessage(const QString& name, const QString& errorText);
[[noreturn]] void ThrowReadError(const QIODevice& fs, const QString& name);

void SeekOrThrow(QIODevice& fs, qint64 pos, const QString& name);

// Reads until `count` bytes are in or the device has no more; returns the
// bytes read (fewer only at the end), or -1 on a read error.
[[nodiscard]] qint64 ReadFully(QIODevice& fs, char* into, qint64 count);

// ReadFully, with a read error thrown as EQZError.
qint64 ReadFullyOrThrow(QIODevice& fs, char* into, qint64 count, const QString& name);

// Everything from `offset` to the end of the device, read in one piece.
[[nodiscard]] QByteArray ReadRest(QIODevice& fs, qint64 offset, const QString& name);

// Blocks of this size stay in the processor's cache: decoding block by
// block spares the whole file a trip through memory as bytes before it
// becomes text.
inline constexpr qint64 ReadBlockSize = 64 * 1024;
// The most bytes a consumer may hand back from the end of one block.
inline constexpr qsizetype MaxCarried = 4;

// Reads `count` bytes from `offset` in blocks and hands each to
// `consume(QByteArrayView block, bool last)`, which returns how many bytes
// at the end of the block it left (at most MaxCarried); they come again at
// the start of the next block. The last call has `last` set, also when the
// device ends early (a file that shrank while it was read gives what is
// there). Returns the bytes read.
template <class Consume>
qint64 ForEachBlock(QIODevice& fs, qint64 offset, qint64 count, const QString& name,
                    Consume consume) {
    SeekOrThrow(fs, offset, name);
    QByteArray block(MaxCarried + ReadBlockSize, Qt::Uninitialized);
    qsizetype carried = 0;
    qint64 done = 0;
    for (;;) {
        const qint64 wanted = std::min(ReadBlockSize, count - done);
        const qint64 got = ReadFullyOrThrow(fs, block.data() + carried, wanted, name);
        done += got;
        const bool last = got < wanted || done >= count;
        const QByteArrayView bytes(block.constData(), carried + got);
        const qsizetype left = consume(bytes, last);
        if (last)
            return done;
        std::memmove(block.data(), bytes.constData() + bytes.size() - left, size_t(left));
        carried = left;
    }
}

} // namespace qz::detail

// The text-file loader: detection, the decider's word, and decoding of
// every kind, over a file or over bytes already read.
#include "text/QZ_Files.h"

#include "platform/FileAccess.h"
#include "platform/Prefault.h"
#include "text/BlockReading_p.h"
#include "text/EQZError.h"
#include "text/FileReading_p.h"
#include "text/Inflate_p.h"
#include "text/QZ_Unicd.h"
#include "text/QZ_Unicode.h"
#include "text/TEncoding.h"
#include "text/Widening_p.h"
#include "text/utf8/Utf8.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <optional>

namespace qz {

namespace {

using detail::DeviceName;

// A QString of `size` code units, not yet filled.
QString UninitializedText(qint64 size) {
    QString text(size, Qt::Uninitialized);
    platform::AdviseHugePages(text.data(), size * qint64(sizeof(QChar)));
    return text;
}

// The decoders treat a code page outside 16 bits like any unknown one.
quint16 CodePageOrWestern(quint32 codePage) {
    return codePage <= 0xFFFF ? quint16(codePage) : quint16(1252);
}

QString SingleByteText(QIODevice& fs, qint64 offset, quint32 codePage, const QString& name) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    // Latin-1 and Windows-1252, the kinds unmarked files are read as, are
    // widened here block by block through a 256-entry table; the other
    // pages go through their encoding object.
    const char16_t* table = detail::Latin1Table.data();
    if (codePage != 0) {
        TEncoding* encoding = EncodingForCodePage(CodePageOrWestern(codePage));
        if (encoding->GetCodePage() != 1252)
            return encoding->GetString(detail::ReadRest(fs, offset, name));
        table = Windows1252Table().data();
    }
    QString text = UninitializedText(count);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const qint64 done =
        detail::ForEachBlock(fs, offset, count, name, [&](QByteArrayView block, bool) {
            detail::WidenSingleBytes(reinterpret_cast<const quint8*>(block.data()), block.size(),
                                     out, table);
            out += block.size();
            return qsizetype(0);
        });
    text.truncate(done);
    return text;
}

QString Utf8Text(QIODevice& fs, qint64 offset, const QString& name) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    // UTF-8 never takes more UTF-16 code units than bytes. Each block is
    // decoded on its own; a sequence that the block end cuts is held back
    // and decoded with the next block, so the text equals a one-piece
    // decoding (a byte-order mark inside the text stays U+FEFF). A
    // sequence cut off by the end of the file becomes U+FFFD.
    static_assert(detail::MaxHeldBack <= detail::MaxCarried);
    QString text = UninitializedText(count);
    QChar* out = text.data();
    detail::ForEachBlock(fs, offset, count, name, [&](QByteArrayView block, bool last) {
        const qsizetype cut = last ? 0 : detail::CutSequenceLength(block);
        out = detail::DecodeUtf8Lenient(block.chopped(cut), out);
        return cut;
    });
    text.truncate(out - text.constData());
    return text;
}

QString EncodedText(QIODevice& fs, qint64 offset, TEncoding& encoding, bool inflate,
                    qint64 maxInflated, const QString& name) {
    const QByteArray bytes = inflate ? detail::InflateAfterSignature(fs, maxInflated, name)
                                     : detail::ReadRest(fs, offset, name);
    return encoding.GetString(bytes);
}

// The inflated bytes as text: a byte-order mark is skipped, and the text
// ends at the first 00 byte, also when more follows.
QByteArrayView InflatedUtf8Content(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (const void* nul = std::memchr(bytes.data(), 0, size_t(bytes.size())))
        bytes = bytes.first(static_cast<const char*>(nul) - bytes.data());
    return bytes;
}

// Inflating into a buffer of its own and decoding that into the text wrote
// fresh memory three times the content's size (bytes, then two per
// character); on a virtual machine first touching memory costs as much as
// inflating. So the stream is inflated into the upper part of the text's
// own buffer and decoded down into its start, block by block through a
// copy that stays in the cache. The inflated bytes start `room` + a block
// above the text: a block's characters (at most one per byte) then end
// below the next block's bytes, which are not read yet. While the stream
// inflates, another thread faults in the part below the inflated bytes,
// which only the characters will use.
QString Utf8ZipText(QIODevice& fs, qint64 maxInflated, const QString& name) {
    constexpr qsizetype Block = 64 * 1024;
    QString text;
    qint64 inflatedAt = 0; // in bytes from the start of the text
    std::optional<platform::TPrefault> prefault;
    const std::optional<qint64> made =
        detail::InflateAfterSignatureInto(fs, maxInflated, name, [&](qint64 room) {
            prefault.reset();
            inflatedAt = room + Block;
            text = QString();
            text = UninitializedText((inflatedAt + room + 1) / 2);
            char* start = reinterpret_cast<char*>(text.data());
            prefault.emplace(start, inflatedAt);
            return start + inflatedAt;
        });
    if (!made) {
        prefault.reset();
        text = QString();
        // A stream libdeflate rejects: this gives zlib's exact error.
        const QByteArray inflated = detail::InflateAfterSignature(fs, maxInflated, name);
        const QByteArrayView content = InflatedUtf8Content(inflated);
        QString decoded = UninitializedText(content.size());
        decoded.truncate(detail::DecodeUtf8Lenient(content, decoded.data()) - decoded.constData());
        return decoded;
    }
    // At most one character of two bytes per inflated byte.
    prefault->Needed(2 * *made);
    const QByteArrayView content = InflatedUtf8Content(
        QByteArrayView(reinterpret_cast<const char*>(text.constData()) + inflatedAt, *made));
    char copy[Block + detail::MaxHeldBack];
    qsizetype carried = 0;
    QChar* out = text.data();
    for (qsizetype at = 0; at < content.size(); at += Block) {
        const qsizetype take = std::min(Block, content.size() - at);
        std::memcpy(copy + carried, content.data() + at, size_t(take));
        const QByteArrayView block(copy, carried + take);
        const bool last = at + take == content.size();
        const qsizetype cut = last ? 0 : detail::CutSequenceLength(block);
        out = detail::DecodeUtf8Lenient(block.chopped(cut), out);
        std::memmove(copy, block.data() + block.size() - cut, size_t(cut));
        carried = cut;
    }
    prefault.reset();
    text.truncate(out - text.constData());
    text.squeeze(); // gives the room and the inflated bytes' pages back
    return text;
}

TFileHeader FileHeader(QIODevice& fs, const QString& name) {
    if (fs.size() == 0)
        throw EQZError(QCoreApplication::translate("qz::QZ_Files", "0-Byte-Datei"));
    TFileHeader header{};
    detail::ReadFullyOrThrow(fs, reinterpret_cast<char*>(header.data()), qint64(header.size()),
                             name);
    return header;
}

// The loader over an open device, read from its start; `name` names it in
// messages.
QString LoadText(QIODevice& fs, const QString& name, TEncodingType* kind,
                 const TEncodingDecider& decider, qint64 maxInflated) {
    TDetectedEncoding detected{et_none, 0};
    if (fs.size() > 0)
        detected = DetectEncoding(FileHeader(fs, name));
    if (kind)
        *kind = detected.Kind;
    detail::SeekOrThrow(fs, detected.DataOffset, name);

    switch (detected.Kind) {
    case et_ANSI:
        return SingleByteText(fs, detected.DataOffset, 0, name);
    case et_UTF8:
        return Utf8Text(fs, detected.DataOffset, name);
    case et_UTF16BE:
        return EncodedText(fs, detected.DataOffset, *TEncoding::BigEndianUnicode(), false,
                           maxInflated, name);
    case et_UTF16LE:
        return EncodedText(fs, detected.DataOffset, *TEncoding::Unicode(), false, maxInflated,
                           name);
    case et_UTF8C:
    case et_UTF8C_zip: {
        // Without a decider the standard one decides. The answer, not the
        // kind, says whether to inflate.
        const quint32 answer =
            decider ? decider(fs, detected.Kind) : DefaultDecider().AnsiDecider(fs, detected.Kind);
        if (answer == DecideUtf8CPlain || answer == DecideUtf8CInflate)
            return EncodedText(fs, detected.DataOffset, *GetUTF8CEncoding(),
                               answer == DecideUtf8CInflate, maxInflated, name);
        return QStringLiteral("File ist QZ-C-encoded");
    }
    case et_UTF8_zip:
        return Utf8ZipText(fs, maxInflated, name);
    case et_ANSI_zip: {
        QBuffer memory;
        memory.setData(detail::InflateAfterSignature(fs, maxInflated, name));
        memory.open(QIODevice::ReadOnly);
        const quint32 codePage = decider ? decider(fs, et_ANSI_zip) : 1252;
        return SingleByteText(memory, 0, codePage, name);
    }
    default: // et_none; detection yields no other kind
        if (decider && decider(fs, et_none) == DecideUtf8)
            return Utf8Text(fs, 0, name);
        return SingleByteText(fs, 0, 1252, name);
    }
}

} // namespace

// Failures throw and leave `result` empty: the text is assigned only once
// it is complete.
void LoadTextFile(const QString& fileName, TEncodingType* kind, QString& result,
                  const TEncodingDecider& decider, const TTextLimits& limits) {
    result.clear();
    // The file is decoded straight from the open file, block by block,
    // rather than read whole first: the same steps as LoadTextBytes over
    // ReadFileBytes, without a copy of the whole file as bytes.
    QFile file;
    detail::OpenForReadingOrThrow(file, fileName, limits.MaxFileBytes);
    result = LoadText(file, fileName, kind, decider, limits.MaxInflatedBytes);
}

void LoadTextBytes(const QByteArray& bytes, const QString& fileName, TEncodingType* kind,
                   QString& result, const TEncodingDecider& decider, const TTextLimits& limits) {
    result.clear();
    QBuffer memory;
    memory.setData(bytes); // shares the bytes, copies nothing
    memory.open(QIODevice::ReadOnly);
    result = LoadText(memory, fileName, kind, decider, limits.MaxInflatedBytes);
}

TFileHeader ReadFileHeader(QIODevice& fs) {
    return FileHeader(fs, DeviceName(fs));
}

QString ReadSingleByteText(QIODevice& fs, qint64 offset, quint32 codePage) {
    return SingleByteText(fs, offset, codePage, DeviceName(fs));
}

QString ReadUtf8Text(QIODevice& fs, qint64 offset) {
    return Utf8Text(fs, offset, DeviceName(fs));
}

QString ReadEncodedText(QIODevice& fs, qint64 offset, TEncoding& encoding, bool inflate) {
    return EncodedText(fs, offset, encoding, inflate, MaxInflatedSize, DeviceName(fs));
}

QString ReadUtf8ZipText(QIODevice& fs) {
    return Utf8ZipText(fs, MaxInflatedSize, DeviceName(fs));
}

} // namespace qz

// The INI text as lines: splitting text at its line breaks and decoding
// bytes one line at a time. (The bytes of a saved file: IniSaveEncoding.cpp.)
#include "settings/IniDocument.h"
#include "settings/IniLines_p.h"

#include "text/EQZError.h"
#include "text/TEncoding.h"

namespace qz {

void ForEachLine(QStringView text, const std::function<void(QStringView)>& line) {
    ForEachLineOf(text, [&line](QStringView l) { line(l); });
}

TEncoding* EncodingByPreamble(const QByteArray& bytes) {
    for (TEncoding* candidate :
         {TEncoding::UTF8(), TEncoding::Unicode(), TEncoding::BigEndianUnicode()})
        if (bytes.startsWith(candidate->GetPreamble()))
            return candidate;
    return TEncoding::Default();
}

qint32 DecodeBytesLineByLine(const QByteArray& bytes, TEncoding* encoding, QStringList& list) {
    if (bytes.isEmpty())
        return -1;
    TEncoding* ansi = TEncoding::Default();
    if (!encoding)
        encoding = ansi;
    const QByteArray preamble = encoding->GetPreamble();
    qsizetype pos = bytes.startsWith(preamble) ? preamble.size() : 0;
    // UTF-16 ends its lines with two-byte CR and LF units.
    const quint32 cp = encoding->GetCodePage();
    const int unit = (cp == 1200 || cp == 1201) ? 2 : 1;
    const bool bigEndian = cp == 1201;
    auto codeAt = [&](qsizetype i) -> int {
        if (unit == 1)
            return uchar(bytes[i]);
        const uchar lo = uchar(bytes[bigEndian ? i + 1 : i]);
        const uchar hi = uchar(bytes[bigEndian ? i : i + 1]);
        return hi << 8 | lo;
    };

    qint32 lineNr = 0;
    qint32 lastFailed = -1;
    auto takeLine = [&](qsizetype from, qsizetype to) {
        ++lineNr;
        const QByteArray raw = bytes.sliced(from, to - from);
        QString text;
        bool failed = false;
        if (!raw.isEmpty()) {
            try {
                text = encoding->GetString(raw);
                failed = text.isEmpty();
            } catch (const EQZError&) {
                failed = true;
            }
        }
        if (failed) {
            lastFailed = lineNr;
            text = ansi->GetString(raw);
        }
        list.append(text);
    };

    qsizetype start = pos;
    const qsizetype end = bytes.size() - (bytes.size() - pos) % unit;
    while (pos < end) {
        const int c = codeAt(pos);
        if (c == 0x0D || c == 0x0A) {
            takeLine(start, pos);
            pos += unit;
            if (c == 0x0D && pos < end && codeAt(pos) == 0x0A)
                pos += unit;
            start = pos;
        } else {
            pos += unit;
        }
    }
    // Bytes after the last line break are a line too: nothing is dropped.
    if (start < bytes.size())
        takeLine(start, bytes.size());
    return lastFailed;
}

} // namespace qz

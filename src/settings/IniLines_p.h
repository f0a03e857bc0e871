#pragma once
// Private to the INI document: which encoding a stream of INI bytes is in,
// and splitting text into lines.

#include <QByteArray>
#include <QStringView>

namespace qz {

class TEncoding;

// UTF-8, UTF-16 LE or UTF-16 BE when `bytes` begin with its byte-order
// mark, the system ANSI code page otherwise.
[[nodiscard]] TEncoding* EncodingByPreamble(const QByteArray& bytes);

// ForEachLine with the call inlined: the parse of a file runs it for every
// line.
template <class Line>
void ForEachLineOf(QStringView text, Line line) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    const char16_t* d = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = d[i];
        // Both break characters are below 0x0E; most characters are not.
        if (c > u'\r' || (c != u'\r' && c != u'\n'))
            continue;
        line(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < n && d[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        line(text.sliced(start));
}

} // namespace qz

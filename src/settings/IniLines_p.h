#pragma once
// Private to the INI document: which encoding a stream of INI bytes is in.

#include <QByteArray>

namespace qz {

class TEncoding;

// UTF-8, UTF-16 LE or UTF-16 BE when `bytes` begin with its byte-order
// mark, the system ANSI code page otherwise.
[[nodiscard]] TEncoding* EncodingByPreamble(const QByteArray& bytes);

} // namespace qz

#pragma once
// Private to the INI document: the bytes of a saved file, encoded in one
// pass straight from the sections' buffers and handed on in chunks of a
// fixed size, so that a save holds neither the file's lines nor its whole
// text or bytes in memory.

#include "platform/AtomicFileWrite.h"

#include <QStringList>

namespace qz {

class TEncoding;
class TIniStream;

// The preamble of `encoding` (the system ANSI code page when null), then
// the saved text of `doc`, every line ended by CR LF: the same bytes as
// encoding->GetBytes of the whole text.
void EncodeSavedText(const TIniStream& doc, TEncoding* encoding,
                     const platform::TContentWriter& write);
// The same for ready lines.
void EncodeSavedLines(const QStringList& lines, TEncoding* encoding,
                      const platform::TContentWriter& write);

} // namespace qz

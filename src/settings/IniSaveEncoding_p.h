#pragma once
// Private to the INI document: the bytes of a saved file, encoded as the
// text is made straight from the sections' buffers (TChunkedEncoder), so
// that a save holds neither the file's lines nor its whole text or bytes
// in memory.

#include "platform/AtomicFileWrite.h"
#include "text/ChunkedEncoder.h"

#include <QStringList>

namespace qz {

class TEncoding;
class TIniStream;

// The preamble of `encoding` (the system ANSI code page when null), then
// the saved text of `doc`, every line ended by CR LF: the same bytes as
// encoding->GetBytes of the whole text.
void EncodeSavedText(const TIniStream& doc, TEncoding* encoding, TByteOutput& out);
// The same for ready lines.
void EncodeSavedLines(const QStringList& lines, TEncoding* encoding, TByteOutput& out);

// Bytes into a file being written.
class TPreparedFileOutput : public TByteOutput {
public:
    explicit TPreparedFileOutput(platform::TPreparedFile& file) : FFile(file) {}
    void Write(const char* data, qsizetype size) override { FFile.Write(data, size); }

private:
    platform::TPreparedFile& FFile;
};

} // namespace qz

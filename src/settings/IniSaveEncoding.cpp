// Encoding a saved INI file: the saved text (IniSavedText_p.h) goes piece
// by piece into the text layer's chunked encoder.
#include "settings/IniSaveEncoding_p.h"
#include "settings/IniSavedText_p.h"

namespace qz {

namespace {

// The saved text's pieces, with CR LF for every line end.
class TEncodedText {
public:
    explicit TEncodedText(TChunkedEncoder& encoder) : FEncoder(encoder) {}
    void Text(QStringView piece) { FEncoder.Text(piece); }
    void Ascii(char16_t c) { FEncoder.Char(c); }
    void LineEnd() { FEncoder.Text(u"\r\n"); }

private:
    TChunkedEncoder& FEncoder;
};

} // namespace

void EncodeSavedText(const TIniStream& doc, TEncoding* encoding, TByteOutput& out) {
    TChunkedEncoder encoder(encoding, out);
    TEncodedText text(encoder);
    VisitSavedText(doc, text);
    encoder.Finish();
}

void EncodeSavedLines(const QStringList& lines, TEncoding* encoding, TByteOutput& out) {
    TChunkedEncoder encoder(encoding, out);
    for (const QString& line : lines) {
        encoder.Text(line);
        encoder.Text(u"\r\n");
    }
    encoder.Finish();
}

QByteArray EncodeIniLines(const QStringList& lines, TEncoding* encoding) {
    TByteArrayOutput bytes;
    EncodeSavedLines(lines, encoding, bytes);
    return bytes.Bytes();
}

} // namespace qz

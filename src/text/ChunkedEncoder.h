#pragma once
// Text encoded while it is produced, so that neither the whole text nor
// its bytes need to be in memory at once (a settings file is saved this
// way). The pieces gather in a small UTF-16 buffer, which is encoded and
// written whenever it is full, for every encoding that may be encoded in
// pieces (TEncoding::PieceByteBound); any other gets the whole text in one
// call at the end. The bytes are those of GetPreamble() followed by
// GetBytes of the whole text.
//
//   TByteArrayOutput out;
//   TChunkedEncoder encoder(TEncoding::UTF8(), out);
//   encoder.Text(u"a=1");
//   encoder.Text(u"\r\n");
//   encoder.Finish();
//   out.Bytes() == "\xEF\xBB\xBF" "a=1\r\n"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstring>
#include <memory>

namespace qz {

class TEncoding;

// Where encoded bytes go, in order.
class TByteOutput {
public:
    virtual ~TByteOutput() = default;
    virtual void Write(const char* data, qsizetype size) = 0;
};

// Collects the bytes in memory.
class TByteArrayOutput : public TByteOutput {
public:
    void Write(const char* data, qsizetype size) override { FBytes.append(data, size); }
    [[nodiscard]] const QByteArray& Bytes() const { return FBytes; }

private:
    QByteArray FBytes;
};

class TChunkedEncoder {
public:
    // Writes the preamble at once. A null encoding is the system ANSI code
    // page (TEncoding::Default).
    TChunkedEncoder(TEncoding* encoding, TByteOutput& out);
    TChunkedEncoder(const TChunkedEncoder&) = delete;
    TChunkedEncoder& operator=(const TChunkedEncoder&) = delete;
    ~TChunkedEncoder();

    // The common case, a piece that fits into the buffer, is inline: a save
    // hands over a few pieces per line.
    void Text(QStringView piece) {
        if (FBound > 0 && piece.size() <= kStageUnits - FStaged) {
            std::memcpy(FStage.get() + FStaged, piece.utf16(), size_t(piece.size()) * 2);
            FStaged += piece.size();
        } else {
            TextSlowly(piece);
        }
    }
    void Char(char16_t c) {
        if (FBound > 0 && FStaged < kStageUnits)
            FStage[FStaged++] = c;
        else
            CharSlowly(c);
    }
    // Encodes and writes what is left. Nothing may follow.
    void Finish();

private:
    // Small enough to stay in the cache beside its bytes, large enough that
    // a call per buffer costs nothing next to the encoding.
    static constexpr qsizetype kStageUnits = 32 * 1024;

    void TextSlowly(QStringView piece);
    void CharSlowly(char16_t c);
    void EncodeStaged(bool last);

    TEncoding* FEncoding;
    TByteOutput& FOut;
    int FBound;                         // bytes per unit; 0: whole text at the end
    std::unique_ptr<char16_t[]> FStage; // units not yet encoded
    qsizetype FStaged = 0;
    std::unique_ptr<uchar[]> FBytes;
    QString FWhole;
};

} // namespace qz

#include "text/ChunkedEncoder.h"

#include "text/TEncoding.h"

#include <algorithm>

namespace qz {

TChunkedEncoder::TChunkedEncoder(TEncoding* encoding, TByteOutput& out)
    : FEncoding(encoding ? encoding : TEncoding::Default()), FOut(out),
      FBound(FEncoding->PieceByteBound()) {
    const QByteArray preamble = FEncoding->GetPreamble();
    if (!preamble.isEmpty())
        FOut.Write(preamble.constData(), preamble.size());
    if (FBound > 0) {
        FStage = std::make_unique_for_overwrite<char16_t[]>(kStageUnits);
        FBytes = std::make_unique_for_overwrite<uchar[]>(kStageUnits * FBound);
    }
}

TChunkedEncoder::~TChunkedEncoder() = default;

void TChunkedEncoder::TextSlowly(QStringView piece) {
    if (FBound == 0) {
        FWhole += piece;
        return;
    }
    while (!piece.isEmpty()) {
        if (FStaged == kStageUnits)
            EncodeStaged(false);
        const qsizetype take = std::min(piece.size(), kStageUnits - FStaged);
        std::memcpy(FStage.get() + FStaged, piece.utf16(), size_t(take) * sizeof(char16_t));
        FStaged += take;
        piece = piece.sliced(take);
    }
}

void TChunkedEncoder::CharSlowly(char16_t c) {
    if (FBound == 0) {
        FWhole += QChar(c);
        return;
    }
    if (FStaged == kStageUnits)
        EncodeStaged(false);
    FStage[FStaged++] = c;
}

void TChunkedEncoder::Finish() {
    if (FBound > 0) {
        EncodeStaged(true);
        return;
    }
    const QByteArray bytes = FEncoding->GetBytes(FWhole);
    FWhole = QString();
    if (!bytes.isEmpty())
        FOut.Write(bytes.constData(), bytes.size());
}

// A high surrogate at the end waits for its partner in the next buffer,
// unless the text ends there.
void TChunkedEncoder::EncodeStaged(bool last) {
    qsizetype units = FStaged;
    if (!last && units > 0 && QChar::isHighSurrogate(FStage[units - 1]))
        --units;
    const int written = FEncoding->GetBytes(reinterpret_cast<const QChar*>(FStage.get()),
                                            int(units), FBytes.get(), int(units * FBound));
    if (written > 0)
        FOut.Write(reinterpret_cast<const char*>(FBytes.get()), written);
    const qsizetype held = FStaged - units;
    if (held > 0)
        FStage[0] = FStage[units];
    FStaged = held;
}

} // namespace qz

#include "text/QZ_Defs.h"

#include <algorithm>

namespace qz {

std::atomic<TDiagnosticHook> DiagnosticHook{nullptr};

TDetectedEncoding DetectEncoding(const TFileHeader& header) noexcept {
    // A leading section sign marks single-byte text and stays in the text.
    if (header[0] == 0xA7)
        return {et_ANSI, 0};
    for (const TEncodingSignature& row : EncodingSignatures) {
        if (std::equal(row.Bytes.begin(), row.Bytes.begin() + row.Compared, header.begin()))
            return {row.Kind, row.DataOffset};
    }
    return {et_none, 0};
}

} // namespace qz

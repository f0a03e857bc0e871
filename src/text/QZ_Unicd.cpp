#include "text/QZ_Unicd.h"

#include "text/QZ_Defs.h"

#include <atomic>

namespace qz {

namespace {

// Constant-initialised and trivially destructible, so the slots outlive
// every static object that may still release them at process end.
std::atomic<TUTF8CEncoding*> utf8cSlot{nullptr};
std::atomic<TUTF8NoBomEncoding*> utf8NoBomSlot{nullptr};
std::atomic<TRAW16Encoding*> raw16Slot{nullptr};
// The unit's own two, freed only at its end.
std::atomic<TEncodingAnsiRussian*> russianSlot{nullptr};
std::atomic<TEncodingAnsiWestern*> westernSlot{nullptr};

template <typename T>
T* SharedInstance(std::atomic<T*>& slot) {
    if (T* present = slot.load(std::memory_order_acquire))
        return present;
    auto* fresh = new T;
    T* expected = nullptr;
    if (slot.compare_exchange_strong(expected, fresh, std::memory_order_acq_rel,
                                     std::memory_order_acquire))
        return fresh;
    delete fresh; // another thread stored first
    return expected;
}

template <typename T>
void Release(std::atomic<T*>& slot) {
    delete slot.exchange(nullptr, std::memory_order_acq_rel);
}

// The unit's end, at process exit: the shared slots go first, then the
// two ANSI instances. Its destructor is registered before main runs, so
// it comes after the static objects made later. Anything that still asks
// for an encoding afterwards gets a fresh one, which the process leaves.
struct UnitEnd {
    UnitEnd() {
        (void)AnsiRussianEncoding();
        (void)AnsiWesternEncoding();
    }
    ~UnitEnd() {
        TEncodingU::FreeEncodings();
        Release(russianSlot);
        Release(westernSlot);
    }
    UnitEnd(const UnitEnd&) = delete;
    UnitEnd& operator=(const UnitEnd&) = delete;
};
const UnitEnd unitEnd;

} // namespace

// ---------------------------------------------------------------------------
// TUTF8CEncoding

void TUTF8CEncoding::DecodeEncodeC(uchar* bytes, int byteCount) {
    for (int i = 0; i < byteCount; ++i)
        bytes[i] ^= UTF8CKey;
}

int TUTF8CEncoding::GetBytes(const QChar* chars, int charCount, uchar* bytes, int byteCount) {
    const int written = TUTF8Encoding::GetBytes(chars, charCount, bytes, byteCount);
    // Only the bytes written: a larger buffer keeps the rest as it was.
    DecodeEncodeC(bytes, written);
    return written;
}

int TUTF8CEncoding::GetCharCount(uchar* bytes, int byteCount) {
    DecodeEncodeC(bytes, byteCount);
    const int count = TUTF8Encoding::GetCharCount(bytes, byteCount);
    DecodeEncodeC(bytes, byteCount);
    return count;
}

int TUTF8CEncoding::GetChars(uchar* bytes, int byteCount, QChar* chars, int charCount) {
    DecodeEncodeC(bytes, byteCount);
    const int count = TUTF8Encoding::GetChars(bytes, byteCount, chars, charCount);
    DecodeEncodeC(bytes, byteCount);
    return count;
}

QString TUTF8CEncoding::DecodeWhole(uchar* bytes, int byteCount) {
    DecodeEncodeC(bytes, byteCount);
    return TUTF8Encoding::DecodeWhole(bytes, byteCount);
}

QString TUTF8CEncoding::GetEncodingName() const {
    return QStringLiteral("UTF8C");
}

QByteArray TUTF8CEncoding::GetPreamble() const {
    QByteArray preamble("\xEF\xBB\xBF", 3);
    DecodeEncodeC(reinterpret_cast<uchar*>(preamble.data()), 3);
    return preamble;
}

// ---------------------------------------------------------------------------
// The other own encodings

QString TUTF8NoBomEncoding::GetEncodingName() const {
    return QStringLiteral("UTF-8 ohne BOM");
}

int TRAW16Encoding::GetBytes(const QChar* chars, int charCount, uchar*, int) {
    if (const TDiagnosticHook hook = DiagnosticHook.load(std::memory_order_acquire))
        hook("TRAW16Encoding.GetBytes", chars, charCount);
    return 0;
}

int TRAW16Encoding::GetChars(uchar* bytes, int byteCount, QChar*, int) {
    if (const TDiagnosticHook hook = DiagnosticHook.load(std::memory_order_acquire))
        hook("TRAW16Encoding.GetChars", bytes, byteCount);
    return 0;
}

QString TRAW16Encoding::GetEncodingName() const {
    return QStringLiteral("16-Bit (wie intern)");
}

QString TEncodingAnsiRussian::GetEncodingName() const {
    return QStringLiteral("ANSI (Russian)");
}

QString TEncodingAnsiWestern::GetEncodingName() const {
    return QStringLiteral("ANSI (Western)");
}

// ---------------------------------------------------------------------------
// Shared instances

void TEncodingU::FreeEncodings() {
    Release(utf8cSlot);
    Release(utf8NoBomSlot);
    Release(raw16Slot);
}

TUTF8CEncoding* GetUTF8CEncoding() {
    return SharedInstance(utf8cSlot);
}

TUTF8NoBomEncoding* GetUTF8NoBomEncoding() {
    return SharedInstance(utf8NoBomSlot);
}

TRAW16Encoding* GetRAW16Encoding() {
    return SharedInstance(raw16Slot);
}

TEncodingAnsiRussian* AnsiRussianEncoding() {
    return SharedInstance(russianSlot);
}

TEncodingAnsiWestern* AnsiWesternEncoding() {
    return SharedInstance(westernSlot);
}

} // namespace qz

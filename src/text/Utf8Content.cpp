// Whether bytes are well-formed UTF-8: the vector check where the
// processor has it, the portable one elsewhere, fed block by block.
#include "text/BlockReading_p.h"
#include "text/QZ_Files.h"
#include "text/Utf8PortableValidator_p.h"
#include "text/Utf8VectorValidator_p.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace qz {

namespace {

// Feeds blocks of any size to the vector check where the processor has it,
// otherwise to the portable one.
class TUtf8Validator {
public:
    explicit TUtf8Validator(bool allowVector = true) {
#if defined(__x86_64__)
        FUseVector = allowVector && detail::TVectorUtf8Validator::Available();
#else
        Q_UNUSED(allowVector);
#endif
    }

    // False once the bytes so far cannot begin well-formed UTF-8 (the vector
    // check may notice a fault a few blocks late).
    bool Feed(const quint8* p, qint64 n) noexcept {
        if (n > 0)
            FAny = true;
#if defined(__x86_64__)
        if (FUseVector) {
            if (FTailSize > 0) {
                const int take = int(std::min<qint64>(16 - FTailSize, n));
                std::memcpy(FTail + FTailSize, p, size_t(take));
                FTailSize += take;
                p += take;
                n -= take;
                if (FTailSize < 16)
                    return true;
                FVector.Blocks(FTail, 16);
                FTailSize = 0;
            }
            const qint64 whole = n & ~qint64(15);
            FVector.Blocks(p, whole);
            FTailSize = int(n - whole);
            std::memcpy(FTail, p + whole, size_t(FTailSize));
            return !FVector.Failed();
        }
#endif
        return FPortable.Feed(p, n);
    }

    // Well-formed, complete and at least one character long. Call once.
    [[nodiscard]] bool Complete() noexcept {
#if defined(__x86_64__)
        if (FUseVector) {
            FVector.Finish(FTail, FTailSize);
            return FAny && !FVector.Failed();
        }
#endif
        return FPortable.Complete();
    }

private:
#if defined(__x86_64__)
    detail::TVectorUtf8Validator FVector;
    quint8 FTail[16] = {}; // bytes short of a whole 16-byte step
    int FTailSize = 0;
    bool FUseVector = false;
#endif
    detail::TPortableUtf8Validator FPortable;
    bool FAny = false;
};

} // namespace

bool IsUtf8Content(const char* data, qint64 size) noexcept {
    TUtf8Validator validator;
    validator.Feed(reinterpret_cast<const quint8*>(data), size);
    return validator.Complete();
}

namespace detail {

bool IsUtf8ContentPortable(const char* data, qint64 size, qint64 blockSize) noexcept {
    TUtf8Validator validator(false);
    const auto* p = reinterpret_cast<const quint8*>(data);
    for (qint64 i = 0; i < size; i += blockSize) {
        if (!validator.Feed(p + i, std::min(blockSize, size - i)))
            return false;
    }
    return validator.Complete();
}

} // namespace detail

bool IsUtf8Content(QIODevice& stream) {
    if (auto* buffer = qobject_cast<QBuffer*>(&stream)) {
        const QByteArray& memory = buffer->data();
        if (buffer->isOpen())
            buffer->seek(memory.size());
        return IsUtf8Content(memory.constData(), memory.size());
    }

    if (!stream.isSequential())
        stream.seek(0);
    TUtf8Validator validator;
    QByteArray block(detail::ReadBlockSize, Qt::Uninitialized);
    // Each read is checked as it comes, whatever its size: the validator
    // joins sequences across the seams.
    for (;;) {
        const qint64 got = stream.read(block.data(), block.size());
        if (got < 0)
            return false; // what cannot be read cannot be called UTF-8
        if (got == 0)
            break;
        if (!validator.Feed(reinterpret_cast<const quint8*>(block.constData()), got))
            return false;
    }
    return validator.Complete();
}

} // namespace qz

// Whether bytes are well-formed UTF-8: the widest vector check the
// processor has, the portable one elsewhere, fed block by block.
#include "text/BlockReading_p.h"
#include "text/QZ_Files.h"
#include "text/utf8/Utf8.h"
#include "text/utf8/Utf8Avx2Validator_p.h"
#include "text/utf8/Utf8PortableValidator_p.h"
#include "text/utf8/Utf8VectorValidator_p.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <variant>

namespace qz {

namespace detail {

bool Utf8KernelAvailable(TUtf8Kernel kernel) noexcept {
    switch (kernel) {
    case TUtf8Kernel::Portable:
        return true;
#if defined(__x86_64__)
    case TUtf8Kernel::Ssse3:
        return TVectorUtf8Validator::Available();
    case TUtf8Kernel::Avx2:
        return TAvx2Utf8Validator::Available();
    case TUtf8Kernel::Avx512: {
        static const bool avx512 =
            TAvx2Utf8Validator::Available() && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
            __builtin_cpu_supports("popcnt");
        return avx512;
    }
#endif
    default:
        return false;
    }
}

// The one place that picks a kernel: the widest the processor has.
TUtf8Kernel BestUtf8Kernel() noexcept {
    static const TUtf8Kernel best = [] {
        for (const TUtf8Kernel kernel :
             {TUtf8Kernel::Avx512, TUtf8Kernel::Avx2, TUtf8Kernel::Ssse3}) {
            if (Utf8KernelAvailable(kernel))
                return kernel;
        }
        return TUtf8Kernel::Portable;
    }();
    return best;
}

const char* Utf8KernelName(TUtf8Kernel kernel) noexcept {
    switch (kernel) {
    case TUtf8Kernel::Portable:
        return "portable";
    case TUtf8Kernel::Ssse3:
        return "ssse3";
    case TUtf8Kernel::Avx2:
        return "avx2";
    case TUtf8Kernel::Avx512:
        return "avx512";
    }
    return "?";
}

} // namespace detail

namespace {

using detail::TUtf8Kernel;

#if defined(__x86_64__)
// Hands a vector check whole steps only, keeping the bytes short of one
// for the next block or for the end.
template <class TVector>
class TStepFeeder {
public:
    // False once the bytes so far cannot begin well-formed UTF-8 (the vector
    // check may notice a fault a few steps late).
    bool Feed(const quint8* p, qint64 n) noexcept {
        constexpr int step = TVector::Step;
        if (n <= 0)
            return !FVector.Failed(); // and no memcpy from a null pointer
        if (FTailSize > 0) {
            const int take = int(std::min<qint64>(step - FTailSize, n));
            std::memcpy(FTail + FTailSize, p, size_t(take));
            FTailSize += take;
            p += take;
            n -= take;
            if (FTailSize < step)
                return true;
            FVector.Blocks(FTail, step);
            FTailSize = 0;
        }
        const qint64 whole = n - n % step;
        FVector.Blocks(p, whole);
        FTailSize = int(n - whole);
        std::memcpy(FTail, p + whole, size_t(FTailSize));
        return !FVector.Failed();
    }

    // Well-formed and complete (empty counts as both). Call once.
    [[nodiscard]] bool Complete() noexcept {
        FVector.Finish(FTail, FTailSize);
        return !FVector.Failed();
    }

private:
    TVector FVector;
    quint8 FTail[TVector::Step] = {};
    int FTailSize = 0;
};
#endif

// Feeds blocks of any size to one kernel.
class TUtf8Validator {
public:
    explicit TUtf8Validator(TUtf8Kernel kernel = detail::BestUtf8Kernel()) {
        // A kernel the processor lacks would die on its first instruction;
        // the portable check gives the same answers.
        if (!detail::Utf8KernelAvailable(kernel))
            return;
#if defined(__x86_64__)
        // The check has no step wider than AVX2's.
        if (kernel == TUtf8Kernel::Avx2 || kernel == TUtf8Kernel::Avx512)
            FKernel.emplace<TStepFeeder<detail::TAvx2Utf8Validator>>();
        else if (kernel == TUtf8Kernel::Ssse3)
            FKernel.emplace<TStepFeeder<detail::TVectorUtf8Validator>>();
#endif
    }

    // False once the bytes so far cannot begin well-formed UTF-8.
    bool Feed(const quint8* p, qint64 n) noexcept {
        if (n > 0)
            FAny = true;
        return std::visit([p, n](auto& kernel) { return kernel.Feed(p, n); }, FKernel);
    }

    // Well-formed, complete and at least one character long. Call once.
    [[nodiscard]] bool Complete() noexcept {
        return std::visit([](auto& kernel) { return kernel.Complete(); }, FKernel) && FAny;
    }

private:
    std::variant<detail::TPortableUtf8Validator
#if defined(__x86_64__)
                 ,
                 TStepFeeder<detail::TVectorUtf8Validator>, TStepFeeder<detail::TAvx2Utf8Validator>
#endif
                 >
        FKernel;
    bool FAny = false;
};

} // namespace

bool IsUtf8Content(const char* data, qint64 size) noexcept {
    TUtf8Validator validator;
    validator.Feed(reinterpret_cast<const quint8*>(data), size);
    return validator.Complete();
}

namespace detail {

bool IsUtf8ContentWith(TUtf8Kernel kernel, const char* data, qint64 size,
                       qint64 blockSize) noexcept {
    TUtf8Validator validator(kernel);
    const auto* p = reinterpret_cast<const quint8*>(data);
    for (qint64 i = 0; i < size; i += blockSize) {
        if (!validator.Feed(p + i, std::min(blockSize, size - i)))
            return false;
    }
    return validator.Complete();
}

bool IsUtf8ContentPortable(const char* data, qint64 size, qint64 blockSize) noexcept {
    return IsUtf8ContentWith(TUtf8Kernel::Portable, data, size, blockSize);
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

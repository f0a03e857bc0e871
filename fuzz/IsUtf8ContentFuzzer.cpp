// Checks IsUtf8Content against a plain byte-by-byte decoder written from
// RFC 3629, on memory, on a QBuffer, and on a device that hands out the
// bytes in small blocks so that sequences are cut at every place; and every
// kernel this processor has (the portable one, the reference, and the
// vector ones) against the portable answer, whole and in small blocks.
#include "text/QZ_Files.h"
#include "text/utf8/Utf8.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Decodes each code point in full and then judges its value: the opposite
// approach to the range tables of the code under test.
bool ReferenceIsUtf8(const std::uint8_t* p, std::size_t n) {
    if (n == 0)
        return false;
    std::size_t i = 0;
    while (i < n) {
        std::uint32_t cp = p[i];
        std::size_t length;
        std::uint32_t smallest;
        if (cp < 0x80) {
            ++i;
            continue;
        } else if ((cp & 0xE0) == 0xC0) {
            length = 2;
            cp &= 0x1F;
            smallest = 0x80;
        } else if ((cp & 0xF0) == 0xE0) {
            length = 3;
            cp &= 0x0F;
            smallest = 0x800;
        } else if ((cp & 0xF8) == 0xF0) {
            length = 4;
            cp &= 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < smallest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += length;
    }
    // The bytes that never occur in UTF-8, checked on their own.
    for (std::size_t k = 0; k < n; ++k) {
        if (p[k] == 0xC0 || p[k] == 0xC1 || p[k] >= 0xF5)
            return false;
    }
    return true;
}

class TrickleDevice : public QIODevice {
public:
    TrickleDevice(const char* data, qint64 size, qint64 step)
        : m_data(data), m_size(size), m_step(step) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override {
        const qint64 n = std::min({max, m_step, m_size - m_pos});
        if (n > 0)
            std::memcpy(out, m_data + m_pos, std::size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const char* m_data;
    qint64 m_size;
    qint64 m_step;
    qint64 m_pos = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool expected = ReferenceIsUtf8(data, size);
    const auto* chars = reinterpret_cast<const char*>(data);

    if (qz::IsUtf8Content(chars, qint64(size)) != expected)
        std::abort();

    QByteArray copy(chars, qsizetype(size));
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    if (qz::IsUtf8Content(buffer) != expected)
        std::abort();

    const qint64 step = size > 0 ? 1 + data[0] % 7 : 1;
    // IsUtf8Content runs only the best kernel; the others, the portable
    // reference among them, would otherwise never run on this machine.
    using qz::detail::TUtf8Kernel;
    const bool portable =
        qz::detail::IsUtf8ContentWith(TUtf8Kernel::Portable, chars, qint64(size), qint64(size) + 1);
    if (portable != expected)
        std::abort();
    for (const TUtf8Kernel kernel : qz::detail::AllUtf8Kernels) {
        if (!qz::detail::Utf8KernelAvailable(kernel))
            continue;
        if (qz::detail::IsUtf8ContentWith(kernel, chars, qint64(size), qint64(size) + 1) !=
                portable ||
            qz::detail::IsUtf8ContentWith(kernel, chars, qint64(size), step) != portable ||
            qz::detail::IsUtf8ContentWith(kernel, chars, qint64(size), 33) != portable)
            std::abort();
    }

    TrickleDevice trickle(chars, qint64(size), step);
    if (qz::IsUtf8Content(trickle) != expected)
        std::abort();
    return 0;
}

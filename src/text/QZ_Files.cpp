#include "text/QZ_Files.h"

#include "platform/FileAccess.h"
#include "text/EQZError.h"
#include "text/QZ_Unicd.h"
#include "text/QZ_Unicode.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#endif

namespace qz {

namespace {

// ---------------------------------------------------------------------------
// UTF-8 validation

// Strict RFC 3629 check, one sequence at a time, that can be fed block by
// block: a sequence cut at the end of one block is finished at the start of
// the next. Used where the vector check below cannot run.
class TPortableUtf8Validator {
public:
    // False as soon as the bytes so far cannot begin well-formed UTF-8.
    bool Feed(const quint8* p, qint64 n) noexcept {
        if (!m_ok)
            return false;
        if (n > 0)
            m_any = true;
        qint64 i = 0;
        if (!FinishCutSequence(p, n, i))
            return m_ok = false;
        while (i < n) {
            // Plain text is mostly ASCII: test 16 bytes per step.
            while (n - i >= 16) {
                quint64 a;
                quint64 b;
                std::memcpy(&a, p + i, 8);
                std::memcpy(&b, p + i + 8, 8);
                if ((a | b) & 0x8080808080808080ULL)
                    break;
                i += 16;
            }
            while (i < n && p[i] < 0x80)
                ++i;
            if (i == n)
                break;

            const quint8 lead = p[i];
            int length;
            // The second byte carries the range checks that rule out
            // overlong forms, surrogates and code points above U+10FFFF.
            quint8 lo = 0x80;
            quint8 hi = 0xBF;
            if (lead < 0xC2) { // stray continuation byte, or overlong C0/C1
                return m_ok = false;
            } else if (lead < 0xE0) {
                length = 2;
            } else if (lead < 0xF0) {
                length = 3;
                if (lead == 0xE0)
                    lo = 0xA0;
                else if (lead == 0xED)
                    hi = 0x9F;
            } else if (lead < 0xF5) {
                length = 4;
                if (lead == 0xF0)
                    lo = 0x90;
                else if (lead == 0xF4)
                    hi = 0x8F;
            } else {
                return m_ok = false;
            }

            if (n - i >= length) {
                const quint8 second = p[i + 1];
                if (second < lo || second > hi)
                    return m_ok = false;
                if (length >= 3 && (p[i + 2] & 0xC0) != 0x80)
                    return m_ok = false;
                if (length == 4 && (p[i + 3] & 0xC0) != 0x80)
                    return m_ok = false;
                i += length;
            } else {
                ++i;
                m_pending = length - 1;
                m_lo = lo;
                m_hi = hi;
                if (!FinishCutSequence(p, n, i))
                    return m_ok = false;
            }
        }
        return true;
    }

    // Well-formed, complete and at least one character long.
    [[nodiscard]] bool Complete() const noexcept { return m_ok && m_pending == 0 && m_any; }

private:
    bool FinishCutSequence(const quint8* p, qint64 n, qint64& i) noexcept {
        while (m_pending > 0 && i < n) {
            const quint8 c = p[i++];
            if (c < m_lo || c > m_hi)
                return false;
            m_lo = 0x80;
            m_hi = 0xBF;
            --m_pending;
        }
        return true;
    }

    int m_pending = 0;  // continuation bytes still expected
    quint8 m_lo = 0x80; // range allowed for the next continuation byte
    quint8 m_hi = 0xBF;
    bool m_ok = true;
    bool m_any = false;
};

#if defined(__x86_64__)
// The vector check (SSSE3, 16 bytes per step) classifies every byte pair by
// three 16-entry tables - the high and low nibble of the first byte, the
// high nibble of the second - whose AND is non-zero exactly for the pairs
// that cannot occur in UTF-8. A third or fourth byte of a sequence is the
// one place where two continuation bytes may follow each other; that is
// checked from the bytes two and three places back. Blocks carry the last
// bytes of the previous one, so sequences may span blocks.
class TVectorUtf8Validator {
public:
    static bool Available() noexcept {
        static const bool ssse3 = __builtin_cpu_supports("ssse3");
        return ssse3;
    }

    // `n` is a multiple of 16.
    __attribute__((target("ssse3"))) void Blocks(const quint8* p, qint64 n) noexcept {
        qint64 i = 0;
        for (; n - i >= 64; i += 64) {
            const __m128i a = Load(p + i);
            const __m128i b = Load(p + i + 16);
            const __m128i c = Load(p + i + 32);
            const __m128i d = Load(p + i + 48);
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) {
                m_error = _mm_or_si128(m_error, m_prevIncomplete);
                m_prevIncomplete = _mm_setzero_si128();
                m_prev = d;
                continue;
            }
            Block(a);
            Block(b);
            Block(c);
            Block(d);
        }
        for (; i < n; i += 16)
            Block(Load(p + i));
    }

    // Checks the last `n` < 16 bytes, then whether the text ends inside a
    // sequence.
    __attribute__((target("ssse3"))) void Finish(const quint8* tail, int n) noexcept {
        if (n > 0) {
            // 00 bytes behind the tail are ASCII: they complete nothing.
            alignas(16) quint8 padded[16] = {};
            std::memcpy(padded, tail, size_t(n));
            Block(Load(padded));
        }
        m_error = _mm_or_si128(m_error, m_prevIncomplete);
    }

    [[nodiscard]] bool Failed() const noexcept {
        return _mm_movemask_epi8(_mm_cmpeq_epi8(m_error, _mm_setzero_si128())) != 0xFFFF;
    }

private:
    static __m128i Load(const quint8* p) noexcept {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }

    __attribute__((target("ssse3"))) void Block(__m128i input) noexcept {
        if (_mm_movemask_epi8(input) == 0) {
            m_error = _mm_or_si128(m_error, m_prevIncomplete);
        } else {
            m_error = _mm_or_si128(m_error, Classify(input, m_prev));
            // A lead byte among the last three bytes whose sequence needs
            // more bytes than the block has left.
            const __m128i lastLeads =
                _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, char(0xF0 - 1),
                              char(0xE0 - 1), char(0xC0 - 1));
            m_prevIncomplete = _mm_subs_epu8(input, lastLeads);
            m_prev = input;
            return;
        }
        m_prevIncomplete = _mm_setzero_si128();
        m_prev = input;
    }

    // Error bits of a (first byte, second byte) pair.
    static constexpr char TooShort = 1 << 0;       // lead, then no continuation
    static constexpr char TooLong = 1 << 1;        // ASCII, then a continuation
    static constexpr char Overlong3 = 1 << 2;      // E0 80..9F
    static constexpr char TooLarge = 1 << 3;       // F4 90..BF, F5..FF 90..BF
    static constexpr char Surrogate = 1 << 4;      // ED A0..BF
    static constexpr char Overlong2 = 1 << 5;      // C0, C1 with a continuation
    static constexpr char Large1000 = 1 << 6;      // F5..FF 80..8F
    static constexpr char Overlong4 = 1 << 6;      // F0 80..8F
    static constexpr char TwoConts = char(1 << 7); // continuation, continuation
    static constexpr char Carry = TooShort | TooLong | TwoConts;

    __attribute__((target("ssse3"))) static __m128i Classify(__m128i input, __m128i prev) noexcept {
        const __m128i nibble = _mm_set1_epi8(0x0F);
        const __m128i prev1 = _mm_alignr_epi8(input, prev, 15);
        const __m128i firstHigh = _mm_shuffle_epi8(
            _mm_setr_epi8(TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong,
                          TwoConts, TwoConts, TwoConts, TwoConts, TooShort | Overlong2, TooShort,
                          TooShort | Overlong3 | Surrogate,
                          TooShort | TooLarge | Large1000 | Overlong4),
            _mm_and_si128(_mm_srli_epi16(prev1, 4), nibble));
        const char largeLow = Carry | TooLarge | Large1000;
        const __m128i firstLow = _mm_shuffle_epi8(
            _mm_setr_epi8(Carry | Overlong3 | Overlong2 | Overlong4, Carry | Overlong2, Carry,
                          Carry, Carry | TooLarge, largeLow, largeLow, largeLow, largeLow, largeLow,
                          largeLow, largeLow, largeLow, largeLow | Surrogate, largeLow, largeLow),
            _mm_and_si128(prev1, nibble));
        const char cont = TooLong | Overlong2 | TwoConts;
        const __m128i secondHigh = _mm_shuffle_epi8(
            _mm_setr_epi8(TooShort, TooShort, TooShort, TooShort, TooShort, TooShort, TooShort,
                          TooShort, cont | Overlong3 | Large1000 | Overlong4,
                          cont | Overlong3 | TooLarge, cont | Surrogate | TooLarge,
                          cont | Surrogate | TooLarge, TooShort, TooShort, TooShort, TooShort),
            _mm_and_si128(_mm_srli_epi16(input, 4), nibble));
        const __m128i special = _mm_and_si128(_mm_and_si128(firstHigh, firstLow), secondHigh);

        // Third and fourth bytes must be continuations (and only there may
        // two continuations meet): the byte two back is E0..FF, or the byte
        // three back F0..FF.
        const __m128i prev2 = _mm_alignr_epi8(input, prev, 14);
        const __m128i prev3 = _mm_alignr_epi8(input, prev, 13);
        const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(char(0xE0 - 0x80)));
        const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(char(0xF0 - 0x80)));
        const __m128i mustContinue =
            _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(char(0x80)));
        return _mm_xor_si128(mustContinue, special);
    }

    __m128i m_prev = _mm_setzero_si128();
    __m128i m_prevIncomplete = _mm_setzero_si128();
    __m128i m_error = _mm_setzero_si128();
};
#endif

// Feeds blocks of any size to the vector check where the processor has it,
// otherwise to the portable one.
class TUtf8Validator {
public:
    explicit TUtf8Validator(bool allowVector = true) {
#if defined(__x86_64__)
        m_vector = allowVector && TVectorUtf8Validator::Available();
#else
        Q_UNUSED(allowVector);
#endif
    }

    // False once the bytes so far cannot begin well-formed UTF-8 (the vector
    // check may notice a fault a few blocks late).
    bool Feed(const quint8* p, qint64 n) noexcept {
        if (n > 0)
            m_any = true;
#if defined(__x86_64__)
        if (m_vector) {
            if (m_tailSize > 0) {
                const int take = int(std::min<qint64>(16 - m_tailSize, n));
                std::memcpy(m_tail + m_tailSize, p, size_t(take));
                m_tailSize += take;
                p += take;
                n -= take;
                if (m_tailSize < 16)
                    return true;
                m_simd.Blocks(m_tail, 16);
                m_tailSize = 0;
            }
            const qint64 whole = n & ~qint64(15);
            m_simd.Blocks(p, whole);
            m_tailSize = int(n - whole);
            std::memcpy(m_tail, p + whole, size_t(m_tailSize));
            return !m_simd.Failed();
        }
#endif
        return m_portable.Feed(p, n);
    }

    // Well-formed, complete and at least one character long. Call once.
    [[nodiscard]] bool Complete() noexcept {
#if defined(__x86_64__)
        if (m_vector) {
            m_simd.Finish(m_tail, m_tailSize);
            return m_any && !m_simd.Failed();
        }
#endif
        return m_portable.Complete();
    }

private:
#if defined(__x86_64__)
    TVectorUtf8Validator m_simd;
    quint8 m_tail[16] = {};
    int m_tailSize = 0;
    bool m_vector = false;
#endif
    TPortableUtf8Validator m_portable;
    bool m_any = false;
};

// ---------------------------------------------------------------------------
// Errors and plain reading

QString DeviceName(const QIODevice& fs) {
    if (const auto* file = qobject_cast<const QFileDevice*>(&fs))
        return file->fileName();
    return QStringLiteral("(Speicher)");
}

[[noreturn]] void ThrowReadError(const QIODevice& fs) {
    throw EQZError(QStringLiteral("Fehler beim Lesen der Datei \"%1\" (%2).")
                       .arg(DeviceName(fs), fs.errorString()));
}

void SeekOrThrow(QIODevice& fs, qint64 pos) {
    if (!fs.seek(pos))
        ThrowReadError(fs);
}

[[noreturn]] void ThrowTruncated(const QIODevice& fs) {
    throw EQZError(QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind unvollständig.")
                       .arg(DeviceName(fs)));
}

// A QString of `size` code units, not yet filled.
QString UninitializedText(qint64 size) {
    QString text(size, Qt::Uninitialized);
    platform::AdviseHugePages(text.data(), size * qint64(sizeof(QChar)));
    return text;
}

// Everything from `offset` to the end of the stream, read in one piece.
QByteArray ReadRest(QIODevice& fs, qint64 offset) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    SeekOrThrow(fs, offset);
    QByteArray bytes(count, Qt::Uninitialized);
    platform::AdviseHugePages(bytes.data(), count);
    qint64 done = 0;
    while (done < count) {
        const qint64 got = fs.read(bytes.data() + done, count - done);
        if (got < 0)
            ThrowReadError(fs);
        if (got == 0)
            break; // the file shrank while we read it: keep what is there
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

// Reads the stream from `offset` to its end in blocks that stay in the
// processor's cache and hands each block to `consume`; returns the bytes
// read. Decoding block by block spares the whole file a trip through
// memory as bytes before it becomes text.
constexpr qint64 ReadBlockSize = 64 * 1024;

template <class Consume>
qint64 ForEachBlock(QIODevice& fs, qint64 offset, qint64 count, Consume consume) {
    SeekOrThrow(fs, offset);
    QByteArray block(ReadBlockSize, Qt::Uninitialized);
    qint64 done = 0;
    while (done < count) {
        const qint64 got = fs.read(block.data(), std::min(ReadBlockSize, count - done));
        if (got < 0)
            ThrowReadError(fs);
        if (got == 0)
            break; // the file shrank while we read it: keep what is there
        consume(reinterpret_cast<const quint8*>(block.constData()), got);
        done += got;
    }
    return done;
}

// The most bytes of a UTF-8 sequence that a block end can cut off.
constexpr qsizetype MaxHeldBack = 3;

// How many bytes at the end of `bytes` begin a sequence that needs more
// bytes than are there (0 when the last sequence is complete, or when
// the end holds only ASCII or continuation bytes).
qsizetype CutSequenceLength(QByteArrayView bytes) noexcept {
    const qsizetype n = bytes.size();
    for (qsizetype k = 1; k <= std::min(MaxHeldBack, n); ++k) {
        const quint8 b = quint8(bytes[n - k]);
        if ((b & 0xC0) == 0x80)
            continue;
        if (b < 0x80)
            return 0;
        const qsizetype length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        return length > k ? k : 0;
    }
    return 0;
}

// Decodes the well-formed UTF-8 at the start of `in` and stops before the
// first byte that does not begin a complete, well-formed sequence; returns
// the bytes taken. `out` needs room for 16 code units more than the bytes
// taken, which a buffer of one unit per input byte always has while 16
// input bytes are left.
qint64 DecodeWellFormedUtf8(const quint8* in, qint64 n, char16_t*& out) noexcept {
    qint64 i = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Runs of ASCII are widened 16 bytes at a time.
        const __m128i zero = _mm_setzero_si128();
        while (n - i >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
            const int mask = _mm_movemask_epi8(v);
            if (mask != 0) {
                // Keep the ASCII bytes in front of the first other one.
                const int ascii = __builtin_ctz(unsigned(mask));
                i += ascii;
                out += ascii;
                break;
            }
            i += 16;
            out += 16;
        }
        if (i == n)
            break;
#endif
        const quint8 lead = in[i];
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
        } else if (lead < 0xC2) {
            return i;
        } else if (lead < 0xE0) {
            if (n - i < 2 || (in[i + 1] & 0xC0) != 0x80)
                return i;
            *out++ = char16_t(((lead & 0x1F) << 6) | (in[i + 1] & 0x3F));
            i += 2;
        } else if (lead < 0xF0) {
            if (n - i < 3)
                return i;
            const quint8 lo = lead == 0xE0 ? 0xA0 : 0x80; // no overlong form
            const quint8 hi = lead == 0xED ? 0x9F : 0xBF; // no surrogate
            if (in[i + 1] < lo || in[i + 1] > hi || (in[i + 2] & 0xC0) != 0x80)
                return i;
            *out++ =
                char16_t(((lead & 0x0F) << 12) | ((in[i + 1] & 0x3F) << 6) | (in[i + 2] & 0x3F));
            i += 3;
        } else if (lead < 0xF5) {
            if (n - i < 4)
                return i;
            const quint8 lo = lead == 0xF0 ? 0x90 : 0x80; // no overlong form
            const quint8 hi = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
            if (in[i + 1] < lo || in[i + 1] > hi || (in[i + 2] & 0xC0) != 0x80 ||
                (in[i + 3] & 0xC0) != 0x80)
                return i;
            const char32_t cp = (char32_t(lead & 0x07) << 18) | (char32_t(in[i + 1] & 0x3F) << 12) |
                                (char32_t(in[i + 2] & 0x3F) << 6) | char32_t(in[i + 3] & 0x3F);
            *out++ = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + (cp & 0x3FF));
            i += 4;
        } else {
            return i;
        }
    }
    return i;
}

// Lenient UTF-8 into `out` (room for one code unit per byte): malformed
// bytes become U+FFFD exactly as Qt's decoder replaces them, which gets
// each faulty stretch up to the next ASCII byte (where every sequence
// ends); the well-formed rest is decoded here. A byte-order mark is text
// (U+FEFF) like any other character, where QString::fromUtf8 would drop a
// leading one.
QChar* DecodeUtf8Lenient(QByteArrayView bytes, QChar* out) {
    QStringDecoder faults(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                    QStringDecoder::Flag::ConvertInitialBom);
    const auto* in = reinterpret_cast<const quint8*>(bytes.data());
    const qint64 n = bytes.size();
    qint64 i = 0;
    while (i < n) {
        auto* units = reinterpret_cast<char16_t*>(out);
        i += DecodeWellFormedUtf8(in + i, n - i, units);
        out = reinterpret_cast<QChar*>(units);
        if (i == n)
            break;
        qint64 end = i + 1;
        while (end < n && in[end] >= 0x80)
            ++end;
        out = faults.appendToBuffer(out, bytes.sliced(i, end - i));
        i = end;
    }
    return out;
}

// One character per byte: through `table`, or the byte's own value when
// there is none (ISO 8859-1). The table must map 00..7F to themselves.
void WidenBytes(const quint8* in, qint64 n, char16_t* out, const char16_t* table) noexcept {
    qint64 i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (table && _mm_movemask_epi8(v) != 0) {
            for (int k = 0; k < 16; ++k)
                out[i + k] = table[in[i + k]];
            continue;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    }
#endif
    for (; i < n; ++i)
        out[i] = table ? table[in[i]] : char16_t(in[i]);
}

// The decoders treat a code page outside 16 bits like any unknown one.
quint16 CodePageOrWestern(quint32 codePage) {
    return codePage <= 0xFFFF ? quint16(codePage) : quint16(1252);
}

enum class TOpenResult { Opened, OpenFailed, Locked };

// Linux has no deny-write share mode. A shared advisory lock (flock) stands
// in for it: opening fails while a cooperating writer holds an exclusive
// lock, and while we hold ours such a writer waits. Writers that take no
// lock are not kept out. File systems without flock support do not stop
// the reading.
TOpenResult OpenDenyWrite(QFile& file) {
    if (!file.open(QIODevice::ReadOnly))
        return TOpenResult::OpenFailed;
    if (!platform::LockSharedForReading(file.handle())) {
        file.close();
        return TOpenResult::Locked;
    }
    return TOpenResult::Opened;
}

QString ZlibMessage(const z_stream& zs, int code) {
    if (zs.msg)
        return QString::fromLatin1(zs.msg);
    return QStringLiteral("zlib-Fehler %1").arg(code);
}

// Frees the decompressor on every path out of InflateAfterSignature.
class TInflater {
public:
    TInflater() { m_ok = inflateInit(&zs) == Z_OK; }
    ~TInflater() {
        if (m_ok)
            inflateEnd(&zs);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    [[nodiscard]] bool Ready() const { return m_ok; }
    z_stream zs{};

private:
    bool m_ok = false;
};

constexpr qint64 InflateStep = 1024 * 1024;
constexpr qint64 MaxPiece = 16 * InflateStep;
constexpr qint64 InflateInputBlock = 256 * 1024;

} // namespace

// ---------------------------------------------------------------------------
// Deciders and content detection

quint32 TDefaultDecider::AnsiDecider(QIODevice& /*fs*/, TEncodingType aEncoding) const {
    switch (aEncoding) {
    case et_UTF8C:
        return DecideUtf8CPlain;
    case et_UTF8C_zip:
        return DecideUtf8CInflate;
    default:
        return 0;
    }
}

quint32 TDefaultDecider::AnsiDeciderEx(QIODevice& fs, TEncodingType aEncoding) const {
    if (aEncoding == et_none && DetectUtf8OrAnsi(fs).Kind == et_UTF8noBom)
        return DecideUtf8;
    return AnsiDecider(fs, aEncoding);
}

TDefaultDecider& DefaultDecider() {
    static TDefaultDecider shared;
    return shared;
}

TEncodingDecider AnsiDeciderOf(const TDefaultDecider& decider) {
    return [&decider](QIODevice& fs, TEncodingType kind) { return decider.AnsiDecider(fs, kind); };
}

TEncodingDecider AnsiDeciderExOf(const TDefaultDecider& decider) {
    return
        [&decider](QIODevice& fs, TEncodingType kind) { return decider.AnsiDeciderEx(fs, kind); };
}

TUtf8OrAnsi DetectUtf8OrAnsi(QIODevice& stream) {
    if (IsUtf8Content(stream))
        return {et_UTF8noBom, GetUTF8NoBomEncoding()};
    return {et_ANSI, TEncoding::Default()};
}

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
    QByteArray block(64 * 1024, Qt::Uninitialized);
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

// ---------------------------------------------------------------------------
// Reading

TFileHeader ReadFileHeader(QIODevice& fs) {
    if (fs.size() == 0)
        throw EQZError(QStringLiteral("0-Byte-Datei"));
    TFileHeader header{};
    qint64 done = 0;
    while (done < qint64(header.size())) {
        const qint64 got =
            fs.read(reinterpret_cast<char*>(header.data()) + done, qint64(header.size()) - done);
        if (got < 0)
            ThrowReadError(fs);
        if (got == 0)
            break;
        done += got;
    }
    return header;
}

QString ReadSingleByteText(QIODevice& fs, qint64 offset, quint32 codePage) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    // Latin-1 and Windows-1252, the kinds unmarked files are read as, are
    // widened here block by block through a 256-entry table; the other
    // pages go through their encoding object.
    const char16_t* table = nullptr;
    if (codePage != 0) {
        TEncoding* encoding = EncodingForCodePage(CodePageOrWestern(codePage));
        if (encoding->GetCodePage() != 1252)
            return encoding->GetString(ReadRest(fs, offset));
        table = Windows1252Table().data();
    }
    QString text = UninitializedText(count);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    const qint64 done = ForEachBlock(fs, offset, count, [&](const quint8* block, qint64 n) {
        WidenBytes(block, n, out, table);
        out += n;
    });
    text.truncate(done);
    return text;
}

QString ReadUtf8Text(QIODevice& fs, qint64 offset) {
    const qint64 count = fs.size() - offset;
    if (count <= 0)
        return {};
    SeekOrThrow(fs, offset);
    // UTF-8 never takes more UTF-16 code units than bytes. Each block is
    // decoded on its own; a sequence that the block end cuts is held back
    // and decoded with the next block, so the text equals a one-piece
    // decoding (a byte-order mark inside the text stays U+FEFF).
    QString text = UninitializedText(count);
    QChar* out = text.data();
    QByteArray block(MaxHeldBack + ReadBlockSize, Qt::Uninitialized);
    qsizetype held = 0; // bytes held back at the start of `block`
    qint64 done = 0;
    while (done < count) {
        const qint64 got = fs.read(block.data() + held, std::min(ReadBlockSize, count - done));
        if (got < 0)
            ThrowReadError(fs);
        if (got == 0)
            break; // the file shrank while we read it: keep what is there
        done += got;
        const QByteArrayView bytes(block.constData(), held + got);
        const qsizetype cut = done < count ? CutSequenceLength(bytes) : 0;
        out = DecodeUtf8Lenient(bytes.chopped(cut), out);
        std::memmove(block.data(), bytes.constData() + bytes.size() - cut, size_t(cut));
        held = cut;
    }
    // A sequence cut off by the end of the file becomes U+FFFD.
    out = DecodeUtf8Lenient(QByteArrayView(block.constData(), held), out);
    text.truncate(out - text.constData());
    return text;
}

QString ReadEncodedText(QIODevice& fs, qint64 offset, TEncoding& encoding, bool inflate) {
    const QByteArray bytes = inflate ? InflateAfterSignature(fs) : ReadRest(fs, offset);
    return encoding.GetString(bytes);
}

QByteArray InflateAfterSignature(QIODevice& fs, qint64 maxSize) {
    if (fs.size() <= 8)
        ThrowTruncated(fs);
    SeekOrThrow(fs, 8);
    TInflater inflater;
    if (!inflater.Ready())
        throw EQZError(QStringLiteral("Die Datei \"%1\" kann nicht entpackt werden (%2).")
                           .arg(DeviceName(fs), ZlibMessage(inflater.zs, Z_MEM_ERROR)));
    z_stream& zs = inflater.zs;

    QByteArray input(InflateInputBlock, Qt::Uninitialized);
    // The output is kept in pieces that are joined once at the end: growing
    // one array would copy what is already there again and again. Pieces
    // start at 1 MiB and double up to 16 MiB, so that small files stay
    // small and large ones fill few, huge-page backed pieces. Each call of
    // the decompressor writes at most 1 MiB.
    std::vector<QByteArray> pieces;
    qint64 filled = 0; // bytes in the last piece
    qint64 total = 0;
    int ret = Z_OK;
    while (ret != Z_STREAM_END) {
        if (zs.avail_in == 0) {
            const qint64 got = fs.read(input.data(), input.size());
            if (got < 0)
                ThrowReadError(fs);
            if (got == 0)
                ThrowTruncated(fs);
            zs.next_in = reinterpret_cast<Bytef*>(input.data());
            zs.avail_in = uInt(got);
        }
        if (pieces.empty() || filled == pieces.back().size()) {
            const qint64 wanted =
                pieces.empty() ? InflateStep : std::min(2 * pieces.back().size(), MaxPiece);
            // One byte past the limit is room enough to see that the content
            // does not fit.
            pieces.emplace_back(std::min(wanted, maxSize + 1 - total), Qt::Uninitialized);
            platform::AdviseHugePages(pieces.back().data(), pieces.back().size());
            filled = 0;
        }
        const qint64 room = std::min(InflateStep, pieces.back().size() - filled);
        zs.next_out = reinterpret_cast<Bytef*>(pieces.back().data() + filled);
        zs.avail_out = uInt(room);
        ret = inflate(&zs, Z_NO_FLUSH);
        filled += room - zs.avail_out;
        total += room - zs.avail_out;
        if (ret == Z_NEED_DICT || ret == Z_DATA_ERROR || ret == Z_MEM_ERROR ||
            ret == Z_STREAM_ERROR)
            throw EQZError(QStringLiteral("Die komprimierten Daten der Datei \"%1\" sind "
                                          "beschädigt (%2).")
                               .arg(DeviceName(fs), ZlibMessage(zs, ret)));
        if (total > maxSize)
            throw EQZError(
                QStringLiteral("Die Datei \"%1\" ist entpackt größer als %2 MiB und wird nicht "
                               "gelesen.")
                    .arg(DeviceName(fs))
                    .arg(maxSize / (1024 * 1024)));
        // Z_BUF_ERROR only says that this round could not progress; the
        // loop then supplies input or room.
    }

    pieces.back().truncate(filled);
    if (pieces.size() == 1)
        return std::move(pieces.front());
    QByteArray output(total, Qt::Uninitialized);
    platform::AdviseHugePages(output.data(), total);
    char* at = output.data();
    for (QByteArray& piece : pieces) {
        std::memcpy(at, piece.constData(), size_t(piece.size()));
        at += piece.size();
        piece = QByteArray(); // give the memory back while joining
    }
    return output;
}

QString ReadUtf8ZipText(QIODevice& fs) {
    const QByteArray inflated = InflateAfterSignature(fs);
    QByteArrayView text(inflated);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    // The text ends at the first 00 byte, also when more follows.
    const qsizetype end = text.indexOf('\0');
    if (end >= 0)
        text = text.first(end);
    QString decoded = UninitializedText(text.size());
    decoded.truncate(DecodeUtf8Lenient(text, decoded.data()) - decoded.constData());
    return decoded;
}

// ---------------------------------------------------------------------------
// Files

bool CanOpenForReading(QFile& file) {
    return OpenDenyWrite(file) == TOpenResult::Opened;
}

bool HasUtf8Bom(const QString& fileName) {
    QFile file(fileName);
    if (!CanOpenForReading(file))
        return false;
    char head[3] = {};
    qint64 done = 0;
    while (done < 3) {
        const qint64 got = file.read(head + done, 3 - done);
        if (got < 0)
            ThrowReadError(file);
        if (got == 0)
            break;
        done += got;
    }
    return done == 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0;
}

// Failures throw and leave `result` empty: the text is assigned only once
// it is complete.
void LoadTextFile(const QString& fileName, TEncodingType* kind, QString& result,
                  const TEncodingDecider& decider) {
    result.clear();
    QFile file(fileName);
    switch (OpenDenyWrite(file)) {
    case TOpenResult::Opened:
        break;
    case TOpenResult::OpenFailed:
        throw EQZError(QStringLiteral("Die Datei \"%1\" kann nicht zum Lesen geöffnet werden (%2).")
                           .arg(fileName, file.errorString()));
    case TOpenResult::Locked:
        throw EQZError(QStringLiteral("Die Datei \"%1\" kann nicht zum Lesen geöffnet werden, "
                                      "sie wird gerade geschrieben.")
                           .arg(fileName));
    }

    TDetectedEncoding detected{et_none, 0};
    if (file.size() > 0)
        detected = DetectEncoding(ReadFileHeader(file));
    if (kind)
        *kind = detected.Kind;
    SeekOrThrow(file, detected.DataOffset);

    QString text;
    switch (detected.Kind) {
    case et_ANSI:
        text = ReadSingleByteText(file, detected.DataOffset, 0);
        break;
    case et_UTF8:
        text = ReadUtf8Text(file, detected.DataOffset);
        break;
    case et_UTF16BE:
        text = ReadEncodedText(file, detected.DataOffset, *TEncoding::BigEndianUnicode(), false);
        break;
    case et_UTF16LE:
        text = ReadEncodedText(file, detected.DataOffset, *TEncoding::Unicode(), false);
        break;
    case et_UTF8C:
    case et_UTF8C_zip: {
        // Without a decider the standard one decides. The answer, not the
        // kind, says whether to inflate.
        const quint32 answer = decider ? decider(file, detected.Kind)
                                       : DefaultDecider().AnsiDecider(file, detected.Kind);
        if (answer == DecideUtf8CPlain || answer == DecideUtf8CInflate)
            text = ReadEncodedText(file, detected.DataOffset, *GetUTF8CEncoding(),
                                   answer == DecideUtf8CInflate);
        else
            text = QStringLiteral("File ist QZ-C-encoded");
        break;
    }
    case et_UTF8_zip:
        text = ReadUtf8ZipText(file);
        break;
    case et_ANSI_zip: {
        QByteArray inflated = InflateAfterSignature(file);
        QBuffer memory(&inflated);
        memory.open(QIODevice::ReadOnly);
        const quint32 codePage = decider ? decider(file, et_ANSI_zip) : 1252;
        text = ReadSingleByteText(memory, 0, codePage);
        break;
    }
    default: // et_none; detection yields no other kind
        if (decider && decider(file, et_none) == DecideUtf8)
            text = ReadUtf8Text(file, 0);
        else
            text = ReadSingleByteText(file, 0, 1252);
        break;
    }
    result = std::move(text);
}

} // namespace qz

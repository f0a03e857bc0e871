// Encoding a saved INI file. UTF-8 (with or without its mark, and
// scrambled as UTF8C), UTF-16 in either byte order and the single-byte code
// pages are encoded here piece by piece into one buffer of a fixed size,
// which goes to the writer whenever it is full. Their conversions depend
// on nothing but the character (or surrogate pair) at hand, and the pieces
// of a line meet only at ASCII characters, so the bytes are those of the
// whole text encoded at once. Every other encoding (the double-byte pages,
// which convert through Qt's codecs, the raw 16-bit form and encodings this
// file does not know) gets the whole text in one call, as before: only the
// object itself knows how it treats text it sees in parts.
#include "settings/IniSaveEncoding_p.h"
#include "settings/IniSavedText_p.h"

#include "text/QZ_Defs.h"
#include "text/QZ_Unicd.h"
#include "text/TEncoding.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qz {

namespace {

// Small enough to be a fraction of any document worth saving in parts,
// large enough that the writes cost nothing next to the encoding.
constexpr qsizetype kChunkBytes = 128 * 1024;

class TChunkBuffer {
public:
    explicit TChunkBuffer(const platform::TContentWriter& write)
        : FWrite(write), FData(std::make_unique_for_overwrite<uchar[]>(kChunkBytes)) {}
    TChunkBuffer(const TChunkBuffer&) = delete;
    TChunkBuffer& operator=(const TChunkBuffer&) = delete;

    // Room for `bytes` (at most kChunkBytes) after what the buffer holds.
    uchar* Room(qsizetype bytes) {
        if (FUsed + bytes > kChunkBytes)
            Flush();
        return FData.get() + FUsed;
    }
    // What was written into the room ends at `end`.
    void Commit(const uchar* end) { FUsed = end - FData.get(); }
    void Append(const QByteArray& bytes) {
        if (FUsed + bytes.size() > kChunkBytes) {
            Flush();
            if (bytes.size() > kChunkBytes) {
                FWrite(bytes.constData(), bytes.size());
                return;
            }
        }
        std::memcpy(FData.get() + FUsed, bytes.constData(), size_t(bytes.size()));
        FUsed += bytes.size();
    }
    void Flush() {
        if (FUsed > 0)
            FWrite(reinterpret_cast<const char*>(FData.get()), FUsed);
        FUsed = 0;
    }

private:
    const platform::TContentWriter& FWrite;
    std::unique_ptr<uchar[]> FData;
    qsizetype FUsed = 0;
};

// Calls `span` for consecutive parts of `text` of at most `most` (two or
// more) characters, never between the two halves of a surrogate pair.
template <typename Span>
void ForEachSpan(QStringView text, qsizetype most, Span span) {
    if (text.size() <= most) {
        if (!text.isEmpty())
            span(text);
        return;
    }
    while (!text.isEmpty()) {
        qsizetype take = std::min(text.size(), most);
        if (take < text.size() && text[take - 1].isHighSurrogate())
            --take;
        span(text.first(take));
        text = text.sliced(take);
    }
}

// UTF-8 of `text` at `out`, at most three bytes per character; a surrogate
// without its partner becomes U+FFFD, as the UTF-8 encodings write it.
uchar* EncodeUtf8(QStringView text, uchar* out) {
    const char16_t* c = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight ASCII characters at a time: most of a settings file. A unit is
    // ASCII when none of its bits 7 to 15 is set; packing then narrows each
    // to its low byte.
    const __m128i high = _mm_set1_epi16(qint16(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= n) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + i));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(units, high), zero);
        if (_mm_movemask_epi8(ascii) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(units, units));
        out += 8;
        i += 8;
    }
#endif
    while (i < n) {
        // Four ASCII characters at a time.
        if (i + 4 <= n) {
            quint64 four;
            std::memcpy(&four, c + i, sizeof four);
            if ((four & 0xFF80FF80FF80FF80ULL) == 0) {
                out[0] = uchar(c[i]);
                out[1] = uchar(c[i + 1]);
                out[2] = uchar(c[i + 2]);
                out[3] = uchar(c[i + 3]);
                out += 4;
                i += 4;
                continue;
            }
        }
        char32_t u = c[i++];
        if (u < 0x80) {
            *out++ = uchar(u);
        } else if (u < 0x800) {
            *out++ = uchar(0xC0 | (u >> 6));
            *out++ = uchar(0x80 | (u & 0x3F));
        } else if (!QChar::isSurrogate(u) ||
                   !(QChar::isHighSurrogate(u) && i < n && QChar::isLowSurrogate(c[i]))) {
            if (QChar::isSurrogate(u))
                u = 0xFFFD;
            *out++ = uchar(0xE0 | (u >> 12));
            *out++ = uchar(0x80 | ((u >> 6) & 0x3F));
            *out++ = uchar(0x80 | (u & 0x3F));
        } else {
            u = QChar::surrogateToUcs4(char16_t(u), c[i++]);
            *out++ = uchar(0xF0 | (u >> 18));
            *out++ = uchar(0x80 | ((u >> 12) & 0x3F));
            *out++ = uchar(0x80 | ((u >> 6) & 0x3F));
            *out++ = uchar(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// UTF-8, each byte XORed with UTF8CKey when scrambled.
class TUtf8Sink {
public:
    TUtf8Sink(TChunkBuffer& out, bool scrambled)
        : FOut(out), FKey(scrambled ? UTF8CKey : quint8(0)) {}
    void Text(QStringView piece) {
        ForEachSpan(piece, kChunkBytes / 3, [this](QStringView span) { Span(span); });
    }
    void Ascii(char16_t c) {
        uchar* at = FOut.Room(1);
        *at = uchar(c) ^ FKey;
        FOut.Commit(at + 1);
    }
    void LineEnd() {
        uchar* at = FOut.Room(2);
        at[0] = uchar('\r') ^ FKey;
        at[1] = uchar('\n') ^ FKey;
        FOut.Commit(at + 2);
    }

private:
    void Span(QStringView span) {
        uchar* at = FOut.Room(3 * span.size());
        uchar* end = EncodeUtf8(span, at);
        if (FKey != 0)
            TUTF8CEncoding::DecodeEncodeC(at, int(end - at));
        FOut.Commit(end);
    }

    TChunkBuffer& FOut;
    quint8 FKey;
};

// UTF-16 code units as they are, in either byte order.
class TUtf16Sink {
public:
    TUtf16Sink(TChunkBuffer& out, bool bigEndian) : FOut(out), FBigEndian(bigEndian) {}
    void Text(QStringView piece) {
        ForEachSpan(piece, kChunkBytes / 2, [this](QStringView span) {
            uchar* at = FOut.Room(2 * span.size());
            for (const QChar c : span)
                at = Put(at, c.unicode());
            FOut.Commit(at);
        });
    }
    void Ascii(char16_t c) { FOut.Commit(Put(FOut.Room(2), c)); }
    void LineEnd() { FOut.Commit(Put(Put(FOut.Room(4), u'\r'), u'\n')); }

private:
    uchar* Put(uchar* at, char16_t u) const {
        at[FBigEndian ? 0 : 1] = uchar(u >> 8);
        at[FBigEndian ? 1 : 0] = uchar(u & 0xFF);
        return at + 2;
    }

    TChunkBuffer& FOut;
    bool FBigEndian;
};

// One byte per character through the page's own table; ASCII stays in
// place on every page, so separators and line ends need no lookup.
class TSingleByteSink {
public:
    TSingleByteSink(TChunkBuffer& out, TEncoding* page) : FOut(out), FPage(page) {}
    void Text(QStringView piece) {
        ForEachSpan(piece, kChunkBytes, [this](QStringView span) {
            uchar* at = FOut.Room(span.size());
            const int n = int(span.size());
            FOut.Commit(at + FPage->GetBytes(span.data(), n, at, n));
        });
    }
    void Ascii(char16_t c) {
        uchar* at = FOut.Room(1);
        *at = uchar(c);
        FOut.Commit(at + 1);
    }
    void LineEnd() {
        uchar* at = FOut.Room(2);
        at[0] = '\r';
        at[1] = '\n';
        FOut.Commit(at + 2);
    }

private:
    TChunkBuffer& FOut;
    TEncoding* FPage;
};

// The whole text, for the encoding object to convert in one call.
class TWholeTextSink {
public:
    void Text(QStringView piece) { FText += piece; }
    void Ascii(char16_t c) { FText += QChar(c); }
    void LineEnd() { FText += QLatin1String("\r\n"); }
    [[nodiscard]] const QString& Text() const { return FText; }

private:
    QString FText;
};

enum class TSaveForm { Utf8, Utf8Scrambled, Utf16, Utf16BigEndian, SingleByte, Whole };

// Only the exact classes whose conversions are known qualify: a class
// derived from one of them may convert differently.
TSaveForm SaveFormOf(const TEncoding& encoding) {
    const std::type_info& type = typeid(encoding);
    if (type == typeid(TUTF8Encoding) || type == typeid(TUTF8NoBomEncoding))
        return TSaveForm::Utf8;
    if (type == typeid(TUTF8CEncoding))
        return TSaveForm::Utf8Scrambled;
    if (type == typeid(TUnicodeEncoding))
        return encoding.GetCodePage() == 1201 ? TSaveForm::Utf16BigEndian : TSaveForm::Utf16;
    if (type == typeid(TCodePageEncoding) || type == typeid(TEncodingAnsiRussian) ||
        type == typeid(TEncodingAnsiWestern))
        return static_cast<const TCodePageEncoding&>(encoding).IsSingleByte()
                   ? TSaveForm::SingleByte
                   : TSaveForm::Whole;
    return TSaveForm::Whole;
}

template <typename Visit>
void Encode(TEncoding* encoding, const platform::TContentWriter& write, Visit visit) {
    if (!encoding)
        encoding = TEncoding::Default();
    TChunkBuffer out(write);
    out.Append(encoding->GetPreamble());
    switch (SaveFormOf(*encoding)) {
    case TSaveForm::Utf8:
    case TSaveForm::Utf8Scrambled: {
        TUtf8Sink sink(out, SaveFormOf(*encoding) == TSaveForm::Utf8Scrambled);
        visit(sink);
        break;
    }
    case TSaveForm::Utf16:
    case TSaveForm::Utf16BigEndian: {
        TUtf16Sink sink(out, SaveFormOf(*encoding) == TSaveForm::Utf16BigEndian);
        visit(sink);
        break;
    }
    case TSaveForm::SingleByte: {
        TSingleByteSink sink(out, encoding);
        visit(sink);
        break;
    }
    case TSaveForm::Whole: {
        TWholeTextSink sink;
        visit(sink);
        out.Append(encoding->GetBytes(sink.Text()));
        break;
    }
    }
    out.Flush();
}

} // namespace

void EncodeSavedText(const TIniStream& doc, TEncoding* encoding,
                     const platform::TContentWriter& write) {
    Encode(encoding, write, [&doc](auto& sink) { VisitSavedText(doc, sink); });
}

void EncodeSavedLines(const QStringList& lines, TEncoding* encoding,
                      const platform::TContentWriter& write) {
    Encode(encoding, write, [&lines](auto& sink) {
        for (const QString& line : lines) {
            sink.Text(line);
            sink.LineEnd();
        }
    });
}

QByteArray EncodeIniLines(const QStringList& lines, TEncoding* encoding) {
    QByteArray bytes;
    EncodeSavedLines(lines, encoding,
                     [&bytes](const char* data, qsizetype size) { bytes.append(data, size); });
    return bytes;
}

} // namespace qz

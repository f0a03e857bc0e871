// Writes arbitrary bytes to a file and loads it with no decider, with both
// standard deciders and with a decider whose answer the input picks, from
// the file and from the same bytes in memory. Every failure must be an
// EQZError that leaves the text empty, both loads must agree on kind, text
// and message, and a few answers can be checked against the bytes
// themselves.
#include "text/EQZError.h"
#include "text/QZ_Files.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString& FuzzFile() {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.txt"));
    return path;
}

// Answers that mean something to the loader, and a few that do not.
constexpr quint32 Answers[] = {0, 2, 3, 65001, 1251, 932, 437, 0x10000 + 1250, 7};

struct TLoaded {
    qz::TEncodingType Kind = qz::et_undetected;
    QString Text = QStringLiteral("stale");
    QString Error;
    bool operator==(const TLoaded&) const = default;
};

template <class Load>
TLoaded Loaded(Load load) {
    TLoaded loaded;
    try {
        load(&loaded.Kind, loaded.Text);
    } catch (const qz::EQZError& e) {
        if (!loaded.Text.isEmpty())
            std::abort(); // a failure must not leave half a text behind
        loaded.Error = e.message();
    }
    return loaded;
}

void LoadAndCheck(const QByteArray& bytes, const qz::TEncodingDecider& decider, bool plain) {
    const TLoaded fromFile = Loaded([&](qz::TEncodingType* kind, QString& text) {
        qz::LoadTextFile(FuzzFile(), kind, text, decider);
    });
    const TLoaded fromBytes = Loaded([&](qz::TEncodingType* kind, QString& text) {
        qz::LoadTextBytes(bytes, FuzzFile(), kind, text, decider);
    });
    if (!(fromFile == fromBytes))
        std::abort();
    if (!fromFile.Error.isEmpty())
        return;
    const qz::TEncodingType kind = fromFile.Kind;
    const QString& text = fromFile.Text;
    // Single-byte readings give one character per byte.
    if (kind == qz::et_ANSI && text.size() != bytes.size())
        std::abort();
    if (plain && kind == qz::et_none && text.size() != bytes.size())
        std::abort();
    // The blockwise UTF-8 reading equals a one-piece decoding.
    QStringDecoder onePiece(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
    if (kind == qz::et_UTF8 && bytes.startsWith("\xEF\xBB\xBF") &&
        text != onePiece.decode(bytes.mid(3)))
        std::abort();
    if (kind == qz::et_undetected)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(FuzzFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            std::abort();
    }
    if (qz::ReadFileBytes(FuzzFile(), qint64(size)) != bytes)
        std::abort();
    const qz::TDefaultDecider& standard = qz::DefaultDecider();
    LoadAndCheck(bytes, {}, true);
    LoadAndCheck(bytes, qz::AnsiDeciderOf(standard), true);
    LoadAndCheck(bytes, qz::AnsiDeciderExOf(standard), false);
    const quint32 answer = size > 0 ? Answers[data[size - 1] % std::size(Answers)] : 0;
    LoadAndCheck(
        bytes, [answer](QIODevice&, qz::TEncodingType) { return answer; }, answer != 65001);
    return 0;
}

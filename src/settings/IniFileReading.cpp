#include "settings/IniFileReading_p.h"

#include "platform/AtomicFileWrite.h"
#include "platform/FileAccess.h"
#include "settings/IniFile.h"
#include "text/EQZError.h"
#include "text/QZ_Unicd.h"
#include "text/QZ_cmn.h"
#include "text/TEncoding.h"

#include <QBuffer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz {

namespace {

[[noreturn]] void Refuse(const QString& fn, const QString& why) {
    throw EQZError(QStringLiteral("Die Datei \"%1\" %2").arg(fn, why));
}

// What the type of a file that is not regular says about it.
[[noreturn]] void RefuseNotRegular(const QString& fn, mode_t mode) {
    if (S_ISDIR(mode))
        Refuse(fn, QStringLiteral("ist ein Ordner."));
    Refuse(fn, QStringLiteral("ist keine gewöhnliche Datei und wird nicht gelesen."));
}

[[noreturn]] void RefuseTooLarge(const QString& fn, qint64 size, qint64 maxBytes) {
    Refuse(fn, QStringLiteral("ist %1 Bytes groß und wird nicht gelesen (höchstens %2 Bytes).")
                   .arg(IntToStrGrouped(size), IntToStrGrouped(maxBytes)));
}

[[noreturn]] void RefuseSystemError(const QString& fn, int error) {
    if (error == ENOENT)
        Refuse(fn, QStringLiteral("ist nicht vorhanden."));
    Refuse(fn,
           QStringLiteral("kann nicht gelesen werden: %1.").arg(platform::SystemErrorText(error)));
}

// Closes the descriptor on every way out.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : FFd(fd) {}
    ~TDescriptor() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    [[nodiscard]] int get() const { return FFd; }

private:
    int FFd;
};

// The text layer names an in-memory device "(Speicher)" in its messages;
// these bytes are a file's, and the message must name it.
[[noreturn]] void RethrowNamed(const EQZError& e, const QString& fn) {
    QString message = e.message();
    message.replace(QStringLiteral("\"(Speicher)\""), u'"' + fn + u'"');
    throw EQZError(message);
}

} // namespace

// Only a regular file is read, and it is checked before it is opened: a
// FIFO would block the open for ever, a device may do something when
// opened, and /dev/zero never ends. The open does not block either, in
// case the name changes in between, and the type is checked again on what
// was opened.
QByteArray ReadIniFileBytes(const QString& fn, qint64 maxBytes) {
    const QByteArray native = QFile::encodeName(fn);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        RefuseSystemError(fn, errno);
    if (!S_ISREG(st.st_mode))
        RefuseNotRegular(fn, st.st_mode);
    if (st.st_size > maxBytes)
        RefuseTooLarge(fn, st.st_size, maxBytes);

    const TDescriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        RefuseSystemError(fn, errno);
    if (::fstat(fd.get(), &st) != 0)
        RefuseSystemError(fn, errno);
    if (!S_ISREG(st.st_mode))
        RefuseNotRegular(fn, st.st_mode);
    if (!platform::LockSharedForReading(fd.get()))
        Refuse(fn, QStringLiteral("kann nicht zum Lesen geöffnet werden, sie wird gerade "
                                  "geschrieben."));

    // Read to the end, not to the size seen: a file may grow meanwhile.
    QByteArray bytes(qMin<qint64>(st.st_size, maxBytes) + 1, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes)
                RefuseTooLarge(fn, done, maxBytes);
            bytes.resize(qMin(2 * done, maxBytes + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EQZError(QStringLiteral("Fehler beim Lesen der Datei \"%1\" (%2).")
                               .arg(fn, platform::SystemErrorText(errno)));
        if (got == 0)
            break;
        done += got;
    }
    if (done > maxBytes)
        RefuseTooLarge(fn, done, maxBytes);
    bytes.truncate(done);
    return bytes;
}

QByteArray ReadIniFileBytes(const QString& fn) {
    return ReadIniFileBytes(fn, MaxIniFileSize);
}

namespace detail {

void DecodeIniBytes(const QByteArray& bytes, const QString& fn, TEncodingType* kind,
                    QString& result, const TEncodingDecider& decider) {
    result.clear();
    QByteArray data = bytes;
    QBuffer file(&data);
    file.open(QIODevice::ReadOnly);
    try {
        TDetectedEncoding detected{et_none, 0};
        if (!bytes.isEmpty())
            detected = DetectEncoding(ReadFileHeader(file));
        if (kind)
            *kind = detected.Kind;
        file.seek(detected.DataOffset);
        const auto ask = [&](TEncodingType k) {
            return decider ? decider(file, k) : DefaultDecider().AnsiDecider(file, k);
        };
        switch (detected.Kind) {
        case et_ANSI:
            result = ReadSingleByteText(file, detected.DataOffset, 0);
            break;
        case et_UTF8:
            result = ReadUtf8Text(file, detected.DataOffset);
            break;
        case et_UTF16BE:
            result =
                ReadEncodedText(file, detected.DataOffset, *TEncoding::BigEndianUnicode(), false);
            break;
        case et_UTF16LE:
            result = ReadEncodedText(file, detected.DataOffset, *TEncoding::Unicode(), false);
            break;
        case et_UTF8C:
        case et_UTF8C_zip: {
            const quint32 answer = ask(detected.Kind);
            if (answer == DecideUtf8CPlain || answer == DecideUtf8CInflate)
                result = ReadEncodedText(file, detected.DataOffset, *GetUTF8CEncoding(),
                                         answer == DecideUtf8CInflate);
            else
                result = QStringLiteral("File ist QZ-C-encoded");
            break;
        }
        case et_UTF8_zip:
            result = ReadUtf8ZipText(file);
            break;
        case et_ANSI_zip: {
            QByteArray inflated = InflateAfterSignature(file);
            QBuffer memory(&inflated);
            memory.open(QIODevice::ReadOnly);
            const quint32 codePage = decider ? decider(file, et_ANSI_zip) : 1252;
            result = ReadSingleByteText(memory, 0, codePage);
            break;
        }
        default: // et_none
            if (decider && decider(file, et_none) == DecideUtf8)
                result = ReadUtf8Text(file, 0);
            else
                result = ReadSingleByteText(file, 0, 1252);
            break;
        }
    } catch (const EQZError& e) {
        result.clear();
        RethrowNamed(e, fn);
    }
}

} // namespace detail

} // namespace qz

#pragma once
// Helpers of the text-file tests: compressed and scrambled file bodies,
// files in a folder of the test's own, and a device that trickles.

#include "common/TestHelpers.h"
#include "text/QZ_Defs.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace textfiles {

// zlib stream of `content`, as the compressed kinds carry it.
inline QByteArray Deflate(const QByteArray& content) {
    uLongf size = compressBound(uLong(content.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                             reinterpret_cast<const Bytef*>(content.constData()),
                             uLong(content.size()), Z_BEST_COMPRESSION);
    EXPECT_EQ(rc, Z_OK);
    out.truncate(qsizetype(size));
    return out;
}

inline QByteArray Signature(const char* letters) {
    return QByteArray(letters, 6) + Bytes({0x00, 0x01});
}

inline QByteArray XorKey(QByteArray bytes) {
    for (char& c : bytes)
        c = char(quint8(c) ^ qz::UTF8CKey);
    return bytes;
}

inline const QByteArray Utf8cPreamble = Bytes({0xB5, 0xE1, 0xE5});

// Writes `bytes` to a fresh file in the test's own folder.
class TempFiles {
public:
    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("t.txt")) {
        const QString path = FDir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(f.write(bytes), bytes.size());
        return path;
    }
    [[nodiscard]] QString Path(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
};

// A device that hands out at most `step` bytes per read, so that UTF-8
// sequences are cut at every possible place between two blocks.
class TrickleDevice : public QIODevice {
public:
    TrickleDevice(QByteArray data, qint64 step) : FData(std::move(data)), FStep(step) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    [[nodiscard]] bool isSequential() const override { return true; }
    int reads = 0;

protected:
    qint64 readData(char* out, qint64 max) override {
        const qint64 n = std::min({max, FStep, qint64(FData.size()) - FPos});
        std::memcpy(out, FData.constData() + FPos, size_t(n));
        FPos += n;
        ++reads;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray FData;
    qint64 FStep;
    qint64 FPos = 0;
};

inline QByteArray Ascii(int n) {
    return QByteArray(n, 'a');
}

} // namespace textfiles

#pragma once
// A device whose reads, writes and seeks fail, for the I/O error paths of
// every layer. It holds `content` (its size() is the content's size), hands
// out the first `goodBytes` of it, and fails every read after them; every
// write fails; seeking fails when `seekFails`. Failures set errorString()
// to FailingDevice::ErrorText.
//
//   FailingDevice device(QByteArray(100, 'a'), 10);
//   device.read(10).size() == 10; device.read(1) is empty and an error.

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <algorithm>
#include <cstring>

class FailingDevice : public QIODevice {
public:
    inline static const QString ErrorText = QStringLiteral("Gerätefehler (Test)");

    explicit FailingDevice(QByteArray content, qint64 goodBytes = 0, bool seekFails = false,
                           OpenMode mode = QIODevice::ReadWrite)
        : FContent(std::move(content)), FGoodBytes(goodBytes), FSeekFails(seekFails) {
        // Unbuffered, so that every read reaches readData.
        open(mode | QIODevice::Unbuffered);
    }

    [[nodiscard]] qint64 size() const override { return FContent.size(); }

    bool seek(qint64 pos) override {
        if (FSeekFails) {
            setErrorString(ErrorText);
            return false;
        }
        return QIODevice::seek(pos);
    }

    // How often readData failed.
    [[nodiscard]] int FailedReads() const { return FFailedReads; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 at = pos();
        const qint64 good = std::min<qint64>(FGoodBytes, FContent.size());
        if (at >= good && at < FContent.size()) {
            ++FFailedReads;
            setErrorString(ErrorText);
            return -1;
        }
        const qint64 n = std::max<qint64>(0, std::min(maxSize, good - at));
        std::memcpy(data, FContent.constData() + at, size_t(n));
        return n;
    }

    qint64 writeData(const char*, qint64) override {
        setErrorString(ErrorText);
        return -1;
    }

private:
    QByteArray FContent;
    qint64 FGoodBytes;
    bool FSeekFails;
    int FFailedReads = 0;
};

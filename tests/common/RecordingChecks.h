#pragma once
// Checks of an embedded recording ":/sounds/<name>.wav" as the synthesiser
// wrote it: the exact WAVE layout of 8-bit unsigned PCM, the format and
// length asked for, and what makes it pleasant to hear at normal volume.

#include "common/TestHelpers.h"

#include <QFile>
#include <QString>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>

struct RecordingRow : NamedRow {
    int channels;
    int rate;
    double seconds;
};

inline void ExpectPleasantRecording(const RecordingRow& row) {
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(QString::fromStdString(row.name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no resource " << file.fileName().toStdString();
    const QByteArray wave = file.readAll();
    ASSERT_GE(wave.size(), 44);
    const char* d = wave.constData();
    const auto u16 = [d](int at) { return int(qFromLittleEndian<quint16>(d + at)); };
    const auto u32 = [d](int at) { return qint64(qFromLittleEndian<quint32>(d + at)); };

    // The header, field by field.
    EXPECT_EQ(wave.left(4), "RIFF");
    EXPECT_EQ(u32(4), wave.size() - 8);
    EXPECT_EQ(wave.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16);
    EXPECT_EQ(u16(20), 1) << "PCM";
    EXPECT_EQ(u16(22), row.channels);
    EXPECT_EQ(u32(24), row.rate);
    EXPECT_EQ(u32(28), qint64(row.rate) * row.channels) << "bytes per second";
    EXPECT_EQ(u16(32), row.channels) << "bytes per frame";
    EXPECT_EQ(u16(34), 8) << "bits per sample";
    EXPECT_EQ(wave.mid(36, 4), "data");
    const qint64 size = u32(40);
    ASSERT_EQ(wave.size(), 44 + size + size % 2) << "data chunk and its pad byte end the file";

    const qint64 frames = size / row.channels;
    const double ms = 1000.0 * double(frames) / row.rate;
    EXPECT_NEAR(ms, row.seconds * 1000, 3.0) << "length in ms";

    // Levels as distances from 128, the silent middle of unsigned samples.
    const auto level = [d](qint64 i) { return std::abs(int(quint8(d[44 + i])) - 128); };
    int peak = 0;
    double sum = 0;
    for (qint64 i = 0; i < size; ++i) {
        peak = std::max(peak, level(i));
        sum += quint8(d[44 + i]);
    }
    EXPECT_LE(peak, 102) << "peak clearly below full scale (127), at most -2 dBFS";
    EXPECT_GT(peak, 12) << "something to hear";
    EXPECT_NEAR(sum / double(size), 128.0, 0.5) << "no DC offset";

    // The loudest 200 ms, every 50 ms: every recording within 3 dB of
    // -15 dBFS keeps the sounds of the program equally loud.
    const qint64 window = qint64(0.2 * row.rate) * row.channels;
    const qint64 hop = qint64(0.05 * row.rate) * row.channels;
    double loudest = 0;
    for (qint64 from = 0; from < size; from += hop) {
        const qint64 to = std::min(size, from + window);
        double energy = 0;
        for (qint64 i = from; i < to; ++i)
            energy += double(level(i)) * level(i);
        loudest = std::max(loudest, std::sqrt(energy / double(to - from)) / 127);
    }
    EXPECT_GT(20 * std::log10(loudest), -18.0) << "loudness in dBFS";
    EXPECT_LT(20 * std::log10(loudest), -12.0) << "loudness in dBFS";

    // A soft start: the first 2 ms stay far below the peak.
    int onset = 0;
    for (qint64 i = 0; i < qint64(0.002 * row.rate) * row.channels; ++i)
        onset = std::max(onset, level(i));
    EXPECT_LE(onset, peak * 15 / 100) << "no click at the start";

    // A soft end: the last 2 ms of sound fade out.
    qint64 last = size - 1;
    while (last > 0 && level(last) <= 1)
        --last;
    int ending = 0;
    for (qint64 i = std::max<qint64>(0, last - qint64(0.002 * row.rate) * row.channels); i <= last;
         ++i)
        ending = std::max(ending, level(i));
    EXPECT_LE(ending, peak * 15 / 100) << "no click at the end";

    // The output may swallow the last 130 ms: nothing may sound there.
    int tail = 0;
    for (qint64 i = size - qint64(0.13 * row.rate) * row.channels; i < size; ++i)
        tail = std::max(tail, level(i));
    EXPECT_LE(tail, 1) << "silent tail";
}

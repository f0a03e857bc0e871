// Text-file reading beside its floors and peers, measured in the same run:
// the UTF-8 check beside memcpy and Qt's check, and LoadTextFile of 64 MiB
// files (in the page cache) beside Qt's decoder, a plain read and a plain
// inflate of the same bytes.
#include "platform/FileAccess.h"
#include "text/QZ_Files.h"
#include "text/utf8/Utf8.h"

#include <QBuffer>
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <libdeflate.h>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <zlib.h>

namespace {

constexpr qsizetype FileSize = 64 * 1024 * 1024;

// German prose: ASCII words with an umlaut word now and then (about 1 % of
// the bytes are not ASCII).
QByteArray AsciiHeavyText(qsizetype size) {
    static const char* const words[] = {"der",     "Stein",  "fällt",  "in",    "den",
                                        "Schacht", "und",    "die",    "Reihe", "wird",
                                        "voll",    "Punkte", "zählen", "nach",  "Spielende",
                                        "Rekord",  "Name",   "Spiel",  "neu",   "Ebene"};
    std::mt19937 random(1);
    QByteArray out;
    out.reserve(size + 16);
    while (out.size() < size) {
        const char* w = words[random() % std::size(words)];
        out.append(w);
        out.append(random() % 12 == 0 ? ".\r\n" : " ");
    }
    out.truncate(size);
    return out;
}

// About 30 % of the bytes not ASCII: umlauts (two bytes) and CJK (three).
QByteArray MixedText(qsizetype size) {
    static const char* const words[] = {"Größe",  "Straße", "über",     "Ärger",  "spielen",
                                        "Stein",  "und",    "漢字",     "テスト", "points",
                                        "row",    "fällt",  "积木游戏", "ok",     "Würfel",
                                        "Punkte", "Reihe",  "game",     "level"};
    std::mt19937 random(2);
    QByteArray out;
    out.reserve(size + 16);
    while (out.size() < size) {
        out.append(words[random() % std::size(words)]);
        out.append(' ');
    }
    // Cut at a character boundary so that the text stays well-formed.
    qsizetype end = size;
    while (end > 0 && (quint8(out[end]) & 0xC0) == 0x80)
        --end;
    out.truncate(end);
    return out;
}

// Windows-1252 text: the prose with its umlauts as single bytes.
QByteArray Windows1252Text(qsizetype size) {
    QByteArray out = QString::fromUtf8(AsciiHeavyText(size + size / 50))
                         .toLatin1(); // ä, ö, ü, ß share their Latin-1 bytes
    out.truncate(size);
    return out;
}

QByteArray Deflate(const QByteArray& content) {
    uLongf size = compressBound(uLong(content.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(content.constData()), uLong(content.size()),
              Z_DEFAULT_COMPRESSION);
    out.truncate(qsizetype(size));
    return out;
}

double NonAsciiShare(const QByteArray& bytes) {
    qsizetype n = 0;
    for (char c : bytes)
        n += quint8(c) >= 0x80;
    return double(n) / double(bytes.size());
}

// The inputs, made once and kept for the whole run.
struct Inputs {
    QTemporaryDir dir;
    QByteArray ascii = AsciiHeavyText(FileSize);
    QByteArray mixed = MixedText(FileSize);
    QByteArray utf8Bom = "\xEF\xBB\xBF" + mixed;
    QByteArray ansi = Windows1252Text(FileSize);
    QByteArray zipContent = QString::fromUtf8(AsciiHeavyText(FileSize)).toUtf8();
    QByteArray zipStream = Deflate(zipContent);
    QString utf8BomPath = Write("utf8bom.txt", utf8Bom);
    QString ansiPath = Write("ansi.txt", ansi);
    QString zipPath = Write("utf8.zip.txt", QByteArray("DLQZU8\0\1", 8) + zipStream);

    QString Write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        f.open(QIODevice::ReadOnly);
        (void)f.readAll(); // into the page cache
        return path;
    }
};

Inputs& In() {
    static Inputs inputs;
    return inputs;
}

void Throughput(benchmark::State& state, qsizetype bytes) {
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Page faults a round: how much fresh memory it touched (a 4 KiB page
// each, or a 2 MiB huge page).
class TFaultCount {
public:
    explicit TFaultCount(benchmark::State& state) : FState(state) {}
    ~TFaultCount() {
        FState.counters["faults"] =
            benchmark::Counter(double(MinorFaults() - FStart), benchmark::Counter::kAvgIterations);
    }
    TFaultCount(const TFaultCount&) = delete;
    TFaultCount& operator=(const TFaultCount&) = delete;

private:
    benchmark::State& FState;
    long FStart = MinorFaults();
};

// --- UTF-8 check ----------------------------------------------------------

void BM_IsUtf8Content(benchmark::State& state, const QByteArray* (*pick)()) {
    const QByteArray& bytes = *pick();
    QByteArray copy = bytes; // shared, not copied
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    for (auto _ : state)
        benchmark::DoNotOptimize(qz::IsUtf8Content(buffer));
    state.counters["non_ascii"] = NonAsciiShare(bytes);
    Throughput(state, bytes.size());
}

void BM_Memcpy(benchmark::State& state, const QByteArray* (*pick)()) {
    const QByteArray& bytes = *pick();
    // Touched before timing, as the source is, so no run pays its page faults.
    QByteArray target(bytes.size(), '\0');
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.constData(), size_t(bytes.size()));
        benchmark::ClobberMemory();
    }
    Throughput(state, bytes.size());
}

// One kernel on its own, so that one run shows them side by side.
void BM_Utf8Kernel(benchmark::State& state, const QByteArray* (*pick)(),
                   qz::detail::TUtf8Kernel kernel) {
    if (!qz::detail::Utf8KernelAvailable(kernel)) {
        state.SkipWithError("this processor lacks the kernel");
        return;
    }
    const QByteArray& bytes = *pick();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            qz::detail::IsUtf8ContentWith(kernel, bytes.constData(), bytes.size(), bytes.size()));
    }
    Throughput(state, bytes.size());
}

void BM_QtIsValidUtf8(benchmark::State& state, const QByteArray* (*pick)()) {
    const QByteArray& bytes = *pick();
    for (auto _ : state)
        benchmark::DoNotOptimize(QByteArrayView(bytes).isValidUtf8());
    Throughput(state, bytes.size());
}

const QByteArray* PickAscii() {
    return &In().ascii;
}
const QByteArray* PickMixed() {
    return &In().mixed;
}

using qz::detail::TUtf8Kernel;

BENCHMARK_CAPTURE(BM_IsUtf8Content, ascii_heavy, PickAscii)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memcpy, ascii_heavy, PickAscii)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtIsValidUtf8, ascii_heavy, PickAscii)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, ascii_heavy_portable, PickAscii, TUtf8Kernel::Portable)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, ascii_heavy_ssse3, PickAscii, TUtf8Kernel::Ssse3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, ascii_heavy_avx2, PickAscii, TUtf8Kernel::Avx2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IsUtf8Content, mixed, PickMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Memcpy, mixed, PickMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QtIsValidUtf8, mixed, PickMixed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, mixed_portable, PickMixed, TUtf8Kernel::Portable)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, mixed_ssse3, PickMixed, TUtf8Kernel::Ssse3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Utf8Kernel, mixed_avx2, PickMixed, TUtf8Kernel::Avx2)
    ->Unit(benchmark::kMillisecond);

// --- LoadTextFile -----------------------------------------------------------

void BM_LoadUtf8Bom(benchmark::State& state) {
    const QString& file = In().utf8BomPath;
    const qz::TEncodingDecider decider = qz::AnsiDeciderOf(qz::DefaultDecider());
    for (auto _ : state) {
        QString text;
        qz::LoadTextFile(file, nullptr, text, decider);
        benchmark::DoNotOptimize(text.constData());
    }
    Throughput(state, In().utf8Bom.size());
}
BENCHMARK(BM_LoadUtf8Bom)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QtFromUtf8InMemory(benchmark::State& state) {
    const QByteArrayView bytes = QByteArrayView(In().utf8Bom).sliced(3);
    for (auto _ : state) {
        QString text = QString::fromUtf8(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    Throughput(state, In().utf8Bom.size());
}
BENCHMARK(BM_QtFromUtf8InMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWindows1252(benchmark::State& state) {
    const QString& file = In().ansiPath;
    const qz::TEncodingDecider decider = qz::AnsiDeciderOf(qz::DefaultDecider());
    for (auto _ : state) {
        QString text;
        qz::LoadTextFile(file, nullptr, text, decider);
        benchmark::DoNotOptimize(text.constData());
    }
    Throughput(state, In().ansi.size());
}
BENCHMARK(BM_LoadWindows1252)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainReadWindows1252(benchmark::State& state) {
    const QString& file = In().ansiPath;
    for (auto _ : state) {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        QByteArray bytes = f.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    Throughput(state, In().ansi.size());
}
BENCHMARK(BM_PlainReadWindows1252)->Unit(benchmark::kMillisecond)->UseRealTime();

// The compressed load beside inflating the same stream alone. The peers
// come in pairs: into a buffer made once and written again each round
// (its pages stay mapped), and into a fresh buffer each round, as the load
// writes, whose pages the kernel must first map. The load inflates into
// the text's own buffer and decodes it there, so it maps the file's bytes
// and the text, nothing more; "faults" counts the pages it mapped.
void BM_LoadUtf8Zip(benchmark::State& state) {
    const QString& file = In().zipPath;
    const qz::TEncodingDecider decider = qz::AnsiDeciderOf(qz::DefaultDecider());
    const TFaultCount faults(state);
    for (auto _ : state) {
        QString text;
        qz::LoadTextFile(file, nullptr, text, decider);
        benchmark::DoNotOptimize(text.constData());
    }
    Throughput(state, In().zipContent.size());
    state.counters["packedRatio"] = double(In().zipContent.size()) / double(In().zipStream.size());
}
BENCHMARK(BM_LoadUtf8Zip)->Unit(benchmark::kMillisecond)->UseRealTime();

void ZlibUncompress(const QByteArray& stream, QByteArray& out) {
    uLongf size = uLongf(out.size());
    uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
               reinterpret_cast<const Bytef*>(stream.constData()), uLong(stream.size()));
    benchmark::ClobberMemory();
}

void LibdeflateUncompress(libdeflate_decompressor* d, const QByteArray& stream, QByteArray& out) {
    size_t size = 0;
    libdeflate_zlib_decompress(d, stream.constData(), size_t(stream.size()), out.data(),
                               size_t(out.size()), &size);
    benchmark::ClobberMemory();
}

// A buffer as the loader makes one: uninitialised, with the huge-page hint.
QByteArray FreshBuffer(qsizetype size) {
    QByteArray out(size, Qt::Uninitialized);
    qz::platform::AdviseHugePages(out.data(), size);
    return out;
}

void BM_PlainInflateInMemory(benchmark::State& state) {
    QByteArray out(In().zipContent.size(), Qt::Uninitialized);
    for (auto _ : state)
        ZlibUncompress(In().zipStream, out);
    Throughput(state, In().zipContent.size());
}
BENCHMARK(BM_PlainInflateInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainInflateFresh(benchmark::State& state) {
    const TFaultCount faults(state);
    for (auto _ : state) {
        QByteArray out = FreshBuffer(In().zipContent.size());
        ZlibUncompress(In().zipStream, out);
    }
    Throughput(state, In().zipContent.size());
}
BENCHMARK(BM_PlainInflateFresh)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LibdeflateInMemory(benchmark::State& state) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    QByteArray out(In().zipContent.size(), Qt::Uninitialized);
    for (auto _ : state)
        LibdeflateUncompress(d, In().zipStream, out);
    libdeflate_free_decompressor(d);
    Throughput(state, In().zipContent.size());
}
BENCHMARK(BM_LibdeflateInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LibdeflateFresh(benchmark::State& state) {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    const TFaultCount faults(state);
    for (auto _ : state) {
        QByteArray out = FreshBuffer(In().zipContent.size());
        LibdeflateUncompress(d, In().zipStream, out);
    }
    libdeflate_free_decompressor(d);
    Throughput(state, In().zipContent.size());
}
BENCHMARK(BM_LibdeflateFresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// The load's second half alone: the inflated bytes, already in memory, as
// text in a fresh string.
void BM_DecodeInflatedUtf8(benchmark::State& state) {
    QBuffer memory;
    memory.setData(In().zipContent);
    memory.open(QIODevice::ReadOnly);
    const TFaultCount faults(state);
    for (auto _ : state) {
        QString text = qz::ReadUtf8Text(memory, 0);
        benchmark::DoNotOptimize(text.constData());
    }
    Throughput(state, In().zipContent.size());
}
BENCHMARK(BM_DecodeInflatedUtf8)->Unit(benchmark::kMillisecond)->UseRealTime();

// `bench_text --after-idle <rounds>`: the compressed load and zlib into a
// fresh buffer, in turn (each round in the other order), each after 3 s
// without work, so that the memory they get is memory a virtual machine's
// host may have taken back meanwhile (free-page reporting). Prints each
// one's wall time.
int AfterIdle(int rounds) {
    const qz::TEncodingDecider decider = qz::AnsiDeciderOf(qz::DefaultDecider());
    (void)In(); // the inputs, made before the first pause
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool load = (turn + round) % 2 == 0;
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const auto started = std::chrono::steady_clock::now();
            if (load) {
                QString text;
                qz::LoadTextFile(In().zipPath, nullptr, text, decider);
                benchmark::DoNotOptimize(text.constData());
            } else {
                QByteArray out = FreshBuffer(In().zipContent.size());
                ZlibUncompress(In().zipStream, out);
            }
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - started;
            std::printf("%s %.1f ms\n", load ? "load" : "zlib_fresh", took.count());
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--after-idle") == 0)
        return AfterIdle(std::atoi(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

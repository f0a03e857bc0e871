// The INI file object against Qt's QSettings (IniFormat) on the same
// generated file of 1,000 sections with 100 keys each (UTF-8 with byte-order
// mark, CR LF, a comment every ten keys), the floor of reading the file and
// splitting it into lines, and the floor of writing the file's bytes, held
// in memory, to a temporary file that is synced and renamed over the old
// one, as a save does. Memory is counted by wrapping the C allocator, which
// Qt's containers and operator new both end up in.

#include "settings/QZINI.h"
#include "text/TEncoding.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <vector>

// ---------------------------------------------------------------- allocation counting

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
}

namespace {

using i64 = long long;

std::atomic<i64> g_live{0};
std::atomic<i64> g_peak{0};

void Count(void* p) {
    if (!p)
        return;
    const i64 size = i64(malloc_usable_size(p));
    const i64 now = g_live.fetch_add(size, std::memory_order_relaxed) + size;
    i64 peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void Uncount(void* p) {
    if (p)
        g_live.fetch_sub(i64(malloc_usable_size(p)), std::memory_order_relaxed);
}

} // namespace

extern "C" {
void* malloc(size_t n) {
    void* p = __libc_malloc(n);
    Count(p);
    return p;
}
void* calloc(size_t n, size_t size) {
    void* p = __libc_calloc(n, size);
    Count(p);
    return p;
}
void* realloc(void* old, size_t n) {
    Uncount(old);
    void* p = __libc_realloc(old, n);
    Count(p ? p : (n ? old : nullptr));
    return p;
}
void free(void* p) {
    Uncount(p);
    __libc_free(p);
}
void* memalign(size_t align, size_t n) {
    void* p = __libc_memalign(align, n);
    Count(p);
    return p;
}
void* aligned_alloc(size_t align, size_t n) {
    return memalign(align, n);
}
int posix_memalign(void** out, size_t align, size_t n) {
    *out = memalign(align, n);
    return *out ? 0 : ENOMEM;
}
}

namespace {

// Live bytes and their peak, counted from the moment the mark is made.
struct TMemoryMark {
    i64 base = g_live.load();
    TMemoryMark() { g_peak.store(base); }
    [[nodiscard]] i64 Retained() const { return g_live.load() - base; }
    [[nodiscard]] i64 Peak() const { return g_peak.load() - base; }
};

// ---------------------------------------------------------------- the test file

constexpr int kSections = 1000;
constexpr int kKeys = 100;

struct TBenchFile {
    QTemporaryDir dir;
    QString path = dir.filePath("big.ini");
    qint64 size = 0;
    QStringList sectionNames;
    QStringList keyNames;

    TBenchFile() {
        QByteArray text("\xEF\xBB\xBF");
        for (int s = 0; s < kSections; ++s) {
            const QString section = QStringLiteral("Section%1").arg(s, 4, 10, QLatin1Char('0'));
            sectionNames << section;
            text += "[" + section.toUtf8() + "]\r\n";
            for (int k = 0; k < kKeys; ++k) {
                if (k % 10 == 0)
                    text += ";note " + QByteArray::number(k) + "\r\n";
                text += "Key" + QByteArray::number(k) + "=" +
                        QByteArray::number(s * 7919 + k * 104729) + " Werte " +
                        QByteArray::number(k * 31) + "\r\n";
            }
            text += "\r\n";
        }
        for (int k = 0; k < kKeys; ++k)
            keyNames << QStringLiteral("Key%1").arg(k);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        size = text.size();
    }

    // QSettings keeps parsed files in a cache keyed by name, size and time;
    // a new time makes it read the file again.
    void Touch() const {
        static int shift = 0;
        QFile f(path);
        if (f.open(QIODevice::ReadWrite))
            (void)f.setFileTime(QDateTime::currentDateTime().addSecs(++shift),
                                QFileDevice::FileModificationTime);
    }
};

const TBenchFile& File() {
    static const TBenchFile file;
    return file;
}

struct TRead {
    int section;
    int key;
    int kind;
};

std::vector<TRead> RandomReads() {
    QRandomGenerator rng(42);
    std::vector<TRead> reads(1000);
    for (TRead& r : reads)
        r = {int(rng.bounded(kSections)), int(rng.bounded(kKeys)), int(rng.bounded(3))};
    return reads;
}

std::unique_ptr<qz::TIni> LoadIni(const QString& path) {
    return std::make_unique<qz::TIni>(path, qz::TEncoding::UTF8(), &qz::TIni::IgnoreOnErrorEncoding,
                                      qz::TVirtualizeFunction());
}

// ---------------------------------------------------------------- load

void BM_Floor_ReadAndSplit(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        QFile f(file.path);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(f.readAll());
        qsizetype lines = 0;
        qz::ForEachLine(text, [&](QStringView line) { lines += !line.isEmpty(); });
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Floor_ReadAndSplit)->Unit(benchmark::kMillisecond);

void BM_TIni_Load(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        auto ini = LoadIni(file.path);
        benchmark::DoNotOptimize(ini->Count());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_TIni_Load)->Unit(benchmark::kMillisecond);

void BM_QSettings_FullLoad(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        state.PauseTiming();
        file.Touch();
        state.ResumeTiming();
        QSettings settings(file.path, QSettings::IniFormat);
        benchmark::DoNotOptimize(settings.allKeys().size());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_QSettings_FullLoad)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- 1,000 typed reads

void BM_TIni_1000Reads(benchmark::State& state) {
    const TBenchFile& file = File();
    auto ini = LoadIni(file.path);
    const auto reads = RandomReads();
    for (auto _ : state) {
        qint64 sum = 0;
        for (const TRead& r : reads) {
            const QString& s = file.sectionNames[r.section];
            const QString& k = file.keyNames[r.key];
            if (r.kind == 0)
                sum += ini->ReadString(s, k, QString()).size();
            else if (r.kind == 1)
                sum += ini->ReadInt64(s, k, 1);
            else
                sum += ini->ReadBool(s, k, false);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TIni_1000Reads)->Unit(benchmark::kMicrosecond);

void BM_QSettings_1000Reads(benchmark::State& state) {
    const TBenchFile& file = File();
    file.Touch();
    QSettings settings(file.path, QSettings::IniFormat);
    (void)settings.allKeys();
    const auto reads = RandomReads();
    for (auto _ : state) {
        qint64 sum = 0;
        for (const TRead& r : reads) {
            const QString key = file.sectionNames[r.section] + u'/' + file.keyNames[r.key];
            if (r.kind == 0)
                sum += settings.value(key).toString().size();
            else if (r.kind == 1)
                sum += settings.value(key, 1).toLongLong();
            else
                sum += settings.value(key, false).toBool();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_QSettings_1000Reads)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- one write and a full save

void BM_TIni_WriteAndSave(benchmark::State& state) {
    const TBenchFile& file = File();
    const QString copy = file.dir.filePath("tini.ini");
    QFile::remove(copy);
    QFile::copy(file.path, copy);
    auto ini = LoadIni(copy);
    int n = 0;
    for (auto _ : state) {
        ini->WriteInteger(file.sectionNames[n % kSections], file.keyNames[n % kKeys], n);
        ini->Save();
        ++n;
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(copy).size());
}
BENCHMARK(BM_TIni_WriteAndSave)->Unit(benchmark::kMillisecond);

// The same number of bytes, already in memory, written durably: a new
// temporary file beside the target, written, fdatasync'ed and renamed over
// the target, as the save does it.
void BM_Floor_WriteAndRename(benchmark::State& state) {
    const TBenchFile& file = File();
    const QString target = file.dir.filePath("floor.ini");
    QByteArray bytes;
    {
        QFile f(file.path);
        if (f.open(QIODevice::ReadOnly))
            bytes = f.readAll();
    }
    const QByteArray native = QFile::encodeName(target);
    for (auto _ : state) {
        QByteArray temporary = native + ".saving-XXXXXX";
        const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        const char* at = bytes.constData();
        qsizetype left = bytes.size();
        while (fd >= 0 && left > 0) {
            const ssize_t done = ::write(fd, at, size_t(left));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                break;
            at += done;
            left -= done;
        }
        if (fd < 0 || left > 0 || ::fdatasync(fd) != 0 || ::close(fd) != 0 ||
            ::rename(temporary.constData(), native.constData()) != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Floor_WriteAndRename)->Unit(benchmark::kMillisecond);

void BM_QSettings_WriteAndSave(benchmark::State& state) {
    const TBenchFile& file = File();
    const QString copy = file.dir.filePath("qsettings.ini");
    QFile::remove(copy);
    QFile::copy(file.path, copy);
    QSettings settings(copy, QSettings::IniFormat);
    (void)settings.allKeys();
    int n = 0;
    for (auto _ : state) {
        settings.setValue(file.sectionNames[n % kSections] + u'/' + file.keyNames[n % kKeys], n);
        settings.sync();
        ++n;
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(copy).size());
}
BENCHMARK(BM_QSettings_WriteAndSave)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- memory

// Bytes held once the file is loaded, and the peak while loading.
void BM_Memory_TIni(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        const TMemoryMark mark;
        auto ini = LoadIni(file.path);
        state.counters["retained_MiB"] = double(mark.Retained()) / (1 << 20);
        state.counters["peak_MiB"] = double(mark.Peak()) / (1 << 20);
    }
}
BENCHMARK(BM_Memory_TIni)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Memory_QSettings(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        file.Touch();
        const TMemoryMark mark;
        QSettings settings(file.path, QSettings::IniFormat);
        benchmark::DoNotOptimize(settings.allKeys().size());
        state.counters["retained_MiB"] = double(mark.Retained()) / (1 << 20);
        state.counters["peak_MiB"] = double(mark.Peak()) / (1 << 20);
    }
}
BENCHMARK(BM_Memory_QSettings)->Iterations(1)->Unit(benchmark::kMillisecond);

// Bytes the loaded document holds, and the peak of everything held while
// one write and a full save run, as a multiple of the document.
void BM_Memory_Save(benchmark::State& state) {
    const TBenchFile& file = File();
    const QString copy = file.dir.filePath("memory.ini");
    QFile::remove(copy);
    QFile::copy(file.path, copy);
    int n = 0;
    for (auto _ : state) {
        const TMemoryMark loading;
        auto ini = LoadIni(copy);
        const i64 document = loading.Retained();
        const TMemoryMark saving;
        ini->WriteInteger(file.sectionNames[n % kSections], file.keyNames[n % kKeys], n);
        ini->Save();
        ++n;
        state.counters["document_MiB"] = double(document) / (1 << 20);
        state.counters["save_extra_MiB"] = double(saving.Peak()) / (1 << 20);
        state.counters["peak_ratio"] = double(document + saving.Peak()) / double(document);
    }
}
BENCHMARK(BM_Memory_Save)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    (void)File(); // generate the file outside every measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

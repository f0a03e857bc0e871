// The INI file object against Qt's QSettings (IniFormat) and inih's
// callback parser on the same generated file of 1,000 sections with 100
// keys each (UTF-8 with byte-order mark, CR LF, a comment every ten keys),
// the floor of reading the file and splitting it into lines, and the floor
// of writing the file's bytes, held in memory, to a temporary file that is
// synced and renamed over the old one, as a save does. A settings-sized
// file (about 7 KB) is loaded and read by all three as well, and files of
// 10,000 to 1,000,000 sections show how loading scales. Memory is counted by
// wrapping the C allocator, which Qt's containers and operator new both end
// up in.

#include "settings/QZINI.h"
#include "text/TEncoding.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <ini.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <unordered_map>
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

QTemporaryDir& BenchDir() {
    static QTemporaryDir dir;
    return dir;
}

// `sections` sections of `keys` keys (`Key42=415897 Werte 1302`), a comment
// before every tenth key. The sections come in the order of their names, as
// a saved file has them, or shuffled.
struct TBenchFile {
    QString path;
    int sections;
    int keys;
    qint64 size = 0;
    QStringList sectionNames;
    QStringList keyNames;

    TBenchFile(const QString& name, int sectionCount, int keyCount, bool shuffled = false)
        : path(BenchDir().filePath(name)), sections(sectionCount), keys(keyCount) {
        QByteArray text("\xEF\xBB\xBF");
        const int digits = sections > 10'000 ? 7 : 4;
        std::vector<int> order(size_t(sections), 0);
        std::iota(order.begin(), order.end(), 0);
        if (shuffled)
            std::shuffle(order.begin(), order.end(), std::mt19937(7));
        for (int s : order) {
            const QString section =
                QStringLiteral("Section%1").arg(s, digits, 10, QLatin1Char('0'));
            sectionNames << section;
            text += "[" + section.toUtf8() + "]\r\n";
            for (int k = 0; k < keys; ++k) {
                if (k % 10 == 0)
                    text += ";note " + QByteArray::number(k) + "\r\n";
                text += "Key" + QByteArray::number(k) + "=" +
                        QByteArray::number(s * 7919 + k * 104729) + " Werte " +
                        QByteArray::number(k * 31) + "\r\n";
            }
            text += "\r\n";
        }
        for (int k = 0; k < keys; ++k)
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

// The stress file.
const TBenchFile& File() {
    static const TBenchFile file("big.ini", kSections, kKeys);
    return file;
}

// A settings-sized file: 10 sections of 20 keys, about 7 KB.
const TBenchFile& SmallFile() {
    static const TBenchFile file("small.ini", 10, 20);
    return file;
}

// One key in each of `sections` sections, for the scaling of the load.
const TBenchFile& ManySectionsFile(int sections, bool shuffled) {
    static std::map<std::pair<int, bool>, std::unique_ptr<TBenchFile>> files;
    auto& file = files[{sections, shuffled}];
    if (!file)
        file = std::make_unique<TBenchFile>(
            QStringLiteral("sections%1-%2.ini").arg(sections).arg(int(shuffled)), sections, 1,
            shuffled);
    return *file;
}

struct TRead {
    int section;
    int key;
    int kind;
};

std::vector<TRead> RandomReads(const TBenchFile& file) {
    QRandomGenerator rng(42);
    std::vector<TRead> reads(1000);
    for (TRead& r : reads)
        r = {int(rng.bounded(file.sections)), int(rng.bounded(file.keys)), int(rng.bounded(3))};
    return reads;
}

std::unique_ptr<qz::TIni> LoadIni(const QString& path) {
    return std::make_unique<qz::TIni>(path, qz::TEncoding::UTF8(), &qz::TIni::IgnoreOnErrorEncoding,
                                      qz::TVirtualizeFunction());
}

// The collation's locale for the life of the object: 0 is C, 1 German.
class TBenchLocale {
public:
    explicit TBenchLocale(int which) {
        if (which == 1)
            qz::SetIniCollationLocale([] { return QLocale(QLocale::German, QLocale::Germany); });
        else
            qz::SetIniCollationLocale([] { return QLocale::c(); });
    }
    ~TBenchLocale() { qz::SetIniCollationLocale({}); }
    TBenchLocale(const TBenchLocale&) = delete;
    TBenchLocale& operator=(const TBenchLocale&) = delete;
};

const char* LocaleLabel(int which) {
    return which == 1 ? "de_DE" : "C";
}

// What inih's callback fills: every value by section and key, in file
// order, as std::string; enough to answer the same reads afterwards.
struct TInihDocument {
    std::unordered_map<std::string, std::vector<std::pair<std::string, std::string>>> sections;
};

int InihStore(void* user, const char* section, const char* name, const char* value) {
    auto* doc = static_cast<TInihDocument*>(user);
    doc->sections[section].emplace_back(name, value);
    return 1;
}

int InihIgnore(void* user, const char*, const char*, const char*) {
    ++*static_cast<qint64*>(user);
    return 1;
}

// ---------------------------------------------------------------- load

// What any loader of these files pays: reading, decoding and splitting
// them into lines, whose cost grows with the file's bytes alone.
void ReadAndSplit(const TBenchFile& file) {
    QFile f(file.path);
    f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    qsizetype lines = 0;
    qz::ForEachLine(text, [&](QStringView line) { lines += !line.isEmpty(); });
    benchmark::DoNotOptimize(lines);
}

void BM_Floor_ReadAndSplit(benchmark::State& state) {
    const TBenchFile& file = File();
    for (auto _ : state) {
        ReadAndSplit(file);
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

// inih handing every entry to a callback that stores it, and to one that
// only counts it (the parser alone).
void BM_Inih_Load(benchmark::State& state) {
    const TBenchFile& file = File();
    const QByteArray native = QFile::encodeName(file.path);
    for (auto _ : state) {
        TInihDocument doc;
        if (ini_parse(native.constData(), &InihStore, &doc) != 0)
            state.SkipWithError("inih failed");
        benchmark::DoNotOptimize(doc.sections.size());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Inih_Load)->Unit(benchmark::kMillisecond);

void BM_Inih_ParseOnly(benchmark::State& state) {
    const TBenchFile& file = File();
    const QByteArray native = QFile::encodeName(file.path);
    for (auto _ : state) {
        qint64 entries = 0;
        if (ini_parse(native.constData(), &InihIgnore, &entries) != 0)
            state.SkipWithError("inih failed");
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Inih_ParseOnly)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- the small file

void BM_Small_TIni_Load(benchmark::State& state) {
    const TBenchFile& file = SmallFile();
    for (auto _ : state) {
        auto ini = LoadIni(file.path);
        benchmark::DoNotOptimize(ini->Count());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Small_TIni_Load)->Unit(benchmark::kMicrosecond);

void BM_Small_Inih_Load(benchmark::State& state) {
    const TBenchFile& file = SmallFile();
    const QByteArray native = QFile::encodeName(file.path);
    for (auto _ : state) {
        TInihDocument doc;
        if (ini_parse(native.constData(), &InihStore, &doc) != 0)
            state.SkipWithError("inih failed");
        benchmark::DoNotOptimize(doc.sections.size());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Small_Inih_Load)->Unit(benchmark::kMicrosecond);

void BM_Small_QSettings_Load(benchmark::State& state) {
    const TBenchFile& file = SmallFile();
    for (auto _ : state) {
        state.PauseTiming();
        file.Touch();
        state.ResumeTiming();
        QSettings settings(file.path, QSettings::IniFormat);
        benchmark::DoNotOptimize(settings.allKeys().size());
    }
    state.SetBytesProcessed(state.iterations() * file.size);
}
BENCHMARK(BM_Small_QSettings_Load)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- how loading scales

void PerSection(benchmark::State& state, const TBenchFile& file) {
    state.counters["ns_per_section"] = benchmark::Counter(
        double(file.sections) * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The floor of the section scaling (ReadAndSplit).
void BM_Floor_LoadSections(benchmark::State& state) {
    const TBenchFile& file = ManySectionsFile(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        ReadAndSplit(file);
    }
    PerSection(state, file);
}
BENCHMARK(BM_Floor_LoadSections)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1}})
    ->ArgNames({"sections", "shuffled"})
    ->Unit(benchmark::kMillisecond);

// One key a section; the time per section stays flat when loading is
// linear in the number of sections. The files are made outside the timing.
void BM_TIni_LoadSections(benchmark::State& state) {
    const TBenchFile& file = ManySectionsFile(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        auto ini = LoadIni(file.path);
        if (ini->Count() != file.sections)
            state.SkipWithError("sections lost");
    }
    PerSection(state, file);
}
BENCHMARK(BM_TIni_LoadSections)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {0, 1}})
    ->ArgNames({"sections", "shuffled"})
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- 1,000 typed reads

// On the stress file (argument 0) and on the small one (1), in the C
// locale and in German (second argument 0 and 1).
const TBenchFile& ReadsFile(const benchmark::State& state) {
    return state.range(0) == 0 ? File() : SmallFile();
}

void BM_TIni_1000Reads(benchmark::State& state) {
    const TBenchFile& file = ReadsFile(state);
    const TBenchLocale locale(int(state.range(1)));
    auto ini = LoadIni(file.path);
    const auto reads = RandomReads(file);
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
    state.SetLabel(LocaleLabel(int(state.range(1))));
}
BENCHMARK(BM_TIni_1000Reads)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"small", "de"})
    ->Unit(benchmark::kMicrosecond);

void BM_QSettings_1000Reads(benchmark::State& state) {
    const TBenchFile& file = ReadsFile(state);
    file.Touch();
    QSettings settings(file.path, QSettings::IniFormat);
    (void)settings.allKeys();
    const auto reads = RandomReads(file);
    // Its keys are made beforehand, as ours are: only the reads are timed.
    std::vector<QString> keys;
    for (const TRead& r : reads)
        keys.push_back(file.sectionNames[r.section] + u'/' + file.keyNames[r.key]);
    for (auto _ : state) {
        qint64 sum = 0;
        for (size_t i = 0; i < reads.size(); ++i) {
            const TRead& r = reads[i];
            const QString& key = keys[i];
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
BENCHMARK(BM_QSettings_1000Reads)->Arg(0)->Arg(1)->ArgName("small")->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- one write and a full save

void BM_TIni_WriteAndSave(benchmark::State& state) {
    const TBenchFile& file = File();
    const QString copy = BenchDir().filePath("tini.ini");
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
    const QString target = BenchDir().filePath("floor.ini");
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
    const QString copy = BenchDir().filePath("qsettings.ini");
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
    const QString copy = BenchDir().filePath("memory.ini");
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

// The first load in a fresh process, what a program pays at its start:
// `bench_ini --first-load tini|inih <file>` loads the file once and prints
// the nanoseconds it took (first_load.sh runs both in turn).
// `--first-load-in-game-order` loads it where the game does: after the
// application object and the choice of the language, which asks for the
// system's locale.
int FirstLoad(const char* who, const char* path) {
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const auto started = std::chrono::steady_clock::now();
    qint64 count = 0;
    if (std::strcmp(who, "tini") == 0) {
        const qz::TIni ini(QString::fromLocal8Bit(path), qz::TEncoding::UTF8(),
                           &qz::TIni::IgnoreOnErrorEncoding, qz::TVirtualizeFunction());
        count = ini.Count();
    } else {
        TInihDocument doc;
        if (ini_parse(path, &InihStore, &doc) != 0)
            return 1;
        count = qint64(doc.sections.size());
    }
    const auto took = std::chrono::steady_clock::now() - started;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    std::printf("%lld %lld %ld\n",
                (long long)std::chrono::duration_cast<std::chrono::nanoseconds>(took).count(),
                (long long)count, after.ru_minflt - before.ru_minflt);
    return count > 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--first-load") == 0)
        return FirstLoad(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--first-load-in-game-order") == 0) {
        int one = 1;
        QCoreApplication app(one, argv);
        (void)QLocale::system().uiLanguages();
        return FirstLoad(argv[2], argv[3]);
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    (void)File(); // generate the files outside every measurement
    (void)SmallFile();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

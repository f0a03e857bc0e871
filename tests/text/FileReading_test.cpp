#include "text/QZ_Files.h"

#include "TextFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"

#include <QDir>
#include <QFile>

#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>

namespace {

using namespace textfiles;

// ---------------------------------------------------------------------------
// Opening files

QString Message(const char* pattern, const QString& path) {
    return QString::fromUtf8(pattern).arg(path);
}

// What each way of failing to open says, from every entry point. A call
// that blocked on a FIFO would hang the test: each runs with a deadline,
// and one that misses it is released by opening the FIFO's other end.
struct OpenFailureRow : NamedRow {
    QString (*make)(TempFiles& files); // makes the thing, returns its path
    const char* message;               // "%1" is the path
};

QString MakeFifo(TempFiles& files) {
    const QString path = files.Path(QStringLiteral("pipe.ini"));
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return path;
}

QString LinkTo(TempFiles& files, const char* target) {
    const QString path = files.Path(QStringLiteral("link.ini"));
    EXPECT_TRUE(QFile::link(QString::fromUtf8(target), path));
    return path;
}

QString MakeSocket(TempFiles& files) {
    const QString path = files.Path(QStringLiteral("socket.ini"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    EXPECT_LT(size_t(native.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd); // the socket file stays
    return path;
}

template <class Call>
void WithDeadline(const QString& path, Call call) {
    auto running = std::async(std::launch::async, call);
    if (running.wait_for(std::chrono::seconds(20)) == std::future_status::ready) {
        running.get();
        return;
    }
    ADD_FAILURE() << "blocked on " << path.toStdString();
    // A writer that comes and goes lets the open return; the read then
    // finds the end.
    const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        ::close(writer);
    running.wait();
}

class OpenFailureTable : public ::testing::TestWithParam<OpenFailureRow> {};

TEST_P(OpenFailureTable, RefusedAtOnceWithItsMessageEverywhere) {
    TempFiles files;
    const QString path = GetParam().make(files);
    const QString expected = Message(GetParam().message, path);
    WithDeadline(path, [&] {
        EXPECT_THROW_MSG((void)qz::ReadFileBytes(path, 1024), qz::EQZError, expected);
        auto kind = qz::et_undetected;
        QString text = QStringLiteral("stale");
        EXPECT_THROW_MSG(qz::LoadTextFile(path, &kind, text), qz::EQZError, expected);
        EXPECT_EQ(text, QString());
        EXPECT_EQ(kind, qz::et_undetected); // nothing was detected
        EXPECT_FALSE(qz::HasUtf8Bom(path));
        QFile file(path);
        EXPECT_FALSE(qz::CanOpenForReading(file));
        EXPECT_FALSE(file.isOpen());
    });
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpenFailureTable,
    ::testing::Values(
        OpenFailureRow{"missingFolderOnTheWay",
                       [](TempFiles& f) { return f.Path(QStringLiteral("none/a.ini")); },
                       "Die Datei \"%1\" gibt es nicht."},
        OpenFailureRow{"danglingLink",
                       [](TempFiles& f) { return LinkTo(f, "/nonexistent/stakko-test"); },
                       "Die Datei \"%1\" gibt es nicht."},
        OpenFailureRow{"linkToFolder", [](TempFiles& f) { return LinkTo(f, "/"); },
                       "\"%1\" ist ein Ordner und keine Datei."},
        OpenFailureRow{"fifo", MakeFifo,
                       "\"%1\" ist keine gewöhnliche Datei, sondern eine Pipe, und wird nicht "
                       "gelesen."},
        OpenFailureRow{"linkToDevNull", [](TempFiles& f) { return LinkTo(f, "/dev/null"); },
                       "\"%1\" ist keine gewöhnliche Datei, sondern ein Gerät, und wird nicht "
                       "gelesen."},
        // An endless file: refused as what it is, not read until memory runs out.
        OpenFailureRow{"linkToDevZero", [](TempFiles& f) { return LinkTo(f, "/dev/zero"); },
                       "\"%1\" ist keine gewöhnliche Datei, sondern ein Gerät, und wird nicht "
                       "gelesen."},
        OpenFailureRow{"socket", MakeSocket,
                       "\"%1\" ist keine gewöhnliche Datei, sondern ein Socket, und wird nicht "
                       "gelesen."}),
    RowName());

TEST(LoadTextFile, OpenFailuresNameTheFileAndLeaveKindAndTextAlone) {
    TempFiles files;
    const QString missing = files.Path(QStringLiteral("missing.ini"));
    auto kind = qz::et_undetected;
    QString text = QStringLiteral("stale");
    const QString gone = Message("Die Datei \"%1\" gibt es nicht.", missing);
    EXPECT_THROW_MSG(qz::LoadTextFile(missing, &kind, text), qz::EQZError, gone);
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(missing, 100), qz::EQZError, gone);
    EXPECT_EQ(text, QString());
    EXPECT_EQ(kind, qz::et_undetected);

    const QString folder = files.Path(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString isFolder = Message("\"%1\" ist ein Ordner und keine Datei.", folder);
    EXPECT_THROW_MSG(qz::LoadTextFile(folder, &kind, text), qz::EQZError, isFolder);
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(folder, 100), qz::EQZError, isFolder);
    EXPECT_EQ(kind, qz::et_undetected);
    EXPECT_FALSE(qz::HasUtf8Bom(folder));
}

TEST(ReadFileBytes, WholeRegularFileAlsoThroughALink) {
    TempFiles files;
    QByteArray bytes;
    for (int i = 0; i < 70000; ++i) // more than one read
        bytes.append(char(i * 7));
    const QString path = files.Write(bytes, QStringLiteral("data.bin"));
    EXPECT_EQ(qz::ReadFileBytes(path, bytes.size()), bytes); // the bound itself is allowed
    const QString link = files.Path(QStringLiteral("link.bin"));
    ASSERT_TRUE(QFile::link(path, link));
    EXPECT_EQ(qz::ReadFileBytes(link, bytes.size()), bytes);
    EXPECT_EQ(qz::ReadFileBytes(files.Write({}, QStringLiteral("empty")), 0), QByteArray());
}

// The size is checked before anything is read, and the message gives it.
TEST(ReadFileBytes, LargerThanTheBoundIsRefused) {
    TempFiles files;
    const QString path = files.Write(QByteArray(1234, 'a'));
    const QString expected = Message(
        "Die Datei \"%1\" ist mit 1.234 Bytes zu groß zum Lesen (höchstens 1.000 Bytes).", path);
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(path, 1000), qz::EQZError, expected);
    QString text = QStringLiteral("stale");
    auto kind = qz::et_undetected;
    EXPECT_THROW_MSG(qz::LoadTextFile(path, &kind, text, {}, {.MaxFileBytes = 1000}), qz::EQZError,
                     expected);
    EXPECT_EQ(kind, qz::et_undetected);
    EXPECT_EQ(text, QString());
    qz::LoadTextFile(path, &kind, text, {}, {.MaxFileBytes = 1234});
    EXPECT_EQ(text, QString(1234, QLatin1Char('a')));
    // By default a text file may be as large as its inflated content.
    EXPECT_EQ(qz::TTextLimits{}.MaxFileBytes, qint64(256) * 1024 * 1024);
}

TEST(LoadTextFile, UnreadableFileFails) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempFiles files;
    const QString path = files.Write("abc");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QString text;
    const QString expected =
        Message("Die Datei \"%1\" darf nicht gelesen werden (keine Berechtigung).", path);
    EXPECT_THROW_MSG(qz::LoadTextFile(path, nullptr, text), qz::EQZError, expected);
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(path, 100), qz::EQZError, expected);
    EXPECT_FALSE(qz::HasUtf8Bom(path));
}

// A writer that takes the exclusive lock keeps readers out, and a reader
// keeps such a writer out until it closes the file.
TEST(CanOpenForReading, SharedLockStandsInForDenyWrite) {
    TempFiles files;
    const QString path = files.Write(Bytes({0xEF, 0xBB, 0xBF}) + "x");

    const int writer = ::open(QFile::encodeName(path).constData(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    QFile blocked(path);
    EXPECT_FALSE(qz::CanOpenForReading(blocked));
    EXPECT_FALSE(blocked.isOpen());
    EXPECT_FALSE(qz::HasUtf8Bom(path));
    QString text = QStringLiteral("stale");
    const QString locked = QStringLiteral("Die Datei \"%1\" kann nicht zum Lesen geöffnet werden, "
                                          "sie wird von einem anderen Programm benutzt.")
                               .arg(path);
    EXPECT_THROW_MSG(qz::LoadTextFile(path, nullptr, text), qz::EQZError, locked);
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(path, 100), qz::EQZError, locked);
    EXPECT_EQ(text, QString());
    ASSERT_EQ(::flock(writer, LOCK_UN), 0);

    {
        QFile reader(path);
        ASSERT_TRUE(qz::CanOpenForReading(reader));
        EXPECT_TRUE(reader.isOpen());
        EXPECT_EQ(reader.openMode(), QIODevice::ReadOnly);
        EXPECT_NE(::flock(writer, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(reader.readAll(), Bytes({0xEF, 0xBB, 0xBF}) + "x");
    }
    EXPECT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0); // closing released it
    ::close(writer);

    QFile missing(files.Path(QStringLiteral("missing")));
    EXPECT_FALSE(qz::CanOpenForReading(missing));
}

TEST(HasUtf8Bom, OnlyAllThreeBytes) {
    TempFiles files;
    EXPECT_TRUE(qz::HasUtf8Bom(files.Write(Bytes({0xEF, 0xBB, 0xBF}))));
    EXPECT_TRUE(qz::HasUtf8Bom(files.Write(Bytes({0xEF, 0xBB, 0xBF}) + "[a]")));
    EXPECT_FALSE(qz::HasUtf8Bom(files.Write(Bytes({0xEF, 0xBB}))));
    EXPECT_FALSE(qz::HasUtf8Bom(files.Write(Bytes({0xEF, 0xBB, 0xBE}))));
    EXPECT_FALSE(qz::HasUtf8Bom(files.Write({})));
    EXPECT_FALSE(qz::HasUtf8Bom(files.Path(QStringLiteral("missing"))));
}

} // namespace

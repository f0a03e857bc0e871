// The INI file object against what a hostile home folder holds: nodes
// that are no regular files, links, files it cannot read faithfully, and
// text written by other editors.
#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/QZ_Files.h"
#include "text/TEncoding.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

using qz::TIni;

// The settings path leads to something that is not a regular file: saving
// never replaces or deletes it, and says why in the log.
enum class TNode { Fifo, Device, Folder };
struct NonRegularRow : NamedRow {
    TNode node;
    bool throughLink;
};

class IniFileNonRegular : public ::testing::TestWithParam<NonRegularRow> {};

TEST_P(IniFileNonRegular, SavingLeavesItAlone) {
    const NonRegularRow& row = GetParam();
    if (row.node == TNode::Device && geteuid() != 0)
        GTEST_SKIP() << "making a device node needs root";
    QTemporaryDir dir;
    const QString node = dir.filePath("node");
    const QByteArray nodeName = QFile::encodeName(node);
    switch (row.node) {
    case TNode::Fifo:
        ASSERT_EQ(mkfifo(nodeName.constData(), 0600), 0);
        break;
    case TNode::Device: // the same device as /dev/null, in our own folder
        ASSERT_EQ(mknod(nodeName.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        break;
    case TNode::Folder:
        ASSERT_TRUE(QDir().mkdir(node));
        break;
    }
    struct stat before {};
    ASSERT_EQ(lstat(nodeName.constData(), &before), 0);
    const QString path = row.throughLink ? dir.filePath("s.ini") : node;
    if (row.throughLink) {
        ASSERT_TRUE(QFile::link(node, path));
    }

    SettingsLogRecorder log;
    for (const char* value : {"1", ""}) { // a write, then a document that empties
        SCOPED_TRACE(value);
        auto ini = Utf8Ini(QString());     // never read: a FIFO would block
        ini->SetClock([] { return 0.0; }); // no save on the way: one try per Save
        ini->ChangeFileName(path);
        ini->WriteString("S", "a", value);
        ini->Save();
        EXPECT_TRUE(ini->Modified()); // pending, and tried again at the end
    }
    struct stat after {};
    ASSERT_EQ(lstat(nodeName.constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(QFileInfo(path).isSymLink(), row.throughLink);
    const QString refused = path + " not saved: " + node + " is not a regular file, left alone";
    EXPECT_EQ(log.messages, QStringList({refused, refused, refused, refused}));
}

INSTANTIATE_TEST_SUITE_P(Nodes, IniFileNonRegular,
                         ::testing::Values(NonRegularRow{{"fifo"}, TNode::Fifo, false},
                                           NonRegularRow{{"link_to_fifo"}, TNode::Fifo, true},
                                           NonRegularRow{{"link_to_device"}, TNode::Device, true},
                                           NonRegularRow{{"device"}, TNode::Device, false},
                                           NonRegularRow{{"link_to_folder"}, TNode::Folder, true}),
                         RowName());

// A link to a regular file stays a link: saving replaces the file it leads
// to, and a document that empties empties that file instead of removing
// the user's link.
TEST(IniFileSave, LinkToARegularFileIsFollowedAndKept) {
    QTemporaryDir dir;
    QDir().mkdir(dir.filePath("dotfiles"));
    const QString target = dir.filePath("dotfiles/stakko.ini");
    const QString path = dir.filePath("s.ini");
    WriteBytes(target, "[S]\r\na=1\r\n");
    ASSERT_TRUE(QFile::link("dotfiles/stakko.ini", path)); // relative, as users make them
    auto ini = Utf8Ini(path);
    EXPECT_EQ(ini->ReadString("S", "a", ""), "1");
    ini->WriteString("S", "a", "2");
    ini->Save();
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(FileBytes(target), "\xEF\xBB\xBF[S]\r\na=2\r\n\r\n");
    ini->WriteString("S", "a", "");
    ini->Save();
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(FileBytes(target), "");
}

// A file the object could not read faithfully keeps its bytes beside it
// before the first save goes over it, and the message says where.
struct DamagedRow : NamedRow {
    QByteArray bytes;
    // The message's first part; %1 is the file. Empty: the line message,
    // with the line counted from the bytes.
    QString cause;
};

QByteArray Compressed(const QByteArray& text) {
    return QByteArray("DLQZU8\0\1", 8) + qCompress(text).mid(4); // zlib stream behind the signature
}

QByteArray RandomBytes(qsizetype n) {
    QRandomGenerator random(20261209);
    QByteArray bytes(n, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes + "\n\x01"; // the last uninterpretable character on the last line
}

// The line a text editor would show the last byte on.
qint32 LastLineOf(const QByteArray& bytes) {
    qint32 line = 1;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        line += bytes[i] == '\n' ||
                (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    return line;
}

class IniFileDamaged : public ::testing::TestWithParam<DamagedRow> {};

TEST_P(IniFileDamaged, KeepsItsBytesBesideItBeforeTheFirstSave) {
    const DamagedRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    const QString copy = path + ".damaged";
    WriteBytes(path, row.bytes);
    const QString first = row.cause.isEmpty()
                              ? TIni::EncodingErrorMessage(
                                    path, row.name == "random_bytes" ? LastLineOf(row.bytes) : 2)
                              : row.cause.arg(path);
    MsgBoxRecorder box;
    {
        TIni ini(path, qz::TEncoding::UTF8(), {}, {});
        EXPECT_EQ(box.shown, QStringList{first +
                                         "\rDer bisherige Inhalt wird vor dem nächsten "
                                         "Speichern als\r" +
                                         copy + "\raufbewahrt."});
        EXPECT_EQ(ini.DamagedCopyName(), copy);
        EXPECT_FALSE(QFileInfo::exists(copy)); // nothing is written before a save
        ini.WriteString("Neu", "a", "1");
        ini.Save();
        EXPECT_EQ(FileBytes(copy), row.bytes);
        EXPECT_NE(FileBytes(path), row.bytes);
        EXPECT_EQ(ini.DamagedCopyName(), QString());
    }
    // What was saved reads back faithfully: no message, no second copy.
    box.shown.clear();
    TIni again(path, qz::TEncoding::UTF8(), {}, {});
    EXPECT_EQ(box.shown, QStringList());
    EXPECT_EQ(again.DamagedCopyName(), QString());
    EXPECT_EQ(again.ReadString("Neu", "a", ""), "1");
}

const QByteArray kSettings("[Score]\r\nBest=J\xC3\xBCrgen\r\nHighest=1520\r\n");

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileDamaged,
    ::testing::Values(
        DamagedRow{{"invalid_utf8_behind_bom"}, "\xEF\xBB\xBF[S]\r\na=\xC3(\r\nb=1\r\n", {}},
        DamagedRow{{"zeros_from_the_disk"}, "[S]\r\n" + QByteArray(4096, '\0'), {}},
        DamagedRow{{"random_bytes"}, RandomBytes(1 << 20), {}},
        DamagedRow{{"truncated_compressed"},
                   Compressed(kSettings).chopped(6),
                   "Die komprimierten Daten der Datei \"%1\" sind unvollständig."},
        DamagedRow{{"corrupt_compressed"},
                   Compressed(kSettings).replace(12, 4, "\xFF\xFF\xFF\xFF"),
                   "Die komprimierten Daten der Datei \"%1\" sind beschädigt (invalid "
                   "distance too far back)."}),
    RowName());

// A U+FFFD the file spells out is text, not damage: only replacement
// characters beyond those the bytes hold make a file damaged, and then the
// line of the last one is named.
TEST(IniFileLoad, SpelledOutReplacementCharactersAreText) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    MsgBoxRecorder box;
    WriteBytes(path, "\xEF\xBB\xBF[S]\r\na=\xEF\xBF\xBD\r\nb=\xEF\xBF\xBD\xEF\xBF\xBD\r\n");
    {
        const TIni ini(path, qz::TEncoding::UTF8(), {}, {});
        EXPECT_EQ(box.shown, QStringList());
        EXPECT_EQ(ini.DamagedCopyName(), QString());
    }
    WriteBytes(path, "\xEF\xBB\xBF[S]\r\na=\xEF\xBF\xBD\r\nb=\xC3(\r\nc=\xEF\xBF\xBD\r\n");
    const TIni damaged(path, qz::TEncoding::UTF8(), {}, {});
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_TRUE(box.shown.first().startsWith(TIni::EncodingErrorMessage(path, 4)));
}

// A second damaged file does not replace the copy of the first; the same
// bytes damaged again share their copy. At most five copies are kept: the
// sixth takes the place of the oldest, and the message says so.
TEST(IniFileSave, DamagedCopiesNeverReplaceEachOtherUpToFive) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    const auto damage = [&](const QByteArray& bytes) {
        WriteBytes(path, bytes);
        auto ini = Utf8Ini(path);
        const QString copy = ini->DamagedCopyName();
        ini->WriteString("S", "a", "1");
        ini->Save();
        return copy;
    };
    const auto bad = [](int n) {
        return QByteArray("\xEF\xBB\xBF"
                          "a=\xFF") +
               QByteArray(n, 'x');
    };
    EXPECT_EQ(damage(bad(0)), path + ".damaged");
    EXPECT_EQ(damage(bad(1)), path + ".damaged-2");
    EXPECT_EQ(damage(bad(0)), path + ".damaged");
    const QDateTime start = QDateTime::currentDateTime().addDays(-10);
    for (int n = 2; n <= 4; ++n)
        EXPECT_EQ(damage(bad(n)), path + QStringLiteral(".damaged-%1").arg(n + 1));
    // Make "-3" the oldest copy.
    for (int n = 1; n <= 5; ++n) {
        const QString name =
            n == 1 ? path + ".damaged" : path + QStringLiteral(".damaged-%1").arg(n);
        QFile copy(name);
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        ASSERT_TRUE(copy.setFileTime(start.addSecs(n == 3 ? 0 : 3600 * n),
                                     QFileDevice::FileModificationTime));
    }

    WriteBytes(path, bad(9));
    MsgBoxRecorder box;
    auto ini = std::make_unique<qz::TIni>(path, qz::TEncoding::UTF8(), qz::TEncodingErrorHandler{},
                                          qz::TVirtualizeFunction{});
    ASSERT_EQ(box.shown.size(), 1);
    EXPECT_TRUE(box.shown[0].endsWith(
        "\r" + path + ".damaged-3\raufbewahrt.\rDafür wird die älteste aufbewahrte Kopie vom " +
        start.toString("dd.MM.yyyy HH:mm") + " ersetzt."))
        << box.shown[0].toStdString();
    ini->WriteString("S", "a", "1");
    ini->Save();
    EXPECT_EQ(FileBytes(path + ".damaged-3"), bad(9));
    EXPECT_EQ(FileBytes(path + ".damaged"), bad(0));
    EXPECT_EQ(FileBytes(path + ".damaged-2"), bad(1));
    EXPECT_FALSE(QFileInfo::exists(path + ".damaged-6"));
}

// A name taken by another program between the load and the save is never
// written over; the bytes go to the next free name.
TEST(IniFileSave, DamagedCopyTakenMeanwhileGoesElsewhere) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    const QByteArray bytes("\xEF\xBB\xBF"
                           "a=\xFF");
    WriteBytes(path, bytes);
    auto ini = Utf8Ini(path);
    ASSERT_EQ(ini->DamagedCopyName(), path + ".damaged");
    WriteBytes(path + ".damaged", "somebody else's");
    ini->WriteString("S", "a", "1");
    ini->Save();
    EXPECT_EQ(FileBytes(path + ".damaged"), "somebody else's");
    EXPECT_EQ(FileBytes(path + ".damaged-2"), bytes);
}

// A file without any marker is UTF-8 when its bytes are and the object
// writes UTF-8 anyway; otherwise it is Windows-1252, which an object
// without encoding also writes back, byte for byte.
struct UnmarkedRow : NamedRow {
    QByteArray bytes;
    bool utf8Object;
    QString value;
    QByteArray saved;
};

class IniFileUnmarked : public ::testing::TestWithParam<UnmarkedRow> {};

TEST_P(IniFileUnmarked, ReadsAsTheBytesSayAndSavesWithoutMojibake) {
    const UnmarkedRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, row.bytes);
    MsgBoxRecorder box;
    TIni ini(path, row.utf8Object ? qz::TEncoding::UTF8() : nullptr, {}, {});
    EXPECT_EQ(ini.ReadString("Score", "Best", ""), row.value);
    ini.WriteInteger("Score", "Highest", 1521);
    ini.Save();
    EXPECT_EQ(FileBytes(path), row.saved);
    EXPECT_EQ(box.shown, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileUnmarked,
    ::testing::Values(
        UnmarkedRow{{"utf8_from_a_linux_editor"},
                    kSettings,
                    true,
                    "Jürgen",
                    "\xEF\xBB\xBF[Score]\r\nBest=J\xC3\xBCrgen\r\nHighest=1521\r\n\r\n"},
        UnmarkedRow{{"windows1252"},
                    "[Score]\r\nBest=J\xFCrgen\r\nHighest=1520\r\n",
                    true,
                    "Jürgen",
                    "\xEF\xBB\xBF[Score]\r\nBest=J\xC3\xBCrgen\r\nHighest=1521\r\n\r\n"},
        UnmarkedRow{{"utf8_for_an_object_writing_1252"},
                    kSettings,
                    false,
                    "J\u00C3\u00BCrgen",
                    "[Score]\r\nBest=J\xC3\xBCrgen\r\nHighest=1521\r\n\r\n"}),
    RowName());

// Keeps a test that would block in open() on a FIFO from hanging: after
// five seconds it opens the FIFO's other end, which lets the open return,
// and the test fails instead.
class FifoWatchdog {
public:
    explicit FifoWatchdog(const QString& fifo)
        : m_thread([this, name = QFile::encodeName(fifo)] {
              std::unique_lock lock(m_mutex);
              if (m_done.wait_for(lock, std::chrono::seconds(5), [this] { return m_finished; }))
                  return;
              m_rescued = true;
              const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0)
                  ::close(fd);
          }) {}
    ~FifoWatchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    [[nodiscard]] bool Rescued() {
        std::lock_guard lock(m_mutex);
        return m_rescued;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_rescued = false;
    std::thread m_thread;
};

// What cannot be read as a settings file fails the load with a German
// message naming the file, at once: no open blocks, no endless read, no
// reading past a writer's lock; and nothing is touched.
enum class TUnreadable { Fifo, LinkToFifo, LinkToZero, Folder, TooLarge, Locked };
struct UnreadableRow : NamedRow {
    TUnreadable kind;
    const char* why; // the message, %1 the file
};

class IniFileUnreadable : public ::testing::TestWithParam<UnreadableRow> {};

TEST_P(IniFileUnreadable, FailsTheLoadWithItsCause) {
    const UnreadableRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    const QString fifo = dir.filePath("fifo");
    QFile writer(path);
    switch (row.kind) {
    case TUnreadable::Fifo:
        ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case TUnreadable::LinkToFifo:
        ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ASSERT_TRUE(QFile::link(fifo, path));
        break;
    case TUnreadable::LinkToZero:
        ASSERT_TRUE(QFile::link("/dev/zero", path));
        break;
    case TUnreadable::Folder:
        ASSERT_TRUE(QDir().mkdir(path));
        break;
    case TUnreadable::TooLarge: // sparse: no disk space is used
        ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writer.resize(qz::MaxIniFileSize + 1));
        writer.close();
        break;
    case TUnreadable::Locked: // a UTF-8 file a writer holds
        WriteBytes(path, "\xEF\xBB\xBF[Score]\r\nBest=J\xC3\xBCrgen\r\n");
        ASSERT_TRUE(writer.open(QIODevice::ReadWrite));
        ASSERT_EQ(flock(writer.handle(), LOCK_EX | LOCK_NB), 0);
        break;
    }
    struct stat before {};
    ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &before), 0);

    FifoWatchdog watchdog(row.kind == TUnreadable::LinkToFifo ? fifo : path);
    EXPECT_THROW_MSG(TIni(path, qz::TEncoding::UTF8(), {}, {}), qz::EQZError,
                     QString::fromUtf8(row.why).arg(path));
    EXPECT_FALSE(watchdog.Rescued()) << "the load blocked on the FIFO";
    struct stat after {};
    ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniFileUnreadable,
    ::testing::Values(
        UnreadableRow{{"fifo"},
                      TUnreadable::Fifo,
                      "\"%1\" ist keine gewöhnliche Datei, sondern eine Pipe, und wird nicht "
                      "gelesen."},
        UnreadableRow{{"link_to_fifo"},
                      TUnreadable::LinkToFifo,
                      "\"%1\" ist keine gewöhnliche Datei, sondern eine Pipe, und wird nicht "
                      "gelesen."},
        UnreadableRow{{"link_to_dev_zero"},
                      TUnreadable::LinkToZero,
                      "\"%1\" ist keine gewöhnliche Datei, sondern ein Gerät, und wird nicht "
                      "gelesen."},
        UnreadableRow{{"folder"}, TUnreadable::Folder, "\"%1\" ist ein Ordner und keine Datei."},
        UnreadableRow{{"larger_than_64_mib"},
                      TUnreadable::TooLarge,
                      "Die Datei \"%1\" ist mit 67.108.865 Bytes zu groß zum Lesen (höchstens "
                      "67.108.864 Bytes)."},
        UnreadableRow{{"locked_by_another_program"},
                      TUnreadable::Locked,
                      "Die Datei \"%1\" kann nicht zum Lesen geöffnet werden, sie wird von "
                      "einem anderen Programm benutzt."}),
    RowName());

// The bound is on the bytes: a file of exactly the bound is read, one byte
// more is refused; a missing file is named too.
TEST(IniFileRead, BoundAndMissingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, QByteArray(100, 'x'));
    EXPECT_EQ(qz::ReadFileBytes(path, 100), QByteArray(100, 'x'));
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(path, 99), qz::EQZError,
                     "Die Datei \"" + path +
                         "\" ist mit 100 Bytes zu groß zum Lesen (höchstens 99 Bytes).");
    EXPECT_THROW_MSG((void)qz::ReadFileBytes(dir.filePath("missing.ini"), qz::MaxIniFileSize),
                     qz::EQZError,
                     "Die Datei \"" + dir.filePath("missing.ini") + "\" gibt es nicht.");
}

} // namespace

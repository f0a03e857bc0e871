// The lock writers of a settings folder take, and the stamp that tells a
// changed file from the one last seen.
#include "platform/FileWriters.h"

#include "common/TestHelpers.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using qz::platform::FileStampOf;
using qz::platform::TFolderLock;

// A writer that holds the lock keeps the next one out only as long as its
// patience lasts; once it lets go, the next one gets the lock.
TEST(FolderLock, IsExclusiveAndWaitingForItIsBounded) {
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    TFolderLock first(file);
    ASSERT_TRUE(first.Held());
    const TFolderLock refused(file, 30ms);
    EXPECT_FALSE(refused.Held());
    first.Release();
    const TFolderLock next(file, 5s);
    EXPECT_TRUE(next.Held());
    // No folder, no lock; the writer goes on without one.
    EXPECT_FALSE(TFolderLock(dir.filePath("missing/s.ini"), 0ms).Held());
}

// Each way another program changes the file gives another stamp.
TEST(FileStamp, TellsEveryKindOfChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    EXPECT_FALSE(FileStampOf(path).Exists);
    const auto write = [](const QString& name, const QByteArray& bytes) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    write(path, "a=1\n");
    const auto seen = FileStampOf(path);
    EXPECT_TRUE(seen.Exists);
    EXPECT_EQ(FileStampOf(path), seen);

    // Another file of the same size renamed over it, as a save does.
    write(path + ".new", "a=2\n");
    ASSERT_EQ(
        ::rename(QFile::encodeName(path + ".new").constData(), QFile::encodeName(path).constData()),
        0);
    EXPECT_NE(FileStampOf(path), seen);

    // Written in place with another size.
    const auto renamed = FileStampOf(path);
    write(path, "a=22\n");
    EXPECT_NE(FileStampOf(path), renamed);
}

} // namespace

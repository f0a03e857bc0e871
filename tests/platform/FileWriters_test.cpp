// The lock writers of a settings folder take, and a file's time as the
// local calendar says it. (The stamp is seen at work in the two-process
// tests of the settings files.)
#include "platform/FileWriters.h"

#include "common/TestHelpers.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
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

// The C library's local time of a file says what Qt's says, to the
// millisecond; a folder or nothing has no such time.
TEST(LocalModificationTime, IsQtsLocalTimeOfTheLastChange) {
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    QFile(file).open(QIODevice::WriteOnly);
    // A summer afternoon with milliseconds (and nanoseconds that are cut).
    const timespec times[2] = {{1719837296, 789654321}, {1719837296, 789654321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0), 0);
    QDate date;
    QTime time;
    ASSERT_TRUE(qz::platform::LocalModificationTime(file, date, time));
    const QDateTime qt = QFileInfo(file).lastModified().toLocalTime();
    EXPECT_EQ(date, qt.date());
    EXPECT_EQ(time, qt.time());
    EXPECT_EQ(time.msec(), 789);

    EXPECT_FALSE(qz::platform::LocalModificationTime(dir.path(), date, time));
    EXPECT_FALSE(qz::platform::LocalModificationTime(dir.filePath("missing"), date, time));
}

} // namespace

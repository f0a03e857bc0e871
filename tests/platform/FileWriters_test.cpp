// The lock writers of a settings folder take. (The stamp is seen at work
// in the two-process tests of the settings files.)
#include "platform/FileWriters.h"

#include "common/TestHelpers.h"

#include <QTemporaryDir>

#include <chrono>

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

} // namespace

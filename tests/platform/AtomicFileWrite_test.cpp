// Whole-file writes that never leave half a file and never replace what is
// not a regular file.
#include "platform/AtomicFileWrite.h"

#include "common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>

using namespace qz::platform;

namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(AtomicFileWrite, ReplacesKeepingPermissionsAndLeavesNoTemporary) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    ASSERT_EQ(WriteFileAtomically(path, "old").Status, TWriteStatus::Written);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup));
    const TWriteResult r = WriteFileAtomically(path, "new");
    EXPECT_EQ(r.Status, TWriteStatus::Written);
    EXPECT_EQ(r.Target, path);
    EXPECT_EQ(Read(path), "new");
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(AtomicFileWrite, CreateOnlyNeverTouchesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    EXPECT_EQ(WriteFileAtomically(path, "first", TWriteMode::CreateOnly).Status,
              TWriteStatus::Written);
    EXPECT_EQ(WriteFileAtomically(path, "second", TWriteMode::CreateOnly).Status,
              TWriteStatus::Exists);
    EXPECT_EQ(Read(path), "first");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.ini"});
}

TEST(AtomicFileWrite, StaleTemporariesAreOnlyThoseOfTheFileItself) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a[1].ini");
    ASSERT_EQ(WriteFileAtomically(path, "kept").Status, TWriteStatus::Written);
    // A killed save leaves its temporary with content; the others only
    // look alike: a wildcard, another case, another length.
    const QStringList own{"a[1].ini.saving-Ab3dEf"};
    const QStringList others{"a1.ini.saving-Ab3dEf", "A[1].INI.saving-Ab3dEf",
                             "a[1].ini.saving-Ab3dEfg", "a[1].ini.saving-Ab3d"};
    for (const QString& name : own + others)
        ASSERT_EQ(WriteFileAtomically(dir.filePath(name), "left").Status, TWriteStatus::Written);
    EXPECT_EQ(RemoveStaleTemporaries(path), QStringList{dir.filePath(own[0])});
    QStringList expected = others + QStringList{"a[1].ini"};
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

TEST(AtomicFileWrite, LinksAreFollowedOnlyToTheEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkdir(dir.filePath("real")));
    ASSERT_TRUE(QFile::link("real/a.ini", dir.filePath("one")));
    ASSERT_TRUE(QFile::link("one", dir.filePath("two")));
    EXPECT_EQ(FollowLinks(dir.filePath("two")), dir.filePath("real/a.ini"));
    EXPECT_EQ(WriteFileAtomically(dir.filePath("two"), "x").Target, dir.filePath("real/a.ini"));
    EXPECT_EQ(Read(dir.filePath("real/a.ini")), "x");

    ASSERT_TRUE(QFile::link("loop2", dir.filePath("loop1")));
    ASSERT_TRUE(QFile::link("loop1", dir.filePath("loop2")));
    EXPECT_EQ(FollowLinks(dir.filePath("loop1")), QString());
    const TWriteResult r = WriteFileAtomically(dir.filePath("loop1"), "x");
    EXPECT_EQ(r.Status, TWriteStatus::Failed);
    EXPECT_EQ(r.Error, ELOOP);
    EXPECT_EQ(SystemErrorText(r.Error), "zu viele symbolische Verknüpfungen");
}

} // namespace

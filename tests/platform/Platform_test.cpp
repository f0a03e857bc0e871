// The operating-system stand-ins, checked against the real system.
#include "platform/FileAccess.h"
#include "platform/ProgramFile.h"
#include "platform/Registry.h"
#include "platform/UserFolders.h"

#include "common/TestHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/file.h>

using namespace qz::platform;

namespace {

TEST(ProgramFile, IsTheRunningExecutable) {
    EXPECT_EQ(RunningProgramFile(), QCoreApplication::applicationFilePath());
}

// flock locks belong to an open file description, so two opens of one file
// in this process contend like two processes would.
TEST(FileAccess, SharedLockFailsOnlyAgainstAnExclusiveOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("locked.txt"));
    QFile writer(path), reader(path), second(path);
    ASSERT_TRUE(writer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));

    EXPECT_TRUE(LockSharedForReading(reader.handle()));
    EXPECT_TRUE(LockSharedForReading(second.handle())) << "readers share the file";
    reader.close();
    second.close();

    ASSERT_EQ(::flock(writer.handle(), LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_FALSE(LockSharedForReading(reader.handle())) << "a writer holds the file";
    ::flock(writer.handle(), LOCK_UN);
    EXPECT_TRUE(LockSharedForReading(reader.handle()));
}

TEST(UserFolders, FollowTheXdgVariables) {
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/stakko-cfg");
    qputenv("XDG_DATA_HOME", "/tmp/stakko-data");
    EXPECT_EQ(RoamingAppDataFolder(), QStringLiteral("/tmp/stakko-cfg"));
    EXPECT_EQ(LocalAppDataFolder(), QStringLiteral("/tmp/stakko-data"));
    // A relative value is ignored, as the XDG rules ask.
    qputenv("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(RoamingAppDataFolder(), HomeFolder() + QStringLiteral("/.config"));
    qputenv("XDG_CONFIG_HOME", oldConfig);
    qputenv("XDG_DATA_HOME", oldData);
}

// HOME and the XDG variables as a session may leave them: unset, relative,
// naming a file, or with a trailing slash.
TEST(UserFolders, HomeAndBaseFoldersIgnoreWhatIsNoAbsoluteFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString home = dir.path();
    const QString passwd = dir.filePath(QStringLiteral("pw"));
    const QString file = dir.filePath(QStringLiteral("file"));
    ASSERT_TRUE(QDir().mkpath(passwd));
    QFile(file).open(QIODevice::WriteOnly);

    EXPECT_EQ(HomeFolderOf(home, passwd), home);
    EXPECT_EQ(HomeFolderOf(home + QStringLiteral("/"), passwd), home);
    EXPECT_EQ(HomeFolderOf(QString(), passwd), passwd) << "HOME unset";
    EXPECT_EQ(HomeFolderOf(file, passwd), passwd) << "HOME is a file";
    EXPECT_EQ(HomeFolderOf(QStringLiteral("pw"), passwd), passwd) << "HOME is relative";
    EXPECT_EQ(HomeFolderOf(QString(), QString()), QString()) << "no home at all";

    EXPECT_EQ(XdgBaseFolder(QStringLiteral("/x/cfg/"), home, ".config"), "/x/cfg");
    EXPECT_EQ(XdgBaseFolder(QString(), home, ".config"), home + "/.config");
    EXPECT_EQ(XdgBaseFolder(QStringLiteral("cfg"), home, ".config"), home + "/.config");
    EXPECT_EQ(XdgBaseFolder(QStringLiteral("./cfg"), QString(), ".config"), QString());
}

TEST(Registry, EveryValueIsMissingSoTheDefaultComesBack) {
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, QStringLiteral("Environment"),
                                 QStringLiteral("TMP"), QStringLiteral("fallback")),
              QStringLiteral("fallback"));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, QString(), QString(), QString()), QString());
}

} // namespace

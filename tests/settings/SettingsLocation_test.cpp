#include "settings/SettingsLocation.h"

#include "common/TestHelpers.h"
#include "settings/QZINI.h"
#include "settings/QZ_UsrSettings.h"
#include "text/EQZError.h"
#include "text/QZ_cmn.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace qz;

namespace {

const QByteArray LocalCopy = "\xEF\xBB\xBF[Score]\r\nBest=Ace\r\nHighest=1520\r\n\r\n";
const QByteArray RoamingCopy = "\xEF\xBB\xBF[Score]\r\nBest=Bea\r\nHighest=990\r\n\r\n";

// Points the user's configuration and data folders into a fresh folder.
class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        config = tmp.filePath(QStringLiteral("config"));
        data = tmp.filePath(QStringLiteral("data"));
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        FreeUserSettings();
    }
    void TearDown() override {
        FreeUserSettings();
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("XDG_DATA_HOME", oldData);
    }

    static void put(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir tmp;
    QString config;
    QString data;
    QByteArray oldConfig;
    QByteArray oldData;
};

TEST_F(SettingsLocationTest, PathIsTheConfigurationFolderAndNoFolderIsAnError) {
    EXPECT_EQ(GetAppDataPath(QStringLiteral("Vomb/Game")), config + QStringLiteral("/Vomb/Game"));
    EXPECT_EQ(AppDataPathIn(QStringLiteral("/home/a/.config/"), QStringLiteral("Vomb/x")),
              QStringLiteral("/home/a/.config/Vomb/x"));
    EXPECT_EQ(AppDataPathIn(QStringLiteral("/home/a/.config"), QStringLiteral("Vomb/x")),
              QStringLiteral("/home/a/.config/Vomb/x"));
    EXPECT_THROW_MSG((void)AppDataPathIn(QString(), QStringLiteral("Vomb/x")), EQZError,
                     QStringLiteral("can't obtain AppDataFolder"));
}

TEST_F(SettingsLocationTest, FirstRunCreatesTheFolderButNoFile) {
    {
        auto settings = OpenUserSettings(QStringLiteral("Vomb/Game"));
        EXPECT_EQ(settings->FileName(), config + QStringLiteral("/Vomb/Game.ini"));
        EXPECT_TRUE(QFileInfo(config + QStringLiteral("/Vomb")).isDir());
        EXPECT_EQ(settings->readInteger(QStringLiteral("Score"), QStringLiteral("Highest"), 7), 7);
    }
    EXPECT_FALSE(QFileInfo::exists(config + QStringLiteral("/Vomb/Game.ini")));
    EXPECT_FALSE(QFileInfo::exists(data + QStringLiteral("/Vomb")));
}

TEST_F(SettingsLocationTest, LocalCopyIsTakenOverOnlyWhenTheFileIsMissing) {
    const QString local = data + QStringLiteral("/Vomb/Game.ini");
    const QString roaming = config + QStringLiteral("/Vomb/Game.ini");
    put(local, LocalCopy);
    {
        auto settings = OpenUserSettings(QStringLiteral("Vomb/Game"));
        EXPECT_EQ(settings->readString(QStringLiteral("Score"), QStringLiteral("Best"), {}),
                  QStringLiteral("Ace"));
    }
    EXPECT_EQ(bytesOf(roaming), LocalCopy);
    EXPECT_EQ(bytesOf(local), LocalCopy);

    // Later runs use the roaming file only, whatever happens to the old copy.
    put(roaming, RoamingCopy);
    put(local, LocalCopy + "[Extra]\r\na=1\r\n");
    {
        auto settings = OpenUserSettings(QStringLiteral("Vomb/Game"));
        EXPECT_EQ(settings->readString(QStringLiteral("Score"), QStringLiteral("Best"), {}),
                  QStringLiteral("Bea"));
    }
    EXPECT_EQ(bytesOf(roaming), RoamingCopy);

    // The same program under another name has its own file.
    {
        auto other = OpenUserSettings(QStringLiteral("Vomb/Other"));
        EXPECT_EQ(other->FileName(), config + QStringLiteral("/Vomb/Other.ini"));
        EXPECT_EQ(other->readString(QStringLiteral("Score"), QStringLiteral("Best"), {}),
                  QString());
    }
}

TEST_F(SettingsLocationTest, MigrationLeavesOtherPathsAloneAndReportsFailedCopies) {
    const QString elsewhere = tmp.filePath(QStringLiteral("elsewhere/Vomb/Game.ini"));
    put(data + QStringLiteral("/elsewhere/Vomb/Game.ini"), LocalCopy);
    MigrateFromLocalAppData(elsewhere, config, data);
    EXPECT_FALSE(QFileInfo::exists(elsewhere));

    // A copy never overwrites, even when called on an existing file.
    const QString roaming = config + QStringLiteral("/Vomb/Game.ini");
    put(roaming, RoamingCopy);
    put(data + QStringLiteral("/Vomb/Game.ini"), LocalCopy);
    EXPECT_THROW_MSG(MigrateFromLocalAppData(roaming, config, data), EQZError,
                     "Die Datei \"" + data + "/Vomb/Game.ini\" kann nicht nach \"" + roaming +
                         "\" übernommen werden: dort ist schon eine Datei.");
    EXPECT_EQ(bytesOf(roaming), RoamingCopy);

    // A plain file where the vendor folder belongs makes the copy fail.
    put(data + QStringLiteral("/Blocked/Game.ini"), LocalCopy);
    put(config + QStringLiteral("/Blocked"), "not a folder");
    EXPECT_THROW_MSG(
        MigrateFromLocalAppData(config + QStringLiteral("/Blocked/Game.ini"), config, data),
        EQZError,
        "Der Ordner \"" + config +
            "/Blocked\" für die Datei \"Game.ini\" kann nicht angelegt "
            "werden.");

    // A dangling link in its place is no file to copy over.
    const QString dangling = config + QStringLiteral("/Vomb/Link.ini");
    put(data + QStringLiteral("/Vomb/Link.ini"), LocalCopy);
    ASSERT_TRUE(QFile::link(tmp.filePath(QStringLiteral("nowhere/x.ini")), dangling));
    EXPECT_THROW_MSG(MigrateFromLocalAppData(dangling, config, data), EQZError,
                     "Die Datei \"" + data + "/Vomb/Link.ini\" kann nicht nach \"" + dangling +
                         "\" übernommen werden: nicht vorhanden.");
}

// Only a regular file is taken over: an old copy that is a FIFO, a folder
// or a link to an endless device is left alone, and the start goes on.
TEST_F(SettingsLocationTest, MigrationTakesOverOnlyARegularFile) {
    const QString local = data + QStringLiteral("/Vomb/Game.ini");
    const QString roaming = config + QStringLiteral("/Vomb/Game.ini");
    QDir().mkpath(data + QStringLiteral("/Vomb"));
    ASSERT_EQ(mkfifo(QFile::encodeName(local).constData(), 0600), 0);
    MigrateFromLocalAppData(roaming, config, data);
    EXPECT_FALSE(QFileInfo::exists(roaming));
    ASSERT_TRUE(QFile::remove(local));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), local));
    MigrateFromLocalAppData(roaming, config, data);
    EXPECT_FALSE(QFileInfo::exists(roaming));
    EXPECT_TRUE(QFileInfo(local).isSymLink());
}

// A folder where the settings file belongs stops the start with a German
// message that names the file.
TEST_F(SettingsLocationTest, FolderInPlaceOfTheFileIsNamedInGerman) {
    const QString roaming = config + QStringLiteral("/Vomb/Game.ini");
    ASSERT_TRUE(QDir().mkpath(roaming));
    EXPECT_THROW_MSG((void)OpenUserSettings(QStringLiteral("Vomb/Game")), EQZError,
                     "\"" + roaming + "\" ist ein Ordner und keine Datei.");
}

TEST_F(SettingsLocationTest, GetUserSettingsCreatesTheOneObjectNamedAfterTheProgram) {
    TUserSettings* first = GetUserSettings();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetUserSettings(), first);
    EXPECT_EQ(UserSettings(), first);
    const QString expected = config + QStringLiteral("/Vomb/") + ExeBaseName() + ".ini";
    EXPECT_EQ(static_cast<TUserSettingsFile*>(first)->FileName(), expected);

    first->writeBool(QStringLiteral("_Stakko"), QStringLiteral("withSound"), false);
    FreeUserSettings(); // shutdown writes what is pending
    EXPECT_EQ(bytesOf(expected), QByteArray("\xEF\xBB\xBF[_Stakko]\r\nwithSound=0\r\n\r\n"));
}

} // namespace

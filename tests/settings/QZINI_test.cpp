#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/TEncoding.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <QDateTime>

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using qz::TUserSettingsFile;

// A first run: sound switched off, a record of 1520 points by Ace, the
// normal window closed at 120, 80 with a size of 390 x 434.
TEST(UserSettingsFile, FirstRunWritesTheExpectedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Vomb/stakko.ini");
    {
        TUserSettingsFile settings(path);
        EXPECT_TRUE(QFileInfo(dir.filePath("Vomb")).isDir());
        // The XDG rules: a folder made for the user's data is the user's alone.
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                            QFileDevice::WriteOther | QFileDevice::ExeOther;
        EXPECT_FALSE(QFileInfo(dir.filePath("Vomb")).permissions() & others);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(settings.FileName(), path);
        EXPECT_TRUE(settings.readBool("_Stakko", "withSound", true));
        settings.writeBool("_Stakko", "withSound", false);
        settings.writeString("Score", "Best", "Ace");
        settings.writeInteger("Score", "Highest", 1520);
        settings.writeInteger("_Stakko", "WinState", 0);
        settings.writeInteger("_Stakko", "Width", 390);
        settings.writeInteger("_Stakko", "Height", 434);
        settings.writeInteger("_Stakko", "Left", 120);
        settings.writeInteger("_Stakko", "Top", 80);
    } // the destructor writes what is pending
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF"
                               "[_Stakko]\r\n"
                               "withSound=0\r\n"
                               "WinState=0\r\n"
                               "Width=390\r\n"
                               "Height=434\r\n"
                               "Left=120\r\n"
                               "Top=80\r\n"
                               "\r\n"
                               "[Score]\r\n"
                               "Best=Ace\r\n"
                               "Highest=1520\r\n"
                               "\r\n");

    TUserSettingsFile again(path);
    EXPECT_FALSE(again.readBool("_stakko", "withsound", true));
    EXPECT_EQ(again.readString("Score", "Best", ""), "Ace");
    EXPECT_EQ(again.readInteger("Score", "Highest", 0), 1520);
    EXPECT_EQ(&again.Ini(), &again.Ini());
    EXPECT_FALSE(again.Ini().Modified());
}

TEST(UserSettingsFile, StringsKeepLineBreaksAndStopAtNul) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    {
        TUserSettingsFile settings(path);
        settings.writeString("S", "multi", "a\r\nb");
        EXPECT_EQ(settings.Ini().ReadString("S", "multi", ""), QStringLiteral("a\uFFF1\uFFF2b"));
        EXPECT_EQ(settings.readString("S", "multi", ""), "a\r\nb");
        settings.writeString("S", "nul", QString::fromUtf16(u"ab\0cd", 5));
        EXPECT_EQ(settings.readString("S", "nul", ""), "ab");
        settings.writeString("S", "gone", "x");
        settings.writeString("S", "gone", QString::fromUtf16(u"\0x", 2));
        EXPECT_EQ(settings.readString("S", "gone", "default"), "default");
        settings.writeString("S", "empty", "x");
        settings.writeString("S", "empty", "");
        EXPECT_EQ(settings.readString("S", "empty", "d\uFFF2e"), "d\ne");
        settings.Save();
    }
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[S]\r\nmulti=a\xEF\xBF\xB1\xEF\xBF\xB2"
                               "b\r\nnul=ab\r\n\r\n");
}

TEST(UserSettingsFile, TypedValuesListsAndSections) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    TUserSettingsFile settings(path);
    settings.writeBool("S", "off", false);
    EXPECT_FALSE(settings.readBool("S", "off", true));
    EXPECT_TRUE(settings.readBool("S", "missing", true));
    settings.writeDouble("S", "d", -0.0);
    EXPECT_TRUE(std::signbit(settings.readDouble("S", "d", 1.0)));
    EXPECT_EQ(settings.readDouble("S", "none", 2.5), 2.5);
    // Line breaks are only substituted by the string operations.
    settings.writeList("L", {";note", "a=1", "text"});
    QStringList list{"left over"};
    settings.readList("L", list);
    EXPECT_EQ(list, (QStringList{";note", "a=1", "text"}));
    settings.readList("missing", list);
    EXPECT_TRUE(list.isEmpty());

    settings.writeList("Empty", {});
    settings.ClearSection("S");
    EXPECT_EQ(settings.readInteger("S", "off", 7), 7);
    settings.Save();
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[L]\r\n;note\r\na=1\r\ntext\r\n\r\n");
}

TEST(UserSettingsFile, SaveBackupWritesACopyBesideTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("game.ini");
    WriteBytes(path, "[S]\r\na=1\r\n");
    {
        TUserSettingsFile settings(path);
        settings.writeString("S", "a", "Bär");
        settings.SaveBackup();
        EXPECT_EQ(FileBytes(dir.filePath("game_bkup.ini")),
                  "\xEF\xBB\xBF[S]\r\na=B\xC3\xA4r\r\n\r\n");
        EXPECT_EQ(FileBytes(path), "[S]\r\na=1\r\n");
        // The change is still pending for the file itself.
        EXPECT_TRUE(settings.Ini().Modified());
    }
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[S]\r\na=B\xC3\xA4r\r\n\r\n");

    EXPECT_EQ(TUserSettingsFile::BackupFileName("/x/game.ini"), "/x/game_bkup.ini");
    EXPECT_EQ(TUserSettingsFile::BackupFileName("/x.d/game"), "/x.d/game_bkup.ini");
    EXPECT_EQ(TUserSettingsFile::BackupFileName("/x/a.b.ini"), "/x/a.b_bkup.ini");
}

TEST(UserSettingsFile, UndecodableFileIsReportedOnceAndStillUsed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    // Damaged compressed data: the whole-text loader gives up on it.
    WriteBytes(path, QByteArray("DLQZU8\0\1", 8) + "\r\n[Score]\r\nBest=J\xF6rg\r\nHighest=9\r\n");
    MsgBoxRecorder box;
    TUserSettingsFile settings(path);
    EXPECT_EQ(box.shown, QStringList{"Die komprimierten Daten der Datei \"" + path +
                                     "\" sind beschädigt (incorrect header check).\rDer "
                                     "bisherige Inhalt wird vor dem nächsten Speichern als\r" +
                                     path + ".damaged\raufbewahrt."});
    EXPECT_EQ(settings.readString("Score", "Best", ""), "Jörg");
    EXPECT_EQ(settings.readInteger("Score", "Highest", 0), 9);
}

// What saves killed between writing and renaming left beside the file goes
// at the next start, however young: a save still under way marks its file
// in use. Nothing else is touched.
TEST(UserSettingsFile, StartRemovesOnlyTemporariesOfKilledSaves) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    WriteBytes(path, "\xEF\xBB\xBF[S]\r\na=1\r\n\r\n");
    const QDateTime saved = QFileInfo(path).lastModified();
    const auto put = [&](const QString& name, int secondsFromSave, const QByteArray& bytes) {
        const QString file = dir.filePath(name);
        WriteBytes(file, bytes);
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(saved.addSecs(secondsFromSave), QFileDevice::FileModificationTime));
    };
    put("stakko.ini.saving-Ab12Cd", -60, "left over");
    put("stakko.ini.saving-zz99zz", -1, "left over");
    put("stakko.ini.saving-NEWER1", 1, "left over");  // killed just before this start
    put("stakko.ini.saving-EMPTY1", 1, QByteArray()); // may be a save about to mark it
    put("stakko.ini.saving-INUSE1", -60, "being written");
    put("stakko.ini.saving-toolong", -60, "left over");
    put("stakko.ini.backup", -60, "left over");
    put("other.ini.saving-Ab12Cd", -60, "left over");
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("stakko.ini.saving-fifo01")).constData(), 0600),
              0);
    // A writer in another process holds this mark while it writes.
    const int writer =
        ::open(QFile::encodeName(dir.filePath("stakko.ini.saving-INUSE1")).constData(), O_RDWR);
    ASSERT_GE(writer, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(writer, F_OFD_SETLK, &lock), 0);

    SettingsLogRecorder log;
    TUserSettingsFile settings(path);
    ::close(writer);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System, QDir::Name),
              QStringList({"other.ini.saving-Ab12Cd", "stakko.ini", "stakko.ini.backup",
                           "stakko.ini.saving-EMPTY1", "stakko.ini.saving-INUSE1",
                           "stakko.ini.saving-fifo01", "stakko.ini.saving-toolong"}));
    EXPECT_EQ(log.messages.size(), 3);
    EXPECT_TRUE(log.messages.contains("removed " + dir.filePath("stakko.ini.saving-NEWER1") +
                                      " left by a save that did not finish"));
}

} // namespace

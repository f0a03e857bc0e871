#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/TEncoding.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using qz::TDateTime;
using qz::TIni;

constexpr TDateTime kSecond = 1.0 / 86400;

// Moves the file's time by `seconds`, the way an edit by another program would.
void ShiftFileTime(const QString& path, int seconds) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime t = QFileInfo(path).lastModified().addSecs(seconds);
    ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
}

TEST(IniFileTime, TenSecondRuleDefersWritesUntilALaterRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, "\xEF\xBB\xBF[S]\r\na=1\r\n\r\n");
    const QByteArray original = FileBytes(path);

    auto ini = Utf8Ini(path);
    const TDateTime atLoad = qz::FileTimeOf(path);
    // Asked for only after the file changed: the time is still the load's.
    ShiftFileTime(path, 60);
    const TDateTime loaded = ini->FileTime();
    EXPECT_EQ(loaded, atLoad);
    TDateTime now = loaded + 5 * kSecond;
    ini->SetClock([&] { return now; });

    ini->WriteString("S", "a", "2");
    ini->WriteString("S", "b", "3"); // its read comes within ten seconds
    EXPECT_EQ(ini->ReadString("S", "a", ""), "2");
    EXPECT_EQ(FileBytes(path), original);
    EXPECT_TRUE(ini->Modified());

    now = loaded + 11 * kSecond;
    EXPECT_EQ(ini->ReadInteger("S", "b", 0), 3);
    EXPECT_FALSE(ini->Modified());
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[S]\r\na=2\r\nb=3\r\n\r\n");
    EXPECT_EQ(ini->FileTime(), qz::FileTimeOf(path));

    // A missing file counts as written long ago: the first read after a
    // write creates it.
    auto fresh = Utf8Ini(dir.filePath("new.ini"));
    EXPECT_EQ(fresh->FileTime(), 0.0);
    fresh->WriteBool("N", "x", true);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("new.ini")));
    EXPECT_TRUE(fresh->ReadBool("N", "x", false));
    EXPECT_EQ(FileBytes(dir.filePath("new.ini")), "\xEF\xBB\xBF[N]\r\nx=1\r\n\r\n");
}

TEST(IniFileTime, ReadFromStringSavesAtTheFirstReadWithPendingChanges) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    auto ini = Utf8Ini(path);
    ini->SetClock([] { return 0.0; }); // even the earliest clock is past -1.0 + 10 s
    ini->ReadFromString("[A]x]\r\n;$C\r\nk=v\n[b]\rq=1");
    EXPECT_EQ(ini->FileTime(), -1.0);
    EXPECT_FALSE(ini->Modified());
    EXPECT_FALSE(ini->CaseSensitive());
    QStringList list;
    ini->ReadSectionLines("A", list, true);
    EXPECT_EQ(list, (QStringList{";$C", "k=v"}));

    ini->WriteString("b", "q", "2");
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(ini->ReadString("b", "q", ""), "2");
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[A]\r\n;$C\r\nk=v\r\n\r\n[b]\r\nq=2\r\n\r\n");
}

TEST(IniFileMaintain, SavesPendingChangesOrReloadsAChangedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, "[S]\r\na=1\r\n");
    auto ini = Utf8Ini(path);
    EXPECT_FALSE(ini->Maintain()); // unchanged

    ini->WriteString("S", "a", "2");
    EXPECT_FALSE(ini->Maintain());
    EXPECT_FALSE(ini->Modified());
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[S]\r\na=2\r\n\r\n");

    WriteBytes(path, "[S]\r\na=from elsewhere\r\n");
    ShiftFileTime(path, 3);
    EXPECT_TRUE(ini->Maintain());
    EXPECT_EQ(ini->ReadString("S", "a", ""), "from elsewhere");

    // With AutoMaintain every read looks at the file first.
    ini->SetAutoMaintain(true);
    WriteBytes(path, "[S]\r\na=third\r\n");
    ShiftFileTime(path, 6);
    EXPECT_EQ(ini->ReadString("S", "a", ""), "third");
}

TEST(IniFileSave, EmptyDocumentDeletesItsFileAndNeverCreatesOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, "[S]\r\na=1\r\n");
    {
        auto ini = Utf8Ini(path);
        ini->WriteString("S", "a", "");
        ini->Save();
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_FALSE(ini->Modified());
        EXPECT_EQ(ini->FileTime(), 0.0);
    }
    {
        auto ini = Utf8Ini(path);
        ini->SetClock([] { return 0.0; }); // no save on the way
        ini->WriteString("S", "a", "1");
        ini->WriteString("S", "a", "");
        EXPECT_TRUE(ini->Modified());
    } // destroyed with a pending, empty change
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(IniFileSave, OtherNamesSecondFilesAndNewNames) {
    QTemporaryDir dir;
    const QString path = dir.filePath("main.ini");
    const QString other = dir.filePath("other.ini");
    WriteBytes(path, "[S]\r\na=1\r\n");
    WriteBytes(other, "[O]\r\nb=2\r\n");
    auto ini = Utf8Ini(path);
    ShiftFileTime(path, -60);
    const TDateTime mainTime = qz::FileTimeOf(path);

    ini->WriteString("S", "a", "5");
    ini->SaveToFile(dir.filePath("copy.ini"), nullptr);
    EXPECT_FALSE(ini->Modified());
    EXPECT_EQ(ini->FileTime(), mainTime);
    EXPECT_EQ(FileBytes(dir.filePath("copy.ini")), "\xEF\xBB\xBF[S]\r\na=5\r\n\r\n");
    EXPECT_EQ(FileBytes(path), "[S]\r\na=1\r\n");

    ini->LoadFromFile(other);
    EXPECT_TRUE(ini->Modified());
    ini->Save();
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[O]\r\nb=2\r\n\r\n");

    // The new file keeps the old one's permissions.
    const auto own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(path, own));
    ini->WriteString("O", "b", "3");
    ini->Save();
    EXPECT_EQ(QFile::permissions(path) & 0x7077, own); // owner, group, others
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[O]\r\nb=3\r\n\r\n");

    ini->ChangeFileName(dir.filePath("sub/renamed.ini"));
    EXPECT_TRUE(ini->Modified());
    ini->Save();
    EXPECT_EQ(FileBytes(dir.filePath("sub/renamed.ini")), FileBytes(path));
}

TEST(IniFileLoad, ByteOrderMarkChoosesUtf8AndUnmarkedTextIsWindows1252) {
    QTemporaryDir dir;
    const QString marked = dir.filePath("m.ini");
    WriteBytes(marked, "\xEF\xBB\xBF[S]\r\nk=\xC3\xA4\r\n");
    TIni withMark(marked);
    EXPECT_EQ(withMark.Encoding(), qz::TEncoding::UTF8());
    EXPECT_EQ(withMark.ReadString("S", "k", ""), "ä");
    withMark.WriteString("S", "k", "ö");
    withMark.Save();
    EXPECT_EQ(FileBytes(marked), "\xEF\xBB\xBF[S]\r\nk=\xC3\xB6\r\n\r\n");

    const QString plain = dir.filePath("p.ini");
    WriteBytes(plain, "[S]\nk=\xE4\n");
    TIni unmarked(plain);
    EXPECT_EQ(unmarked.Encoding(), nullptr);
    EXPECT_EQ(unmarked.ReadString("S", "k", ""), "ä");
    unmarked.WriteString("S", "k", "€");
    unmarked.Save();
    EXPECT_EQ(FileBytes(plain), "[S]\r\nk=\x80\r\n\r\n");

    unmarked.ReadFromString("[Größe]\r\nn=5\r\ns=Bär");
    EXPECT_EQ(unmarked.AnsiReadInteger("Gr\xF6\xDF"
                                       "e",
                                       "N", 0),
              5);
    EXPECT_EQ(unmarked.AnsiReadString("Gr\xF6\xDF"
                                      "e",
                                      "s", ""),
              "B\xE4r");
    EXPECT_EQ(unmarked.AnsiReadString("Gr\xF6\xDF"
                                      "e",
                                      "x", "d\xFC"),
              "d\xFC");
}

TEST(IniFileLoad, UndecodableLinesAreLoadedAndTheLastOneIsReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.ini");
    const QByteArray body("[S]\r\na=\xE4\r\nb=ok\r\nc=\xFC\r\nd=1\r\n");
    WriteBytes(path, body);
    QStringList lines;
    EXPECT_EQ(TIni::DecodeLinesSeparately(path, qz::TEncoding::UTF8(), lines), 4);
    EXPECT_EQ(lines, (QStringList{"[S]", "a=ä", "b=ok", "c=ü", "d=1"}));

    // A damaged compressed file makes the whole-text loader fail; its lines
    // 3 and 5 do not decode as UTF-8.
    WriteBytes(path, QByteArray("DLQZU8\0\1\r\n", 10) + body);
    QList<qint32> reported;
    TIni ini(path, qz::TEncoding::UTF8(), [&](qz::TIniStream*, qint32 n) { reported << n; }, {});
    EXPECT_EQ(reported, QList<qint32>{5});
    EXPECT_EQ(ini.ReadString("S", "a", ""), "ä");
    EXPECT_EQ(ini.ReadString("S", "b", ""), "ok");
    EXPECT_EQ(ini.ReadString("S", "c", ""), "ü");
    EXPECT_EQ(ini.ReadString("S", "d", ""), "1");

    // The default handler tells the user through the message box: of the
    // compressed file that cannot be inflated, and of where its bytes go.
    MsgBoxRecorder box;
    TIni shown(path, qz::TEncoding::UTF8(), {}, {});
    EXPECT_EQ(box.shown, QStringList{"Die komprimierten Daten der Datei \"" + path +
                                     "\" sind beschädigt (incorrect header check).\rDer "
                                     "bisherige Inhalt wird vor dem nächsten Speichern als\r" +
                                     path + ".damaged\raufbewahrt."});
}

TEST(IniFileLoad, AFileThatCannotBeReadIsAnError) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder.ini");
    EXPECT_THROW_MSG(TIni(dir.filePath("folder.ini")), qz::EQZError,
                     "\"" + dir.filePath("folder.ini") + "\" ist ein Ordner und keine Datei.");
    // An empty file is simply an empty document.
    WriteBytes(dir.filePath("empty.ini"), "");
    TIni empty(dir.filePath("empty.ini"));
    EXPECT_EQ(empty.Count(), 0);
}

TEST(IniFileSave, WriteFailuresAreAbsorbedAndMayGoToASubstitute) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("blocker"), "x");
    const QString blocked = dir.filePath("blocker/s.ini"); // its folder is a file
    {
        auto ini = Utf8Ini(blocked);
        ini->WriteString("S", "a", "1");
        ini->Save();
        EXPECT_TRUE(ini->Modified()); // the change stays pending
        EXPECT_FALSE(QFileInfo::exists(blocked));
    }
    const QString substitute = dir.filePath("virtual/s.ini");
    int asked = 0;
    auto toSubstitute = [&](const QString& fn) {
        ++asked;
        EXPECT_EQ(fn, blocked);
        return substitute;
    };
    {
        TIni ini(blocked, qz::TEncoding::UTF8(), {}, toSubstitute);
        ini.WriteString("S", "a", "1");
        ini.Save();
        EXPECT_EQ(FileBytes(substitute), "\xEF\xBB\xBF[S]\r\na=1\r\n\r\n");
    }
    // A later object finds its file at the substitute place.
    TIni later(blocked, qz::TEncoding::UTF8(), {}, toSubstitute);
    EXPECT_EQ(later.FileName(), substitute);
    EXPECT_EQ(later.ReadString("S", "a", ""), "1");

    // A substitute that fails too is not retried further.
    int tries = 0;
    TIni nowhere(blocked, qz::TEncoding::UTF8(), {}, [&](const QString&) {
        ++tries;
        return dir.filePath("blocker/other.ini");
    });
    nowhere.WriteString("S", "a", "1");
    nowhere.Save();
    EXPECT_EQ(tries, 2); // once looking for a file at creation, once after the failed write
    EXPECT_TRUE(nowhere.Modified());
}

TEST(IniFileSave, ReadOnlyFolderKeepsTheOldFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    QTemporaryDir dir;
    const QString path = dir.filePath("ro/s.ini");
    QDir().mkpath(dir.filePath("ro"));
    WriteBytes(path, "[S]\r\na=1\r\n");
    auto ini = Utf8Ini(path);
    QFile::setPermissions(dir.filePath("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    int told = 0;
    ini->SetOnSaveFailure([&told](const qz::TSaveFailure&) { ++told; });
    ini->WriteString("S", "a", "2");
    ini->Save();
    ini->Save();
    EXPECT_EQ(FileBytes(path), "[S]\r\na=1\r\n");
    EXPECT_TRUE(ini->Modified());
    EXPECT_EQ(ini->LastSaveFailure().Cause, qz::TSaveFailureCause::ReadOnly);
    EXPECT_EQ(told, 1);
    // Once the folder may be written again, the change is.
    QFile::setPermissions(dir.filePath("ro"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ini->Save();
    EXPECT_FALSE(ini->Modified());
    EXPECT_EQ(FileBytes(path), "\xEF\xBB\xBF[S]\r\na=2\r\n\r\n");
}

// Waits for the child `pid` to end, at most `ms` milliseconds.
bool Reaped(pid_t pid, int ms) {
    QElapsedTimer watch;
    watch.start();
    int status = 0;
    while (watch.elapsed() < ms) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return true;
        usleep(1000);
    }
    return false;
}

// A writer saving over and over and killed at a random moment must leave
// the previous or the next whole file behind, and nobody reading the file
// in between may ever see a part of one. What killed saves leave beside the
// file goes at the next start, once a later save has succeeded.
TEST(IniFileSave, KilledWriterLeavesTheOldOrTheNewWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    QString texts[2];
    QByteArray expected[2];
    for (int v = 0; v < 2; ++v) {
        for (int s = 0; s < 8; ++s) {
            texts[v] += QStringLiteral("[Section%1]\r\n").arg(s);
            for (int k = 0; k < 100; ++k)
                texts[v] += QStringLiteral("key%1=value %2 of version %3\r\n").arg(k).arg(s).arg(v);
        }
        auto ini = Utf8Ini(QString());
        ini->ReadFromString(texts[v]);
        const QString file = dir.filePath(QStringLiteral("expected%1.ini").arg(v));
        ini->SaveToFile(file, qz::TEncoding::UTF8());
        expected[v] = FileBytes(file);
        ASSERT_GT(expected[v].size(), 20000);
    }
    WriteBytes(path, expected[0]);

    constexpr int Rounds = 50;
    bool seen[2] = {false, false};
    for (int round = 0; round < Rounds; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto ini = Utf8Ini(QString());
            for (int i = round;; ++i) {
                ini->ReadFromString(texts[i % 2]);
                ini->ChangeFileName(path);
                ini->Save();
            }
        }
        // Readers looking while the writer works see whole files only. The
        // kill comes at a random moment after the writer's first save, which
        // a slow machine may take a while to reach (two seconds at most).
        QElapsedTimer watch;
        watch.start();
        const QByteArray before = FileBytes(path);
        const qint64 after = QRandomGenerator::global()->bounded(2, 25);
        qint64 changedAt = -1;
        int torn = 0;
        while (changedAt < 0 ? watch.elapsed() < 2000 : watch.elapsed() < changedAt + after) {
            const QByteArray seenNow = FileBytes(path);
            torn += seenNow != expected[0] && seenNow != expected[1];
            seen[0] |= seenNow == expected[0];
            seen[1] |= seenNow == expected[1];
            if (changedAt < 0 && seenNow != before)
                changedAt = watch.elapsed();
        }
        kill(pid, SIGKILL);
        ASSERT_TRUE(Reaped(pid, 10000)) << "round " << round << ": the writer did not end";
        EXPECT_EQ(torn, 0) << "round " << round;
        const QByteArray now = FileBytes(path);
        EXPECT_TRUE(now == expected[0] || now == expected[1])
            << "round " << round << ": " << now.size() << " bytes";
    }
    EXPECT_TRUE(seen[0] && seen[1]) << "the file was never replaced: the test saw "
                                    << (seen[0] ? "only the old" : "only the new") << " version";

    // Every leftover but one from the last round is older than the file.
    const auto leftovers = [&] {
        return QDir(dir.path()).entryList({"s.ini.saving-*"}, QDir::Files | QDir::Hidden);
    };
    TIni::RemoveStaleSaveFiles(path);
    EXPECT_LE(leftovers().size(), 1) << leftovers().join(", ").toStdString();
    auto ini = Utf8Ini(path);
    ini->WriteString("Section0", "key0", "after the kills");
    ini->Save();
    TIni::RemoveStaleSaveFiles(path);
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace

// A save that finds its file changed by another program since it last read
// or wrote it: only its own changes go on top, everything else on the disk
// stays as it was, byte for byte. And the durable part of a save off the
// calling thread, with a disk that is slow or fails.
#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"
#include "platform/AtomicFileWrite.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

using qz::TIni;

const QByteArray kBom = "\xEF\xBB\xBF";

struct MergeRow : NamedRow {
    QByteArray before;                 // what this object read
    QByteArray other;                  // what another program wrote meanwhile
    std::function<void(TIni&)> change; // this object's own change
    QByteArray after;                  // the file once this object saved
};

class IniMerge : public ::testing::TestWithParam<MergeRow> {};

TEST_P(IniMerge, OwnChangesGoOnTopOfTheFileOnDisk) {
    const MergeRow& row = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("s.ini");
    WriteBytes(path, kBom + row.before);
    auto ini = Utf8Ini(path);
    if (row.other.isNull())
        ASSERT_TRUE(QFile::remove(path));
    else
        WriteBytes(path, kBom + row.other);
    row.change(*ini);
    ini->Save();
    EXPECT_FALSE(ini->Modified());
    EXPECT_EQ(FileBytes(path), kBom + row.after);
    // The object now holds what the file holds.
    QStringList lines;
    ini->SaveToList(lines);
    TIni reread(path);
    QStringList expected;
    reread.SaveToList(expected);
    EXPECT_EQ(lines, expected);
}

// Comments, the order of lines, keys given twice and sections the program
// does not know are those of the file on disk.
const QByteArray kOthersFile = "; kept by hand\r\n\r\n"
                               "[_Stakko]\r\nwithSound=1\r\nLeft=5\r\n\r\n"
                               "[Score]\r\n; the best so far\r\nBest=Bert\r\nHighest=452\r\n\r\n"
                               "[Unknown]\r\nz=1\r\nz=2\r\ny=0\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, IniMerge,
    ::testing::Values(
        MergeRow{{"a_value_written"},
                 "[_Stakko]\r\nwithSound=1\r\n\r\n[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n",
                 kOthersFile,
                 [](TIni& ini) { ini.WriteString("_Stakko", "withSound", "0"); },
                 "; kept by hand\r\n\r\n"
                 "[_Stakko]\r\nwithSound=0\r\nLeft=5\r\n\r\n"
                 "[Score]\r\n; the best so far\r\nBest=Bert\r\nHighest=452\r\n\r\n"
                 "[Unknown]\r\nz=1\r\nz=2\r\ny=0\r\n\r\n"},
        MergeRow{{"a_new_key_and_section"},
                 "[_Stakko]\r\nwithSound=1\r\n\r\n",
                 kOthersFile,
                 [](TIni& ini) {
                     ini.WriteInteger("_Stakko", "Top", 80);
                     ini.WriteString("New", "k", "v");
                 },
                 "; kept by hand\r\n\r\n"
                 "[_Stakko]\r\nwithSound=1\r\nLeft=5\r\nTop=80\r\n\r\n"
                 "[New]\r\nk=v\r\n\r\n"
                 "[Score]\r\n; the best so far\r\nBest=Bert\r\nHighest=452\r\n\r\n"
                 "[Unknown]\r\nz=1\r\nz=2\r\ny=0\r\n\r\n"},
        MergeRow{{"a_key_erased_and_a_section_cleared"},
                 "[_Stakko]\r\nwithSound=1\r\nLeft=1\r\n\r\n[Score]\r\nBest=Anna\r\n\r\n",
                 kOthersFile,
                 [](TIni& ini) {
                     ini.WriteString("_Stakko", "Left", "");
                     ini.ClearSection("Score");
                 },
                 "; kept by hand\r\n\r\n"
                 "[_Stakko]\r\nwithSound=1\r\n\r\n"
                 "[Unknown]\r\nz=1\r\nz=2\r\ny=0\r\n\r\n"},
        MergeRow{{"a_list_section_rewritten"},
                 "[List]\r\nold\r\n\r\n",
                 kOthersFile,
                 [](TIni& ini) {
                     ini.WriteSectionLines("List", {"one", "two"}, true);
                 },
                 "; kept by hand\r\n\r\n"
                 "[_Stakko]\r\nwithSound=1\r\nLeft=5\r\n\r\n"
                 "[List]\r\none\r\ntwo\r\n\r\n"
                 "[Score]\r\n; the best so far\r\nBest=Bert\r\nHighest=452\r\n\r\n"
                 "[Unknown]\r\nz=1\r\nz=2\r\ny=0\r\n\r\n"},
        // Both changed Highest: the later save wins, as with QSettings.
        MergeRow{{"the_same_key_the_later_save_wins"},
                 "[Score]\r\nHighest=100\r\n\r\n",
                 "[Score]\r\nHighest=452\r\nBest=Bert\r\n\r\n",
                 [](TIni& ini) { ini.WriteInteger("Score", "Highest", 500); },
                 "[Score]\r\nHighest=500\r\nBest=Bert\r\n\r\n"},
        // The user deleted the file: only the own changes are written.
        MergeRow{{"a_file_deleted_meanwhile"},
                 "[_Stakko]\r\nLeft=1\r\n\r\n[Score]\r\nHighest=100\r\n\r\n",
                 QByteArray(),
                 [](TIni& ini) { ini.WriteInteger("_Stakko", "Top", 2); },
                 "[_Stakko]\r\nTop=2\r\n\r\n"}),
    RowName());

// The slow disk: a data sync that waits until the test lets it go (never
// longer than ten seconds), or fails.
std::atomic<bool> gSyncHeld{false};
std::atomic<int> gSyncsEntered{0};
std::atomic<int> gSyncError{0};

int HeldSync(int fd) {
    ++gSyncsEntered;
    const QDeadlineTimer deadline(10000);
    while (gSyncHeld.load() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (const int error = gSyncError.load()) {
        errno = error;
        return -1;
    }
    return ::fdatasync(fd);
}

class IniBackgroundSave : public ::testing::Test {
protected:
    void SetUp() override {
        gSyncHeld = true;
        gSyncsEntered = 0;
        gSyncError = 0;
        qz::platform::SetDataSyncFunction(&HeldSync);
    }
    void TearDown() override {
        gSyncHeld = false;
        qz::platform::SetDataSyncFunction(nullptr);
    }
    // Runs the event loop until `done` holds, ten seconds at most.
    static bool Until(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(10000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }
    QTemporaryDir FDir;
    QString FPath = FDir.filePath("s.ini");
};

// The saving thread goes on while the disk syncs; a second save waits for
// the first and follows it by itself.
TEST_F(IniBackgroundSave, ASlowDiskHoldsUpNeitherTheCallerNorASecondSave) {
    std::vector<qz::TSaveFailure> told;
    auto ini = Utf8Ini(FPath);
    ini->SetOnSaveFailure([&told](const qz::TSaveFailure& f) { told.push_back(f); });
    ini->SetSaveInBackground(true);
    ini->WriteString("S", "a", "1");
    ini->Save();
    ASSERT_TRUE(Until([] { return gSyncsEntered.load() == 1; }));
    EXPECT_TRUE(ini->Saving());
    EXPECT_FALSE(QFileInfo::exists(FPath)); // not renamed before the sync
    ini->WriteString("S", "b", "2");
    ini->Save();
    EXPECT_TRUE(ini->Modified());
    EXPECT_FALSE(ini->Flush(std::chrono::milliseconds(20)));

    gSyncHeld = false;
    ASSERT_TRUE(Until([&] { return !ini->Saving() && !ini->Modified(); }));
    EXPECT_EQ(gSyncsEntered.load(), 2);
    EXPECT_EQ(FileBytes(FPath), kBom + "[S]\r\na=1\r\nb=2\r\n\r\n");
    EXPECT_TRUE(told.empty());
}

// A sync that fails puts the changes it carried back: they stay pending,
// are told once, and the next save writes them with the later ones.
TEST_F(IniBackgroundSave, AFailedSyncKeepsTheChangesPending) {
    std::vector<qz::TSaveFailure> told;
    WriteBytes(FPath, kBom + "[S]\r\nold=1\r\n\r\n");
    auto ini = Utf8Ini(FPath);
    ini->SetOnSaveFailure([&told](const qz::TSaveFailure& f) { told.push_back(f); });
    ini->SetSaveInBackground(true);
    gSyncError = EIO;
    gSyncHeld = false;
    ini->WriteString("S", "a", "1");
    EXPECT_FALSE(ini->Flush());
    ini->WriteString("S", "b", "2");
    EXPECT_FALSE(ini->Flush());
    EXPECT_TRUE(ini->Modified());
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].Cause, qz::TSaveFailureCause::Other);
    EXPECT_EQ(qz::SaveFailureMessage(told[0]),
              "Die Einstellungen konnten nicht in der Datei \r" + FPath +
                  "\r gespeichert werden: Ein-/Ausgabefehler.\rSie bleiben vorgemerkt und "
                  "werden beim nächsten Speichern und beim Beenden erneut geschrieben.");
    EXPECT_EQ(FileBytes(FPath), kBom + "[S]\r\nold=1\r\n\r\n");

    gSyncError = 0;
    EXPECT_TRUE(ini->Flush());
    EXPECT_EQ(FileBytes(FPath), kBom + "[S]\r\nold=1\r\na=1\r\nb=2\r\n\r\n");
    EXPECT_EQ(told.size(), 1U);
}

// The end waits for a hung disk a few seconds, then says so and goes.
TEST_F(IniBackgroundSave, TheEndWaitsBoundedAndSaysSo) {
    std::vector<qz::TSaveFailure> told;
    {
        auto ini = Utf8Ini(FPath);
        ini->SetOnSaveFailure([&told](const qz::TSaveFailure& f) { told.push_back(f); });
        ini->SetSaveInBackground(true);
        ini->WriteString("S", "a", "1");
        ini->Save();
    }
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].Cause, qz::TSaveFailureCause::Unfinished);
    EXPECT_EQ(told[0].FileName, FPath);
    gSyncHeld = false; // the abandoned thread finishes its rename
    const QDeadlineTimer deadline(10000);
    while (FileBytes(FPath) != kBom + "[S]\r\na=1\r\n\r\n" && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(FileBytes(FPath), kBom + "[S]\r\na=1\r\n\r\n");
}

} // namespace

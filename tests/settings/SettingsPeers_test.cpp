// Two running programs on one settings file, each a real process (see
// SettingsPeer.cpp), and a disk that fills up or turns read-only under a
// running program: nothing either of them stored may be lost.
#include "settings/QZINI.h"

#include "IniFileTestSupport.h"
#include "common/TestHelpers.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kRounds = 25;

// One running peer; every answer is awaited with a deadline.
class Peer {
public:
    explicit Peer(const QString& file) { Start(SETTINGS_PEER, {file}); }
    Peer(const QString& program, const QStringList& arguments) { Start(program, arguments); }
    ~Peer() {
        FProcess.write("quit\n");
        FProcess.closeWriteChannel();
        if (!FProcess.waitForFinished(10000))
            FProcess.kill();
        FProcess.waitForFinished(1000);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    void Send(const QString& command) { FProcess.write((command + u'\n').toUtf8()); }
    QString Answer() {
        const QDeadlineTimer deadline(10000);
        while (!FProcess.canReadLine()) {
            if (deadline.hasExpired() || FProcess.state() != QProcess::Running)
                return QStringLiteral("<no answer: %1>")
                    .arg(QString::fromLocal8Bit(FProcess.readAllStandardError()));
            FProcess.waitForReadyRead(int(deadline.remainingTime()));
        }
        return QString::fromUtf8(FProcess.readLine()).chopped(1);
    }
    QString Ask(const QString& command) {
        Send(command);
        return Answer();
    }

private:
    void Start(const QString& program, const QStringList& arguments) {
        FProcess.start(program, arguments);
        FProcess.waitForStarted(10000);
    }
    QProcess FProcess;
};

QString Value(const QString& path, const QString& section, const QString& key) {
    return qz::TUserSettingsFile(path).readString(section, key, QStringLiteral("<none>"));
}

const QByteArray kStart = "\xEF\xBB\xBF[_Stakko]\r\nwithSound=1\r\nLeft=300\r\n\r\n"
                          "[Score]\r\nBest=Anna\r\nHighest=100\r\n\r\n";

struct TwoGamesRow : NamedRow {
    // One round: what the two games and the hand of the user do.
    std::function<void(Peer& a, Peer& b, const QString& path, int round)> play;
    // What the file must hold after it: section, key, value.
    std::function<QList<QStringList>(int round)> expected;
};

class TwoGames : public ::testing::TestWithParam<TwoGamesRow> {};

// Both games hold the file open for every round, as two games the player
// started keep running.
TEST_P(TwoGames, NeitherLosesTheOthersChange) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    WriteBytes(path, kStart);
    Peer a(path);
    Peer b(path);
    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE(round);
        GetParam().play(a, b, path, round);
        for (const QStringList& e : GetParam().expected(round))
            ASSERT_EQ(Value(path, e[0], e[1]), e[2]) << FileBytes(path).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rounds, TwoGames,
    ::testing::Values(
        // A stores a record and switches the sound; B, which read the file
        // long before, is moved and saves.
        TwoGamesRow{
            {"record_and_switch_survive_the_others_save"},
            [](Peer& a, Peer& b, const QString&, int round) {
                const QString n = QString::number(round);
                EXPECT_EQ(a.Ask("set Score Best Bert" + n), "ok");
                EXPECT_EQ(a.Ask("set Score Highest " + QString::number(400 + round)), "ok");
                EXPECT_EQ(a.Ask("save"), "ok");
                EXPECT_EQ(a.Ask("set _Stakko withSound " + QString::number(round % 2)), "ok");
                EXPECT_EQ(a.Ask("save"), "ok");
                EXPECT_EQ(b.Ask("set _Stakko Left " + n), "ok");
                EXPECT_EQ(b.Ask("save"), "ok");
            },
            [](int round) {
                return QList<QStringList>{{"Score", "Best", "Bert" + QString::number(round)},
                                          {"Score", "Highest", QString::number(400 + round)},
                                          {"_Stakko", "withSound", QString::number(round % 2)},
                                          {"_Stakko", "Left", QString::number(round)}};
            }},
        // Both save at the same moment, each its own key.
        TwoGamesRow{{"both_saving_at_once_keep_both"},
                    [](Peer& a, Peer& b, const QString&, int round) {
                        const QString n = QString::number(round);
                        EXPECT_EQ(a.Ask("set _Stakko Top " + n), "ok");
                        EXPECT_EQ(b.Ask("set _Stakko Width " + n), "ok");
                        a.Send("save");
                        b.Send("save");
                        EXPECT_EQ(a.Answer(), "ok");
                        EXPECT_EQ(b.Answer(), "ok");
                    },
                    [](int round) {
                        const QString n = QString::number(round);
                        return QList<QStringList>{{"_Stakko", "Top", n}, {"_Stakko", "Width", n}};
                    }},
        // The user copies a backup over the file while both run; their
        // next saves keep it and add only their own changes.
        TwoGamesRow{{"a_hand_restore_survives"},
                    [](Peer& a, Peer& b, const QString& path, int round) {
                        const QString n = QString::number(round);
                        QByteArray backup = "\xEF\xBB\xBF[Score]\r\nBest=Restored\r\nHighest=";
                        backup += QByteArray::number(9000 + round) + "\r\n\r\n";
                        WriteBytes(path, backup);
                        EXPECT_EQ(a.Ask("set _Stakko Height " + n), "ok");
                        EXPECT_EQ(a.Ask("save"), "ok");
                        EXPECT_EQ(b.Ask("set _Stakko Top " + n), "ok");
                        EXPECT_EQ(b.Ask("save"), "ok");
                    },
                    [](int round) {
                        const QString n = QString::number(round);
                        return QList<QStringList>{
                            {"Score", "Best", "Restored"},
                            {"Score", "Highest", QString::number(9000 + round)},
                            {"_Stakko", "Height", n},
                            {"_Stakko", "Top", n},
                            {"_Stakko", "withSound", "<none>"}};
                    }}),
    RowName());

// A game that reads its record again sees the one the other game stored,
// and keeps its own pending change on top.
TEST(TwoGamesRefresh, ARefreshTakesInTheOthersRecordAndKeepsOwnChanges) {
    QTemporaryDir dir;
    const QString path = dir.filePath("stakko.ini");
    WriteBytes(path, kStart);
    Peer a(path);
    Peer b(path);
    EXPECT_EQ(b.Ask("set _Stakko Left 7"), "ok");
    EXPECT_EQ(a.Ask("set Score Highest 452"), "ok");
    EXPECT_EQ(a.Ask("save"), "ok");
    EXPECT_EQ(b.Ask("get Score Highest"), "100");
    EXPECT_EQ(b.Ask("refresh"), "ok");
    EXPECT_EQ(b.Ask("get Score Highest"), "452");
    EXPECT_EQ(b.Ask("get _Stakko Left"), "7");
    EXPECT_EQ(b.Ask("pending"), "1");
}

// A disk that fills up, or turns read-only, under a running program: one
// message that names the file and the cause, the changes pending, and all
// of them written once the disk takes them again.
struct BrokenDiskRow : NamedRow {
    QString breakIt; // the command that breaks the disk; %1 is the folder
    QString mendIt;  // and the one that mends it
    QString cause;   // what the message says
};

class BrokenDisk : public ::testing::TestWithParam<BrokenDiskRow> {};

TEST_P(BrokenDisk, OneMessageAndNothingLost) {
    const BrokenDiskRow& row = GetParam();
    QTemporaryDir dir;
    const QString mount = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(mount));
    const QString path = mount + "/Vomb/stakko.ini";
    // A small tmpfs of its own, in a mount namespace of its own (with a user
    // namespace where we are not root), so nothing outside sees it.
    QStringList unshare{"--mount", "--propagation", "private"};
    if (geteuid() != 0)
        unshare = QStringList{"--user", "--map-root-user"} + unshare;
    unshare << "sh"
            << "-c"
            << "mount -t tmpfs -o size=256k stakko \"$1\" && exec \"$2\" \"$3\""
            << "sh" << mount << SETTINGS_PEER << path;
    Peer peer("unshare", unshare);
    const QString first = peer.Ask("set S keep 1");
    if (first != "ok")
        GTEST_SKIP() << "no private mount namespace here: " << first.toStdString();
    ASSERT_EQ(peer.Ask("flush"), "ok");

    ASSERT_EQ(peer.Ask(row.breakIt.arg(mount)), "ok");
    EXPECT_EQ(peer.Ask("set S a 1"), "ok");
    EXPECT_EQ(peer.Ask("save"), "ok");
    EXPECT_EQ(peer.Ask("set S b 2"), "ok");
    EXPECT_EQ(peer.Ask("save"), "ok");
    EXPECT_EQ(peer.Ask("flush"), "failed");
    EXPECT_EQ(peer.Ask("pending"), "1");
    const QString told = peer.Ask("told");
    EXPECT_TRUE(told.startsWith("1 Die Einstellungen konnten nicht in der Datei |" + path +
                                "| gespeichert werden: " + row.cause + "."))
        << told.toStdString();
    EXPECT_EQ(peer.Ask("file"), QString::fromUtf8("\xEF\xBB\xBF[S]|keep=1||"));

    ASSERT_EQ(peer.Ask(row.mendIt.arg(mount)), "ok");
    EXPECT_EQ(peer.Ask("save"), "ok");
    EXPECT_EQ(peer.Ask("pending"), "0");
    EXPECT_EQ(peer.Ask("told").section(u' ', 0, 0), "1");
    EXPECT_EQ(peer.Ask("file"), QString::fromUtf8("\xEF\xBB\xBF[S]|keep=1|a=1|b=2||"));
}

INSTANTIATE_TEST_SUITE_P(Disks, BrokenDisk,
                         ::testing::Values(BrokenDiskRow{{"full"},
                                                         "fill %1/filler",
                                                         "remove %1/filler",
                                                         "kein Platz mehr auf dem Datenträger"},
                                           BrokenDiskRow{
                                               {"read_only"},
                                               "remount %1 ro",
                                               "remount %1 rw",
                                               "die Datei oder ihr Ordner ist schreibgeschützt"}),
                         RowName());

} // namespace

// The record: when a game makes one, the winner dialog (what it offers, that
// only OK closes it, where it stands) and what OK stores and shows.
#include "game/Winner.h"

#include "board/ScoreObj.h"
#include "common/FakeUserSettings.h"
#include "common/TestHelpers.h"
#include "game/RecordKeeping.h"
#include "game/SessionEnd.h"
#include "game/Stakko.h"
#include "settings/QZINI.h"
#include "text/MsgBox.h"
#include "ui/SoundPlayer.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace stakko;

namespace {

struct PlaceCase : NamedRow {
    QRect mainWindow;
    QSize dialog;
    QRect screen;
    QPoint expected;
};

class WinnerFormPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(WinnerFormPlaceTest, CentresOverTheWindowAndKeepsEachAxisOnTheScreen) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(WinnerFormPlace(c.mainWindow, c.dialog, c.screen), c.expected);
}

const QRect Screen(0, 0, 1024, 768);
const QSize Dialog(431, 130);

INSTANTIATE_TEST_SUITE_P(
    Rows, WinnerFormPlaceTest,
    ::testing::Values(
        PlaceCase{{"centred"}, {100, 100, 380, 440}, Dialog, Screen, {75, 255}},
        // (380 - 431) / 2 is -25.5, which rounds toward zero.
        PlaceCase{
            {"odd_difference_rounds_toward_zero"}, {101, 100, 380, 441}, Dialog, Screen, {76, 255}},
        PlaceCase{{"right_edge_goes_20_inside"},
                  {800, 100, 380, 440},
                  Dialog,
                  Screen,
                  {1024 - 431 - 20, 255}},
        PlaceCase{{"negative_left_goes_to_20"}, {0, 100, 380, 440}, Dialog, Screen, {20, 255}},
        PlaceCase{{"bottom_edge_goes_20_inside"},
                  {100, 600, 380, 440},
                  Dialog,
                  Screen,
                  {75, 768 - 130 - 20}},
        PlaceCase{{"negative_top_goes_to_20"}, {100, -200, 380, 200}, Dialog, Screen, {75, 20}},
        // A primary screen that does not start at the origin keeps the rule
        // on its own edges.
        PlaceCase{{"screen_right_of_another"},
                  {1000, 100, 380, 440},
                  Dialog,
                  {1024, 0, 1280, 1024},
                  {1044, 255}}),
    RowName());

class SilentPlayer : public qz::SoundPlayer {
public:
    explicit SilentPlayer(QStringList* played) : FPlayed(played) {}
    void Play(const QString& name) override { FPlayed->append(name); }
    void PlayToEnd(const QString& name) override { FPlayed->append(name); }

private:
    QStringList* FPlayed;
};

// What the record dialog showed when a test answered it.
struct SeenWinnerForm {
    bool shown = false;
    QString offeredName;
    bool nameSelected = false;
    QString recordLineAtShow;
    QString recordLineAfterOk;
    bool openAfterEscape = false;
    bool openAfterClose = false;
    bool closedByEnter = false;
    QRect frame;
    QSize clientSize;
    QString caption;
};

// Waits (from the running event loop, within a deadline) for the record
// dialog to open, notes what it shows, tries Escape and a close, then types
// `name` over the offered one and presses Enter. A dialog that is still open
// then is closed with OK so that the test fails instead of hanging. It stops
// waiting when it goes out of scope.
class WinnerFormAnswerer {
public:
    WinnerFormAnswerer(SeenWinnerForm& seen, const QLabel* recordLine, QString name)
        : FSeen(seen), FRecordLine(recordLine), FName(std::move(name)), FDeadline(5000) {
        QObject::connect(&FPoll, &QTimer::timeout, [this] { Poll(); });
        FPoll.start(10);
    }

private:
    void Poll() {
        auto* form = qobject_cast<TWinnerForm*>(QApplication::activeModalWidget());
        if (!form) {
            if (FDeadline.hasExpired())
                FPoll.stop();
            return;
        }
        FPoll.stop();
        FSeen.shown = true;
        FSeen.caption = form->windowTitle();
        FSeen.frame = form->frameGeometry();
        FSeen.clientSize = form->size();
        QLineEdit* edit = form->WinnerNameEdit();
        FSeen.offeredName = edit->text();
        FSeen.nameSelected = edit->selectedText() == edit->text();
        FSeen.recordLineAtShow = FRecordLine->text();

        QTest::keyClick(edit, Qt::Key_Escape);
        FSeen.openAfterEscape = form->isVisible();
        form->close();
        FSeen.openAfterClose = form->isVisible();

        // After OK's own handler, before the dialog has returned.
        QObject::connect(
            form->BitBtn1(), &QPushButton::clicked, form,
            [this] { FSeen.recordLineAfterOk = FRecordLine->text(); }, Qt::SingleShotConnection);
        edit->selectAll();
        if (FName.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, FName);
        QTest::keyClick(edit, Qt::Key_Return);
        FSeen.closedByEnter = !form->isVisible();
        if (form->isVisible())
            form->BitBtn1()->click();
    }

    SeenWinnerForm& FSeen;
    const QLabel* FRecordLine;
    QString FName;
    QDeadlineTimer FDeadline;
    QTimer FPoll;
};

// A game one landing away from its end: 23 rows removed, the two bottom
// rows full but for the square's two columns, the square about to drop.
// The drop removes the 24th and 25th rows and scores 450 + 1 + 1 points.
constexpr int PointsOfTheLastDrop = 452;

class RecordTest : public ::testing::Test {
protected:
    void TearDown() override {
        window.reset();
        qz::FreeUserSettings();
    }

    T_Stakko& Open(std::unique_ptr<qz::TUserSettings> settings) {
        qz::SetUserSettings(std::move(settings));
        window = std::make_unique<T_Stakko>(std::make_unique<SilentPlayer>(&played));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    void PrepareLastDrop() {
        Field.Reset();
        for (int y : {18, 19})
            for (int x = 0; x < TField::PlayColumns; ++x)
                Field.Set(x, y, x == 4 || x == 5 ? ENone : EL);
        window->ScoreObj().CompletedLines = 23;
        window->Game().SetPieces(EO, EI);
        played.clear();
    }

    void Drop() {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &press);
    }

    QLabel* RecordLine() { return window->findChild<QLabel*>(QStringLiteral("theBest")); }

    QStringList played;
    std::unique_ptr<T_Stakko> window;
};

TEST_F(RecordTest, EqualPointsMakeNoRecord) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    settings->values[{"score", "best"}] = QStringLiteral("Anna");
    settings->values[{"score", "highest"}] = QString::number(PointsOfTheLastDrop);
    T_Stakko& w = Open(std::move(owned));
    PrepareLastDrop();
    SeenWinnerForm seen;
    WinnerFormAnswerer answer(seen, RecordLine(), QStringLiteral("Bert"));
    const int writes = settings->writeCount;
    Drop();
    EXPECT_TRUE(w.Stopped());
    EXPECT_EQ(w.ScoreObj().Sum, PointsOfTheLastDrop);
    EXPECT_FALSE(seen.shown);
    EXPECT_EQ(played, QStringList{QStringLiteral("xylophon")});
    EXPECT_EQ(RecordLine()->text(), QStringLiteral("Rekord: Anna (452 Pkt.)"));
    EXPECT_EQ(settings->writeCount, writes);
    EXPECT_EQ(settings->saveCount, 0);
}

TEST_F(RecordTest, ALostGameKeepsTheRecordHoweverManyPoints) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    settings->values[{"score", "best"}] = QStringLiteral("Anna");
    settings->values[{"score", "highest"}] = QStringLiteral("10");
    T_Stakko& w = Open(std::move(owned));
    Field.Reset();
    Field.Set(4, 2, EL); // blocks the start place of the square
    w.ScoreObj().LineCounter[cL4] = 5;
    w.ScoreObj().Show();
    w.Game().SetPieces(ENone, EO);
    played.clear();
    SeenWinnerForm seen;
    WinnerFormAnswerer answer(seen, RecordLine(), QStringLiteral("Bert"));
    w.Game().NextFigure();
    EXPECT_TRUE(w.Stopped());
    EXPECT_EQ(w.ScoreObj().Sum, 6000);
    EXPECT_FALSE(seen.shown);
    EXPECT_EQ(played, QStringList{QStringLiteral("loser")});
    EXPECT_EQ(w.ScoreObj().HighScore, 10);
    EXPECT_EQ(RecordLine()->text(), QStringLiteral("Rekord: Anna (10 Pkt.)"));
    EXPECT_EQ(settings->saveCount, 0);
}

TEST_F(RecordTest, TheFirstRecordAsksForANameThatOnlyOkStores) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    T_Stakko& w = Open(std::move(owned));
    w.move(300, 100);
    PrepareLastDrop();
    SeenWinnerForm seen;
    WinnerFormAnswerer answer(seen, RecordLine(), QStringLiteral("Bert"));
    Drop();

    ASSERT_TRUE(seen.shown) << "no record dialog within the deadline";
    EXPECT_EQ(seen.caption, QStringLiteral("Name des Gewinners"));
    EXPECT_EQ(seen.offeredName, QString()) << "nobody held the record";
    EXPECT_EQ(seen.recordLineAtShow, QStringLiteral("Rekord:  (0 Pkt.)"));
    EXPECT_TRUE(seen.openAfterEscape) << "Escape dismissed the dialog";
    EXPECT_TRUE(seen.openAfterClose) << "a close dismissed the dialog";
    EXPECT_EQ(seen.recordLineAfterOk, QStringLiteral("Rekord: Bert (452 Pkt.)"));
    EXPECT_TRUE(seen.closedByEnter);
    // Centred over the window's frame, the dialog's frame included: both
    // frames add the same margins, so (378 - 429) / 2 = -25 and
    // (408 - 99) / 2 = 154 from the window's corner.
    EXPECT_EQ(seen.frame.topLeft(), QPoint(275, 254));
    EXPECT_EQ(seen.clientSize, QSize(429, 99));

    EXPECT_EQ(played, (QStringList{QStringLiteral("xylophon"), QStringLiteral("gewonn1")}));
    EXPECT_TRUE(w.Stopped());
    EXPECT_EQ(w.ScoreObj().HighScore, PointsOfTheLastDrop);
    EXPECT_EQ(w.ScoreObj().WinnerName, QStringLiteral("Bert"));
    EXPECT_EQ(settings->text("Score", "Best"), QStringLiteral("Bert"));
    EXPECT_EQ(settings->text("Score", "Highest"), QStringLiteral("452"));
    EXPECT_EQ(settings->saveCount, 1) << "the record goes to the disk at OK";

    // The keys are the game's again.
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &w; }))
        << "focus is on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : std::string("nothing"));
    EXPECT_TRUE(w.isActiveWindow());
}

TEST_F(RecordTest, OkWritesNameAndPointsToTheSettingsFileAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("stakko.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBF[Score]\r\nBest=Anna\r\nHighest=100\r\n");
    }
    T_Stakko& w = Open(std::make_unique<qz::TUserSettingsFile>(path));
    PrepareLastDrop();
    SeenWinnerForm seen;
    // An empty name is a name too: it replaces the offered one.
    WinnerFormAnswerer answer(seen, RecordLine(), QString());
    Drop();

    ASSERT_TRUE(seen.shown) << "no record dialog within the deadline";
    EXPECT_EQ(seen.offeredName, QStringLiteral("Anna")) << "the holder's name is offered";
    EXPECT_TRUE(seen.nameSelected) << "typing replaces the offered name";
    EXPECT_EQ(seen.recordLineAtShow, QStringLiteral("Rekord: Anna (100 Pkt.)"));
    EXPECT_EQ(RecordLine()->text(), QStringLiteral("Rekord:  (452 Pkt.)"));

    // On the disk before the settings object goes away. An empty string is
    // stored by leaving the key out, which reads back as the empty default.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xEF\xBB\xBF[Score]\r\nHighest=452\r\n\r\n"));
    EXPECT_TRUE(w.Stopped());

    // The next start reads the record back, the empty name included.
    window.reset();
    Open(std::make_unique<qz::TUserSettingsFile>(path));
    EXPECT_EQ(RecordLine()->text(), QStringLiteral("Rekord:  (452 Pkt.)"));
}

// The session manager's save at logout comes while the dialog waits for
// OK: the record goes to the disk with the name typed so far, and OK later
// stores the final name.
TEST_F(RecordTest, TheSessionsSaveStoresAnOpenRecordWithTheNameSoFar) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    T_Stakko& w = Open(std::move(owned));
    PrepareLastDrop();
    QString storedAtLogout;
    int savesAtLogout = 0;
    QTimer poll;
    QDeadlineTimer deadline(5000);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* form = qobject_cast<TWinnerForm*>(QApplication::activeModalWidget());
        if (!form && !deadline.hasExpired())
            return;
        poll.stop();
        if (!form)
            return;
        QTest::keyClicks(form->WinnerNameEdit(), QStringLiteral("Dor"));
        SaveEverything(w);
        storedAtLogout = settings->text("Score", "Best");
        savesAtLogout = settings->saveCount;
        EXPECT_TRUE(form->isVisible()) << "the session's save must not end the dialog";
        QTest::keyClicks(form->WinnerNameEdit(), QStringLiteral("a"));
        form->BitBtn1()->click();
    });
    poll.start(10);
    Drop();
    EXPECT_EQ(storedAtLogout, QStringLiteral("Dor"));
    EXPECT_GE(savesAtLogout, 1);
    EXPECT_EQ(settings->text("Score", "Best"), QStringLiteral("Dora"));
    EXPECT_EQ(settings->text("Score", "Highest"), QStringLiteral("452"));
}

// Another game running at the same time stored a higher record before this
// one ended: no dialog, and the panel shows that record.
TEST_F(RecordTest, AHigherRecordStoredByAnotherGameStays) {
    auto owned = std::make_unique<FakeUserSettings>();
    FakeUserSettings* settings = owned.get();
    settings->values[{"score", "best"}] = QStringLiteral("Anna");
    settings->values[{"score", "highest"}] = QStringLiteral("100");
    T_Stakko& w = Open(std::move(owned));
    PrepareLastDrop();
    settings->elsewhere[{"score", "best"}] = QStringLiteral("Carla");
    settings->elsewhere[{"score", "highest"}] = QStringLiteral("500");
    SeenWinnerForm seen;
    WinnerFormAnswerer answer(seen, RecordLine(), QStringLiteral("Bert"));
    Drop();
    EXPECT_TRUE(w.Stopped());
    EXPECT_FALSE(seen.shown);
    EXPECT_EQ(RecordLine()->text(), QStringLiteral("Rekord: Carla (500 Pkt.)"));
    EXPECT_EQ(settings->text("Score", "Highest"), QStringLiteral("500"));
    EXPECT_EQ(settings->saveCount, 0);
}

// What storing a record finds in the file when another game stored one
// while the dialog was open.
struct StoreRecordRow : NamedRow {
    QString storedName; // stored meanwhile by the other game; empty: nothing
    QString storedPoints;
    bool ownStored;
    QString nameAfter; // in the file and the panel
    qint32 pointsAfter;
};

class StoreRecordTest : public ::testing::TestWithParam<StoreRecordRow> {};

TEST_P(StoreRecordTest, ARecordNeverGoesDown) {
    const StoreRecordRow& row = GetParam();
    FakeUserSettings settings;
    settings.values[{"score", "best"}] = QStringLiteral("Anna");
    settings.values[{"score", "highest"}] = QStringLiteral("100");
    if (!row.storedName.isEmpty()) {
        settings.elsewhere[{"score", "best"}] = row.storedName;
        settings.elsewhere[{"score", "highest"}] = row.storedPoints;
    }
    TScoreObj score;
    score.WinnerName = QStringLiteral("Bert");
    score.HighScore = 452;
    EXPECT_EQ(StoreRecord(settings, score), row.ownStored);
    EXPECT_EQ(settings.refreshCount, 1);
    EXPECT_EQ(settings.saveCount, row.ownStored ? 1 : 0);
    EXPECT_EQ(settings.text("Score", "Best"), row.nameAfter);
    EXPECT_EQ(settings.text("Score", "Highest"), QString::number(row.pointsAfter));
    EXPECT_EQ(score.WinnerName, row.nameAfter);
    EXPECT_EQ(score.HighScore, row.pointsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreRecordTest,
    ::testing::Values(StoreRecordRow{{"nothing_stored_meanwhile"}, {}, {}, true, "Bert", 452},
                      StoreRecordRow{{"a_lower_one_is_beaten"}, "Carla", "300", true, "Bert", 452},
                      StoreRecordRow{
                          {"equal_points_the_later_wins"}, "Carla", "452", true, "Bert", 452},
                      StoreRecordRow{{"a_higher_one_stays"}, "Carla", "500", false, "Carla", 500}),
    RowName());

// What the player is told of saves that fail: one message for a run of
// failed saves, a record that could not be stored said so plainly, and the
// end told again.
class ShownMessages : public qz::TMsgBox {
public:
    explicit ShownMessages(QStringList* shown) : FShown(shown) {}
    int ErrInfo(const QString& msg) override {
        FShown->append(msg);
        return qz::mrOk;
    }

private:
    QStringList* FShown;
};

TEST(SettingsSaving, AFailureIsToldOnceTheRecordPlainlyAndTheEndAgain) {
    QTemporaryDir dir;
    {
        QFile blocker(dir.filePath("Vomb"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    }
    const QString path = dir.filePath("Vomb/stakko.ini");
    QStringList shown;
    qz::SetMsgBox(std::make_unique<ShownMessages>(&shown));
    {
        qz::TUserSettingsFile settings(path);
        PrepareSettingsSaving(&settings);
        settings.writeBool("_Stakko", "withSound", false);
        settings.Save();
        settings.writeInteger("_Stakko", "Left", 5);
        settings.Save();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0], "Die Einstellungen konnten nicht in der Datei \r" + path +
                                "\r gespeichert werden: der Ordner " + dir.filePath("Vomb") +
                                " kann nicht angelegt werden.\rSie bleiben vorgemerkt und werden "
                                "beim nächsten Speichern und beim Beenden erneut geschrieben.");

        TScoreObj score;
        score.WinnerName = QStringLiteral("Bert");
        score.HighScore = 452;
        EXPECT_FALSE(StoreRecord(settings, score));
        ASSERT_EQ(shown.size(), 2);
        EXPECT_TRUE(shown[1].startsWith("Der Rekord konnte nicht gespeichert werden: der Ordner"))
            << shown[1].toStdString();
        settings.Save();
        EXPECT_EQ(shown.size(), 2);

        EXPECT_FALSE(SaveSettingsNow(&settings));
        ASSERT_EQ(shown.size(), 3);
        EXPECT_EQ(shown[2], shown[0]);
        EXPECT_TRUE(settings.Ini().Modified());
        EXPECT_EQ(settings.readInteger("Score", "Highest", 0), 452);
    }
    qz::SetMsgBox(nullptr);
}

// The dialog's font stands in for a bitmap font Linux does not have; the
// label keeps its fixed size, so the caption must fit it. The font comes
// when the dialog is shown.
TEST(WinnerForm, OffersNoCloseAndItsFontFitsTheLabel) {
    TScoreObj score;
    TWinnerForm form(score);
    EXPECT_FALSE(form.findChild<QLabel*>(QStringLiteral("YourName"))->font().bold());
    form.show();
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "a dialog border does not resize";

    const auto* label = form.findChild<QLabel*>(QStringLiteral("YourName"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Ihr Name:"));
    EXPECT_TRUE(label->font().bold());
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    EXPECT_LE(label->fontMetrics().height(), label->height());
    EXPECT_TRUE(form.BitBtn1()->isDefault());
}

} // namespace

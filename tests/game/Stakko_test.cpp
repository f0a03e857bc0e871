// The main window: game flow, keys, states, sound switch, drawing, layout.
#include "game/Stakko.h"

#include "board/GameSounds.h"
#include "board/ScoreObj.h"
#include "common/FakeUserSettings.h"
#include "common/TestHelpers.h"
#include "game/PaintBox.h"
#include "game/SysColors.h"
#include "settings/QZINI.h"
#include "ui/SoundPlayer.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegion>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace stakko;

namespace {

class RecordingPlayer : public qz::SoundPlayer {
public:
    explicit RecordingPlayer(QStringList* played) : FPlayed(played) {}
    void Play(const QString& name) override { FPlayed->append(name); }
    void PlayToEnd(const QString& name) override { FPlayed->append(name); }

private:
    QStringList* FPlayed;
};

class StakkoTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeUserSettings>();
        settings = fake.get();
        qz::SetUserSettings(std::move(fake));
    }
    void TearDown() override {
        window.reset();
        qz::FreeUserSettings();
    }

    // Creates, shows and activates the window, then sets up a known game:
    // an empty well, the square as current piece, the straight one next.
    T_Stakko& Open(bool clearBoard = true) {
        window = std::make_unique<T_Stakko>(std::make_unique<RecordingPlayer>(&played));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (clearBoard) {
            Field.Reset();
            window->Game().SetPieces(EO, EI);
        }
        played.clear();
        return *window;
    }

    // Sends a key press the way the platform does: to the focus widget.
    void Press(int key, QWidget* to = nullptr) {
        QWidget* receiver = to ? to : QApplication::focusWidget();
        if (!receiver)
            receiver = window.get();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(receiver, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(receiver, &release);
    }

    template <class W>
    W* Child(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    int Count(TCount c) { return window->ScoreObj().LineCounter[c]; }

    FakeUserSettings* settings = nullptr;
    QStringList played;
    std::unique_ptr<T_Stakko> window;
};

} // namespace

TEST_F(StakkoTest, FormCreateReadsTheSettingsAndStartsAGame) {
    settings->values[{"score", "best"}] = QStringLiteral("Anna");
    settings->values[{"score", "highest"}] = QStringLiteral("12345");
    window = std::make_unique<T_Stakko>(std::make_unique<RecordingPlayer>(&played));
    EXPECT_EQ(played, QStringList{QStringLiteral("space")});
    EXPECT_TRUE(window->WithSound());
    EXPECT_EQ(Child<QLabel>("theBest")->text(), QStringLiteral("Rekord: Anna (12.345 Pkt.)"));
    EXPECT_EQ(Child<QLabel>("Total")->text(), QStringLiteral("0 total"));
    EXPECT_EQ(Child<QLabel>("RestLines")->text(), QStringLiteral("noch 25 Zeilen"));
    EXPECT_EQ(
        Child<QPlainTextEdit>("Score")->toPlainText(),
        QStringLiteral("0 Single\n0 Double\n0 Triple\n0 Stakko\n\n0 Drops\n0 Downs\n0 Pieces"));
    EXPECT_EQ(window->objectName(), QStringLiteral("_Stakko"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Stakko"));
    EXPECT_FALSE(window->Stopped());
    EXPECT_TRUE(window->Timer1().isActive());
    EXPECT_EQ(window->Timer1().interval(), 1000);
    EXPECT_GE(window->CurFigur().Typ, EI);
    EXPECT_LE(window->CurFigur().Typ, ES);
    EXPECT_GE(window->NextFigur().Typ, EI);
    EXPECT_EQ(window->CurFigur().X, 3);
    EXPECT_EQ(window->CurFigur().Y, 1);
    EXPECT_TRUE(window->CurFigur().visible);
    EXPECT_TRUE(Child<QTextBrowser>("RichEdit1")->isHidden());
}

TEST_F(StakkoTest, SoundSwitchIsReadAtStartAndWrittenAtEveryClick) {
    settings->values[{"_stakko", "withsound"}] = QStringLiteral("0");
    T_Stakko& w = Open(false);
    EXPECT_FALSE(w.WithSound());
    EXPECT_TRUE(played.isEmpty()) << "with sound off not even the start sound plays";
    auto* image = Child<QLabel>("ImageSound");
    EXPECT_EQ(image->toolTip(), QStringLiteral("Sound ein-/ausschalten"));
    const qint64 offPicture = image->pixmap().cacheKey();
    EXPECT_EQ(image->pixmap().size(), QSize(32, 32));

    const int writes = settings->writeCount;
    QTest::mouseClick(image, Qt::LeftButton);
    EXPECT_TRUE(w.WithSound());
    EXPECT_EQ(settings->text("_Stakko", "withSound"), QStringLiteral("1"));
    EXPECT_NE(image->pixmap().cacheKey(), offPicture);
    w.GameSound(1);
    EXPECT_EQ(played, QStringList{QStringLiteral("ding")});

    QTest::mouseClick(image, Qt::LeftButton);
    EXPECT_FALSE(w.WithSound());
    EXPECT_EQ(settings->text("_Stakko", "withSound"), QStringLiteral("0"));
    EXPECT_EQ(settings->writeCount, writes + 2);
    EXPECT_EQ(settings->saveCount, 2) << "each click reaches the disk at once";
    w.GameSound(1);
    EXPECT_EQ(played, QStringList{QStringLiteral("ding")});
}

TEST_F(StakkoTest, SoundSwitchedOffStaysOffAfterARestart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vomb/stakko.ini"));
    qz::SetUserSettings(std::make_unique<qz::TUserSettingsFile>(path));
    window = std::make_unique<T_Stakko>(std::make_unique<RecordingPlayer>(&played));
    EXPECT_EQ(played, QStringList{QStringLiteral("space")});
    QTest::mouseClick(Child<QLabel>("ImageSound"), Qt::LeftButton);
    window.reset();
    qz::FreeUserSettings(); // the end of the run writes the file

    played.clear();
    qz::SetUserSettings(std::make_unique<qz::TUserSettingsFile>(path));
    window = std::make_unique<T_Stakko>(std::make_unique<RecordingPlayer>(&played));
    EXPECT_FALSE(window->WithSound());
    EXPECT_TRUE(played.isEmpty()) << "the start sound honours the stored switch";
    window->GameSound(SoundDanger);
    EXPECT_TRUE(played.isEmpty());
}

TEST_F(StakkoTest, LayoutFollowsTheClientHeight) {
    T_Stakko& w = Open(false);
    EXPECT_EQ(w.size(), QSize(378, 408)) << "the design height is below the smallest layout";

    w.resize(400, 500);
    w.FormResize();
    EXPECT_EQ(w.CellSize(), 24);
    EXPECT_EQ(Child<PaintBox>("FallArea")->geometry(), QRect(0, 2, 220, 484));
    EXPECT_EQ(Child<QFrame>("Bevel1")->geometry(), QRect(1, 1, 222, 486));
    EXPECT_EQ(w.size(), QSize(414, 488));
    EXPECT_EQ(Child<QGroupBox>("GroupBox1")->geometry(), QRect(222, 0, 190, 407));

    w.resize(300, 300);
    w.FormResize();
    EXPECT_EQ(w.CellSize(), 20);
    EXPECT_EQ(w.size(), QSize(378, 408));
    w.FormResize(); // the snapped height keeps the layout
    EXPECT_EQ(w.CellSize(), 20);
    EXPECT_EQ(w.size(), QSize(378, 408));
    EXPECT_EQ(Child<QGroupBox>("GroupBox1")->x(), 186);
}

TEST_F(StakkoTest, AMaximisedWindowKeepsItsSizeAndCentresItsContents) {
    T_Stakko& w = Open(false);
    auto* well = Child<PaintBox>("FallArea");
    auto* panel = Child<QGroupBox>("GroupBox1");
    w.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isMaximized() && w.height() > 408; }));
    const QSize maximised = w.size();
    w.FormResize();
    EXPECT_EQ(w.size(), maximised);
    EXPECT_EQ(w.CellSize(), (maximised.height() - 4) / 20);
    EXPECT_EQ(well->height(), 20 * w.CellSize() + 4);
    EXPECT_EQ(Child<QTextBrowser>("RichEdit1")->geometry(), w.rect());
    // Well and panel together (the width of an unmaximised window) stand in
    // the middle of the screen-wide window.
    const int contents = 9 * w.CellSize() + 4 + 190 + 4;
    ASSERT_GT(maximised.width(), contents);
    EXPECT_EQ(well->x(), (maximised.width() - contents) / 2);
    EXPECT_EQ(Child<QFrame>("Bevel1")->x(), well->x() + 1);
    EXPECT_EQ(panel->x(), well->x() + well->width() + 2);

    w.showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isMaximized() && w.width() < maximised.width(); }));
    EXPECT_EQ(well->x(), 0);
    EXPECT_EQ(panel->x(), well->width() + 2);
    EXPECT_EQ(w.width(), well->width() + 190 + 4);
}

TEST_F(StakkoTest, ArrowsAndLettersAreTheSameKeys) {
    T_Stakko& w = Open();
    w.Game().SetPieces(ET, EI);
    Press(Qt::Key_Left);
    EXPECT_EQ(w.CurFigur().X, 2);
    Press(Qt::Key_R);
    Press(Qt::Key_Right);
    EXPECT_EQ(w.CurFigur().X, 4);
    Press(Qt::Key_Up);
    EXPECT_EQ(w.CurFigur().Spin, 3);
    Press(Qt::Key_S);
    Press(Qt::Key_U);
    EXPECT_EQ(w.CurFigur().Spin, 3);
    Press(Qt::Key_Down);
    Press(Qt::Key_D);
    EXPECT_EQ(w.CurFigur().Y, 3);
    // Lower case arrives with the same key code: the shift state is ignored.
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_L, Qt::ShiftModifier, QStringLiteral("L"));
    QApplication::sendEvent(QApplication::focusWidget(), &shifted);
    EXPECT_EQ(w.CurFigur().X, 3);
}

TEST_F(StakkoTest, EscapeStopsTheClockAfterOneMoreTickAndResumes) {
    T_Stakko& w = Open();
    Press(Qt::Key_Escape);
    EXPECT_TRUE(w.Stopped());
    EXPECT_TRUE(w.Timer1().isActive());
    w.Timer1Timer();
    EXPECT_FALSE(w.Timer1().isActive());

    Press(Qt::Key_Escape);
    EXPECT_FALSE(w.Stopped());
    EXPECT_TRUE(w.Timer1().isActive());

    // Pausing and resuming between two ticks keeps the clock's rhythm.
    w.Timer1().start();
    QTest::qSleep(50);
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(w.Stopped());
    EXPECT_LT(w.Timer1().remainingTime(), 990);
}

TEST_F(StakkoTest, HelpStopsTheTimerAndEscapeOrAClickClosesItWithoutPausing) {
    T_Stakko& w = Open();
    auto* help = Child<QTextBrowser>("RichEdit1");
    QTest::mouseClick(Child<QPushButton>("HilfeButton"), Qt::LeftButton);
    EXPECT_FALSE(help->isHidden());
    EXPECT_FALSE(w.Timer1().isActive());
    EXPECT_EQ(help->geometry(), w.rect()) << "the help covers the window";

    // The game keys still act on the piece behind the help.
    Press(Qt::Key_Left);
    EXPECT_EQ(w.CurFigur().X, 2);

    Press(Qt::Key_Escape);
    EXPECT_TRUE(help->isHidden());
    EXPECT_FALSE(w.Stopped()) << "Escape closed the help and was used up";
    EXPECT_TRUE(w.Timer1().isActive());

    // From a pause, the help opens with the game stopped; a click resumes.
    Press(Qt::Key_Escape);
    ASSERT_TRUE(w.Stopped());
    w.HilfeButtonClick();
    QTest::mouseClick(help->viewport(), Qt::LeftButton);
    EXPECT_TRUE(help->isHidden());
    EXPECT_FALSE(w.Stopped());
    EXPECT_TRUE(w.Timer1().isActive());

    // Paused with the help open: Escape resumes and closes the help.
    Press(Qt::Key_Escape);
    w.HilfeButtonClick();
    Press(Qt::Key_Escape);
    EXPECT_TRUE(help->isHidden());
    EXPECT_FALSE(w.Stopped());
    EXPECT_TRUE(w.Timer1().isActive());
}

TEST_F(StakkoTest, F1OpensTheHelpAtItsTopAndAnyButtonClosesIt) {
    T_Stakko& w = Open();
    auto* help = Child<QTextBrowser>("RichEdit1");
    // Loaded once the first frame is shown, without waiting for a key.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.HelpLoaded(); }, 5000))
        << "the help was not loaded after the first frame";
    const QString text = help->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Bedienung von Stakko\n")));

    Press(Qt::Key_F1);
    EXPECT_FALSE(help->isHidden());
    EXPECT_FALSE(w.Timer1().isActive());
    EXPECT_FALSE(w.Stopped());
    EXPECT_GT(help->verticalScrollBar()->maximum(), 0) << "the help is longer than the window";
    EXPECT_EQ(help->verticalScrollBar()->value(), 0) << "the help opens at its top";

    // Typing reaches the game, never the text, not even sent to the view.
    for (int key : {Qt::Key_A, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return})
        Press(key, help->viewport());
    Press(Qt::Key_X);
    Press(Qt::Key_L);
    EXPECT_EQ(help->toPlainText(), text);
    EXPECT_EQ(w.CurFigur().X, 2) << "L moved the piece behind the help";

    QTest::mouseClick(help->viewport(), Qt::RightButton);
    EXPECT_TRUE(help->isHidden());
    EXPECT_TRUE(w.Timer1().isActive());

    // Paused, F1 opens the help as the button does; a middle click resumes.
    Press(Qt::Key_Escape);
    ASSERT_TRUE(w.Stopped());
    Press(Qt::Key_F1);
    EXPECT_FALSE(help->isHidden());
    EXPECT_TRUE(w.Stopped());
    QTest::mouseClick(help->viewport(), Qt::MiddleButton);
    EXPECT_TRUE(help->isHidden());
    EXPECT_FALSE(w.Stopped());
    EXPECT_TRUE(w.Timer1().isActive());
}

TEST_F(StakkoTest, AFocusedButtonNeverTakesTheGameKeys) {
    T_Stakko& w = Open();
    auto* newGame = Child<QPushButton>("NewGameBtn");
    newGame->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), newGame);
    int clicks = 0;
    QObject::connect(newGame, &QPushButton::clicked, [&] { ++clicks; });

    Press(Qt::Key_Left, newGame);
    EXPECT_EQ(w.CurFigur().X, 2);
    Press(Qt::Key_Space, newGame);
    EXPECT_EQ(Count(cDrop), 1);
    Press(Qt::Key_Return, newGame);
    Press(Qt::Key_Enter, newGame);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(QApplication::focusWidget(), newGame) << "arrows do not move the focus either";

    // Not even while the game is stopped.
    Press(Qt::Key_Escape, newGame);
    ASSERT_TRUE(w.Stopped());
    Press(Qt::Key_Space, newGame);
    Press(Qt::Key_Down, newGame);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(Count(cDrop), 1);

    // A click on a button leaves the keys with the game.
    Press(Qt::Key_Escape, newGame);
    w.setFocus();
    QTest::mouseClick(newGame, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(QApplication::focusWidget(), &w);
}

TEST_F(StakkoTest, WindowTakesTheFocusBackWhenADialogCloses) {
    T_Stakko& w = Open();
    QDialog dialog(&w);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    EXPECT_FALSE(w.isActiveWindow());

    // The game stands still while another window is active.
    w.Timer1Timer();
    EXPECT_EQ(w.CurFigur().Y, 1);

    dialog.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }));
    EXPECT_EQ(QApplication::focusWidget(), &w);
    Press(Qt::Key_L);
    EXPECT_EQ(w.CurFigur().X, 2);
}

TEST_F(StakkoTest, NewGameStartsTheClockAfreshFromHelpAndPause) {
    T_Stakko& w = Open();
    auto* help = Child<QTextBrowser>("RichEdit1");
    for (bool paused : {false, true}) {
        if (paused)
            Press(Qt::Key_Escape);
        w.HilfeButtonClick();
        ASSERT_FALSE(w.Timer1().isActive());
        QTest::mouseClick(Child<QPushButton>("NewGameBtn"), Qt::LeftButton);
        EXPECT_FALSE(w.Stopped());
        EXPECT_TRUE(help->isHidden());
        EXPECT_TRUE(w.Timer1().isActive());
        EXPECT_GT(w.Timer1().remainingTime(), 500);
    }
    EXPECT_EQ(Count(cPiece), 0);
}

TEST_F(StakkoTest, EndButtonClosesTheWindow) {
    T_Stakko& w = Open(false);
    QTest::mouseClick(Child<QPushButton>("EndBtn"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

TEST(PaintBox, DrawBlockPaintsFillBorderAndLightEdge) {
    PaintBox box;
    box.resize(100, 100);
    box.SetColor(QColor(171, 171, 171));
    box.DrawBlock(1, 1, 20, ET);
    const QImage& c = box.Canvas();
    const int l = 24, t = 24; // 1 * 20 + 4
    auto at = [&](int x, int y) { return QColor::fromRgba(c.pixel(x, y)); };
    EXPECT_EQ(at(l, t), QColor(Qt::white));
    EXPECT_EQ(at(l + 18, t), QColor(Qt::white)) << "light edge to the top right corner";
    EXPECT_EQ(at(l, t + 17), QColor(Qt::white));
    EXPECT_EQ(at(l, t + 18), clBtnShadow()) << "bottom left corner stays in the border";
    EXPECT_EQ(at(l + 18, t + 1), clBtnShadow());
    EXPECT_EQ(at(l + 18, t + 18), clBtnShadow());
    EXPECT_EQ(at(l + 9, t + 18), clBtnShadow());
    EXPECT_EQ(at(l + 1, t + 1), QColor(192, 0, 0));
    EXPECT_EQ(at(l + 17, t + 17), QColor(192, 0, 0));
    EXPECT_EQ(qAlpha(c.pixel(l + 19, t + 5)), 0) << "one free pixel line to the neighbour";
    EXPECT_EQ(qAlpha(c.pixel(l + 5, t + 19)), 0);
    EXPECT_EQ(qAlpha(c.pixel(l - 1, t)), 0);

    // An empty block wipes the whole square, border included.
    box.DrawBlock(1, 1, 20, ENone);
    for (int x = l; x < l + 19; ++x)
        for (int y = t; y < t + 19; ++y)
            ASSERT_EQ(at(x, y), QColor(171, 171, 171)) << x << "," << y;
    EXPECT_EQ(qAlpha(c.pixel(l + 19, t + 19)), 0);

    const std::pair<TElement, QColor> colours[] = {
        {EI, QColor(0, 0, 255)},   {EL, QColor(0, 192, 0)},        {EJ, QColor(0, 192, 192)},
        {ET, QColor(192, 0, 0)},   {EO, QColor(160, 192, 0)},      {EZ, QColor(255, 128, 0)},
        {ES, QColor(255, 255, 0)}, {EFrame, QColor(255, 128, 192)}};
    for (const auto& [value, colour] : colours) {
        box.DrawBlock(0, 0, 10, value);
        EXPECT_EQ(at(4 + 5, 4 + 5), colour) << int(value);
    }
}

TEST_F(StakkoTest, WellAndPreviewAreDrawnAndThePreviewToggles) {
    T_Stakko& w = Open();
    const QImage& well = Child<PaintBox>("FallArea")->Canvas();
    const int s = w.CellSize();
    // Empty cell (0, 0); the square in its start place covers (4, 1).
    EXPECT_EQ(QColor::fromRgba(well.pixel(4 + 2, 4 + 2)), clAppWorkSpace());
    EXPECT_EQ(QColor::fromRgba(well.pixel(4 * s + 4 + 5, 1 * s + 4 + 5)), QColor(160, 192, 0));

    auto* preview = Child<PaintBox>("PrevWind");
    // The straight piece in the preview: block row 1, columns 0..3, size 20.
    auto previewCell = [&](int x) {
        return QColor::fromRgba(preview->Canvas().pixel(x * 20 + 4 + 5, 20 + 4 + 5));
    };
    EXPECT_EQ(previewCell(0), QColor(0, 0, 255));
    EXPECT_EQ(previewCell(3), QColor(0, 0, 255));

    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_FALSE(w.WithPreview());
    EXPECT_EQ(previewCell(0), clBtnFace());
    w.PaintField();
    EXPECT_EQ(previewCell(3), clBtnFace());
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(w.WithPreview());
    EXPECT_EQ(previewCell(3), QColor(0, 0, 255));
}

// The preview, the panel around it and the form share the button face: a
// block erased from the preview leaves no lighter or darker square behind.
TEST_F(StakkoTest, ErasedPreviewBlocksLeaveNoGhostSquares) {
    T_Stakko& w = Open(false);
    auto* preview = Child<PaintBox>("PrevWind");
    const QRect box(preview->mapTo(&w, QPoint(0, 0)), preview->size());
    SeedRandom(7);
    w.NewGame();
    QSet<int> kinds;
    for (int piece = 0; piece < 10; ++piece) {
        Field.Reset();
        w.Game().SetPieces(ENone, w.NextFigur().Typ);
        w.Game().NextFigure(); // erases the preview piece and draws a new one
        const TFigur& next = w.NextFigur();
        kinds.insert(next.Typ);
        QRegion blocks;
        for (const TOffset& o : ShapeOf(next.Typ, 0))
            blocks += QRect((next.X + o.dx) * 20 + 4, (next.Y + o.dy) * 20 + 4, 19, 19);

        const QImage shot = w.grab().toImage();
        for (int y = 0; y < box.height(); ++y) {
            for (int x = 0; x < box.width(); ++x) {
                if (!blocks.contains(QPoint(x, y))) {
                    ASSERT_EQ(shot.pixelColor(box.x() + x, box.y() + y), clBtnFace())
                        << "piece " << piece << " kind " << int(next.Typ) << " X " << next.X
                        << " Y " << next.Y << " at " << x << "," << y;
                }
            }
        }
        // Beside the preview: the panel's inside and the form below the panel.
        EXPECT_EQ(shot.pixelColor(box.right() + 1, box.y() + 10), clBtnFace());
        EXPECT_EQ(shot.pixelColor(box.x() - 2, box.y() + 10), clBtnFace());
    }
    EXPECT_GE(kinds.size(), 4) << "several kinds of pieces came and went";
}

namespace {

// Every interface below `root`, by accessible name.
void CollectByName(QAccessibleInterface* root, QHash<QString, QAccessibleInterface*>& byName) {
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child)
            continue;
        byName.insert(child->text(QAccessible::Name), child);
        CollectByName(child, byName);
    }
}

// What a screen reader finds in the window: every control named and
// described, the two pictures as checkable buttons whose state follows the
// game, the well in words, the panel's lines as text. The switches work
// through their actions and through Alt+T and Alt+V, and the game's own
// keys stay the game's.
TEST_F(StakkoTest, AScreenReaderCanReadAndOperateEveryControl) {
    T_Stakko& w = Open();
    settings->writeBool("_Stakko", "withSound", true);
    QHash<QString, QAccessibleInterface*> byName;
    CollectByName(QAccessible::queryAccessibleInterface(&w), byName);

    for (const char* name : {"Ton", "Vorschau", "Spielfeld", "Statistik", "Info", "Neu", "Hilfe",
                             "Ende", "noch 25 Zeilen", "Rekord:  (0 Pkt.)", "Hilfetext"}) {
        ASSERT_TRUE(byName.contains(name))
            << name << " not in " << byName.keys().join('|').toStdString();
        EXPECT_FALSE(byName[name]->text(QAccessible::Description).isEmpty()) << name;
    }
    QAccessibleInterface* sound = byName["Ton"];
    QAccessibleInterface* preview = byName["Vorschau"];
    for (QAccessibleInterface* toggle : {sound, preview}) {
        EXPECT_EQ(toggle->role(), QAccessible::Button);
        EXPECT_TRUE(toggle->state().checkable);
        EXPECT_TRUE(toggle->state().checked);
        ASSERT_NE(toggle->actionInterface(), nullptr);
    }
    EXPECT_EQ(byName["Spielfeld"]->text(QAccessible::Description),
              "Teil O in Spalte 4, Zeile 2. noch 25 Zeilen");
    EXPECT_EQ(byName["Statistik"]->role(), QAccessible::EditableText);
    EXPECT_NE(byName["Statistik"]->textInterface(), nullptr);

    sound->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(sound->state().checked);
    EXPECT_FALSE(w.WithSound());
    EXPECT_EQ(settings->text("_Stakko", "withSound"), "0");
    QTest::keyClick(&w, Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(sound->state().checked);
    QTest::keyClick(&w, Qt::Key_V, Qt::AltModifier);
    EXPECT_FALSE(preview->state().checked);
    EXPECT_FALSE(w.WithPreview());
    preview->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(w.WithPreview());

    Press(Qt::Key_Space);
    EXPECT_EQ(Count(cDrop), 1) << "Space still drops";
    Press(Qt::Key_Escape);
    EXPECT_TRUE(byName["Spielfeld"]->text(QAccessible::Description).startsWith("Angehalten. "));
}

} // namespace

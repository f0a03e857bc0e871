// What the window repaints and when it wakes: a tick repaints the blocks
// the piece left and entered and nothing else, neither the preview nor the
// panel; an inactive window's clock does not wake the program; and what
// the first frame does not show is prepared right after it, or when it is
// asked for sooner.
#include "game/Stakko.h"

#include "common/FakeUserSettings.h"
#include "common/SilentPlayer.h"
#include "game/PaintBox.h"
#include "game/Winner.h"
#include "ui/SoundPlayer.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QHash>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

using namespace stakko;

namespace {

// Collects the regions painted in the widgets it watches.
class PaintRecorder : public QObject {
public:
    void Watch(QWidget* widget) { widget->installEventFilter(this); }
    QHash<QObject*, QRegion> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted[watched] += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

class RepaintTest : public ::testing::Test {
protected:
    void SetUp() override { qz::SetUserSettings(std::make_unique<FakeUserSettings>()); }
    void TearDown() override {
        window.reset();
        qz::FreeUserSettings();
    }

    T_Stakko& Create() {
        window = std::make_unique<T_Stakko>(std::make_unique<SilentPlayer>());
        return *window;
    }

    // Shows the window and waits until its first frame and what follows it
    // are done.
    T_Stakko& Open() {
        T_Stakko& w = Create();
        QSignalSpy shown(&w, &T_Stakko::FirstFrameShown);
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_TRUE(shown.count() > 0 || shown.wait(5000)) << "no first frame";
        return w;
    }

    template <class W>
    W* Child(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    std::unique_ptr<T_Stakko> window;
};

QRect Block(int x, int y, int size) {
    return QRect(x * size + 4, y * size + 4, size - 1, size - 1);
}

} // namespace

TEST_F(RepaintTest, ATickRepaintsTheBlocksThePieceLeftAndEnteredOnly) {
    T_Stakko& w = Open();
    w.Timer1().stop(); // the one tick is made by hand below
    Field.Reset();
    w.Game().SetPieces(EO, EI);
    // Let every paint asked for so far happen before watching.
    auto* well = Child<PaintBox>("FallArea");
    auto* preview = Child<PaintBox>("PrevWind");
    auto* panel = Child<QGroupBox>("GroupBox1");
    auto* memo = Child<QPlainTextEdit>("Score");
    PaintRecorder settle;
    settle.Watch(well);
    while (QTest::qWaitFor([&] { return settle.painted.contains(well); }, 200))
        settle.painted.clear();

    PaintRecorder recorder;
    for (QWidget* widget : {static_cast<QWidget*>(well), static_cast<QWidget*>(preview),
                            static_cast<QWidget*>(panel), static_cast<QWidget*>(memo)})
        recorder.Watch(widget);
    w.Timer1Timer(); // the square falls from row 1 to row 2
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.painted.contains(well); }, 5000))
        << "the fall was not shown";
    QTest::qWait(50); // any later paint the tick caused

    const int s = w.CellSize();
    // Row 2 keeps the square; row 1 lost it and row 3 gained it.
    const QRegion changed =
        QRegion(Block(4, 1, s)) + Block(5, 1, s) + Block(4, 3, s) + Block(5, 3, s);
    EXPECT_EQ(recorder.painted.value(well), changed);
    EXPECT_FALSE(recorder.painted.contains(preview)) << "the next piece did not change";
    EXPECT_FALSE(recorder.painted.contains(panel));
    EXPECT_FALSE(recorder.painted.contains(memo));

    // The paint handler's own redraw of the well changes nothing either.
    recorder.painted.clear();
    well->repaint();
    EXPECT_FALSE(recorder.painted.contains(preview));
}

TEST_F(RepaintTest, AnInactiveWindowNeitherTicksNorRepaints) {
    T_Stakko& w = Open();
    ASSERT_TRUE(w.Timer1().Ticking());
    // A fall step repaints part of the well only; a repaint of the whole
    // window would reach the panel.
    PaintRecorder recorder;
    recorder.Watch(Child<QGroupBox>("GroupBox1"));
    QDialog dialog(&w);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    EXPECT_TRUE(w.Timer1().isActive()) << "the game still runs";
    EXPECT_FALSE(w.Timer1().Ticking());
    EXPECT_GE(w.Timer1().remainingTime(), 0);
    EXPECT_LE(w.Timer1().remainingTime(), 1000);

    dialog.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }));
    EXPECT_TRUE(w.Timer1().Ticking());
    QTest::qWait(50);
    EXPECT_TRUE(recorder.painted.isEmpty())
        << "the window looks the same active and inactive, with and without the keys";

    // Paused, the clock stops after its last fall step and stays stopped
    // through a change of the active window.
    int escape = Qt::Key_Escape;
    w.FormKeyDown(escape);
    w.Timer1Timer();
    EXPECT_FALSE(w.Timer1().isActive());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }));
    dialog.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }));
    EXPECT_FALSE(w.Timer1().Ticking());
}

TEST_F(RepaintTest, WhatTheFirstFrameDoesNotShowFollowsIt) {
    T_Stakko& w = Create();
    EXPECT_FALSE(w.HelpLoaded());
    EXPECT_EQ(w.findChild<TWinnerForm*>(), nullptr);

    QSignalSpy shown(&w, &T_Stakko::FirstFrameShown);
    w.show();
    ASSERT_TRUE(shown.wait(5000)) << "no first frame";
    EXPECT_TRUE(w.HelpLoaded());
    EXPECT_NE(w.findChild<TWinnerForm*>(), nullptr);
    w.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.count(), 1) << "once, for the first frame only";
}

TEST_F(RepaintTest, HelpAskedForBeforeTheFirstFrameIsLoadedThen) {
    T_Stakko& w = Create();
    auto* help = Child<QTextBrowser>("RichEdit1");
    w.HilfeButtonClick();
    EXPECT_TRUE(w.HelpLoaded());
    EXPECT_TRUE(help->toPlainText().startsWith(QStringLiteral("Bedienung von Stakko\n")));
    EXPECT_FALSE(help->isHidden());
    EXPECT_EQ(help->verticalScrollBar()->value(), 0);
    // The deferred load after the first frame does not load it again.
    const QTextDocument* document = help->document();
    const int revision = document->revision();
    QSignalSpy shown(&w, &T_Stakko::FirstFrameShown);
    w.show();
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_EQ(document->revision(), revision);
}

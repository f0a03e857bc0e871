// The statistics and the texts of the side panel.
#include "board/ScoreObj.h"

#include "game/ScorePanel.h"

#include "common/TestHelpers.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace stakko;

namespace {

class ScoreObjTest : public ::testing::Test {
protected:
    QPlainTextEdit memo{QStringLiteral(
        "   99 Single \n   99 Double\n   99 Triple \n   99 Stakko\n\n  999 Drops\n  999 "
        "Downs\n  999 Pieces")};
    QLabel total, rest, best;
    TScorePanel panel{&memo, &total, &rest, &best};
    TScoreObj score{&panel};
};

} // namespace

TEST_F(ScoreObjTest, AFreshGameShowsZeroesAndTheEmptyRecord) {
    EXPECT_EQ(
        memo.toPlainText(),
        QStringLiteral("0 Single\n0 Double\n0 Triple\n0 Stakko\n\n0 Drops\n0 Downs\n0 Pieces"));
    EXPECT_EQ(total.text(), QStringLiteral("0 total"));
    EXPECT_EQ(rest.text(), QStringLiteral("noch 25 Zeilen"));
    EXPECT_EQ(best.text(), QStringLiteral("Rekord:  (0 Pkt.)"));
    EXPECT_EQ(score.Sum, 0);
}

TEST_F(ScoreObjTest, CountsAddUpToTheWeightedSum) {
    score.CountCompletedLine(cL4);
    EXPECT_EQ(score.CompletedLines, 4);
    EXPECT_EQ(score.Sum, 1200);
    EXPECT_EQ(memo.toPlainText().split('\n').at(3), QStringLiteral("1 Stakko"));
    score.CountCompletedLine(cL1);
    score.CountCompletedLine(cL2);
    score.CountCompletedLine(cL3);
    for (int i = 0; i < 17; ++i)
        score.AddPiece(cPiece, 1);
    score.AddPiece(cDrop, 1);
    EXPECT_EQ(score.CompletedLines, 10);
    EXPECT_EQ(score.Sum, 1200 + 150 + 450 + 900 + 17 + 1);
    EXPECT_EQ(
        memo.toPlainText(),
        QStringLiteral("1 Single\n1 Double\n1 Triple\n1 Stakko\n\n1 Drops\n0 Downs\n17 Pieces"));
    EXPECT_EQ(total.text(), QStringLiteral("2718 total"));
    EXPECT_EQ(rest.text(), QStringLiteral("noch 15 Zeilen"));

    // Past the goal the countdown goes negative.
    for (int i = 0; i < 4; ++i)
        score.CountCompletedLine(cL4);
    score.CountCompletedLine(cL1);
    EXPECT_EQ(score.CompletedLines, 27);
    EXPECT_EQ(rest.text(), QStringLiteral("noch -2 Zeilen"));

    score.init();
    EXPECT_EQ(total.text(), QStringLiteral("0 total"));
    EXPECT_EQ(rest.text(), QStringLiteral("noch 25 Zeilen"));
}

TEST_F(ScoreObjTest, RecordLineGroupsThePointsAndKeepsMemoLineFour) {
    score.WinnerName = QStringLiteral("Jürgen");
    score.HighScore = 1234567;
    score.Show();
    EXPECT_EQ(best.text(), QStringLiteral("Rekord: Jürgen (1.234.567 Pkt.)"));
    score.HighScore = 999;
    score.Show();
    EXPECT_EQ(best.text(), QStringLiteral("Rekord: Jürgen (999 Pkt.)"));

    memo.setPlainText(QStringLiteral("a\nb\nc\nd\n--\ne\nf\ng"));
    score.Show();
    EXPECT_EQ(memo.toPlainText().split('\n').at(4), QStringLiteral("--"));
}

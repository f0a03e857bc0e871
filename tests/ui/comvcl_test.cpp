#include "ui/comvcl.h"

#include "common/TestHelpers.h"
#include "text/QZ_cmn.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

using namespace qz;

namespace {

// What the next modal message box looked like when a test answered it.
struct SeenDialog {
    bool shown = false;
    QString caption;
    QString text;
    QStringList buttons;
    QString defaultButton;
    bool promptingWhileShown = false;
    QRect geometry;
};

// Waits for the next modal message box, notes what it shows and clicks the
// button captioned `answer` (and first `firstClick`, when given).
void AnswerNextBox(SeenDialog& seen, const TMsgBox& owner, const QString& answer,
                   const QString& firstClick = {}) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&seen, &owner, answer, firstClick, poll] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        seen.shown = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.promptingWhileShown = owner.Prompting();
        seen.geometry = QRect(box->pos(), box->size());
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text();
        for (QAbstractButton* b : box->buttons())
            if (!firstClick.isEmpty() && b->text() == firstClick)
                b->click();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == answer)
                b->click();
    });
    poll->start(10);
}

TEST(MsgBoxWindowed, ShowsGermanButtonsInOrderAndAnswersTheChosenOne) {
    TMsgBoxWin box;
    SeenDialog seen;
    AnswerNextBox(seen, box, QStringLiteral("&Wiederholen"));
    EXPECT_EQ(box.YesNoCancel(QStringLiteral("Zeile 1\rZeile 2"), true), mrRetry);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, ExeBaseName());
    EXPECT_EQ(seen.text, QStringLiteral("Zeile 1\nZeile 2\n"));
    EXPECT_EQ(seen.buttons,
              QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nein"),
                           QStringLiteral("Abbrechen"), QStringLiteral("&Wiederholen")}));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("&Ja"));
    EXPECT_TRUE(seen.promptingWhileShown);
    EXPECT_FALSE(box.Prompting());
    EXPECT_GT(box.DialogDurationTotal, 0.0);

    // All differs from YesNoCancel in its default; Help does not end a dialog.
    SeenDialog all;
    AnswerNextBox(all, box, QStringLiteral("&Alle"), QStringLiteral("&Hilfe"));
    EXPECT_EQ(box.Dlg(QStringLiteral("!!Achtung"), mtWarning, {mbNo, mbAll, mbHelp, mbYes}, mbNo),
              mrAll);
    EXPECT_EQ(all.text, QStringLiteral("!Achtung\n"));
    EXPECT_EQ(all.buttons, QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nein"),
                                        QStringLiteral("&Alle"), QStringLiteral("&Hilfe")}));
    EXPECT_EQ(all.defaultButton, QStringLiteral("&Nein"));

    SeenDialog sound;
    AnswerNextBox(sound, box, QStringLiteral("S&chließen"));
    EXPECT_EQ(box.Dlg(QStringLiteral("$!Gong Fertig & aus"), mtCustom, {mbClose}, mbClose),
              mrClose);
    EXPECT_EQ(sound.text, QStringLiteral("Fertig & aus\n"));
}

TEST(MsgBoxWindowed, EmptyTextsShowNothingButStillNotify) {
    TMsgBoxWin box;
    int starts = 0;
    int ends = 0;
    box.OnStartDialog = [&](TMsgBox* sender) {
        EXPECT_EQ(sender, &box);
        ++starts;
    };
    box.OnEndDialog = [&](TMsgBox*) { ++ends; };
    box.setAlign(ma_RightBottom);
    for (const char* text : {"", "!", "$Gong", "$Gong !"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(box.YesNo(QString::fromLatin1(text)), mrNone);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(starts, 4);
    EXPECT_EQ(ends, 4);
    EXPECT_EQ(box.DialogDurationTotal, 0.0);
    EXPECT_EQ(box.TestInfo(QStringLiteral("still nothing")), 0);
    EXPECT_EQ(starts, 4);
}

struct PlacementCase : NamedRow {
    TMsgAlign align;
    bool armed;
    QRect reference;
    QSize dialog;
    QRect expected;
};

class MsgDlgPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(MsgDlgPlacementTest, FollowsTheAlignTable) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(MsgDlgPlacement(c.align, c.armed, c.reference, c.dialog, QRect(0, 0, 1920, 1080)),
              c.expected);
}

const QRect Ref(100, 50, 801, 601);
const QSize Dlg(300, 200);

INSTANTIATE_TEST_SUITE_P(
    Table, MsgDlgPlacementTest,
    ::testing::Values(
        // (801 - 300) div 2 = 250, (601 - 200) div 2 = 200
        PlacementCase{"center", ma_Center, true, Ref, Dlg, QRect(350, 250, 300, 200)},
        PlacementCase{"left_top", ma_leftTop, true, Ref, Dlg, QRect(100, 50, 300, 200)},
        PlacementCase{"right_top", ma_RightTop, true, Ref, Dlg, QRect(601, 50, 300, 200)},
        PlacementCase{"center_top", ma_CenterTop, true, Ref, Dlg, QRect(350, 50, 300, 200)},
        PlacementCase{"left_center", ma_LeftCenter, true, Ref, Dlg, QRect(100, 250, 300, 200)},
        PlacementCase{"right_center", ma_RightCenter, true, Ref, Dlg, QRect(601, 250, 300, 200)},
        PlacementCase{"left_bottom", ma_LeftBottom, true, Ref, Dlg, QRect(100, 451, 300, 200)},
        PlacementCase{"right_bottom", ma_RightBottom, true, Ref, Dlg, QRect(601, 451, 300, 200)},
        PlacementCase{"center_bottom", ma_CenterBottom, true, Ref, Dlg, QRect(350, 451, 300, 200)},
        PlacementCase{"not_armed_is_centred", ma_RightBottom, false, Ref, Dlg,
                      QRect(350, 250, 300, 200)},
        // A reference wider than the dialog by an odd negative amount: the
        // half is truncated toward zero.
        PlacementCase{"dialog_wider_than_reference", ma_CenterTop, false, QRect(0, 0, 99, 50),
                      QSize(200, 50), QRect(-50, 0, 200, 50)},
        PlacementCase{"fitted_back_from_right_edge", ma_leftTop, true, QRect(1800, 100, 400, 300),
                      Dlg, QRect(1620, 100, 300, 200)},
        PlacementCase{"centred_is_not_fitted", ma_Center, true, QRect(1800, 100, 400, 300), Dlg,
                      QRect(1850, 150, 300, 200)},
        PlacementCase{"larger_than_screen_is_cut", ma_RightBottom, true, QRect(0, 0, 1920, 1080),
                      QSize(2500, 1500), QRect(0, 0, 1920, 1080)}),
    RowName());

TEST(MsgBoxWindowed, ArmedPlacementWaitsForTheNextShownDialog) {
    TMsgBoxWin box;
    box.setAlign(ma_leftTop);
    EXPECT_EQ(box.Info(QString()), mrNone); // shows nothing: stays armed

    SeenDialog placed;
    AnswerNextBox(placed, box, QStringLiteral("OK"));
    EXPECT_EQ(box.Info(QStringLiteral("oben links")), mrOk);
    ASSERT_TRUE(placed.shown);
    // No window is open, so the reference is the area from (0, 0) to (799, 599).
    EXPECT_EQ(placed.geometry.topLeft(), QPoint(0, 0));

    SeenDialog centred;
    AnswerNextBox(centred, box, QStringLiteral("OK"));
    EXPECT_EQ(box.Info(QStringLiteral("wieder in der Mitte")), mrOk);
    EXPECT_EQ(centred.geometry.topLeft(),
              QPoint((799 - centred.geometry.width()) / 2, (599 - centred.geometry.height()) / 2));
    EXPECT_EQ(box.Align(), ma_leftTop);
}

} // namespace

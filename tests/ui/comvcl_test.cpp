#include "ui/comvcl.h"

#include "MsgBoxAnswerer.h"
#include "common/TestHelpers.h"
#include "text/EQZError.h"
#include "text/QZ_cmn.h"
#include "ui/MsgDialog.h"
#include "ui/ScreenFit.h"
#include "ui/SoundPlayer.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>

#include <functional>

using namespace qz;

namespace {

// Notes every sound asked for in `log`, which the tests share with the
// dialog's own entries to see what came first.
class RecordingPlayer : public SoundPlayer {
public:
    explicit RecordingPlayer(QStringList& log) : FLog(log) {}
    void Play(const QString& name) override { FLog << QStringLiteral("Play ") + name; }
    void PlayToEnd(const QString& name) override { FLog << QStringLiteral("PlayToEnd ") + name; }

private:
    QStringList& FLog;
};

// A windowed box that plays into a log and notes its notifications there.
struct LoggedBox {
    QStringList log;
    TMsgBoxWin box{std::make_unique<RecordingPlayer>(log)};
    LoggedBox() {
        box.OnStartDialog = [this](TMsgBox* sender) {
            EXPECT_EQ(sender, &box);
            log << QStringLiteral("start");
        };
        box.OnEndDialog = [this](TMsgBox* sender) {
            EXPECT_EQ(sender, &box);
            log << QStringLiteral("end");
        };
    }
    // The answerer's hook that marks the dialog's appearance in the log.
    std::function<void(QMessageBox&)> MarkShown() {
        return [this](QMessageBox&) { log << QStringLiteral("dialog"); };
    }
};

TEST(MsgBoxWindowed, ShowsGermanButtonsInOrderAndAnswersTheChosenOne) {
    LoggedBox b;
    MsgBoxAnswerer answer(b.box, {QStringLiteral("&Wiederholen")}, b.MarkShown());
    EXPECT_EQ(b.box.YesNoCancel(QStringLiteral("Zeile 1\rZeile 2"), true), mrRetry);
    ASSERT_TRUE(answer.seen.shown);
    EXPECT_EQ(answer.seen.caption, ExeBaseName());
    EXPECT_EQ(answer.seen.text, QStringLiteral("Zeile 1\nZeile 2\n"));
    EXPECT_EQ(answer.seen.buttons,
              QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nein"),
                           QStringLiteral("Abbrechen"), QStringLiteral("&Wiederholen")}));
    EXPECT_EQ(answer.seen.defaultButton, QStringLiteral("&Ja"));
    EXPECT_TRUE(answer.seen.promptingWhileShown);
    EXPECT_FALSE(b.box.Prompting());
    EXPECT_GT(b.box.DialogDurationTotal, 0.0);
    EXPECT_EQ(b.log, QStringList({"start", "Play hinweis", "dialog", "end"}));

    // Help does not end a dialog: the answer after it does.
    MsgBoxAnswerer all(b.box, {QStringLiteral("&Hilfe"), QStringLiteral("&Alle")});
    EXPECT_EQ(b.box.Dlg(QStringLiteral("!!Achtung"), mtWarning, {mbNo, mbAll, mbHelp, mbYes}, mbNo),
              mrAll);
    EXPECT_EQ(all.seen.stepsOnOpenDialog, 2);
    EXPECT_EQ(all.seen.text, QStringLiteral("!Achtung\n"));
    EXPECT_EQ(all.seen.buttons, QStringList({QStringLiteral("&Ja"), QStringLiteral("&Nein"),
                                             QStringLiteral("&Alle"), QStringLiteral("&Hilfe")}));
    EXPECT_EQ(all.seen.defaultButton, QStringLiteral("&Nein"));
}

TEST(MsgBoxWindowed, NamedSoundsPlayBeforeTheDialogInsteadOfItsOwn) {
    struct Case {
        const char* text;
        QStringList log;
    };
    const Case cases[] = {
        {"$!Gong Fertig & aus", {"start", "PlayToEnd Gong", "dialog", "end"}},
        {"$Gong Fertig & aus", {"start", "Play Gong", "dialog", "end"}},
        {"$ Fertig & aus", {"start", "dialog", "end"}}, // "$ " chooses silence
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LoggedBox b;
        MsgBoxAnswerer answer(b.box, {QStringLiteral("OK")}, b.MarkShown());
        EXPECT_EQ(b.box.ErrInfo(QString::fromUtf8(c.text)), mrOk);
        EXPECT_EQ(answer.seen.text, QStringLiteral("Fertig & aus\n"));
        EXPECT_EQ(b.log, c.log);
    }
}

// Every operation with the kind, buttons, default and sound of its row,
// answered with one of its buttons.
struct OperationCase : NamedRow {
    std::function<int(TMsgBoxWin&)> call;
    QMessageBox::Icon icon;
    QStringList buttons;
    QString defaultButton;
    QString sound;
    QString click;
    int result;
};

class MsgBoxOperationTest : public ::testing::TestWithParam<OperationCase> {};

TEST_P(MsgBoxOperationTest, OffersItsButtonsAndAnswersTheChosenOne) {
    const OperationCase& c = GetParam();
    LoggedBox b;
    MsgBoxAnswerer answer(b.box, {c.click}, b.MarkShown());
    EXPECT_EQ(c.call(b.box), c.result);
    EXPECT_EQ(answer.seen.icon, c.icon);
    EXPECT_EQ(answer.seen.buttons, c.buttons);
    EXPECT_EQ(answer.seen.defaultButton, c.defaultButton);
    QStringList log = {"start"};
    if (!c.sound.isEmpty())
        log << QStringLiteral("Play ") + c.sound;
    log << "dialog"
        << "end";
    EXPECT_EQ(b.log, log);
}

const QString Msg = QStringLiteral("Frage");
const QString Ja = QStringLiteral("&Ja");
const QString Nein = QStringLiteral("&Nein");
const QString Ok = QStringLiteral("OK");
const QString Abbrechen = QStringLiteral("Abbrechen");
const QString Wiederholen = QStringLiteral("&Wiederholen");
const QString Question = QStringLiteral("hinweis");

INSTANTIATE_TEST_SUITE_P(
    Table, MsgBoxOperationTest,
    ::testing::Values(
        OperationCase{"Info",
                      [](TMsgBoxWin& b) { return b.Info(Msg); },
                      QMessageBox::Information,
                      {Ok},
                      Ok,
                      Question,
                      Ok,
                      mrOk},
        OperationCase{"ErrInfo",
                      [](TMsgBoxWin& b) { return b.ErrInfo(Msg); },
                      QMessageBox::Critical,
                      {Ok},
                      Ok,
                      "fehler",
                      Ok,
                      mrOk},
        OperationCase{"Dlg_warning",
                      [](TMsgBoxWin& b) {
                          return b.Dlg(Msg, mtWarning, {mbAbort, mbIgnore, mbClose}, mbClose);
                      },
                      QMessageBox::Warning,
                      {"&Abbrechen", "&Ignorieren", "S&chließen"},
                      "S&chließen",
                      "warnung",
                      "&Abbrechen",
                      mrAbort},
        OperationCase{"Dlg_custom_is_silent",
                      [](TMsgBoxWin& b) {
                          return b.Dlg(Msg, mtCustom, {mbNoToAll, mbYesToAll}, mbNoToAll);
                      },
                      QMessageBox::NoIcon,
                      {"&Alle Nein", "A&lle Ja"},
                      "&Alle Nein",
                      "",
                      "&Alle Nein",
                      mrNoToAll},
        OperationCase{"Dlg_default_not_offered",
                      [](TMsgBoxWin& b) { return b.Dlg(Msg, mtInformation, {}, mbYes); },
                      QMessageBox::Information,
                      {Ok},
                      Ok,
                      Question,
                      Ok,
                      mrOk},
        OperationCase{"YesNo",
                      [](TMsgBoxWin& b) { return b.YesNo(Msg); },
                      QMessageBox::Question,
                      {Ja, Nein},
                      Ja,
                      Question,
                      Nein,
                      mrNo},
        OperationCase{"YesCancel",
                      [](TMsgBoxWin& b) { return b.YesCancel(Msg); },
                      QMessageBox::Question,
                      {Ja, Abbrechen},
                      Ja,
                      Question,
                      Abbrechen,
                      mrCancel},
        OperationCase{"NoYes",
                      [](TMsgBoxWin& b) { return b.NoYes(Msg); },
                      QMessageBox::Question,
                      {Ja, Nein},
                      Nein,
                      Question,
                      Ja,
                      mrYes},
        OperationCase{"YesNoCancel",
                      [](TMsgBoxWin& b) { return b.YesNoCancel(Msg, false); },
                      QMessageBox::Question,
                      {Ja, Nein, Abbrechen},
                      Ja,
                      Question,
                      Abbrechen,
                      mrCancel},
        OperationCase{"NoYesCancel_retry",
                      [](TMsgBoxWin& b) { return b.NoYesCancel(Msg, true); },
                      QMessageBox::Question,
                      {Ja, Nein, Abbrechen, Wiederholen},
                      Nein,
                      Question,
                      Nein,
                      mrNo},
        OperationCase{"YesNoAllCancel",
                      [](TMsgBoxWin& b) { return b.YesNoAllCancel(Msg, false); },
                      QMessageBox::Question,
                      {Ja, Nein, Abbrechen, "&Alle"},
                      Nein,
                      Question,
                      "&Alle",
                      mrAll},
        OperationCase{"YesToAllNoCancel_retry",
                      [](TMsgBoxWin& b) { return b.YesToAllNoCancel(Msg, mbYesToAll, true); },
                      QMessageBox::Question,
                      {Ja, Nein, Abbrechen, Wiederholen, "A&lle Ja"},
                      "A&lle Ja",
                      Question,
                      "A&lle Ja",
                      mrYesToAll},
        OperationCase{"IgnoreCancel",
                      [](TMsgBoxWin& b) { return b.IgnoreCancel(Msg); },
                      QMessageBox::Question,
                      {Abbrechen, "&Ignorieren"},
                      "&Ignorieren",
                      Question,
                      "&Ignorieren",
                      mrIgnore},
        OperationCase{"OkCancel",
                      [](TMsgBoxWin& b) { return b.OkCancel(Msg); },
                      QMessageBox::Information,
                      {Ok, Abbrechen},
                      Ok,
                      Question,
                      Ok,
                      mrOk}),
    RowName());

// A dialog left without a choice of its own answers one of its buttons:
// Escape and the window's close answer Cancel, else No, else OK, else the
// only answer; where none of these is offered they do nothing, and a dialog
// ended without a click answers its default button.
struct LeavingRow : NamedRow {
    std::function<int(TMsgBoxWin&)> call;
    QStringList steps;
    int result;
};

class LeavingRows : public ::testing::TestWithParam<LeavingRow> {};

TEST_P(LeavingRows, AnswersOneOfTheDialogsOwnButtons) {
    LoggedBox b;
    MsgBoxAnswerer answer(b.box, GetParam().steps);
    EXPECT_EQ(GetParam().call(b.box), GetParam().result);
    EXPECT_EQ(answer.seen.stepsOnOpenDialog, GetParam().steps.size());
}

int YesHelp(TMsgBoxWin& b) {
    return b.Dlg(Msg, mtConfirmation, {mbYes, mbHelp}, mbHelp);
}
int RetryIgnore(TMsgBoxWin& b) {
    return b.Dlg(Msg, mtError, {mbAbort, mbRetry, mbIgnore}, mbRetry);
}

const QString Ignorieren = QStringLiteral("&Ignorieren");

INSTANTIATE_TEST_SUITE_P(
    Ways, LeavingRows,
    ::testing::Values(
        LeavingRow{{"escape_cancel"},
                   [](TMsgBoxWin& b) { return b.YesNoCancel(Msg, true); },
                   {kEscapeKey},
                   mrCancel},
        LeavingRow{{"escape_no"}, [](TMsgBoxWin& b) { return b.YesNo(Msg); }, {kEscapeKey}, mrNo},
        LeavingRow{{"escape_ok"}, [](TMsgBoxWin& b) { return b.Info(Msg); }, {kEscapeKey}, mrOk},
        LeavingRow{{"escape_only_answer"}, YesHelp, {kEscapeKey}, mrYes},
        LeavingRow{{"escape_without_answer"}, RetryIgnore, {kEscapeKey, Ignorieren}, mrIgnore},
        LeavingRow{{"close_no"}, [](TMsgBoxWin& b) { return b.NoYes(Msg); }, {kCloseWindow}, mrNo},
        LeavingRow{{"close_only_answer"}, YesHelp, {kCloseWindow}, mrYes},
        LeavingRow{{"close_without_answer"}, RetryIgnore, {kCloseWindow, Ignorieren}, mrIgnore},
        LeavingRow{
            {"ended_no"}, [](TMsgBoxWin& b) { return b.YesNo(Msg); }, {kEndWithoutClick}, mrNo},
        LeavingRow{
            {"ended_ok"}, [](TMsgBoxWin& b) { return b.ErrInfo(Msg); }, {kEndWithoutClick}, mrOk},
        LeavingRow{{"ended_only_answer"}, YesHelp, {kEndWithoutClick}, mrYes},
        LeavingRow{
            {"ended_without_answer_takes_the_default"}, RetryIgnore, {kEndWithoutClick}, mrRetry},
        LeavingRow{{"help_alone_also_offers_ok"},
                   [](TMsgBoxWin& b) { return b.Dlg(Msg, mtInformation, {mbHelp}, mbHelp); },
                   {QStringLiteral("&Hilfe"), kCloseWindow},
                   mrOk}),
    RowName());

// The start-up runs while only the window-less box exists; its failure is
// told in the windowed box, which is in place however the start-up ended.
TEST(MsgBoxWindowed, AStartUpFailureIsToldInTheWindowedBox) {
    const QString failure = QStringLiteral("Windows-Pfad fehlerhaft oder unvollständig");
    QStringList sounds;
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failing start-up" : "start-up");
        SetMsgBox(nullptr);
        auto windowed = std::make_unique<TMsgBoxWin>(std::make_unique<RecordingPlayer>(sounds));
        TMsgBoxWin* box = windowed.get();
        bool ranWithBaseBox = false;
        const auto error = StartUpThenInstall(
            [&] {
                ranWithBaseBox = dynamic_cast<TMsgBoxWin*>(MsgBox()) == nullptr;
                if (fails)
                    MsgBox()->ErrInfo(failure); // the base box throws it
            },
            std::move(windowed));
        EXPECT_TRUE(ranWithBaseBox);
        EXPECT_EQ(MsgBox(), box);
        EXPECT_EQ(error,
                  fails ? std::optional<QString>(failure + "\rMsgBox not assigned") : std::nullopt);
        if (!error)
            continue;
        MsgBoxAnswerer answer(*box, {QStringLiteral("OK")});
        EXPECT_EQ(MsgBox()->ErrInfo(*error), mrOk);
        EXPECT_EQ(answer.seen.icon, QMessageBox::Critical);
        EXPECT_EQ(answer.seen.text, failure + "\nMsgBox not assigned\n");
    }
    SetMsgBox(nullptr);
}

TEST(MsgBoxWindowed, EmptyTextsShowNothingButStillNotify) {
    LoggedBox b;
    b.box.setAlign(ma_RightBottom);
    MsgBoxAnswerer none(b.box, {});
    for (const char* text : {"", "!", "$Gong", "$Gong !", "$!Gong"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(b.box.YesNo(QString::fromLatin1(text)), mrNone);
    }
    EXPECT_FALSE(none.seen.shown);
    EXPECT_EQ(b.log, QStringList({"start", "end", "start", "end", "start", "Play Gong", "end",
                                  "start", "Play Gong", "end", "start", "PlayToEnd Gong", "end"}));
    EXPECT_EQ(b.box.DialogDurationTotal, 0.0);
    EXPECT_EQ(b.box.TestInfo(QStringLiteral("still nothing")), 0);
    EXPECT_EQ(b.log.size(), 13);
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
    LoggedBox b;
    TMsgBoxWin& box = b.box;
    box.setAlign(ma_leftTop);
    EXPECT_EQ(box.Info(QString()), mrNone); // shows nothing: stays armed

    MsgBoxAnswerer placed(box, {QStringLiteral("OK")});
    EXPECT_EQ(box.Info(QStringLiteral("oben links")), mrOk);
    ASSERT_TRUE(placed.seen.shown);
    // No window is open, so the reference is the area from (0, 0) to (799, 599).
    EXPECT_EQ(placed.seen.frame.topLeft(), QPoint(0, 0));

    MsgBoxAnswerer centred(box, {QStringLiteral("OK")});
    EXPECT_EQ(box.Info(QStringLiteral("wieder in der Mitte")), mrOk);
    const QRect frame = centred.seen.frame;
    EXPECT_EQ(frame.topLeft(), QPoint((799 - frame.width()) / 2, (599 - frame.height()) / 2));
    EXPECT_EQ(box.Align(), ma_leftTop);
}

// A window of its own, active, so that dialogs are placed over it.
class ActiveWindow {
public:
    explicit ActiveWindow(const QRect& frame) {
        FWindow.setWindowTitle(QStringLiteral("Bezug"));
        FWindow.resize(frame.size());
        FWindow.move(frame.topLeft());
        FWindow.show();
        FWindow.activateWindow();
        const QDeadlineTimer deadline(5000);
        while (QApplication::activeWindow() != &FWindow && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    [[nodiscard]] bool IsActive() const { return QApplication::activeWindow() == &FWindow; }
    [[nodiscard]] QRect Frame() const { return FWindow.frameGeometry(); }

private:
    QWidget FWindow;
};

TEST(MsgBoxWindowed, PlacesOverTheActiveWindowAndFitsOnlyArmedPlacements) {
    const QRect screen = GetVirtualScreenRect();
    // Reaching 200 pixels beyond the right edge of the desktop.
    const ActiveWindow window(QRect(screen.right() - 199, screen.top() + 100, 400, 300));
    ASSERT_TRUE(window.IsActive()) << "the window did not become active within 5 s";
    const QRect ref = window.Frame();
    LoggedBox b;

    b.box.setAlign(ma_RightTop);
    MsgBoxAnswerer fitted(b.box, {QStringLiteral("OK")});
    EXPECT_EQ(b.box.Info(QStringLiteral("rechts oben")), mrOk);
    const QRect f = fitted.seen.frame;
    EXPECT_EQ(f.topLeft(), QPoint(screen.x() + screen.width() - f.width(), ref.top()));

    MsgBoxAnswerer centred(b.box, {QStringLiteral("OK")});
    EXPECT_EQ(b.box.Info(QStringLiteral("Mitte")), mrOk);
    const QRect c = centred.seen.frame;
    EXPECT_EQ(c.topLeft(), QPoint(ref.x() + (ref.width() - c.width()) / 2,
                                  ref.y() + (ref.height() - c.height()) / 2));
    EXPECT_GT(c.x() + c.width(), screen.x() + screen.width()); // centred dialogs are not fitted
}

TEST(MsgBoxWindowed, LongTextsWrapAndATallDialogIsCutToTheScreen) {
    const QRect screen = GetVirtualScreenRect();
    LoggedBox b;
    MsgBoxAnswerer wrapped(b.box, {QStringLiteral("OK")});
    EXPECT_EQ(b.box.Info(QStringLiteral("Wort ").repeated(300)), mrOk);
    EXPECT_TRUE(wrapped.seen.wordWrap);
    EXPECT_LT(wrapped.seen.frame.width(), screen.width());

    b.box.setAlign(ma_leftTop);
    MsgBoxAnswerer cut(b.box, {QStringLiteral("OK")});
    EXPECT_EQ(b.box.Info(QStringLiteral("Zeile\r").repeated(200)), mrOk);
    EXPECT_EQ(cut.seen.frame.topLeft(), screen.topLeft());
    EXPECT_EQ(cut.seen.frame.height(), screen.height());
}

TEST(MsgBoxWindowed, AnExceptionWhileWaitingStillCleansUpAndNotifies) {
    LoggedBox b;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    MsgBoxAnswerer failing(b.box, {}, [&b](QMessageBox&) {
        b.log << QStringLiteral("dialog");
        throw EQZError(QStringLiteral("Abbruch im Dialog"));
    });
    EXPECT_THROW_MSG(b.box.YesNo(QStringLiteral("Weiter?")), EQZError,
                     QStringLiteral("Abbruch im Dialog"));
    EXPECT_TRUE(failing.seen.promptingWhileShown);
    EXPECT_FALSE(b.box.Prompting());
    EXPECT_EQ(b.log, QStringList({"start", "Play hinweis", "dialog", "end"}));
    EXPECT_GT(b.box.DialogDurationTotal, 0.0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(MsgBoxWindowed, ADialogOpenedFromADialogLeavesItPrompting) {
    LoggedBox b;
    bool promptingAfterInner = false;
    MsgBoxAnswerer outer(b.box, {QStringLiteral("&Ja")}, [&](QMessageBox&) {
        MsgBoxAnswerer inner(b.box, {QStringLiteral("OK")});
        EXPECT_EQ(b.box.Info(QStringLiteral("innen")), mrOk);
        promptingAfterInner = b.box.Prompting();
    });
    EXPECT_EQ(b.box.YesNo(QStringLiteral("aussen")), mrYes);
    EXPECT_TRUE(promptingAfterInner);
    EXPECT_FALSE(b.box.Prompting());
}

// What code running while the dialog waits does to the override cursor.
struct CursorCase : NamedRow {
    std::optional<Qt::CursorShape> before;
    std::function<void()> duringDialog;
    std::optional<Qt::CursorShape> whileShown;
};

class MsgBoxCursorTest : public ::testing::TestWithParam<CursorCase> {};

TEST_P(MsgBoxCursorTest, TheCallersCursorIsBackAfterTheDialog) {
    const CursorCase& c = GetParam();
    if (c.before)
        QGuiApplication::setOverrideCursor(*c.before);
    LoggedBox b;
    MsgBoxAnswerer answer(b.box, {QStringLiteral("OK")}, [&](QMessageBox&) {
        if (c.duringDialog)
            c.duringDialog();
    });
    EXPECT_EQ(b.box.Info(QStringLiteral("Cursor")), mrOk);
    EXPECT_EQ(answer.seen.overrideCursorWhileShown, c.whileShown);
    if (c.before) {
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), *c.before);
        QGuiApplication::restoreOverrideCursor(); // the caller's own restore
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "override cursors left behind";
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

INSTANTIATE_TEST_SUITE_P(
    Table, MsgBoxCursorTest,
    ::testing::Values(
        CursorCase{"wait_cursor_shows_arrow_and_comes_back", Qt::WaitCursor, {}, Qt::ArrowCursor},
        CursorCase{"changed_while_waiting", Qt::WaitCursor,
                   [] { QGuiApplication::changeOverrideCursor(Qt::CrossCursor); }, Qt::ArrowCursor},
        CursorCase{"taken_away_while_waiting", Qt::WaitCursor,
                   [] { QGuiApplication::restoreOverrideCursor(); }, Qt::ArrowCursor},
        CursorCase{"none_before_stays_none", std::nullopt,
                   [] { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }, std::nullopt}),
    RowName());

} // namespace

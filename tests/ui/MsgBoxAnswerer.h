#pragma once
// Answers the next modal message box from the running event loop, the way
// a user would, and notes what it showed: the widget tests of the message
// box ask their question, and this answers it while the question waits.

#include "common/TestHelpers.h"
#include "text/MsgBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>

// What a modal message box showed when it was first seen.
struct SeenDialog {
    bool shown = false;
    QString caption;
    QString text;
    QStringList buttons; // captions, left to right
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool wordWrap = false;
    bool promptingWhileShown = false;
    QRect frame;
    std::optional<Qt::CursorShape> overrideCursorWhileShown;
    int stepsOnOpenDialog = 0; // clicks and keys that found the dialog still open
};

// Escape as an answer in a list of clicks; the window manager's close; the
// dialog's loop left without any click, as when the program is asked to
// quit.
inline const QString kEscapeKey = QStringLiteral("<Esc>");
inline const QString kCloseWindow = QStringLiteral("<Close>");
inline const QString kEndWithoutClick = QStringLiteral("<End>");

class MsgBoxAnswerer {
public:
    // Once the dialog shows, notes it, runs `whileShown`, and then gives
    // it the buttons captioned in `steps` (or kEscapeKey), one per turn of
    // the loop. A dialog still open after the last step, a caption it does
    // not offer, or a dialog still open after 10 s fails the test and is
    // closed, so no test can hang on it.
    MsgBoxAnswerer(const qz::TMsgBox& owner, QStringList steps,
                   std::function<void(QMessageBox&)> whileShown = {})
        : FOwner(owner), FSteps(std::move(steps)), FWhileShown(std::move(whileShown)),
          FDeadline(10000) {
        QObject::connect(&FPoll, &QTimer::timeout, &FPoll, [this] { Tick(); });
        FPoll.start(10);
    }
    MsgBoxAnswerer(const MsgBoxAnswerer&) = delete;
    MsgBoxAnswerer& operator=(const MsgBoxAnswerer&) = delete;

    SeenDialog seen;

private:
    void Tick() {
        if (FBusy) // a dialog opened by `whileShown` runs the loop again
            return;
        struct Busy {
            bool& flag;
            explicit Busy(bool& f) : flag(f) { flag = true; }
            ~Busy() { flag = false; }
        } busy(FBusy);

        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (FDeadline.hasExpired()) {
            FPoll.stop();
            if (box) {
                ADD_FAILURE() << "message box still open after 10 s: " << box->text().toStdString();
                box->done(0);
            }
            return;
        }
        if (seen.shown && !FBox) { // answered and gone: later dialogs are not ours
            FPoll.stop();
            return;
        }
        if (!box || (FBox && box != FBox))
            return;
        if (!FBox) {
            FBox = box;
            Note(*box);
            if (FWhileShown)
                FWhileShown(*box);
            return;
        }
        if (FNext >= FSteps.size()) {
            FPoll.stop();
            ADD_FAILURE() << "message box still open after " << FSteps.join(", ").toStdString();
            box->done(0);
            return;
        }
        ++seen.stepsOnOpenDialog;
        const QString step = FSteps.at(FNext++);
        if (step == kEscapeKey) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(box, &press);
            return;
        }
        if (step == kCloseWindow) {
            box->close();
            return;
        }
        if (step == kEndWithoutClick) {
            box->hide();
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == step) {
                b->click();
                return;
            }
        FPoll.stop();
        ADD_FAILURE() << "message box offers no button " << step.toStdString();
        box->done(0);
    }

    void Note(QMessageBox& box) {
        seen.shown = true;
        seen.caption = box.windowTitle();
        seen.text = box.text();
        seen.icon = box.icon();
        seen.promptingWhileShown = FOwner.Prompting();
        seen.frame = box.frameGeometry();
        if (const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            seen.wordWrap = label->wordWrap();
        QList<QAbstractButton*> buttons = box.buttons();
        std::stable_sort(
            buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
                return a->mapToGlobal(QPoint(0, 0)).x() < b->mapToGlobal(QPoint(0, 0)).x();
            });
        for (QAbstractButton* b : buttons)
            seen.buttons << b->text();
        if (box.defaultButton())
            seen.defaultButton = box.defaultButton()->text();
        if (const QCursor* c = QGuiApplication::overrideCursor())
            seen.overrideCursorWhileShown = c->shape();
    }

    const qz::TMsgBox& FOwner;
    QStringList FSteps;
    std::function<void(QMessageBox&)> FWhileShown;
    QDeadlineTimer FDeadline;
    QTimer FPoll;
    QPointer<QMessageBox> FBox;
    qsizetype FNext = 0;
    bool FBusy = false;
};

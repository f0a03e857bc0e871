#include "ui/comvcl.h"

#include "text/DisplayText.h"
#include "text/EQZError.h"
#include "text/QZ_cmn.h"
#include "ui/MsgDialog.h"
#include "ui/ScreenFit.h"
#include "ui/SoundPlayer.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QLoggingCategory>
#include <QWidget>

#include <exception>
#include <optional>

namespace qz {

namespace {

Q_LOGGING_CATEGORY(lcMsgBox, "qz.ui.msgbox")

TDateTime Now() {
    return ToDateTime(QDateTime::currentDateTime());
}

// A message split into its leading sound prefix ("$name " or "$!name ")
// and the text that remains.
struct SoundPrefix {
    bool named = false;      // the text chose its sound, possibly none
    QString name;            // empty: no sound at all
    bool waitForEnd = false; // "$!": play it to its end first
    QString rest;
};

SoundPrefix SplitSoundPrefix(const QString& msg) {
    SoundPrefix p;
    if (!msg.startsWith(QLatin1Char('$'))) {
        p.rest = msg;
        return p;
    }
    p.named = true;
    const qsizetype blank = msg.indexOf(QLatin1Char(' '));
    p.name = blank < 0 ? msg.mid(1) : msg.mid(1, blank - 1);
    if (blank >= 0)
        p.rest = msg.mid(blank + 1);
    if (p.name.startsWith(QLatin1Char('!'))) {
        p.waitForEnd = true;
        p.name.remove(0, 1);
    }
    return p;
}

// Messages separate their lines with CR (often alone); the label knows LF.
// The line break added at the end leaves a blank line under the text.
QString DisplayText(QString msg) {
    msg += QLatin1String("\r\n");
    msg.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    msg.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return msg;
}

// Calls OnEndDialog once on every way out of Dlg: through Done on a
// normal return, so that an exception of the handler reaches the caller,
// or on unwinding, where a second exception cannot be passed on and is
// only logged.
class EndNotification {
public:
    explicit EndNotification(TMsgBoxWin& box) : FBox(box) {}
    EndNotification(const EndNotification&) = delete;
    EndNotification& operator=(const EndNotification&) = delete;
    ~EndNotification() {
        if (FDone || !FBox.OnEndDialog)
            return;
        try {
            FBox.OnEndDialog(&FBox);
        } catch (const std::exception& e) {
            qCWarning(lcMsgBox) << "end-of-dialog handler failed while unwinding:" << e.what();
        } catch (...) {
            qCWarning(lcMsgBox) << "end-of-dialog handler failed while unwinding";
        }
    }
    int Done(int result) {
        FDone = true;
        if (FBox.OnEndDialog)
            FBox.OnEndDialog(&FBox);
        return result;
    }

private:
    TMsgBoxWin& FBox;
    bool FDone = false;
};

// "The cursor" of the screen is the application's override cursor, the
// one Qt shows over all of its windows (a wait cursor set by the caller,
// say); widget cursors belong to their widgets and a dialog leaves them
// alone. While the dialog waits it shows the normal arrow, as a question
// must not look busy. Afterwards the remembered cursor is on top again,
// or none when there was none, even if code that ran during the dialog
// changed the override cursor and left it so.
class ScreenCursorKeeper {
public:
    ScreenCursorKeeper() {
        if (const QCursor* current = QGuiApplication::overrideCursor()) {
            FRemembered = *current;
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ScreenCursorKeeper(const ScreenCursorKeeper&) = delete;
    ScreenCursorKeeper& operator=(const ScreenCursorKeeper&) = delete;
    ~ScreenCursorKeeper() {
        if (!FRemembered) {
            while (QGuiApplication::overrideCursor())
                QGuiApplication::restoreOverrideCursor();
            return;
        }
        QGuiApplication::restoreOverrideCursor(); // the arrow of the dialog
        const QCursor* now = QGuiApplication::overrideCursor();
        if (!now)
            QGuiApplication::setOverrideCursor(*FRemembered);
        else if (!(*now == *FRemembered))
            QGuiApplication::changeOverrideCursor(*FRemembered);
    }

private:
    std::optional<QCursor> FRemembered;
};

// Prompting is true while the dialog waits; a dialog opened from within
// another one gives the flag back to the one still waiting.
class PromptingFlag {
public:
    explicit PromptingFlag(bool& flag) : FFlag(flag), FBefore(flag) { FFlag = true; }
    PromptingFlag(const PromptingFlag&) = delete;
    PromptingFlag& operator=(const PromptingFlag&) = delete;
    ~PromptingFlag() { FFlag = FBefore; }

private:
    bool& FFlag;
    bool FBefore;
};

// Adds the time from `start` to its destruction to `total`.
class DurationCounter {
public:
    DurationCounter(TDateTime& total, TDateTime start) : FTotal(total), FStart(start) {}
    DurationCounter(const DurationCounter&) = delete;
    DurationCounter& operator=(const DurationCounter&) = delete;
    ~DurationCounter() { FTotal += Now() - FStart; }

private:
    TDateTime& FTotal;
    TDateTime FStart;
};

// The window a dialog is placed over: the active one, else the main
// window (the program's one visible ordinary window), else none.
QWidget* ReferenceWindow() {
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w;
    return nullptr;
}

TMsgDlgButtons WithRetry(TMsgDlgButtons btns, bool withRetry) {
    return withRetry ? btns + mbRetry : btns;
}

} // namespace

QString MsgDlgSoundOf(TMsgDlgType dlgType) {
    switch (dlgType) {
    case mtWarning:
        return QStringLiteral("warnung");
    case mtError:
        return QStringLiteral("fehler");
    case mtInformation:
    case mtConfirmation:
        return QStringLiteral("hinweis");
    case mtCustom:
        return {};
    }
    return {};
}

std::optional<QString> StartUpThenInstall(const std::function<void()>& startUp,
                                          std::unique_ptr<TMsgBoxWin> box) {
    std::optional<QString> error;
    try {
        startUp();
    } catch (const EQZError& e) {
        error = e.message();
    }
    SetMsgBox(std::move(box));
    return error;
}

TMsgBoxWin::TMsgBoxWin() : TMsgBoxWin(nullptr) {}

TMsgBoxWin::TMsgBoxWin(std::unique_ptr<SoundPlayer> player)
    : FPlayer(player ? std::move(player) : std::make_unique<QtSoundPlayer>()) {}

TMsgBoxWin::~TMsgBoxWin() = default;

int TMsgBoxWin::Dlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons btns,
                    TMsgDlgBtn defButton) {
    const TDateTime start = Now();
    if (OnStartDialog)
        OnStartDialog(this);
    EndNotification end(*this);

    SoundPrefix prefix = SplitSoundPrefix(msg);
    if (prefix.named && !prefix.name.isEmpty()) {
        if (prefix.waitForEnd)
            FPlayer->PlayToEnd(prefix.name);
        else
            FPlayer->Play(prefix.name);
    }
    QString text = std::move(prefix.rest);
    if (text.startsWith(QLatin1Char('!')))
        text.remove(0, 1);
    if (text.isEmpty())
        return end.Done(mrNone);

    // A text that chose its sound, or chose silence with "$ ", keeps the
    // dialog's own sound from cutting it off.
    if (!prefix.named) {
        const QString sound = MsgDlgSoundOf(dlgType);
        if (!sound.isEmpty())
            FPlayer->Play(sound);
    }
    return end.Done(ShowDialog(text, dlgType, btns, defButton, start));
}

int TMsgBoxWin::ShowDialog(const QString& text, TMsgDlgType dlgType, TMsgDlgButtons btns,
                           TMsgDlgBtn defButton, TDateTime start) {
    // Declared in the reverse order of their clean-up: Prompting is
    // cleared first, then the dialog destroyed, the cursor restored and
    // the time counted, also when the dialog ends in an exception.
    const DurationCounter duration(DialogDurationTotal, start);
    const ScreenCursorKeeper cursor;

    QWidget* reference = ReferenceWindow();
    const QRect referenceRect = reference ? reference->frameGeometry() : QRect(0, 0, 799, 599);
    // The caption is the program file's name, which anyone may have chosen.
    TMsgDialog dialog(reference, dlgType, DisplayFragment(ExeBaseName()), DisplayText(text), btns,
                      defButton);

    // A one-shot placement is used up by the dialog that is shown.
    const bool useAlign = FUseNextAlign;
    FUseNextAlign = false;
    const TMsgAlign align = FAlign;
    dialog.SetPlacement([=](QSize frame) {
        return MsgDlgPlacement(align, useAlign, referenceRect, frame, GetVirtualScreenRect());
    });

    const PromptingFlag prompting(FPrompting);
    return dialog.Execute();
}

int TMsgBoxWin::Info(const QString& msg) {
    return Dlg(msg, mtInformation, {mbOK}, mbOK);
}

int TMsgBoxWin::ErrInfo(const QString& msg) {
    return Dlg(msg, mtError, {mbOK}, mbOK);
}

int TMsgBoxWin::YesNo(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbNo}, mbYes);
}

int TMsgBoxWin::YesCancel(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbCancel}, mbYes);
}

int TMsgBoxWin::NoYes(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbYes, mbNo}, mbNo);
}

int TMsgBoxWin::YesNoCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel}, withRetry), mbYes);
}

int TMsgBoxWin::NoYesCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel}, withRetry), mbNo);
}

int TMsgBoxWin::YesNoAllCancel(const QString& msg, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel, mbAll}, withRetry), mbNo);
}

int TMsgBoxWin::YesToAllNoCancel(const QString& msg, TMsgDlgBtn defButton, bool withRetry) {
    return Dlg(msg, mtConfirmation, WithRetry({mbYes, mbNo, mbCancel, mbYesToAll}, withRetry),
               defButton);
}

int TMsgBoxWin::IgnoreCancel(const QString& msg) {
    return Dlg(msg, mtConfirmation, {mbCancel, mbIgnore}, mbIgnore);
}

int TMsgBoxWin::OkCancel(const QString& msg) {
    return Dlg(msg, mtInformation, {mbOK, mbCancel}, mbOK);
}

} // namespace qz

#pragma once
// The windowed message box: every question becomes a modal dialog over
// the active window (ui/MsgDialog.h), captioned with the program's base
// name and offering the German buttons of the program. Setting Align
// places the next shown dialog at an edge or corner of the active window
// instead of its centre. A text may start with "$name " to play the sound
// "name" first ("$!name " plays it to its end before the dialog appears)
// and then with "!", which is dropped.
//
//   qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>());
//   qz::MsgBox()->ErrInfo(QStringLiteral("$fehler Die Datei fehlt."));

#include "text/MsgBox.h"

#include <functional>
#include <memory>
#include <optional>

namespace qz {

class SoundPlayer;

class TMsgBoxWin : public TMsgBox {
public:
    using TNotifyEvent = std::function<void(TMsgBox* sender)>;

    // Plays its sounds with the Qt player of the program's recordings, or
    // through `player` (a test's recording fake); a null one is the Qt player.
    TMsgBoxWin();
    explicit TMsgBoxWin(std::unique_ptr<SoundPlayer> player);
    ~TMsgBoxWin() override;

    int Dlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons btns,
            TMsgDlgBtn defButton) override;
    int Info(const QString& msg) override;
    int ErrInfo(const QString& msg) override;
    int YesNo(const QString& msg) override;
    int YesCancel(const QString& msg) override;
    int NoYes(const QString& msg) override;
    int YesNoCancel(const QString& msg, bool withRetry) override;
    int NoYesCancel(const QString& msg, bool withRetry) override;
    int YesNoAllCancel(const QString& msg, bool withRetry) override;
    int YesToAllNoCancel(const QString& msg, TMsgDlgBtn defButton, bool withRetry) override;
    int IgnoreCancel(const QString& msg) override;
    int OkCancel(const QString& msg) override;

    // Called before every dialog and after it, also when none was shown
    // and when the dialog ended in an exception.
    TNotifyEvent OnStartDialog;
    TNotifyEvent OnEndDialog;

private:
    int ShowDialog(const QString& text, TMsgDlgType dlgType, TMsgDlgButtons btns,
                   TMsgDlgBtn defButton, TDateTime start);

    std::unique_ptr<SoundPlayer> FPlayer;
};

// The start-up of the windowed unit: runs `startUp` (the system
// information's) while only the window-less box exists, then installs
// `box` in its place, also when `startUp` failed, so that its error
// (returned) can be told to the player in a window; a player who started
// the program from a menu sees no terminal. None when all went well.
//   if (auto error = qz::StartUpThenInstall(qz::StartUpSystemInformation,
//                                           std::make_unique<qz::TMsgBoxWin>()))
//       qz::MsgBox()->ErrInfo(*error);
[[nodiscard]] std::optional<QString> StartUpThenInstall(const std::function<void()>& startUp,
                                                        std::unique_ptr<TMsgBoxWin> box);

// The sound a dialog of `dlgType` plays when its text names none: "warnung"
// for warnings, "fehler" for errors, "hinweis" for information and
// questions, none (an empty name) for custom dialogs.
[[nodiscard]] QString MsgDlgSoundOf(TMsgDlgType dlgType);

} // namespace qz

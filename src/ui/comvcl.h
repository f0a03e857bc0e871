#pragma once
// The windowed message box: every question becomes a modal QMessageBox
// over the active window, captioned with the program's base name and
// offering the German buttons of the program.
//
//   qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>());

#include "ui/MsgBox.h"

#include <functional>

namespace qz {

class TMsgBoxWin : public TMsgBox {
public:
    using TNotifyEvent = std::function<void(TMsgBox* sender)>;

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

    // Called before every dialog and after it, also when none was shown.
    TNotifyEvent OnStartDialog;
    TNotifyEvent OnEndDialog;
};

// The caption a button carries in the dialog: mbYes gives "&Ja".
[[nodiscard]] QString MsgDlgBtnCaption(TMsgDlgBtn b);

} // namespace qz

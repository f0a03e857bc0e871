#pragma once
// The windowed message box: every question becomes a modal QMessageBox
// over the active window, captioned with the program's base name and
// offering the German buttons of the program. Setting Align places the
// next shown dialog at an edge or corner of the active window instead of
// its centre.
//
//   qz::SetMsgBox(std::make_unique<qz::TMsgBoxWin>());

#include "text/MsgBox.h"

#include <QRect>

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

// Where a dialog of `dialog` size goes over the `reference` window. An
// armed placement other than ma_Center follows the TMsgAlign table and is
// fitted onto `virtualScreen`, which may also cut the dialog's size; all
// other dialogs are centred on the reference, unfitted.
//   MsgDlgPlacement(ma_leftTop, true, QRect(10, 20, 800, 600), QSize(300, 100), desktop)
//       == QRect(10, 20, 300, 100)
[[nodiscard]] QRect MsgDlgPlacement(TMsgAlign align, bool useAlign, const QRect& reference,
                                    const QSize& dialog, const QRect& virtualScreen);

// The caption a button carries in the dialog: mbYes gives "&Ja".
[[nodiscard]] QString MsgDlgBtnCaption(TMsgDlgBtn b);

} // namespace qz

#pragma once
// The dialog behind the windowed message box: a QMessageBox with the
// program's German buttons in their fixed order, placed where the message
// box wants it once its size is known, and shown modally.
//
//   TMsgDialog dlg(parent, mtConfirmation, ExeBaseName(), text, {mbYes, mbNo}, mbYes);
//   dlg.SetPlacement([&](QSize frame) { return QRect(QPoint(0, 0), frame); });
//   const int answer = dlg.Execute(); // mrYes, mrNo, ...

#include "text/MsgBox.h"

#include <QRect>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QAbstractButton;
class QWidget;

namespace qz {

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

class TMsgDialog {
public:
    // `text` is shown as plain text, wrapped at words; a `btns` without an
    // answer (empty, or Help alone) also offers OK. A `defButton` that is
    // not offered leaves the first button the default. Escape and the
    // window's close button answer Cancel, else No, else OK, else the only
    // answer offered; with none of these they do nothing.
    TMsgDialog(QWidget* parent, TMsgDlgType dlgType, const QString& caption, const QString& text,
               TMsgDlgButtons btns, TMsgDlgBtn defButton);
    TMsgDialog(const TMsgDialog&) = delete;
    TMsgDialog& operator=(const TMsgDialog&) = delete;
    ~TMsgDialog();

    // Asked with the dialog's outer (frame) size when it is about to
    // appear; answers the outer rectangle it takes. A smaller size cuts
    // the dialog.
    void SetPlacement(std::function<QRect(QSize)> placement);

    // Shows the dialog modally and waits for a button that ends it: the
    // result of that button. A dialog ended without one (its loop left
    // when the program is asked to quit) answers what Escape answers, or
    // where Escape does nothing, its default button: always one of its
    // own answers. An exception thrown while it waits passes on to the
    // caller.
    [[nodiscard]] int Execute();

private:
    class Box;
    std::unique_ptr<Box> FBox;
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> FButtons;
    TMsgDlgBtn FEndAnswer = mbOK;
};

} // namespace qz
